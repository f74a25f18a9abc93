// Removing the registry keys the installation created, subkeys before their parents, and the
// application's entry in the system's list of installed programs.

#include <algorithm>

#include "app/uninst_app.h"
#include "phases/registry_entries.h"
#include "phases/shared_registry_keys.h"
#include "setupinfo/setup_text.h"
#include "text/text.h"

namespace {

constexpr char kUninstallEntryPrefix[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

constexpr std::uint32_t kSetValueAccess = 0x0002;  // KEY_SET_VALUE

struct RootPrefix {
    const char* name;
    const char* shortForm;
    const char* longForm;
    RegKey root;
};
constexpr RootPrefix kRootPrefixes[] = {
    {"HKLM", "HKLM\\", "HKEY_LOCAL_MACHINE\\", kLocalMachine},
    {"HKCU", "HKCU\\", "HKEY_CURRENT_USER\\", kCurrentUser},
    {"HKU", "HKU\\", "HKEY_USERS\\", kUsers},
    {"HKCR", "HKCR\\", "HKEY_CLASSES_ROOT\\", kClassesRoot},
};

CString RootName(RegKey root) {
    for (const RootPrefix& prefix : kRootPrefixes) {
        if (prefix.root == root) return prefix.name;
    }
    return CString();
}

}  // namespace

std::optional<RegKey> RecogniseRoot(std::string_view keyPath) {
    for (const RootPrefix& prefix : kRootPrefixes) {
        if (StartsWithAsciiNoCase(keyPath, prefix.shortForm) || StartsWithAsciiNoCase(keyPath, prefix.longForm)) return prefix.root;
    }
    return std::nullopt;
}

CString KeyPathUnderRoot(std::string_view keyPath) { return CString(keyPath.substr(keyPath.find('\\') + 1)); }

int CompareKeyRecords(const RegistryKeyRecord& a, const RegistryKeyRecord& b, const CodePage& codePage) {
    if (a.root != b.root) return a.root < b.root ? -1 : 1;
    const CString left = FoldAscii(a.keyPath, codePage);
    const CString right = FoldAscii(b.keyPath, codePage);
    return left.compare(right);
}

void CUninstApp::RemoveRegistryEntries() {
    SetStatus(TextId::StatusRegistry);
    SetPercent(0);
    CStringArray lines;
    ReadSection("RegistryKeys", lines);

    std::vector<RegistryKeyRecord> records;
    const int count = static_cast<int>(lines.size());
    for (int i = 0; i < count; ++i) {
        SetPercent(ScaledShare(50, i, count));
        const CString& line = lines[i];
        std::optional<RegistryLine> entry = ParseRegistryLine(line);
        if (!entry) {
            ShowMessage({TextId::RegistryEntryInvalid, {{Piece::Line, line}}});
            continue;
        }
        if (!ExpandVariables(entry->keyPath) || !ExpandVariables(entry->data) || !ExpandVariables(entry->valueName)) {
            ShowMessage({TextId::RegistryEntryExpansion, {{Piece::Line, line}}});
            continue;
        }

        RegistryKeyRecord record;
        record.valueName = entry->valueName;
        if (const auto root = RecogniseRoot(entry->keyPath)) {
            record.root = *root;
            record.keyPath = KeyPathUnderRoot(entry->keyPath);
        } else {
            ShowMessage({TextId::RegistryRootUnknown, {{Piece::Key, entry->keyPath}}});
            record.root = kClassesRoot;
            record.keyPath = entry->keyPath;
        }
        records.push_back(std::move(record));
    }

    std::sort(records.begin(), records.end(),
              [this](const RegistryKeyRecord& a, const RegistryKeyRecord& b) { return CompareKeyRecords(a, b, m_codePage) < 0; });
    const int recordCount = static_cast<int>(records.size());
    for (int k = 0; k < recordCount; ++k) {
        SetPercent(50 + ScaledShare(50, k, recordCount));
        const RegistryKeyRecord& record = records[recordCount - 1 - k];
        if (IsSharedRegistryKey(record.root, record.keyPath, m_codePage)) {
            DeleteNamedValue(record);
        } else {
            const bool removed = DeleteKeyIfLeaf(record.root, record.keyPath);
            Log(CString(removed ? "registry key removed: " : "registry key not removed (missing, not empty or denied): ") +
                RootName(record.root) + "\\" + record.keyPath);
        }
    }

    SetPercent(99);
    // An empty name would make this the key that lists every installed program.
    if (NamesAnApplication(m_appName)) {
        const bool removed = DeleteKeyTree(kLocalMachine, kUninstallEntryPrefix + m_appName);
        Log(CString(removed ? "uninstall entry removed: " : "uninstall entry not removed: ") + "HKLM\\" +
            kUninstallEntryPrefix + m_appName);
    }
    FinishPhase(TextId::StatusRegistryComplete);
}

void CUninstApp::DeleteNamedValue(const RegistryKeyRecord& record) {
    IRegistry& registry = m_platform.registry;
    RegKey key = 0;
    const CString where = RootName(record.root) + "\\" + record.keyPath + " value '" + record.valueName + "'";
    if (registry.OpenKey(record.root, record.keyPath, kSetValueAccess, key) != reg::kSuccess) {
        Log("registry value not found (shared key kept): " + where);
        return;
    }
    const bool removed = registry.DeleteValue(key, record.valueName) == reg::kSuccess;
    registry.CloseKey(key);
    Log(CString(removed ? "registry value removed (shared key kept): " : "registry value not found (shared key kept): ") +
        where);
}
