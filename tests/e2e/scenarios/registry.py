"""Removing an installation's registry keys under the three roots, its entry in the list of
installed programs, and one value of a key that every program shares."""

from harness.scenario import Expect, File, Key, Scenario, starting

from .common import EXIT_COMPLETED, confirmation, setup_inf

UNINSTALL_ENTRY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\E2E Reg"
RUN = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"

REG_INF = setup_inf("E2E Reg", [r"%apppath%\reg.txt"], extra="\n".join([
    "", "[RegistryKeys]",
    r"HKLM\SOFTWARE\E2E Reg\App\Settings=Theme=Dark",
    r"HKLM\SOFTWARE\E2E Reg\App=@=",
    r"HKEY_CURRENT_USER\Software\E2E Reg=LastFile=",
    r"hkcr\.e2ereg=@=E2EReg.Document",
    # Parent before child and child before parent: the walk still deletes the deepest first.
    r"HKCR\E2EReg.Document\shell=@=",
    r"HKCR\E2EReg.Document\shell\open\command=@=%apppath%\reg.exe",
    r"HKCR\E2EReg.Document=@=",
    r"HKCR\E2EReg.Document\shell\open=@=",
    r"HKLM\SOFTWARE\E2E Reg\Kept=Version=1",
    rf'{RUN}="E2E Reg"="%apppath%\reg.exe"',
    ""]))

REG_KEYS = (
    Key(r"HKLM\SOFTWARE\E2E Reg\App", {"": "installed", "Version": "1.0"}),
    Key(r"HKLM\SOFTWARE\E2E Reg\App\Settings", {"Theme": "Dark"}),
    Key(r"HKCU\Software\E2E Reg", {"LastFile": r"C:\first.reg"}),
    Key(r"HKCR\.e2ereg", {"": "E2EReg.Document"}),
    Key(r"HKCR\E2EReg.Document", {"": "E2E Reg document"}),
    Key(r"HKCR\E2EReg.Document\shell\open\command", {"": r"C:\E2E\Reg\reg.exe"}),
    Key(r"HKLM\SOFTWARE\E2E Reg\Kept", {"Version": 1}),
    Key(r"HKLM\SOFTWARE\E2E Reg\Kept\Plugin", {"Owner": "another program"}),
    Key(UNINSTALL_ENTRY, {"DisplayName": "E2E Reg", "UninstallString": r"C:\E2E\Reg\UNINST\uninst.exe"}),
    Key(UNINSTALL_ENTRY + r"\Details", {"Size": 1}),
    Key(RUN, {"E2E Reg": r"C:\E2E\Reg\reg.exe", "E2E Other Program": r"C:\Other\other.exe"}),
)

SCENARIOS = [
    Scenario(
        name="registry_keys_removed",
        app_name="E2E Reg", app_folder=r"C:\E2E\Reg", setup_inf=REG_INF,
        files={r"C:\E2E\Reg\reg.txt": File("r")}, keys=REG_KEYS,
        answers=("click 1 once E2E Reg Un-Install",),
        expect=Expect(
            exit_code=EXIT_COMPLETED, windows=(confirmation("E2E Reg"),),
            no_window=(starting("Skipping invalid registry entry - '"),),
            keys_absent=(r"HKLM\SOFTWARE\E2E Reg\App", r"HKCU\Software\E2E Reg", r"HKCR\.e2ereg",
                         r"HKCR\E2EReg.Document", UNINSTALL_ENTRY, (RUN, "E2E Reg")),
            keys_present=(r"HKLM\SOFTWARE\E2E Reg\Kept", (r"HKLM\SOFTWARE\E2E Reg\Kept", "Version"),
                          (r"HKLM\SOFTWARE\E2E Reg\Kept\Plugin", "Owner"), (RUN, "E2E Other Program"),
                          r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall")),
    ),
]
