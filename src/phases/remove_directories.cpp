// Removing the folders that held the removed files, deepest first, when they are empty.

#include <algorithm>

#include "app/uninst_app.h"
#include "setupinfo/text.h"

namespace {

constexpr char kTitleStatus[] = "REMOVING DIRECTORIES...";
constexpr char kCompleteStatus[] = "REMOVING DIRECTORIES...\nCOMPLETE!";

}  // namespace

void CUninstApp::RemoveDirectories() {
    SetStatus(kTitleStatus);
    SetPercent(0);
    m_foldersLeft.clear();

    // Descending order of the case-folded paths puts every listed subfolder before its parent.
    std::vector<std::pair<CString, CString>> ordered;
    ordered.reserve(m_folderList.size());
    for (const CString& folder : m_folderList) ordered.emplace_back(FoldAscii(folder), folder);
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first > b.first; });

    const int count = static_cast<int>(ordered.size());
    for (int i = 0; i < count; ++i) {
        SetPercent(ScaledShare(100, i, count));
        CString folder = ordered[i].second;
        if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
        if (m_platform.files.RemoveFolder(folder)) {
            Log("folder removed: " + folder);
        } else {
            Log("folder left: " + folder + " (error " + std::to_string(m_platform.files.LastError()) + ")");
            m_foldersLeft.push_back(folder);
        }
    }
    m_folderList.clear();
    for (const auto& entry : ordered) m_folderList.push_back(entry.second);
    FinishPhase(kCompleteStatus);
}
