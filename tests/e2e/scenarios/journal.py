"""Nothing left behind and safe to repeat: a completed run and a restart give back the prefix as it
was before the installation, and a run ended from outside at a question, then started again,
lowers each shared count once."""

import difflib
import os
import re
import threading
import time

from harness.runner import windows_path_of
from harness.scenario import Expect, File, Key, Record, Restart, Scenario

from .common import EXIT_COMPLETED, WOW64, setup_inf
from .components import SHARED_DLLS, count_is, dword

UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
EXPORTED_TREES = (r"HKEY_LOCAL_MACHINE\SOFTWARE", r"HKEY_CURRENT_USER\Software",
                  r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager")
# Wine's own trace of the restart that processed WININIT.INI.
WINE_OWN = re.compile(r"windows/wininit\.bak$", re.I)
# WININIT.INI deletes files only: on the 9x family the working copy's empty private folder stays.
PRIVATE_FOLDER = re.compile(r"users/[^/]+/Temp/~UN[0-9A-F]{4}/$", re.I)


def picture(wine, work):
    """Every file and folder of drive C (a file with its size) and the registry trees that an
    installation touches, as regedit exports them."""
    lines = []
    for top, folders, files in os.walk(wine.drive_c, followlinks=False):
        relative = os.path.relpath(top, wine.drive_c)
        for name in sorted(folders):
            lines.append(os.path.join(relative, name) + "/")
        for name in sorted(files):
            path = os.path.join(top, name)
            entry = os.path.normpath(os.path.join(relative, name))
            if not WINE_OWN.search(entry):
                lines.append(f"{entry} {os.lstat(path).st_size}")
    lines.sort()
    for number, tree in enumerate(EXPORTED_TREES):
        exported = work / f"export-{number}.reg"
        wine.run("regedit", "/E", windows_path_of(exported), tree)
        lines += exported.read_bytes().decode("utf-16", errors="replace").splitlines()
        exported.unlink()
    return lines


BEFORE_AFTER = r"C:\E2E\BeforeAfter"
BEFORE_AFTER_APP = BEFORE_AFTER + r"\App"
BEFORE_AFTER_COMMON = BEFORE_AFTER + r"\Common"
BEFORE_AFTER_MENU = BEFORE_AFTER + r"\Menu"


class BeforeAndAfter:
    """Pictures the prefix before the installation is laid, and compares after the restart."""

    def __init__(self):
        self.before = {}

    def take_before(self, wine, session):
        # What any machine has: the folder the installation goes into and the key of shared
        # counts. A restart first, so that what earlier scenarios queued for it is done.
        wine.unix_path(BEFORE_AFTER).mkdir(parents=True, exist_ok=True)
        wine.run(wine.tool("reg"), "add", SHARED_DLLS, "/f")
        wine.restart()
        self.before[str(wine.prefix)] = picture(wine, wine.prefix.parent)

    def compare(self, result):
        after = picture(result.wine, result.work)
        before = self.before.get(str(result.wine.prefix))
        if before is None:
            return ["no picture was taken before the installation"]
        if result.family == "9x":
            added = set(after) - set(before)
            after = [line for line in after if not (line in added and PRIVATE_FOLDER.fullmatch(line))]
        if after == before:
            return []
        diff = list(difflib.unified_diff(before, after, "before", "after", lineterm="", n=1))
        return ["the prefix differs from before the installation:"] + diff[:80]


_before_and_after = BeforeAndAfter()

BEFORE_AFTER_INF = setup_inf(
    "E2E BeforeAfter",
    [r"%apppath%\app.exe", r"%apppath%\DATA\CACHE\cache.dat", r"%apppath%\HELP\app.hlp", r"%appcommon%\LIB\core.dll"],
    extra="\n".join([
        "", "[SharedComponents]", "on",
        "[UnInstall.Shared]", r"%appcommon%\BASHARED.DLL",
        "[RegistryKeys]",
        r"HKLM\SOFTWARE\E2E BeforeAfter\Settings=Size=1",
        r"HKLM\SOFTWARE\E2E BeforeAfter=Version=1",
        r"HKCU\Software\E2E BeforeAfter=Last=1",
        r"HKCR\E2E.BeforeAfter.Document=x=1",
        "[AddShortcut]", "x,y,BeforeAfter.lnk", ""]))

STOPPED = r"C:\E2E\Stopped"
STOPPED_FIRST = STOPPED + r"\SHARED\FIRST.DLL"
STOPPED_SECOND = STOPPED + r"\SHARED\SECOND.DLL"
STOPPED_INF = setup_inf(
    "E2E Stopped", [r"%apppath%\app.exe"],
    extra="\n".join(["", "[SharedComponents]", "on",
                     "[UnInstall.Shared]", STOPPED_FIRST, STOPPED_SECOND, ""]))
QUESTION = "now has a reference count of zero"


def kill_at_question(scenario_name):
    """A watcher that ends the working copy from outside, as Task Manager would, once the
    driver holds the shared-file question."""
    def start(wine, session):
        family = wine.prefix.parent.name
        log = session.work_dir / family / "scenarios" / scenario_name / "driver.log"

        def watch():
            deadline = time.monotonic() + 60
            while time.monotonic() < deadline:
                text = log.read_text(errors="replace") if log.exists() else ""
                asked = text.find(QUESTION)
                if asked >= 0 and "SHOT" in text[asked:]:
                    for pid, image in re.findall(r"^PROCESS (\d+) (.*~UN[0-9A-F]+\.tmp)$", text, re.I | re.M):
                        wine.run("taskkill", "/F", "/PID", pid, check=False)
                    return
                time.sleep(0.1)

        threading.Thread(target=watch, daemon=True).start()
    return start


def started_again_silently(result):
    """The user starts the uninstaller once more; it runs to its end without a window."""
    wine = result.wine
    if wine.exists(STOPPED_SECOND) and dword(result, SHARED_DLLS, STOPPED_FIRST) != 1:
        return [f"the first run did not lower the first count before the stop: "
                f"{dword(result, SHARED_DLLS, STOPPED_FIRST)}"]
    if not wine.exists(r"C:\E2E\Stopped\UNINST\uninst.exe"):
        return ["the stopped run left no uninstaller to start again"]
    wine.run(r"C:\E2E\Stopped\UNINST\uninst.exe", "/SILENT", "/WAIT", timeout=120, check=False)
    return []


def gone(*paths):
    def check(result):
        return [f"still there afterwards: {path}" for path in paths if result.wine.exists(path)]
    return check


def key_gone(key):
    def check(result):
        return [] if result.wine.reg_query(key) is None else [f"registry: {key} still there"]
    return check


SCENARIOS = [
    Scenario(
        name="before_and_after",
        app_name="E2E BeforeAfter", app_folder=BEFORE_AFTER_APP, families=("nt", "9x", *WOW64),
        setup_inf=BEFORE_AFTER_INF,
        files={
            BEFORE_AFTER_APP + r"\app.exe": File("app"),
            BEFORE_AFTER_APP + r"\DATA\CACHE\cache.dat": File("cache"),
            BEFORE_AFTER_APP + r"\HELP\app.hlp": File("help"),
            BEFORE_AFTER_APP + r"\HELP\APP.GID": File("index"),
            BEFORE_AFTER_COMMON + r"\LIB\core.dll": File("core"),
            BEFORE_AFTER_COMMON + r"\BASHARED.DLL": File("shared"),
            BEFORE_AFTER_MENU + r"\BeforeAfter.lnk": File("link"),
            BEFORE_AFTER_MENU + r"\Un-Install.LNK": File("link"),
        },
        record=Record(start_menu_folder=BEFORE_AFTER_MENU, app_common=BEFORE_AFTER_COMMON),
        shared_counts={BEFORE_AFTER_COMMON + r"\BASHARED.DLL": 1},
        keys=(Key(r"HKLM\SOFTWARE\E2E BeforeAfter\Settings", {"Size": 1}),
              Key(r"HKLM\SOFTWARE\E2E BeforeAfter", {"Version": "1"}),
              Key(r"HKCU\Software\E2E BeforeAfter", {"Last": "1"}),
              Key(r"HKCR\E2E.BeforeAfter.Document", {"": "document"}),
              Key(UNINSTALL_KEY + r"\E2E BeforeAfter", {"DisplayName": "E2E BeforeAfter"})),
        answers=("click 1 once E2E BeforeAfter Un-Install",),
        before_layout=(_before_and_after.take_before,),
        expect=Expect(exit_code=EXIT_COMPLETED, absent=(BEFORE_AFTER_APP, BEFORE_AFTER_COMMON, BEFORE_AFTER_MENU),
                      keys_absent=(r"HKLM\SOFTWARE\Tallowmere\UNINST\E2E BeforeAfter",)),
        restart=Restart(checks=(_before_and_after.compare,)),
        timeout=120,
    ),
    Scenario(
        name="stopped_at_a_question_and_run_again",
        app_name="E2E Stopped", app_folder=STOPPED, families=("nt", "9x", *WOW64),
        setup_inf=STOPPED_INF,
        files={STOPPED + r"\app.exe": File("app"), STOPPED_FIRST: File("first"), STOPPED_SECOND: File("second")},
        # The first file is shared with another application; the second only with this one.
        shared_counts={STOPPED_FIRST: 2, STOPPED_SECOND: 1},
        prepare=(kill_at_question("stopped_at_a_question_and_run_again"),),
        answers=("click 1 once E2E Stopped Un-Install", f"shoot 20000 {QUESTION}"),
        # Checked in this order: the second run happens inside the first check. Silent, it
        # answers No to the question it meets again, so the second count stays at zero.
        expect=Expect(checks=(started_again_silently, count_is(STOPPED_FIRST, 1), count_is(STOPPED_SECOND, 0),
                              gone(STOPPED + r"\app.exe", STOPPED + r"\UNINST\SETUP.INF"),
                              key_gone(r"HKLM\SOFTWARE\Tallowmere\UNINST\E2E Stopped")),
                      present=(STOPPED_FIRST, STOPPED_SECOND)),
        # With /WAIT the caller still runs from the installed uninstaller: it goes at the restart.
        restart=Restart(gone=(STOPPED + r"\UNINST\uninst.exe",)),
        timeout=120,
    ),
]
