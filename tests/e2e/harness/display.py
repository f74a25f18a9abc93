"""A headless X display for Wine's windows."""

import os
import signal
import subprocess


def start_xvfb(log_path):
    """Starts Xvfb on a display it picks itself; returns (display, pid)."""
    read_end, write_end = os.pipe()
    with open(log_path, "ab") as log:
        process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=log, stderr=log, start_new_session=True)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        number = reader.readline().strip()
    if not number:
        process.kill()
        raise RuntimeError(f"Xvfb did not start; see {log_path}")
    return f":{number}", process.pid


def stop_xvfb(pid):
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass


def display_works(display):
    """True when an X server answers on the display."""
    try:
        return subprocess.run(["xdotool", "getdisplaygeometry"], env={**os.environ, "DISPLAY": display},
                              capture_output=True, timeout=10).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False


def screenshot(display, path):
    subprocess.run(["import", "-window", "root", str(path)], env={**os.environ, "DISPLAY": display},
                   capture_output=True, timeout=30)
