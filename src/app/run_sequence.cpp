// The spine of the working copy: load, confirm, then the seven phases in their fixed order.

#include "app/uninst_app.h"

void CUninstApp::RunUninstall(std::unique_ptr<IOpenFile> setupFile) {
    m_removalList.clear();
    if (!LoadSetupInfo(std::move(setupFile))) {
        EndWith(RunEnding::Stopped);
        return;
    }
    LockInstallation();
    if (!ReadInstallRecord()) {
        EndWith(RunEnding::Stopped);
        return;
    }

    if (IsQuiet()) {
        Log("confirmation: Un-Install (silent)");
    } else if (m_platform.ui.RunConfirmationDialog(m_appName, m_language) != mb::kIdOk) {
        Log("confirmation: Exit");
        CloseRun();
        EndWith(RunEnding::Cancelled);
        return;
    } else {
        Log("confirmation: Un-Install");
    }

    if (m_unattended.quietness != Quietness::VerySilent) m_progress = m_platform.ui.CreateProgressWindow(m_appName, m_language);
    SetStatus(TextId::StatusInitializing);
    SetPercent(0);

    if (!RunUninstallPrograms() || !UnregisterModules() || !DereferenceSharedComponents()) {
        // Cut short: what was removed stays removed, the record stays open until the process
        // ends, and the temporary copy is not scheduled for deletion.
        m_removalList.clear();
        m_folderList.clear();
        m_progress.reset();
        Log("run cut short");
        EndWith(RunEnding::CutShort);
        return;
    }
    RemoveRegistryEntries();
    RemoveFiles();
    RemoveDirectories();
    // Now, while the record still lets a second run find the application's files: a run stopped
    // after the record is deleted would leave these folders to no one. Queued again below with
    // whatever the final clean-up adds; the second deletion of a folder finds nothing.
    QueueFoldersOfQueuedFiles();
    // After the final clean-up, which deletes the uninstaller last of all and may find it in use.
    FinalCleanup();
    QueueFilesLeftInUse();
    CloseRun();
    Log("run completed");
    // The caller that waits learns that the removal ends only with the next restart.
    if (m_unattended.wait && !m_queuedFiles.empty()) {
        EndWithCode(exitcode::kRestartNeeded);
    } else {
        EndWith(RunEnding::Completed);
    }
}
