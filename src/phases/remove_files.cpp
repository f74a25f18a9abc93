// Deleting the application's files, help indexes, the installed uninstaller with its setup
// information, and the start-menu shortcuts; collecting the folders that held them.

#include <functional>

#include "app/uninst_app.h"
#include "setupinfo/setup_text.h"
#include "text/string_index.h"
#include "text/text.h"

namespace {


constexpr char kOwnCopyName[] = "SETUPPEL\\uninst.exe";
constexpr char kOwnCopyFallback[] = "%apppath%\\UNINST\\uninst.exe";
constexpr char kSetupInfName[] = "SETUP.INF";
constexpr char kUninstallShortcut[] = "Un-Install.LNK";
constexpr char kHelpExtension[] = ".HLP";
constexpr char kHelpIndexExtension[] = ".GID";
constexpr std::size_t kShortcutNameField = 3;

// A list with a constant-time test for an equal entry, compared without regard to case.
class PathSet {
public:
    PathSet(const CStringArray& initial, const CodePage& codePage) : m_codePage(codePage) {
        for (const CString& path : initial) Insert(path);
    }
    bool Contains(const CString& path) const { return m_folded.Contains(FoldAscii(path, m_codePage)); }
    void Insert(const CString& path) { m_folded.Insert(FoldAscii(path, m_codePage)); }

private:
    const CodePage& m_codePage;
    StringIndex m_folded;
};

}  // namespace

void CUninstApp::RemoveFiles() {
    SetStatus(TextId::StatusFiles);
    SetPercent(0);
    m_folderList.clear();
    PathSet listed(m_removalList, m_codePage);
    PathSet folders(m_folderList, m_codePage);

    auto addFile = [&](const CString& entry) {
        m_removalList.push_back(entry);
        listed.Insert(entry);
    };
    auto addFolder = [&](const CString& folder) {
        if (folder.empty() || folders.Contains(folder)) return;
        m_folderList.push_back(folder);
        folders.Insert(folder);
    };

    // Entries stay in the form that one more expansion turns into the path, since the own
    // copy's fallback is expanded only when it is deleted.
    for (const CString& line : m_uninstallFiles) {
        if (line.empty()) continue;
        CString path = line;
        if (!ExpandVariables(path)) continue;
        if (!IsAbsolutePath(path)) path = InAppFolder(path);
        // Without a known application folder the path would resolve against whatever drive or
        // folder is current, and could delete files the installation never owned.
        if (!IsAbsolutePath(path)) continue;
        const CString entry = EscapePercent(path);
        if (listed.Contains(entry)) continue;
        addFile(entry);
        if (entry.size() > 4 && EndsWithNoCase(entry, kHelpExtension, m_codePage)) {
            addFile(entry.substr(0, entry.size() - 4) + kHelpIndexExtension);
        }
        if (HasBackslash(path, m_codePage)) {
            addFolder(FolderOf(path, m_codePage));
        } else if (IsAbsolutePath(m_appPath)) {
            addFolder(m_appPath);
        }
    }

    const std::size_t ownCopyStart = m_removalList.size();
    AddOwnCopy(addFile, addFolder);
    PathSet ownCopy({}, m_codePage);
    for (std::size_t i = ownCopyStart; i < m_removalList.size(); ++i) {
        CString path = m_removalList[i];
        if (!HasBackslash(path, m_codePage)) path = InAppFolder(path);
        if (ExpandVariables(path)) ownCopy.Insert(path);
    }
    m_ownCopyFiles.clear();

    ReleaseFirstInstance();

    CStringArray shortcuts;
    ReadSection("AddShortcut", shortcuts);
    const int shortcutCount = static_cast<int>(shortcuts.size());
    const int fileCount = static_cast<int>(m_removalList.size());
    const int units = shortcutCount + fileCount + 1;

    for (int i = 0; i < fileCount; ++i) {
        SetPercent(ScaledShare(100, i, units));
        CString path = m_removalList[i];
        if (!HasBackslash(path, m_codePage)) {
            path = InAppFolder(path);
        } else if (!ExpandVariables(path)) {
            ShowMessage({TextId::FileUnresolved, {{Piece::Path, path}}});
            continue;
        }
        if (!IsAbsolutePath(path)) continue;
        // The uninstaller and its SETUP.INF go last of all, whoever lists them: as long as
        // anything else is left, a run stopped from outside can be started again.
        if (static_cast<std::size_t>(i) >= ownCopyStart || ownCopy.Contains(path)) {
            m_ownCopyFiles.push_back(path);
            continue;
        }
        m_platform.files.SetAttributes(path, 0);
        DeleteOrQueueFile(path);
    }

    // A start-menu folder that is not absolute would name a folder relative to wherever this
    // program happens to run.
    if (IsAbsolutePath(m_startMenuFolder)) {
        CStringArray fields;
        for (int i = 0; i < shortcutCount; ++i) {
            SetPercent(ScaledShare(100, fileCount + i, units));
            SplitFields(shortcuts[i], fields, m_codePage);
            if (fields.size() < kShortcutNameField) continue;
            const CString shortcut = m_startMenuFolder + fields[kShortcutNameField - 1];
            LogDeletion(shortcut, m_platform.files.Delete(shortcut));
        }
        const CString uninstallShortcut = m_startMenuFolder + kUninstallShortcut;
        LogDeletion(uninstallShortcut, m_platform.files.Delete(uninstallShortcut));
        m_folderList.push_back(m_startMenuFolder);
    }
    FinishPhase(TextId::StatusFilesComplete);
}

void CUninstApp::LogDeletion(const CString& path, bool deleted) {
    if (!m_log) return;
    if (deleted) {
        Log("file deleted: " + path);
    } else {
        Log("file left: " + path + " (error " + std::to_string(m_platform.files.LastError()) + ")");
    }
}

void CUninstApp::AddOwnCopy(const std::function<void(const CString&)>& addFile,
                            const std::function<void(const CString&)>& addFolder) {
    CString ownCopy;
    const CString line = FindFileLine(kOwnCopyName);
    if (!line.empty()) ownCopy = EscapePercent(ResolveFileLine(line));
    if (ownCopy.empty()) ownCopy = kOwnCopyFallback;
    if (!IsAbsolutePath(m_appPath)) ownCopy = OwnCopyWithoutRecord(ownCopy).value_or(ownCopy);

    addFile(ownCopy);
    if (!HasBackslash(ownCopy, m_codePage)) {
        addFile(kSetupInfName);
        if (IsAbsolutePath(m_appPath)) addFolder(m_appPath);
        return;
    }
    addFile(FolderOf(ownCopy, m_codePage) + kSetupInfName);
    CString expanded = ownCopy;
    if (ExpandVariables(expanded) && IsAbsolutePath(expanded)) addFolder(FolderOf(expanded, m_codePage));
}
