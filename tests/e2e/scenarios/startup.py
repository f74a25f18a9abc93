"""Start-up: the relaunch from a temporary copy, finding SETUP.INF, the unsupported-system
warning and the working copy started directly with its switch."""

from harness.scenario import Expect, File, Restart, Scenario

from .common import (CANNOT_FIND, EXIT_CANCELLED, EXIT_STOPPED, NO_FILES, UNSUPPORTED, box,
                     confirmation, copy_box, copy_deletion_queued, copy_path, copy_ran_from_temp,
                     no_working_copy, setup_inf)


def _app(name, folder, **fields):
    return dict(app_name=name, app_folder=folder, **fields)


SCENARIOS = [
    Scenario(
        name="relaunch_without_setup_inf",
        **_app("E2E NoInf", r"C:\E2E\NoInf"), setup_inf=None, setup_inf_dir=None,
        expect=Expect(exit_code=EXIT_STOPPED, copy_exit_code=EXIT_STOPPED,
                      windows=(copy_box(CANNOT_FIND),), checks=(copy_ran_from_temp,)),
    ),
    Scenario(
        name="relaunch_passes_on_cancel",
        **_app("E2E Cancel", r"C:\E2E\Cancel"),
        setup_inf=setup_inf("E2E Cancel", [r"%apppath%\keep.txt"]),
        files={r"C:\E2E\Cancel\keep.txt": File("kept")},
        answers=("click 2 once E2E Cancel Un-Install",),
        expect=Expect(exit_code=EXIT_CANCELLED, copy_exit_code=EXIT_CANCELLED,
                      windows=(confirmation("E2E Cancel"),), no_window=("E2E Cancel SETUP Progress",),
                      present=(r"C:\E2E\Cancel\keep.txt", r"C:\E2E\Cancel\UNINST\uninst.exe",
                               r"C:\E2E\Cancel\UNINST\SETUP.INF"),
                      checks=(copy_ran_from_temp,)),
    ),
    Scenario(
        name="cancel_queues_copy_deletion",
        **_app("E2E CancelRestart", r"C:\E2E\CancelRestart"),
        setup_inf=setup_inf("E2E CancelRestart", [r"%apppath%\keep.txt"]),
        answers=("click 2 once E2E CancelRestart Un-Install",),
        expect=Expect(exit_code=EXIT_CANCELLED, checks=(copy_ran_from_temp, copy_deletion_queued)),
        restart=Restart(gone=(copy_path,)),
    ),
    Scenario(
        name="setup_inf_in_disk1",
        **_app("E2E Disk1", r"C:\E2E\Disk1"), setup_inf=setup_inf("E2E Disk1"), setup_inf_dir="DISK1",
        expect=Expect(exit_code=EXIT_STOPPED, windows=(copy_box(NO_FILES),), no_window=(CANNOT_FIND,)),
    ),
    Scenario(
        name="setup_inf_in_setup",
        **_app("E2E SetupDir", r"C:\E2E\SetupDir"), setup_inf=setup_inf("E2E SetupDir"),
        setup_inf_dir="SETUP",
        expect=Expect(exit_code=EXIT_STOPPED, windows=(copy_box(NO_FILES),), no_window=(CANNOT_FIND,)),
    ),
    Scenario(
        name="setup_inf_beside_wins_over_disk1",
        **_app("E2E Beside", r"C:\E2E\Beside"), setup_inf=setup_inf("E2E Beside"),
        files={r"C:\E2E\Beside\UNINST\DISK1\SETUP.INF": File(setup_inf("E2E Beside", ["x.txt"]))},
        answers=("click 2 once E2E Beside Un-Install",),
        expect=Expect(exit_code=EXIT_STOPPED, windows=(copy_box(NO_FILES),),
                      no_window=("E2E Beside Un-Install",)),
    ),
    Scenario(
        name="unsupported_system_warned_twice",
        **_app("E2E Unsupported", r"C:\E2E\Unsupported"), setup_inf=None, setup_inf_dir=None,
        version={"nt": "nt351", "9x": "win31"},
        expect=Expect(exit_code=EXIT_STOPPED,
                      windows=(box("uninst", UNSUPPORTED), copy_box(UNSUPPORTED), copy_box(CANNOT_FIND)),
                      checks=(copy_ran_from_temp,)),
    ),
    Scenario(
        name="supported_system_not_warned",
        **_app("E2E Supported", r"C:\E2E\Supported"), setup_inf=None, setup_inf_dir=None,
        expect=Expect(exit_code=EXIT_STOPPED, windows=(copy_box(CANNOT_FIND),), no_window=(UNSUPPORTED,)),
    ),
    Scenario(
        name="switch_in_place",
        **_app("E2E InPlace", r"C:\E2E\InPlace"), setup_inf=setup_inf("E2E InPlace"),
        arguments=("/UNINST",),
        expect=Expect(exit_code=EXIT_STOPPED, windows=(box("uninst", NO_FILES),),
                      checks=(no_working_copy,)),
    ),
    Scenario(
        name="switch_lower_case_with_letter",
        **_app("E2E InPlaceLower", r"C:\E2E\InPlaceLower"), setup_inf=setup_inf("E2E InPlaceLower"),
        arguments=("/uninstall",),
        expect=Expect(exit_code=EXIT_STOPPED, windows=(box("uninst", NO_FILES),),
                      checks=(no_working_copy,)),
    ),
    Scenario(
        name="switch_value_empty",
        **_app("E2E SwitchEmpty", r"C:\E2E\SwitchEmpty"), setup_inf=setup_inf("E2E SwitchEmpty"),
        copies=(r"C:\E2E\SwitchEmpty\Elsewhere\worker.exe",),
        program=r"C:\E2E\SwitchEmpty\Elsewhere\worker.exe", arguments=("/UNINST=",),
        expect=Expect(exit_code=EXIT_STOPPED, windows=(box("worker", CANNOT_FIND),),
                      checks=(no_working_copy,)),
    ),
    Scenario(
        name="switch_value_thread_and_path",
        **_app("E2E SwitchPath", r"C:\E2E\SwitchPath"), setup_inf=setup_inf("E2E SwitchPath"),
        copies=(r"C:\E2E\SwitchPath\Elsewhere\worker.exe",),
        program=r"C:\E2E\SwitchPath\Elsewhere\worker.exe",
        arguments=(r"/uninst=123,C:\E2E\SwitchPath\UNINST\uninst.exe", "/X"),
        expect=Expect(exit_code=EXIT_STOPPED, windows=(box("worker", NO_FILES),),
                      no_window=(CANNOT_FIND,), checks=(no_working_copy,)),
    ),
    Scenario(
        name="switch_value_negative_thread",
        **_app("E2E SwitchNegative", r"C:\E2E\SwitchNegative"), setup_inf=setup_inf("E2E SwitchNegative"),
        copies=(r"C:\E2E\SwitchNegative\Elsewhere\worker.exe",),
        program=r"C:\E2E\SwitchNegative\Elsewhere\worker.exe",
        arguments=(r"/UNINST=-42,C:\E2E\SwitchNegative\UNINST\uninst.exe",),
        expect=Expect(exit_code=EXIT_STOPPED, windows=(box("worker", NO_FILES),),
                      no_window=(CANNOT_FIND,)),
    ),
    Scenario(
        name="switch_value_path_with_comma",
        **_app("E2E Comma", r"C:\E2E\Comma,Dir"), setup_inf=setup_inf("E2E Comma"),
        copies=(r"C:\E2E\CommaWorker\worker.exe",),
        program=r"C:\E2E\CommaWorker\worker.exe",
        arguments=(r"/UNINST=C:\E2E\Comma,Dir\UNINST\uninst.exe",),
        expect=Expect(exit_code=EXIT_STOPPED, windows=(box("worker", NO_FILES),),
                      no_window=(CANNOT_FIND,)),
    ),
]

