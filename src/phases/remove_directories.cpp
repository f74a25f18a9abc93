// Removing the folders that held the removed files, deepest first, when they are empty, and the
// folders above them that they emptied, up to the installation's own folders.

#include "app/uninst_app.h"
#include "phases/folder_chain.h"
#include "text/text.h"

void CUninstApp::RemoveDirectories() {
    SetStatus(TextId::StatusDirectories);
    SetPercent(0);
    m_foldersLeft.clear();

    // A folder that held only an emptied subfolder was never listed, and without its parents
    // the application folder would stay.
    const CStringArray ordered = FoldersToRemove(m_folderList, FolderBounds(), m_codePage);

    const int count = static_cast<int>(ordered.size());
    for (int i = 0; i < count; ++i) {
        SetPercent(ScaledShare(100, i, count));
        const CString folder = WithoutTrailingBackslashBeyondRoot(ordered[i], m_codePage);
        if (m_platform.files.RemoveFolder(folder)) {
            Log("folder removed: " + folder);
        } else {
            Log("folder left: " + folder + " (error " + std::to_string(m_platform.files.LastError()) + ")");
            m_foldersLeft.push_back(folder);
        }
    }
    m_folderList = ordered;
    FinishPhase(TextId::StatusDirectoriesComplete);
}

CStringArray CUninstApp::FolderBounds() const {
    return {m_appPath, m_appCommon, m_startMenuFolder, m_ownCopyAppFolder};
}
