// The dry run: it changes nothing on the machine, it names exactly what a real run changes, its
// overlay lets later reads see earlier changes, and "/PLAN" writes and opens the plan.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/dry_run.h"
#include "app/uninst_app.h"
#include "app/unattended.h"
#include "platform/plan/plan_format.h"
#include "platform/plan/plan_platform.h"
#include "platform/sim/sim_machine.h"
#include "text/text.h"

namespace {

constexpr char kRecordPath[] = "SOFTWARE\\Tallowmere\\UNINST\\Demo";
constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kUninstallEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo";
constexpr char kInstalledCopy[] = "C:\\App\\UNINST\\UNINST.EXE";
constexpr char kWorkingCopy[] = "C:\\WINDOWS\\TEMP\\~UN3A1F.tmp";
constexpr char kCopySwitch[] = "/UNINST=77,C:\\App\\UNINST\\UNINST.EXE";

constexpr char kSetupInf[] =
    "[SetupOptions]\r\nAppName=Demo\r\n"
    "[Files]\r\nx,y,SETUPPEL\\uninst.exe,%apppath%\\UNINST\\UNINST.EXE\r\n"
    "[ExecuteOnUninstall]\r\nCLEANUP.EXE,/quiet\r\n"
    "[RegisterControl]\r\n%apppath%\\bin\\ctl.ocx\r\n"
    "[SharedComponents]\r\nyes\r\n"
    "[UnInstall.Shared]\r\n%sysdir%\\shared2.dll\r\n%sysdir%\\shared1.dll\r\n"
    "[RegistryKeys]\r\nHKLM\\Software\\Demo\\Settings=Size=1\r\nHKLM\\Software\\Demo=Path=%apppath%\r\n"
    "HKCU\\Software\\Demo\\Window=X=1\r\nHKCU\\Software\\Demo=X=1\r\nHKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run=Demo=x\r\n"
    "[UnInstall]\r\n%apppath%\\a.dll\r\n%apppath%\\bin\\ctl.ocx\r\n%apppath%\\bin\\deep\\data.bin\r\n"
    "%apppath%\\HELP\\TOOL.HLP\r\n%apppath%\\gone.txt\r\n%apppath%\\CLEANUP.EXE\r\n"
    "[AddShortcut]\r\nx,y,Demo.lnk\r\n";

// A whole installation: files in nested folders, a program, a module, shared counts, keys (one
// with a subkey the setup never made), a value in a shared key, the record and the shortcuts.
void LayInstallation(SimMachine& machine) {
    machine.system().UseWindowsNt4().SetArgumentText(kCopySwitch).SetModuleFileName(kWorkingCopy);
    machine.files()
        .AddFile(kWorkingCopy, "program")
        .AddFile(kInstalledCopy, "program")
        .AddFile("C:\\App\\UNINST\\SETUP.INF", kSetupInf)
        .AddFile("C:\\App\\a.dll", "a", kAttributeReadOnly)
        .AddFile("C:\\App\\bin\\ctl.ocx")
        .AddFile("C:\\App\\bin\\deep\\data.bin")
        .AddFile("C:\\App\\HELP\\TOOL.HLP")
        .AddFile("C:\\App\\HELP\\TOOL.GID")
        .AddFile("C:\\App\\CLEANUP.EXE")
        .AddFile("C:\\App\\user.cfg")
        .AddFile("C:\\WINDOWS\\SYSTEM\\shared1.dll")
        .AddFile("C:\\WINDOWS\\SYSTEM\\shared2.dll")
        .AddFile("C:\\Menu\\Demo\\Demo.lnk")
        .AddFile("C:\\Menu\\Demo\\Un-Install.LNK");
    machine.processes().RegisterProgram("C:\\App\\CLEANUP.EXE", SimProgram::ExitingWith(0));
    machine.modules().Register("C:\\App\\bin\\ctl.ocx", SimModule::Returning(0));
    SimRegistry& registry = machine.registry();
    registry.SetString(kLocalMachine, kRecordPath, "", "C:\\App\\");
    registry.SetString(kLocalMachine, kRecordPath, "StartMenuFolderName", "C:\\Menu\\Demo");
    registry.SetDword(kLocalMachine, kSharedDlls, "C:\\WINDOWS\\SYSTEM\\shared1.dll", 1);
    registry.SetDword(kLocalMachine, kSharedDlls, "C:\\WINDOWS\\SYSTEM\\shared2.dll", 3);
    registry.SetString(kLocalMachine, "Software\\Demo\\Settings", "Size", "1");
    registry.SetString(kLocalMachine, "Software\\Demo", "Path", "C:\\App");
    registry.SetString(kCurrentUser, "Software\\Demo\\Window", "X", "1");
    registry.AddKey(kCurrentUser, "Software\\Demo\\Plugins");
    registry.SetString(kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Demo", "x");
    registry.SetString(kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Other", "y");
    registry.SetString(kLocalMachine, kUninstallEntry, "DisplayName", "Demo");
    registry.AddKey(kLocalMachine, CString(kUninstallEntry) + "\\Extra");
    registry.AddKey(kClassesRoot, CString(kRecordPath) + "\\Sub");
}

// Everything a run can change, as comparable text.
struct MachineState {
    CStringArray files;
    CStringArray folders;
    CStringArray registry;
    CStringArray restartDeletions;

    explicit MachineState(SimMachine& machine)
        : folders(machine.files().FolderPaths()),
          registry(machine.registry().Contents()),
          restartDeletions(machine.files().PendingRestartDeletions()) {
        for (const CString& path : machine.files().FilePaths()) {
            files.push_back(path + " " + machine.files().FileContent(path).value_or("") + " " +
                            std::to_string(machine.files().Attributes(path).value_or(0)));
        }
    }
    bool operator==(const MachineState& other) const {
        return files == other.files && folders == other.folders && registry == other.registry &&
               restartDeletions == other.restartDeletions;
    }
};

CString Folded(CString path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return FoldAscii(path, CodePage());
}

CStringArray Without(const CStringArray& all, const CStringArray& kept) {
    const std::set<CString> keep(kept.begin(), kept.end());
    CStringArray gone;
    for (const CString& line : all) {
        if (keep.count(line) == 0) gone.push_back(line);
    }
    return gone;
}

// What a real run changed, item by item, from the states before and after it.
std::set<CString> ChangedItems(SimMachine& machine, const MachineState& before) {
    std::set<CString> items;
    for (const CString& path : before.files) {
        const CString name = path.substr(0, path.find(' '));
        if (!machine.files().FileExists(name)) items.insert("file " + Folded(name));
    }
    for (const CString& path : Without(before.folders, machine.files().FolderPaths())) items.insert("folder " + Folded(path));
    const CStringArray after = machine.registry().Contents();
    const std::set<CString> keysAfter(after.begin(), after.end());
    for (const CString& line : Without(before.registry, after)) {
        const std::size_t value = line.find(" value '");
        if (value == CString::npos) {
            items.insert("key " + Folded(line));
        } else if (keysAfter.count(line.substr(0, value)) != 0) {
            items.insert("value " + FoldAscii(line.substr(0, line.find("' type ") + 1), CodePage()));
        }
    }
    for (const CString& path : machine.files().PendingRestartDeletions()) items.insert("restart " + Folded(path));
    return items;
}

// The items that a plan says would change, named the same way.
std::set<CString> PlannedItems(const std::vector<PlanAction>& actions) {
    std::set<CString> items;
    for (const PlanAction& action : actions) {
        if (!action.changes) continue;
        switch (action.verb) {
            case PlanVerb::DeleteFile: items.insert("file " + Folded(action.item)); break;
            case PlanVerb::RemoveFolder: items.insert("folder " + Folded(action.item)); break;
            case PlanVerb::DeleteKey: items.insert("key " + Folded(action.item)); break;
            case PlanVerb::SetValue:
            case PlanVerb::DeleteValue: items.insert("value " + FoldAscii(action.item, CodePage())); break;
            case PlanVerb::DeleteAtRestart: items.insert("restart " + Folded(action.item)); break;
            default: break;
        }
    }
    return items;
}

CString Joined(const std::set<CString>& items) {
    CString text;
    for (const CString& item : items) text += item + "\n";
    return text;
}

bool HasLine(const CString& text, const CString& line) { return text.find(line + "\r\n") != CString::npos; }

TEST(PlanTest, ChangesNothingAndNamesExactlyWhatARealRunChanges) {
    SimMachine planned;
    LayInstallation(planned);
    const MachineState untouched(planned);
    const DryRun plan = PlanRun(planned.platform(), kCopySwitch, PlanAnswers::Person);

    EXPECT_TRUE(MachineState(planned) == untouched);
    for (const SimEventKind kind : {SimEventKind::ShellExecuted, SimEventKind::ModuleLoaded, SimEventKind::MessageBox,
                                    SimEventKind::ConfirmationDialog, SimEventKind::ProgressCreated,
                                    SimEventKind::Pause, SimEventKind::MessagePosted}) {
        EXPECT_EQ(planned.transcript().Count(kind), 0u) << planned.transcript().Dump();
    }
    EXPECT_EQ(planned.registry().OpenHandleCount(), 0u);
    EXPECT_EQ(planned.files().OpenFileCount(), 0);
    EXPECT_TRUE(plan.reachesConfirmation);
    EXPECT_EQ(plan.runExitCode, 0);

    SimMachine real;
    LayInstallation(real);
    real.ui().AnswerMessageBoxes({mb::kIdYes});
    const MachineState before(real);
    CUninstApp app(real.platform());
    app.InitInstance();
    EXPECT_EQ(app.ExitCode(), 0);

    const std::set<CString> changed = ChangedItems(real, before);
    // The run's journal is written into the record, which goes at the end with every value in it.
    std::set<CString> plannedItems = PlannedItems(plan.actions);
    const CString journal = "value hklm\\" + FoldAscii(kRecordPath, CodePage()) + " value 'uninstall.";
    EXPECT_TRUE(plannedItems.count("key hklm\\" + FoldAscii(kRecordPath, CodePage())));
    for (auto item = plannedItems.begin(); item != plannedItems.end();) {
        item = item->rfind(journal, 0) == 0 ? plannedItems.erase(item) : std::next(item);
    }
    EXPECT_EQ(Joined(plannedItems), Joined(changed)) << plan.text;
    // The comparison must see the kinds of change the installation holds.
    EXPECT_TRUE(changed.count("file c:\\app\\a.dll"));
    EXPECT_TRUE(changed.count("folder c:\\app\\bin\\deep"));
    EXPECT_TRUE(changed.count("key hkcu\\software\\demo\\window"));
    EXPECT_TRUE(changed.count("value hklm\\" + FoldAscii(kSharedDlls, CodePage()) + " value 'c:\\windows\\system\\shared2.dll'"));
    EXPECT_TRUE(changed.count("restart " + Folded(kWorkingCopy)));
}

TEST(PlanTest, PlanLinesGiveTheStateOfEachItem) {
    SimMachine machine;
    LayInstallation(machine);
    const CString text = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Person).text;

    EXPECT_TRUE(HasLine(text, "* start program: C:\\App\\CLEANUP.EXE (exists) -> parameters /quiet")) << text;
    EXPECT_TRUE(HasLine(text, "* load module and call DllUnregisterServer: C:\\App\\bin\\ctl.ocx (exists)")) << text;
    EXPECT_TRUE(HasLine(text, "* set registry value: HKLM\\" + CString(kSharedDlls) +
                                  " value 'C:\\WINDOWS\\SYSTEM\\shared2.dll' (now 3) -> 2"))
        << text;
    EXPECT_TRUE(HasLine(text, "* delete file: C:\\App\\a.dll (exists, read-only: cleared first)")) << text;
    EXPECT_TRUE(HasLine(text, "  delete file: C:\\App\\gone.txt (missing)")) << text;
    EXPECT_TRUE(HasLine(text, "* delete registry value: HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run "
                              "value 'Demo' (now \"x\")"))
        << text;
    // Subkeys go before their parent, so the parent reads as a leaf by its turn.
    EXPECT_TRUE(HasLine(text, "* delete registry key: HKLM\\Software\\Demo (exists, no subkeys)")) << text;
    EXPECT_TRUE(HasLine(text, "* delete registry key: HKLM\\" + CString(kUninstallEntry) + "\\Extra (exists, no subkeys)"))
        << text;
    EXPECT_TRUE(HasLine(text, "  remove folder: C:\\App (holds 2 then: UNINST.EXE, user.cfg; stays)")) << text;
    EXPECT_TRUE(HasLine(text, "* remove folder: C:\\App\\bin\\deep (empty by then)")) << text;
    EXPECT_TRUE(HasLine(text, "* delete at the next restart: " + CString(kWorkingCopy) + " (exists)")) << text;
    EXPECT_TRUE(HasLine(text, "== REMOVING FILES...")) << text;
}

TEST(PlanTest, QuestionsNameTheAnswerTakenAndWhereTheOtherLeads) {
    SimMachine machine;
    LayInstallation(machine);
    const DryRun person = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Person);
    // shared1.dll reaches zero: a person takes Yes, the value and the file go.
    EXPECT_NE(person.text.find("-> Yes (the default button"), CString::npos) << person.text;
    // The answer also goes into the run's journal in the record, so both answers write there.
    const std::size_t noInstead = person.text.find("No instead: 4 of the changes below not made (");
    ASSERT_NE(noInstead, CString::npos) << person.text;
    const CString noLine = person.text.substr(noInstead, person.text.find('\n', noInstead) - noInstead);
    EXPECT_NE(noLine.find("delete registry value: HKLM\\" + CString(kSharedDlls) +
                          " value 'C:\\WINDOWS\\SYSTEM\\shared1.dll'"),
              CString::npos)
        << noLine;
    EXPECT_NE(noLine.find("; 2 other changes made ("), CString::npos) << noLine;
    EXPECT_NE(person.text.find("Exit instead: "), CString::npos) << person.text;
    EXPECT_TRUE(HasLine(person.text, "* delete file: C:\\WINDOWS\\SYSTEM\\shared1.dll (exists)")) << person.text;

    const DryRun silent = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Silent);
    EXPECT_NE(silent.text.find("-> No (the answer of the silent modes"), CString::npos) << silent.text;
    EXPECT_EQ(silent.text.find("* delete file: C:\\WINDOWS\\SYSTEM\\shared1.dll"), CString::npos) << silent.text;
    EXPECT_NE(silent.text.find("Yes instead: 2 of the changes below not made"), CString::npos) << silent.text;
    EXPECT_NE(silent.text.find("; 4 other changes made ("), CString::npos) << silent.text;
}

// Each question costs the plan one more run, so only the first 50 are followed both ways.
TEST(PlanTest, QuestionsBeyondTheFiftiethAreAnsweredButNotExplored) {
    SimMachine machine;
    machine.system().UseWindowsNt4().SetArgumentText(kCopySwitch).SetModuleFileName(kWorkingCopy);
    CString setup = "[SetupOptions]\r\nAppName=Demo\r\n[SharedComponents]\r\nyes\r\n[UnInstall.Shared]\r\n";
    // The confirmation and one question for each of 50 shared files that reach zero: 51 in all.
    for (int i = 0; i < 50; ++i) {
        const CString dll = "C:\\WINDOWS\\SYSTEM\\s" + std::to_string(i) + ".dll";
        machine.files().AddFile(dll);
        machine.registry().SetDword(kLocalMachine, kSharedDlls, dll, 1);
        setup += "%sysdir%\\s" + std::to_string(i) + ".dll\r\n";
    }
    setup += "[UnInstall]\r\n%apppath%\\a.txt\r\n";
    machine.files().AddFile(kWorkingCopy, "program").AddFile(kInstalledCopy, "program").AddFile("C:\\App\\UNINST\\SETUP.INF", setup);
    machine.registry().SetString(kLocalMachine, kRecordPath, "", "C:\\App\\");

    const DryRun plan = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Person);
    std::size_t explored = 0;
    for (std::size_t at = plan.text.find("No instead: "); at != CString::npos; at = plan.text.find("No instead: ", at + 1)) ++explored;
    EXPECT_EQ(explored, 49u) << plan.text;
    EXPECT_NE(plan.text.find("Exit instead: "), CString::npos);
    // Only the question of the last file is left, and it is still answered as a person would.
    const std::size_t notExplored = plan.text.find("the other answer was not explored");
    ASSERT_NE(notExplored, CString::npos) << plan.text;
    EXPECT_EQ(plan.text.find("the other answer was not explored", notExplored + 1), CString::npos);
    EXPECT_GT(notExplored, plan.text.find("question: \"The shared file C:\\WINDOWS\\SYSTEM\\s49.dll")) << plan.text;
    EXPECT_TRUE(HasLine(plan.text, "* delete file: C:\\WINDOWS\\SYSTEM\\s49.dll (exists)")) << plan.text;
}

TEST(PlanTest, AProgramThatCannotStartAsksAndNoWouldCutTheRunShort) {
    SimMachine machine;
    LayInstallation(machine);
    CString setup = kSetupInf;
    setup.replace(setup.find("CLEANUP.EXE,/quiet"), 18, "MISSING.EXE");
    machine.files().AddFile("C:\\App\\UNINST\\SETUP.INF", setup);
    const DryRun plan = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Person);
    EXPECT_TRUE(HasLine(plan.text, "  start program: C:\\App\\MISSING.EXE (not found: the start fails)")) << plan.text;
    EXPECT_NE(plan.text.find("ERROR - UNINSTALL cannot execute C:\\App\\MISSING.EXE"), CString::npos);
    EXPECT_NE(plan.text.find("the run ends with exit code 1603"), CString::npos) << plan.text;
    EXPECT_EQ(plan.runExitCode, 0);
}

TEST(PlanTest, ALineWithoutAProgramIsNotPlannedToStart) {
    SimMachine machine;
    LayInstallation(machine);
    CString setup = kSetupInf;
    setup.insert(setup.find("CLEANUP.EXE,/quiet"), ",x\r\n");
    machine.files().AddFile("C:\\App\\UNINST\\SETUP.INF", setup);
    const DryRun plan = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Person);
    // Started, the line would name the application folder itself.
    EXPECT_EQ(plan.text.find("start program: C:\\App\\ ("), CString::npos) << plan.text;
    EXPECT_TRUE(HasLine(plan.text, "* start program: C:\\App\\CLEANUP.EXE (exists) -> parameters /quiet")) << plan.text;
    // Journaled by line, as the real run numbers it.
    EXPECT_TRUE(HasLine(plan.text, "* set registry value: HKLM\\" + CString(kRecordPath) +
                                       " value 'Uninstall.Program.2' (missing) -> \"done|C:\\App\\CLEANUP.EXE\""))
        << plan.text;
}

TEST(PlanTest, FilesInUseAreMovedAsideOrQueuedUnderTheirOwnName) {
    SimMachine machine;
    LayInstallation(machine);
    machine.files().MarkHeldOpenSharingDelete("C:\\App\\bin\\deep\\data.bin").MarkHeldOpen("C:\\App\\a.dll");
    const CString text = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Person).text;

    EXPECT_TRUE(HasLine(text, "  delete file: C:\\App\\bin\\deep\\data.bin (in use: refused)")) << text;
    const CString moveLine = "* move file: C:\\App\\bin\\deep\\data.bin (exists) -> ";
    const std::size_t move = text.find(moveLine);
    ASSERT_NE(move, CString::npos) << text;
    const std::size_t target = move + moveLine.size();
    const CString movedTo = text.substr(target, text.find("\r\n", target) - target);
    EXPECT_EQ(movedTo.rfind("C:\\App\\bin\\deep\\~UN", 0), 0u) << movedTo;
    // The new name is queued before the move, so that a stop between the two leaves nothing that
    // neither a second run nor the restart removes.
    const std::size_t queued = text.find("* delete at the next restart: " + movedTo + " (missing)");
    EXPECT_LT(queued, move) << text;
    // Held without delete sharing, it cannot be moved: its own name is queued.
    EXPECT_NE(text.find("  move file: C:\\App\\a.dll (missing, or held open without delete sharing: refused)"),
              CString::npos)
        << text;
    EXPECT_TRUE(HasLine(text, "* delete at the next restart: C:\\App\\a.dll (exists)")) << text;
}

TEST(PlanTest, AMissingOrRefusedRecordOrAnEmptyFileListIsReportedInThePlan) {
    SimMachine machine;
    LayInstallation(machine);
    machine.registry().AddKey(kLocalMachine, "SOFTWARE\\Tallowmere\\UNINST");
    machine.files().AddFile("C:\\App\\UNINST\\SETUP.INF", "[SetupOptions]\r\nAppName=Other\r\n[UnInstall]\r\nx\r\n");
    DryRun plan = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Person);
    EXPECT_TRUE(HasLine(plan.text, "  message: \"Unable to get UNINSTALL information from registry\"")) << plan.text;
    EXPECT_TRUE(plan.reachesConfirmation);

    machine.files().AddFile("C:\\App\\UNINST\\SETUP.INF", "[SetupOptions]\r\nAppName=Demo\r\n[UnInstall]\r\n");
    plan = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Person);
    EXPECT_FALSE(plan.reachesConfirmation);
    EXPECT_NE(plan.text.find("no files listed in 'Uninstall' section"), CString::npos) << plan.text;
    EXPECT_NE(plan.text.find("Exit code of this plan: 1603"), CString::npos);

    // A record that this user may not change: a run would stop before it changed anything.
    SimMachine limited;
    LayInstallation(limited);
    limited.registry().DenyAllAccess(kLocalMachine, kRecordPath);
    plan = PlanRun(limited.platform(), kCopySwitch, PlanAnswers::Person);
    EXPECT_FALSE(plan.reachesConfirmation);
    EXPECT_NE(plan.text.find("  message: \"UNINSTALL ERROR - You need administrator rights to remove Demo."),
              CString::npos)
        << plan.text;
    EXPECT_NE(plan.text.find("Exit code of this plan: 1603"), CString::npos);
    EXPECT_TRUE(std::none_of(plan.actions.begin(), plan.actions.end(), [](const PlanAction& action) { return action.changes; }))
        << plan.text;
}

TEST(PlanTest, ARunThatHoldsTheInstallationIsNotWaitedForButNamedInThePlan) {
    SimMachine machine;
    LayInstallation(machine);
    // A wait that blocked would find the mutex still held: the machine reports that as a fault.
    machine.locks().HoldElsewhere("Tallowmere UNINST demo");
    const DryRun plan = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Person);
    EXPECT_TRUE(HasLine(plan.text, "  wait for another run of this installation to end: Tallowmere UNINST demo "
                                   "(another run holds it now) -> a run would wait here until that run ends; "
                                   "this plan reads the machine as it is now"))
        << plan.text;
    EXPECT_TRUE(plan.reachesConfirmation);
    EXPECT_TRUE(machine.locks().IsHeld("Tallowmere UNINST demo"));

    machine.locks().EndHolder("Tallowmere UNINST demo");
    const DryRun free = PlanRun(machine.platform(), kCopySwitch, PlanAnswers::Person);
    EXPECT_EQ(free.text.find("wait for another run"), CString::npos) << free.text;
    EXPECT_FALSE(machine.locks().IsHeld("Tallowmere UNINST demo"));
}

TEST(PlanTest, TheFirstInstanceIsPlannedWithItsTemporaryCopy) {
    SimMachine machine;
    LayInstallation(machine);
    machine.system().SetModuleFileName(kInstalledCopy);
    const MachineState untouched(machine);
    const DryRun plan = PlanRun(machine.platform(), "", PlanAnswers::Person);
    EXPECT_TRUE(MachineState(machine) == untouched);
    EXPECT_TRUE(machine.processes().StartedProcesses().empty());
    EXPECT_TRUE(HasLine(plan.text, "* create folder: C:\\WINDOWS\\TEMP\\~UN0000 (a new folder)")) << plan.text;
    EXPECT_TRUE(HasLine(plan.text, "* create temporary file: C:\\WINDOWS\\TEMP\\~UN0000\\~UNxxxx.tmp (a new empty file)"))
        << plan.text;
    EXPECT_TRUE(HasLine(plan.text, "  release the first instance: thread 468")) << plan.text;
    // The installed copy goes once the first instance is released; the working copy at restart.
    EXPECT_TRUE(HasLine(plan.text, "* delete file: C:\\App\\UNINST\\UNINST.EXE (exists)")) << plan.text;
    EXPECT_TRUE(HasLine(plan.text, "* delete at the next restart: C:\\WINDOWS\\TEMP\\~UN0000\\~UNxxxx.tmp (exists)"))
        << plan.text;
    EXPECT_TRUE(HasLine(plan.text, "* delete at the next restart: C:\\WINDOWS\\TEMP\\~UN0000 (exists)")) << plan.text;
}

class PlanSwitchTest : public ::testing::Test {
protected:
    void SetUp() override { LayInstallation(m_machine); }
    int Run(const CString& arguments) {
        m_machine.system().SetArgumentText(arguments).SetModuleFileName(kInstalledCopy);
        CUninstApp app(m_machine.platform());
        EXPECT_FALSE(app.InitInstance());
        return app.ExitCode();
    }
    SimMachine m_machine;
};

TEST_F(PlanSwitchTest, WithALogThePlanGoesThereAndNothingOpens) {
    EXPECT_EQ(Run("/PLAN /LOG=C:\\plan.log"), 0);
    const CString log = m_machine.files().FileContent("C:\\plan.log").value_or("");
    EXPECT_NE(log.find("UNINSTALL PLAN"), CString::npos) << log;
    EXPECT_NE(log.find("exit code 0"), CString::npos) << log;
    EXPECT_TRUE(m_machine.processes().OpenedDocuments().empty());
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::MessageBox), 0u);
}

TEST_F(PlanSwitchTest, WithoutALogThePlanIsATextFileOpenedUnlessSilent) {
    EXPECT_EQ(Run("/plan"), 0);
    const CString planFile = "C:\\WINDOWS\\TEMP\\UNINST PLAN.txt";
    EXPECT_NE(m_machine.files().FileContent(planFile).value_or("").find("UNINSTALL PLAN"), CString::npos);
    EXPECT_EQ(m_machine.processes().OpenedDocuments(), CStringArray{planFile});

    EXPECT_EQ(Run("/PLAN /VERYSILENT"), 0);
    EXPECT_EQ(m_machine.processes().OpenedDocuments().size(), 1u);
    EXPECT_NE(m_machine.files().FileContent(planFile).value_or("").find("silent modes answer"), CString::npos);

    m_machine.files().AddFile("C:\\App\\UNINST\\SETUP.INF", "[SetupOptions]\r\nAppName=Demo\r\n");
    EXPECT_EQ(Run("/PLAN /S"), 1603);
}

TEST_F(PlanSwitchTest, APlanFileThatCannotBeWrittenIsReportedAndNotOpened) {
    m_machine.files().FailWrites("C:\\WINDOWS\\TEMP\\UNINST PLAN.txt");
    EXPECT_EQ(Run("/PLAN"), 1603);
    EXPECT_EQ(m_machine.transcript().MessageTexts(),
              CStringArray{"UNINSTALL ERROR - Unable to write the plan to 'C:\\WINDOWS\\TEMP\\UNINST PLAN.txt'"});
    EXPECT_TRUE(m_machine.processes().OpenedDocuments().empty());
}

TEST(PlanSwitchesTest, TheSwitchesAreLeftOutOfThePlannedRun) {
    EXPECT_TRUE(ParseUnattendedSwitches("/x /Plan").plan);
    EXPECT_EQ(WithoutUnattendedSwitches("/PLAN /LOG=\"C:\\a b\\p.txt\" /S"), "");
    EXPECT_EQ(WithoutUnattendedSwitches("/UNINST /plan \"/SILENT\" x"), "/UNINST \"/SILENT\" x");
}

// The overlay: later reads see the changes recorded before them.
class PlanOverlayTest : public ::testing::Test {
protected:
    SimMachine m_machine;
    PlanRecorder m_recorder{PlanAnswers::Person};
    PlanPlatform m_plan{m_machine.platform(), m_recorder};
    IRegistry& m_registry = m_plan.Get().registry;
    IFileSystem& m_files = m_plan.Get().files;
};

TEST_F(PlanOverlayTest, RegistryReadsSeeDeletedKeysLoweredCountsAndCreatedKeys) {
    m_machine.registry().AddKey(kLocalMachine, "Software\\A\\B").AddKey(kLocalMachine, "Software\\A\\C");
    m_machine.registry().SetDword(kLocalMachine, kSharedDlls, "x.dll", 2);
    EXPECT_EQ(m_registry.DeleteKey(kLocalMachine, "Software\\A"), reg::kAccessDenied);
    EXPECT_EQ(m_registry.DeleteKey(kLocalMachine, "software\\a\\b\\"), reg::kSuccess);

    RegKey key = 0;
    ASSERT_EQ(m_registry.OpenKey(kLocalMachine, "Software\\A", reg::kRead, key), reg::kSuccess);
    CString name;
    EXPECT_EQ(m_registry.EnumKey(key, 0, 1044, name), reg::kSuccess);
    EXPECT_EQ(name, "C");
    EXPECT_EQ(m_registry.EnumKey(key, 1, 1044, name), reg::kNoMoreItems);
    m_registry.CloseKey(key);
    EXPECT_NE(m_registry.OpenKey(kLocalMachine, "Software\\A\\B\\", reg::kRead, key), reg::kSuccess);

    ASSERT_EQ(m_registry.CreateKey(kLocalMachine, kSharedDlls, key), reg::kSuccess);
    RegValue count;
    count.type = reg::kTypeDword;
    count.data = CString("\x01\0\0\0", 4);
    EXPECT_EQ(m_registry.SetValue(key, "X.DLL", count), reg::kSuccess);
    RegValue read;
    EXPECT_EQ(m_registry.QueryValue(key, "x.dll", 4, read), reg::kSuccess);
    EXPECT_EQ(read.data, count.data);
    EXPECT_EQ(m_registry.DeleteValue(key, "x.dll"), reg::kSuccess);
    EXPECT_EQ(m_registry.QueryValue(key, "x.dll", 4, read), reg::kFileNotFound);
    EXPECT_EQ(m_registry.DeleteValue(key, "x.dll"), reg::kFileNotFound);
    m_registry.CloseKey(key);

    ASSERT_EQ(m_registry.CreateKey(kCurrentUser, "Software\\New\\Deep", key), reg::kSuccess);
    m_registry.CloseKey(key);
    ASSERT_EQ(m_registry.OpenKey(kCurrentUser, "Software\\New", reg::kRead, key), reg::kSuccess);
    EXPECT_EQ(m_registry.EnumKey(key, 0, 1044, name), reg::kSuccess);
    EXPECT_EQ(name, "Deep");
    m_registry.CloseKey(key);

    EXPECT_TRUE(m_machine.registry().KeyExists(kLocalMachine, "Software\\A\\B"));
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kSharedDlls, "x.dll"), 2u);
    EXPECT_FALSE(m_machine.registry().KeyExists(kCurrentUser, "Software\\New"));
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), 0u);
}

TEST_F(PlanOverlayTest, FileReadsSeeDeletionsAndFoldersEmptiedByThem) {
    m_machine.files().AddFile("C:\\App\\sub\\a.txt", "a").AddFile("C:\\App\\b.txt", "b", kAttributeReadOnly);
    m_machine.files().Delete("C:\\App\\UNINST.EXE");
    EXPECT_FALSE(m_files.RemoveFolder("C:\\App\\sub"));
    EXPECT_EQ(m_files.LastError(), 145u);
    EXPECT_TRUE(m_files.Delete("c:\\app\\SUB\\A.TXT"));
    EXPECT_FALSE(m_files.Delete("C:\\App\\sub\\a.txt"));
    EXPECT_EQ(m_files.LastError(), 2u);
    EXPECT_EQ(m_files.OpenForReading("C:\\App\\sub\\a.txt"), nullptr);
    EXPECT_TRUE(m_files.RemoveFolder("C:\\App\\sub"));
    EXPECT_FALSE(m_files.GetAttributes("C:\\App\\sub\\a.txt"));

    EXPECT_FALSE(m_files.Delete("C:\\App\\b.txt"));
    EXPECT_TRUE(m_files.SetAttributes("C:\\App\\b.txt", 0));
    EXPECT_TRUE(m_files.Delete("C:\\App\\b.txt"));
    EXPECT_EQ(m_files.ListFolder("C:\\App"), CStringArray{});
    EXPECT_TRUE(m_files.RemoveFolder("C:\\App"));
    EXPECT_FALSE(m_files.RemoveFolder("C:\\"));

    EXPECT_TRUE(m_files.WriteWholeFile("C:\\new.txt", "text"));
    EXPECT_EQ(m_files.ReadSharedFile("C:\\NEW.TXT"), CString("text"));

    EXPECT_TRUE(m_machine.files().FileExists("C:\\App\\sub\\a.txt"));
    EXPECT_EQ(m_machine.files().Attributes("C:\\App\\b.txt"), kAttributeReadOnly);
    EXPECT_FALSE(m_machine.files().FileExists("C:\\new.txt"));
}

}  // namespace
