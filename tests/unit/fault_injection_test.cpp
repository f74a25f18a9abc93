// A run stopped from outside at every point of a whole removal, then started again, ends where one
// uninterrupted run ends, and no shared count is lowered twice. A power cut stops it as well, and
// takes with it any choice of the changes not yet flushed: the same must hold.

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "full_installation.h"

namespace {

using namespace full_installation;

class FaultInjectionTest : public ::testing::TestWithParam<bool> {
protected:
    bool WindowsNt() const { return GetParam(); }
};

// Nothing lost (a process ended from outside), then each choice of the stores whose unflushed
// changes a power cut loses.
std::vector<SimPowerLoss> LossVariants() {
    std::vector<SimPowerLoss> variants;
    for (int lost = 0; lost < 8; ++lost) variants.push_back({(lost & 1) != 0, (lost & 2) != 0, (lost & 4) != 0});
    return variants;
}

CString Describe(const SimPowerLoss& loss) {
    CString text = "lost:";
    if (loss.localMachineHive) text += " HKLM";
    if (loss.usersHive) text += " HKCU";
    if (loss.fileWrites) text += " file writes";
    return text + (loss.localMachineHive || loss.usersHive || loss.fileWrites ? "" : " nothing");
}

// Stops the run after `stop` calls, takes what the cut loses, and switches the power back on.
// True when the run was stopped before its end.
bool Interrupt(SimMachine& machine, std::size_t stop, const SimPowerLoss& loss) {
    machine.power().CutAfter(stop);
    bool cut = false;
    try {
        RunWorkingCopy(machine);
    } catch (const SimPowerCut&) {
        cut = true;
    }
    machine.LoseUnflushed(loss);
    machine.power().Restore();
    return cut;
}

TEST_P(FaultInjectionTest, EveryStopPointFollowedByASecondRunEndsLikeOneRun) {
    SimMachine reference;
    Lay(reference, WindowsNt());
    ASSERT_EQ(RunWorkingCopy(reference), 0) << reference.transcript().Dump();
    const MachineState expected = StateOf(reference);
    const std::size_t wholeRun = reference.power().CallsMade();
    // The reference itself: each count lowered once, and the file whose count reached zero gone.
    EXPECT_FALSE(reference.registry().Value(kLocalMachine, kSharedDlls, kSharedOnce));
    EXPECT_FALSE(reference.files().FileExists(kSharedOnce));
    EXPECT_EQ(reference.registry().Dword(kLocalMachine, kSharedDlls, kSharedTwice), 1u);
    EXPECT_TRUE(reference.files().FileExists(kSharedTwice));
    EXPECT_FALSE(reference.registry().KeyExists(kLocalMachine, "SOFTWARE\\Tallowmere"));
    EXPECT_FALSE(reference.files().FolderExists(kAppFolder));
    EXPECT_FALSE(reference.files().FolderExists("C:\\COMMON\\DEMO"));
    EXPECT_TRUE(reference.files().FolderExists("C:\\COMMON\\OTHER"));
    EXPECT_FALSE(reference.files().FolderExists("C:\\WINDOWS\\START MENU\\DEMO"));
    EXPECT_FALSE(reference.files().FileExists("C:\\WINDOWS\\Profiles\\demo.session"));  // the program ran
    EXPECT_FALSE(reference.registry().KeyExists(kClassesRoot, "Demo.Control"));        // the module unregistered
    ASSERT_GT(wholeRun, 40u);

    std::size_t identical = 0;
    std::size_t afterSetupInf = 0;
    const std::vector<SimPowerLoss> variants = LossVariants();
    for (std::size_t run = 0; run < (wholeRun + 1) * variants.size(); ++run) {
        const std::size_t stop = run / variants.size();
        const SimPowerLoss& loss = variants[run % variants.size()];
        SCOPED_TRACE("stopped after call " + std::to_string(stop) + " of " + std::to_string(wholeRun) + ", " + Describe(loss));
        SimMachine machine;
        Lay(machine, WindowsNt());
        const bool completed = !Interrupt(machine, stop, loss);
        EXPECT_EQ(completed, stop == wholeRun);
        const bool setupInfLeft = machine.files().FileExists(kSetupInf);
        RunWorkingCopy(machine);
        const MachineState state = StateOf(machine);
        // A cut after a completed run takes nothing of it: its restart queue included.
        if (completed) {
            EXPECT_EQ(state, expected) << "after the cut:\n" << state << "one run:\n" << expected;
        }

        // A program or module that a stop interrupted runs again; none runs a third time.
        const std::size_t programRuns = machine.processes().ShellCalls().size();
        const std::size_t moduleCalls = machine.transcript().Count(SimEventKind::UnregisterCalled);
        EXPECT_TRUE(programRuns == 1 || programRuns == 2) << programRuns;
        EXPECT_TRUE(moduleCalls == 1 || moduleCalls == 2) << moduleCalls;
        // Whatever the stop, the count of the file that another application shares is lowered once.
        EXPECT_EQ(machine.registry().Dword(kLocalMachine, kSharedDlls, kSharedTwice), 1u);
        EXPECT_TRUE(machine.files().FileExists(kSharedTwice));
        if (setupInfLeft) {
            EXPECT_EQ(state, expected) << "after the second run:\n" << state << "one run:\n" << expected;
            identical += state == expected ? 1 : 0;
            continue;
        }
        // Once SETUP.INF is gone nothing can start again: what may remain is at most the empty
        // folders that held it and the running copy's own deletion at the restart.
        ++afterSetupInf;
        EXPECT_EQ(state.registry, expected.registry);
        CStringArray files = state.files;
        CStringArray expectedFiles = expected.files;
        const auto notWininit = [](const CString& line) { return line.rfind("C:\\WINDOWS\\WININIT.INI", 0) != 0; };
        files.erase(std::stable_partition(files.begin(), files.end(), notWininit), files.end());
        expectedFiles.erase(std::stable_partition(expectedFiles.begin(), expectedFiles.end(), notWininit),
                            expectedFiles.end());
        EXPECT_EQ(files, expectedFiles);
        CStringArray folders;
        for (const CString& folder : state.folders) {
            if (folder != "C:\\DEMO" && folder != "C:\\DEMO\\UNINST") folders.push_back(folder);
        }
        EXPECT_EQ(folders, expected.folders);
    }
    EXPECT_EQ(identical + afterSetupInf, (wholeRun + 1) * variants.size());
    // The deletion of SETUP.INF is followed by the removal of its folder and of the application
    // folder, by the scheduling of the running copy's deletion and, on the NT family, by the flush
    // of that queue.
    EXPECT_EQ(afterSetupInf, (WindowsNt() ? 5u : 4u) * variants.size());
    std::cout << "[ stop points ] " << (WindowsNt() ? "NT" : "9x") << ": " << wholeRun + 1 << " stop points x "
              << variants.size() << " loss variants, " << identical << " end exactly as one run, " << afterSetupInf
              << " after SETUP.INF was deleted\n";
}

// The same installation while programs hold three of its files: the application runs, its help
// is open with delete sharing, its cache without sharing. The working copy runs from its private
// folder, where the files that can be renamed go.
constexpr char kPrivateCopy[] = "C:\\WINDOWS\\TEMP\\~UN5B20\\~UN3A1F.tmp";
constexpr char kRunningProgram[] = "C:\\DEMO\\demo.exe";
constexpr char kSharedHelp[] = "C:\\DEMO\\HELP\\demo.hlp";
constexpr char kHeldCache[] = "C:\\DEMO\\DATA\\CACHE\\cache.dat";

void LayWithFilesInUse(SimMachine& machine, bool windowsNt) {
    Lay(machine, windowsNt);
    machine.system().SetModuleFileName(kPrivateCopy);
    machine.files().AddFile(kPrivateCopy, "program");
    machine.files().MarkInUse(kRunningProgram).MarkHeldOpenSharingDelete(kSharedHelp).MarkHeldOpen(kHeldCache);
}

// What a restart leaves, without WININIT.INI's record of what it did.
MachineState StateAfterRestart(SimMachine& machine) {
    machine.files().Restart();
    MachineState state = StateOf(machine);
    const auto isBackup = [](const CString& line) { return line.rfind("C:\\WINDOWS\\WININIT.BAK", 0) == 0; };
    state.files.erase(std::remove_if(state.files.begin(), state.files.end(), isBackup), state.files.end());
    return state;
}

TEST_P(FaultInjectionTest, WithFilesInUseEveryStopPointEndsLikeOneRunAfterTheRestart) {
    SimMachine reference;
    LayWithFilesInUse(reference, WindowsNt());
    ASSERT_EQ(RunWorkingCopy(reference), 0) << reference.transcript().Dump();
    const std::size_t wholeRun = reference.power().CallsMade();
    // Before the restart the running program's name is already free on the NT family.
    EXPECT_EQ(reference.files().FileExists(kRunningProgram), !WindowsNt());
    const MachineState expected = StateAfterRestart(reference);
    // WININIT.INI deletes files only: on the 9x family the folders that held them stay.
    EXPECT_EQ(reference.files().FolderExists(kAppFolder), !WindowsNt()) << expected;

    std::size_t identical = 0;
    std::size_t afterSetupInf = 0;
    const std::vector<SimPowerLoss> variants = LossVariants();
    for (std::size_t run = 0; run < (wholeRun + 1) * variants.size(); ++run) {
        const std::size_t stop = run / variants.size();
        const SimPowerLoss& loss = variants[run % variants.size()];
        SCOPED_TRACE("stopped after call " + std::to_string(stop) + " of " + std::to_string(wholeRun) + ", " + Describe(loss));
        SimMachine machine;
        LayWithFilesInUse(machine, WindowsNt());
        Interrupt(machine, stop, loss);
        const bool setupInfLeft = machine.files().FileExists(kSetupInf);
        RunWorkingCopy(machine);
        const MachineState state = StateAfterRestart(machine);
        if (setupInfLeft) {
            EXPECT_EQ(state, expected) << "after the second run and the restart:\n" << state << "one run:\n" << expected;
            identical += state == expected ? 1 : 0;
            continue;
        }
        // Once SETUP.INF is gone the second run stops at once: what may remain is the empty
        // folders that held it, and the working copy that was not yet queued, in its folder.
        ++afterSetupInf;
        EXPECT_EQ(state.registry, expected.registry);
        CStringArray files;
        for (const CString& line : state.files) {
            if (line.rfind(kPrivateCopy, 0) != 0) files.push_back(line);
        }
        EXPECT_EQ(files, expected.files);
        const auto mayStay = [](const CStringArray& all) {
            CStringArray kept;
            for (const CString& folder : all) {
                if (folder != "C:\\DEMO" && folder != "C:\\DEMO\\UNINST" && folder != "C:\\WINDOWS\\TEMP\\~UN5B20") {
                    kept.push_back(folder);
                }
            }
            return kept;
        };
        EXPECT_EQ(mayStay(state.folders), mayStay(expected.folders));
    }
    EXPECT_EQ(identical + afterSetupInf, (wholeRun + 1) * variants.size());
    std::cout << "[ stop points ] files in use, " << (WindowsNt() ? "NT" : "9x") << ": " << wholeRun + 1
              << " stop points x " << variants.size() << " loss variants, " << identical << " end after the restart exactly as one run, " << afterSetupInf
              << " after SETUP.INF was deleted\n";
}

INSTANTIATE_TEST_SUITE_P(Families, FaultInjectionTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "NT" : "Win9x"; });

}  // namespace
