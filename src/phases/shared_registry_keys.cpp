#include "phases/shared_registry_keys.h"

#include "text/text.h"

namespace {

// Under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER alike.
constexpr std::string_view kSharedMachineAndUserKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
};
constexpr std::string_view kSharedUserKeys[] = {"Environment"};
constexpr std::string_view kSharedMachineKeys[] = {"System\\CurrentControlSet\\Control\\Session Manager\\Environment"};
constexpr std::string_view kSharedClassesKeys[] = {
    "CLSID", "Interface", "TypeLib", "AppID", "*", "Directory", "Folder", "Drive", "AllFilesystemObjects",
};

template <std::size_t N>
bool IsListed(const std::string_view (&keys)[N], std::string_view path) {
    for (std::string_view key : keys) {
        if (EqualsAsciiNoCase(path, key)) return true;
    }
    return false;
}

}  // namespace

bool IsSharedRegistryKey(RegKey root, std::string_view keyPath, const CodePage& codePage) {
    // The registry ignores a trailing backslash, so the comparison must too.
    keyPath = WithoutTrailingBackslashes(keyPath, codePage);

    if (root == kClassesRoot) return keyPath.empty() || IsListed(kSharedClassesKeys, keyPath);
    // The root itself, or a key directly under it such as SOFTWARE.
    if (codePage.Find(keyPath, '\\') == std::string_view::npos) return true;
    if (root == kLocalMachine) return IsListed(kSharedMachineAndUserKeys, keyPath) || IsListed(kSharedMachineKeys, keyPath);
    if (root == kCurrentUser) return IsListed(kSharedMachineAndUserKeys, keyPath) || IsListed(kSharedUserKeys, keyPath);
    return false;
}
