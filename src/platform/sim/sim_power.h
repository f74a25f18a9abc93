#pragma once
// The in-memory machine's power. A test can cut it after a number of state-changing calls, as a
// power cut or a process killed from outside stops a real run between two writes, and can then
// switch it back on for a fresh program to run on whatever state the cut left.

#include <cstddef>
#include <optional>
#include <stdexcept>

// Thrown by the call that finds the power gone: the program under test stops where it stands, and
// the test abandons it. The call itself has changed nothing.
class SimPowerCut : public std::runtime_error {
public:
    SimPowerCut() : std::runtime_error("sim machine: the power is cut") {}
};

// What a power cut loses beside the calls it stops: the changes not yet on the disk, where the
// test chooses which. Neither family writes a hive or a file's cache at once, and a lazy write
// may or may not have come before the cut, so each store may keep or lose its unflushed changes
// on its own. Deletions and renames are not in it (SimFiles::LoseUnflushedWrites says why).
struct SimPowerLoss {
    bool localMachineHive = false;  // HKLM with HKCR, and the NT family's restart queue
    bool usersHive = false;         // HKCU
    bool fileWrites = false;        // file contents: WININIT.INI, a log
};

class SimPower {
public:
    // Every part of the machine calls this before a call that may change the machine's state
    // (registry and file writes, deletions, program starts, module unregistration). Throws
    // SimPowerCut once the calls allowed are used up, and for every call after that.
    void Use();

    // Test API. The next `calls` state-changing calls go through; the one after them is cut.
    SimPower& CutAfter(std::size_t calls);
    // Power back, with no limit: what a restart after the cut gives.
    SimPower& Restore();
    bool IsCut() const { return m_cut; }
    // State-changing calls that went through since the machine was made.
    std::size_t CallsMade() const { return m_callsMade; }

private:
    std::optional<std::size_t> m_callsLeft;
    std::size_t m_callsMade = 0;
    bool m_cut = false;
};
