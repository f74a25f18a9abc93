"""What SETUP.INF and the installation record tell the working copy before anything is removed:
the NoUninstall flag, a missing record, and a record that the user has no rights to change."""

from harness.scenario import Expect, File, Key, Scenario

from .common import (EXIT_CANCELLED, EXIT_COMPLETED, EXIT_STOPPED, NO_RECORD, NO_UNINSTALL,
                     NO_UNINSTALL_EMPTY, confirmation, copy_box, setup_inf)

NO_RIGHTS_APP = "E2E NoRights"
NO_RIGHTS_RECORD = r"SOFTWARE\Tallowmere\UNINST" + "\\" + NO_RIGHTS_APP
NEEDS_RIGHTS = (f"UNINSTALL ERROR - You need administrator rights to remove {NO_RIGHTS_APP}.\r\n"
                "Log on as an administrator and start UNINSTALL again.")


def record_read_only(wine, session):
    """The record as a limited user of the NT family finds it: readable, not changeable."""
    wine.run(str(session.helper("keyrights.exe")), "-r", NO_RIGHTS_RECORD)


def record_full_access(wine, session):
    wine.run(str(session.helper("keyrights.exe")), "-a", NO_RIGHTS_RECORD, check=False)


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
    Scenario(
        # The NT family before Vista starts the program for a limited user without asking for
        # administrator rights. The run stops at the record and leaves even the user's own keys.
        name="record_without_rights_stops_and_touches_nothing",
        families=("nt",),
        app_name=NO_RIGHTS_APP, app_folder=r"C:\E2E\NoRights",
        setup_inf=setup_inf(NO_RIGHTS_APP, [r"%apppath%\listed.txt"],
                            extra="\n[RegistryKeys]\nHKCU\\Software\\E2E NoRights=Size=1\n"),
        files={r"C:\E2E\NoRights\listed.txt": File("listed")},
        keys=(Key(r"HKCU\Software\E2E NoRights", {"Size": "1"}),),
        prepare=(record_read_only,),
        restore=(record_full_access,),
        expect=Expect(exit_code=EXIT_STOPPED, copy_exit_code=EXIT_STOPPED, windows=(copy_box(NEEDS_RIGHTS),),
                      no_window=(f"{NO_RIGHTS_APP} Un-Install", NO_RECORD),
                      present=(r"C:\E2E\NoRights\listed.txt", r"C:\E2E\NoRights\UNINST\uninst.exe",
                               r"C:\E2E\NoRights\UNINST\SETUP.INF"),
                      keys_present=(r"HKCU\Software\E2E NoRights", "HKLM\\" + NO_RIGHTS_RECORD)),
    ),
]
