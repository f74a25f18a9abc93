// The last phase and the closing steps: let go of the record and have the running program file
// deleted at the next restart, since nothing can delete it while it runs.

#include "app/uninst_app.h"

namespace {

constexpr std::uint32_t kClosingPauseMilliseconds = 1000;

}  // namespace

void CUninstApp::ReleaseRecord() {
    CloseRecordKey();
    if (!m_recordKeyPath.empty()) DeleteKeyTree(kClassesRoot, m_recordKeyPath);
    m_recordKeyPath.clear();
}

void CUninstApp::FinalCleanup() {
    SetStatus(TextId::StatusFinalCleanup);
    SetPercent(0);
    const bool recordWasOpen = m_recordKey.has_value();
    const CString recordPath = m_recordKeyPath;
    ReleaseRecord();
    FlushBeforeRecordRemoval();
    DeleteInstallRecord(recordPath, recordWasOpen);
    FlushRecordRemoval();
    RemoveOwnCopy();
    SetPercent(100);
    PauseForReader(kClosingPauseMilliseconds);
    m_progress.reset();
}

void CUninstApp::CloseRun() {
    ReleaseRecord();
    ScheduleSelfDelete();
    FlushRestartQueue();
}

void CUninstApp::ScheduleSelfDelete() {
    const CString programPath = m_platform.system.ModuleFileName();
    if (programPath.empty()) return;
    m_platform.system.RaisePriority();
    QueueDeletionAtRestart(programPath);
    const auto privateFolder = PrivateFolderOf(programPath);
    if (!privateFolder) return;
    if (m_isWinNT) {
        QueueDeletionAtRestart(*privateFolder);
    } else {
        Log("private folder stays: " + *privateFolder + " (WININIT.INI deletes files only)");
    }
}
