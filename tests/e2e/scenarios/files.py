"""Removing an installation's files, help indexes, shortcuts and the folders that emptied."""

from harness.scenario import Expect, File, Record, Scenario, starting

from .common import EXIT_COMPLETED, confirmation, setup_inf

APP = r"C:\E2E\Plain App"
MENU = r"C:\E2E\Plain Menu\Plain App"
SHARED_FOLDER = r"C:\E2E\Plain Shared"

PLAIN_INF = setup_inf("E2E Plain", [
    r"%apppath%\plain.exe",
    r"%apppath%\README.TXT",
    r"%apppath%\PLAIN.HLP",
    r"%apppath%\Data\first.dat",
    r"%APPPATH%\Data\Deeper\second.dat",
    r"%apppath%\DATA\FIRST.DAT",
    r"plain.dll",
    rf"{SHARED_FOLDER}\plain.cfg",
], extra="\n[AddShortcut]\n1,1,Plain App.lnk\n1,1,Plain Help.lnk\n")

PLAIN_FILES = {
    APP + r"\plain.exe": File(b"MZ plain"),
    APP + r"\README.TXT": File("read me", readonly=True),
    APP + r"\PLAIN.HLP": File(b"help"),
    APP + r"\PLAIN.GID": File(b"help index", hidden=True),
    APP + r"\plain.dll": File(b"MZ library"),
    APP + r"\Data\first.dat": File("first"),
    APP + r"\Data\Deeper\second.dat": File("second"),
    MENU + r"\Plain App.lnk": File(b"L shortcut"),
    MENU + r"\Plain Help.lnk": File(b"L shortcut"),
    MENU + r"\Un-Install.LNK": File(b"L shortcut"),
    SHARED_FOLDER + r"\plain.cfg": File("listed"),
    SHARED_FOLDER + r"\other.cfg": File("another program's"),
}

SCENARIOS = [
    Scenario(
        name="plain_installation_removed",
        app_name="E2E Plain", app_folder=APP, setup_inf=PLAIN_INF, files=PLAIN_FILES,
        record=Record(start_menu_folder=MENU),
        answers=("click 1 once E2E Plain Un-Install",),
        expect=Expect(
            exit_code=EXIT_COMPLETED, copy_exit_code=EXIT_COMPLETED, windows=(confirmation("E2E Plain"),),
            # Only the confirmation: no file of this installation gives a message.
            no_window=(starting("INTERNAL ERROR:  UNABLE TO RESOLVE "),),
            absent=(APP, MENU, SHARED_FOLDER + r"\plain.cfg"),
            present=(r"C:\E2E\Plain Menu", SHARED_FOLDER + r"\other.cfg")),
    ),
    Scenario(
        # A folder that still holds a file nobody listed stays, with every folder above it.
        name="unlisted_file_keeps_its_folders",
        app_name="E2E Leftover", app_folder=r"C:\E2E\Leftover",
        setup_inf=setup_inf("E2E Leftover", [r"%apppath%\a.txt", r"%apppath%\Sub\b.txt",
                                             r"%apppath%\Sub\Inner\c.txt"]),
        files={r"C:\E2E\Leftover\a.txt": File("a"), r"C:\E2E\Leftover\Sub\b.txt": File("b"),
               r"C:\E2E\Leftover\Sub\Inner\c.txt": File("c"),
               r"C:\E2E\Leftover\Sub\Inner\mine.txt": File("the user's")},
        answers=("click 1 once E2E Leftover Un-Install",),
        expect=Expect(exit_code=EXIT_COMPLETED,
                      absent=(r"C:\E2E\Leftover\a.txt", r"C:\E2E\Leftover\Sub\b.txt",
                              r"C:\E2E\Leftover\Sub\Inner\c.txt", r"C:\E2E\Leftover\UNINST"),
                      present=(r"C:\E2E\Leftover\Sub\Inner\mine.txt",)),
    ),
]
