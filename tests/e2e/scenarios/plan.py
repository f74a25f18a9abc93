"""The dry run: `/PLAN /LOG=` on a full installation changes nothing, starts and loads nothing,
and names exactly the items that the real run on the same installation then reports in its log."""

import hashlib
import os
import re
import stat

from harness.scenario import Expect, File, Key, Record, Scenario

from .common import EXIT_COMPLETED, EXIT_STOPPED, no_working_copy, setup_inf

APP = r"C:\E2E\Plan"
TOOLS = r"C:\E2E\Plan Tools"
SHARED = r"C:\E2E\Plan Shared"
MENU = r"C:\E2E\Plan Menu"
LOGS = r"C:\E2ELogs"
PLAN_LOG = LOGS + r"\plan.log"
REAL_LOG = LOGS + r"\real.log"
SHARED_DLLS = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs"
UNINSTALL_ENTRY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\E2E Plan"
# Trees whose export, with the files of drive C, pictures everything a run can change.
EXPORTED = (r"HKEY_LOCAL_MACHINE\SOFTWARE", r"HKEY_CURRENT_USER\Software",
            r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager")

PLAN_INF = setup_inf(
    "E2E Plan",
    [r"%apppath%\a.txt", r"%apppath%\ro.txt", r"%apppath%\sub\deep\b.txt", r"%apppath%\HELP\TOOL.HLP",
     r"%apppath%\missing.txt"],
    extra="\n".join([
        "", "[ExecuteOnUninstall]", TOOLS + r"\recorder.exe,0 1",
        "", "[RegisterControl]", TOOLS + r"\unreg_ok.dll",
        "", "[SharedComponents]", "shared",
        "", "[UnInstall.Shared]", SHARED + r"\two.dll", SHARED + r"\one.dll",
        "", "[RegistryKeys]",
        r"HKLM\SOFTWARE\E2E Plan\Settings=Size=1", r"HKLM\SOFTWARE\E2E Plan=@=x",
        r"HKCU\Software\E2E Plan\Window=X=1", r"HKCR\E2EPlan.Document=@=Plan",
        r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run=E2E Plan=x",
        "", "[AddShortcut]", "x,y,Plan.lnk", ""]))

# What the plan must name, whatever else it names.
NAMED = (
    "file " + APP + r"\ro.txt", "file " + APP + r"\sub\deep\b.txt", "file " + APP + r"\HELP\TOOL.GID",
    "file " + APP + r"\UNINST\uninst.exe", "file " + APP + r"\UNINST\SETUP.INF", "file " + SHARED + r"\one.dll",
    "file " + MENU + r"\Plan.lnk", "file " + MENU + r"\Un-Install.LNK",
    "folder " + APP + r"\sub\deep", "folder " + MENU,
    r"key HKLM\SOFTWARE\E2E Plan\Settings", r"key HKLM\SOFTWARE\E2E Plan", r"key HKCU\Software\E2E Plan\Window",
    r"key HKCR\E2EPlan.Document", "key " + UNINSTALL_ENTRY + r"\Extra", "key " + UNINSTALL_ENTRY,
    r"value HKCU\Software\Microsoft\Windows\CurrentVersion\Run value 'E2E Plan'",
    f"value {SHARED_DLLS} value '{SHARED}\\two.dll'", f"value {SHARED_DLLS} value '{SHARED}\\one.dll'",
)

PLAN_VERBS = {"delete file": "file", "remove folder": "folder", "delete registry key": "key",
              "set registry value": "value", "delete registry value": "value",
              "delete at the next restart": "restart"}
LOG_EVENTS = {"file deleted": "file", "folder removed": "folder", "registry key removed": "key",
              "uninstall entry removed": "key", "registry value removed (shared key kept)": "value",
              "emptied key removed": "key", "scheduled for deletion at restart": "restart"}


def item(kind, name):
    # The working copy's unique number is known only once the system has made its file, and
    # the private folder's is drawn at random by the real run.
    name = re.sub(r"~UN[0-9A-Fa-fx]+\.tmp", "~UN.tmp", name)
    return (kind + " " + re.sub(r"\\~UN[0-9A-Fa-f]{4}(?=\\|$)", r"\\~UN", name)).lower()


def journal_item(app_name):
    """Where the run's journal is kept: values of the record, which goes at the end with them."""
    return item("value", rf"HKLM\SOFTWARE\Tallowmere\UNINST\{app_name} value 'Uninstall.")


def planned_items(plan):
    """The items of the plan's lines that would change the machine."""
    items = set()
    for line in plan.splitlines():
        found = re.match(r"\* ([a-z ]+): (.*?)(?: \((.*)\))?(?: -> (.*))?$", line)
        if not found:
            continue
        verb, name, _, detail = found.groups()
        if verb in PLAN_VERBS:
            items.add(item(PLAN_VERBS[verb], name))
        elif verb == "write file" and detail and detail.startswith("adds "):
            for added in detail[len("adds "):].split("; "):
                if added.startswith("NUL="):
                    items.add(item("restart", added[len("NUL="):]))
    return items


def logged_items(log):
    """The items that the real run's log reports as removed or changed."""
    items = set()
    for line in log.splitlines():
        event = line.split("] ", 1)[-1]
        name, _, rest = event.partition(": ")
        if name in LOG_EVENTS:
            items.add(item(LOG_EVENTS[name], rest))
            continue
        shared = re.match(r"shared file (.*): count (\d+) -> (\d+), (.*)$", event)
        if shared and (shared.group(2) != shared.group(3) or "value deleted" in shared.group(4)):
            items.add(item("value", f"{SHARED_DLLS} value '{shared.group(1)}'"))
    return items


def file_line(path, root):
    r"""A file or folder of drive C: its name, size, permissions (read-only is a missing write
    bit) and the DOS attributes that Wine keeps beside it; under C:\E2E, where the installations
    lie, its contents too."""
    name = path.relative_to(root)
    status = path.lstat()
    try:
        attributes = os.getxattr(path, "user.DOSATTRIB", follow_symlinks=False).decode(errors="replace")
    except OSError:
        attributes = "-"
    line = f"{str(name).lower()} {oct(stat.S_IMODE(status.st_mode))} {attributes}"
    if stat.S_ISDIR(status.st_mode):
        return line + " dir"
    line += f" {status.st_size}"
    if stat.S_ISREG(status.st_mode) and name.parts[0].lower() == "e2e":
        line += " " + hashlib.sha256(path.read_bytes()).hexdigest()
    return line


def picture(wine):
    """Every file and folder of drive C but the logs, and the registry trees a run can touch."""
    files = sorted(file_line(p, wine.drive_c) for p in wine.drive_c.rglob("*")
                   if p.relative_to(wine.drive_c).parts[0].lower() != "e2elogs")
    exports = []
    for tree in EXPORTED:
        wine.run("regedit", "/E", r"C:\e2e\picture.reg", tree)
        target = wine.drive_c / "e2e" / "picture.reg"
        exports.append(target.read_bytes().decode("utf-16", errors="replace"))
        target.unlink()
    return files, exports


def differences(before, after):
    lines = []
    for label, old, new in (("file", before[0], after[0]),
                            ("registry", "\n".join(before[1]).splitlines(), "\n".join(after[1]).splitlines())):
        old_set, new_set = set(old), set(new)
        lines += [f"{label} gone: {x}" for x in sorted(old_set - new_set)[:20]]
        lines += [f"{label} new: {x}" for x in sorted(new_set - old_set)[:20]]
    return lines


class PlanFirst:
    """Runs `/PLAN /LOG=` before a scenario's real run, holds what it found, and then compares the
    plan with the real run's log: `named` items must be planned, and `marks` are files that the
    programs and modules which the real run starts leave, and the plan must not."""

    def __init__(self, app_folder, app_name, plan_log, real_log, named, marks=()):
        self.app_folder, self.app_name = app_folder, app_name
        self.plan_log, self.real_log, self.named, self.marks = plan_log, real_log, named, marks
        self.problems, self.plan = [], ""

    def __call__(self, wine, session):
        self.problems, self.plan = [], ""
        (wine.drive_c / "e2e").mkdir(exist_ok=True)
        for log in (self.plan_log, self.real_log):
            wine.unix_path(log).parent.mkdir(parents=True, exist_ok=True)
            wine.unix_path(log).unlink(missing_ok=True)
        for mark in self.marks:
            wine.unix_path(mark).unlink(missing_ok=True)
        before = picture(wine)
        uninst = self.app_folder + r"\UNINST\uninst.exe"
        status = wine.run(uninst, "/PLAN", "/LOG=" + self.plan_log, cwd=wine.unix_path(uninst).parent,
                          check=False, timeout=120).returncode
        if status != 0:
            self.problems.append(f"/PLAN ended with status {status}, expected 0")
        self.problems += ["the plan changed the machine: " + line for line in differences(before, picture(wine))]
        for mark in self.marks:
            if wine.exists(mark):
                self.problems.append(f"the plan left a program's or module's mark: {mark}")
        self.plan = read_log(wine, self.plan_log)

    def check(self, result):
        problems = list(self.problems)
        if "UNINSTALL PLAN" not in self.plan:
            return problems + [f"no plan in {self.plan_log}: {self.plan!r}"]
        journal = journal_item(self.app_name)
        planned = {x for x in planned_items(self.plan) if not x.startswith(journal)}
        problems += [f"the plan does not name {x}" for x in self.named if item(*x.split(" ", 1)) not in planned]
        if not any(x.startswith("restart ") for x in planned):
            problems.append("the plan does not name the working copy's deletion at restart")
        logged = logged_items(read_log(result.wine, self.real_log))
        problems += [f"planned but not in the real run's log: {x}" for x in sorted(planned - logged)]
        problems += [f"in the real run's log but not planned: {x}" for x in sorted(logged - planned)]
        for mark in self.marks:
            if not result.wine.exists(mark):
                problems.append(f"the real run left no mark at {mark}")
        if problems:
            problems.append("--- plan ---\n" + self.plan)
        return problems


def read_log(wine, path):
    """A log or plan in the prefix's code page; bytes that are no character of it show as \\x.."""
    unix = wine.unix_path(path)
    return unix.read_bytes().decode(wine.encoding, errors="backslashreplace") if unix.exists() else ""


PLAN_FIRST = PlanFirst(APP, "E2E Plan", PLAN_LOG, REAL_LOG, NAMED,
                       marks=(TOOLS + r"\recorder.log", TOOLS + r"\unreg_ok.log"))


def plan_in_temp(*needles):
    """The plan file of the temporary folder holds each needle, and no viewer was started."""
    def check(result):
        path = result.wine.temp_dir() + r"\UNINST PLAN.txt"
        plan = result.wine.unix_path(path)
        text = plan.read_bytes().decode("cp1252") if plan.exists() else ""
        problems = [f"{path} lacks {n!r}: {text!r}" for n in needles if n not in text]
        viewers = result.transcript.programs(lambda image: "notepad" in image.lower() or "winebrowser" in image.lower())
        problems += [f"a viewer was started: {p.image}" for p in viewers]
        if plan.exists():
            plan.unlink()
        return problems
    return check

SCENARIOS = [
    Scenario(
        name="plan_names_what_the_run_changes",
        app_name="E2E Plan", app_folder=APP, setup_inf=PLAN_INF,
        files={APP + r"\a.txt": File("a"), APP + r"\ro.txt": File("r", readonly=True),
               APP + r"\sub\deep\b.txt": File("b"), APP + r"\HELP\TOOL.HLP": File("h"),
               APP + r"\HELP\TOOL.GID": File("g"), SHARED + r"\two.dll": File(b"MZ two"),
               SHARED + r"\one.dll": File(b"MZ one"), MENU + r"\Plan.lnk": File("l"),
               MENU + r"\Un-Install.LNK": File("u")},
        helpers={TOOLS + r"\recorder.exe": "recorder.exe", TOOLS + r"\unreg_ok.dll": "unreg_ok.dll"},
        record=Record(start_menu_folder=MENU),
        shared_counts={SHARED + r"\two.dll": 2, SHARED + r"\one.dll": 1},
        keys=(Key(r"HKLM\SOFTWARE\E2E Plan\Settings", {"Size": "1"}), Key(r"HKLM\SOFTWARE\E2E Plan", {"": "x"}),
              Key(r"HKCU\Software\E2E Plan\Window", {"X": "1"}), Key(r"HKCR\E2EPlan.Document", {"": "Plan"}),
              Key(r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run", {"E2E Plan": "x"}),
              Key(UNINSTALL_ENTRY, {"DisplayName": "E2E Plan"}), Key(UNINSTALL_ENTRY + r"\Extra", {"A": "1"})),
        prepare=(PLAN_FIRST,),
        arguments=("/LOG=" + REAL_LOG,),
        # The real run takes the answers that the plan follows: Un-Install, and Yes to the zero count.
        answers=("click 1 once E2E Plan Un-Install",),
        timeout=150,
        expect=Expect(exit_code=EXIT_COMPLETED, checks=(PLAN_FIRST.check,)),
    ),
    Scenario(
        name="plan_silent_goes_to_the_temporary_folder",
        app_name="E2E Quiet Plan", app_folder=r"C:\E2E\QuietPlan",
        setup_inf=setup_inf("E2E Quiet Plan", [r"%apppath%\keep.txt"]),
        files={r"C:\E2E\QuietPlan\keep.txt": File("kept")},
        arguments=("/PLAN", "/VERYSILENT"),
        expect=Expect(exit_code=EXIT_COMPLETED, present=(r"C:\E2E\QuietPlan\keep.txt",
                                                         r"C:\E2E\QuietPlan\UNINST\uninst.exe"),
                      checks=(no_working_copy, plan_in_temp("* delete file: C:\\E2E\\QuietPlan\\keep.txt (exists)",
                                                            "Exit code of this plan: 0"))),
    ),
    Scenario(
        name="plan_of_a_run_that_would_stop",
        app_name="E2E Stop Plan", app_folder=r"C:\E2E\StopPlan",
        setup_inf=setup_inf("E2E Stop Plan", []),
        arguments=("/PLAN", "/S"),
        expect=Expect(exit_code=EXIT_STOPPED, checks=(no_working_copy, plan_in_temp(
            "no files listed in 'Uninstall' section", "Exit code of this plan: 1603"))),
    ),
]
