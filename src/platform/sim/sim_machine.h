#pragma once
// The in-memory machine that unit tests run the core against. A test sets the machine up through
// its parts' test API, hands platform() to the code under test, then asserts the parts' end state
// and the transcript:
//
//   SimMachine machine;
//   machine.registry().SetString(kLocalMachine, "SOFTWARE\\Tallowmere\\UNINST\\Demo", "", "C:\\Demo\\");
//   machine.files().AddFile("C:\\Demo\\SETUP.INF", setupText).AddFile("C:\\Demo\\a.dll", {}, kAttributeReadOnly);
//   machine.ui().AnswerMessageBoxes({mb::kIdNo});
//   CUninstApp app(machine.platform());
//   ...
//   EXPECT_FALSE(machine.files().FileExists("c:\\demo\\A.DLL")) << machine.transcript().Dump();
//
// A fresh machine is Windows 98 with the folders C:\WINDOWS, C:\WINDOWS\SYSTEM, C:\WINDOWS\TEMP
// and C:\App, current folder C:\, running C:\App\UNINST.EXE (the file exists) without arguments.
// power().CutAfter(n) stops the machine after its n-th state-changing call, as a power cut would:
// the next such call changes nothing and throws SimPowerCut, and the test abandons the program.
// power().Restore() then lets a fresh program run on the state left. LoseUnflushed(loss) before
// it takes what a power cut takes beside the stop: the changes that were never flushed.
// locks() holds the named mutexes; a test can have another run hold one, and script what
// happens while a run waits for it.
// Faults of the test itself (a scripted answer that is no button of the box, a call of an export
// that is missing, a wait that can never end) throw std::logic_error.

#include "platform/platform.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_locks.h"
#include "platform/sim/sim_modules.h"
#include "platform/sim/sim_power.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_ui.h"
#include "platform/sim/transcript.h"

class SimMachine {
public:
    SimMachine();
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    Platform& platform() { return m_platform; }

    SimSystem& system() { return m_system; }
    SimRegistry& registry() { return m_registry; }
    SimFiles& files() { return m_files; }
    SimProcesses& processes() { return m_processes; }
    SimModules& modules() { return m_modules; }
    SimUi& ui() { return m_ui; }
    SimLocks& locks() { return m_locks; }
    SimPower& power() { return m_power; }
    const SimTranscript& transcript() const { return m_transcript; }

    void LoseUnflushed(const SimPowerLoss& loss);

private:
    SimTranscript m_transcript;
    SimPower m_power;
    SimSystem m_system;
    SimRegistry m_registry;
    SimFiles m_files;
    SimProcesses m_processes;
    SimModules m_modules;
    SimUi m_ui;
    SimLocks m_locks;
    Platform m_platform;
};
