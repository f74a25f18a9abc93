#!/usr/bin/env python3
"""The target check must catch what it is there to catch: the sample program, built for the
Pentium Pro and importing GetTickCount64 and atoi from MSVCRT.DLL, is refused for each reason,
each named; so are sizes beyond the limits, given a tiny English-only build and one language."""

import pathlib
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent


def main():
    sample = pathlib.Path(sys.argv[1])
    with tempfile.TemporaryDirectory() as folder:
        english_only = pathlib.Path(folder, "english-only.exe")
        english_only.write_bytes(b"MZ" * 64)
        for name in ("en.txt", "xx.txt"):
            pathlib.Path(folder, name).touch()
        result = subprocess.run([sys.executable, str(HERE / "check_target.py"), str(sample), "--max-size", "100",
                                 "--english-only", str(english_only), "--texts", folder],
                                capture_output=True, text=True)
    output = result.stdout + result.stderr
    print(output)
    expected = ["FAULT: import not on the allowlist: KERNEL32.DLL GetTickCount64",
                "FAULT: import not on the allowlist: MSVCRT.DLL atoi",
                "FAULT: instruction beyond the 486 in _PickLarger: cmov",
                "FAULT: size: the English-only build has 128 bytes, more than 100",
                f"FAULT: size: {sample.stat().st_size - 128} bytes per language, more than 3072"]
    missing = [line for line in expected if line not in output]
    if result.returncode != 1 or missing:
        print(f"the check did not refuse the sample as it should (exit code {result.returncode}); "
              f"missing: {missing}")
        return 1
    print("the check refused the sample for every reason")
    return 0


if __name__ == "__main__":
    sys.exit(main())
