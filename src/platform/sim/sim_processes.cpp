#include "platform/sim/sim_processes.h"

#include <algorithm>

#include "platform/sim/sim_fault.h"
#include "platform/sim/sim_text.h"

namespace {

constexpr std::uint32_t kStillActive = 259;
// A waiting loop past this many waits would run for more than a day: the test has lost its way.
constexpr std::uint32_t kRunawayWaits = 1000000;

class SimProcess : public IProcess {
public:
    SimProcess(std::shared_ptr<SimLiveProcesses> live, std::optional<std::uint32_t> endsAfterWaits,
               std::uint32_t exitCode, bool exitCodeFails, std::vector<SimArrival> arrivals)
        : m_live(std::move(live)), m_endsAfterWaits(endsAfterWaits), m_exitCode(exitCode),
          m_exitCodeFails(exitCodeFails), m_arrivals(std::move(arrivals)) {
        m_live->push_back(this);
    }
    ~SimProcess() override { m_live->erase(std::find(m_live->begin(), m_live->end(), this)); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    void WaitForExit() override {
        if (!m_endsAfterWaits) SimFault("sim: waiting without a time limit for a process that never ends");
        m_ended = true;
    }

    std::optional<std::uint32_t> ExitCode() override {
        if (m_exitCodeFails) return std::nullopt;
        return m_ended ? m_exitCode : kStillActive;
    }

    // One wait: the arrivals due, and whether the process has ended by now.
    bool Wait(std::vector<ThreadMessage>& arrived) {
        if (++m_waits > kRunawayWaits) SimFault("sim: the waiting loop never ends");
        for (const SimArrival& arrival : m_arrivals) {
            if (arrival.afterWaits == m_waits) arrived.push_back(arrival.message);
        }
        if (m_endsAfterWaits && m_waits >= *m_endsAfterWaits) m_ended = true;
        return m_ended;
    }

private:
    std::shared_ptr<SimLiveProcesses> m_live;
    std::optional<std::uint32_t> m_endsAfterWaits;
    std::uint32_t m_exitCode;
    bool m_exitCodeFails;
    std::vector<SimArrival> m_arrivals;
    std::uint32_t m_waits = 0;
    bool m_ended = false;
};

}  // namespace

SimChild SimChild::FailingToStart() {
    SimChild child;
    child.startFails = true;
    return child;
}

SimChild SimChild::EndingAfter(std::uint32_t waits, std::uint32_t exitCode) {
    SimChild child;
    child.endsAfterWaits = waits;
    child.exitCode = exitCode;
    return child;
}

SimChild SimChild::NeverEnding() { return SimChild{}; }

SimChild& SimChild::Posting(std::uint32_t afterWaits, ThreadMessage message) {
    arrivals.push_back({afterWaits, message});
    return *this;
}

SimChild& SimChild::FailingExitCode() {
    exitCodeFails = true;
    return *this;
}

SimProgram SimProgram::ExitingWith(std::uint32_t exitCode) {
    SimProgram program;
    program.exitCode = exitCode;
    return program;
}

SimProgram SimProgram::WithoutProcess() {
    SimProgram program;
    program.start = SimStart::NoProcess;
    return program;
}

SimProgram SimProgram::FailingToStart() {
    SimProgram program;
    program.start = SimStart::Fails;
    return program;
}

SimProgram SimProgram::FailingExitCode() {
    SimProgram program;
    program.exitCodeFails = true;
    return program;
}

SimProgram& SimProgram::OnStart(std::function<void()> action) {
    onStart = std::move(action);
    return *this;
}

SimProcesses::SimProcesses(SimTranscript& transcript, const SimSystem& system, SimPower& power)
    : m_transcript(transcript), m_system(system), m_power(power) {}

std::unique_ptr<IProcess> SimProcesses::StartProcess(const CString& commandLine, const CString& currentFolder) {
    m_power.Use();
    m_starts.push_back({commandLine, currentFolder});
    const bool starts = !m_children.empty() && !m_children.front().startFails;
    m_transcript.Record({SimEventKind::ProcessStarted, commandLine, currentFolder, starts ? 1 : 0, 0});
    if (m_children.empty()) return nullptr;
    SimChild child = std::move(m_children.front());
    m_children.pop_front();
    if (!starts) return nullptr;
    return std::make_unique<SimProcess>(m_live, child.endsAfterWaits, child.exitCode, child.exitCodeFails,
                                        std::move(child.arrivals));
}

ShellStart SimProcesses::ShellExecuteProgram(const CString& file, const CString& parameters) {
    m_power.Use();
    m_shellCalls.push_back({file, parameters});
    const auto found = FindByKey(m_programs, SimFold(file, CurrentCodePage()));
    const SimStart start = found == m_programs.end() ? SimStart::Fails : found->second.start;
    m_transcript.Record({SimEventKind::ShellExecuted, file, parameters, start == SimStart::Fails ? 0 : 1, 0});
    if (start == SimStart::Fails) return {};
    // A copy, so that the start action may register programs itself.
    const SimProgram program = found->second;
    if (program.onStart) program.onStart();
    if (start == SimStart::NoProcess) return {true, nullptr};
    return {true, std::make_unique<SimProcess>(m_live, 0u, program.exitCode, program.exitCodeFails, std::vector<SimArrival>{})};
}

void SimProcesses::Deliver(const ThreadMessage& message) {
    // PostThreadMessage fails for a thread that has no message queue yet.
    if (m_hasQueue) m_queue.push_back(message);
}

bool SimProcesses::OpenDocument(const CString& path) {
    m_openedDocuments.push_back(path);
    return true;
}

void SimProcesses::PostToThread(std::uint32_t threadId, const ThreadMessage& message) {
    m_posted.push_back({threadId, message});
    m_transcript.Record({SimEventKind::MessagePosted, {}, {}, threadId, message.message});
    if (threadId == m_threadId) Deliver(message);
}

bool SimProcesses::WaitForProcessOrInput(IProcess& process, std::uint32_t) {
    // Known by address rather than by a type check, so that builds without run-time type
    // information can hold the machine too.
    if (std::find(m_live->begin(), m_live->end(), &process) == m_live->end()) SimFault("sim: waiting for a process the machine did not start");
    auto* simProcess = static_cast<SimProcess*>(&process);
    std::vector<ThreadMessage> arrived;
    const bool ended = simProcess->Wait(arrived);
    for (const ThreadMessage& message : arrived) Deliver(message);
    return ended;
}

std::optional<ThreadMessage> SimProcesses::TakeMessage() {
    if (m_queue.empty()) return std::nullopt;
    const ThreadMessage message = m_queue.front();
    m_queue.pop_front();
    return message;
}

SimProcesses& SimProcesses::ScriptChild(SimChild child) {
    m_children.push_back(std::move(child));
    return *this;
}

SimProcesses& SimProcesses::RegisterProgram(const CString& path, SimProgram program) {
    ValueAt(m_programs, SimFold(path, CurrentCodePage())) = std::move(program);
    return *this;
}

SimProcesses& SimProcesses::SetCurrentThreadId(std::uint32_t threadId) {
    m_threadId = threadId;
    return *this;
}

SimProcesses& SimProcesses::QueueMessage(ThreadMessage message) {
    Deliver(message);
    return *this;
}

const CodePage& SimProcesses::CurrentCodePage() const { return m_system.CodePageSetting(); }
