"""The three phases that act before anything is deleted: programs run at uninstall, modules that
unregister themselves, and the system's reference counts of shared files."""

import re

from harness.scenario import Expect, File, Key, Scenario, TEMP_TITLE, Window, starting

from .common import EXIT_COMPLETED, EXIT_STOPPED, WOW64, confirmation, copy_box, needle, setup_inf

SHARED_DLLS = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs"


def dword(result, key, name):
    """A REG_DWORD value as `reg query` prints it, or None."""
    text = result.wine.reg_query(key, name)
    found = re.search(r"REG_DWORD\s+0x([0-9a-fA-F]+)", text or "")
    return int(found.group(1), 16) if found else None


def text_of(result, path):
    unix = result.wine.unix_path(path)
    return unix.read_bytes().decode("cp1252") if unix.exists() else None


def recorded(path, *needles, absent=False):
    """The helper's log at path holds each needle (or, with absent, does not exist)."""
    def check(result):
        text = text_of(result, path)
        if absent:
            return [] if text is None else [f"{path} exists: {text!r}"]
        if text is None:
            return [f"{path} was never written"]
        return [f"{path} lacks {n!r}: {text!r}" for n in needles if n not in text]
    return check


def count_is(path, expected):
    def check(result):
        count = dword(result, SHARED_DLLS, path)
        return [] if count == expected else [f"count of {path} is {count}, expected {expected}"]
    return check


def clicked(caption_or_text, button):
    def check(result):
        for window in result.transcript.windows:
            if (caption_or_text == window.caption or any(caption_or_text in t for t in window.texts.values())) \
                    and button in window.clicked:
                return []
        return [f"no window with {caption_or_text!r} was answered with button {button}"]
    return check


PROGS = r"C:\E2E\Progs"
PROGS_INF = setup_inf("E2E Progs", [r"%apppath%\recorder.exe", r"%apppath%\skipped.exe", r"%apppath%\sub\later.exe"],
                      extra="\n".join([
                          "", "[ExecuteOnUninstall]",
                          # Held for a moment, so the driver sees the status that names it.
                          "recorder.exe,3 800",
                          r"%apppath%\sub\later.exe,0 /quiet",
                          "skipped.exe,0",
                          "", "[AutoDelete]", "SKIPPED.EXE,0", ""]))

MODS = r"C:\E2E\Mods"
MODS_INF = setup_inf("E2E Mods", [r"%apppath%\unreg_ok.dll", r"%apppath%\unreg_false.dll",
                                  r"%apppath%\noexport.dll"],
                     extra="\n[RegisterControl]\nunreg_ok.dll\n%apppath%\\unreg_false.dll\nnoexport.dll\n")

SHARED = r"C:\E2E\Shared Files"
COUNTED = {SHARED + r"\three.dll": 3, SHARED + r"\yes.dll": 1, SHARED + r"\no.dll": 1}
SHARED_INF = setup_inf("E2E Shared", [r"%apppath%\shared.txt"],
                       extra="\n[UnInstall.Shared]\n" + "\n".join(COUNTED) + "\n\n[SharedComponents]\nshared\n")
ZERO_QUESTION = "The shared file "

SCENARIOS = [
    Scenario(
        name="programs_run_before_removal",
        app_name="E2E Progs", app_folder=PROGS, setup_inf=PROGS_INF, families=("nt", "9x", *WOW64),
        helpers={PROGS + r"\recorder.exe": "recorder.exe", PROGS + r"\skipped.exe": "recorder.exe",
                 PROGS + r"\sub\later.exe": "recorder.exe"},
        answers=("click 1 once E2E Progs Un-Install",),
        expect=Expect(
            exit_code=EXIT_COMPLETED,
            windows=(confirmation("E2E Progs"),
                     copy_box(rf"WARNING: {PROGS}\recorder.exe exits with error code 3")),
            no_window=(rf"WARNING: {PROGS}\sub\later.exe exits with error code 0",),
            statuses=(rf"EXECUTING PROGRAMS...{chr(10)}recorder.exe", "EXECUTING PROGRAMS... COMPLETE!"),
            absent=(PROGS + r"\recorder.exe", PROGS + r"\sub\later.exe", PROGS + r"\skipped.exe"),
            # Each program wrote its command line beside itself before it was deleted.
            checks=(recorded(PROGS + r"\recorder.log", "recorder.exe", " 3 800"),
                    recorded(PROGS + r"\sub\later.log", "later.exe", "0 /quiet"),
                    recorded(PROGS + r"\skipped.log", absent=True))),
    ),
    Scenario(
        name="missing_program_answered_no_leaves_everything",
        app_name="E2E NoProg", app_folder=r"C:\E2E\NoProg",
        setup_inf=setup_inf("E2E NoProg", [r"%apppath%\keep.txt", r"%apppath%\Sub\inner.txt"],
                            extra="\n[ExecuteOnUninstall]\nmissing.exe\n\n[RegistryKeys]\n"
                                  "HKLM\\SOFTWARE\\E2E NoProg=@=\n"),
        files={r"C:\E2E\NoProg\keep.txt": File("kept"), r"C:\E2E\NoProg\Sub\inner.txt": File("kept")},
        keys=(Key(r"HKLM\SOFTWARE\E2E NoProg", {"": "installed"}),
              Key(r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\E2E NoProg", {"DisplayName": "E2E NoProg"})),
        answers=("click 1 once E2E NoProg Un-Install", "click 7 once " + needle(r"ERROR - UNINSTALL cannot execute C:\E2E\NoProg\missing.exe")),
        expect=Expect(
            exit_code=EXIT_STOPPED, copy_exit_code=EXIT_STOPPED,
            windows=(Window(TEMP_TITLE, texts=(r"ERROR - UNINSTALL cannot execute C:\E2E\NoProg\missing.exe"
                                               "\r\nDo you want to continue anyway?",), buttons={6: "&Yes", 7: "&No"}),),
            present=(r"C:\E2E\NoProg\keep.txt", r"C:\E2E\NoProg\Sub\inner.txt", r"C:\E2E\NoProg\UNINST\uninst.exe",
                     r"C:\E2E\NoProg\UNINST\SETUP.INF"),
            keys_present=(r"HKLM\SOFTWARE\E2E NoProg", r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\E2E NoProg",
                          r"HKLM\SOFTWARE\Tallowmere\UNINST\E2E NoProg"),
            checks=(clicked("ERROR - UNINSTALL cannot execute", 7),
                    lambda r: ["a status after the question: " + repr(r.transcript.statuses)]
                    if any(s.startswith("UN-REGISTERING") for s in r.transcript.statuses) else [])),
    ),
    Scenario(
        name="modules_unregistered_before_deletion",
        app_name="E2E Mods", app_folder=MODS, setup_inf=MODS_INF, families=("nt", "9x", *WOW64),
        helpers={MODS + r"\unreg_ok.dll": "unreg_ok.dll", MODS + r"\unreg_false.dll": "unreg_false.dll",
                 MODS + r"\noexport.dll": "noexport.dll"},
        answers=("click 1 once E2E Mods Un-Install", "click 6 once DllUnregisterServer() returns ERROR in"),
        expect=Expect(
            exit_code=EXIT_COMPLETED,
            windows=(Window(TEMP_TITLE, texts=(rf"DllUnregisterServer() returns ERROR in {MODS}\unreg_false.dll"
                                               "\r\nDo you want to continue with UNINSTALL?",)),),
            no_window=(starting("WARNING:  attempt to un-register "),),
            statuses=(rf"UN-REGISTERING DLL's...{chr(10)}{MODS}\unreg_false.dll",),
            absent=(MODS + r"\unreg_ok.dll", MODS + r"\unreg_false.dll", MODS + r"\noexport.dll"),
            checks=(recorded(MODS + r"\unreg_ok.log", rf"DllUnregisterServer {MODS}\unreg_ok.dll"),
                    recorded(MODS + r"\unreg_false.log", rf"DllUnregisterServer {MODS}\unreg_false.dll"),
                    clicked("DllUnregisterServer() returns ERROR in", 6))),
    ),
    Scenario(
        name="shared_counts_lowered",
        app_name="E2E Shared", app_folder=r"C:\E2E\SharedApp", setup_inf=SHARED_INF, families=("nt", "9x", *WOW64),
        files={**{path: File(b"MZ shared") for path in COUNTED}, r"C:\E2E\SharedApp\shared.txt": File("s")},
        shared_counts=COUNTED,
        answers=("click 1 once E2E Shared Un-Install",
                 "click 6 once " + needle(rf"{ZERO_QUESTION}{SHARED}\yes.dll"),
                 "click 7 once " + needle(rf"{ZERO_QUESTION}{SHARED}\no.dll")),
        expect=Expect(
            exit_code=EXIT_COMPLETED,
            no_window=(starting(rf"{ZERO_QUESTION}{SHARED}\three.dll "),),
            present=(SHARED + r"\three.dll", SHARED + r"\no.dll"),
            absent=(SHARED + r"\yes.dll", r"C:\E2E\SharedApp"),
            keys_absent=((SHARED_DLLS, SHARED + r"\yes.dll"),),
            checks=(count_is(SHARED + r"\three.dll", 2), count_is(SHARED + r"\no.dll", 0),
                    clicked(rf"{ZERO_QUESTION}{SHARED}\yes.dll", 6), clicked(rf"{ZERO_QUESTION}{SHARED}\no.dll", 7))),
    ),
]

SCENARIOS.append(Scenario(
    name="module_failure_answered_no_cuts_short",
    app_name="E2E ModNo", app_folder=r"C:\E2E\ModNo",
    setup_inf=setup_inf("E2E ModNo", [r"%apppath%\unreg_false.dll", r"%apppath%\keep.txt"],
                        extra="\n[RegisterControl]\nunreg_false.dll\n\n[RegistryKeys]\nHKLM\\SOFTWARE\\E2E ModNo=@=\n"),
    files={r"C:\E2E\ModNo\keep.txt": File("kept")},
    helpers={r"C:\E2E\ModNo\unreg_false.dll": "unreg_false.dll"},
    keys=(Key(r"HKLM\SOFTWARE\E2E ModNo", {"": "installed"}),),
    answers=("click 1 once E2E ModNo Un-Install", "click 7 once DllUnregisterServer() returns ERROR in"),
    expect=Expect(
        exit_code=EXIT_STOPPED, copy_exit_code=EXIT_STOPPED,
        present=(r"C:\E2E\ModNo\unreg_false.dll", r"C:\E2E\ModNo\keep.txt", r"C:\E2E\ModNo\UNINST\uninst.exe"),
        keys_present=(r"HKLM\SOFTWARE\E2E ModNo",),
        checks=(clicked("DllUnregisterServer() returns ERROR in", 7),
                recorded(r"C:\E2E\ModNo\unreg_false.log", r"DllUnregisterServer C:\E2E\ModNo\unreg_false.dll"),
                lambda r: ["the run went on after No: " + repr(r.transcript.statuses)]
                if any(s.startswith("DEREFERENCING") for s in r.transcript.statuses) else [])),
))

SHARED_DLLS_SUBKEY = r"SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs"


def unreachable_shared_dlls(wine, session):
    """The count key becomes a link to a key that does not exist, so it can be neither opened
    nor created; volatile, so a server restart also ends it."""
    wine.run("reg", "delete", "HKLM\\" + SHARED_DLLS_SUBKEY, "/f", check=False)
    wine.run(str(session.helper("reglink.exe")), SHARED_DLLS_SUBKEY, r"\Registry\Machine\Software\E2E Nowhere\Gone")


def reachable_shared_dlls(wine, session):
    wine.run(str(session.helper("reglink.exe")), "-d", SHARED_DLLS_SUBKEY, check=False)


SCENARIOS.append(Scenario(
    name="shared_key_unreachable_cuts_short",
    app_name="E2E NoCounts", app_folder=r"C:\E2E\NoCounts",
    setup_inf=setup_inf("E2E NoCounts", [r"%apppath%\keep.txt"],
                        extra="\n[UnInstall.Shared]\nC:\\E2E\\NoCounts\\shared.dll\n\n[SharedComponents]\nshared\n"
                              "\n[RegistryKeys]\nHKLM\\SOFTWARE\\E2E NoCounts=@=\n"),
    files={r"C:\E2E\NoCounts\keep.txt": File("kept"), r"C:\E2E\NoCounts\shared.dll": File(b"MZ shared")},
    keys=(Key(r"HKLM\SOFTWARE\E2E NoCounts", {"": "installed"}),),
    prepare=(unreachable_shared_dlls,), restore=(reachable_shared_dlls,),
    answers=("click 1 once E2E NoCounts Un-Install",),
    expect=Expect(
        exit_code=EXIT_STOPPED, copy_exit_code=EXIT_STOPPED,
        windows=(copy_box(f"Unable to create registry key '{SHARED_DLLS_SUBKEY}'"),),
        present=(r"C:\E2E\NoCounts\keep.txt", r"C:\E2E\NoCounts\shared.dll", r"C:\E2E\NoCounts\UNINST\uninst.exe"),
        keys_present=(r"HKLM\SOFTWARE\E2E NoCounts",),
        checks=(lambda r: ["the run went on: " + repr(r.transcript.statuses)]
                if any(s.startswith("REMOVING") for s in r.transcript.statuses) else [],)),
))


def no_message_box(result):
    """The working copy showed no message box (each carries its temporary name as caption)."""
    boxes = [w.describe() for w in result.transcript.windows if TEMP_TITLE.fullmatch(w.caption)]
    return [f"message boxes appeared: {boxes}"] if boxes else []


def removing(*paths):
    """A prepare step: the files a run is to write are gone beforehand, so an earlier run's cannot pass."""
    def prepare(wine, session):
        for path in paths:
            wine.unix_path(path).unlink(missing_ok=True)
    return prepare


# A control whose runtime lies beside it: the program's own DLL search is limited to the system
# folder, so only a load that searches the control's folder first finds the runtime.
NEIGHBOURS = r"C:\E2E\Neighbours"
NEIGHBOUR_FILES = (NEIGHBOURS + r"\needs_neighbour.dll", NEIGHBOURS + r"\neighbour_runtime.dll")
NEIGHBOUR_CLASS = r"HKCR\E2E.NeighbourControl"
SCENARIOS.append(Scenario(
    name="module_finds_the_dll_beside_it",
    app_name="E2E Neighbours", app_folder=NEIGHBOURS,
    setup_inf=setup_inf("E2E Neighbours", [r"%apppath%\needs_neighbour.dll", r"%apppath%\neighbour_runtime.dll"],
                        extra="\n[RegisterControl]\nneeds_neighbour.dll\n"),
    helpers={path: path.rsplit("\\", 1)[1] for path in NEIGHBOUR_FILES},
    keys=(Key(NEIGHBOUR_CLASS, {"": "E2E neighbour control"}),),
    prepare=(removing(NEIGHBOURS + r"\needs_neighbour.log"),),
    answers=("click 1 once E2E Neighbours Un-Install",),
    expect=Expect(
        exit_code=EXIT_COMPLETED,
        absent=NEIGHBOUR_FILES,
        keys_absent=(NEIGHBOUR_CLASS,),
        checks=(recorded(NEIGHBOURS + r"\needs_neighbour.log",
                         rf"DllUnregisterServer through neighbour_runtime {NEIGHBOURS}\needs_neighbour.dll"),
                no_message_box)),
))

# Started, a line without a program would open the application folder in a window that the run
# waits for.
BLANK = r"C:\E2E\BlankProg"
BLANK_LOG = r"C:\E2EBlankLog\blank.log"
SCENARIOS.append(Scenario(
    name="program_line_without_a_program_skipped",
    app_name="E2E BlankProg", app_folder=BLANK,
    setup_inf=setup_inf("E2E BlankProg", [r"%apppath%\recorder.exe"],
                        # Held for a moment, so the driver sees the status that names it.
                        extra="\n[ExecuteOnUninstall]\n,x\nrecorder.exe,0 800\n"),
    folders=(r"C:\E2EBlankLog",),
    helpers={BLANK + r"\recorder.exe": "recorder.exe"},
    arguments=("/LOG=" + BLANK_LOG,),
    prepare=(removing(BLANK + r"\recorder.log", BLANK_LOG),),
    answers=("click 1 once E2E BlankProg Un-Install",),
    expect=Expect(
        exit_code=EXIT_COMPLETED,
        statuses=(rf"EXECUTING PROGRAMS...{chr(10)}recorder.exe", "EXECUTING PROGRAMS... COMPLETE!"),
        absent=(BLANK + r"\recorder.exe",),
        checks=(recorded(BLANK + r"\recorder.log", "recorder.exe", " 0 800"),
                recorded(BLANK_LOG, "program line without a program skipped: ,x\r\n"),
                no_message_box)),
))
