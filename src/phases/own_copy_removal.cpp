// The installed uninstaller and its SETUP.INF: deleted after the record, the last things a run
// removes, with the folders that held them.

#include "app/uninst_app.h"
#include "phases/folder_chain.h"
#include "text/string_index.h"
#include "text/text.h"

void CUninstApp::RemoveOwnCopy() {
    IFileSystem& files = m_platform.files;
    CStringArray folders;
    StringIndex listed;
    for (const CString& path : m_ownCopyFiles) {
        files.SetAttributes(path, 0);
        DeleteOrQueueFile(path);
        if (listed.Insert(FoldAscii(FolderOf(path, m_codePage), m_codePage)).second) folders.push_back(FolderOf(path, m_codePage));
    }
    m_ownCopyFiles.clear();

    StringIndex removed;
    for (const CString& listedFolder : FoldersToRemove(folders, FolderBounds(), m_codePage)) {
        const CString folder = WithoutTrailingBackslashBeyondRoot(listedFolder, m_codePage);
        if (files.RemoveFolder(folder)) {
            removed.Insert(FoldAscii(folder, m_codePage));
            Log("folder removed: " + folder);
        } else {
            Log("folder left: " + folder + " (error " + std::to_string(files.LastError()) + ")");
        }
    }
    // What is gone now need not be scheduled for the restart.
    CStringArray left;
    for (const CString& folder : m_foldersLeft) {
        if (!removed.Contains(FoldAscii(folder, m_codePage))) left.push_back(folder);
    }
    m_foldersLeft = left;
}

std::optional<CString> CUninstApp::OwnCopyWithoutRecord(const CString& ownCopy) {
    // Without a record the one place this run knows is the one it was started from. The own
    // copy's line, expanded with no application folder, names that place relative to the
    // application folder; where the started path ends that way, the rest is the folder.
    // A record that exists but refuses this user belongs to an installation that someone with
    // more rights can still remove: its uninstaller stays.
    CString relative = ownCopy;
    if (!m_recordAbsent || m_waitingProgramPath.empty() || !ExpandVariables(relative) || relative.empty() ||
        IsAbsolutePath(relative)) {
        return std::nullopt;
    }
    const CString& started = m_waitingProgramPath;
    if (started.size() <= relative.size() || !EndsWithNoCase(started, relative, m_codePage)) return std::nullopt;
    const CString appFolder = started.substr(0, started.size() - relative.size());
    if (!IsAbsolutePath(appFolder) || (relative.front() != '\\' && !EndsWithBackslash(appFolder, m_codePage))) return std::nullopt;
    m_ownCopyAppFolder = appFolder;
    Log("no installation record: the uninstaller at " + started + " and its SETUP.INF are removed, up to " +
        appFolder);
    return EscapePercent(started);
}
