#pragma once
// Named mutexes in a dry run. A plan never waits for a real run: it looks whether another run
// holds the mutex, lets it go at once if it got it, says in the plan that a run would wait, and
// goes on with the machine as it is now.

#include "platform/locks.h"
#include "platform/plan/plan_record.h"

class PlanLocks : public ILocks {
public:
    PlanLocks(ILocks& real, PlanRecorder& recorder) : m_real(real), m_recorder(recorder) {}

    std::unique_ptr<INamedMutex> OpenNamedMutex(const CString& name) override;

private:
    ILocks& m_real;
    PlanRecorder& m_recorder;
};
