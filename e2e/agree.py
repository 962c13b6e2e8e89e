#!/usr/bin/env python3
"""Holds the simulator against Wine: runs on the simulator the scenario whose
run under Wine saved what the applet saw (run_e2e.py --save-events), with the
matching applet model and the same current directory, and compares the
applet-side events of both runs in order.

usage: agree.py EVENTS_FILE [--simrun PATH]
Exits 1, naming the first event that differs, when the two worlds disagree.
"""
import argparse
import json
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
from run_e2e import SCENARIOS, first_difference, observable  # noqa: E402
from wine_host import SKIPPED, why_wine_cannot_run  # noqa: E402

# The stand-in stamps the moment it ends itself; the simulator's clock is another.
EXIT_STAMP = re.compile(r" \(exits at \d+\)$")


def simrun_arguments(variant, scenario_name):
    """The simulator's applet knobs for a scenario of the runs under Wine, or
    None when the scenario sets up something the applet model does not have."""
    scenario = SCENARIOS[scenario_name]
    if set(scenario) - {"exit", "env", "exit_on", "ends_after"}:
        return None
    arguments = []
    for name, value in scenario.get("env", {}).items():
        if name == "STANDIN_DELAY_MS":
            arguments += ["--dialog-delay", value]
        elif name == "OTHER_PROGRAM":
            arguments += ["--other-windows", "1"]
        elif name == "STANDIN_UNOWNED_AFTER_CONFIRM":
            arguments += ["--unowned-after-confirm"]
        else:
            return None
    if "exit_on" in scenario:
        arguments += ["--exit-on", scenario["exit_on"][variant]]
    return arguments


def applet_side(events):
    return [EXIT_STAMP.sub(" (exits)", event) for event in events if observable(event)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("events_file")
    parser.add_argument("--simrun", default=os.path.join(ROOT, "build", "host", "simrun"))
    arguments = parser.parse_args()

    reason = why_wine_cannot_run()
    if reason:
        print("SKIPPED: no run under Wine to agree with on this machine: %s" % reason)
        return SKIPPED
    if not os.path.exists(arguments.events_file):
        print("FAIL: no events from the run under Wine in %s" % arguments.events_file)
        return 1
    wine = json.load(open(arguments.events_file))
    variant, scenario = wine["variant"], wine["scenario"]
    knobs = simrun_arguments(variant, scenario)
    if knobs is None:
        print("FAIL: the simulator has no applet model for scenario %s" % scenario)
        return 1
    if not os.path.exists(arguments.simrun):
        print("FAIL: %s is missing; build the host preset first" % arguments.simrun)
        return 1
    command = [arguments.simrun, variant, "--applet-events", "--directory", wine["directory"]] + knobs
    simulated = subprocess.run(command, capture_output=True, text=True).stdout.splitlines()

    expected, actual = applet_side(wine["events"]), applet_side(simulated)
    print("variant %s, scenario %s: %s" % (variant, scenario, " ".join(command[1:])))
    print("      %-60s %s" % ("under Wine", "on the simulator"))
    for index in range(max(len(expected), len(actual))):
        print("  %2d  %-60s %s" % (index + 1, expected[index] if index < len(expected) else "",
                                    actual[index] if index < len(actual) else ""))
    difference = first_difference(actual, expected)
    if difference:
        index, wine_saw, simulator_saw = difference
        print("FAIL: first event that differs, number %d: Wine saw %s, the simulator %s"
              % (index + 1, wine_saw, simulator_saw))
        return 1
    print("agree: the same %d applet events under Wine and on the simulator" % len(expected))
    return 0


if __name__ == "__main__":
    sys.exit(main())
