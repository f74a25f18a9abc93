"""A few lines on both benchmarks: the host core's times and growth, the Wine run's ratio."""

import json
import sys


def entries(benchmark):
    return int(benchmark["name"].split("/")[-1])


def host_lines(path):
    runs = [b for b in json.loads(open(path).read())["benchmarks"] if b.get("run_type") == "iteration"]
    lines = [f"  {entries(b):>7} entries: {b['real_time']:8.1f} {b['time_unit']}" for b in runs]
    if len(runs) >= 2:
        first, last = runs[0], runs[-1]
        growth = (last["real_time"] / first["real_time"]) / (entries(last) / entries(first))
        lines.append(f"  time per entry at {entries(last)} against {entries(first)}: x{growth:.2f} (1.00 is linear)")
    return lines


def wine_lines(path):
    result = json.loads(open(path).read())
    lines = [f"  {result['build']}, uninst.exe {result['size']} bytes:"]
    for name in ("large", "small"):
        run = result[name]
        copy = f" (working copy {run['copy']:.3f} s)" if run["copy"] is not None else ""
        lines.append(f"    {name} ({run['installation']}): uninst.exe {run['uninst']:.2f} s{copy}; "
                     f"floor.exe {run['floor']:.2f} s; ratio {run['ratio']:.2f}; "
                     f"flushes {run['flush']:.3f} ms ({100 * run['flush'] / 1000 / run['uninst']:.3f} % of the run)")
    return lines


def main(host_json, *wine_jsons):
    print("\n===== summary =====")
    print("host core (load SETUP.INF, build and run the removal lists):")
    print("\n".join(host_lines(host_json)))
    print("Wine (medians):")
    for wine_json in wine_jsons:
        print("\n".join(wine_lines(wine_json)))


if __name__ == "__main__":
    main(*sys.argv[1:])
