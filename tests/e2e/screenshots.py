#!/usr/bin/env python3
"""Screenshots of the program in every language under Wine: for each, one run in the NT prefix
under the language's locale, with the confirmation dialog, the progress window part-way and a
message box, saved as OUT/<tag>-confirm.png, <tag>-progress.png and <tag>-message.png; then the
same with large fonts (120 DPI), saved as OUT/<tag>-120dpi-confirm.png and so on.

  screenshots.py --build DIR --work DIR --out DIR [--dpi 96|120 ...] [TAG ...]
"""

import argparse
import pathlib
import shutil
import sys

from harness import fonts
from harness.families import ensure_locale
from harness.languages import all_languages
from harness.runner import Runner, ScenarioFailed
from harness.scenario import Expect, File, Scenario, Window
from harness.session import Session
from harness.wine import Wine
from scenarios.common import EXIT_COMPLETED, needle, setup_inf
from scenarios.run import screenshots_taken

APP_NAME = "Tallowmere Sample Application"
SHOTS = {"confirmation": "confirm", "progress": "progress", "message": "message"}


def shot_name(language, dpi):
    return language.tag if dpi == fonts.NORMAL_DPI else f"{language.tag}-{dpi}dpi"


def scenario(language, dpi):
    """The first program holds the bar at 50 for the progress window; the second ends with an
    error code, which the program reports in a message box."""
    folder = rf"C:\E2E\Shots\{shot_name(language, dpi)}"
    caption = language.text("ConfirmCaption", app=APP_NAME)
    failing = folder + r"\fails.exe"
    return Scenario(
        name=f"screenshots_{shot_name(language, dpi)}", app_name=APP_NAME, app_folder=folder,
        setup_inf=setup_inf(APP_NAME, [r"%apppath%\readme.txt", r"%apppath%\slow.exe", r"%apppath%\fails.exe"],
                            extra="\n[ExecuteOnUninstall]\nslow.exe,0 2500\nfails.exe,3 1500\n"),
        files={folder + r"\readme.txt": File("readme")},
        helpers={folder + r"\slow.exe": "recorder.exe", failing: "recorder.exe"},
        answers=(f"shoot 1500 {needle(caption)}", f"click 1 once {needle(caption)}",
                 f"shoot 1500 {needle(failing)}"),
        screenshots=True,
        expect=Expect(exit_code=EXIT_COMPLETED,
                      windows=(Window(caption), Window(language.text("ProgressCaption", app=APP_NAME))),
                      checks=(screenshots_taken(*SHOTS),)))


def shoot(session, language, dpi, out):
    """The language's screenshots at this DPI, copied to out; [] or the name of a failed run."""
    ensure_locale(language.family())
    wine = Wine(session.work_dir / "nt" / "prefix", session.arch(), session.display(), language.family())
    wine.import_reg_file(fonts.language_fonts_reg(language.code_page, dpi))
    name = shot_name(language, dpi)
    failed = []
    try:
        Runner(session, "nt", wine).run_and_check(scenario(language, dpi))
    except ScenarioFailed as failure:
        failed.append(name)
        print(f"FAILED {name}:\n{failure}")
    work = session.work_dir / "nt" / "scenarios" / f"screenshots_{name}"
    for shot, suffix in SHOTS.items():
        if (work / f"{shot}.png").is_file():
            shutil.copyfile(work / f"{shot}.png", out / f"{name}-{suffix}.png")
    print(f"{name}: {', '.join(s for s in SHOTS if (work / f'{s}.png').is_file())}")
    return failed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="the Windows build tree with uninst.exe and the helpers")
    parser.add_argument("--work", required=True, help="where the prefix and the runs go")
    parser.add_argument("--out", required=True, help="where the screenshots go")
    parser.add_argument("--dpi", type=int, action="append", choices=fonts.DPIS,
                        help="only at this DPI (may be repeated); both by default")
    parser.add_argument("tags", nargs="*", help="only these languages")
    args = parser.parse_args()
    session = Session(args.work, args.build)
    if not (session.work_dir / "nt" / "prefix").exists():
        session.set_up("nt")
    session.program()
    out = pathlib.Path(args.out).resolve()
    out.mkdir(parents=True, exist_ok=True)
    failed = []
    for dpi in args.dpi or fonts.DPIS:
        for language in all_languages():
            if not args.tags or language.tag in args.tags:
                failed += shoot(session, language, dpi, out)
    # English's fonts at the normal size, as the prefix was made.
    Wine(session.work_dir / "nt" / "prefix", session.arch(), session.display(), "nt").import_reg_file(
        fonts.language_fonts_reg(1252))
    session.tear_down()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
