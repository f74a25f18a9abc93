#pragma once
// An application object on a fresh in-memory machine, ready for one removal phase at a time:
// the folders set as a run would have them, the installation record open (it holds the run's
// journal), and a progress window open.

#include <gtest/gtest.h>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"

class PhaseFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_app.m_appPath = "C:\\App\\";
        m_app.m_sysDir = "C:\\WINDOWS\\SYSTEM\\";
        m_app.m_winDir = "C:\\WINDOWS\\";
        m_app.m_progress = m_machine.ui().CreateProgressWindow("Demo", Language::English());
        m_app.m_recordKeyPath = kFixtureRecordPath;
        RegKey record = 0;
        m_machine.registry().SetString(kLocalMachine, kFixtureRecordPath, "", "C:\\App\\");
        m_machine.registry().OpenKey(kLocalMachine, kFixtureRecordPath, reg::kAllAccess, record);
        m_app.m_recordKey = record;
    }
    // The record's handle stays open for the whole run; a phase leaves no other.
    static constexpr std::size_t kRecordHandles = 1;
    static constexpr char kFixtureRecordPath[] = "SOFTWARE\\Tallowmere\\UNINST\\Demo";
    CStringArray Texts() const { return m_machine.transcript().MessageTexts(); }
    CString Dump() const { return m_machine.transcript().Dump(); }

    SimMachine m_machine;
    CUninstApp m_app{m_machine.platform()};
};
