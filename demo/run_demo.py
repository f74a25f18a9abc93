"""Lays the sample installation into its own prefix, shows it, removes it with uninst.exe while
taking screenshots, and shows what is left."""

import argparse
import os
import pathlib
import sys

from pellitor_demo import DEMO, REGISTRY_SHOWN, SHARED, WATCHED_FOLDERS

from harness import display
from harness.layout import lay_out
from harness.runner import Runner
from harness.session import Session
from harness.transcript import unescape

ROOT = pathlib.Path(__file__).resolve().parent.parent
WORK = ROOT / "build" / "demo"


def show(wine, heading):
    print(f"\n===== {heading} =====")
    for folder in WATCHED_FOLDERS + (SHARED,):
        path = wine.unix_path(folder)
        entries = sorted(p for p in path.rglob("*")) if path.is_dir() else ([path] if path.exists() else [])
        print(f"{folder}: {'(gone)' if not path.exists() else ''}")
        for entry in entries:
            print(f"    {entry.relative_to(wine.drive_c)}")
    for key in REGISTRY_SHOWN:
        print(f"{key}: {'present' if wine.reg_query(key) is not None else '(gone)'}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=str(ROOT / "build" / "win64"), help="the Windows build tree")
    session = Session(WORK, parser.parse_args().build)
    user_display = os.environ.get("DISPLAY")
    if user_display and display.display_works(user_display):
        session.use_display(user_display)
        print(f"demo: on your display {user_display}")
    else:
        print("demo: no usable display, running headless under Xvfb; the driver answers the dialogs")
    print(f"demo: prefix ready in {session.set_up('nt'):.1f} s")
    runner = Runner(session, "nt")
    shots = {}

    def on_line(line):
        tag, _, rest = line.partition(" ")
        if tag == "SHOT":
            shots["confirmation"] = WORK / "confirmation.png"
            display.screenshot(session.display(), shots["confirmation"])
        elif tag == "WINDOW" and unescape(rest).endswith(" SETUP Progress"):
            shots["progress"] = WORK / "progress.png"
            display.screenshot(session.display(), shots["progress"])

    lay_out(runner.wine, session, DEMO)
    show(runner.wine, "before")
    result = runner.run(DEMO, on_window=on_line)
    first = result.first_instance()
    print(f"\nuninst.exe exit code: {first.exit_code if first else 'unknown'}")
    print("windows seen:")
    for window in result.transcript.windows:
        print(f"    {window.describe()}")
    show(runner.wine, "after")
    for name, path in shots.items():
        print(f"screenshot of the {name}: {path}")
    session.tear_down()
    return 0


if __name__ == "__main__":
    sys.exit(main())
