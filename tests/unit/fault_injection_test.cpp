// A run stopped from outside at every point of a whole removal, then started again, ends where one
// uninterrupted run ends, and no shared count is lowered twice.

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
    for (std::size_t stop = 0; stop <= wholeRun; ++stop) {
        SCOPED_TRACE("stopped after call " + std::to_string(stop) + " of " + std::to_string(wholeRun));
        SimMachine machine;
        Lay(machine, WindowsNt());
        machine.power().CutAfter(stop);
        bool cut = false;
        try {
            RunWorkingCopy(machine);
        } catch (const SimPowerCut&) {
            cut = true;
        }
        EXPECT_EQ(cut, stop < wholeRun);
        machine.power().Restore();
        const bool setupInfLeft = machine.files().FileExists(kSetupInf);
        RunWorkingCopy(machine);
        const MachineState state = StateOf(machine);

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
    EXPECT_EQ(identical + afterSetupInf, wholeRun + 1);
    // The deletion of SETUP.INF is followed by the removal of its folder and of the application
    // folder, and by the scheduling of the running copy's deletion.
    EXPECT_EQ(afterSetupInf, 4u);
    std::cout << "[ stop points ] " << (WindowsNt() ? "NT" : "9x") << ": " << wholeRun + 1 << " stop points, " << identical
              << " end exactly as one run, " << afterSetupInf << " after SETUP.INF was deleted\n";
}

INSTANTIATE_TEST_SUITE_P(Families, FaultInjectionTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "NT" : "Win9x"; });

}  // namespace
