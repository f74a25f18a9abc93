#!/usr/bin/env python3
"""The target check must catch what it is there to catch: the sample program, built for the
Pentium Pro and importing GetTickCount64 and atoi from MSVCRT.DLL, is refused for each reason,
each named."""

import pathlib
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent


def main():
    sample = pathlib.Path(sys.argv[1])
    result = subprocess.run([sys.executable, str(HERE / "check_target.py"), str(sample)],
                            capture_output=True, text=True)
    output = result.stdout + result.stderr
    print(output)
    expected = ["FAULT: import not on the allowlist: KERNEL32.DLL GetTickCount64",
                "FAULT: import not on the allowlist: MSVCRT.DLL atoi",
                "FAULT: instruction beyond the 486 in _PickLarger: cmov"]
    missing = [line for line in expected if line not in output]
    if result.returncode != 1 or missing:
        print(f"the check did not refuse the sample as it should (exit code {result.returncode}); "
              f"missing: {missing}")
        return 1
    print("the check refused the sample for every reason")
    return 0


if __name__ == "__main__":
    sys.exit(main())
