"""The Windows program's time under Wine on a large installation, against the floor: floor.exe
does the same removal work directly, so the ratio says what the uninstaller costs beyond the
least that any uninstaller must do, fixed pauses and all: /VERYSILENT keeps none. Each
measurement is the wall time from starting the program to the end of its first process, Wine's
process start included; the medians of a few runs count. A small installation, the demo's size,
is measured the same way, and its working copy's own time is read from its log: from its first
line to its last.
"""

import argparse
import datetime
import json
import ntpath
import os
import pathlib
import shutil
import statistics
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness.layout import SHARED_DLLS, lay_out  # noqa: E402
from harness.scenario import File, Key, Record, Scenario  # noqa: E402
from harness.session import Session, chosen_windows_build  # noqa: E402

APP = "Bench App"
FOLDER = r"C:\Program Files\Bench App"
MENU = r"C:\users\Public\Start Menu\Programs\Bench App"
SHARED_FOLDER = r"C:\Program Files\Common Files\Bench Shared"
UNINSTALL_ENTRY = ("HKLM", rf"SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{APP}")
KEY_BASES = {"HKLM": r"SOFTWARE\Bench Works\Bench App", "HKCU": r"Software\Bench Works\Bench App",
             "HKCR": "BenchApp.Document"}
FLOOR_FOLDER = r"C:\bench"
EXIT_RESTART = 3010  # the installed uninst.exe, held by the waiting first instance, goes at restart
RUN_TIMEOUT = 1800
BENCH_LOG = FLOOR_FOLDER + r"\bench.log"
# The hives the uninstaller flushes in a run of the NT family whose installed copy is in use: the
# restart queue's after that copy's new name is queued, the user's and the queue's before the
# record goes, SOFTWARE's after it, the queue's once more at the end.
SESSION_MANAGER = r"System\CurrentControlSet\Control\Session Manager"
FLUSHES = [("HKLM", SESSION_MANAGER), ("HKCU", ""), ("HKLM", SESSION_MANAGER), ("HKLM", "SOFTWARE"),
           ("HKLM", SESSION_MANAGER)]
# The demo's size: a few files in two folders, shortcuts, a shared file and keys.
SMALL = {"files": 7, "folders": 2, "keys": 4, "shared": 1, "shortcuts": 2}


def registry_keys(count):
    """Keys three levels deep under one base per root: each group key holds up to 19 items."""
    keys = []
    for place, (root, base) in enumerate(KEY_BASES.items()):
        share = count // len(KEY_BASES) + (1 if place < count % len(KEY_BASES) else 0)
        keys.append((root, base))
        for item in range(share - 1):
            group = rf"{base}\Group{item // 20:03d}"
            keys.append((root, group if item % 20 == 0 else rf"{group}\Item{item:05d}"))
    return keys


class Installation:
    def __init__(self, files, folders, keys, shared, shortcuts):
        folders = max(1, min(folders, files))
        self.files = [rf"{FOLDER}\DIR{i % folders:03d}\FILE{i:05d}.DAT" for i in range(files)]
        self.folders = sorted({ntpath.dirname(path) for path in self.files})
        self.keys = registry_keys(keys)
        self.shared = [rf"{SHARED_FOLDER}\SHARED{i:03d}.DLL" for i in range(shared)]
        self.shortcuts = [f"Bench Shortcut {i:02d}.lnk" for i in range(shortcuts)] + ["Un-Install.LNK"]

    def describe(self):
        return (f"{len(self.files)} files in {len(self.folders)} folders, {len(self.keys)} registry keys, "
                f"{len(self.shared)} shared counts, {len(self.shortcuts) - 1} shortcuts")

    def setup_inf(self):
        lines = ["[SetupOptions]", f"AppName={APP}", "", "[Files]",
                 r"1,1,SETUPPEL\uninst.exe,%apppath%\UNINST\uninst.exe", "", "[UnInstall]"]
        lines += ["%apppath%" + path[len(FOLDER):] for path in self.files]
        lines += ["", "[UnInstall.Shared]", *self.shared, "", "[SharedComponents]", "benchshared", ""]
        lines += ["[RegistryKeys]", *[rf"{root}\{key}=@=" for root, key in self.keys], ""]
        lines += ["[AddShortcut]", *[f"1,1,{name}" for name in self.shortcuts[:-1]], ""]
        return "\n".join(lines)

    def scenario(self):
        files = {MENU + "\\" + name: File(b"L shortcut") for name in self.shortcuts}
        files.update({path: File(b"MZ shared") for path in self.shared})
        keys = [Key(rf"{root}\{key}", {"": "bench"}) for root, key in self.keys]
        keys.append(Key("\\".join(UNINSTALL_ENTRY),
                        {"DisplayName": APP, "UninstallString": FOLDER + r"\UNINST\uninst.exe"}))
        return Scenario(name="bench", app_name=APP, app_folder=FOLDER, setup_inf=self.setup_inf(),
                        families=("nt",), files=files, record=Record(start_menu_folder=MENU),
                        shared_counts={path: 2 for path in self.shared}, keys=tuple(keys))

    def lay(self, wine, session):
        lay_out(wine, session, self.scenario())
        app = wine.unix_path(FOLDER)
        for folder in self.folders:
            (app / folder[len(FOLDER) + 1:]).mkdir(parents=True, exist_ok=True)
        for number, path in enumerate(self.files):
            (app / path[len(FOLDER) + 1:].replace("\\", "/")).write_bytes(b"bench file %d\r\n" % number)
        last_root, last_key = self.keys[-1]
        if wine.reg_query(rf"{last_root}\{last_key}") is None:
            raise RuntimeError(f"the installation was not laid: {last_root}\\{last_key} is missing")
        # Written back now, so that no run pays for the laying of its files.
        os.sync()

    def floor_list(self):
        """The same work as the uninstaller's run, for the floor."""
        lines = [f"count {path} 1" for path in self.shared]
        lines += [f"key {root} {key}" for root, key in self.keys + [UNINSTALL_ENTRY]]
        lines += [f"flush {root} {key}".rstrip() for root, key in FLUSHES]
        lines += [f"file {path}" for path in self.files + [FOLDER + r"\UNINST\SETUP.INF"]]
        lines += [f"file {MENU}\\{name}" for name in self.shortcuts]
        lines += [f"folder {path}" for path in self.folders + [MENU]]
        return "\r\n".join(lines) + "\r\n"

    def problems_after(self, wine):
        """What should be gone and is not, and what should have stayed and is gone."""
        app = wine.unix_path(FOLDER)
        left = sorted(str(p.relative_to(app)) for p in app.rglob("*")) if app.exists() else []
        # The installed uninst.exe, which the waiting first instance runs from, is moved aside to
        # the restart's queue where the system lets it be renamed; its folder, the first
        # instance's current folder, then stays empty until the restart.
        problems = [] if left in (["UNINST", "UNINST/uninst.exe"], ["UNINST"]) else [
            f"{len(left)} entries left in {FOLDER} (only UNINST\\uninst.exe should be): {left[:5]}"]
        if wine.exists(MENU):
            problems.append(f"{MENU} is still there")
        kept = sum(wine.unix_path(path).exists() for path in self.shared)
        if kept != len(self.shared):
            problems.append(f"only {kept} of {len(self.shared)} shared files are still there")
        for root, key in list(KEY_BASES.items()) + [UNINSTALL_ENTRY]:
            if wine.reg_query(rf"{root}\{key}") is not None:
                problems.append(f"registry key {root}\\{key} is still there")
        counts = (wine.reg_query(SHARED_DLLS) or "").lower()
        lowered = sum(f"{path.lower()}    reg_dword    0x1\r\n" in counts for path in self.shared)
        if lowered != len(self.shared):
            problems.append(f"only {lowered} of {len(self.shared)} shared counts are 1")
        return problems


def timed(wine, output, program, *arguments):
    started = time.perf_counter()
    with open(output, "wb") as out:
        process = wine.start(program, *arguments, cwd=wine.unix_path(ntpath.dirname(program)), stdout=out)
        status = process.wait(RUN_TIMEOUT)
    return time.perf_counter() - started, status


def flush_milliseconds(floor_output):
    """The time the floor's flush calls took, from its output."""
    for line in floor_output.splitlines():
        words = line.split()
        if words[:1] == ["floor:"] and words[2:4] == ["flushes", "in"]:
            return float(words[4])
    raise RuntimeError("floor.exe did not report its flushes")


def working_copy_span(log_text):
    """Seconds from the working copy's first log line to its last."""
    stamps = [datetime.datetime.strptime(line[:23], "%Y-%m-%d %H:%M:%S.%f")
              for line in log_text.splitlines() if line[24:30] == "[copy]"]
    if len(stamps) < 2:
        raise RuntimeError(f"the working copy wrote {len(stamps)} log lines")
    return (stamps[-1] - stamps[0]).total_seconds()


def measure(session, installation, repeat, what="", logged=False):
    """Medians' material: the uninstaller's and the floor's times, and with logged the working
    copy's own time from its log. The large run keeps no log, whose lines a plain removal would
    not write either."""
    wine, work = session.wine("nt"), session.work_dir
    floor = FLOOR_FOLDER + r"\floor.exe"
    wine.unix_path(FLOOR_FOLDER).mkdir(parents=True, exist_ok=True)
    shutil.copyfile(session.windows_build / "bench" / "win32" / "floor.exe", wine.unix_path(floor))
    wine.unix_path(FLOOR_FOLDER + r"\floor.txt").write_bytes(installation.floor_list().encode("cp1252"))
    log = wine.unix_path(BENCH_LOG)
    runs = {"uninst": [], "floor": [], "copy": [], "flush": []}
    for number in range(1, repeat + 1):
        installation.lay(wine, session)
        log.unlink(missing_ok=True)
        switches = ("/VERYSILENT", "/WAIT") + (("/LOG=" + BENCH_LOG,) if logged else ())
        seconds, status = timed(wine, work / "uninst.out", FOLDER + r"\UNINST\uninst.exe", *switches)
        check(f"{what}uninst.exe run {number}", status, EXIT_RESTART, installation.problems_after(wine), seconds)
        runs["uninst"].append(seconds)
        if logged:
            runs["copy"].append(working_copy_span(log.read_text(encoding="cp1252")))
            # The last run's log stays beside the results: it shows where the time goes.
            shutil.copyfile(log, work / f"{what.strip()}.log")
        # What a restart does: the queued deletions go, so every run starts from the same prefix.
        wine.restart()

        installation.lay(wine, session)
        seconds, status = timed(wine, work / "floor.out", floor, FLOOR_FOLDER + r"\floor.txt")
        check(f"{what}floor.exe run {number}", status, 0, installation.problems_after(wine), seconds)
        runs["floor"].append(seconds)
        runs["flush"].append(flush_milliseconds((work / "floor.out").read_text(errors="replace")))
    return runs


def check(what, status, expected, problems, seconds):
    if status != expected & 0xFF:
        problems.insert(0, f"exit status {status}, expected {expected & 0xFF} (code {expected})")
    if problems:
        raise RuntimeError(f"{what} did not do its work:\n  " + "\n  ".join(problems))
    print(f"wine bench: {what}: {seconds:.2f} s, everything removed", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default=str(chosen_windows_build()), help="the Windows build tree")
    parser.add_argument("--work", default=str(ROOT / "build" / "bench-wine"))
    parser.add_argument("--files", type=int, default=20000)
    parser.add_argument("--folders", type=int, default=500)
    parser.add_argument("--keys", type=int, default=2000)
    parser.add_argument("--shared", type=int, default=200)
    parser.add_argument("--shortcuts", type=int, default=50)
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--all-cpus", action="store_true", help="do not keep Wine on one CPU")
    options = parser.parse_args()
    if not options.all_cpus:
        # Every Wine call is a round trip to its server. On a virtual machine, waking a process on
        # the other CPU can cost ten times a wake-up on the same one, and that cost changes from
        # second to second with the host's load: on one CPU the runs can be compared.
        os.sched_setaffinity(0, {max(os.sched_getaffinity(0))})
    installation = Installation(options.files, options.folders, options.keys, options.shared, options.shortcuts)
    small = Installation(**SMALL)
    session = Session(options.work, options.build)
    print(f"wine bench: {installation.describe()}; on CPUs {sorted(os.sched_getaffinity(0))}")
    try:
        print(f"wine bench: prefix ready in {session.set_up('nt'):.1f} s", flush=True)
        runs = measure(session, installation, options.repeat)
        print(f"wine bench: small installation: {small.describe()}", flush=True)
        small_runs = measure(session, small, options.repeat, "small ", logged=True)
    finally:
        session.tear_down()

    results = {"build": f"build/{session.windows_build.name} in a {session.arch()} prefix",
               "size": session.program().stat().st_size}
    for name, laid, measured in (("large", installation, runs), ("small", small, small_runs)):
        uninst, floor = statistics.median(measured["uninst"]), statistics.median(measured["floor"])
        copy = statistics.median(measured["copy"]) if measured["copy"] else None
        flush = statistics.median(measured["flush"])
        print(f"{name}: {laid.describe()}")
        print(f"  uninst.exe /VERYSILENT /WAIT: median {uninst:.2f} s of {len(measured['uninst'])} runs" +
              (f" (with /LOG: the working copy, first log line to last: {copy:.3f} s)" if copy is not None else ""))
        print(f"  floor.exe: median {floor:.2f} s; ratio (nothing subtracted): {uninst / floor:.2f}")
        print(f"  flushes ({len(FLUSHES)} RegFlushKey calls, timed in floor.exe): median {flush:.3f} ms, "
              f"{100 * flush / 1000 / uninst:.3f} % of uninst.exe's run")
        results[name] = {"installation": laid.describe(), "runs": measured, "uninst": uninst, "floor": floor,
                         "copy": copy, "ratio": uninst / floor, "flush": flush}
    print(f"wine bench: {session.program()}: {results['size']} bytes")
    (session.work_dir / "results.json").write_text(json.dumps(results, indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
