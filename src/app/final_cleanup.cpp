// The last phase and the closing steps: let go of the record and have the running program file
// deleted at the next restart, since nothing can delete it while it runs.

#include "app/run_log.h"
#include "app/uninst_app.h"
#include "setupinfo/text.h"

namespace {

constexpr char kFinalCleanupStatus[] = "FINAL CLEANUP...";
constexpr std::uint32_t kClosingPauseMilliseconds = 1000;
constexpr char kRenameSection[] = "Rename";
constexpr char kDeleteDestination[] = "NUL";
constexpr char kWininitFile[] = "WININIT.INI";
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;

}  // namespace

void CUninstApp::ReleaseRecord() {
    CloseRecordKey();
    if (!m_recordKeyPath.empty()) DeleteKeyTree(kClassesRoot, m_recordKeyPath);
    m_recordKeyPath.clear();
}

void CUninstApp::FinalCleanup() {
    SetStatus(kFinalCleanupStatus);
    SetPercent(0);
    const bool recordWasOpen = m_recordKey.has_value();
    const CString recordPath = m_recordKeyPath;
    ReleaseRecord();
    DeleteInstallRecord(recordPath, recordWasOpen);
    RemoveOwnCopy();
    SetPercent(100);
    Pause(kClosingPauseMilliseconds);
    m_progress.reset();
}

void CUninstApp::CloseRun() {
    ReleaseRecord();
    ScheduleSelfDelete();
}

void CUninstApp::ScheduleSelfDelete() {
    const CString programPath = m_platform.system.ModuleFileName();
    if (programPath.empty()) return;
    m_platform.system.RaisePriority();
    if (m_isWinNT) {
        m_platform.files.DeleteAtRestart(programPath);
    } else {
        m_platform.files.WriteProfileEntry(kRenameSection, kDeleteDestination, programPath, m_winDir + kWininitFile);
    }
    Log("scheduled for deletion at restart: " + programPath);
}

bool CUninstApp::ScheduleWaitingProgramDelete() {
    IFileSystem& files = m_platform.files;
    if (!m_unattended.wait || m_waitingProgramPath.empty()) return false;
    // The first instance still runs from its file, so the file phase could not delete it.
    if (files.Delete(m_waitingProgramPath)) return false;
    const std::uint32_t error = files.LastError();
    if (error == kFileNotFound || error == kPathNotFound) return false;

    if (!m_isWinNT) {
        const CString wininit = m_winDir + kWininitFile;
        const CString text = files.ReadSharedFile(wininit).value_or(CString());
        files.WriteWholeFile(wininit, AddRenameDeletion(text, m_waitingProgramPath));
        Log("scheduled for deletion at restart: " + m_waitingProgramPath);
        return true;
    }
    ScheduleDeletionAtRestart(m_waitingProgramPath);
    // Folders are compared in their short forms, the form in which the first instance names its
    // program; a folder that holds anything else at the restart simply stays.
    const CString programFolder = FoldAscii(files.ShortPathName(FolderOf(m_waitingProgramPath)));
    for (const CString& folder : m_foldersLeft) {
        const CString shortFolder = FoldAscii(WithTrailingBackslash(files.ShortPathName(folder)));
        if (!shortFolder.empty() && StartsWithNoCase(programFolder, shortFolder)) ScheduleDeletionAtRestart(folder);
    }
    return true;
}

void CUninstApp::ScheduleDeletionAtRestart(const CString& path) {
    m_platform.files.DeleteAtRestart(path);
    Log("scheduled for deletion at restart: " + path);
}
