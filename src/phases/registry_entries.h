#pragma once
// One registry key that the registry phase deletes, and the order in which keys are tried.

#include <optional>
#include <string_view>

#include "platform/registry.h"
#include "platform/types.h"
#include "text/code_page.h"

struct RegistryKeyRecord {
    RegKey root = kClassesRoot;
    CString keyPath;    // under root, without the root prefix
    CString valueName;  // what the line names; removed alone where the key is shared
};

// By root in the order of the predefined handles, then by key path without regard to case, so
// that a parent sorts before every key below it.
int CompareKeyRecords(const RegistryKeyRecord& a, const RegistryKeyRecord& b, const CodePage& codePage);

// The root that a key path's prefix ("HKLM\\", "HKEY_CURRENT_USER\\", ...) names, or nullopt when
// the phase would fall back to HKEY_CLASSES_ROOT. The key path under the root follows the first
// backslash.
std::optional<RegKey> RecogniseRoot(std::string_view keyPath);
// The key path under the root that RecogniseRoot found. Its prefix is plain ASCII up to the
// backslash that ends it, so the first backslash byte is that one on every code page.
CString KeyPathUnderRoot(std::string_view keyPath);
