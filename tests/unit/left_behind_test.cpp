// What a run leaves behind: emptied folders up to the installation's own folders and never above
// them, the installation record and its emptied parents, what a second run does after the
// first was cut short, stopped from outside, or found no record, or while the first still works,
// and a user without the rights to remove the installation.

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "full_installation.h"
#include "phases/folder_chain.h"

namespace {

using namespace full_installation;

struct FolderCase {
    const char* label;
    CStringArray listed;
    CStringArray bounds;
    CStringArray expected;
};

class FoldersToRemoveTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FoldersToRemoveTest, ClimbsToTheOutermostBoundAndNoFurther) {
    const FolderCase& c = GetParam();
    EXPECT_EQ(FoldersToRemove(c.listed, c.bounds, CodePage()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FoldersToRemoveTest,
    ::testing::Values(
        FolderCase{"NestedUpToTheAppFolder", {"C:\\Apps\\Demo\\DATA\\CACHE\\"}, {"C:\\Apps\\Demo"},
                   {"C:\\Apps\\Demo\\DATA\\CACHE\\", "C:\\Apps\\Demo\\DATA\\", "C:\\Apps\\Demo\\"}},
        FolderCase{"CommonAndStartMenuFoldersBoundTheirOwn",
                   {"C:\\Common\\Demo\\LIB\\X\\", "C:\\Menu\\Demo\\Tools\\"},
                   {"C:\\Apps\\Demo\\", "C:\\Common\\Demo", "C:\\Menu\\Demo\\"},
                   {"C:\\Menu\\Demo\\Tools\\", "C:\\Menu\\Demo\\", "C:\\Common\\Demo\\LIB\\X\\",
                    "C:\\Common\\Demo\\LIB\\", "C:\\Common\\Demo\\"}},
        FolderCase{"AFolderUnderNoBoundIsTriedAlone", {"C:\\WINDOWS\\SYSTEM\\DEMO\\"}, {"C:\\Apps\\Demo\\"},
                   {"C:\\WINDOWS\\SYSTEM\\DEMO\\"}},
        FolderCase{"ListedParentsAndLetterCaseAreNotAddedTwice",
                   {"c:\\apps\\demo\\", "C:\\Apps\\Demo\\Sub\\Deep\\", "C:\\APPS\\DEMO\\SUB"},
                   {"C:\\Apps\\Demo\\"},
                   {"C:\\Apps\\Demo\\Sub\\Deep\\", "C:\\APPS\\DEMO\\SUB", "c:\\apps\\demo\\"}},
        FolderCase{"SiblingsShareTheirParentsOnceInTheFirstCaseMet",
                   {"C:\\Apps\\Demo\\A\\X\\", "C:\\APPS\\DEMO\\A\\Y\\", "C:\\Apps\\Demo\\B\\"}, {"C:\\Apps\\Demo"},
                   {"C:\\Apps\\Demo\\B\\", "C:\\APPS\\DEMO\\A\\Y\\", "C:\\Apps\\Demo\\A\\X\\", "C:\\Apps\\Demo\\A\\",
                    "C:\\Apps\\Demo\\"}},
        FolderCase{"DuplicatesAsListedStay", {"C:\\Menu\\Demo\\", "C:\\Menu\\Demo\\"}, {"C:\\Menu\\Demo\\"},
                   {"C:\\Menu\\Demo\\", "C:\\Menu\\Demo\\"}},
        FolderCase{"DriveRootsAndRelativeBoundsBoundNothing", {"C:\\A\\B\\", "D:\\X\\Y\\"}, {"C:\\", "X\\", ""},
                   {"D:\\X\\Y\\", "C:\\A\\B\\"}},
        FolderCase{"ABoundThatOnlyBeginsLikeTheFolderIsNotItsParent", {"C:\\Apps\\Demo2\\Sub\\"}, {"C:\\Apps\\Demo"},
                   {"C:\\Apps\\Demo2\\Sub\\"}}),
    [](const ::testing::TestParamInfo<FolderCase>& info) { return info.param.label; });

class LeftBehindTest : public ::testing::Test {
protected:
    void SetUp() override { Lay(m_machine, false); }
    void Journal(const CString& step, const CString& entry) {
        RegKey record = 0;
        m_machine.platform().registry.OpenKey(kLocalMachine, kRecordPath, reg::kAllAccess, record);
        m_machine.platform().registry.SetValue(record, step, {reg::kTypeString, entry + '\0'});
        m_machine.platform().registry.CloseKey(record);
    }
    CStringArray ShellCalls() {
        CStringArray files;
        for (const SimShellCall& call : m_machine.processes().ShellCalls()) files.push_back(call.file);
        return files;
    }
    // The next runs keep a log, which this returns.
    void KeepLog() {
        m_machine.files().AddFolder("C:\\LOGS");
        m_machine.system().SetArgumentText(CString(kSwitch) + " /LOG=C:\\LOGS\\run.log");
    }
    CString LogText() { return m_machine.files().FileContent("C:\\LOGS\\run.log").value_or(""); }
    std::size_t Unregistrations() const { return m_machine.transcript().Count(SimEventKind::UnregisterCalled); }
    CString Dump() const { return m_machine.transcript().Dump(); }

    SimMachine m_machine;
};

TEST_F(LeftBehindTest, FolderHoldingOnlyAnEmptiedFolderGoesWithEveryParentUpToTheBounds) {
    m_machine.files().AddFolder("C:\\DEMO\\DATA\\CACHE\\EMPTY");
    m_machine.files().AddFolder("C:\\COMMON\\DEMO\\EMPTY");
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);
    // Not listed and not emptied by the run: they hold the folders that keep their parents.
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\DEMO\\DATA\\CACHE\\EMPTY")) << Dump();
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\COMMON\\DEMO\\EMPTY"));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\COMMON\\DEMO\\LIB"));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\DEMO\\HELP"));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\DEMO\\UNINST"));
}

TEST_F(LeftBehindTest, CompletedRunLeavesNoFolderOfTheInstallationAndNothingAboveIt) {
    m_machine.files().AddFolder("C:\\WINDOWS\\SYSTEM\\EMPTY");
    m_machine.files().RemoveFolder("C:\\COMMON\\OTHER");
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);
    for (const char* gone : {"C:\\DEMO", "C:\\COMMON\\DEMO", "C:\\WINDOWS\\START MENU\\DEMO"}) {
        EXPECT_FALSE(m_machine.files().FolderExists(gone)) << gone << "\n" << Dump();
    }
    // Emptied as well, but above the common and start-menu folders.
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\COMMON"));
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\WINDOWS\\START MENU"));
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\WINDOWS\\SYSTEM\\EMPTY"));
}

TEST_F(LeftBehindTest, AFolderWithAnUnlistedFileStaysAndSoDoItsParents) {
    m_machine.files().AddFile("C:\\DEMO\\DATA\\CACHE\\user.dat", "mine");
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);
    EXPECT_TRUE(m_machine.files().FileExists("C:\\DEMO\\DATA\\CACHE\\user.dat")) << Dump();
    EXPECT_FALSE(m_machine.files().FileExists("C:\\DEMO\\DATA\\CACHE\\cache.dat"));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\DEMO\\UNINST"));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\DEMO\\HELP"));
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\DEMO\\DATA\\CACHE"));
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\DEMO\\DATA"));
    EXPECT_TRUE(m_machine.files().FolderExists(kAppFolder));
}

TEST_F(LeftBehindTest, RecordAndItsEmptiedParentsGoAtTheEndOfACompletedRun) {
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, "SOFTWARE\\Tallowmere")) << Dump();
    EXPECT_TRUE(m_machine.registry().KeyExists(kLocalMachine, "SOFTWARE"));
    // The shortcuts go before the uninstaller and its SETUP.INF, which go last of all.
    CStringArray deleted;
    for (const SimEvent& event : m_machine.transcript().EventsOf(SimEventKind::FileDeleted)) deleted.push_back(event.text);
    ASSERT_GE(deleted.size(), 4u);
    EXPECT_EQ(CStringArray(deleted.end() - 4, deleted.end()),
              (CStringArray{"C:\\WINDOWS\\START MENU\\DEMO\\Demo Help.lnk", "C:\\WINDOWS\\START MENU\\DEMO\\Un-Install.LNK",
                            kInstalledCopy, kSetupInf}));
}

TEST_F(LeftBehindTest, ParentsThatHoldAnotherApplicationOrAValueStay) {
    m_machine.registry().SetString(kLocalMachine, "SOFTWARE\\Tallowmere\\UNINST\\Other", "", "C:\\OTHER\\");
    m_machine.registry().SetString(kLocalMachine, "SOFTWARE\\Tallowmere", "Owner", "x");
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, kRecordPath)) << Dump();
    EXPECT_EQ(m_machine.registry().String(kLocalMachine, "SOFTWARE\\Tallowmere\\UNINST\\Other", ""), "C:\\OTHER\\");

    SimMachine valueOnly;
    Lay(valueOnly, true);
    valueOnly.registry().SetString(kLocalMachine, "SOFTWARE\\Tallowmere", "Owner", "x");
    EXPECT_EQ(RunWorkingCopy(valueOnly), 0);
    EXPECT_FALSE(valueOnly.registry().KeyExists(kLocalMachine, "SOFTWARE\\Tallowmere\\UNINST"));
    EXPECT_EQ(valueOnly.registry().String(kLocalMachine, "SOFTWARE\\Tallowmere", "Owner"), "x");
}

TEST_F(LeftBehindTest, CancelKeepsTheRecord) {
    m_machine.ui().AnswerConfirmation(mb::kIdCancel);
    EXPECT_EQ(RunWorkingCopy(m_machine), 1602);
    EXPECT_EQ(m_machine.registry().String(kLocalMachine, kRecordPath, ""), "C:\\DEMO\\");
    EXPECT_TRUE(m_machine.registry().KeyExists(kLocalMachine, CString(kRecordPath) + "\\AppCommon"));
}

TEST_F(LeftBehindTest, CutShortKeepsTheRecordAndASecondRunDoesNothingTwice) {
    // The module fails, and the user stops there.
    m_machine.modules().Register("C:\\DEMO\\demo.ocx", SimModule::Returning(0x80004005));
    m_machine.ui().AnswerMessageBoxes({mb::kIdNo});
    EXPECT_EQ(RunWorkingCopy(m_machine), 1603);
    EXPECT_EQ(m_machine.registry().String(kLocalMachine, kRecordPath, ""), "C:\\DEMO\\") << Dump();
    EXPECT_EQ(ShellCalls(), CStringArray{"C:\\DEMO\\cleanup.exe"});
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, kSharedTwice), 2u);

    // Mended, the module unregisters; the program that ran is not started again, the module
    // the user stopped at is asked about again, and each count goes down once.
    m_machine.modules().Register("C:\\DEMO\\demo.ocx", SimModule::Returning(0));
    KeepLog();
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);
    EXPECT_EQ(ShellCalls(), CStringArray{"C:\\DEMO\\cleanup.exe"}) << Dump();
    EXPECT_NE(LogText().find("] program already run: %apppath%\\cleanup.exe,/quiet\r\n"), CString::npos) << LogText();
    EXPECT_EQ(Unregistrations(), 2u);
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, kSharedTwice), 1u);
    EXPECT_FALSE(m_machine.registry().Value(kLocalMachine, kSharedDlls, kSharedOnce));
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, "SOFTWARE\\Tallowmere"));
}

TEST_F(LeftBehindTest, LineWithoutAProgramIsSkippedInEveryRunAndTheJournalKeepsItsNumbers) {
    CString setup = kSetupText;
    setup.insert(setup.find("%apppath%\\cleanup.exe,/quiet"), ",x\r\n");
    m_machine.files().AddFile(kSetupInf, setup);
    m_machine.modules().Register("C:\\DEMO\\demo.ocx", SimModule::Returning(0x80004005));
    m_machine.ui().AnswerMessageBoxes({mb::kIdNo});
    KeepLog();
    EXPECT_EQ(RunWorkingCopy(m_machine), 1603);
    m_machine.modules().Register("C:\\DEMO\\demo.ocx", SimModule::Returning(0));
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);

    EXPECT_EQ(ShellCalls(), CStringArray{"C:\\DEMO\\cleanup.exe"}) << Dump();
    const CString log = LogText();
    const CString skipped = "] program line without a program skipped: ,x\r\n";
    const std::size_t first = log.find(skipped);
    ASSERT_NE(first, CString::npos) << log;
    EXPECT_NE(log.find(skipped, first + 1), CString::npos) << log;
    EXPECT_NE(log.find("] program already run: %apppath%\\cleanup.exe,/quiet\r\n"), CString::npos) << log;
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, "SOFTWARE\\Tallowmere"));
}

TEST_F(LeftBehindTest, ModuleInterruptedBeforeItsEndIsCalledAgainWithoutAQuestion) {
    Journal("Uninstall.Program.1", "done|C:\\DEMO\\cleanup.exe");
    Journal("Uninstall.Module.1", "started|C:\\DEMO\\demo.ocx");
    // Already unregistered, the module now says so with an error.
    m_machine.modules().Register("C:\\DEMO\\demo.ocx", SimModule::Returning(0x80004005));
    KeepLog();
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);
    EXPECT_TRUE(ShellCalls().empty()) << Dump();
    EXPECT_NE(LogText().find("] module unregistered again, a stop interrupted it: %apppath%\\demo.ocx\r\n"),
              CString::npos) << LogText();
    EXPECT_EQ(Unregistrations(), 1u);
    for (const SimMessageBox& box : m_machine.transcript().MessageBoxes()) {
        EXPECT_EQ(box.text.find("DllUnregisterServer"), CString::npos) << box.text;
    }
}

TEST_F(LeftBehindTest, StoppedAfterTheCountWasJournaledFinishesItOnce) {
    // Stopped before the first count was written, and after the second was.
    Journal("Uninstall.Shared.1", "started|remove|1|0|" + CString(kSharedOnce));
    Journal("Uninstall.Shared.2", "started|keep|2|1|" + CString(kSharedTwice));
    m_machine.registry().SetDword(kLocalMachine, kSharedDlls, kSharedTwice, 1);
    KeepLog();
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);
    EXPECT_NE(LogText().find("] shared file already dereferenced: " + CString(kSharedOnce) + ", file to be removed\r\n"),
              CString::npos) << LogText();
    EXPECT_NE(LogText().find("] shared file already dereferenced: " + CString(kSharedTwice) + ", file kept\r\n"),
              CString::npos);
    // No question: the answer was given before the stop.
    EXPECT_TRUE(m_machine.transcript().MessageTexts().empty()) << Dump();
    EXPECT_FALSE(m_machine.registry().Value(kLocalMachine, kSharedDlls, kSharedOnce));
    EXPECT_FALSE(m_machine.files().FileExists(kSharedOnce));
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, kSharedTwice), 1u);
}

TEST_F(LeftBehindTest, WithoutARecordNothingThatMustHappenOnceIsDone) {
    m_machine.registry().DeleteKey(kLocalMachine, kRecordPath);
    KeepLog();
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);
    EXPECT_TRUE(ShellCalls().empty()) << Dump();
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::ModuleLoaded), 0u);
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, kSharedOnce), 1u);
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, kSharedTwice), 2u);
    EXPECT_EQ(m_machine.transcript().MessageTexts(), CStringArray{"Unable to get UNINSTALL information from registry"});
    // The uninstaller's own place still tells the application folder: it goes with its
    // SETUP.INF, and so does the folder; the files under the unknown folder stay.
    EXPECT_FALSE(m_machine.files().FileExists(kSetupInf));
    EXPECT_FALSE(m_machine.files().FileExists(kInstalledCopy));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\DEMO\\UNINST"));
    EXPECT_TRUE(m_machine.files().FileExists("C:\\DEMO\\demo.exe"));
    const CString log = LogText();
    EXPECT_NE(log.find("program %apppath%\\cleanup.exe,/quiet skipped"), CString::npos) << log;
    EXPECT_NE(log.find("module %apppath%\\demo.ocx skipped"), CString::npos);
    EXPECT_NE(log.find("lowering the shared files' reference counts skipped"), CString::npos);
}

TEST_F(LeftBehindTest, SecondRunAfterACompletedOneFindsNothingToDo) {
    EXPECT_EQ(RunWorkingCopy(m_machine), 0);
    const MachineState after = StateOf(m_machine);
    EXPECT_EQ(RunWorkingCopy(m_machine), 1603);
    EXPECT_EQ(StateOf(m_machine), after);
}

// A second working copy of the installation on a thread of its own, run strictly in turn with
// the first, as one processor would run two processes: it goes until it waits for the first (or
// ends, if it never waits), and goes on only once the first has ended.
class SecondRun {
public:
    explicit SecondRun(SimMachine& machine) : m_machine(machine) {
        machine.locks().WhileWaiting([this] {
            Pass(Turn::SecondWaits);
            Await(Turn::FirstEnded);
        });
    }
    ~SecondRun() {
        if (m_thread.joinable()) Finish();
    }
    // From within the first run; a second that runs the same program starts nothing more.
    void Start() {
        if (m_thread.joinable()) return;
        m_thread = std::thread([this] {
            try {
                m_exitCode = RunWorkingCopy(m_machine);
            } catch (const std::exception& fault) {
                m_fault = fault.what();
            }
            Pass(Turn::SecondEnded);
        });
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_turn != Turn::First; });
    }
    // Once the first has ended: the second's exit code.
    int Finish() {
        Pass(Turn::FirstEnded);
        m_thread.join();
        EXPECT_EQ(m_fault, "");
        return m_exitCode;
    }

private:
    enum class Turn { First, SecondWaits, FirstEnded, SecondEnded };
    void Pass(Turn turn) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_turn = turn;
        m_changed.notify_all();
    }
    void Await(Turn turn) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this, turn] { return m_turn == turn; });
    }

    SimMachine& m_machine;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    Turn m_turn = Turn::First;
    int m_exitCode = -1;
    CString m_fault;
};

// The machine's state but for the log, which only a run that keeps one writes.
MachineState StateWithoutLog(SimMachine& machine) {
    MachineState state = StateOf(machine);
    CStringArray files;
    for (const CString& file : state.files) {
        if (file.rfind("C:\\LOGS\\", 0) != 0) files.push_back(file);
    }
    state.files = files;
    return state;
}

// Both lines are in the log, the first before the second: a line that is missing is a failure,
// not a position that every other compares below.
void ExpectLogOrder(const CString& log, const CString& earlier, const CString& later) {
    const std::size_t first = log.find(earlier);
    const std::size_t second = log.find(later);
    ASSERT_NE(first, CString::npos) << earlier << "\n" << log;
    ASSERT_NE(second, CString::npos) << later << "\n" << log;
    EXPECT_LT(first, second) << earlier << " / " << later << "\n" << log;
}

TEST(OneRunAtATimeTest, ARunStartedWhileAnotherWorksWaitsForItsEndAndDoesNothingTwice) {
    SimMachine alone;
    Lay(alone, true);
    alone.system().UseWindows2000();
    alone.files().AddFolder("C:\\LOGS");
    EXPECT_EQ(RunWorkingCopy(alone), 0);

    SimMachine machine;
    Lay(machine, true);
    machine.system().UseWindows2000().SetArgumentText(CString(kSwitch) + " /LOG=C:\\LOGS\\run.log");
    machine.files().AddFolder("C:\\LOGS");
    SecondRun second(machine);
    // Started again, by a double click or a second deployment job, while the first runs the
    // uninstall program.
    machine.processes().RegisterProgram("C:\\DEMO\\cleanup.exe", SimProgram::ExitingWith(0).OnStart([&] {
        machine.platform().files.Delete("C:\\WINDOWS\\Profiles\\demo.session");
        second.Start();
    }));
    EXPECT_EQ(RunWorkingCopy(machine), 0);
    EXPECT_EQ(second.Finish(), 0);

    // The program ran and the counts went down once; the second found the record gone and ended
    // where one run ends.
    EXPECT_EQ(machine.processes().ShellCalls().size(), 1u);
    EXPECT_EQ(machine.transcript().Count(SimEventKind::UnregisterCalled), 1u);
    EXPECT_EQ(machine.transcript().Count(SimEventKind::MutexWaited), 1u);
    EXPECT_EQ(StateWithoutLog(machine), StateOf(alone)) << machine.transcript().Dump();
    EXPECT_FALSE(machine.locks().IsHeld("Global\\Tallowmere UNINST demo"));

    const CString log = machine.files().FileContent("C:\\LOGS\\run.log").value_or("");
    constexpr char kWaits[] = "] waiting for another run of this installation to end\r\n";
    constexpr char kGoesOn[] = "] the other run ended; going on\r\n";
    ExpectLogOrder(log, kWaits, "] run completed\r\n");
    ExpectLogOrder(log, "] exit code 0\r\n", kGoesOn);
    ExpectLogOrder(log, kGoesOn, "] message: Unable to get UNINSTALL information from registry -> OK\r\n");
}

struct HolderCase {
    const char* label;
    bool killed;
    bool nameRefused;
    const char* logged;  // after the wait
};

class AnotherRunHoldsTheLockTest : public ::testing::TestWithParam<HolderCase> {};

// The other run ends while this one waits (the user chose Exit there, so the record stays) or is
// killed, which abandons the lock; or the system gives no lock at all. This run then does the
// whole removal once.
TEST_P(AnotherRunHoldsTheLockTest, TheRunWaitsThenRemovesTheInstallation) {
    const HolderCase& c = GetParam();
    constexpr char kName[] = "Tallowmere UNINST demo";
    SimMachine machine;
    Lay(machine, false);
    machine.system().SetArgumentText(CString(kSwitch) + " /LOG=C:\\LOGS\\run.log");
    machine.files().AddFolder("C:\\LOGS");
    machine.locks().HoldElsewhere(kName).WhileWaiting([&] { machine.locks().EndHolder(kName, c.killed); });
    if (c.nameRefused) machine.locks().RefuseName(kName).EndHolder(kName);
    EXPECT_EQ(RunWorkingCopy(machine), 0);

    const CString log = machine.files().FileContent("C:\\LOGS\\run.log").value_or("");
    EXPECT_EQ(log.find("] waiting for another run") != CString::npos, !c.nameRefused) << log;
    ExpectLogOrder(log, CString("] ") + c.logged + "\r\n", "] installation record read");
    EXPECT_EQ(machine.registry().Dword(kLocalMachine, kSharedDlls, kSharedTwice), 1u);
    EXPECT_FALSE(machine.registry().KeyExists(kLocalMachine, kRecordPath));
    EXPECT_FALSE(machine.locks().IsHeld(kName));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnotherRunHoldsTheLockTest,
    ::testing::Values(HolderCase{"EndsCleanly", false, false, "the other run ended; going on"},
                      HolderCase{"IsKilled", true, false,
                                 "the other run of this installation ended without letting go of its lock; going on"},
                      HolderCase{"NoLockAtAll", false, true,
                                 "no lock for this installation could be had ('Tallowmere UNINST demo'); going on "
                                 "without it"}),
    [](const ::testing::TestParamInfo<HolderCase>& info) { return info.param.label; });

// A user without administrator rights on the NT family: the keys under HKEY_LOCAL_MACHINE open
// for reading only, and the installation's files refuse deletion. The 9x family has no rights,
// so there the same installation simply goes.
struct RightsCase {
    const char* label;
    bool windowsNt;
    bool recordReadable;  // on the NT family: may the user read the record?
    const char* arguments;
    int exitCode;
    const char* logged;  // how far the refusal went, in the log; empty where nothing was refused
};

class LimitedUserTest : public ::testing::TestWithParam<RightsCase> {};

TEST_P(LimitedUserTest, IsToldToLogOnAsAnAdministratorAndNothingIsTouched) {
    const RightsCase& c = GetParam();
    SimMachine machine;
    Lay(machine, c.windowsNt);
    machine.files().AddFolder("C:\\LOGS");
    machine.system().SetArgumentText(CString(kSwitch) + " /LOG=C:\\LOGS\\run.log" + c.arguments);
    if (c.windowsNt) {
        SimRegistry& registry = machine.registry();
        for (const char* key : {kSharedDlls, kUninstallEntry, "SOFTWARE\\Demo Corp\\Demo", "SOFTWARE\\Demo Corp"}) {
            registry.DenyAllAccess(kLocalMachine, key);
        }
        if (c.recordReadable) {
            registry.DenyAllAccess(kLocalMachine, kRecordPath);
        } else {
            registry.DenyOpen(kLocalMachine, kRecordPath);
        }
        for (const CString& file : machine.files().FilePaths()) {
            if (file.rfind("C:\\DEMO\\", 0) == 0 || file.rfind("C:\\COMMON\\", 0) == 0) machine.files().DenyDeletion(file);
        }
    }
    const MachineState before = StateWithoutLog(machine);

    EXPECT_EQ(RunWorkingCopy(machine), c.exitCode);
    const CString log = machine.files().FileContent("C:\\LOGS\\run.log").value_or("");
    const CString message = "UNINSTALL ERROR - You need administrator rights to remove Demo.";
    const CString advice = "Log on as an administrator and start UNINSTALL again.";
    const CStringArray shown = machine.transcript().MessageTexts();
    if (*c.logged == '\0') {
        EXPECT_EQ(std::count(shown.begin(), shown.end(), message + "\r\n" + advice), 0) << log;
        EXPECT_FALSE(machine.registry().KeyExists(kLocalMachine, kRecordPath)) << log;
        EXPECT_FALSE(machine.registry().KeyExists(kCurrentUser, "Software\\Demo Corp\\Demo\\Settings"));
        EXPECT_FALSE(machine.files().FileExists("C:\\DEMO\\demo.exe"));
        return;
    }
    const bool silent = *c.arguments != '\0';
    EXPECT_EQ(shown, silent ? CStringArray{} : CStringArray{message + "\r\n" + advice}) << log;
    // The log writes a line break as \r\n.
    EXPECT_NE(log.find("] message: " + message + "\\r\\n" + advice + (silent ? " -> OK (silent)" : " -> OK") + "\r\n"),
              CString::npos)
        << log;
    EXPECT_NE(log.find(CString("] installation record refused: HKEY_LOCAL_MACHINE\\") + kRecordPath +
                       " cannot be opened with KEY_ALL_ACCESS (error 5, access denied); opening it with KEY_READ " +
                       c.logged + "; nothing was changed\r\n"),
              CString::npos)
        << log;
    EXPECT_EQ(machine.transcript().Count(SimEventKind::ConfirmationDialog), 0u);
    EXPECT_EQ(machine.transcript().Count(SimEventKind::RestartDeletion), 0u);
    // The user's own keys under HKEY_CURRENT_USER and HKEY_CLASSES_ROOT are part of the state.
    EXPECT_EQ(StateWithoutLog(machine), before);
    EXPECT_EQ(machine.registry().OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LimitedUserTest,
    ::testing::Values(RightsCase{"OnNt", true, true, "", 1603, "succeeds"},
                      RightsCase{"RefusedForReadingAsWell", true, false, "", 1603, "fails with error 5"},
                      RightsCase{"SilentOnNt", true, true, " /SILENT", 1603, "succeeds"},
                      RightsCase{"VerySilentOnNt", true, true, " /VERYSILENT", 1603, "succeeds"},
                      RightsCase{"On9xNothingIsRefused", false, true, "", 0, ""}),
    [](const ::testing::TestParamInfo<RightsCase>& info) { return info.param.label; });

}  // namespace
