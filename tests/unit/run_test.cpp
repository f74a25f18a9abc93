// The working copy from its switch to its exit code: the four endings, the progress protocol of a
// whole run, self-deletion on both families, and the unattended switches.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"
#include "text/text.h"

namespace {

constexpr char kRecordPath[] = "SOFTWARE\\Tallowmere\\UNINST\\Demo";
constexpr char kSetupInf[] = "C:\\App\\UNINST\\SETUP.INF";
constexpr char kInstalledCopy[] = "C:\\App\\UNINST\\UNINST.EXE";
constexpr char kWorkingCopy[] = "C:\\WINDOWS\\TEMP\\~UN3A1F.tmp";
constexpr char kWininit[] = "C:\\WINDOWS\\WININIT.INI";
constexpr char kCopySwitch[] = "/UNINST=77,C:\\App\\UNINST\\UNINST.EXE";

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine.system().SetArgumentText(kCopySwitch).SetModuleFileName(kWorkingCopy);
        m_machine.files().AddFile(kWorkingCopy, "program").AddFile(kInstalledCopy, "program");
        m_machine.files().AddFile("C:\\App\\a.dll");
        m_machine.registry().SetString(kLocalMachine, kRecordPath, "", "C:\\App\\");
        m_machine.registry().AddKey(kClassesRoot, CString(kRecordPath) + "\\Sub");
    }
    void WriteSetup(const CString& sections) {
        m_machine.files().AddFile(kSetupInf, "[SetupOptions]\r\nAppName=Demo\r\n[UnInstall]\r\n%apppath%\\a.dll\r\n" +
                                                 sections);
    }
    int Run(const CString& arguments = kCopySwitch) {
        m_machine.system().SetArgumentText(arguments);
        m_app = std::make_unique<CUninstApp>(m_machine.platform());
        EXPECT_FALSE(m_app->InitInstance());
        return m_app->ExitCode();
    }
    std::size_t Count(SimEventKind kind) const { return m_machine.transcript().Count(kind); }
    CString Dump() const { return m_machine.transcript().Dump(); }

    SimMachine m_machine;
    std::unique_ptr<CUninstApp> m_app;
};

TEST_F(RunTest, EmptyUninstallSectionStopsBeforeTheConfirmation) {
    m_machine.files().AddFile(kSetupInf, "[SetupOptions]\r\nAppName=Demo\r\n[UnInstall]\r\n");
    EXPECT_EQ(Run(), 1603);
    EXPECT_EQ(Count(SimEventKind::ConfirmationDialog), 0u) << Dump();
    EXPECT_EQ(Count(SimEventKind::ProgressCreated), 0u);
    EXPECT_EQ(Count(SimEventKind::RestartDeletion), 0u);
    EXPECT_FALSE(m_machine.files().ProfileEntry(kWininit, "Rename", "NUL"));
    EXPECT_EQ(m_machine.transcript().MessageTexts(),
              CStringArray{"UNINSTALL WARNING:  no files listed in 'Uninstall' section of SETUP.INF - UNINSTALL will "
                           "now close"});
}

TEST_F(RunTest, CancelledOn9xClosesTheRecordAndSchedulesTheCopy) {
    WriteSetup("");
    m_machine.files().AddFile(kWininit, "[Rename]\r\nNUL=C:\\OLD.TMP\r\n");
    m_machine.ui().AnswerConfirmation(mb::kIdCancel);
    EXPECT_EQ(Run(), 1602);
    EXPECT_EQ(Count(SimEventKind::ProgressCreated), 0u) << Dump();
    EXPECT_TRUE(m_machine.transcript().ProgressEvents().empty());
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), 0u);
    EXPECT_FALSE(m_machine.registry().KeyExists(kClassesRoot, kRecordPath));
    EXPECT_TRUE(m_machine.registry().KeyExists(kLocalMachine, kRecordPath));
    // Another program's pending deletion keeps its line.
    EXPECT_EQ(m_machine.files().ProfileValues(kWininit, "Rename", "NUL"), (CStringArray{kWorkingCopy, "C:\\OLD.TMP"}));
    EXPECT_TRUE(m_machine.files().PendingRestartDeletions().empty());
    EXPECT_TRUE(m_machine.files().FileExists("C:\\App\\a.dll"));
}

TEST_F(RunTest, CancelledOnNtUsesTheDelayedDeletion) {
    m_machine.system().UseWindowsNt4();
    WriteSetup("");
    m_machine.ui().AnswerConfirmation(mb::kIdCancel);
    EXPECT_EQ(Run(), 1602);
    EXPECT_EQ(m_machine.files().PendingRestartDeletions(), CStringArray{kWorkingCopy}) << Dump();
    EXPECT_FALSE(m_machine.files().ProfileEntry(kWininit, "Rename", "NUL"));
    EXPECT_FALSE(m_machine.registry().KeyExists(kClassesRoot, kRecordPath));
}

TEST_F(RunTest, NoToTheProgramQuestionCutsTheRunShort) {
    WriteSetup("[ExecuteOnUninstall]\r\nGONE.EXE\r\n");
    m_machine.ui().AnswerMessageBoxes({mb::kIdNo});
    EXPECT_EQ(Run(), 1603);
    EXPECT_EQ(Count(SimEventKind::ProgressDestroyed), 1u) << Dump();
    EXPECT_FALSE(m_machine.ui().ProgressWindowOpen());
    EXPECT_EQ(Count(SimEventKind::FileDeleted), 0u);
    EXPECT_EQ(Count(SimEventKind::MessagePosted), 0u);
    EXPECT_EQ(Count(SimEventKind::RestartDeletion), 0u);
    EXPECT_FALSE(m_machine.files().ProfileEntry(kWininit, "Rename", "NUL"));
    EXPECT_TRUE(m_machine.files().FileExists("C:\\App\\a.dll"));
    EXPECT_TRUE(m_machine.registry().KeyExists(kClassesRoot, kRecordPath));
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), 1u);
}

TEST_F(RunTest, CompletedRunStepsThroughEveryPhase) {
    WriteSetup("");
    m_machine.files().AddFile(kWininit, "[Rename]\r\nNUL=C:\\OLD.TMP\r\n");
    EXPECT_EQ(Run(), 0);
    using E = SimEvent;
    const std::vector<SimEvent> expected = {
        E::Status("Initializing..."), E::Percent(0),
        E::Status("EXECUTING PROGRAMS... COMPLETE!"), E::Percent(100),
        E::Status("UN-REGISTERING DLL's..."), E::Percent(0),
        E::Status("UN-REGISTERING DLL's... COMPLETE!"), E::Percent(100),
        E::Status("DEREFERENCING SHARED COMPONENTS..."), E::Percent(0),
        E::Status("DEREFERENCING SHARED COMPONENTS...\nCOMPLETE!"), E::Percent(100),
        E::Status("REMOVING REGISTRY ENTRIES..."), E::Percent(0), E::Percent(99),
        E::Status("REMOVING REGISTRY ENTRIES...\nCOMPLETE!"), E::Percent(100),
        E::Status("REMOVING FILES..."), E::Percent(0), E::Percent(0), E::Percent(25), E::Percent(50),
        E::Status("REMOVING FILES...\nCOMPLETE!"), E::Percent(100),
        E::Status("REMOVING DIRECTORIES..."), E::Percent(0), E::Percent(0), E::Percent(50),
        E::Status("REMOVING DIRECTORIES...\nCOMPLETE!"), E::Percent(100),
        E::Status("FINAL CLEANUP..."), E::Percent(0), E::Percent(100)};
    EXPECT_EQ(m_machine.transcript().ProgressEvents(), expected) << Dump();
    EXPECT_EQ(m_machine.transcript().Pauses(), (std::vector<std::uint32_t>{250, 250, 250, 250, 500, 250, 250, 1000}));
    EXPECT_FALSE(m_machine.files().FileExists("C:\\App\\a.dll"));
    EXPECT_FALSE(m_machine.files().FileExists(kInstalledCopy));
    EXPECT_FALSE(m_machine.files().FileExists(kSetupInf));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\App\\UNINST")) << Dump();
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\App"));  // still holds C:\App\UNINST.EXE
    EXPECT_EQ(m_machine.processes().PostedMessages().size(), 4u);
    EXPECT_EQ(m_machine.files().ProfileValues(kWininit, "Rename", "NUL"), (CStringArray{kWorkingCopy, "C:\\OLD.TMP"}));
    EXPECT_FALSE(m_machine.registry().KeyExists(kClassesRoot, kRecordPath));
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, "SOFTWARE\\Tallowmere"));
    EXPECT_FALSE(m_machine.ui().ProgressWindowOpen());
}

TEST_F(RunTest, SilentShowsNeitherConfirmationNorBoxes) {
    WriteSetup("[ExecuteOnUninstall]\r\nTOOL.EXE\r\n");
    m_machine.processes().RegisterProgram("C:\\App\\TOOL.EXE", SimProgram::ExitingWith(3));
    EXPECT_EQ(Run(CString(kCopySwitch) + " /SILENT"), 0);
    EXPECT_EQ(Count(SimEventKind::ConfirmationDialog), 0u) << Dump();
    EXPECT_EQ(Count(SimEventKind::MessageBox), 0u);
    EXPECT_EQ(Count(SimEventKind::ProgressCreated), 1u);
}

TEST_F(RunTest, VerySilentHasNoProgressWindowAndAnswersNo) {
    WriteSetup("[ExecuteOnUninstall]\r\nGONE.EXE\r\n");
    EXPECT_EQ(Run(CString(kCopySwitch) + " /VERYSILENT"), 1603);
    EXPECT_EQ(Count(SimEventKind::ProgressCreated), 0u) << Dump();
    EXPECT_EQ(Count(SimEventKind::MessageBox), 0u);
    EXPECT_TRUE(m_machine.files().FileExists("C:\\App\\a.dll"));
}

TEST_F(RunTest, LogRecordsDeletionsAndEndsWithTheExitCode) {
    WriteSetup("");
    m_machine.files().AddFolder("C:\\Logs");
    EXPECT_EQ(Run(CString(kCopySwitch) + " /SILENT /LOG=C:\\Logs\\run.log"), 0);
    const auto log = m_machine.files().FileContent("C:\\Logs\\run.log");
    ASSERT_TRUE(log) << Dump();
    EXPECT_NE(log->find("[copy] file deleted: C:\\App\\a.dll\r\n"), CString::npos) << *log;
    const CString ending = "[copy] exit code 0\r\n";
    ASSERT_GE(log->size(), ending.size());
    EXPECT_EQ(log->substr(log->size() - ending.size()), ending) << *log;
}

TEST_F(RunTest, LogThatCannotBeOpenedStopsBeforeAnythingIsTouched) {
    WriteSetup("");
    EXPECT_EQ(Run(CString(kCopySwitch) + " /LOG=Q:\\none\\run.log"), 1603);
    EXPECT_EQ(m_machine.transcript().MessageTexts(),
              CStringArray{"UNINSTALL ERROR - Unable to open the log file 'Q:\\none\\run.log' - UNINSTALL will now close"})
        << Dump();
    EXPECT_EQ(Count(SimEventKind::ConfirmationDialog), 0u);
    EXPECT_EQ(Count(SimEventKind::FileDeleted), 0u);
    EXPECT_FALSE(m_machine.files().ProfileEntry(kWininit, "Rename", "NUL"));
}

TEST_F(RunTest, WaitOnNtSchedulesTheBusyProgramUnderANewNameAndItsFolder) {
    m_machine.system().UseWindowsNt4();
    WriteSetup("");
    m_machine.files().MarkInUse(kInstalledCopy);
    EXPECT_EQ(Run("/UNINST=0,C:\\App\\UNINST\\UNINST.EXE /WAIT"), 3010);
    const CStringArray& pending = m_machine.files().PendingRestartDeletions();
    auto has = [&](const CString& path) {
        return std::any_of(pending.begin(), pending.end(), [&](const CString& p) { return EqualsNoCase(p, path, CodePage()); });
    };
    // The working copy has no private folder here, so the program moves beside itself; its own
    // name is free for a reinstall at once.
    constexpr char kAside[] = "C:\\App\\UNINST\\~UN0000.TMP";
    EXPECT_FALSE(m_machine.files().FileExists(kInstalledCopy));
    EXPECT_EQ(m_machine.files().FileContent(kAside), "program");
    EXPECT_TRUE(has(kAside)) << Dump();
    EXPECT_FALSE(has(kInstalledCopy)) << Dump();
    EXPECT_TRUE(has("C:\\App\\UNINST\\") || has("C:\\App\\UNINST")) << Dump();
    EXPECT_TRUE(has(kWorkingCopy));
    EXPECT_EQ(Count(SimEventKind::MessagePosted), 0u);
}

TEST_F(RunTest, WaitOn9xKeepsTheCopysRenameLine) {
    WriteSetup("");
    m_machine.files().MarkInUse(kInstalledCopy);
    // WININIT.INI runs before long names exist.
    m_machine.files().SetShortPath(kInstalledCopy, "C:\\APP\\UNINST\\UNINST.EXE");
    EXPECT_EQ(Run("/UNINST=0,C:\\App\\UNINST\\UNINST.EXE /WAIT"), 3010);
    CStringArray lines = m_machine.files().ProfileValues(kWininit, "Rename", "NUL");
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (CStringArray{"C:\\APP\\UNINST\\UNINST.EXE", kWorkingCopy})) << Dump();
}

}  // namespace
