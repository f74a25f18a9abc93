"""What waits for the next restart, and what the working copy keeps out: a file held open during
the run, and DLLs planted where a program that trusts the search order would take them."""

import ntpath
import time

from harness.scenario import Expect, File, Restart, Scenario

from .common import WOW64, confirmation, copy_path, pending_renames, setup_inf, wininit_entries, wininit_path

EXIT_COMPLETED, EXIT_RESTART = 0, 3010

# ---- A document held open by its application ----

OPEN = r"C:\E2E\Open File App"
OPEN_DOC = OPEN + r"\Documents\Quarterly letter.document"
OPEN_LOG = r"C:\E2ELogs\open-file.log"
FOREIGN = r"C:\E2E\FOREIGN.TMP"
HOLDER = r"C:\E2E\Open File Holder\holder.exe"
HOLD_MS = 20000


def holding(holder, path):
    """A prepare step: an application keeps the file open through the whole run and a little beyond."""
    def start(wine, session):
        signal = wine.unix_path(ntpath.dirname(holder)) / "holder.held"
        signal.unlink(missing_ok=True)
        wine.start(holder, path, str(HOLD_MS))
        deadline = time.monotonic() + 30
        while not signal.exists():
            if time.monotonic() > deadline:
                raise RuntimeError(f"the holder did not open {path}")
            time.sleep(0.1)
    return start


start_holder = holding(HOLDER, OPEN_DOC)


def log_text(result):
    path = result.wine.unix_path(OPEN_LOG)
    return path.read_bytes().decode("cp1252").replace("\r\n", "\n") if path.exists() else ""


def open_file_logged(result):
    text = log_text(result)
    return [f"the log lacks {line!r}" for line in (f"file in use: {OPEN_DOC} (error 32)",
                                                   f"not moved aside: {OPEN_DOC} (held open without delete sharing); "
                                                   "a reinstall before the restart would lose the file",
                                                   f"scheduled for deletion at restart: {OPEN_DOC}",
                                                   "[first] exit code 3010")
            if line not in text]


def open_file_queued(result):
    """NT: the document, then its folder, in the pending renames. 9x: a NUL= line with the
    document's short name, whatever else the section holds."""
    if result.family == "9x":
        entries = wininit_entries(result)
        problems = [] if any(e.upper().endswith(".DOC") and " " not in e for e in entries) else \
            [f"no line with the document's short name in WININIT.INI: {entries}"]
        if FOREIGN not in entries:
            problems.append(f"another program's line is gone: {entries}")
        return problems
    pending = pending_renames(result.wine).lower()
    doc, folder = OPEN_DOC.lower(), ntpath.dirname(OPEN_DOC).lower()
    if doc not in pending:
        return [f"{OPEN_DOC} is not pending deletion: {pending!r}"]
    rest = pending[pending.index(doc) + len(doc):]
    return [] if folder in rest else [f"{folder} is not pending after the document: {pending!r}"]


def foreign_wininit_line(wine, session):
    """Another program's deletion, pending in WININIT.INI: it must survive the run. The restart
    carries it out and the file becomes WININIT.BAK."""
    path = wininit_path(wine) or wine.drive_c / "windows" / "WININIT.INI"
    text = path.read_bytes().decode("cp1252") if path.exists() else ""
    line = f"NUL={FOREIGN}\r\n"
    if "[rename]" in text.lower():
        at = text.lower().index("[rename]")
        at = text.index("\n", at) + 1 if "\n" in text[at:] else len(text)
        text = text[:at] + line + text[at:]
    else:
        text += "[Rename]\r\n" + line
    path.write_bytes(text.encode("cp1252"))


def folder_gone_on_nt(result):
    if result.family == "9x":
        return []
    return [f"{p} is still there after the restart" for p in (ntpath.dirname(OPEN_DOC), OPEN)
            if result.wine.exists(p)]


def private_folder_after_restart(result):
    """Gone with the copy on NT; on 9x WININIT.INI deletes only files, so the empty folder stays."""
    copy = copy_path(result)
    if copy is None:
        return ["no working copy was seen"]
    folder = ntpath.dirname(copy)
    there = result.wine.exists(folder)
    if result.family != "9x" and there:
        return [f"the private folder {folder} is still there after the restart"]
    if result.family == "9x" and not there:
        return [f"the private folder {folder} went on 9x, which WININIT.INI cannot do"]
    return []


# ---- A reinstall before the restart (NT) ----

AGAIN = r"C:\E2E\Reinstall App"
AGAIN_EXE = AGAIN + r"\again.exe"
AGAIN_LOG = r"C:\E2ELogs\reinstall.log"
AGAIN_NEW = {AGAIN_EXE: b"MZ new program", AGAIN + r"\Data\again.dat": b"new data",
             AGAIN + r"\UNINST\uninst.exe": b"MZ new uninstaller", AGAIN + r"\UNINST\SETUP.INF": b"new setup"}


def start_application(wine, session):
    """The application itself runs through the whole removal: its program file is in use. It
    writes again.log as it starts, so the log's line shows that the program runs and holds its file."""
    log = wine.unix_path(AGAIN + r"\again.log")
    log.unlink(missing_ok=True)
    wine.start(AGAIN_EXE, "0", str(HOLD_MS))
    deadline = time.monotonic() + 30
    while not (log.exists() and b"again.exe" in log.read_bytes()):
        if time.monotonic() > deadline:
            raise RuntimeError("the application did not start")
        time.sleep(0.1)


def moved_aside(result):
    """The program's file went through the move aside, not a plain deletion."""
    path = result.wine.unix_path(AGAIN_LOG)
    text = path.read_bytes().decode("cp1252") if path.exists() else ""
    line = f"moved aside: {AGAIN_EXE} -> "
    return [] if line in text else [f"{AGAIN_LOG} lacks {line!r}: {text!r}"]


def install_again(result):
    """Before the restart the user installs the application again: new files under the old names."""
    problems = [f"{path} still holds its name before the reinstall" for path in (AGAIN_EXE,)
                if result.wine.exists(path)]
    for path, content in AGAIN_NEW.items():
        target = result.wine.unix_path(path)
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(content)
    return problems


def new_installation_kept(result):
    problems = [f"{path} lost or changed by the restart" for path, content in AGAIN_NEW.items()
                if not result.wine.exists(path) or result.wine.unix_path(path).read_bytes() != content]
    root = result.wine.unix_path(AGAIN)
    wanted = {result.wine.unix_path(path) for path in AGAIN_NEW}
    others = [str(p) for p in root.rglob("*") if p.is_file() and p not in wanted]
    if others:
        problems.append(f"left in the application folder: {others}")
    pending = pending_renames(result.wine)
    if pending.strip():
        problems.append(f"still queued after the restart: {pending!r}")
    return problems


# ---- DLLs planted where a program that trusts the search order would take them ----

PLANTED = r"C:\E2E\Planted App"
PLANTED_NAMES = ("CTL3D32.DLL", "VERSION.DLL", "UXTHEME.DLL", "DWMAPI.DLL", "USERENV.DLL", "WINMM.DLL")
# Beside the installed program only the module that the program loads itself: Wine's user32
# imports VERSION.DLL, so one planted there is taken before any code of the program runs. The
# installed folder is the installation's to protect; the temporary folder is anybody's.
BESIDE_INSTALLED = ("CTL3D32.DLL",)
CONTROL_NAMES = ("CTL3D32.DLL", "VERSION.DLL")
MARKS = r"C:\planted.log"
OVERRIDES = r"HKEY_CURRENT_USER\Software\Wine\DllOverrides"


def _planted_paths(wine):
    temp = wine.temp_dir()
    return ([f"{temp}\\{name}" for name in PLANTED_NAMES]
            + [f"{PLANTED}\\UNINST\\{name}" for name in BESIDE_INSTALLED])


def _marks(wine):
    path = wine.unix_path(MARKS)
    return path.read_text(errors="replace").splitlines() if path.exists() else []


def plant_dlls(wine, session):
    """Wine is told to prefer a native DLL of these names, as Windows always does; then a program
    that loads them by name from the temporary folder proves that the planted files would be
    taken and would leave their mark."""
    wine.unix_path(MARKS).unlink(missing_ok=True)
    overrides = "\r\n".join(f'"{ntpath.splitext(name)[0].lower()}"="native,builtin"' for name in PLANTED_NAMES)
    wine.import_reg(f"[{OVERRIDES}]\r\n{overrides}\r\n")
    for path in _planted_paths(wine):
        wine.unix_path(path).write_bytes(session.helper("planted.dll").read_bytes())
    control = wine.temp_dir() + r"\load_by_name.exe"
    wine.unix_path(control).write_bytes(session.helper("load_by_name.exe").read_bytes())
    wine.run(control, *CONTROL_NAMES, check=False)
    wine.unix_path(control).unlink()
    marks = _marks(wine)
    taken = [name for name in CONTROL_NAMES if any(f"\\{name.lower()} " in m.lower() for m in marks)]
    if taken != list(CONTROL_NAMES):
        raise RuntimeError(f"the control did not load the planted DLLs by name: marks {marks}")
    wine.unix_path(MARKS).unlink()


def unplant_dlls(wine, session):
    """The marks stay for the checks, which come after this."""
    for path in _planted_paths(wine):
        wine.unix_path(path).unlink(missing_ok=True)
    names = "\r\n".join(f'"{ntpath.splitext(name)[0].lower()}"=-' for name in PLANTED_NAMES)
    wine.import_reg(f"[{OVERRIDES}]\r\n{names}\r\n")


def nothing_planted_loaded(result):
    marks = _marks(result.wine)
    return [f"a planted DLL was loaded: {mark}" for mark in marks]


SCENARIOS = [
    Scenario(
        name="open_file_queued_for_restart",
        app_name="E2E Open File", app_folder=OPEN, families=("nt", "9x", *WOW64),
        setup_inf=setup_inf("E2E Open File", [r"%apppath%\a.txt", r"%apppath%\Documents\Quarterly letter.document"]),
        files={OPEN + r"\a.txt": File("a"), OPEN_DOC: File("the user's letter")},
        folders=(r"C:\E2ELogs",),
        helpers={HOLDER: "holder.exe"},
        arguments=("/SILENT", "/WAIT", "/LOG=" + OPEN_LOG),
        prepare=(foreign_wininit_line, start_holder),
        expect=Expect(
            exit_code=EXIT_RESTART,
            absent=(OPEN + r"\a.txt", OPEN + r"\UNINST\SETUP.INF"),
            present=(OPEN_DOC,),
            checks=(open_file_logged, open_file_queued)),
        restart=Restart(gone=(OPEN_DOC, OPEN + r"\UNINST\uninst.exe", copy_path),
                        checks=(folder_gone_on_nt, private_folder_after_restart)),
        timeout=120,
    ),
    Scenario(
        name="reinstall_before_restart_keeps_its_files",
        app_name="E2E Reinstall", app_folder=AGAIN, families=("nt",),
        # The running program writes again.log beside itself as it starts.
        setup_inf=setup_inf("E2E Reinstall", [r"%apppath%\again.exe", r"%apppath%\again.log",
                                              r"%apppath%\Data\again.dat"]),
        files={AGAIN + r"\Data\again.dat": File("old data")},
        folders=(r"C:\E2ELogs",),
        helpers={AGAIN_EXE: "recorder.exe"},
        arguments=("/SILENT", "/WAIT", "/LOG=" + AGAIN_LOG),
        prepare=(start_application,),
        expect=Expect(exit_code=EXIT_RESTART, absent=(AGAIN_EXE, AGAIN + r"\Data\again.dat"),
                      checks=(moved_aside, install_again)),
        restart=Restart(checks=(new_installation_kept,)),
        timeout=120,
    ),
    Scenario(
        name="planted_dlls_not_loaded",
        app_name="E2E Planted", app_folder=PLANTED,
        setup_inf=setup_inf("E2E Planted", [r"%apppath%\a.txt"], extra="\n[ExecuteOnUninstall]\nrun.exe,0\n"),
        files={PLANTED + r"\a.txt": File("a")},
        helpers={PLANTED + r"\run.exe": "recorder.exe"},
        answers=("click 1 once E2E Planted Un-Install",),
        prepare=(plant_dlls,),
        restore=(unplant_dlls,),
        expect=Expect(
            exit_code=EXIT_COMPLETED, windows=(confirmation("E2E Planted"),),
            absent=(PLANTED + r"\a.txt",),
            checks=(nothing_planted_loaded,)),
    ),
]
