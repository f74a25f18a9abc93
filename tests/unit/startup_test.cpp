// Start-up of both instances: the system word, the working copy's switch, the relaunch with its
// wait, the release of the first instance and the search for the setup information.

#include <gtest/gtest.h>

#include <memory>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"

namespace {

constexpr char kUnsupported[] =
    "WARNING:  Unsupported operating system - UNINSTALL will continue, but be advised that you may experience "
    "problems.";
constexpr char kSetupInfMissing[] = "Cannot find 'SETUP.INF' - UNINSTALL will now close";
constexpr char kTempFile[] = "C:\\WINDOWS\\TEMP\\~UN5B20\\~UN3A1F.tmp";
constexpr char kPrivateFolder[] = "C:\\WINDOWS\\TEMP\\~UN5B20";

CString ReadAll(IOpenFile& file) {
    CString text(file.GetSize(), '\0');
    std::uint32_t bytesRead = 0;
    if (!file.Read(text, bytesRead)) return "<read failed>";
    text.resize(bytesRead);
    return text;
}

// ---- Operating-system word ----

struct VersionCase {
    const char* label;
    std::optional<OsVersion> versionEx;
    std::uint32_t packed;
    bool isWinNT;
    std::uint32_t major;
    std::uint32_t minor;
    const char* osName;
};

class DetectOperatingSystemTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(DetectOperatingSystemTest, FamilyVersionAndWord) {
    const VersionCase& c = GetParam();
    SimMachine machine;
    machine.system().SetVersionEx(c.versionEx).SetPackedVersion(c.packed);
    CUninstApp app(machine.platform());
    EXPECT_EQ(app.m_isWinNT, c.isWinNT);
    EXPECT_EQ(app.m_majorVersion, c.major);
    EXPECT_EQ(app.m_minorVersion, c.minor);
    EXPECT_EQ(app.m_osName, c.osName);
}

// The packed word given beside an extended record contradicts it, so only a record that wins shows.
INSTANTIATE_TEST_SUITE_P(
    Cases, DetectOperatingSystemTest,
    ::testing::Values(
        VersionCase{"Ex95", OsVersion{1, 4, 0}, 0x00000005u, false, 4, 0, "Win95"},
        VersionCase{"Ex98", OsVersion{1, 4, 10}, 0x00000005u, false, 4, 10, "Win98"},
        VersionCase{"ExMe", OsVersion{1, 4, 90}, 0x00000005u, false, 4, 90, "Win98"},
        VersionCase{"Ex9xMajor3", OsVersion{1, 3, 95}, 0x00000005u, false, 3, 95, ""},
        VersionCase{"ExNt351", OsVersion{2, 3, 51}, 0x80000004u, true, 3, 51, ""},
        VersionCase{"ExNt4", OsVersion{2, 4, 0}, 0x80000004u, true, 4, 0, "WinNT4"},
        VersionCase{"ExNt5", OsVersion{2, 5, 1}, 0x80000004u, true, 5, 1, "WinNT5"},
        VersionCase{"ExNt10", OsVersion{2, 10, 0}, 0x80000004u, true, 10, 0, "WinNT5"},
        VersionCase{"ExPlatformId3IsNot9xNorNt", OsVersion{3, 5, 0}, 0x00000004u, false, 5, 0, "Win95"},
        VersionCase{"PackedNt4", std::nullopt, 0x05650004u, true, 4, 0, "WinNT4"},
        VersionCase{"PackedXp", std::nullopt, 0x0A280105u, true, 5, 1, "WinNT5"},
        VersionCase{"PackedNt351", std::nullopt, 0x00003303u, true, 3, 51, ""},
        VersionCase{"Packed95", std::nullopt, 0xC3B60004u, false, 4, 0, "Win95"},
        VersionCase{"Packed98", std::nullopt, 0xC0000A04u, false, 4, 10, "Win98"},
        VersionCase{"Packed9xMajor3", std::nullopt, 0x80000A03u, false, 3, 10, ""}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return CString(info.param.label); });

struct SystemWarningCase {
    const char* label;
    std::optional<std::uint32_t> packedVersion;  // none: the machine's own, a supported system
    CStringArray messages;
};

class SystemWarningTest : public ::testing::TestWithParam<SystemWarningCase> {};

// Warned about or not, the first instance starts its working copy and ends with its code.
TEST_P(SystemWarningTest, WarnedOnlyWhereUnsupportedAndTheRunGoesOn) {
    const SystemWarningCase& c = GetParam();
    SimMachine machine;
    if (c.packedVersion) machine.system().SetVersionEx(std::nullopt).SetPackedVersion(*c.packedVersion);
    machine.processes().ScriptChild(SimChild::EndingAfter(1, 0));
    CUninstApp app(machine.platform());
    EXPECT_FALSE(app.InitInstance());
    const auto boxes = machine.transcript().MessageBoxes();
    ASSERT_EQ(boxes.size(), c.messages.size()) << machine.transcript().Dump();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].text, c.messages[i]);
        EXPECT_EQ(boxes[i].caption, "UNINST");
        EXPECT_EQ(boxes[i].Buttons(), mb::kOk);
        EXPECT_EQ(boxes[i].Icon(), mb::kIconExclamation);
    }
    const auto& starts = machine.processes().StartedProcesses();
    ASSERT_EQ(starts.size(), 1u) << machine.transcript().Dump();
    EXPECT_NE(starts[0].commandLine.find(" /UNINST="), CString::npos) << starts[0].commandLine;
    EXPECT_EQ(app.ExitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SystemWarningTest,
                         ::testing::Values(SystemWarningCase{"Unsupported", 0x00003303u, {kUnsupported}},
                                           SystemWarningCase{"Supported", std::nullopt, {}}),
                         [](const ::testing::TestParamInfo<SystemWarningCase>& info) {
                             return CString(info.param.label);
                         });

// ---- The working copy's switch ----

struct SwitchCase {
    const char* label;
    const char* arguments;
    std::int32_t threadId;
    const char* setupDir;
};

class ParseUninstSwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(ParseUninstSwitchTest, ThreadAndSetupFolder) {
    const SwitchCase& c = GetParam();
    SimMachine machine;
    machine.files().AddFolder("C:\\Work").SetCurrentFolder("C:\\Work");
    CUninstApp app(machine.platform());
    app.m_waitingThreadId = 999;
    app.m_setupDir = "stale";
    app.ParseUninstSwitch(c.arguments);
    EXPECT_EQ(app.m_waitingThreadId, c.threadId);
    EXPECT_EQ(app.m_setupDir, c.setupDir);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseUninstSwitchTest,
    ::testing::Values(
        SwitchCase{"Alone", "/UNINST", 0, "C:\\App\\"},
        SwitchCase{"FollowedByLetter", "/UNINSTX", 0, "C:\\App\\"},
        SwitchCase{"EmptyValue", "/UNINST=   ", 0, "C:\\App\\"},
        SwitchCase{"ThreadAndPathExtraIgnored", "/UNINST=123,C:\\APP\\UNINST\\UNINST.EXE /X", 123,
                   "C:\\APP\\UNINST\\"},
        SwitchCase{"LowerCaseNegative", "/uninst=-42,C:\\A\\U.EXE", -42, "C:\\A\\"},
        SwitchCase{"CommaOnlyBeforePath", "/UNINST=,C:\\APP\\UNINST.EXE", 0, "C:\\APP\\"},
        SwitchCase{"LetterBeforeComma", "/UNINST=C:\\MY,DIR\\UNINST.EXE", 0, "C:\\MY,DIR\\"},
        SwitchCase{"ThreadWithoutPath", "/UNINST=123,", 123, "C:\\App\\"},
        SwitchCase{"BlankCutsPath", "/UNINST=5,C:\\MY APP\\UNINST.EXE", 5, "C:\\"},
        SwitchCase{"RelativePathAgainstCurrentFolder", "/UNINST=7,SUB\\UNINST.EXE", 7, "C:\\Work\\SUB\\"},
        SwitchCase{"QuotedPathWithBlank", "/UNINST=468,\"C:\\Program Files\\App\\UNINST.EXE\" /SILENT", 468,
                   "C:\\Program Files\\App\\"}),
    [](const ::testing::TestParamInfo<SwitchCase>& info) { return CString(info.param.label); });

// ---- Relaunch and wait ----

class RelaunchTest : public ::testing::Test {
protected:
    CUninstApp& Run(const CString& arguments) {
        m_machine.system().SetArgumentText(arguments);
        m_app = std::make_unique<CUninstApp>(m_machine.platform());
        EXPECT_FALSE(m_app->InitInstance());
        return *m_app;
    }
    void ExpectOnlyMessage(const char* text) {
        EXPECT_EQ(m_machine.transcript().MessageTexts(), CStringArray{text}) << m_machine.transcript().Dump();
    }

    SimMachine m_machine;
    std::unique_ptr<CUninstApp> m_app;
};

TEST_F(RelaunchTest, CommandLineFolderAndExitCodeOfTheChild) {
    m_machine.files().SetShortPath("C:\\App\\UNINST.EXE", "C:\\APP~1\\UNINST.EXE");
    m_machine.files().AddFile("C:\\APP~1\\UNINST.EXE", "program");
    m_machine.processes().ScriptChild(SimChild::EndingAfter(3, 1602));
    CUninstApp& app = Run("/SILENT /X");
    const auto& starts = m_machine.processes().StartedProcesses();
    ASSERT_EQ(starts.size(), 1u) << m_machine.transcript().Dump();
    EXPECT_EQ(starts[0].commandLine, CString("\"") + kTempFile + "\" /UNINST=468,C:\\APP~1\\UNINST.EXE /SILENT /X");
    EXPECT_EQ(starts[0].currentFolder, kPrivateFolder);
    EXPECT_EQ(m_machine.files().FileContent(kTempFile), CString("program"));
    EXPECT_EQ(app.ExitCode(), 1602);
    EXPECT_TRUE(m_machine.processes().HasMessageQueue());
    EXPECT_TRUE(m_machine.transcript().MessageTexts().empty());
}

TEST_F(RelaunchTest, LongPathWhenNoShortFormAndNoArguments) {
    m_machine.files().AddFile("C:\\App\\UNINST.EXE", "program").FailShortPaths();
    m_machine.processes().ScriptChild(SimChild::EndingAfter(1, 0));
    Run("");
    ASSERT_EQ(m_machine.processes().StartedProcesses().size(), 1u);
    EXPECT_EQ(m_machine.processes().StartedProcesses()[0].commandLine,
              CString("\"") + kTempFile + "\" /UNINST=468,C:\\App\\UNINST.EXE");
}

TEST_F(RelaunchTest, WaitHandsThreadIdZero) {
    m_machine.processes().ScriptChild(SimChild::EndingAfter(2, 3010));
    CUninstApp& app = Run("/WAIT");
    ASSERT_EQ(m_machine.processes().StartedProcesses().size(), 1u);
    EXPECT_EQ(m_machine.processes().StartedProcesses()[0].commandLine,
              CString("\"") + kTempFile + "\" /UNINST=0,C:\\App\\UNINST.EXE /WAIT");
    EXPECT_EQ(app.ExitCode(), 3010);
}

// The working copy runs in its private folder, where a relative log path would name another file.
TEST_F(RelaunchTest, ARelativeLogPathIsHandedOnInFull) {
    m_machine.files().AddFolder("C:\\Logs").SetCurrentFolder("C:\\Logs");
    m_machine.processes().ScriptChild(SimChild::EndingAfter(1, 0));
    Run("/LOG=run.log");
    ASSERT_EQ(m_machine.processes().StartedProcesses().size(), 1u) << m_machine.transcript().Dump();
    EXPECT_EQ(m_machine.processes().StartedProcesses()[0].commandLine,
              CString("\"") + kTempFile + "\" /UNINST=468,C:\\App\\UNINST.EXE /LOG=run.log /LOG=\"C:\\Logs\\run.log\"");
}

TEST_F(RelaunchTest, QuitFromTheCopyEndsTheWaitWithZero) {
    m_machine.processes().ScriptChild(SimChild::NeverEnding().Posting(2, ThreadMessage{wm::kQuit, 0, 0}));
    CUninstApp& app = Run("");
    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_TRUE(m_machine.files().FileExists(kTempFile));
}

TEST_F(RelaunchTest, OtherMessagesAreDroppedAndEndOfSessionPassesItsWParam) {
    m_machine.processes().ScriptChild(SimChild::NeverEnding()
                                          .Posting(1, ThreadMessage{0x0400, 77, 0})
                                          .Posting(2, ThreadMessage{wm::kQueryEndSession, 9, 0}));
    EXPECT_EQ(Run("").ExitCode(), 9);
}

TEST_F(RelaunchTest, EndSessionPassesItsWParam) {
    m_machine.processes().ScriptChild(SimChild::NeverEnding().Posting(1, ThreadMessage{wm::kEndSession, 1, 0}));
    EXPECT_EQ(Run("").ExitCode(), 1);
}

TEST_F(RelaunchTest, EmptyModuleName) {
    m_machine.system().SetModuleFileName("");
    CUninstApp& app = Run("");
    ExpectOnlyMessage("UNINSTALL - Internal error (module name)");
    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_TRUE(m_machine.processes().StartedProcesses().empty());
}

TEST_F(RelaunchTest, NoTempFileNameRemovesThePrivateFolder) {
    m_machine.files().FailTempFileNames();
    CUninstApp& app = Run("");
    ExpectOnlyMessage("UNINSTALL ERROR - Unable to get temporary file name (1)");
    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_FALSE(m_machine.files().FolderExists(kPrivateFolder));
}

TEST_F(RelaunchTest, NoPrivateFolderIsReportedLikeNoTempFileName) {
    m_machine.files().FailUniqueFolders();
    CUninstApp& app = Run("");
    ExpectOnlyMessage("UNINSTALL ERROR - Unable to get temporary file name (1)");
    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_TRUE(m_machine.processes().StartedProcesses().empty());
    EXPECT_EQ(m_machine.files().FilePaths().size(), 1u);  // the program itself
}

TEST_F(RelaunchTest, FolderPlantedUnderTheNextNameIsPassedOver) {
    m_machine.files().AddFile("C:\\WINDOWS\\TEMP\\~UN5B20\\VERSION.DLL", "planted");
    m_machine.processes().ScriptChild(SimChild::EndingAfter(1, 0));
    Run("");
    ASSERT_EQ(m_machine.processes().StartedProcesses().size(), 1u) << m_machine.transcript().Dump();
    EXPECT_EQ(m_machine.processes().StartedProcesses()[0].commandLine,
              "\"C:\\WINDOWS\\TEMP\\~UN5B21\\~UN3A1F.tmp\" /UNINST=468,C:\\App\\UNINST.EXE");
    EXPECT_EQ(m_machine.processes().StartedProcesses()[0].currentFolder, "C:\\WINDOWS\\TEMP\\~UN5B21");
    EXPECT_FALSE(m_machine.files().FileExists("C:\\WINDOWS\\TEMP\\~UN5B20\\~UN3A1F.tmp"));
}

TEST_F(RelaunchTest, EmptyTempPathUsesWindowsTempWithoutBackslash) {
    m_machine.files().SetTempPath("");
    m_machine.processes().ScriptChild(SimChild::EndingAfter(1, 0));
    Run("");
    ASSERT_EQ(m_machine.processes().StartedProcesses().size(), 1u);
    EXPECT_EQ(m_machine.processes().StartedProcesses()[0].currentFolder, kPrivateFolder);
}

TEST_F(RelaunchTest, CopyFailureDeletesTheTempFile) {
    m_machine.files().FailCopies();
    CUninstApp& app = Run("");
    ExpectOnlyMessage("UNINSTALL ERROR - Unable to create temporary file (1)");
    EXPECT_FALSE(m_machine.files().FileExists(kTempFile));
    EXPECT_FALSE(m_machine.files().FolderExists(kPrivateFolder));
    EXPECT_TRUE(m_machine.processes().StartedProcesses().empty());
    EXPECT_EQ(app.ExitCode(), 0);
}

TEST_F(RelaunchTest, StartFailureDeletesTheTempFile) {
    m_machine.processes().ScriptChild(SimChild::FailingToStart());
    CUninstApp& app = Run("");
    ExpectOnlyMessage("UNINSTALL ERROR - Unable to create temporary file (2)");
    EXPECT_FALSE(m_machine.files().FileExists(kTempFile));
    EXPECT_FALSE(m_machine.files().FolderExists(kPrivateFolder));
    EXPECT_EQ(app.ExitCode(), 0);
}

TEST_F(RelaunchTest, SilentFailureShowsNothingAndExits1603) {
    m_machine.processes().ScriptChild(SimChild::FailingToStart());
    CUninstApp& app = Run("/SILENT");
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::MessageBox), 0u) << m_machine.transcript().Dump();
    EXPECT_EQ(app.ExitCode(), exitcode::kFailed);
    EXPECT_FALSE(m_machine.files().FileExists(kTempFile));
}

// ---- Release of the first instance ----

TEST(ReleaseFirstInstanceTest, FourQuitsThenHalfASecond) {
    SimMachine machine;
    CUninstApp app(machine.platform());
    app.m_waitingThreadId = 0x2A0;
    app.ReleaseFirstInstance();
    const auto& posted = machine.processes().PostedMessages();
    ASSERT_EQ(posted.size(), 4u);
    for (const auto& p : posted) {
        EXPECT_EQ(p.threadId, 0x2A0u);
        EXPECT_EQ(p.message.message, wm::kQuit);
        EXPECT_EQ(p.message.wParam, 0u);
        EXPECT_EQ(p.message.lParam, 0);
    }
    EXPECT_EQ(machine.transcript().Pauses(), std::vector<std::uint32_t>{500});
}

TEST(ReleaseFirstInstanceTest, NothingForThreadZero) {
    SimMachine machine;
    CUninstApp app(machine.platform());
    app.m_waitingThreadId = 0;
    app.ReleaseFirstInstance();
    EXPECT_TRUE(machine.processes().PostedMessages().empty());
    EXPECT_TRUE(machine.transcript().Pauses().empty());
}

// ---- The search for SETUP.INF ----

struct PlaceCase {
    const char* label;
    bool beside;
    bool disk1;
    bool setup;
    bool besideHeld;
    const char* found;  // nullptr: none
};

class OpenSetupInfTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(OpenSetupInfTest, FirstPlaceThatOpens) {
    const PlaceCase& c = GetParam();
    SimMachine machine;
    if (c.beside) machine.files().AddFile("C:\\Setup\\SETUP.INF", "beside");
    if (c.disk1) machine.files().AddFile("C:\\Setup\\DISK1\\SETUP.INF", "disk1");
    if (c.setup) machine.files().AddFile("C:\\Setup\\SETUP\\SETUP.INF", "setup");
    if (c.besideHeld) machine.files().MarkHeldOpen("C:\\Setup\\SETUP.INF");
    CUninstApp app(machine.platform());
    app.m_setupDir = "C:\\Setup\\";
    auto file = app.OpenSetupInf();
    if (c.found) {
        ASSERT_TRUE(file) << machine.transcript().Dump();
        EXPECT_EQ(ReadAll(*file), c.found);
        EXPECT_TRUE(machine.transcript().MessageTexts().empty());
    } else {
        EXPECT_FALSE(file);
        EXPECT_EQ(machine.transcript().MessageTexts(), CStringArray{kSetupInfMissing});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenSetupInfTest,
    ::testing::Values(PlaceCase{"BesideWinsOverBoth", true, true, true, false, "beside"},
                      PlaceCase{"Disk1BeforeSetup", false, true, true, false, "disk1"},
                      PlaceCase{"SetupLast", false, false, true, false, "setup"},
                      PlaceCase{"HeldOpenCountsAsMissing", true, true, false, true, "disk1"},
                      PlaceCase{"HeldOpenAlone", true, false, false, true, nullptr},
                      PlaceCase{"None", false, false, false, false, nullptr}),
    [](const ::testing::TestParamInfo<PlaceCase>& info) { return CString(info.param.label); });

TEST(OpenSetupInfTest, WorkingCopyWithoutSetupInfEnds1603) {
    SimMachine machine;
    machine.system().SetArgumentText("/UNINST=12,C:\\Setup\\UNINST.EXE");
    machine.files().AddFolder("C:\\Setup");
    CUninstApp app(machine.platform());
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.m_setupDir, "C:\\Setup\\");
    EXPECT_EQ(machine.transcript().MessageTexts(), CStringArray{kSetupInfMissing});
    EXPECT_EQ(app.ExitCode(), exitcode::kFailed);
    EXPECT_TRUE(machine.processes().PostedMessages().empty());
}

}  // namespace
