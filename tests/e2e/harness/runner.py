"""Runs one scenario in one family's prefix and checks what it declared."""

import ntpath
import pathlib
import re
import shutil
import subprocess
import time

from . import display
from .driver_text import answer_line
from .layout import lay_out
from .transcript import Transcript

STOP_GRACE = 15


class ScenarioFailed(AssertionError):
    pass


def windows_path_of(unix_path):
    """Wine maps drive Z: to the Unix root."""
    return "Z:" + str(pathlib.Path(unix_path).resolve()).replace("/", "\\")


def is_scenario_program(image):
    """Anything but Wine's own services: the uninstaller's instances and what they start."""
    return not image.lower().startswith("c:\\windows\\")


class Result:
    """What a run left behind, for the checks."""

    def __init__(self, scenario, family, wine, status, transcript, new_copies, work):
        self.scenario, self.family, self.wine = scenario, family, wine
        self.status, self.transcript, self.new_copies, self.work = status, transcript, new_copies, work

    def first_instance(self):
        started = self.scenario.started_program.lower()
        found = [p for p in self.transcript.processes.values() if p.image.lower() == started]
        return found[0] if found else None

    def working_copies(self):
        return self.transcript.programs(lambda image: re.search(r"\\~UN[0-9A-F]+\.tmp$", image, re.I))

    def temp_title(self):
        """The caption that the working copy's message boxes carry."""
        copies = self.working_copies()
        return ntpath.splitext(ntpath.basename(copies[0].image))[0] if copies else None


def _matches(expected, actual):
    if isinstance(expected, re.Pattern):
        return expected.fullmatch(actual) is not None
    return expected == actual


def _window_matches(expected, seen):
    return (_matches(expected.caption, seen.caption)
            and all(text in seen.texts.values() for text in expected.texts)
            and all(seen.buttons.get(i) == t for i, t in expected.buttons.items()))


def _check_in_order(expected_items, seen_items, matches, what, problems):
    position = 0
    for expected in expected_items:
        while position < len(seen_items) and not matches(expected, seen_items[position]):
            position += 1
        if position == len(seen_items):
            problems.append(f"{what} not seen (in order): {expected!r}")
            return
        position += 1


def check_expectations(result):
    expect, wine, problems = result.scenario.expect, result.wine, []
    transcript = result.transcript
    first = result.first_instance()
    if expect.exit_code is not None:
        code = first.exit_code if first else None
        if first is None and result.status is not None:
            pass  # the driver missed the process: Wine's status below is all there is
        elif code != expect.exit_code:
            problems.append(f"first instance exit code {code}, expected {expect.exit_code}")
        if result.status != expect.exit_code & 0xFF:
            problems.append(f"wine's exit status {result.status}, expected {expect.exit_code & 0xFF}")
    if expect.copy_exit_code is not None:
        codes = [p.exit_code for p in result.working_copies()]
        if codes != [expect.copy_exit_code]:
            problems.append(f"working copy exit codes {codes}, expected [{expect.copy_exit_code}]")
    _check_in_order(expect.windows, transcript.windows, _window_matches, "window", problems)
    for text in expect.no_window:
        for seen in transcript.windows:
            if any(_matches(text, shown) for shown in (seen.caption, *seen.texts.values())):
                problems.append(f"unexpected window: {seen.describe()}")
    _check_in_order(expect.statuses, transcript.statuses, _matches, "status", problems)
    for path in expect.present:
        if not wine.exists(path):
            problems.append(f"missing afterwards: {path}")
    for path in expect.absent:
        if wine.exists(path):
            problems.append(f"still there afterwards: {path}")
    for item in expect.keys_present:
        key, value = item if isinstance(item, tuple) else (item, None)
        if wine.reg_query(key, value) is None:
            problems.append(f"registry: {item!r} missing")
    for item in expect.keys_absent:
        key, value = item if isinstance(item, tuple) else (item, None)
        if wine.reg_query(key, value) is not None:
            problems.append(f"registry: {item!r} still there")
    for check in expect.checks:
        problems += check(result) or []
    return problems


class Runner:
    """wine, when given, runs the family's prefix with an environment of its own (a language)."""

    def __init__(self, session, family, wine=None):
        self.session, self.family = session, family
        self.wine = wine or session.wine(family)

    def _temp_copies(self):
        temp = self.wine.unix_path(self.wine.temp_dir())
        return {p.name for p in temp.glob("*")} if temp.exists() else set()

    def _answers_bytes(self, scenario):
        lines = [f"default {scenario.default_answer}", *scenario.answers]
        return b"".join(answer_line(line, self.wine.encoding) + b"\n" for line in lines)

    def _start_driver(self, work, scenario):
        log, stop = work / "driver.log", work / "stop"
        (work / "answers.txt").write_bytes(self._answers_bytes(scenario))
        driver = self.wine.start(
            windows_path_of(self.session.helper("driver.exe")),
            "--log", windows_path_of(log), "--answers", windows_path_of(work / "answers.txt"),
            "--stop", windows_path_of(stop), "--timeout", str(scenario.timeout * 1000 + 60000),
            stdout=open(work / "driver.out", "wb"))
        deadline = time.monotonic() + 60
        while not (log.exists() and "DRIVER started" in log.read_text(errors="replace")):
            if driver.poll() is not None or time.monotonic() > deadline:
                raise ScenarioFailed(f"the driver did not start; see {work / 'driver.out'}")
            time.sleep(0.05)
        return driver

    def _wait_for_programs(self, log, started, deadline, follow, process_ended):
        """The first instance may be released before the working copy ends: wait for all, and
        at least for the end of the one that was started."""
        # The driver logs a process within a poll or two; after this it has missed it.
        missed_after = time.monotonic() + 10
        while time.monotonic() < deadline:
            follow()
            transcript = Transcript(log.read_bytes(), self.wine.encoding)
            programs = transcript.programs(is_scenario_program)
            running = [p for p in programs if p.exit_code is None]
            seen = any(p.image.lower() == started.lower() for p in programs)
            if not running and seen:
                return True
            if not seen and time.monotonic() > missed_after:
                # A busy machine can hide a short-lived process from the driver's snapshots;
                # its end is then known from Wine alone, and the exit code checks fall back
                # to Wine's 8-bit status.
                return not running and process_ended()
            time.sleep(0.1)
        return False

    def run(self, scenario, on_window=None):
        """Lays out the scenario, runs it with the driver answering, returns a Result.
        on_window(line) is called for each transcript line while the run goes on."""
        work = self.session.work_dir / self.family / "scenarios" / scenario.name
        shutil.rmtree(work, ignore_errors=True)
        work.mkdir(parents=True)
        version = (scenario.version or {}).get(self.family)
        if version:
            self.wine.set_version(version)
        try:
            for step in scenario.before_layout:
                step(self.wine, self.session)
            lay_out(self.wine, self.session, scenario)
            for step in scenario.prepare:
                step(self.wine, self.session)
            before = self._temp_copies()
            driver = self._start_driver(work, scenario)
            log = work / "driver.log"
            program = self.wine.unix_path(scenario.started_program)
            deadline = time.monotonic() + scenario.timeout
            process = self.wine.start(scenario.started_program, *scenario.arguments,
                                      cwd=program.parent, stdout=open(work / "program.out", "wb"))
            seen_lines = 0

            def follow():
                nonlocal seen_lines
                if on_window:
                    lines = log.read_bytes().decode(self.wine.encoding, errors="replace").splitlines()
                    for line in lines[seen_lines:]:
                        on_window(line)
                    seen_lines = len(lines)

            while process.poll() is None and time.monotonic() < deadline:
                follow()
                time.sleep(0.05)
            timed_out = process.poll() is None
            if timed_out:
                process.kill()
            finished = (self._wait_for_programs(log, scenario.started_program, deadline, follow,
                                                lambda: process.poll() is not None)
                        and not timed_out)
            (work / "stop").touch()
            try:
                driver.wait(STOP_GRACE)
            except subprocess.TimeoutExpired:
                driver.kill()
            transcript = Transcript(log.read_bytes(), self.wine.encoding)
            new_copies = sorted(self._temp_copies() - before)
            result = Result(scenario, self.family, self.wine, process.returncode, transcript,
                            new_copies, work)
            if not finished:
                raise ScenarioFailed(f"the uninstaller did not end within {scenario.timeout} s, or the "
                                     f"driver did not see it end\n" + transcript.describe())
            return result
        finally:
            for step in scenario.restore:
                step(self.wine, self.session)
            if version:
                self.wine.restore_version()

    def run_and_check(self, scenario):
        started = time.monotonic()
        work = self.session.work_dir / self.family / "scenarios" / scenario.name
        shooter = Screenshots(self.session, work) if scenario.screenshots else None
        result = self.run(scenario, on_window=shooter)
        problems = check_expectations(result)
        if scenario.restart and not problems:
            self.wine.restart()
            for path in scenario.restart.gone:
                resolved = path(result) if callable(path) else path
                if resolved is None or self.wine.exists(resolved):
                    problems.append(f"still there after the restart: {resolved}")
            for check in scenario.restart.checks:
                problems += check(result) or []
        (result.work / "transcript.txt").write_text(result.transcript.describe())
        if problems:
            raise ScenarioFailed("\n".join(problems) + "\n--- driver transcript ---\n"
                                 + result.transcript.describe())
        return time.monotonic() - started


class Screenshots:
    """Takes the window that the driver holds its answer for (the confirmation dialog, or a message
    box as message.png), and the progress window when its bar first stands part-way along (a
    scenario holds it there with a slow program)."""

    def __init__(self, session, work):
        self.session, self.work, self.taken = session, work, set()
        self.message_box_shown = False

    def _shoot(self, name):
        if name not in self.taken:
            self.taken.add(name)
            display.screenshot(self.session.display(), self.work / f"{name}.png")

    def __call__(self, line):
        tag, _, rest = line.partition(" ")
        if tag == "WINDOW":
            self.message_box_shown = False
        elif tag == "TEXT" and rest.startswith("65535 "):
            self.message_box_shown = True
        elif tag == "SHOT":
            self._shoot("message" if self.message_box_shown else "confirmation")
        elif tag == "PERCENT" and rest.isdigit() and 0 < int(rest) < 100:
            # The run sets the next status right after the percentage: let it reach the screen.
            time.sleep(0.3)
            self._shoot("progress")
