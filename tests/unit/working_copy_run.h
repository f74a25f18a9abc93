#pragma once
// A working copy run from its private folder against an installation that lists only files: the
// fixture of the tests of what a run leaves to the next restart.

#include <gtest/gtest.h>

#include <memory>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"

namespace working_copy_run {

constexpr char kSetupInf[] = "C:\\App\\UNINST\\SETUP.INF";
constexpr char kInstalledCopy[] = "C:\\App\\UNINST\\UNINST.EXE";
constexpr char kPrivateFolder[] = "C:\\WINDOWS\\TEMP\\~UN5B20";
constexpr char kWorkingCopy[] = "C:\\WINDOWS\\TEMP\\~UN5B20\\~UN3A1F.tmp";
constexpr char kWininit[] = "C:\\WINDOWS\\WININIT.INI";
constexpr char kLog[] = "C:\\Logs\\run.log";

class WorkingCopyRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine.files().AddFile(kWorkingCopy, "program").AddFile(kInstalledCopy, "program").AddFolder("C:\\Logs");
        m_machine.system().SetModuleFileName(kWorkingCopy);
        m_machine.registry().SetString(kLocalMachine, "SOFTWARE\\Tallowmere\\UNINST\\Demo", "", "C:\\App\\");
    }
    void WriteSetup(const CStringArray& files) {
        CString text = "[SetupOptions]\r\nAppName=Demo\r\n[UnInstall]\r\n";
        for (const CString& file : files) text += file + "\r\n";
        m_machine.files().AddFile(kSetupInf, text);
    }
    // The run's exit code; the program object stays for the test to ask.
    int Run(const CString& arguments) {
        m_machine.system().SetArgumentText(arguments);
        m_app = std::make_unique<CUninstApp>(m_machine.platform());
        EXPECT_FALSE(m_app->InitInstance());
        return m_app->ExitCode();
    }
    CString Log() { return m_machine.files().FileContent(kLog).value_or("<no log>"); }
    bool Logged(const CString& event) { return Log().find("] " + event + "\r\n") != CString::npos; }
    CString Dump() const { return m_machine.transcript().Dump(); }

    SimMachine m_machine;
    std::unique_ptr<CUninstApp> m_app;
};

}  // namespace working_copy_run
