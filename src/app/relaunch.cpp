// The first instance: copy the program to a temporary file, start the copy, and wait until the
// copy releases it or ends. The working copy's side of the hand-over is the release.

#include "app/command_line.h"
#include "app/uninst_app.h"
#include "text/text.h"

namespace {


constexpr std::uint32_t kWaitSliceMilliseconds = 100;
constexpr int kQuitMessagesPosted = 4;
constexpr std::uint32_t kReleasePauseMilliseconds = 500;

bool EndsTheWait(std::uint32_t message) {
    return message == wm::kQuit || message == wm::kQueryEndSession || message == wm::kEndSession;
}

}  // namespace

void CUninstApp::RelaunchFromTemp(const CString& argumentText) {
    IFileSystem& files = m_platform.files;
    // A person sees the message and the first instance ends with 0, as it always has; a caller
    // without a screen learns of the failure from the exit code instead.
    auto fail = [&](TextId message) {
        ShowMessage(message);
        if (IsQuiet()) EndWithCode(exitcode::kFailed);
    };
    const CString modulePath = m_platform.system.ModuleFileName();
    if (modulePath.empty()) {
        fail(TextId::ModuleNameFailed);
        return;
    }
    CString programPath = files.ShortPathName(modulePath);
    if (programPath.empty()) programPath = modulePath;

    CString tempFolder = files.TempPath();
    if (tempFolder.empty()) {
        tempFolder = m_winDir + "TEMP";
        files.CreateFolder(tempFolder);
    }

    // The working copy runs from a folder made new for it: Windows takes DLLs from a program's
    // own folder first, and the temporary folder is open to every program of the user.
    const auto privateFolder = files.CreateUniqueFolder(tempFolder, kTempPrefix);
    if (!privateFolder) {
        fail(TextId::TempNameFailed);
        return;
    }
    Log("private folder created: " + *privateFolder);
    CString tempFile;
    auto abandon = [&](TextId message) {
        fail(message);
        if (!tempFile.empty()) files.Delete(tempFile);
        files.RemoveFolder(*privateFolder);
    };

    const auto created = files.CreateTempFileName(*privateFolder, kTempPrefix);
    if (!created) {
        abandon(TextId::TempNameFailed);
        return;
    }
    tempFile = CString(TrimWhiteSpace(*created));
    if (tempFile.empty()) {
        abandon(TextId::TempNameEmpty);
        return;
    }

    if (!files.Copy(programPath, tempFile)) {
        abandon(TextId::TempCopyFailed);
        return;
    }

    // With /WAIT nobody releases this instance: it ends with the working copy.
    const auto threadId =
        m_unattended.wait ? 0 : static_cast<std::int32_t>(m_platform.processes.CurrentThreadId());
    const CString commandLine =
        BuildRelaunchCommandLine(tempFile, threadId, programPath, PassedOnArguments(argumentText));
    // The current folder too, since older systems look there for DLLs before the system folder.
    const std::unique_ptr<IProcess> workingCopy = m_platform.processes.StartProcess(commandLine, *privateFolder);
    if (!workingCopy) {
        abandon(TextId::TempStartFailed);
        return;
    }
    Log("working copy started: " + commandLine);
    WaitForWorkingCopy(*workingCopy);
}

CString CUninstApp::PassedOnArguments(const CString& argumentText) {
    // The working copy runs in its private folder, where a relative log path would name
    // another file; the later switch wins, so the full path is added behind the others.
    if (!m_unattended.logPath || m_unattended.logPath->empty() || IsAbsolutePath(*m_unattended.logPath)) {
        return argumentText;
    }
    return argumentText + " /LOG=\"" + m_platform.files.FullPathName(*m_unattended.logPath) + "\"";
}

void CUninstApp::WaitForWorkingCopy(IProcess& workingCopy) {
    IProcesses& processes = m_platform.processes;
    // The queue must exist before the copy can post its release to this thread.
    processes.TouchMessageQueue();
    for (;;) {
        if (processes.WaitForProcessOrInput(workingCopy, kWaitSliceMilliseconds)) {
            EndWithCode(static_cast<int>(workingCopy.ExitCode().value_or(0)));
            Log("working copy ended");
            return;
        }
        const auto message = processes.TakeMessage();
        if (!message) continue;
        m_msgCur = *message;
        if (EndsTheWait(message->message)) {
            Log(message->message == wm::kQuit ? "released by the working copy" : "ended by the end of the session");
            return;
        }
    }
}

void CUninstApp::ReleaseFirstInstance() {
    if (m_waitingThreadId == 0) return;
    const auto thread = static_cast<std::uint32_t>(m_waitingThreadId);
    for (int i = 0; i < kQuitMessagesPosted; ++i) m_platform.processes.PostToThread(thread, ThreadMessage{wm::kQuit, 0, 0});
    Pause(kReleasePauseMilliseconds);
}
