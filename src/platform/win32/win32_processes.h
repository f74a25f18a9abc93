#pragma once
// Processes, the shell and the thread's message queue through kernel32, shell32 and user32.

#include "platform/processes.h"

class Win32Processes : public IProcesses {
public:
    std::unique_ptr<IProcess> StartProcess(const CString& commandLine, const CString& currentFolder) override;
    ShellStart ShellExecuteProgram(const CString& file, const CString& parameters) override;
    bool OpenDocument(const CString& path) override;
    std::uint32_t CurrentThreadId() override;
    void PostToThread(std::uint32_t threadId, const ThreadMessage& message) override;
    void TouchMessageQueue() override;
    bool WaitForProcessOrInput(IProcess& process, std::uint32_t milliseconds) override;
    std::optional<ThreadMessage> TakeMessage() override;
};
