"""What SETUP.INF and the installation record tell the working copy before anything is removed:
the NoUninstall flag and a missing record."""

from harness.scenario import Expect, File, Scenario

from .common import (EXIT_CANCELLED, EXIT_COMPLETED, EXIT_STOPPED, NO_RECORD, NO_UNINSTALL,
                     NO_UNINSTALL_EMPTY, confirmation, copy_box, setup_inf)

SCENARIOS = [
    Scenario(
        name="no_uninstall_warns_and_continues",
        app_name="E2E NoUninst", app_folder=r"C:\E2E\NoUninst",
        setup_inf=setup_inf("E2E NoUninst", [r"%apppath%\keep.txt"], options="NoUninstall=1"),
        files={r"C:\E2E\NoUninst\keep.txt": File("kept")},
        answers=("click 2 once E2E NoUninst Un-Install",),
        expect=Expect(exit_code=EXIT_CANCELLED,
                      windows=(copy_box(NO_UNINSTALL), confirmation("E2E NoUninst")),
                      present=(r"C:\E2E\NoUninst\keep.txt",)),
    ),
    Scenario(
        name="no_uninstall_with_empty_list_stops",
        app_name="E2E NoUninstEmpty", app_folder=r"C:\E2E\NoUninstEmpty",
        setup_inf=setup_inf("E2E NoUninstEmpty", options="NoUninstall=1"),
        expect=Expect(exit_code=EXIT_STOPPED, windows=(copy_box(NO_UNINSTALL_EMPTY),),
                      no_window=("E2E NoUninstEmpty Un-Install", NO_UNINSTALL)),
    ),
    Scenario(
        # Without a record the application folder is unknown: an absolute entry still goes, one
        # that only the folder would have made absolute is left alone, here or at the drive's root.
        # The uninstaller itself lies where its own line places it below the application folder,
        # so it goes with its SETUP.INF; their folder stays for the file left in it.
        name="missing_record_removes_only_absolute_paths",
        app_name="E2E NoRecord", app_folder=r"C:\E2E\NoRecord", record=None,
        setup_inf=setup_inf("E2E NoRecord", [r"C:\E2E\NoRecord\listed.txt", r"%apppath%\e2e_norecord.txt",
                                             "e2e_norecord_bare.txt"]),
        files={r"C:\E2E\NoRecord\listed.txt": File("listed"),
               r"C:\e2e_norecord.txt": File("not the installation's"),
               r"C:\E2E\NoRecord\UNINST\e2e_norecord_bare.txt": File("beside the working folder")},
        answers=("click 1 once E2E NoRecord Un-Install",),
        expect=Expect(exit_code=EXIT_COMPLETED,
                      windows=(copy_box(NO_RECORD), confirmation("E2E NoRecord")),
                      absent=(r"C:\E2E\NoRecord\listed.txt", r"C:\E2E\NoRecord\UNINST\uninst.exe",
                              r"C:\E2E\NoRecord\UNINST\SETUP.INF"),
                      present=(r"C:\e2e_norecord.txt", r"C:\E2E\NoRecord\UNINST\e2e_norecord_bare.txt")),
    ),
]
