#include "platform/plan/plan_locks.h"

namespace {

constexpr char kHeldState[] = "another run holds it now";
constexpr char kWouldWait[] = "a run would wait here until that run ends; this plan reads the machine as it is now";

class PlanNamedMutex : public INamedMutex {
public:
    PlanNamedMutex(ILocks& real, PlanRecorder& recorder, CString name)
        : m_real(real), m_recorder(recorder), m_name(std::move(name)) {}

    // Whatever the time-out: the planned run goes on at once, as if it had the mutex.
    MutexWait Wait(std::uint32_t) override {
        const std::unique_ptr<INamedMutex> probe = m_real.OpenNamedMutex(m_name);
        // Held by this plan only for the look, let go when the probe goes.
        if (probe && probe->Wait(0) == MutexWait::TimedOut) {
            m_recorder.Add(PlanVerb::WaitForOtherRun, m_name, kHeldState, false, kWouldWait);
        }
        return MutexWait::Taken;
    }

private:
    ILocks& m_real;
    PlanRecorder& m_recorder;
    CString m_name;
};

}  // namespace

std::unique_ptr<INamedMutex> PlanLocks::OpenNamedMutex(const CString& name) {
    return std::make_unique<PlanNamedMutex>(m_real, m_recorder, name);
}
