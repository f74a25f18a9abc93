"""Hostile input under Wine: a SETUP.INF of random bytes, binary bytes around usable sections,
and an installation whose paths are longer than 260 characters."""

import random

from harness.scenario import Expect, File, Scenario

from .common import EXIT_COMPLETED, EXIT_STOPPED, NO_FILES, box, confirmation, copy_box

COPY_FAILED = "UNINSTALL ERROR - Unable to create temporary file (1)"

# The same bytes on every run.
RANDOM_INF = random.Random(7).randbytes(64 * 1024)
NO_NUL_GARBAGE = bytes(b for b in random.Random(8).randbytes(32 * 1024) if b not in (0, 0x5B))

BINARY_APP = r"C:\E2E\Binary Around"
BINARY_AROUND_INF = (NO_NUL_GARBAGE + b"\r\n"
                     b"\x01\xff\x80 [SetupOptions]\xfe\r\n"
                     b"\x1f\xa0AppName=E2E BinaryAround\r\n"
                     b"\x85[UnInstall]\r\n"
                     b"\x90\x02%apppath%\\listed.txt\r\n"
                     b"\xff;\x80%apppath%\\commented.txt\r\n"
                     b"[Junk]\r\n" + NO_NUL_GARBAGE)

# Two components of 130 characters take the folder past 260 characters.
LONG_APP = r"C:\E2E\Long" + "\\" + "P" * 130 + "\\" + "Q" * 130
LONG_A = LONG_APP + r"\a.txt"
LONG_B = LONG_APP + r"\Sub\b.txt"
LONG_INF = "\n".join(["[SetupOptions]", "AppName=E2E Long", "", "[UnInstall]",
                      "a.txt", r"%apppath%\Sub\b.txt", ""])


SCENARIOS = [
    Scenario(
        name="random_bytes_setup_inf_stops",
        app_name="E2E RandomInf", app_folder=r"C:\E2E\RandomInf",
        setup_inf=RANDOM_INF,
        files={r"C:\E2E\RandomInf\kept.txt": File("kept")},
        expect=Expect(exit_code=EXIT_STOPPED, windows=(copy_box(NO_FILES),),
                      no_window=("E2E RandomInf Un-Install",),
                      present=(r"C:\E2E\RandomInf\kept.txt", r"C:\E2E\RandomInf\UNINST\uninst.exe",
                               r"C:\E2E\RandomInf\UNINST\SETUP.INF")),
    ),
    Scenario(
        # Control bytes and bytes from 128 up before a header or a line are skipped.
        name="binary_bytes_around_sections",
        app_name="E2E BinaryAround", app_folder=BINARY_APP,
        setup_inf=BINARY_AROUND_INF,
        files={BINARY_APP + r"\listed.txt": File("listed"), BINARY_APP + r"\commented.txt": File("kept")},
        answers=("click 1 once E2E BinaryAround Un-Install",),
        expect=Expect(exit_code=EXIT_COMPLETED, windows=(confirmation("E2E BinaryAround"),),
                      absent=(BINARY_APP + r"\listed.txt", BINARY_APP + r"\UNINST"),
                      present=(BINARY_APP + r"\commented.txt",)),
    ),
    Scenario(
        # The system's ANSI file calls refuse paths of 260 characters and more, so the program
        # cannot copy itself from there: it says so and touches nothing, not even the files
        # that the long paths would name if they were cut at 259 or 260 characters.
        name="installation_beyond_260_characters_is_left_alone",
        app_name="E2E Long", app_folder=LONG_APP, setup_inf=LONG_INF,
        files={LONG_A: File("a"), LONG_B: File("b"), LONG_A[:259]: File("bystander"),
               LONG_B[:260]: File("bystander")},
        expect=Expect(exit_code=EXIT_COMPLETED, windows=(box("uninst", COPY_FAILED),),
                      no_window=("E2E Long Un-Install",),
                      present=(LONG_A, LONG_B, LONG_A[:259], LONG_B[:260], LONG_APP + r"\UNINST\uninst.exe")),
    ),
]
