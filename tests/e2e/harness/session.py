"""The state that the scenarios of one test run share: the display and one prefix per family.

The prefix fixture writes it; every scenario reads it; the clean-up fixture ends what it started.
"""

import json
import pathlib
import subprocess
import time

from . import display
from .families import FAMILIES
from .wine import Wine, can_run_32bit_linux_programs
from .wow64 import require_32bit

ROOT = pathlib.Path(__file__).resolve().parents[3]


def chosen_windows_build():
    """The shipped 32-bit build where this machine runs 32-bit Wine, else the x86-64 build."""
    chosen = subprocess.run(["bash", str(ROOT / "scripts" / "windows-build.sh")], check=True,
                            capture_output=True, text=True).stdout.strip()
    return ROOT / chosen


class Session:
    def __init__(self, work_dir, windows_build):
        self.work_dir = pathlib.Path(work_dir).resolve()  # Wine wants an absolute prefix
        self.windows_build = pathlib.Path(windows_build).resolve()
        self.state_file = self.work_dir / "session.json"

    def helper(self, name):
        path = self.windows_build / "tests" / "e2e" / "win32" / name
        if not path.is_file():
            raise FileNotFoundError(f"{path} is missing: build the Windows tree first")
        return path

    def program(self):
        path = self.windows_build / "uninst.exe"
        if not path.is_file():
            raise FileNotFoundError(f"{path} is missing: build the Windows tree first")
        return path

    def arch(self):
        return Wine.arch_of(self.helper("driver.exe"))

    def _state(self):
        if self.state_file.exists():
            return json.loads(self.state_file.read_text())
        return {}

    def _save(self, state):
        self.work_dir.mkdir(parents=True, exist_ok=True)
        self.state_file.write_text(json.dumps(state, indent=1))

    def use_display(self, name):
        state = self._state()
        state.update(display=name, xvfb_pid=None)
        self._save(state)

    def display(self):
        """The session's display, started on first use and kept for the whole run."""
        state = self._state()
        if state.get("display") and display.display_works(state["display"]):
            return state["display"]
        self.work_dir.mkdir(parents=True, exist_ok=True)
        name, pid = display.start_xvfb(self.work_dir / "xvfb.log")
        state.update(display=name, xvfb_pid=pid)
        self._save(state)
        return name

    def prefix_arch(self, family):
        return "win64" if FAMILIES[family].wow64 else self.arch()

    def wine(self, family):
        if FAMILIES[family].wow64:
            require_32bit(self.program())
        prefix = self.work_dir / FAMILIES[family].prefix_family / "prefix"
        return Wine(prefix, self.prefix_arch(family), self.display(), family)

    def set_up(self, family):
        started = time.monotonic()
        if self.arch() == "win32" and not FAMILIES[family].wow64 and not can_run_32bit_linux_programs():
            raise RuntimeError(
                "the Windows build is 32-bit, but this machine cannot execute Wine's 32-bit loader "
                "(i386 ELF programs fail with 'Exec format error'); point UNINST_E2E_WINDOWS_BUILD "
                "at an x86-64 build of the same sources")
        wine = self.wine(family)
        wine.create()
        return time.monotonic() - started

    def tear_down(self):
        state = self._state()
        for family in FAMILIES:
            if FAMILIES[family].prefix_of:
                continue
            prefix = self.work_dir / family / "prefix"
            if prefix.exists():
                Wine(prefix, self.prefix_arch(family), state.get("display", ""), family).kill_server()
        if state.get("xvfb_pid"):
            display.stop_xvfb(state["xvfb_pid"])
        self.state_file.unlink(missing_ok=True)
