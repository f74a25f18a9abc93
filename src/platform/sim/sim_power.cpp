#include "platform/sim/sim_power.h"

#include "platform/sim/sim_fault.h"

void SimPower::Use() {
    if (m_callsLeft && *m_callsLeft == 0) m_cut = true;
    if (m_cut) {
#if defined(__cpp_exceptions)
        throw SimPowerCut();
#else
        // Only tests cut the power, and they are built with exceptions.
        SimFault("sim machine: the power is cut");
#endif
    }
    if (m_callsLeft) --*m_callsLeft;
    ++m_callsMade;
}

SimPower& SimPower::CutAfter(std::size_t calls) {
    m_callsLeft = calls;
    m_cut = false;
    return *this;
}

SimPower& SimPower::Restore() {
    m_callsLeft.reset();
    m_cut = false;
    return *this;
}
