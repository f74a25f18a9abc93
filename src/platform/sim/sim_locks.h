#pragma once
// The in-memory machine's named mutexes. The machine runs one thread at a time: a wait that
// finds another owner runs the scripted action of "meanwhile" (another run going on to its end,
// perhaps on a thread that this one hands over to) and must then find the mutex free, or the
// wait could never end.

#include <functional>
#include <utility>
#include <vector>

#include "platform/locks.h"
#include "platform/sim/transcript.h"

class SimLocks : public ILocks {
public:
    explicit SimLocks(SimTranscript& transcript) : m_transcript(transcript) {}

    std::unique_ptr<INamedMutex> OpenNamedMutex(const CString& name) override;

    // Test API. Another process owns the mutex of this name, until it ends: cleanly, or
    // killed, which leaves the mutex abandoned to the next owner.
    SimLocks& HoldElsewhere(const CString& name);
    SimLocks& EndHolder(const CString& name, bool killed = false);
    // What happens while a wait finds the mutex held, on the waiting thread; it may block until
    // a run on another thread has let the mutex go.
    SimLocks& WhileWaiting(std::function<void()> action);
    // A name that no mutex may have, as the system refuses a name it cannot take.
    SimLocks& RefuseName(const CString& name);
    bool IsHeld(const CString& name) const;

    // For the mutex handles.
    MutexWait Wait(const CString& name, int handle, std::uint32_t milliseconds);
    void Release(const CString& name, int handle);

private:
    struct State {
        int owner = 0;  // 0 when free; -1 for another process
        bool abandoned = false;
    };

    State& StateOf(const CString& name);

    SimTranscript& m_transcript;
    // A run opens one or two: looked up in order.
    std::vector<std::pair<CString, State>> m_mutexes;
    std::function<void()> m_whileWaiting;
    CString m_refusedName;
    int m_lastHandle = 0;
};
