#!/usr/bin/env python3
"""Benchmark: the logging twin's wall time against setup.exe's, same machine,
same scenario, under Wine. Runs PAIRS pairs, one of each in turn, and prints
every time, both medians and their ratio (the twin should stay within 1.05).

usage: twin_overhead.py [VARIANT] [--pairs N] [--build DIR]
"""
import argparse
import os
import re
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from wine_host import SKIPPED, why_wine_cannot_run  # noqa: E402

WALL = re.compile(r"exit code (-?\d+) in ([0-9.]+) s")


def wall_time(variant, build, twin):
    command = [sys.executable, os.path.join(HERE, "run_e2e.py"), variant, "--build", build] + (["--twin"] if twin else [])
    result = subprocess.run(command, capture_output=True, text=True)
    match = WALL.search(result.stdout)
    if result.returncode != 0 or not match:
        sys.exit("twin_overhead: a run failed:\n" + result.stdout + result.stderr)
    return float(match.group(2))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("variant", nargs="?", default="win98", choices=["win95", "win98", "nt40"])
    parser.add_argument("--pairs", type=int, default=5)
    parser.add_argument("--build", default=os.path.join(os.path.dirname(HERE), "build", "win32"))
    arguments = parser.parse_args()
    reason = why_wine_cannot_run()
    if reason:
        print("SKIPPED: %s" % reason)
        return SKIPPED
    plain, twin = [], []
    for pair in range(arguments.pairs):
        plain.append(wall_time(arguments.variant, arguments.build, False))
        twin.append(wall_time(arguments.variant, arguments.build, True))
        print("pair %d: setup.exe %.3f s, setuplog.exe %.3f s" % (pair + 1, plain[-1], twin[-1]), flush=True)
    ratio = statistics.median(twin) / statistics.median(plain)
    print("medians of %d pairs, %s: setup.exe %.3f s, setuplog.exe %.3f s, ratio %.3f" % (
        arguments.pairs, arguments.variant, statistics.median(plain), statistics.median(twin), ratio))
    return 0


if __name__ == "__main__":
    sys.exit(main())
