#include "platform/sim/sim_machine.h"

#include "platform/sim/sim_text.h"

namespace {

// The NT family keeps the restart queue in SYSTEM's hive, apart from SOFTWARE's (and HKCR's): a
// flush of the root itself stands for all of them. The 9x family keeps HKLM in one file.
bool InSystemHive(RegKey root, const CString& path, const CodePage& codePage) {
    if (root != kLocalMachine) return false;
    return path.empty() || SimEqualsNoCase(SimSplitPath(path, codePage).front(), "SYSTEM", codePage);
}

}  // namespace

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
        if (!m_system.IsWindowsNt() || InSystemHive(root, path, m_system.CodePageSetting())) m_files.KeepRestartQueue();
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
