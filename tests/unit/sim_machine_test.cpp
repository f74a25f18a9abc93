// The in-memory machine's own rules where the real calls are easy to get wrong: every other unit
// test relies on them.

#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"

namespace {

const CString kKeyPath = "SOFTWARE\\Tallowmere\\UNINST";

class SimRegistryTest : public ::testing::Test {
protected:
    SimMachine m_machine;
    IRegistry& m_registry = m_machine.platform().registry;
};

TEST_F(SimRegistryTest, KeyAndValueNamesIgnoreAsciiCaseAndKeepTheirSpelling) {
    m_machine.registry().SetString(kLocalMachine, kKeyPath + "\\Demo", "StartMenuFolderName", "Menu");
    RegKey key = 0;
    ASSERT_EQ(m_registry.OpenKey(kLocalMachine, "software\\TALLOWMERE\\uninst\\demo\\", reg::kRead, key), reg::kSuccess);
    RegValue value;
    EXPECT_EQ(m_registry.QueryValue(key, "STARTMENUFOLDERNAME", 4096, value), reg::kSuccess);
    EXPECT_EQ(value.data, CString("Menu", 5));
    m_registry.CloseKey(key);
    EXPECT_EQ(m_machine.registry().SubkeyNames(kLocalMachine, "Software\\tallowmere\\Uninst"), CStringArray{"Demo"});
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), 0u);
}

TEST_F(SimRegistryTest, QueryValueLimitsAndAbsence) {
    m_machine.registry().SetString(kLocalMachine, kKeyPath, "", "C:\\App\\").AddKey(kLocalMachine, "Empty");
    RegKey key = 0;
    ASSERT_EQ(m_registry.OpenKey(kLocalMachine, kKeyPath, reg::kAllAccess, key), reg::kSuccess);
    RegValue value;
    EXPECT_EQ(m_registry.QueryValue(key, "", 7, value), reg::kMoreData);
    EXPECT_EQ(m_registry.QueryValue(key, "", 8, value), reg::kSuccess);
    EXPECT_EQ(value.type, reg::kTypeString);
    EXPECT_EQ(m_registry.QueryValue(key, "Missing", 8, value), reg::kFileNotFound);
    RegKey missing = 0;
    EXPECT_EQ(m_registry.OpenKey(kLocalMachine, kKeyPath + "\\Nothing", reg::kRead, missing), reg::kFileNotFound);
    EXPECT_EQ(m_registry.OpenKey(kLocalMachine, "SOFTWARE\\\\Tallowmere", reg::kRead, missing), reg::kBadPathname);
    m_registry.CloseKey(key);
}

TEST_F(SimRegistryTest, DeleteKeyRefusesAKeyWithSubkeysAndHandlesOutliveTheirKey) {
    m_machine.registry().AddKey(kClassesRoot, "App\\Sub");
    RegKey key = 0;
    ASSERT_EQ(m_registry.OpenKey(kClassesRoot, "App", reg::kAllAccess, key), reg::kSuccess);
    EXPECT_EQ(m_registry.DeleteKey(kClassesRoot, "App"), reg::kAccessDenied);
    EXPECT_EQ(m_registry.DeleteKey(key, "SUB"), reg::kSuccess);
    EXPECT_EQ(m_registry.DeleteKey(kClassesRoot, "app"), reg::kSuccess);
    EXPECT_FALSE(m_machine.registry().KeyExists(kClassesRoot, "App"));
    CString name;
    EXPECT_EQ(m_registry.EnumKey(key, 0, 1044, name), reg::kKeyDeleted);
    EXPECT_EQ(m_registry.SetValue(key, "x", RegValue{reg::kTypeString, "y"}), reg::kKeyDeleted);
    m_registry.CloseKey(key);
    EXPECT_EQ(m_registry.EnumKey(key, 0, 1044, name), reg::kInvalidHandle);
}

TEST_F(SimRegistryTest, EnumKeyOrderAndBufferSize) {
    m_machine.registry().AddKey(kCurrentUser, "K\\beta").AddKey(kCurrentUser, "K\\Alpha").AddKey(kCurrentUser, "K\\GAMMA");
    RegKey key = 0;
    ASSERT_EQ(m_registry.OpenKey(kCurrentUser, "K", reg::kRead, key), reg::kSuccess);
    CString name;
    CStringArray names;
    for (std::uint32_t i = 0; m_registry.EnumKey(key, i, 1044, name) == reg::kSuccess; ++i) names.push_back(name);
    EXPECT_EQ(names, (CStringArray{"Alpha", "beta", "GAMMA"}));
    EXPECT_EQ(m_registry.EnumKey(key, 3, 1044, name), reg::kNoMoreItems);
    EXPECT_EQ(m_registry.EnumKey(key, 0, 5, name), reg::kMoreData);
    EXPECT_EQ(m_registry.EnumKey(key, 0, 6, name), reg::kSuccess);
    m_registry.CloseKey(key);
}

TEST_F(SimRegistryTest, AccessRulesAndInjectedFailures) {
    const CString shared = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    m_machine.registry().AddKey(kLocalMachine, "Locked").DenyAllAccess(kLocalMachine, "locked");
    m_machine.registry().DenyOpen(kLocalMachine, "Hidden").FailCreate(kLocalMachine, shared);
    m_machine.registry().AddKey(kLocalMachine, "Hidden").AddKey(kLocalMachine, "Fixed").FailWrites(kLocalMachine, "Fixed");
    RegKey key = 0;
    EXPECT_EQ(m_registry.OpenKey(kLocalMachine, "Locked", reg::kAllAccess, key), reg::kAccessDenied);
    ASSERT_EQ(m_registry.OpenKey(kLocalMachine, "Locked", reg::kRead, key), reg::kSuccess);
    EXPECT_EQ(m_registry.SetValue(key, "v", RegValue{reg::kTypeDword, "1234"}), reg::kAccessDenied);
    m_registry.CloseKey(key);
    EXPECT_EQ(m_registry.DeleteKey(kLocalMachine, "Locked"), reg::kAccessDenied);
    EXPECT_EQ(m_registry.OpenKey(kLocalMachine, "Hidden", reg::kRead, key), reg::kAccessDenied);
    EXPECT_EQ(m_registry.CreateKey(kLocalMachine, shared, key), reg::kAccessDenied);
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, shared));
    ASSERT_EQ(m_registry.CreateKey(kLocalMachine, "Fixed", key), reg::kSuccess);
    EXPECT_EQ(m_registry.SetValue(key, "v", RegValue{reg::kTypeDword, "1234"}), reg::kAccessDenied);
    m_registry.CloseKey(key);
    ASSERT_EQ(m_registry.CreateKey(kLocalMachine, "New\\Deep", key), reg::kSuccess);
    EXPECT_EQ(m_registry.SetValue(key, "N", RegValue{reg::kTypeDword, CString("\x02\0\0\0", 4)}), reg::kSuccess);
    m_registry.CloseKey(key);
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, "new\\deep", "n"), 2u);
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), 0u);
}

class SimFilesTest : public ::testing::Test {
protected:
    SimMachine m_machine;
    IFileSystem& m_files = m_machine.platform().files;
};

TEST_F(SimFilesTest, PathsIgnoreAsciiCaseAndATrailingBackslash) {
    m_machine.files().AddFile("C:\\Demo\\Help\\Tool.HLP", "help");
    EXPECT_TRUE(m_machine.files().FileExists("c:\\DEMO\\help\\tool.hlp"));
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\demo\\HELP\\"));
    EXPECT_FALSE(m_machine.files().FileExists("C:/Demo/Help/Tool.HLP"));
    m_machine.files().SetCurrentFolder("C:\\Demo\\");
    EXPECT_EQ(m_files.FullPathName("Help\\x.txt"), "C:\\Demo\\Help\\x.txt");
    EXPECT_EQ(m_files.FullPathName("\\x.txt"), "C:\\x.txt");
    EXPECT_EQ(m_machine.files().FileContent("help\\TOOL.hlp"), "help");
}

TEST_F(SimFilesTest, PathsCollapseDotsAndDoubledBackslashesWhereTheyAreCharacters) {
    const struct {
        std::uint32_t codePage;
        const char* path;
        const char* full;
    } cases[] = {
        {1252, "C:\\A\\.\\B\\..\\c.txt", "C:\\A\\c.txt"},
        {1252, "C:\\A\\\\B\\", "C:\\A\\B\\"},
        {1252, "C:\\..\\..\\x", "C:\\x"},
        {1252, "C:\\A\\B\\", "C:\\A\\B\\"},
        {1252, "\\\\srv\\share\\..\\x", "\\\\srv\\share\\x"},
        {1252, "C:\\\x83\\\\.\\x", "C:\\\x83\\x"},
        // The same bytes in 932: 0x5C after a lead byte is no backslash, so nothing is merged.
        {932, "C:\\\x83\\\\.\\x", "C:\\\x83\\\\x"},
        {932, "C:\\\x83\\\\", "C:\\\x83\\\\"},
    };
    for (const auto& c : cases) {
        m_machine.system().SetCodePage(c.codePage);
        EXPECT_EQ(m_files.FullPathName(c.path), c.full) << c.path;
    }
    // Trailing backslashes leave a folder's name where they are characters, not where one is the
    // second byte of the last character.
    m_machine.files().AddFolder("C:\\\x83\\\\\\");
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\\x83\\"));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\\x83"));
}

TEST_F(SimFilesTest, DeletionRefusals) {
    m_machine.files().AddFile("C:\\Demo\\ro.dll", "x", kAttributeReadOnly).AddFile("C:\\Demo\\run.exe").AddFile("C:\\Demo\\SETUP.INF", "[x]");
    m_machine.files().MarkInUse("C:\\Demo\\run.exe");
    EXPECT_FALSE(m_files.Delete("C:\\Demo\\RO.DLL"));
    EXPECT_EQ(m_files.LastError(), fileerror::kAccessDenied);
    ASSERT_TRUE(m_files.SetAttributes("C:\\Demo\\ro.dll", 0));
    EXPECT_TRUE(m_files.Delete("C:\\Demo\\ro.dll"));
    EXPECT_FALSE(m_files.Delete("C:\\Demo\\ro.dll"));
    EXPECT_EQ(m_files.LastError(), fileerror::kFileNotFound);
    EXPECT_FALSE(m_files.Delete("C:\\Demo\\run.exe"));
    {
        const auto open = m_files.OpenForReading("C:\\Demo\\setup.inf");
        ASSERT_NE(open, nullptr);
        EXPECT_EQ(m_files.OpenForReading("C:\\Demo\\SETUP.INF"), nullptr);
        EXPECT_FALSE(m_files.Delete("C:\\Demo\\SETUP.INF"));
        EXPECT_EQ(m_files.LastError(), fileerror::kSharingViolation);
    }
    EXPECT_TRUE(m_files.Delete("C:\\Demo\\SETUP.INF"));
    EXPECT_EQ(m_machine.files().OpenFileCount(), 0);
}

TEST_F(SimFilesTest, RemoveFolderOnlyWhenEmptyAndExisting) {
    m_machine.files().AddFile("C:\\Demo\\Sub\\a.txt");
    EXPECT_FALSE(m_files.RemoveFolder("C:\\Demo"));
    EXPECT_EQ(m_files.LastError(), fileerror::kDirNotEmpty);
    EXPECT_FALSE(m_files.RemoveFolder("C:\\Demo\\Sub"));
    ASSERT_TRUE(m_files.Delete("C:\\Demo\\Sub\\a.txt"));
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\Demo\\Sub"));
    EXPECT_TRUE(m_files.RemoveFolder("c:\\demo\\sub"));
    EXPECT_TRUE(m_files.RemoveFolder("C:\\Demo\\"));
    EXPECT_FALSE(m_files.RemoveFolder("C:\\Demo"));
    EXPECT_EQ(m_files.LastError(), fileerror::kFileNotFound);
    EXPECT_FALSE(m_files.RemoveFolder("C:\\"));
}

TEST_F(SimFilesTest, ReadsDeliverTheContentOrTheInjectedFault) {
    m_machine.files().AddFile("C:\\a.txt", "abcdef").AddFile("C:\\b.txt", "abcdef").ShortenReads("C:\\b.txt", 4);
    for (const auto& [path, expected] : {std::pair<CString, CString>{"C:\\a.txt", "abcdef"}, {"C:\\b.txt", "abcd"}}) {
        const auto open = m_files.OpenForReading(path);
        ASSERT_NE(open, nullptr);
        EXPECT_EQ(open->GetSize(), 6u);
        CString buffer(8, '\0');
        std::uint32_t bytesRead = 0;
        ASSERT_TRUE(open->Read(buffer, bytesRead));
        EXPECT_EQ(buffer.substr(0, bytesRead), expected) << path;
    }
    m_machine.files().FailReads("C:\\a.txt");
    CString buffer(8, '\0');
    std::uint32_t bytesRead = 0;
    EXPECT_FALSE(m_files.OpenForReading("C:\\a.txt")->Read(buffer, bytesRead));
    EXPECT_EQ(m_files.OpenForReading("C:\\WINDOWS"), nullptr);
}

TEST_F(SimFilesTest, TempFileNamesAreNewEmptyFiles) {
    m_machine.files().SetNextTempNumber(0xABC);
    m_machine.files().AddFile("C:\\WINDOWS\\TEMP\\~UNABC.tmp", "taken");
    const auto name = m_files.CreateTempFileName(m_files.TempPath(), "~UNINST");
    ASSERT_TRUE(name);
    EXPECT_EQ(*name, "C:\\WINDOWS\\TEMP\\~UNABD.tmp");
    EXPECT_EQ(m_machine.files().FileContent(*name), "");
    EXPECT_FALSE(m_files.CreateTempFileName("C:\\Nowhere", "~UN"));
    EXPECT_TRUE(m_files.Copy("C:\\App\\UNINST.EXE", *name));
    EXPECT_FALSE(m_files.Copy("C:\\App\\missing.exe", *name));
}

TEST_F(SimFilesTest, UniqueFoldersPassOverTakenNames) {
    m_machine.files().SetNextFolderNumber(0xFFFF).AddFolder("C:\\WINDOWS\\TEMP\\~UNFFFF");
    m_machine.files().AddFile("C:\\WINDOWS\\TEMP\\~UN0000", "a file of that name");
    EXPECT_EQ(m_files.CreateUniqueFolder("C:\\WINDOWS\\TEMP\\", "~UN"), CString("C:\\WINDOWS\\TEMP\\~UN0001"));
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\WINDOWS\\TEMP\\~UN0001"));
    EXPECT_FALSE(m_files.CreateUniqueFolder("C:\\Nowhere", "~UN"));
    EXPECT_EQ(m_files.LastError(), fileerror::kPathNotFound);
}

TEST_F(SimFilesTest, EachReasonToRefuseADeletionHasItsErrorAndItsOpenForDeletion) {
    struct Case {
        const char* path;
        std::uint32_t error;
        bool opensForDeletion;
    };
    m_machine.files().AddFile("C:\\run.exe").AddFile("C:\\held.doc").AddFile("C:\\locked.dat");
    m_machine.files().MarkInUse("C:\\run.exe").MarkHeldOpen("C:\\held.doc").DenyDeletion("C:\\locked.dat");
    for (const Case& c : {Case{"C:\\run.exe", fileerror::kAccessDenied, true},
                          Case{"C:\\held.doc", fileerror::kSharingViolation, false},
                          Case{"C:\\locked.dat", fileerror::kAccessDenied, false}}) {
        EXPECT_FALSE(m_files.Delete(c.path)) << c.path;
        EXPECT_EQ(m_files.LastError(), c.error) << c.path;
        EXPECT_EQ(m_files.OpensForDeletion(c.path), c.opensForDeletion) << c.path;
        EXPECT_TRUE(m_machine.files().FileExists(c.path));
    }
    EXPECT_FALSE(m_files.SetAttributes("C:\\locked.dat", 0));
    EXPECT_FALSE(m_files.OpensForDeletion("C:\\none.dat"));
}

TEST(SimProcessesTest, WaitingLoopSeesScriptedMessagesAndTheChildsEnd) {
    SimMachine machine;
    IProcesses& processes = machine.platform().processes;
    machine.processes()
        .ScriptChild(SimChild::EndingAfter(5, 1603).Posting(2, {wm::kEndSession + 1, 0, 0}).Posting(3, {wm::kQuit, 7, 0}))
        .ScriptChild(SimChild::FailingToStart());
    const auto child = processes.StartProcess("\"C:\\T\\~UN1.tmp\" /UNINST=1,C:\\App", "C:\\T\\");
    ASSERT_NE(child, nullptr);
    processes.TouchMessageQueue();
    EXPECT_FALSE(processes.WaitForProcessOrInput(*child, 100));
    EXPECT_FALSE(processes.TakeMessage());
    EXPECT_FALSE(processes.WaitForProcessOrInput(*child, 100));
    EXPECT_EQ(processes.TakeMessage()->message, wm::kEndSession + 1);
    EXPECT_FALSE(processes.WaitForProcessOrInput(*child, 100));
    EXPECT_EQ(processes.TakeMessage()->wParam, 7u);
    EXPECT_EQ(child->ExitCode(), 259u);
    EXPECT_FALSE(processes.WaitForProcessOrInput(*child, 100));
    EXPECT_TRUE(processes.WaitForProcessOrInput(*child, 100));
    EXPECT_EQ(child->ExitCode(), 1603u);
    EXPECT_EQ(processes.StartProcess("again", "C:\\"), nullptr);
    EXPECT_EQ(machine.processes().StartedProcesses().size(), 2u);
}

TEST(SimUiTest, MessageBoxesTakeScriptedAnswersThenTheirDefaultButton) {
    SimMachine machine;
    IUserInterface& ui = machine.platform().ui;
    machine.ui().AnswerMessageBoxes({mb::kIdNo});
    EXPECT_EQ(ui.ShowMessageBox("Continue?", "UNINST", mb::kYesNo | mb::kIconStop), mb::kIdNo);
    EXPECT_EQ(ui.ShowMessageBox("Continue?", "UNINST", mb::kYesNo | mb::kIconStop), mb::kIdYes);
    EXPECT_EQ(ui.ShowMessageBox("Note", "UNINST", mb::kOk | mb::kIconExclamation), mb::kIdOk);
    machine.ui().AnswerMessageBoxes({mb::kIdYes});
    EXPECT_THROW(ui.ShowMessageBox("Note", "UNINST", mb::kOk), std::logic_error);
    const auto boxes = machine.transcript().MessageBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].Icon(), mb::kIconStop);
    EXPECT_EQ(boxes[2].Buttons(), mb::kOk);
    {
        const auto progress = ui.CreateProgressWindow("Demo", Language::English());
        progress->SetStatus("A");
        progress->SetPercent(0);
        progress->SetStatus("B");
    }
    EXPECT_EQ(machine.transcript().ProgressEvents(),
              (std::vector<SimEvent>{SimEvent::Status("A"), SimEvent::Percent(0), SimEvent::Status("B")}));
    EXPECT_EQ(machine.transcript().Count(SimEventKind::ProgressDestroyed), 1u);
}

}  // namespace

namespace {

TEST(SimPowerTest, CallsPastTheCutChangeNothingAndTheTestApiIsNotCounted) {
    SimMachine machine;
    Platform& platform = machine.platform();
    machine.files().AddFile("C:\\a.txt").AddFile("C:\\b.txt").AddFile("C:\\c.txt");
    machine.registry().SetString(kLocalMachine, "SOFTWARE\\Demo", "v", "1");
    EXPECT_EQ(machine.power().CallsMade(), 0u);

    machine.power().CutAfter(2);
    EXPECT_TRUE(platform.files.Delete("C:\\a.txt"));
    EXPECT_FALSE(platform.files.Delete("C:\\missing.txt"));  // a failed call counts as well
    EXPECT_THROW(platform.files.Delete("C:\\b.txt"), SimPowerCut);
    EXPECT_THROW(platform.registry.DeleteKey(kLocalMachine, "SOFTWARE\\Demo"), SimPowerCut);
    EXPECT_TRUE(machine.power().IsCut());
    EXPECT_TRUE(machine.files().FileExists("C:\\b.txt"));
    EXPECT_TRUE(machine.registry().KeyExists(kLocalMachine, "SOFTWARE\\Demo"));
    // Reading is no state change and goes on, as a test needs to look at the state left.
    RegKey key = 0;
    EXPECT_EQ(platform.registry.OpenKey(kLocalMachine, "SOFTWARE\\Demo", reg::kRead, key), reg::kSuccess);
    platform.registry.CloseKey(key);

    machine.power().Restore();
    EXPECT_TRUE(platform.files.Delete("C:\\b.txt"));
    EXPECT_EQ(machine.power().CallsMade(), 3u);
}

TEST(SimPowerTest, ACutLosesWhatEachStoreHadNotFlushedAndNothingElse) {
    SimMachine machine;
    machine.system().UseWindowsNt4();
    Platform& platform = machine.platform();
    machine.registry().SetString(kLocalMachine, "SOFTWARE\\A", "v", "1").SetString(kCurrentUser, "Software\\U", "v", "1");
    machine.files().AddFile("C:\\old.txt", "old").AddFile("C:\\gone.txt").AddFile("C:\\kept.txt", "old");
    RegKey software = 0;
    ASSERT_EQ(platform.registry.OpenKey(kLocalMachine, "SOFTWARE", reg::kAllAccess, software), reg::kSuccess);
    platform.registry.DeleteKey(kClassesRoot, "Nothing");
    platform.registry.DeleteKey(kLocalMachine, "SOFTWARE\\A");  // flushed below with its hive
    platform.registry.DeleteKey(kCurrentUser, "Software\\U");   // never flushed
    platform.files.DeleteAtRestart("C:\\queued.txt");
    EXPECT_EQ(platform.registry.FlushKey(software), reg::kSuccess);  // SOFTWARE's hive: not the queue's
    platform.registry.SetValue(software, "late", RegValue{reg::kTypeString, "x"});
    platform.files.WriteWholeFile("C:\\old.txt", "new");
    platform.files.WriteWholeFile("C:\\created.txt", "new");
    platform.files.WriteWholeFileToDisk("C:\\kept.txt", "new");
    platform.files.Delete("C:\\gone.txt");

    machine.LoseUnflushed({true, false, false});
    EXPECT_FALSE(machine.registry().KeyExists(kLocalMachine, "SOFTWARE\\A"));
    EXPECT_FALSE(machine.registry().Value(kLocalMachine, "SOFTWARE", "late"));
    EXPECT_FALSE(machine.registry().KeyExists(kCurrentUser, "Software\\U"));  // that hive kept its change
    EXPECT_TRUE(machine.files().PendingRestartDeletions().empty());
    machine.LoseUnflushed({false, true, true});
    EXPECT_TRUE(machine.registry().KeyExists(kCurrentUser, "Software\\U"));
    EXPECT_EQ(machine.files().FileContent("C:\\old.txt"), "old");
    EXPECT_EQ(machine.files().FileContent("C:\\created.txt"), "");
    EXPECT_EQ(machine.files().FileContent("C:\\kept.txt"), "new");
    EXPECT_FALSE(machine.files().FileExists("C:\\gone.txt"));

    // The NT family's queue lies in SYSTEM's hive; the 9x family keeps all of HKLM in one file.
    platform.files.DeleteAtRestart("C:\\queued.txt");
    machine.registry().AddKey(kLocalMachine, "SYSTEM\\CurrentControlSet");
    RegKey system = 0;
    ASSERT_EQ(platform.registry.OpenKey(kLocalMachine, "SYSTEM\\CurrentControlSet", reg::kRead, system), reg::kSuccess);
    platform.registry.FlushKey(system);
    machine.LoseUnflushed({true, true, true});
    EXPECT_EQ(machine.files().PendingRestartDeletions().size(), 1u);
}

TEST(SimPowerTest, ProgramsAndModulesStopBeforeTheyAct) {
    SimMachine machine;
    bool programRan = false;
    machine.processes().RegisterProgram("C:\\p.exe", SimProgram::ExitingWith(0).OnStart([&] { programRan = true; }));
    machine.modules().Register("C:\\m.ocx", SimModule::Returning(0));
    machine.power().CutAfter(0);
    EXPECT_THROW(machine.platform().processes.ShellExecuteProgram("C:\\p.exe", ""), SimPowerCut);
    EXPECT_FALSE(programRan);
    auto module = machine.platform().modules.LoadModule("C:\\m.ocx", DependencySearch::ModuleFolderFirst);
    ASSERT_TRUE(module);
    EXPECT_THROW(module->CallUnregister(), SimPowerCut);
    EXPECT_EQ(machine.transcript().Count(SimEventKind::UnregisterCalled), 0u);
}

}  // namespace
