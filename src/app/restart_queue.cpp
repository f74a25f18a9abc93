// Files that cannot go while the run works, because a program holds them open or runs from them,
// go at the next restart instead, and so do the folders that stay only because of them.

#include "app/rename_section.h"
#include "app/run_log.h"
#include "app/uninst_app.h"
#include "text/text.h"

namespace {

constexpr char kWininitFile[] = "WININIT.INI";

// Errors of a failed deletion: missing, protected or in use.
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kLockViolation = 33;

bool IsHexDigit(char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'f') || (byte >= 'A' && byte <= 'F');
}

}  // namespace

CString CUninstApp::ComparableForm(const CString& path) {
    const CString shortPath = m_platform.files.ShortPathName(path);
    return FoldAscii(shortPath.empty() ? path : shortPath, m_codePage);
}

CString CUninstApp::ShortFormOf(const CString& path) {
    const CString shortPath = m_platform.files.ShortPathName(path);
    return shortPath.empty() ? path : shortPath;
}

bool CUninstApp::QueueDeletionAtRestart(const CString& path, const CString* withdrawn) {
    IFileSystem& files = m_platform.files;
    bool queued = false;
    if (m_isWinNT) {
        // Nothing can take a deletion back out of the NT family's queue; a withdrawn name that
        // holds nothing is passed over at the restart.
        queued = files.DeleteAtRestart(path);
    } else {
        // WININIT.INI is carried out before long names exist, so it must name the file by its
        // short form; every line already there stays, whoever wrote it.
        const CString wininit = m_winDir + kWininitFile;
        const auto text = files.ReadSharedFile(wininit);
        if (text || files.LastError() == kFileNotFound) {
            CString kept = text.value_or(CString());
            if (withdrawn) kept = WithoutRenameDeletion(kept, ShortFormOf(*withdrawn));
            // To the disk at once: a rename after it, or the record's removal, relies on it.
            queued = files.WriteWholeFileToDisk(wininit, AddRenameDeletion(kept, ShortFormOf(path)));
        }
    }
    if (queued) {
        Log("scheduled for deletion at restart: " + path);
    } else {
        Log("not scheduled for deletion at restart: " + path + " (error " + std::to_string(files.LastError()) + ")");
    }
    return queued;
}

void CUninstApp::DeleteOrQueueFile(const CString& path) {
    if (m_platform.files.Delete(path)) {
        Log("file deleted: " + path);
    } else {
        KeepOrQueueFile(path, m_platform.files.LastError());
    }
}

void CUninstApp::KeepOrQueueFile(const CString& path, std::uint32_t error) {
    // Access is denied both to a running program's file and to a file the user may not delete;
    // only the first can still be opened for deletion.
    const bool inUse = error == kSharingViolation || error == kLockViolation ||
                       (error == kAccessDenied && m_platform.files.OpensForDeletion(path));
    if (!inUse) {
        Log("file left: " + path + " (error " + std::to_string(error) + ")" +
            (error == kAccessDenied ? ", no right to delete it" : ""));
        return;
    }
    Log("file in use: " + path + " (error " + std::to_string(error) + ")");
    QueueFileInUse(path);
}

bool CUninstApp::IsQueued(const CString& path) {
    const CString wanted = ComparableForm(path);
    for (const CString& queued : m_queuedFiles) {
        if (ComparableForm(queued) == wanted) return true;
    }
    return false;
}

void CUninstApp::QueueFilesLeftInUse() {
    // With /WAIT the first instance runs from its file until the very end, also when the setup
    // information names that file in another form or not at all.
    if (m_unattended.wait && !m_waitingProgramPath.empty() && !IsQueued(m_waitingProgramPath)) {
        IFileSystem& files = m_platform.files;
        if (files.Delete(m_waitingProgramPath)) {
            Log("file deleted: " + m_waitingProgramPath);
        } else if (files.LastError() != kFileNotFound && files.LastError() != kPathNotFound) {
            KeepOrQueueFile(m_waitingProgramPath, files.LastError());
        }
    }
    QueueFoldersOfQueuedFiles();
}

void CUninstApp::QueueFoldersOfQueuedFiles() {
    // WININIT.INI deletes files only, so on the 9x family the folders stay.
    if (!m_isWinNT || m_queuedFiles.empty()) return;
    CStringArray queuedForms;
    for (const CString& queued : m_queuedFiles) queuedForms.push_back(ComparableForm(queued));
    // Deepest first, after the files: a folder that holds anything else at the restart stays.
    for (const CString& folder : m_foldersLeft) {
        if (folder.size() <= 3) continue;  // a drive's root is never removed
        const CString prefix = WithTrailingBackslash(ComparableForm(folder), m_codePage);
        for (const CString& queued : queuedForms) {
            if (StartsWithNoCase(queued, prefix, m_codePage)) {
                QueueDeletionAtRestart(folder);
                break;
            }
        }
    }
}

std::optional<CString> CUninstApp::PrivateFolderOf(const CString& programPath) {
    // The first instance names the folder like its temporary files: the prefix and four digits.
    CString folder = FolderOf(programPath, m_codePage);
    if (folder.size() < 2) return std::nullopt;
    folder.pop_back();
    const CString name = folder.substr(m_codePage.FindLast(folder, '\\') + 1);
    if (name.size() != 7 || !StartsWithAsciiNoCase(name, kTempPrefix)) return std::nullopt;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!IsHexDigit(name[i])) return std::nullopt;
    }
    CString tempFolder = m_platform.files.TempPath();
    if (tempFolder.empty()) tempFolder = m_winDir + "TEMP";
    if (WithTrailingBackslash(ComparableForm(FolderOf(folder, m_codePage)), m_codePage) != WithTrailingBackslash(ComparableForm(tempFolder), m_codePage)) {
        return std::nullopt;
    }
    return folder;
}
