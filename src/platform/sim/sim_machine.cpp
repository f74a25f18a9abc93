#include "platform/sim/sim_machine.h"

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
}
