"""The sample installation that `make demo` lays into a prefix and removes again."""

import sys
import pathlib

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from harness.scenario import Expect, File, Key, Record, Scenario  # noqa: E402

APP = "Pellitor Demo"
FOLDER = r"C:\Program Files\Pellitor Demo"
COMMON = r"C:\Program Files\Common Files\Pellitor"
MENU = r"C:\users\Public\Start Menu\Programs\Pellitor Demo"
SHARED = r"C:\windows\system32\pelshare.dll"

SETUP_INF = rf"""[SetupOptions]
AppName={APP}

[Files]
1,1,SETUPPEL\uninst.exe,%apppath%\UNINST\uninst.exe
1,1,pellitor.exe,%apppath%\pellitor.exe

[ExecuteOnUninstall]
pelclean.exe,0 --forget-settings
%apppath%\pelfinal.exe,0 2000

[RegisterControl]
pelview.dll

[UnInstall]
%apppath%\pellitor.exe
%apppath%\pelclean.exe
%apppath%\pelfinal.exe
%apppath%\pelview.dll
%apppath%\README.TXT
%apppath%\PELLITOR.HLP
%apppath%\Samples\first.pel
%apppath%\Samples\second.pel
%appcommon%\pelcore.dat

[UnInstall.Shared]
{SHARED}

[SharedComponents]
pelshare

[RegistryKeys]
HKLM\SOFTWARE\Pellitor Works\Pellitor Demo\Settings=Theme=Dark
HKLM\SOFTWARE\Pellitor Works\Pellitor Demo=@=
HKCU\Software\Pellitor Works\Pellitor Demo=LastFile=
HKCR\.pel=@=PellitorDemo.Document
HKCR\PellitorDemo.Document=@=

[AddShortcut]
1,1,Pellitor Demo.lnk
1,1,Pellitor Help.lnk
"""

FILES = {
    FOLDER + r"\pellitor.exe": File(b"MZ demo program"),
    FOLDER + r"\README.TXT": File("Pellitor Demo\nA sample installation.\n", readonly=True),
    FOLDER + r"\PELLITOR.HLP": File(b"help"),
    FOLDER + r"\PELLITOR.GID": File(b"help index", hidden=True),
    FOLDER + r"\Samples\first.pel": File("first sample"),
    FOLDER + r"\Samples\second.pel": File("second sample"),
    COMMON + r"\pelcore.dat": File(b"core"),
    MENU + r"\Pellitor Demo.lnk": File(b"L fake shortcut"),
    MENU + r"\Pellitor Help.lnk": File(b"L fake shortcut"),
    MENU + r"\Un-Install.LNK": File(b"L fake shortcut"),
    SHARED: File(b"MZ shared"),
}

KEYS = (
    Key(r"HKLM\SOFTWARE\Pellitor Works\Pellitor Demo", {"": "installed", "Version": "1.0"}),
    Key(r"HKLM\SOFTWARE\Pellitor Works\Pellitor Demo\Settings", {"Theme": "Dark"}),
    Key(r"HKCU\Software\Pellitor Works\Pellitor Demo", {"LastFile": r"C:\first.pel"}),
    Key(r"HKCR\.pel", {"": "PellitorDemo.Document"}),
    Key(r"HKCR\PellitorDemo.Document", {"": "Pellitor Demo document"}),
    Key(rf"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{APP}",
        {"DisplayName": APP, "UninstallString": FOLDER + r"\UNINST\uninst.exe"}),
)

# Keys, or (key, value name) pairs, with a note on what the uninstaller leaves there by design.
REGISTRY_SHOWN = [(k.path, None, "") for k in KEYS] + [
    (rf"HKLM\SOFTWARE\Tallowmere\UNINST\{APP}", None, "the record; it goes last, with its parents once empty"),
    (r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs", SHARED, "the count of the shared DLL")]

# Our own test programs stand in for the application's: the two programs write their command
# line into HELPER_LOG, outside the installation (the second holds the progress bar half-way
# for two seconds), and the module records its DllUnregisterServer call there too.
HELPERS = {
    FOLDER + r"\pelclean.exe": "recorder.exe",
    FOLDER + r"\pelfinal.exe": "recorder.exe",
    FOLDER + r"\pelview.dll": "unreg_ok.dll",
}
HELPER_LOG = r"C:\Pellitor Demo Logs\helpers.log"

DEMO = Scenario(
    name="pellitor_demo", app_name=APP, app_folder=FOLDER, setup_inf=SETUP_INF,
    families=("nt",), files=FILES,
    record=Record(start_menu_folder=MENU, app_common=COMMON),
    shared_counts={SHARED: 1}, keys=KEYS, helpers=HELPERS,
    answers=(f"shoot 1500 {APP} Un-Install", f"click 1 once {APP} Un-Install"),
    expect=Expect(), timeout=120,
)

WATCHED_FOLDERS = (FOLDER, COMMON, MENU)
