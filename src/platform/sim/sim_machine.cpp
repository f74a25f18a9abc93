#include "platform/sim/sim_machine.h"

#include "platform/sim/sim_text.h"

SimMachine::SimMachine()
    : m_system(m_transcript),
      m_registry(m_transcript, m_system, m_power),
      m_files(m_transcript, m_system, m_power),
      m_processes(m_transcript, m_system, m_power),
      m_modules(m_transcript, m_system, m_power),
      m_ui(m_transcript),
      m_locks(m_transcript),
      m_platform{m_system, m_registry, m_files, m_processes, m_modules, m_ui, m_locks} {
    m_files.AddFolder(m_system.WindowsFolder())
        .AddFolder(m_system.SystemFolder())
        .AddFolder(m_files.TempPath())
        .AddFile(m_system.ModuleFileName());
    m_registry.OnLocalMachineFlush([this](RegKey root, const CString& path) {
        // The NT family keeps the queue in SYSTEM's hive, apart from SOFTWARE's (and HKCR's): a
        // flush of the root itself stands for all of them. The 9x family has one file for HKLM.
        const CString system = "SYSTEM";
        const bool inSystemHive =
            root == kLocalMachine && (path.empty() || (SimEqualsNoCase(path.substr(0, system.size()), system, m_system.CodePageSetting()) &&
                                                       (path.size() == system.size() || path[system.size()] == '\\')));
        if (!m_system.IsWindowsNt() || inSystemHive) m_files.KeepRestartQueue();
    });
}

void SimMachine::LoseUnflushed(const SimPowerLoss& loss) {
    if (loss.localMachineHive) {
        m_registry.LoseUnflushed(kLocalMachine);
        m_files.LoseUnflushedRestartQueue();
    }
    if (loss.usersHive) m_registry.LoseUnflushed(kCurrentUser);
    if (loss.fileWrites) m_files.LoseUnflushedWrites();
}
