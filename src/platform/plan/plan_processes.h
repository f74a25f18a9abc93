#pragma once
// Processes and modules in a dry run: nothing is started or loaded. A program or module that
// exists is taken to run and succeed, since what it does shows only when it runs; one that does
// not exist fails as the real call would.

#include "platform/modules.h"
#include "platform/plan/plan_files.h"
#include "platform/plan/plan_record.h"
#include "platform/processes.h"

class PlanProcesses : public IProcesses {
public:
    PlanProcesses(IProcesses& real, PlanFiles& files, PlanRecorder& recorder)
        : m_real(real), m_files(files), m_recorder(recorder) {}

    std::unique_ptr<IProcess> StartProcess(const CString& commandLine, const CString& currentFolder) override;
    ShellStart ShellExecuteProgram(const CString& file, const CString& parameters) override;
    bool OpenDocument(const CString& path) override;
    std::uint32_t CurrentThreadId() override { return m_real.CurrentThreadId(); }
    void PostToThread(std::uint32_t threadId, const ThreadMessage& message) override;
    void TouchMessageQueue() override {}
    // The processes handed out here have ended before anyone waits for them.
    bool WaitForProcessOrInput(IProcess& process, std::uint32_t milliseconds) override;
    std::optional<ThreadMessage> TakeMessage() override { return std::nullopt; }

    // The command line of the working copy that the first instance would start; empty if none.
    const CString& WorkingCopyCommandLine() const { return m_workingCopyCommandLine; }

private:
    IProcesses& m_real;
    PlanFiles& m_files;
    PlanRecorder& m_recorder;
    CString m_workingCopyCommandLine;
};

class PlanModules : public IModules {
public:
    PlanModules(PlanFiles& files, PlanRecorder& recorder) : m_files(files), m_recorder(recorder) {}

    std::unique_ptr<IModule> LoadModule(const CString& path, DependencySearch search) override;

private:
    PlanFiles& m_files;
    PlanRecorder& m_recorder;
};
