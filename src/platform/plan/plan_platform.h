#pragma once
// A dry run's platform: each service decorates the real one, forwarding reads and recording
// changes into one recorder.

#include "platform/plan/plan_files.h"
#include "platform/plan/plan_locks.h"
#include "platform/plan/plan_processes.h"
#include "platform/plan/plan_registry.h"
#include "platform/plan/plan_system.h"
#include "platform/plan/plan_ui.h"
#include "platform/platform.h"

class PlanPlatform {
public:
    PlanPlatform(Platform& real, PlanRecorder& recorder)
        : m_system(real.system),
          m_registry(real.registry, recorder, real.system.AnsiCodePage()),
          m_files(real.files, recorder, real.system.AnsiCodePage()),
          m_processes(real.processes, m_files, recorder),
          m_modules(m_files, recorder),
          m_ui(recorder),
          m_locks(real.locks, recorder) {}
    PlanPlatform(const PlanPlatform&) = delete;
    PlanPlatform& operator=(const PlanPlatform&) = delete;

    Platform& Get() { return m_platform; }
    PlanSystem& System() { return m_system; }
    PlanProcesses& Processes() { return m_processes; }

private:
    PlanSystem m_system;
    PlanRegistry m_registry;
    PlanFiles m_files;
    PlanProcesses m_processes;
    PlanModules m_modules;
    PlanUi m_ui;
    PlanLocks m_locks;
    Platform m_platform{m_system, m_registry, m_files, m_processes, m_modules, m_ui, m_locks};
};
