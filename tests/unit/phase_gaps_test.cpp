// The removal phases' less travelled paths: shared counts in odd states, files of a released
// shared component, a missing application folder, expansion failures, and the log of a whole
// unattended run.

#include <optional>

#include "app/version.h"
#include "phase_fixture.h"

namespace {

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kNotUninstalled[] = "\r\nThis file will NOT be uninstalled.";

class PhaseGapTest : public PhaseFixture {
protected:
    CStringArray EventTexts(SimEventKind kind) const {
        CStringArray texts;
        for (const SimEvent& e : m_machine.transcript().EventsOf(kind)) texts.push_back(e.text);
        return texts;
    }
};

// ---- Shared components ----

class AlreadyZeroTest : public PhaseGapTest, public ::testing::WithParamInterface<int> {};

TEST_P(AlreadyZeroTest, AskedAnywayAndTheAnswerDecides) {
    m_app.m_sharedComponents = {"on"};
    m_app.m_uninstallShared = {"LIB.DLL"};
    m_machine.registry().SetDword(kLocalMachine, kSharedDlls, "C:\\App\\LIB.DLL", 0);
    m_machine.ui().AnswerMessageBoxes({GetParam()});
    EXPECT_TRUE(m_app.DereferenceSharedComponents());
    const auto boxes = m_machine.transcript().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << Dump();
    EXPECT_EQ(boxes[0].text,
              "WARNING:  reference count for C:\\App\\LIB.DLL is already zero. This may indicate a problem with the "
              "registry.  Removing this shared file may affect other applications that rely on it, or prevent your "
              "machine from re-starting.\r\nDo you want to remove this file anyway?");
    EXPECT_EQ(boxes[0].Buttons(), mb::kYesNo);
    EXPECT_EQ(boxes[0].Icon(), mb::kIconExclamation);
    EXPECT_EQ(boxes[0].DefaultButton(), mb::kDefaultButton1);
    const bool yes = GetParam() == mb::kIdYes;
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, "C:\\App\\LIB.DLL"),
              yes ? std::nullopt : std::optional<std::uint32_t>(0));
    EXPECT_EQ(m_app.m_removalList, yes ? CStringArray{"C:\\App\\LIB.DLL"} : CStringArray{});
}

INSTANTIATE_TEST_SUITE_P(Answers, AlreadyZeroTest, ::testing::Values(mb::kIdYes, mb::kIdNo));

struct UnusableCountCase {
    const char* label;
    std::optional<RegValue> stored;
    const char* messagePrefix;
};

class UnusableCountTest : public PhaseGapTest, public ::testing::WithParamInterface<UnusableCountCase> {};

TEST_P(UnusableCountTest, WarnsAndLeavesValueAndFile) {
    const UnusableCountCase& c = GetParam();
    const CString path = "C:\\S\\lib.dll";
    m_app.m_sharedComponents = {"on"};
    m_app.m_uninstallShared = {path};
    m_machine.registry().AddKey(kLocalMachine, kSharedDlls);
    if (c.stored) m_machine.registry().SetValue(kLocalMachine, kSharedDlls, path, *c.stored);
    EXPECT_TRUE(m_app.DereferenceSharedComponents());
    EXPECT_EQ(Texts(), CStringArray{c.messagePrefix + path + kNotUninstalled}) << Dump();
    const auto after = m_machine.registry().Value(kLocalMachine, kSharedDlls, path);
    ASSERT_EQ(after.has_value(), c.stored.has_value());
    if (after) {
        EXPECT_EQ(after->type, c.stored->type);
        EXPECT_EQ(after->data, c.stored->data);
    }
    EXPECT_TRUE(m_app.m_removalList.empty());
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), kRecordHandles);
}

INSTANTIATE_TEST_SUITE_P(
    Values, UnusableCountTest,
    ::testing::Values(UnusableCountCase{"Missing", std::nullopt, "WARNING:  no reference count available for "},
                      UnusableCountCase{"Oversized", RegValue{reg::kTypeDword, CString("\1\0\0\0\0\0\0\0", 8)},
                                        "WARNING:  no reference count available for "},
                      UnusableCountCase{"String", RegValue{reg::kTypeString, CString("1\0", 2)},
                                        "WARNING:  unable to unregister "},
                      UnusableCountCase{"Binary", RegValue{reg::kTypeBinary, CString("\1\0\0\0", 4)},
                                        "WARNING:  unable to unregister "}),
    [](const ::testing::TestParamInfo<UnusableCountCase>& info) { return CString(info.param.label); });

TEST_F(PhaseGapTest, FailedWriteBackWarnsAndStillReleasesAZeroAnsweredYes) {
    m_app.m_sharedComponents = {"on"};
    m_app.m_uninstallShared = {"C:\\S\\one.dll", "C:\\S\\three.dll"};
    m_machine.registry().SetDword(kLocalMachine, kSharedDlls, "C:\\S\\one.dll", 1);
    m_machine.registry().SetDword(kLocalMachine, kSharedDlls, "C:\\S\\three.dll", 3);
    m_machine.registry().FailWrites(kLocalMachine, kSharedDlls);
    m_machine.ui().AnswerMessageBoxes({mb::kIdYes});
    EXPECT_TRUE(m_app.DereferenceSharedComponents());
    const CStringArray texts = Texts();
    ASSERT_EQ(texts.size(), 3u) << Dump();
    EXPECT_EQ(texts[0].rfind("The shared file C:\\S\\one.dll now has a reference count of zero.", 0), 0u);
    EXPECT_EQ(texts[1], "WARNING:  unable to update reference count for C:\\S\\one.dll");
    EXPECT_EQ(texts[2], "WARNING:  unable to update reference count for C:\\S\\three.dll");
    EXPECT_EQ(m_app.m_removalList, CStringArray{"C:\\S\\one.dll"});
    // The key refuses every change, the deletion of the released value included.
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, "C:\\S\\one.dll"), 1u);
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, "C:\\S\\three.dll"), 3u);
}

TEST_F(PhaseGapTest, NoSharedFilesStillOpensAndClosesTheCountKey) {
    m_app.m_sharedComponents = {"on"};
    EXPECT_TRUE(m_app.DereferenceSharedComponents());
    EXPECT_TRUE(m_machine.registry().KeyExists(kLocalMachine, kSharedDlls));
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), kRecordHandles);
    EXPECT_TRUE(Texts().empty()) << Dump();
    EXPECT_EQ(m_machine.transcript().Percents(), (std::vector<int>{0, 100}));
}

// ---- Files ----

TEST_F(PhaseGapTest, UninstallLineOfAReleasedSharedFileAddsNothing) {
    m_app.m_sharedComponents = {"on"};
    m_app.m_uninstallShared = {"C:\\Shared\\LIB.DLL"};
    m_app.m_uninstallFiles = {"c:\\shared\\lib.DLL", "%apppath%\\a.txt"};
    m_machine.registry().SetDword(kLocalMachine, kSharedDlls, "C:\\Shared\\LIB.DLL", 1);
    m_machine.files().AddFile("C:\\Shared\\LIB.DLL").AddFile("C:\\App\\a.txt");
    m_machine.ui().AnswerMessageBoxes({mb::kIdYes});
    ASSERT_TRUE(m_app.DereferenceSharedComponents());
    m_app.RemoveFiles();
    EXPECT_EQ(m_app.m_removalList, (CStringArray{"C:\\Shared\\LIB.DLL", "C:\\App\\a.txt",
                                                 "%apppath%\\UNINST\\uninst.exe", "%apppath%\\UNINST\\SETUP.INF"}));
    EXPECT_EQ(m_app.m_folderList, (CStringArray{"C:\\App\\", "C:\\App\\UNINST\\"}));
    EXPECT_EQ(EventTexts(SimEventKind::FileDeleted), (CStringArray{"C:\\Shared\\LIB.DLL", "C:\\App\\a.txt"})) << Dump();
    EXPECT_EQ(m_app.m_ownCopyFiles, (CStringArray{"C:\\App\\UNINST\\uninst.exe", "C:\\App\\UNINST\\SETUP.INF"}));
    EXPECT_FALSE(m_machine.files().FileExists("C:\\Shared\\LIB.DLL"));
}

TEST_F(PhaseGapTest, StartMenuFolderIsListedAgainWhenAlreadyThere) {
    m_app.m_startMenuFolder = "C:\\Menu\\App\\";
    m_app.m_uninstallFiles = {"C:\\Menu\\App\\Readme.txt"};
    m_app.RemoveFiles();
    EXPECT_EQ(m_app.m_folderList, (CStringArray{"C:\\Menu\\App\\", "C:\\App\\UNINST\\", "C:\\Menu\\App\\"})) << Dump();
}

class NoAppFolderTest : public PhaseGapTest, public ::testing::WithParamInterface<bool> {};

TEST_P(NoAppFolderTest, RelativeAndBareNamesAreNeitherDeletedNorTheirFoldersListed) {
    const bool ownCopyLine = GetParam();
    m_app.m_appPath.clear();
    if (ownCopyLine) m_app.m_fileLines = {"1,2,SETUPPEL\\uninst.exe,uninst.exe"};
    m_app.m_uninstallFiles = {"APP.EXE", "\\APP.EXE", "%apppath%\\DATA.DAT", "C:\\Real\\keep.txt"};
    const CStringArray bystanders = {"C:\\APP.EXE",           "C:\\DATA.DAT",   "C:\\UNINST\\uninst.exe",
                                     "C:\\UNINST\\SETUP.INF", "C:\\uninst.exe", "C:\\SETUP.INF"};
    for (const CString& path : bystanders) m_machine.files().AddFile(path);
    m_machine.files().AddFile("C:\\Real\\keep.txt");
    m_app.RemoveFiles();
    const CStringArray expected = ownCopyLine ? CStringArray{"C:\\Real\\keep.txt", "uninst.exe", "SETUP.INF"}
                                              : CStringArray{"C:\\Real\\keep.txt", "%apppath%\\UNINST\\uninst.exe",
                                                             "%apppath%\\UNINST\\SETUP.INF"};
    EXPECT_EQ(m_app.m_removalList, expected);
    EXPECT_EQ(m_app.m_folderList, CStringArray{"C:\\Real\\"});
    EXPECT_EQ(EventTexts(SimEventKind::FileDeleted), CStringArray{"C:\\Real\\keep.txt"}) << Dump();
    for (const CString& path : bystanders) EXPECT_TRUE(m_machine.files().FileExists(path)) << path;
    EXPECT_TRUE(Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(OwnCopy, NoAppFolderTest, ::testing::Bool());

// ---- Programs and modules ----

TEST_F(PhaseGapTest, BareProgramAndModuleWithoutAnAppFolderAreNeitherRunNorLoaded) {
    m_app.m_appPath.clear();
    m_app.m_setupText = "[ExecuteOnUninstall]\r\nCLEANUP.EXE\r\n[RegisterControl]\r\nMYCTL.OCX\r\n";
    m_machine.processes().RegisterProgram("CLEANUP.EXE", SimProgram::ExitingWith(0));
    m_machine.modules().Register("MYCTL.OCX", SimModule::Returning(0));
    m_machine.ui().AnswerMessageBoxes({mb::kIdYes, mb::kIdOk});
    EXPECT_TRUE(m_app.RunUninstallPrograms());
    EXPECT_TRUE(m_app.UnregisterModules());
    EXPECT_TRUE(m_machine.processes().ShellCalls().empty()) << Dump();
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::ModuleLoaded), 0u);
    const CStringArray texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "ERROR - UNINSTALL cannot execute CLEANUP.EXE\r\nDo you want to continue anyway?");
    EXPECT_EQ(texts[1].rfind("WARNING:  attempt to un-register MYCTL.OCX failed.", 0), 0u);
}

TEST_F(PhaseGapTest, ProgramThatFailsExpansionIsNamedAsFarAsExpandedAndKeepsTheProgress) {
    m_app.m_setupText = "[ExecuteOnUninstall]\r\n%apppath%\\%nosuch%\\T.EXE,-x\r\nOK.EXE\r\n";
    m_machine.processes().RegisterProgram("C:\\App\\OK.EXE", SimProgram::ExitingWith(0));
    EXPECT_TRUE(m_app.RunUninstallPrograms());
    EXPECT_EQ(Texts(),
              CStringArray{"WARNING:  UNINSTALL cannot execute C:\\App\\%nosuch%\\T.EXE\r\nOne or more files or "
                           "subsystems may not be correctly uninstalled"})
        << Dump();
    EXPECT_EQ(m_machine.processes().ShellCalls().size(), 1u);
    EXPECT_EQ(m_machine.transcript().Percents(), (std::vector<int>{100, 100}));
}

TEST_F(PhaseGapTest, ModuleThatFailsExpansionIsNamedAsListed) {
    m_app.m_setupText = "[RegisterControl]\r\n%apppath%\\%nosuch%.DLL\r\n";
    EXPECT_TRUE(m_app.UnregisterModules());
    EXPECT_EQ(Texts(), CStringArray{"INTERNAL ERROR - unable to get path for %apppath%\\%nosuch%.DLL"}) << Dump();
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::ModuleLoaded), 0u);
    EXPECT_EQ(m_machine.transcript().Statuses(),
              (CStringArray{"UN-REGISTERING DLL's...", "UN-REGISTERING DLL's... COMPLETE!"}));
}

// A step that a later run must not repeat is done only once its journal entry is written.
TEST_F(PhaseGapTest, StepsWhoseJournalCannotBeWrittenAreSkipped) {
    m_machine.registry().FailWrites(kLocalMachine, kFixtureRecordPath);
    m_app.m_setupText = "[RegisterControl]\r\nA.DLL\r\n";
    m_machine.modules().Register("C:\\App\\A.DLL", SimModule::Returning(0));
    m_app.m_sharedComponents = {"on"};
    m_app.m_uninstallShared = {"LIB.DLL"};
    m_machine.registry().SetDword(kLocalMachine, kSharedDlls, "C:\\App\\LIB.DLL", 2);

    EXPECT_TRUE(m_app.UnregisterModules());
    EXPECT_TRUE(m_app.DereferenceSharedComponents());
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::UnregisterCalled), 0u) << Dump();
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, "C:\\App\\LIB.DLL"), 2u);
    EXPECT_TRUE(m_app.m_removalList.empty());
    EXPECT_TRUE(Texts().empty()) << Dump();
}

// ---- The log of an unattended run ----

TEST(UnattendedLogTest, OneLinePerItemOfEachKind) {
    SimMachine machine;
    const CString arguments = "/UNINST=77,C:\\App\\UNINST\\UNINST.EXE /SILENT /LOG=C:\\Logs\\run.log";
    const CString uninstallEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo";
    machine.system().SetArgumentText(arguments).SetModuleFileName("C:\\WINDOWS\\TEMP\\~UN3A1F.tmp");
    machine.system().SetNow({2024, 2, 9, 7, 5, 3, 42});
    machine.files().AddFolder("C:\\Logs").AddFile("C:\\WINDOWS\\TEMP\\~UN3A1F.tmp", "program");
    machine.files().AddFile("C:\\App\\UNINST\\UNINST.EXE", "program").AddFile("C:\\App\\DATA\\a.dll");
    machine.files().AddFile(
        "C:\\App\\UNINST\\SETUP.INF",
        "[SetupOptions]\r\nAppName=Demo\r\n[UnInstall]\r\n%apppath%\\DATA\\a.dll\r\n"
        "[UnInstall.Shared]\r\nC:\\Shared\\LIB.DLL\r\nC:\\Shared\\NONE.DLL\r\n[SharedComponents]\r\nLIB\r\n"
        "[ExecuteOnUninstall]\r\nTOOL.EXE\r\n[RegisterControl]\r\nCTL.OCX\r\n"
        "[RegistryKeys]\r\nHKLM\\Software\\Demo=Ver=1\r\n");
    machine.registry().SetString(kLocalMachine, "SOFTWARE\\Tallowmere\\UNINST\\Demo", "", "C:\\App\\");
    machine.registry().SetDword(kLocalMachine, kSharedDlls, "C:\\Shared\\LIB.DLL", 2);
    machine.registry().AddKey(kLocalMachine, "Software\\Demo").AddKey(kLocalMachine, uninstallEntry + "\\Sub");
    machine.processes().RegisterProgram("C:\\App\\TOOL.EXE", SimProgram::ExitingWith(0));
    machine.modules().Register("C:\\App\\CTL.OCX", SimModule::Returning(0));

    CUninstApp app(machine.platform());
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.ExitCode(), 0);
    const auto log = machine.files().FileContent("C:\\Logs\\run.log");
    ASSERT_TRUE(log) << machine.transcript().Dump();

    const CStringArray events = {
        "start: uninst " + CString(kProgramVersion) +
            " on the 9x family, version 4.10 (Win98), arguments: " + arguments,
        "DLL search: the system's own order",
        "language: en (system UI language 0x0409)",
        "SETUP.INF found: C:\\App\\UNINST\\SETUP.INF",
        "installation record read: folder 'C:\\App\\', common folder '', start-menu folder ''",
        "confirmation: Un-Install (silent)",
        "program C:\\App\\TOOL.EXE: exit code 0",
        "module C:\\App\\CTL.OCX: DllUnregisterServer returned 0x00000000",
        "shared file C:\\Shared\\LIB.DLL: count 2 -> 1, file kept",
        // Line breaks inside a message are written out so that the event keeps to one line.
        "message: WARNING:  no reference count available for C:\\Shared\\NONE.DLL\\r\\nThis file will NOT be "
        "uninstalled. -> OK (silent)",
        "registry key removed: HKLM\\Software\\Demo",
        // Every key of a deleted tree has its line, then the tree's own.
        "registry key removed: HKLM\\" + uninstallEntry + "\\Sub",
        "registry key removed: HKLM\\" + uninstallEntry,
        "uninstall entry removed: HKLM\\" + uninstallEntry,
        "file deleted: C:\\App\\DATA\\a.dll",
        "folder left: C:\\App\\UNINST (error 145)",
        "folder removed: C:\\App\\DATA",
        // The sim machine's own program file lies in C:\App.
        "folder left: C:\\App (error 145)",
        "registry key removed: HKLM\\SOFTWARE\\Tallowmere\\UNINST\\Demo",
        "installation record removed: HKLM\\SOFTWARE\\Tallowmere\\UNINST\\Demo",
        "emptied key removed: HKLM\\SOFTWARE\\Tallowmere\\UNINST",
        "emptied key removed: HKLM\\SOFTWARE\\Tallowmere",
        "file deleted: C:\\App\\UNINST\\uninst.exe",
        "file deleted: C:\\App\\UNINST\\SETUP.INF",
        "folder removed: C:\\App\\UNINST",
        "folder left: C:\\App (error 145)",
        "scheduled for deletion at restart: C:\\WINDOWS\\TEMP\\~UN3A1F.tmp",
        "run completed",
        "exit code 0",
    };
    CString expected;
    for (const CString& event : events) expected += "2024-02-09 07:05:03.042 [copy] " + event + "\r\n";
    EXPECT_EQ(*log, expected);
    EXPECT_FALSE(machine.registry().KeyExists(kLocalMachine, uninstallEntry));
}

}  // namespace
