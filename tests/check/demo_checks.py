"""The checker on demo/'s SETUP.INF: the host command, and the Windows program under Wine.

    demo_checks.py host --checker build/host/uninst-check --work DIR
    demo_checks.py wine --build build/win32 --work build/e2e --host-checker build/host/uninst-check

The host run must report no error, exit with 1 (the demo runs two programs by bare name) and
plan the removal of every file, key and shared count the demo installs. The Wine run, in the NT
prefix of the Wine scenarios, must give the same report, line for line, as the host command.
"""

import argparse
import json
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "demo"))

import pellitor_demo as demo  # noqa: E402

FAULTY = "[SetupOptions]\r\nAppName=Faulty\r\n[UnInstall]\r\n%apppath%\\tool.exe\r\n%nosuch%\\x.dll\r\n"


def folder_options():
    return ["--apppath", demo.FOLDER + "\\", "--appcommon", demo.COMMON, "--startmenu", demo.MENU]


def write_inputs(work):
    work.mkdir(parents=True, exist_ok=True)
    setup_inf = work / "SETUP.INF"
    setup_inf.write_bytes(demo.SETUP_INF.replace("\n", "\r\n").encode("latin-1"))
    faulty = work / "FAULTY.INF"
    faulty.write_bytes(FAULTY.encode("latin-1"))
    return setup_inf, faulty


def run_host(checker, path, *extra):
    done = subprocess.run([checker, str(path), *folder_options(), *extra], capture_output=True, timeout=120)
    return done.returncode, done.stdout.decode("latin-1")


def check_demo_report(report, code):
    problems = []
    if report["errors"] != 0:
        problems.append(f"errors in the demo: {report['findings']}")
    if code != report["exitCode"] or code != 1:
        problems.append(f"exit code {code}, report says {report['exitCode']}, expected 1")
    plan = "\n".join(report["plan"])
    for path in demo.FILES:
        if f"delete file {path}" not in plan and not path.endswith(".GID"):
            problems.append(f"the plan never deletes {path}")
    for key in demo.KEYS:
        if f"delete key {key.path}" not in plan:
            problems.append(f"the plan never deletes the key {key.path}")
    if f"delete value '{demo.SHARED}'" not in plan:
        problems.append("the plan never releases the shared count")
    if report["uninstallerExitCode"] != 0:
        problems.append(f"the pictured run ends with {report['uninstallerExitCode']}")
    return problems


def host(args):
    setup_inf, faulty = write_inputs(pathlib.Path(args.work))
    code, text = run_host(args.checker, setup_inf, "--json")
    problems = check_demo_report(json.loads(text), code)
    code, text = run_host(args.checker, faulty)
    if code != 2 or "FAULTY.INF:5: error: '%nosuch%' is not a variable" not in text:
        problems.append(f"the faulty file gives {code}:\n{text}")
    return problems


def wine(args):
    sys.path.insert(0, str(ROOT / "tests" / "e2e"))
    from harness.session import Session  # noqa: E402

    session = Session(args.work, args.build)
    setup_inf, faulty = write_inputs(pathlib.Path(args.work) / "check")
    checker = str(session.windows_build / "uninst-check.exe")
    problems = []
    for path, extra in ((setup_inf, ["--json"]), (setup_inf, []), (faulty, [])):
        windows_path = "Z:" + str(path.resolve()).replace("/", "\\")
        done = session.wine("nt").run(checker, windows_path, *folder_options(), *extra, check=False)
        wine_text = done.stdout.decode("latin-1").replace(windows_path, str(path))
        host_code, host_text = run_host(args.host_checker, path, *extra)
        if done.returncode != host_code:
            problems.append(f"{path.name} {extra}: Wine exit code {done.returncode}, host {host_code}")
        if "--json" in extra:
            wine_text = json.dumps(dict(json.loads(wine_text), file=None))
            host_text = json.dumps(dict(json.loads(host_text), file=None))
        if wine_text != host_text:
            problems.append(f"{path.name} {extra}: the Windows program's report differs:\n{wine_text}\n---\n{host_text}")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mode", choices=("host", "wine"))
    parser.add_argument("--checker", help="the host command (host)")
    parser.add_argument("--build", help="the Windows build tree (wine)")
    parser.add_argument("--host-checker", help="the host command to compare with (wine)")
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    problems = host(args) if args.mode == "host" else wine(args)
    for problem in problems:
        print(problem)
    print("ok" if not problems else f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
