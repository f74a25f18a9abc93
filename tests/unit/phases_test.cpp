// The removal phases called one by one on an application object whose setup text and record
// values are set directly.

#include "phase_fixture.h"

namespace {

using PhaseTest = PhaseFixture;

// ---- Programs ----

TEST_F(PhaseTest, ProgramInTheAppFolderGetsItsParametersUnexpanded) {
    m_app.m_setupText =
        "[ExecuteOnUninstall]\r\nCLEANUP.EXE,/silent\r\n\"%apppath%\\Tool.exe\", -u %apppath%\r\nskip.exe\r\n"
        "[AutoDelete]\r\nSKIP.EXE\r\n";
    m_machine.processes().RegisterProgram("C:\\App\\CLEANUP.EXE", SimProgram::ExitingWith(0));
    m_machine.processes().RegisterProgram("C:\\App\\Tool.exe", SimProgram::ExitingWith(0));
    EXPECT_TRUE(m_app.RunUninstallPrograms());
    const auto& calls = m_machine.processes().ShellCalls();
    ASSERT_EQ(calls.size(), 2u) << Dump();
    EXPECT_EQ(calls[0].file, "C:\\App\\CLEANUP.EXE");
    EXPECT_EQ(calls[0].parameters, "/silent");
    EXPECT_EQ(calls[1].file, "C:\\App\\Tool.exe");
    EXPECT_EQ(calls[1].parameters, "-u %apppath%");
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(m_machine.transcript().Statuses(),
              (CStringArray{"EXECUTING PROGRAMS...\nCLEANUP.EXE", "EXECUTING PROGRAMS...\n%apppath%\\Tool.exe",
                            "EXECUTING PROGRAMS... COMPLETE!"}));
}

struct ExitCase {
    const char* label;
    SimProgram program;
    const char* message;  // empty: none
};

class ExitCodeTest : public PhaseTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitCodeTest, WarningForTheExitCode) {
    m_app.m_setupText = "[ExecuteOnUninstall]\r\nT.EXE\r\n";
    m_machine.processes().RegisterProgram("C:\\App\\T.EXE", GetParam().program);
    EXPECT_TRUE(m_app.RunUninstallPrograms());
    const CString expected = GetParam().message;
    EXPECT_EQ(Texts(), expected.empty() ? CStringArray{} : CStringArray{expected}) << Dump();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitCodeTest,
    ::testing::Values(ExitCase{"Zero", SimProgram::ExitingWith(0), ""},
                      ExitCase{"Three", SimProgram::ExitingWith(3), "WARNING: C:\\App\\T.EXE exits with error code 3"},
                      ExitCase{"StillActive", SimProgram::ExitingWith(259),
                               "WARNING: C:\\App\\T.EXE process did not terminate"},
                      ExitCase{"Negative", SimProgram::ExitingWith(0x80000005u),
                               "WARNING: C:\\App\\T.EXE exits with error code -2147483643"},
                      ExitCase{"NoProcess", SimProgram::WithoutProcess(),
                               "WARNING: cannot get exit code from C:\\App\\T.EXE"},
                      ExitCase{"NoExitCode", SimProgram::FailingExitCode(),
                               "WARNING: cannot get exit code from C:\\App\\T.EXE"}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return CString(info.param.label); });

TEST_F(PhaseTest, ProgramThatCannotStartAsksAndYesAdvances) {
    m_app.m_setupText = "[ExecuteOnUninstall]\r\nA.EXE\r\nB.EXE\r\n";
    m_machine.processes().RegisterProgram("C:\\App\\B.EXE", SimProgram::ExitingWith(0));
    m_machine.ui().AnswerMessageBoxes({mb::kIdYes});
    EXPECT_TRUE(m_app.RunUninstallPrograms());
    const auto boxes = m_machine.transcript().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << Dump();
    EXPECT_EQ(boxes[0].text, "ERROR - UNINSTALL cannot execute C:\\App\\A.EXE\r\nDo you want to continue anyway?");
    EXPECT_EQ(boxes[0].Buttons(), mb::kYesNo);
    EXPECT_EQ(boxes[0].Icon(), mb::kIconStop);
    EXPECT_EQ(m_machine.transcript().Percents(), (std::vector<int>{50, 100, 100}));
}

TEST_F(PhaseTest, NoToTheStartQuestionCutsShort) {
    m_app.m_setupText = "[ExecuteOnUninstall]\r\nA.EXE\r\nB.EXE\r\n";
    m_machine.ui().AnswerMessageBoxes({mb::kIdNo});
    EXPECT_FALSE(m_app.RunUninstallPrograms());
    const auto& calls = m_machine.processes().ShellCalls();
    ASSERT_EQ(calls.size(), 1u) << Dump();
    EXPECT_EQ(calls[0].file, "C:\\App\\A.EXE");
}

TEST_F(PhaseTest, LineWithoutAProgramIsSkippedAndTheNextRuns) {
    // Blank before the comma, and blank inside the quotes that the run-line rules take off.
    m_app.m_setupText = "[ExecuteOnUninstall]\r\n,x\r\nA.EXE\r\n\" \",/q\r\n,\r\nB.EXE,/q\r\n";
    m_machine.processes().RegisterProgram("C:\\App\\A.EXE", SimProgram::ExitingWith(0));
    m_machine.processes().RegisterProgram("C:\\App\\B.EXE", SimProgram::ExitingWith(0));
    EXPECT_TRUE(m_app.RunUninstallPrograms());
    CStringArray started;
    for (const SimShellCall& call : m_machine.processes().ShellCalls()) started.push_back(call.file);
    EXPECT_EQ(started, (CStringArray{"C:\\App\\A.EXE", "C:\\App\\B.EXE"})) << Dump();
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(m_machine.transcript().Statuses(),
              (CStringArray{"EXECUTING PROGRAMS...\nA.EXE", "EXECUTING PROGRAMS...\nB.EXE",
                            "EXECUTING PROGRAMS... COMPLETE!"}));
    // Journaled by line: the programs keep the numbers of their lines.
    EXPECT_EQ(m_machine.registry().String(kLocalMachine, kFixtureRecordPath, "Uninstall.Program.2"),
              "done|C:\\App\\A.EXE");
    EXPECT_EQ(m_machine.registry().String(kLocalMachine, kFixtureRecordPath, "Uninstall.Program.5"),
              "done|C:\\App\\B.EXE");
}

// ---- Modules ----

TEST_F(PhaseTest, ModuleWithItsDllBesideItIsLoadedWithItsFolderSearchedFirst) {
    m_app.m_setupText =
        "[RegisterControl]\r\nVENDOR.OCX\r\n%apppath%\\BIN\\GRID.OCX\r\n%sysdir%\\SYS.OCX\r\n"
        "\\\\SERVER\\SHARE\\NET.OCX\r\n";
    for (const char* path : {"C:\\App\\VENDOR.OCX", "C:\\App\\BIN\\GRID.OCX", "C:\\WINDOWS\\SYSTEM\\SYS.OCX",
                             "\\\\SERVER\\SHARE\\NET.OCX"}) {
        m_machine.modules().Register(path, SimModule::Returning(0).ImportingFromItsFolder());
    }
    EXPECT_TRUE(m_app.UnregisterModules());
    EXPECT_TRUE(Texts().empty()) << Dump();
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::UnregisterCalled), 4u);
}

TEST_F(PhaseTest, RelativeModulePathKeepsTheSystemsSearch) {
    // The altered search is undefined for these; the machine faults if it is asked for.
    m_app.m_setupText = "[RegisterControl]\r\nLIB\\REL.OCX\r\nC:LIB\\DRIVE.OCX\r\n\\LIB\\ROOT.OCX\r\n";
    m_machine.modules().Register("LIB\\REL.OCX", SimModule::Returning(0));
    m_machine.modules().Register("C:LIB\\DRIVE.OCX", SimModule::Returning(0));
    m_machine.modules().Register("\\LIB\\ROOT.OCX", SimModule::Returning(0).ImportingFromItsFolder());
    m_machine.ui().AnswerMessageBoxes({mb::kIdOk});
    EXPECT_TRUE(m_app.UnregisterModules());
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::UnregisterCalled), 2u) << Dump();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("WARNING:  attempt to un-register \\LIB\\ROOT.OCX failed.", 0), 0u) << Texts()[0];
}

TEST_F(PhaseTest, ModulePathsAndTheirOutcomes) {
    m_app.m_setupText =
        "[RegisterControl]\r\nMYCTL.OCX\r\n%sysdir%MYCTL.OCX\r\n%sysdir%\\MYCTL.OCX\r\n%apppath%\\NOEXP.DLL\r\n";
    m_machine.modules().Register("C:\\App\\MYCTL.OCX", SimModule::Returning(0));
    m_machine.modules().Register("C:\\WINDOWS\\SYSTEM\\MYCTL.OCX", SimModule::Returning(1));
    m_machine.modules().Register("C:\\App\\NOEXP.DLL", SimModule::WithoutExport());
    m_machine.ui().AnswerMessageBoxes({mb::kIdOk, mb::kIdYes});
    EXPECT_TRUE(m_app.UnregisterModules());
    const CStringArray expected = {
        "WARNING:  attempt to un-register C:\\App\\%sysdir%MYCTL.OCX failed. This file will not be correctly "
        "uninstalled.\r\nAlthough it is not likely to affect any installed applications, you should be aware that the "
        "registry entries for this file may not be properly removed, which could theoretically hamper system "
        "performance, though it is not likely to do so in actual practice.",
        "DllUnregisterServer() returns ERROR in C:\\WINDOWS\\SYSTEM\\MYCTL.OCX\r\nDo you want to continue with "
        "UNINSTALL?"};
    EXPECT_EQ(Texts(), expected) << Dump();
    EXPECT_EQ(m_machine.modules().LoadedCount(), 0);
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::UnregisterCalled), 2u);
    EXPECT_EQ(m_machine.transcript().Percents(), (std::vector<int>{0, 0, 25, 50, 75, 100}));
}

TEST_F(PhaseTest, NoToTheUnregisterQuestionCutsShort) {
    m_app.m_setupText = "[RegisterControl]\r\nA.DLL\r\nB.DLL\r\n";
    m_machine.modules().Register("C:\\App\\A.DLL", SimModule::Returning(1));
    m_machine.modules().Register("C:\\App\\B.DLL", SimModule::Returning(0));
    m_machine.ui().AnswerMessageBoxes({mb::kIdNo});
    EXPECT_FALSE(m_app.UnregisterModules());
    const auto called = m_machine.transcript().EventsOf(SimEventKind::UnregisterCalled);
    ASSERT_EQ(called.size(), 1u) << Dump();
    EXPECT_EQ(called[0].text, "C:\\App\\A.DLL");
}

// ---- Shared components ----

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

CString ZeroCountQuestion(const CString& path) {
    return "The shared file " + path +
           " now has a reference count of zero.\r\nIf you choose to remove it now, it may affect other applications "
           "that were not properly installed.  If you are certain that this file will not be needed by Windows or by "
           "any other installed application, you should elect to remove it from your system at this time.  "
           "Otherwise, you should consider leaving it on your system.\r\nDo you want to remove this file?";
}

TEST_F(PhaseTest, CountsGoDownAndZeroIsOffered) {
    m_app.m_sharedComponents = {"on"};
    m_app.m_uninstallShared = {"C:\\S\\three.dll", "C:\\S\\one.dll", "C:\\S\\kept.dll"};
    m_machine.registry().SetDword(kLocalMachine, kSharedDlls, "C:\\S\\three.dll", 3);
    m_machine.registry().SetDword(kLocalMachine, kSharedDlls, "C:\\S\\one.dll", 1);
    m_machine.registry().SetDword(kLocalMachine, kSharedDlls, "C:\\S\\kept.dll", 1);
    m_machine.ui().AnswerMessageBoxes({mb::kIdYes, mb::kIdNo});
    EXPECT_TRUE(m_app.DereferenceSharedComponents());
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, "C:\\S\\three.dll"), 2u);
    EXPECT_FALSE(m_machine.registry().Value(kLocalMachine, kSharedDlls, "C:\\S\\one.dll"));
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, "C:\\S\\kept.dll"), 0u);
    EXPECT_EQ(m_app.m_removalList, CStringArray{"C:\\S\\one.dll"});
    EXPECT_EQ(Texts(), (CStringArray{ZeroCountQuestion("C:\\S\\one.dll"), ZeroCountQuestion("C:\\S\\kept.dll")}))
        << Dump();
}

TEST_F(PhaseTest, EmptySharedComponentsTouchesNoKey) {
    m_app.m_uninstallShared = {"C:\\S\\one.dll"};
    EXPECT_TRUE(m_app.DereferenceSharedComponents());
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, kSharedDlls));
}

TEST_F(PhaseTest, CountKeyThatCannotBeCreatedCutsShort) {
    m_app.m_sharedComponents = {"on"};
    m_machine.registry().FailCreate(kLocalMachine, kSharedDlls);
    EXPECT_FALSE(m_app.DereferenceSharedComponents());
    EXPECT_EQ(Texts(), CStringArray{CString("Unable to create registry key '") + kSharedDlls + "'"});
}

// ---- Files ----

TEST_F(PhaseTest, HelpIndexDuplicatesOwnCopyAndPercentages) {
    m_app.m_uninstallFiles = {"%apppath%\\HELP\\TOOL.HLP", "%APPPATH%\\help\\tool.hlp"};
    m_machine.files().AddFile("C:\\App\\HELP\\TOOL.HLP", {}, kAttributeReadOnly);
    m_app.m_waitingThreadId = 77;
    m_app.RemoveFiles();
    EXPECT_EQ(m_app.m_removalList, (CStringArray{"C:\\App\\HELP\\TOOL.HLP", "C:\\App\\HELP\\TOOL.GID",
                                                 "%apppath%\\UNINST\\uninst.exe", "%apppath%\\UNINST\\SETUP.INF"}));
    EXPECT_EQ(m_app.m_folderList, (CStringArray{"C:\\App\\HELP\\", "C:\\App\\UNINST\\"}));
    EXPECT_FALSE(m_machine.files().FileExists("C:\\App\\HELP\\TOOL.HLP"));
    EXPECT_EQ(m_machine.transcript().Percents(), (std::vector<int>{0, 0, 20, 40, 60, 100}));
    // The first instance is released before the first deletion.
    const auto& events = m_machine.transcript().Events();
    std::size_t posted = events.size(), deleted = events.size();
    for (std::size_t i = events.size(); i-- > 0;) {
        if (events[i].kind == SimEventKind::MessagePosted) posted = i;
        if (events[i].kind == SimEventKind::FileDeleted) deleted = i;
    }
    EXPECT_LT(posted, deleted) << Dump();
}

TEST_F(PhaseTest, ThreeEntriesNoShortcutsGiveQuarterSteps) {
    m_app.m_uninstallFiles = {"a.txt"};
    m_app.RemoveFiles();
    EXPECT_EQ(m_machine.transcript().Percents(), (std::vector<int>{0, 0, 25, 50, 100})) << Dump();
}

TEST_F(PhaseTest, ShortcutsAndStartMenuFolder) {
    m_app.m_uninstallFiles = {"a.txt"};
    m_app.m_startMenuFolder = "C:\\Menu\\App\\";
    m_app.m_setupText = "[AddShortcut]\r\nx,y,App.lnk\r\nshort,line\r\n";
    m_machine.files().AddFile("C:\\Menu\\App\\App.lnk").AddFile("C:\\Menu\\App\\Un-Install.LNK");
    m_app.RemoveFiles();
    EXPECT_FALSE(m_machine.files().FileExists("C:\\Menu\\App\\App.lnk"));
    EXPECT_FALSE(m_machine.files().FileExists("C:\\Menu\\App\\Un-Install.LNK"));
    EXPECT_EQ(m_app.m_folderList.back(), "C:\\Menu\\App\\");
    EXPECT_EQ(m_machine.transcript().Percents(), (std::vector<int>{0, 0, 16, 33, 50, 66, 100})) << Dump();
}

TEST_F(PhaseTest, InUseFileStaysSilently) {
    m_app.m_uninstallFiles = {"C:\\App\\busy.dll"};
    m_machine.files().AddFile("C:\\App\\busy.dll").MarkInUse("C:\\App\\busy.dll");
    m_app.RemoveFiles();
    EXPECT_TRUE(m_machine.files().FileExists("C:\\App\\busy.dll"));
    EXPECT_TRUE(Texts().empty());
}

// ---- Directories ----

TEST_F(PhaseTest, FoldersGoDeepestFirst) {
    m_app.m_folderList = {"C:\\App\\", "C:\\App\\HELP\\", "C:\\Menu\\App\\", "C:\\App\\UNINST\\"};
    m_machine.files().AddFolder("C:\\App\\HELP").AddFolder("C:\\App\\UNINST").AddFolder("C:\\Menu\\App");
    m_app.RemoveDirectories();
    CStringArray tried;
    for (const SimEvent& e : m_machine.transcript().EventsOf(SimEventKind::FolderRemoved)) tried.push_back(e.text);
    EXPECT_EQ(tried, (CStringArray{"C:\\Menu\\App", "C:\\App\\UNINST", "C:\\App\\HELP", "C:\\App"}));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\App\\HELP"));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\Menu\\App"));
    EXPECT_EQ(m_machine.transcript().Percents(), (std::vector<int>{0, 0, 25, 50, 75, 100}));
}

TEST_F(PhaseTest, LeftoverFileKeepsItsFolderAndParents) {
    m_app.m_folderList = {"C:\\App\\", "C:\\App\\HELP\\"};
    m_machine.files().AddFile("C:\\App\\HELP\\left.txt");
    m_app.RemoveDirectories();
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\App\\HELP"));
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\App"));
}

}  // namespace
