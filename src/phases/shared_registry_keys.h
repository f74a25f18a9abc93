#pragma once
// Registry keys that the system and other software share. A line of the registry section that
// names one of them removes only its own value: deleting the key would destroy everyone's.

#include <string_view>

#include "platform/registry.h"
#include "text/code_page.h"

bool IsSharedRegistryKey(RegKey root, std::string_view keyPath, const CodePage& codePage);
