"""The run seen from outside: the progress window's texts, the about box, a completed run that
leaves the temporary copy to the next restart, and screenshots of both windows."""

from harness.scenario import Expect, File, Restart, Scenario, Window

from .common import (EXIT_CANCELLED, EXIT_COMPLETED, WOW64, confirmation, copy_deletion_queued, copy_path,
                     copy_ran_from_temp, setup_inf)

# The texts that stay up for a pause; the driver's polling may miss one that is replaced at once.
PHASE_STATUSES = (
    "EXECUTING PROGRAMS...\nslow.exe",
    "EXECUTING PROGRAMS... COMPLETE!",
    "UN-REGISTERING DLL's... COMPLETE!",
    "DEREFERENCING SHARED COMPONENTS...\nCOMPLETE!",
    "REMOVING REGISTRY ENTRIES...\nCOMPLETE!",
    "REMOVING FILES...\nCOMPLETE!",
    "REMOVING DIRECTORIES...\nCOMPLETE!",
    "FINAL CLEANUP...",
)


def progress_percents_rise_to_100(result):
    percents = [int(p) for p in result.transcript.percents if p.lstrip("-").isdigit()]
    if not percents or percents[-1] != 100 or any(p < 0 or p > 100 for p in percents):
        return [f"progress percentages {percents} do not stay within 0..100 and end at 100"]
    return []


def screenshots_taken(*names):
    def check(result):
        missing = [n for n in names if not (result.work / f"{n}.png").is_file()]
        return [f"no screenshot {n}.png in {result.work}" for n in missing]
    return check


def lines_in_order(*expected):
    """Transcript lines that begin with these texts, in this order (others may come between)."""
    def check(result):
        lines, position = result.transcript.lines, 0
        for text in expected:
            while position < len(lines) and not lines[position].startswith(text):
                position += 1
            if position == len(lines):
                return [f"transcript line {text!r} not seen in order {expected}"]
            position += 1
        return []
    return check


SCENARIOS = [
    Scenario(
        name="completed_run_steps_through_phases",
        app_name="E2E Steps", app_folder=r"C:\E2E\Steps", families=("nt", "9x", *WOW64),
        # The second program holds the bar at 50 for the screenshot.
        setup_inf=setup_inf("E2E Steps", [r"%apppath%\one.txt", r"%apppath%\two.txt", r"%apppath%\slow.exe"],
                            extra="\n[ExecuteOnUninstall]\nslow.exe,0\nslow.exe,0 2500\n"),
        files={r"C:\E2E\Steps\one.txt": File("1"), r"C:\E2E\Steps\two.txt": File("2")},
        helpers={r"C:\E2E\Steps\slow.exe": "recorder.exe"},
        answers=("shoot 1500 E2E Steps Un-Install", "click 1 once E2E Steps Un-Install"),
        screenshots=True,
        expect=Expect(exit_code=EXIT_COMPLETED, copy_exit_code=EXIT_COMPLETED,
                      windows=(confirmation("E2E Steps"), Window("E2E Steps SETUP Progress")),
                      statuses=PHASE_STATUSES,
                      absent=(r"C:\E2E\Steps\one.txt", r"C:\E2E\Steps\two.txt", r"C:\E2E\Steps\slow.exe",
                              r"C:\E2E\Steps\UNINST"),
                      checks=(copy_ran_from_temp, copy_deletion_queued, progress_percents_rise_to_100,
                              screenshots_taken("confirmation", "progress"))),
        restart=Restart(gone=(copy_path,)),
    ),
    Scenario(
        name="about_box_opens_and_closes",
        app_name="E2E AboutBox", app_folder=r"C:\E2E\AboutBox",
        setup_inf=setup_inf("E2E AboutBox", [r"%apppath%\keep.txt"]),
        files={r"C:\E2E\AboutBox\keep.txt": File("kept")},
        answers=("about once E2E AboutBox Un-Install", "click 1 once About UNINST",
                 "click 2 once E2E AboutBox Un-Install"),
        expect=Expect(exit_code=EXIT_CANCELLED,
                      windows=(confirmation("E2E AboutBox"), Window("About UNINST", buttons={1: "OK"})),
                      no_window=("E2E AboutBox SETUP Progress",),
                      present=(r"C:\E2E\AboutBox\keep.txt",),
                      checks=(lines_in_order("ABOUT", "WINDOW About UNINST", "CLICK 1", "GONE About UNINST",
                                             "CLICK 2", "GONE E2E AboutBox Un-Install"),)),
    ),
]
