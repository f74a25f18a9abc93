"""Texts and checks that several scenarios share."""

import ntpath
import re

from harness.families import FAMILIES
from harness.scenario import TEMP_TITLE, Window

CANNOT_FIND = "Cannot find 'SETUP.INF' - UNINSTALL will now close"
NO_FILES = "UNINSTALL WARNING:  no files listed in 'Uninstall' section of SETUP.INF - UNINSTALL will now close"
UNSUPPORTED = ("WARNING:  Unsupported operating system - UNINSTALL will continue, but be advised that "
               "you may experience problems.")
NO_UNINSTALL = ("WARNING:  'SETUP.INF' specifies 'No Uninstall' - UNINSTALL will still continue; however, "
                "it may not function properly")
NO_UNINSTALL_EMPTY = ("UNINSTALL WARNING:  'No Uninstall' was specified in 'SETUP.INF' and no files are listed "
                      "in the 'Uninstall' section - UNINSTALL will now close")
NO_RECORD = "Unable to get UNINSTALL information from registry"
PENDING_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"

EXIT_COMPLETED, EXIT_CANCELLED, EXIT_STOPPED = 0, 1602, 1603
# The shipped 32-bit build in a 64-bit prefix, reporting Windows 7 and Windows 10.
WOW64 = ("win7-64", "win10-64")
NINE_X_VERSIONS = ("win95", "win98", "winme")

# The first instance makes one for each run, and the working copy runs from it.
PRIVATE_FOLDER = re.compile(r"~UN[0-9A-F]{4}", re.I)


def setup_inf(app_name, uninstall=(), extra="", options=""):
    lines = ["[SetupOptions]", f"AppName={app_name}", *([options] if options else []), "",
             "[UnInstall]", *uninstall, ""]
    return "\n".join(lines) + extra


def needle(text):
    """Text for an answer line, which reads a backslash as the start of an escape."""
    return text.replace("\\", "\\\\")


def box(caption, text):
    return Window(caption, texts=(text,), buttons={1: "OK"})


def copy_box(text):
    return box(TEMP_TITLE, text)


def confirmation(app_name):
    return Window(f"{app_name} Un-Install", buttons={1: "&Un-Install", 2: "E&xit"})


def copy_ran_from_temp(result):
    """One working copy, a ~UN*.tmp file in a new private ~UN folder of the temporary folder, that
    is still there, and whose name without extension is the caption of every box that it showed."""
    problems = []
    copies = result.working_copies()
    if len(copies) != 1:
        return [f"expected one working copy, the driver saw {[p.image for p in copies]}"]
    image = copies[0].image
    temp = result.wine.temp_dir().lower()
    folder = ntpath.dirname(image)
    if ntpath.dirname(folder).lower() != temp or not PRIVATE_FOLDER.fullmatch(ntpath.basename(folder)):
        problems.append(f"working copy {image} is not in a private folder of {temp}")
    if ntpath.basename(folder) not in result.new_copies:
        problems.append(f"{folder} is not a new folder of the temporary folder: {result.new_copies}")
    title = result.temp_title()
    for window in result.transcript.windows:
        if TEMP_TITLE.fullmatch(window.caption) and window.caption != title:
            problems.append(f"box caption {window.caption!r} is not the copy's name {title!r}")
    return problems


def no_working_copy(result):
    copies = result.working_copies()
    return [f"a working copy ran: {[p.image for p in copies]}"] if copies else []


def wininit_path(wine):
    """WININIT.INI in the Windows folder, in whatever case it was written, or None."""
    windows = wine.drive_c / "windows"
    found = [p for p in windows.iterdir() if p.name.lower() == "wininit.ini"]
    return found[0] if found else None


def wininit_entries(result):
    """Every NUL= value of [Rename]: a run adds its lines beside the ones already there."""
    path = wininit_path(result.wine)
    if path is None:
        return []
    entries, in_rename = [], False
    for line in path.read_bytes().decode(result.wine.encoding).splitlines():
        line = line.strip()
        if line.startswith("["):
            in_rename = line.lower() == "[rename]"
        elif in_rename and line.upper().startswith("NUL="):
            entries.append(line[4:])
    return entries


def copy_path(result):
    copies = result.working_copies()
    return copies[0].image if copies else None


def reports_9x(result):
    """Whether the prefix reported the 9x platform to the run: its family's version, or the one
    that the scenario set for itself."""
    version = (result.scenario.version or {}).get(result.family) or FAMILIES[result.family].version
    return version in NINE_X_VERSIONS


def pending_renames(wine):
    """The text `reg query` prints for the NT restart queue, PendingFileRenameOperations; empty
    when nothing is queued."""
    return wine.reg_query(PENDING_KEY, "PendingFileRenameOperations") or ""


def pending_entries(wine):
    """The paths of the NT restart queue, without the \\??\\ and ! prefixes."""
    _, _, data = pending_renames(wine).partition("REG_MULTI_SZ")
    entries = [entry.strip() for entry in data.strip().split("\\0")]
    return [entry.lstrip("!").removeprefix("\\??\\").rstrip("\\") for entry in entries if entry]


def copy_deletion_queued(result):
    """The platform decides where: WININIT.INI on 9x, the pending renames on NT."""
    copy = copy_path(result)
    if copy is None:
        return ["no working copy was seen"]
    pending = pending_renames(result.wine)
    in_pending = copy.lower() in pending.lower()
    entries = wininit_entries(result)
    in_wininit = copy.lower() in (entry.lower() for entry in entries)
    if reports_9x(result):
        return [] if in_wininit else [f"WININIT.INI [Rename] NUL={entries!r}, expected {copy} among them"]
    problems = [] if in_pending else [f"{copy} is not in PendingFileRenameOperations: {pending!r}"]
    if in_wininit:
        problems.append("WININIT.INI names the copy on the NT family")
    return problems
