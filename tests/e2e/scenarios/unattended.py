"""Removal without anyone at the machine: the silent switches, the log and waiting for the end."""

from harness.scenario import Expect, File, Key, Restart, Scenario, Window

from .common import EXIT_COMPLETED, EXIT_STOPPED, copy_path, pending_renames, setup_inf
from .components import SHARED_DLLS, count_is, recorded, text_of

EXIT_RESTART = 3010

FULL = r"C:\E2E\Quiet App"
FULL_LOG = r"C:\E2ELogs\quiet.log"
FULL_SHARED = r"C:\E2E\Quiet Shared\quiet.dll"
FULL_FILES = (FULL + r"\quiet.exe", FULL + r"\README.TXT", FULL + r"\Data\quiet.dat", FULL + r"\unreg_ok.dll")
FULL_INF = setup_inf("E2E Quiet", [r"%apppath%\quiet.exe", r"%apppath%\README.TXT", r"%apppath%\Data\quiet.dat",
                                   r"%apppath%\unreg_ok.dll"],
                     extra="\n".join(["", "[ExecuteOnUninstall]", "quiet.exe,0", "",
                                      "[RegisterControl]", "unreg_ok.dll", "",
                                      "[UnInstall.Shared]", FULL_SHARED, "", "[SharedComponents]", "quiet", "",
                                      "[RegistryKeys]", r"HKLM\SOFTWARE\E2E Quiet=@=", ""]))


def no_windows(result):
    seen = [w.describe() for w in result.transcript.windows]
    return [f"windows appeared: {seen}"] if seen else []


def log_names_removed_files(result):
    text = text_of(result, FULL_LOG)
    if text is None:
        return [f"no log at {FULL_LOG}"]
    text = text.replace("\r\n", "\n")
    problems = [f"the log does not name {path} as deleted" for path in FULL_FILES[:-1] + (FULL + r"\UNINST\SETUP.INF",)
                if f"file deleted: {path}" not in text]
    for needed in ("[first] exit code 3010", "program " + FULL + r"\quiet.exe: exit code 0",
                   "shared file " + FULL_SHARED, "folder removed: " + FULL + "\\Data\n"):
        if needed not in text:
            problems.append(f"the log lacks {needed!r}")
    return problems


def waiting_program_scheduled(result):
    """The installed program file, held by the waiting first instance, is queued like the copy.
    Where it can be renamed (the NT family, and Wine whatever version it reports) it is first
    moved to a new name, which is the one queued, so that its own name is free at once; where it
    cannot (a real Windows 9x locks a running program), its own (short) name is queued."""
    program = FULL + r"\UNINST\uninst.exe"
    text = (text_of(result, FULL_LOG) or "").replace("\r\n", "\n")
    moved = [line.split(" -> ", 1)[1] for line in text.split("\n")
             if "moved aside: " in line and "\\uninst\\uninst.exe -> " in line.lower()]
    if moved and result.wine.exists(program):
        return [f"{program} still holds its name after the log says it was moved to {moved[-1]}"]
    if result.family == "9x":
        found = [p for p in (result.wine.drive_c / "windows").iterdir() if p.name.lower() == "wininit.ini"]
        wininit = found[0].read_bytes().decode("cp1252").lower() if found else ""
        lines = [line for line in wininit.splitlines() if line.startswith("nul=")]
        problems = [] if f"nul={(copy_path(result) or '?').lower()}" in lines else ["the copy's line is gone"]
        if moved and f"nul={moved[-1].lower()}" not in lines:
            problems.append(f"{moved[-1]}, where {program} was moved, is not in WININIT.INI")
        if not moved and not any(line.endswith("\\uninst\\uninst.exe") for line in lines):
            problems.append(f"{program} is not in WININIT.INI")
        return [p + f": {wininit!r}" for p in problems]
    pending = pending_renames(result.wine).lower()
    if not moved:
        return [f"the log does not say where {program} was moved: {text!r}"]
    return [] if moved[-1].lower() in pending else [f"{moved[-1]} is not pending deletion: {pending!r}"]


VERY_SMALL = r"C:\E2E\Quick App"
VERY_SMALL_LOG = r"C:\E2ELogs\quick.log"


def working_copy_log_span(result):
    """The working copy's lines, first to last, on a small installation: no pause is left."""
    import datetime
    text = text_of(result, VERY_SMALL_LOG) or ""
    stamps = [datetime.datetime.strptime(line[:23], "%Y-%m-%d %H:%M:%S.%f") for line in text.splitlines()
              if line[24:30] == "[copy]"]
    if len(stamps) < 2:
        return [f"the working copy wrote fewer than two lines: {text!r}"]
    span = (stamps[-1] - stamps[0]).total_seconds()
    print(f"working copy's log span: {span:.3f} s")
    return [] if span < 0.5 else [f"the working copy's log spans {span:.3f} s"]


TWICE = r"C:\E2E\Twice"
TWICE_SHARED = r"C:\E2E\Twice Shared\twice.dll"
TWICE_LOGS = (r"C:\E2ELogs\twice-one.log", r"C:\E2ELogs\twice-two.log")
WAITING = "waiting for another run of this installation to end"


def start_second_run(wine, session):
    """The same installation's uninstaller started a second time, as a second deployment job
    would, just before the harness starts the first."""
    for log in TWICE_LOGS + (TWICE + r"\slow.log",):
        wine.unix_path(log).unlink(missing_ok=True)
    wine.start(TWICE + r"\UNINST\uninst.exe", "/VERYSILENT", "/LOG=" + TWICE_LOGS[1],
               cwd=wine.unix_path(TWICE + r"\UNINST"))


def program_ran_once(result):
    text = text_of(result, TWICE + r"\slow.log") or ""
    return [] if len(text.splitlines()) == 1 else [f"the uninstall program ran other than once: {text!r}"]


def runs_in_turn(result):
    """One working copy waited, and went on only after the other had written its last line."""
    import datetime

    def copy_lines(path):
        text = (text_of(result, path) or "").replace("\r\n", "\n")
        return [(datetime.datetime.strptime(line[:23], "%Y-%m-%d %H:%M:%S.%f"), line[31:])
                for line in text.splitlines() if line[24:30] == "[copy]"]

    logs = [copy_lines(path) for path in TWICE_LOGS]
    waited = [i for i, lines in enumerate(logs) if any(text == WAITING for _, text in lines)]
    if len(waited) != 1:
        return [f"{len(waited)} of the two runs waited, not one: {[[text for _, text in lines] for lines in logs]!r}"]
    waiter, other = logs[waited[0]], logs[1 - waited[0]]
    went_on = [stamp for stamp, text in waiter if text == "the other run ended; going on"]
    other_ended = [stamp for stamp, text in other if text.startswith("exit code ")]
    problems = [f"a working copy did not end with 0: {lines[-1:]!r}" for lines in logs
                if not lines or lines[-1][1] != "exit code 0"]
    if not went_on or not other_ended or went_on[0] < other_ended[-1]:
        problems.append(f"the waiting run went on at {went_on}, the other ended at {other_ended}")
    return problems


SCENARIOS = [
    Scenario(
        name="very_silent_small_installation_without_pauses",
        app_name="E2E Quick", app_folder=VERY_SMALL,
        setup_inf=setup_inf("E2E Quick", [r"%apppath%\quick.txt", r"%apppath%\Data\quick.dat"]),
        files={VERY_SMALL + r"\quick.txt": File("q"), VERY_SMALL + r"\Data\quick.dat": File("d")},
        folders=(r"C:\E2ELogs",),
        arguments=("/VERYSILENT", "/WAIT", "/LOG=" + VERY_SMALL_LOG),
        # The log is appended to: only this run's lines count.
        prepare=(lambda wine, session: wine.unix_path(VERY_SMALL_LOG).unlink(missing_ok=True),),
        expect=Expect(exit_code=EXIT_RESTART, absent=(VERY_SMALL + r"\quick.txt", VERY_SMALL + r"\Data"),
                      checks=(no_windows, working_copy_log_span)),
    ),
    Scenario(
        name="very_silent_wait_log_full_installation",
        app_name="E2E Quiet", app_folder=FULL, setup_inf=FULL_INF,
        files={FULL + r"\README.TXT": File("read me"), FULL + r"\Data\quiet.dat": File("data"),
               FULL_SHARED: File(b"MZ shared")},
        folders=(r"C:\E2ELogs",),
        helpers={FULL + r"\quiet.exe": "recorder.exe", FULL + r"\unreg_ok.dll": "unreg_ok.dll"},
        shared_counts={FULL_SHARED: 1},
        keys=(Key(r"HKLM\SOFTWARE\E2E Quiet", {"": "installed"}),),
        arguments=("/VERYSILENT", "/WAIT", "/LOG=" + FULL_LOG),
        expect=Expect(
            exit_code=EXIT_RESTART,
            absent=FULL_FILES + (FULL + r"\Data", FULL + r"\UNINST\SETUP.INF"),
            # Nobody can answer the zero count's question, so the shared file stays.
            present=(FULL_SHARED,),
            keys_absent=(r"HKLM\SOFTWARE\E2E Quiet",),
            checks=(no_windows, log_names_removed_files, waiting_program_scheduled, count_is(FULL_SHARED, 0),
                    recorded(FULL + r"\unreg_ok.log", "DllUnregisterServer"))),
        restart=Restart(gone=(FULL + r"\UNINST\uninst.exe", copy_path),
                        checks=(lambda r: [] if r.family == "9x" or not r.wine.exists(FULL + r"\UNINST")
                                else [f"{FULL}\\UNINST is still there after the restart"],)),
        timeout=120,
    ),
    Scenario(
        name="silent_with_unstartable_program",
        app_name="E2E Hush", app_folder=r"C:\E2E\Hush",
        # The first program holds the progress window up long enough for the driver to see it.
        setup_inf=setup_inf("E2E Hush", [r"%apppath%\keep.txt"],
                            extra="\n[ExecuteOnUninstall]\nslow.exe,0 1500\nmissing.exe\n"),
        files={r"C:\E2E\Hush\keep.txt": File("kept")},
        helpers={r"C:\E2E\Hush\slow.exe": "recorder.exe"},
        keys=(Key(r"HKLM\SOFTWARE\E2E Hush", {"": "installed"}),),
        arguments=("/SILENT",),
        default_answer="none",
        expect=Expect(
            exit_code=EXIT_STOPPED, copy_exit_code=EXIT_STOPPED,
            windows=(Window("E2E Hush SETUP Progress"),),
            no_window=("E2E Hush Un-Install",),
            present=(r"C:\E2E\Hush\keep.txt", r"C:\E2E\Hush\UNINST\uninst.exe", r"C:\E2E\Hush\UNINST\SETUP.INF"),
            keys_present=(r"HKLM\SOFTWARE\E2E Hush",),
            checks=(lambda r: [f"a message box appeared: {w.describe()}" for w in r.transcript.windows
                               if w.caption != "E2E Hush SETUP Progress"],)),
    ),
    Scenario(
        name="short_very_silent_alone",
        app_name="E2E Short", app_folder=r"C:\E2E\Short",
        setup_inf=setup_inf("E2E Short", [r"%apppath%\a.txt"]),
        files={r"C:\E2E\Short\a.txt": File("a")},
        arguments=("/s",),
        default_answer="none",
        expect=Expect(exit_code=EXIT_COMPLETED, copy_exit_code=EXIT_COMPLETED,
                      absent=(r"C:\E2E\Short\a.txt", r"C:\E2E\Short\UNINST\SETUP.INF"),
                      checks=(no_windows,)),
    ),
    Scenario(
        name="two_runs_at_once_work_in_turn",
        app_name="E2E Twice", app_folder=TWICE,
        # The program holds the first run long enough for the second to arrive while it works.
        setup_inf=setup_inf("E2E Twice", [r"%apppath%\twice.txt", r"%apppath%\slow.exe"],
                            extra="\n".join(["", "[ExecuteOnUninstall]", "slow.exe,0 8000", "",
                                             "[UnInstall.Shared]", TWICE_SHARED, "", "[SharedComponents]", "on", ""])),
        families=("nt",),
        files={TWICE + r"\twice.txt": File("t"), TWICE_SHARED: File(b"MZ shared")},
        folders=(r"C:\E2ELogs",),
        helpers={TWICE + r"\slow.exe": "recorder.exe"},
        shared_counts={TWICE_SHARED: 2},
        arguments=("/VERYSILENT", "/LOG=" + TWICE_LOGS[0]),
        prepare=(start_second_run,),
        expect=Expect(
            exit_code=EXIT_COMPLETED,
            absent=(TWICE + r"\twice.txt", TWICE + r"\UNINST\SETUP.INF"),
            present=(TWICE_SHARED,),
            # One lowering, one program run.
            checks=(runs_in_turn, count_is(TWICE_SHARED, 1), program_ran_once)),
        timeout=120,
    ),
]
