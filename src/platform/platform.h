#pragma once
// Everything the core may ask of the machine, gathered so that one object can be handed around.

#include "platform/files.h"
#include "platform/locks.h"
#include "platform/modules.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/user_interface.h"

struct Platform {
    ISystem& system;
    IRegistry& registry;
    IFileSystem& files;
    IProcesses& processes;
    IModules& modules;
    IUserInterface& ui;
    ILocks& locks;
};
