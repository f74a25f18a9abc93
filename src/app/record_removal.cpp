// The installation record goes at the end of a completed run: left behind, it would still say
// that the application is installed. Its parents go too when no other application uses them.

#include "app/uninst_app.h"
#include "text/text.h"

namespace {

// The record's parents are tried up to this key and never beyond it.
constexpr char kRecordOwnerKey[] = "SOFTWARE\\Tallowmere";

}  // namespace

void CUninstApp::DeleteInstallRecord(const CString& recordPath, bool recordWasOpen) {
    if (recordPath.empty()) return;
    // A record this run could not open is not known to be this installation's to delete.
    if (recordWasOpen) {
        const bool removed = DeleteKeyTree(kLocalMachine, recordPath);
        Log(CString(removed ? "installation record removed: " : "installation record not removed: ") + "HKLM\\" +
            recordPath);
        if (!removed) return;
    }
    CString parent = recordPath;
    for (std::size_t cut = m_codePage.FindLast(parent, '\\'); cut != CString::npos; cut = m_codePage.FindLast(parent, '\\')) {
        parent.resize(cut);
        if (!StartsWithAsciiNoCase(parent, kRecordOwnerKey)) return;
        // A parent already gone (an earlier run stopped after deleting it) is passed over.
        const std::optional<bool> removed = DeleteKeyIfEmpty(kLocalMachine, parent);
        if (removed && !*removed) return;
        if (removed) Log("emptied key removed: HKLM\\" + parent);
    }
}

std::optional<bool> CUninstApp::DeleteKeyIfEmpty(RegKey root, const CString& keyPath) {
    IRegistry& registry = m_platform.registry;
    RegKey key = 0;
    const long opened = registry.OpenKey(root, keyPath, reg::kRead, key);
    if (opened == reg::kFileNotFound) return std::nullopt;
    if (opened != reg::kSuccess) return false;
    std::uint32_t subkeys = 0;
    std::uint32_t values = 0;
    const bool empty = registry.CountSubkeysAndValues(key, subkeys, values) == reg::kSuccess && subkeys == 0 &&
                       values == 0;
    registry.CloseKey(key);
    return empty && registry.DeleteKey(root, keyPath) == reg::kSuccess;
}
