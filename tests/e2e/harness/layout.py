"""Lays a scenario's installation into a prefix: files, SETUP.INF, uninst.exe and registry."""

import os
import shutil

ROOTS = {
    "HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER", "HKCR": "HKEY_CLASSES_ROOT",
    "HKU": "HKEY_USERS",
}
RECORD_ROOT = r"HKLM\SOFTWARE\Tallowmere\UNINST"
SHARED_DLLS = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs"


def long_key(path):
    root, _, rest = path.partition("\\")
    return ROOTS.get(root.upper(), root) + ("\\" + rest if rest else "")


def reg_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def reg_value(name, value):
    label = "@" if name == "" else reg_string(name)
    if isinstance(value, int):
        return f"{label}=dword:{value:08x}"
    return f"{label}={reg_string(value)}"


def reg_text(keys):
    """REGEDIT4 text for a list of (key path, {name: value}) pairs."""
    blocks = []
    for path, values in keys:
        lines = [f"[{long_key(path)}]"] + [reg_value(n, v) for n, v in values.items()]
        blocks.append("\r\n".join(lines))
    return "\r\n\r\n".join(blocks) + "\r\n"


def as_bytes(content, encoding):
    """Text as the prefix's programs read it: CRLF lines in its ANSI code page."""
    if isinstance(content, bytes):
        return content
    return content.replace("\r\n", "\n").replace("\n", "\r\n").encode(encoding)


def write_file(wine, windows_path, content, readonly=False, hidden=False):
    target = wine.unix_path(windows_path)
    target.parent.mkdir(parents=True, exist_ok=True)
    if target.exists():
        os.chmod(target, 0o644)
    target.write_bytes(as_bytes(content, wine.encoding))
    if hidden:
        os.setxattr(target, "user.DOSATTRIB", b"0x2")
    if readonly:
        os.chmod(target, 0o444)


def scenario_keys(scenario):
    keys = []
    if scenario.record is not None:
        record = scenario.record
        # A setup program writes the folder with its closing backslash, to which bare names are joined.
        values = {"": record.app_path if record.app_path is not None else scenario.app_folder + "\\"}
        if record.start_menu_folder is not None:
            values["StartMenuFolderName"] = record.start_menu_folder
        keys.append((f"{RECORD_ROOT}\\{scenario.app_name}", values))
        if record.app_common is not None:
            keys.append((f"{RECORD_ROOT}\\{scenario.app_name}\\AppCommon", {"": record.app_common}))
    if scenario.shared_counts:
        keys.append((SHARED_DLLS, dict(scenario.shared_counts)))
    keys += [(key.path, key.values) for key in scenario.keys]
    return keys


def lay_out(wine, session, scenario):
    wine.unix_path(scenario.app_folder + "\\UNINST").mkdir(parents=True, exist_ok=True)
    for folder in scenario.folders:
        wine.unix_path(folder).mkdir(parents=True, exist_ok=True)
    for path, laid in scenario.files.items():
        write_file(wine, path, laid.content, laid.readonly, laid.hidden)
    uninst = wine.unix_path(scenario.uninst_path)
    shutil.copyfile(session.program(), uninst)
    for path in scenario.copies:
        target = wine.unix_path(path)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(session.program(), target)
    if scenario.setup_inf is not None and scenario.setup_inf_dir is not None:
        where = scenario.app_folder + "\\UNINST" + ("\\" + scenario.setup_inf_dir if scenario.setup_inf_dir else "")
        write_file(wine, where + "\\SETUP.INF", scenario.setup_inf)
    for path, helper in scenario.helpers.items():
        target = wine.unix_path(path)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(session.helper(helper), target)
    keys = scenario_keys(scenario)
    if keys:
        wine.import_reg(reg_text(keys))
