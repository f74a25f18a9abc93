#pragma once
// The real machine: every service of the platform over the Windows API, gathered into one Platform.

#include "platform/platform.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_locks.h"
#include "platform/win32/win32_modules.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "ui/win32/win32_user_interface.h"

class Win32Platform {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& Get() { return m_platform; }

private:
    Win32System m_system;
    Win32Registry m_registry;
    Win32Files m_files;
    Win32Processes m_processes;
    Win32Modules m_modules;
    Win32UserInterface m_ui;
    Win32Locks m_locks;
    Platform m_platform{m_system, m_registry, m_files, m_processes, m_modules, m_ui, m_locks};
};
