#include "platform/sim/sim_locks.h"

#include "platform/sim/sim_fault.h"

namespace {

constexpr int kElsewhere = -1;

class SimNamedMutex : public INamedMutex {
public:
    SimNamedMutex(SimLocks& locks, CString name, int handle) : m_locks(locks), m_name(std::move(name)), m_handle(handle) {}
    ~SimNamedMutex() override { m_locks.Release(m_name, m_handle); }
    SimNamedMutex(const SimNamedMutex&) = delete;
    SimNamedMutex& operator=(const SimNamedMutex&) = delete;

    MutexWait Wait(std::uint32_t milliseconds) override { return m_locks.Wait(m_name, m_handle, milliseconds); }

private:
    SimLocks& m_locks;
    CString m_name;
    int m_handle;
};

}  // namespace

std::unique_ptr<INamedMutex> SimLocks::OpenNamedMutex(const CString& name) {
    if (name == m_refusedName) return nullptr;
    StateOf(name);
    return std::make_unique<SimNamedMutex>(*this, name, ++m_lastHandle);
}

MutexWait SimLocks::Wait(const CString& name, int handle, std::uint32_t milliseconds) {
    const int owner = StateOf(name).owner;
    if (owner != 0 && owner != handle) {
        if (milliseconds == 0) return MutexWait::TimedOut;
        m_transcript.Record({SimEventKind::MutexWaited, name, {}, 0, 0});
        if (m_whileWaiting) m_whileWaiting();
        // Looked up again: the action may have changed the table.
        if (StateOf(name).owner != 0) SimFault("sim: a wait for the mutex '" + name + "' that can never end");
    }
    State& state = StateOf(name);
    state.owner = handle;
    const bool abandoned = state.abandoned;
    state.abandoned = false;
    return abandoned ? MutexWait::Abandoned : MutexWait::Taken;
}

void SimLocks::Release(const CString& name, int handle) {
    State& state = StateOf(name);
    if (state.owner == handle) state.owner = 0;
}

SimLocks& SimLocks::HoldElsewhere(const CString& name) {
    StateOf(name).owner = kElsewhere;
    return *this;
}

SimLocks& SimLocks::EndHolder(const CString& name, bool killed) {
    State& state = StateOf(name);
    if (state.owner == kElsewhere) {
        state.owner = 0;
        state.abandoned = killed;
    }
    return *this;
}

SimLocks& SimLocks::WhileWaiting(std::function<void()> action) {
    m_whileWaiting = std::move(action);
    return *this;
}

SimLocks& SimLocks::RefuseName(const CString& name) {
    m_refusedName = name;
    return *this;
}

bool SimLocks::IsHeld(const CString& name) const {
    for (const auto& [known, state] : m_mutexes) {
        if (known == name) return state.owner != 0;
    }
    return false;
}

SimLocks::State& SimLocks::StateOf(const CString& name) {
    for (auto& [known, state] : m_mutexes) {
        if (known == name) return state;
    }
    return m_mutexes.emplace_back(name, State{}).second;
}
