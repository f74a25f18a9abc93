// What the run leaves to the next restart, and what it keeps out of the working copy: files in
// use on both families, other programs' lines of WININIT.INI, the private folder of the working
// copy, and the limits of the DLL search.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "working_copy_run.h"

namespace {

using namespace working_copy_run;

constexpr char kForeignLine[] = "NUL=C:\\OTHER\\PENDING.TMP";

constexpr char kHeldDocument[] = "C:\\App\\DATA\\notes.doc";
constexpr char kRunningProgram[] = "C:\\App\\tool.exe";
constexpr char kProtectedFile[] = "C:\\App\\locked.dat";
// The first name a file in use is moved aside to, in the working copy's private folder.
constexpr char kAside[] = "C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0000.TMP";

using RestartQueueTest = WorkingCopyRunTest;

// ---- Files in use ----

class FilesInUseTest : public RestartQueueTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        RestartQueueTest::SetUp();
        if (GetParam()) m_machine.system().UseWindowsNt4();
        m_machine.files().AddFile(kWininit, CString("[Rename]\r\n") + kForeignLine + "\r\n");
        m_machine.files().AddFile(kHeldDocument, "text").AddFile(kRunningProgram, "MZ").AddFile(kProtectedFile);
        m_machine.files().MarkHeldOpen(kHeldDocument).MarkInUse(kRunningProgram).DenyDeletion(kProtectedFile);
        m_machine.files().SetShortPath(kHeldDocument, "C:\\App\\DATA\\NOTES~1.DOC");
        WriteSetup({"%apppath%\\DATA\\notes.doc", "%apppath%\\tool.exe", "%apppath%\\locked.dat"});
    }

    // What waits for the restart, with or without /WAIT: the first instance's file is not among
    // the files in use here.
    void ExpectQueuedForTheRestart() {
        const CStringArray wininitLines = m_machine.files().ProfileValues(kWininit, "Rename", "NUL");
        if (GetParam()) {
            // The new name is queued before each move; the one tried for the document holds nothing
            // and is passed over at the restart. Then the folders, deepest first: once before the
            // record goes, once after the final clean-up.
            EXPECT_EQ(m_machine.files().PendingRestartDeletions(),
                      (CStringArray{kAside, kHeldDocument, kAside, "C:\\App\\DATA", "C:\\App", "C:\\App\\DATA",
                                    "C:\\App", kWorkingCopy, kPrivateFolder}))
                << Dump();
            EXPECT_EQ(wininitLines, CStringArray{"C:\\OTHER\\PENDING.TMP"});
        } else {
            // Nothing in use can be renamed here: each file is queued under its own short name, and
            // the line of the name tried is taken back in the same write.
            EXPECT_TRUE(m_machine.files().PendingRestartDeletions().empty());
            EXPECT_EQ(wininitLines, (CStringArray{kWorkingCopy, kRunningProgram, "C:\\App\\DATA\\NOTES~1.DOC",
                                                  "C:\\OTHER\\PENDING.TMP"}))
                << *m_machine.files().FileContent(kWininit);
        }
    }
};

TEST_P(FilesInUseTest, AreQueuedForTheRestartWhileProtectedOnesStay) {
    const bool nt = GetParam();
    EXPECT_EQ(Run("/UNINST=0,C:\\App\\UNINST\\UNINST.EXE /SILENT /WAIT /LOG=C:\\Logs\\run.log"), 3010);
    EXPECT_TRUE(Logged("file in use: C:\\App\\DATA\\notes.doc (error 32)")) << Log();
    EXPECT_TRUE(Logged("file in use: C:\\App\\tool.exe (error 5)")) << Log();
    EXPECT_TRUE(Logged("not moved aside: C:\\App\\DATA\\notes.doc (held open without delete sharing); a reinstall "
                       "before the restart would lose the file of that name, which is deleted then"))
        << Log();
    EXPECT_TRUE(Logged("scheduled for deletion at restart: C:\\App\\DATA\\notes.doc")) << Log();
    EXPECT_EQ(Logged("moved aside: C:\\App\\tool.exe -> " + CString(kAside)), nt) << Log();
    EXPECT_EQ(Logged("scheduled for deletion at restart: C:\\App\\tool.exe"), !nt) << Log();
    EXPECT_TRUE(Logged("file left: C:\\App\\locked.dat (error 5), no right to delete it")) << Log();
    EXPECT_FALSE(m_machine.files().FileExists(kInstalledCopy));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\App\\UNINST"));
    EXPECT_EQ(m_machine.files().FileExists(kRunningProgram), !nt);
    ExpectQueuedForTheRestart();
}

TEST_P(FilesInUseTest, WithoutWaitTheRunStillEndsWithZero) {
    EXPECT_EQ(Run("/UNINST=0,C:\\App\\UNINST\\UNINST.EXE /SILENT"), 0);
    EXPECT_TRUE(m_machine.files().FileExists(kHeldDocument));
    ExpectQueuedForTheRestart();
}

INSTANTIATE_TEST_SUITE_P(Families, FilesInUseTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Nt" : "Win9x"; });

// With /WAIT the first instance's own file goes at the end even where the setup information
// names another: deleted when it can be, queued while it runs, and left when it may not go.
enum class OwnFile { Free, Running, Protected };

class WaitingOwnFileTest : public RestartQueueTest, public ::testing::WithParamInterface<OwnFile> {};

TEST_P(WaitingOwnFileTest, GoesAtTheEndWhereverTheListPointsElse) {
    constexpr char kFirstInstance[] = "C:\\App\\UNINST\\REMOVE.EXE";  // beside SETUP.INF, named by no line
    m_machine.system().UseWindowsNt4();
    m_machine.files().AddFile(kFirstInstance, "program");
    if (GetParam() == OwnFile::Running) m_machine.files().MarkInUse(kFirstInstance);
    if (GetParam() == OwnFile::Protected) m_machine.files().DenyDeletion(kFirstInstance);
    WriteSetup({"%apppath%\\a.txt"});
    const int exitCode = Run("/UNINST=0," + CString(kFirstInstance) + " /SILENT /WAIT /LOG=C:\\Logs\\run.log");

    const CStringArray& pending = m_machine.files().PendingRestartDeletions();
    const bool queued = std::find(pending.begin(), pending.end(), kFirstInstance) != pending.end() ||
                        std::find(pending.begin(), pending.end(), "C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0000.TMP") != pending.end();
    switch (GetParam()) {
        case OwnFile::Free:
            EXPECT_TRUE(Logged("file deleted: " + CString(kFirstInstance))) << Log();
            EXPECT_FALSE(m_machine.files().FileExists(kFirstInstance));
            EXPECT_FALSE(queued) << Dump();
            break;
        case OwnFile::Running:
            EXPECT_TRUE(Logged("file in use: " + CString(kFirstInstance) + " (error 5)")) << Log();
            EXPECT_TRUE(queued) << Dump();
            EXPECT_EQ(exitCode, 3010);
            break;
        case OwnFile::Protected:
            EXPECT_TRUE(Logged("file left: " + CString(kFirstInstance) + " (error 5), no right to delete it")) << Log();
            EXPECT_EQ(m_machine.files().FileContent(kFirstInstance), CString("program"));
            EXPECT_FALSE(queued) << Dump();
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(States, WaitingOwnFileTest, ::testing::Values(OwnFile::Free, OwnFile::Running, OwnFile::Protected),
                         [](const ::testing::TestParamInfo<OwnFile>& info) {
                             return info.param == OwnFile::Free ? "Free" : info.param == OwnFile::Running ? "Running" : "Protected";
                         });

// ---- The names the restart deletes by ----

struct QueuedNamesCase {
    const char* label;
    const char* appFolder;  // as the record gives it
    const char* wow64SystemFolder;  // empty: 32-bit Windows
    const char* file;       // held open without delete sharing, so it keeps its own name
    CStringArray pending;
};

class QueuedNamesTest : public RestartQueueTest, public ::testing::WithParamInterface<QueuedNamesCase> {};

TEST_P(QueuedNamesTest, AreTheInstallationsOwnInTheFormTheRestartReads) {
    const QueuedNamesCase& c = GetParam();
    m_machine.system().UseWindows2000().SetSystemFolder("C:\\WINDOWS\\SYSTEM32").SetWow64SystemFolder(c.wow64SystemFolder);
    m_machine.registry().SetString(kLocalMachine, "SOFTWARE\\Tallowmere\\UNINST\\Demo", "", c.appFolder);
    m_machine.files().AddFile(c.file).MarkHeldOpen(c.file);
    WriteSetup({c.file});
    EXPECT_EQ(Run("/UNINST=0,C:\\App\\UNINST\\UNINST.EXE /SILENT /WAIT /LOG=C:\\Logs\\run.log"), 3010);
    EXPECT_EQ(m_machine.files().PendingRestartDeletions(), c.pending) << Log();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QueuedNamesTest,
    ::testing::Values(
        QueuedNamesCase{"AtADriveRootNoFolder", "C:\\App\\", "", "C:\\held.doc",
                        {"C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0000.TMP", "C:\\held.doc", kWorkingCopy, kPrivateFolder}},
        // The folders that stay only for the file go after it, before the record and at the end.
        QueuedNamesCase{"InTheApplicationFolderItsFolders", "C:\\App\\", "", "C:\\App\\DATA\\held.doc",
                        {"C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0000.TMP", "C:\\App\\DATA\\held.doc", "C:\\App\\DATA",
                         "C:\\App", "C:\\App\\DATA", "C:\\App", kWorkingCopy, kPrivateFolder}},
        QueuedNamesCase{"InTheSystemFolderNotTheFolder", "C:\\App\\", "", "C:\\WINDOWS\\SYSTEM32\\held.dll",
                        {"C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0000.TMP", "C:\\WINDOWS\\SYSTEM32\\held.dll", kWorkingCopy,
                         kPrivateFolder}},
        QueuedNamesCase{"InAnApplicationFolderThatIsTheWindowsFolderNeitherSharedFolder", "C:\\WINDOWS\\", "",
                        "C:\\WINDOWS\\SYSTEM32\\held.dll",
                        {"C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0000.TMP", "C:\\WINDOWS\\SYSTEM32\\held.dll", kWorkingCopy,
                         kPrivateFolder}},
        // The 64-bit system carries the queue out and reads System32 as its own folder.
        QueuedNamesCase{"OnWow64TheSystemFoldersFileByItsSysWow64Name", "C:\\App\\", "C:\\WINDOWS\\SysWOW64",
                        "C:\\WINDOWS\\SYSTEM32\\held.dll",
                        {"C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0000.TMP", "C:\\WINDOWS\\SysWOW64\\held.dll", kWorkingCopy,
                         kPrivateFolder}},
        QueuedNamesCase{"OnWow64OtherFilesAsTheyAre", "C:\\App\\", "C:\\WINDOWS\\SysWOW64", "C:\\App\\held.doc",
                        {"C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0000.TMP", "C:\\App\\held.doc", "C:\\App", "C:\\App",
                         kWorkingCopy, kPrivateFolder}}),
    [](const ::testing::TestParamInfo<QueuedNamesCase>& info) { return CString(info.param.label); });

TEST_F(RestartQueueTest, WininitThatCannotBeReadIsNotOverwritten) {
    m_machine.files().AddFile(kWininit, CString("[Rename]\r\n") + kForeignLine + "\r\n").FailReads(kWininit);
    WriteSetup({"%apppath%\\a.txt"});
    m_machine.ui().AnswerConfirmation(mb::kIdCancel);
    EXPECT_EQ(Run("/UNINST=0,C:\\App\\UNINST\\UNINST.EXE /LOG=C:\\Logs\\run.log"), 1602);
    EXPECT_EQ(m_machine.files().FileContent(kWininit), CString("[Rename]\r\n") + kForeignLine + "\r\n");
    EXPECT_TRUE(Logged("not scheduled for deletion at restart: " + CString(kWorkingCopy) + " (error 30)")) << Log();
}

// ---- The private folder ----

struct PrivateFolderCase {
    const char* label;
    bool nt;
    const char* module;
    CStringArray pending;     // on the NT family
    CStringArray wininit;     // on the 9x family
    const char* logged;
};

class PrivateFolderTest : public RestartQueueTest, public ::testing::WithParamInterface<PrivateFolderCase> {};

TEST_P(PrivateFolderTest, GoesAfterTheCopyOnlyWhenTheFirstInstanceMadeIt) {
    const PrivateFolderCase& c = GetParam();
    if (c.nt) m_machine.system().UseWindows2000();
    m_machine.system().SetModuleFileName(c.module);
    m_machine.files().AddFile(c.module, "program");
    WriteSetup({"%apppath%\\a.txt"});
    m_machine.ui().AnswerConfirmation(mb::kIdCancel);
    EXPECT_EQ(Run("/UNINST=0,C:\\App\\UNINST\\UNINST.EXE /LOG=C:\\Logs\\run.log"), 1602);
    EXPECT_EQ(m_machine.files().PendingRestartDeletions(), c.pending) << Dump();
    EXPECT_EQ(m_machine.files().ProfileValues(kWininit, "Rename", "NUL"), c.wininit);
    if (c.logged) {
        EXPECT_TRUE(Logged(c.logged)) << Log();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrivateFolderTest,
    ::testing::Values(
        PrivateFolderCase{"NtFolderAfterTheCopy", true, kWorkingCopy, {kWorkingCopy, kPrivateFolder}, {},
                          "scheduled for deletion at restart: C:\\WINDOWS\\TEMP\\~UN5B20"},
        PrivateFolderCase{"Win9xFolderStays", false, kWorkingCopy, {}, {kWorkingCopy},
                          "private folder stays: C:\\WINDOWS\\TEMP\\~UN5B20 (WININIT.INI deletes files only)"},
        PrivateFolderCase{"InPlaceKeepsItsFolder", true, kInstalledCopy, {kInstalledCopy}, {}, nullptr},
        PrivateFolderCase{"LookAlikeOutsideTheTemporaryFolder", true, "C:\\Tools\\~UN5B20\\~UN3A1F.tmp",
                          {"C:\\Tools\\~UN5B20\\~UN3A1F.tmp"}, {}, nullptr},
        PrivateFolderCase{"NotFourDigits", true, "C:\\WINDOWS\\TEMP\\~UNDATA\\~UN3A1F.tmp",
                          {"C:\\WINDOWS\\TEMP\\~UNDATA\\~UN3A1F.tmp"}, {}, nullptr}),
    [](const ::testing::TestParamInfo<PrivateFolderCase>& info) { return CString(info.param.label); });

// ---- The DLL search and the three-dimensional look ----

struct DllSearchCase {
    const char* label;
    bool defaultDirectories;
    bool dllDirectory;
    std::vector<SimEvent> calls;
    const char* logged;
};

class DllSearchTest : public RestartQueueTest, public ::testing::WithParamInterface<DllSearchCase> {};

TEST_P(DllSearchTest, LimitedBeforeAnythingLoadsAModule) {
    const DllSearchCase& c = GetParam();
    m_machine.system().OfferDllSearchFunctions(c.defaultDirectories, c.dllDirectory);
    WriteSetup({"%apppath%\\a.txt"});
    m_machine.ui().AnswerConfirmation(mb::kIdCancel);
    Run("/UNINST=0,C:\\App\\UNINST\\UNINST.EXE /LOG=C:\\Logs\\run.log");
    EXPECT_EQ(m_machine.transcript().EventsOf(SimEventKind::DllSearchSet), c.calls);
    EXPECT_TRUE(Logged(CString("DLL search: ") + c.logged)) << Log();
    // The look's module comes from the system folder by its full path, after the search is set.
    const auto& events = m_machine.transcript().Events();
    std::size_t look = events.size();
    for (std::size_t i = 0; i < events.size() && look == events.size(); ++i) {
        if (events[i].kind == SimEventKind::Enable3dControls) look = i;
    }
    ASSERT_LT(look, events.size()) << Dump();
    EXPECT_EQ(events[look].text, "C:\\WINDOWS\\SYSTEM\\CTL3D32.DLL");
    for (std::size_t i = look; i < events.size(); ++i) EXPECT_NE(events[i].kind, SimEventKind::DllSearchSet) << Dump();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DllSearchTest,
    ::testing::Values(
        DllSearchCase{"DefaultDirectoriesWin", true, true,
                      {SimEvent{SimEventKind::DllSearchSet, "SetDefaultDllDirectories", {}, 0x800, 0}},
                      "the system folder only"},
        DllSearchCase{"DllDirectoryWhereThatIsAll", false, true,
                      {SimEvent{SimEventKind::DllSearchSet, "SetDllDirectoryA", "C:\\WINDOWS\\SYSTEM", 0, 0}},
                      "the program's folder, then C:\\WINDOWS\\SYSTEM; not the current folder"},
        DllSearchCase{"NeitherOnWindows95", false, false, {}, "the system's own order"}),
    [](const ::testing::TestParamInfo<DllSearchCase>& info) { return CString(info.param.label); });

}  // namespace
