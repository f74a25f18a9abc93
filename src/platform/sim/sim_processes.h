#pragma once
// The in-memory machine's processes: scripted children of StartProcess, scripted programs of the
// shell, the thread's message queue, and posted messages recorded in the transcript.

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/processes.h"
#include "platform/sim/sim_power.h"
#include "platform/sim/sorted_lookup.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/transcript.h"

// A message that reaches this thread's queue during the wait for a child.
struct SimArrival {
    std::uint32_t afterWaits = 0;  // delivered by this wait (counted from 1)
    ThreadMessage message;
};

// How a child of StartProcess behaves.
struct SimChild {
    bool startFails = false;
    std::optional<std::uint32_t> endsAfterWaits;  // nullopt: it never ends by itself
    std::uint32_t exitCode = 0;
    bool exitCodeFails = false;
    std::vector<SimArrival> arrivals;

    static SimChild FailingToStart();
    // Ends during the given wait (counted from 1) with the exit code.
    static SimChild EndingAfter(std::uint32_t waits, std::uint32_t exitCode);
    static SimChild NeverEnding();
    SimChild& Posting(std::uint32_t afterWaits, ThreadMessage message);
    SimChild& FailingExitCode();
};

// The processes of StartProcess that still exist, in the order they started.
using SimLiveProcesses = std::vector<const IProcess*>;

enum class SimStart { Runs, NoProcess, Fails };

// How a program started through the shell behaves; it ends when waited for.
struct SimProgram {
    SimStart start = SimStart::Runs;
    std::uint32_t exitCode = 0;
    bool exitCodeFails = false;
    std::function<void()> onStart;  // runs when the program starts

    static SimProgram ExitingWith(std::uint32_t exitCode);
    static SimProgram WithoutProcess();
    static SimProgram FailingToStart();
    static SimProgram FailingExitCode();
    SimProgram& OnStart(std::function<void()> action);
};

struct SimProcessStart {
    CString commandLine;
    CString currentFolder;
};

struct SimShellCall {
    CString file;
    CString parameters;
};

struct SimPostedMessage {
    std::uint32_t threadId = 0;
    ThreadMessage message;
};

class SimProcesses : public IProcesses {
public:
    SimProcesses(SimTranscript& transcript, const SimSystem& system, SimPower& power);

    std::unique_ptr<IProcess> StartProcess(const CString& commandLine, const CString& currentFolder) override;
    ShellStart ShellExecuteProgram(const CString& file, const CString& parameters) override;
    bool OpenDocument(const CString& path) override;
    std::uint32_t CurrentThreadId() override { return m_threadId; }
    void PostToThread(std::uint32_t threadId, const ThreadMessage& message) override;
    void TouchMessageQueue() override { m_hasQueue = true; }
    // A simulated 100 ms each: delivers the arrivals due and reports the child's end, which
    // wins over input arriving in the same wait, as MsgWaitForMultipleObjects does.
    bool WaitForProcessOrInput(IProcess& process, std::uint32_t milliseconds) override;
    std::optional<ThreadMessage> TakeMessage() override;

    // Test API. StartProcess takes the scripted children in order; without one it fails.
    SimProcesses& ScriptChild(SimChild child);
    // Unregistered programs fail to start. Paths compare without regard to ASCII case.
    SimProcesses& RegisterProgram(const CString& path, SimProgram program);
    SimProcesses& SetCurrentThreadId(std::uint32_t threadId);
    // A message already in the queue (given a queue).
    SimProcesses& QueueMessage(ThreadMessage message);

    const std::vector<SimProcessStart>& StartedProcesses() const { return m_starts; }
    const std::vector<SimShellCall>& ShellCalls() const { return m_shellCalls; }
    const std::vector<SimPostedMessage>& PostedMessages() const { return m_posted; }
    const CStringArray& OpenedDocuments() const { return m_openedDocuments; }
    bool HasMessageQueue() const { return m_hasQueue; }
    std::size_t QueuedMessageCount() const { return m_queue.size(); }

private:
    void Deliver(const ThreadMessage& message);

    SimTranscript& m_transcript;
    const CodePage& CurrentCodePage() const;
    const SimSystem& m_system;
    SimPower& m_power;
    std::deque<SimChild> m_children;
    std::shared_ptr<SimLiveProcesses> m_live = std::make_shared<SimLiveProcesses>();
    SortedPairs<CString, SimProgram> m_programs;  // by folded path
    std::uint32_t m_threadId = 0x1D4;
    bool m_hasQueue = false;
    std::deque<ThreadMessage> m_queue;
    std::vector<SimProcessStart> m_starts;
    std::vector<SimShellCall> m_shellCalls;
    std::vector<SimPostedMessage> m_posted;
    CStringArray m_openedDocuments;
};
