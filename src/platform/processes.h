#pragma once
// Processes, thread messages and the shell, shaped after kernel32, user32 and shell32.

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/types.h"

// A started process; its handles are closed when the object goes.
class IProcess {
public:
    virtual ~IProcess() = default;
    // WaitForSingleObject(INFINITE).
    virtual void WaitForExit() = 0;
    // GetExitCodeProcess: nullopt when the call fails; 259 while still running.
    virtual std::optional<std::uint32_t> ExitCode() = 0;
};

struct ShellStart {
    bool started = false;               // ShellExecuteExA returned non-zero
    std::unique_ptr<IProcess> process;  // null when no new process was started
};

class IProcesses {
public:
    virtual ~IProcesses() = default;
    // CreateProcessA as the relaunch needs it: no inherited handles, CREATE_DEFAULT_ERROR_MODE,
    // the given current folder. Null on failure.
    virtual std::unique_ptr<IProcess> StartProcess(const CString& commandLine, const CString& currentFolder) = 0;
    // ShellExecuteExA with SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI, no verb, SW_SHOWNORMAL.
    virtual ShellStart ShellExecuteProgram(const CString& file, const CString& parameters) = 0;
    // ShellExecuteA with the verb "open": the file in the program that its type belongs to.
    virtual bool OpenDocument(const CString& path) = 0;
    virtual std::uint32_t CurrentThreadId() = 0;
    virtual void PostToThread(std::uint32_t threadId, const ThreadMessage& message) = 0;
    // PeekMessageA without removing: gives the thread its message queue.
    virtual void TouchMessageQueue() = 0;
    // MsgWaitForMultipleObjects on the process and QS_ALLINPUT: true when the process ended.
    virtual bool WaitForProcessOrInput(IProcess& process, std::uint32_t milliseconds) = 0;
    // PeekMessageA with PM_REMOVE.
    virtual std::optional<ThreadMessage> TakeMessage() = 0;
};
