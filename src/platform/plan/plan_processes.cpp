#include "platform/plan/plan_processes.h"

namespace {

constexpr char kProgramNote[] =
    "what it does and its exit code show only when it runs; the plan takes exit code 0";
constexpr char kNotFound[] = "not found: the start fails";
constexpr char kModuleNote[] =
    "its export and result show only when it is loaded; the plan takes success, which asks nothing";

class EndedProcess : public IProcess {
public:
    void WaitForExit() override {}
    std::optional<std::uint32_t> ExitCode() override { return 0; }
};

class UnloadedModule : public IModule {
public:
    bool HasUnregisterExport() override { return true; }
    std::int32_t CallUnregister() override { return 0; }
};

}  // namespace

std::unique_ptr<IProcess> PlanProcesses::StartProcess(const CString& commandLine, const CString& currentFolder) {
    m_recorder.Add(PlanVerb::StartWorkingCopy, commandLine, "in " + currentFolder, true);
    m_workingCopyCommandLine = commandLine;
    return std::make_unique<EndedProcess>();
}

ShellStart PlanProcesses::ShellExecuteProgram(const CString& file, const CString& parameters) {
    const bool exists = m_files.FileExists(file);
    PlanAction& action = m_recorder.Add(PlanVerb::StartProgram, file, exists ? planstate::kExists : kNotFound, exists,
                                        parameters.empty() ? CString() : "parameters " + parameters);
    if (exists) action.notes.push_back(kProgramNote);
    ShellStart result;
    result.started = exists;
    if (exists) result.process = std::make_unique<EndedProcess>();
    return result;
}

bool PlanProcesses::OpenDocument(const CString& path) {
    const char* state = m_files.FileExists(path) ? planstate::kExists : planstate::kMissing;
    m_recorder.Add(PlanVerb::OpenDocument, path, state, false);
    return true;
}

void PlanProcesses::PostToThread(std::uint32_t threadId, const ThreadMessage&) {
    // The release posts the same message several times; one line says it.
    const CString thread = "thread " + std::to_string(threadId);
    const auto& actions = m_recorder.Actions();
    if (!actions.empty() && actions.back().verb == PlanVerb::ReleaseFirstInstance && actions.back().item == thread) {
        return;
    }
    m_recorder.Add(PlanVerb::ReleaseFirstInstance, thread, CString(), false);
}

bool PlanProcesses::WaitForProcessOrInput(IProcess&, std::uint32_t) { return true; }

std::unique_ptr<IModule> PlanModules::LoadModule(const CString& path, DependencySearch) {
    if (!m_files.FileExists(path)) {
        m_recorder.Add(PlanVerb::UnregisterModule, path, "not found: loading fails", false);
        return nullptr;
    }
    m_recorder.Add(PlanVerb::UnregisterModule, path, planstate::kExists, true).notes.push_back(kModuleNote);
    return std::make_unique<UnloadedModule>();
}
