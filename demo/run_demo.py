"""Lays the sample installation into its own prefix, shows it, removes it with uninst.exe while
taking screenshots, and shows what is left."""

import argparse
import os
import pathlib
import sys

from pellitor_demo import DEMO, HELPER_LOG, REGISTRY_SHOWN, SHARED, WATCHED_FOLDERS

from harness import display
from harness.layout import lay_out
from harness.runner import Runner, Screenshots
from harness.session import Session, chosen_windows_build

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
    for key, value, note in REGISTRY_SHOWN:
        shown = key + (f" [{value}]" if value else "")
        state = "present" if wine.reg_query(key, value) is not None else "(gone)"
        print(f"{shown}: {state}" + (f"  ({note})" if note else ""))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=str(chosen_windows_build()), help="the Windows build tree")
    session = Session(WORK, parser.parse_args().build)
    user_display = os.environ.get("DISPLAY")
    if user_display and display.display_works(user_display):
        session.use_display(user_display)
        print(f"demo: on your display {user_display}")
    else:
        print("demo: no usable display, running headless under Xvfb; the driver answers the dialogs")
    print(f"demo: prefix ready in {session.set_up('nt'):.1f} s")
    # Wine passes the environment on to the uninstaller and from it to what it starts.
    os.environ["RECORDER_LOG"] = HELPER_LOG
    runner = Runner(session, "nt")
    shots = Screenshots(session, WORK / "nt" / "scenarios" / DEMO.name)

    log = runner.wine.unix_path(HELPER_LOG)
    log.parent.mkdir(parents=True, exist_ok=True)
    log.unlink(missing_ok=True)
    lay_out(runner.wine, session, DEMO)
    show(runner.wine, "before")
    result = runner.run(DEMO, on_window=shots)
    first = result.first_instance()
    print(f"\nuninst.exe exit code: {first.exit_code if first else 'unknown'}")
    print("windows seen:")
    for window in result.transcript.windows:
        print(f"    {window.describe()}")
    print(f"what the programs and the module recorded before they were deleted ({HELPER_LOG}):")
    log = runner.wine.unix_path(HELPER_LOG)
    for line in (log.read_bytes().decode("cp1252").splitlines() if log.exists() else ["(nothing)"]):
        print(f"    {line}")
    show(runner.wine, "after")
    for name in sorted(shots.taken):
        print(f"screenshot of the {name}: {shots.work / (name + '.png')}")
    session.tear_down()
    return 0


if __name__ == "__main__":
    sys.exit(main())
