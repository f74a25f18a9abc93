// Both families write the registry's hives, and a file's content, to the disk lazily, seconds
// after a change, while a deleted file may be gone from the disk at once. Where a later step would
// be beyond repair if an earlier change were lost to a power cut, that change is flushed first.

#include "app/uninst_app.h"

namespace {

// On the NT family HKLM is several hives: the record, the list entry and the shared counts lie in
// SOFTWARE's, the queue of deletions at the restart in SYSTEM's. The 9x family keeps all of HKLM
// in one file.
constexpr char kSoftwareHiveKey[] = "SOFTWARE";
constexpr char kRestartQueueKey[] = "System\\CurrentControlSet\\Control\\Session Manager";

}  // namespace

void CUninstApp::FlushHive(RegKey root, const CString& keyPath) {
    IRegistry& registry = m_platform.registry;
    RegKey key = root;
    const bool opened = !keyPath.empty() && registry.OpenKey(root, keyPath, reg::kRead, key) == reg::kSuccess;
    // Without the key the root is flushed, which on the 9x family is the same file.
    if (!opened) key = root;
    const long status = registry.FlushKey(key);
    if (opened) registry.CloseKey(key);
    if (status != reg::kSuccess) {
        CString event = root == kCurrentUser ? "registry not flushed: HKCU\\" : "registry not flushed: HKLM\\";
        event += keyPath;
        event += " (error ";
        event += std::to_string(status);
        event += ')';
        Log(event);
    }
}

void CUninstApp::FlushRestartQueue() {
    // WININIT.INI goes to the disk as it is written.
    if (m_isWinNT) FlushHive(kLocalMachine, kRestartQueueKey);
}

void CUninstApp::FlushBeforeRecordRemoval() {
    // Once the record may be gone for good, a user's key that comes back, or a file in use whose
    // deletion at the restart is lost, would stay with nothing to remove it.
    FlushHive(kCurrentUser, {});
    FlushRestartQueue();
}

void CUninstApp::FlushRecordRemoval() {
    // Before the uninstaller deletes itself: a record and list entry that came back without it
    // would offer a removal that can never run.
    FlushHive(kLocalMachine, kSoftwareHiveKey);
}
