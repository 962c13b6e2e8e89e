#!/usr/bin/env python3
"""Runs the real setup.exe under Wine and Xvfb against the stand-in Display
applet, and checks what the applet saw, the exit code and the clipboard.

usage: run_e2e.py VARIANT [--scenario NAME] [--timeline] [--screens DIR] [--save-events FILE]
                  [--floppy IMAGE | --cd IMAGE] [--twin [--show-log]]
With --floppy or --cd, setup.exe runs from the image's contents, read back with
the media tools and mapped as drive A: (floppy) or D: (CD-ROM), with the
drive's root as its current directory, as Explorer or autorun starts it.
VARIANT is win95, win98 or nt40. With --twin, the logging twin setuplog.exe
(SETUPLOG.EXE on a medium) runs instead, and its log and message box are
checked too; --show-log prints the log's first and last lines. Exits 1, naming
the first difference, when a check fails.
"""
import argparse
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
import twin_log  # noqa: E402
from wine_host import SKIPPED, end_run_in_session, in_session, time_scale, why_wine_cannot_run  # noqa: E402

# The stand-in logs its start within a second or two of the launch; a run
# without that line by then has got another applet, or none, and would only
# wait out the hard limit.
STANDIN_START_LIMIT_S = 10 * time_scale()
# Another program's window is up before setup.exe starts, waited for this long at most.
OTHER_PROGRAM_HEAD_START_S = 3 * time_scale()
# The clipboard has settled before setup.exe starts, waited for this long at most.
CLIPBOARD_SETTLE_S = 10 * time_scale()
# setup.exe notices an applet that has gone within this.
REACTION_LIMIT_S = 2.0 * time_scale()

OPENERS = {"win95": "main.page#1210", "win98": "main.page#1802", "nt40": "main.page#265"}


def expected_events(variant, path):
    """What the applet must see, in order, in a complete run."""
    paste = lambda box: ['paste pathDialog#%d "%s"' % (box, path), "click pathDialog#1",
                         'confirm pathDialog "%s"' % path]
    if variant == "win95":
        return (["click main.page#1210", "click firstDialog.page#1302", "click secondDialog#101"] + paste(101) +
                ["click copyDialog#1", "click secondDialog#1", "click firstDialog#1", "click main#1", "close main"])
    if variant == "win98":
        return (["click main.page#1802", "tab focus firstDialog#12320 1 style 0x100", "click firstDialog.page#1302",
                 "click wizard#12324", "check wizard.choice#3316 1", "check wizard.choice#3315 0",
                 "click wizard#12324", "click wizard.location#1567"] + paste(101) +
                ["click confirmDialog#1", "click wizard#12324", "click wizard#12325", "click firstDialog#1",
                 "click main#1", "close main"])
    return (["click main.page#265", "click firstDialog#519", "click secondDialog#1567"] + paste(107) +
            ["click copyDialog#1", "click yesNoBox#6", "click closingQuestion#2", "click firstDialog#2",
             "click main#1", "close main"])


# Each scenario: applet environment, runner set-up, and what must come out.
SCENARIOS = {
    "complete": {"exit": 0},
    "slow-applet": {"exit": 0, "env": {"STANDIN_DELAY_MS": "700"}},
    # Another program's window is open on the desktop all through the run.
    "other-windows": {"exit": 0, "env": {"OTHER_PROGRAM": "notepad"}},
    "tampered-expectation": {"exit": 0, "tamper": True},
    # Windows 98 only: a visible unowned applet window after the confirmation ends the run early.
    "early-end": {"exit": 0, "env": {"STANDIN_UNOWNED_AFTER_CONFIRM": "1"}, "ends_after": "click confirmDialog#1"},
    "applet-exits": {"exit": 2, "exit_on": {"win95": "secondDialog#1", "win98": "wizard#12325",
                                             "nt40": "closingQuestion#2"}},
    "no-rundll32": {"exit": 1, "wine_env": {"WINEDLLOVERRIDES": "rundll32.exe=d"}},
    "no-driver-folder": {"exit": 3, "no_folders": True},
    # The applet never opens the next dialog in time: the run is killed mid-wait.
    "long-wait": {"exit": 124, "env": {"STANDIN_DELAY_MS": "3600000"}},
}


def run(command, **options):
    return subprocess.run(command, check=True, **options)


def run_or_explain(what, command, env):
    """Runs a set-up step quietly; when it fails, the run ends with its output."""
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            errors="replace")
    if result.returncode != 0:
        print(result.stdout.rstrip())
        print("FAIL: %s ended with exit code %d" % (what, result.returncode))
        sys.exit(1)


def wine_env(prefix):
    env = dict(os.environ)
    env.update({"WINEPREFIX": prefix, "WINEDEBUG": "-all", "WINEARCH": "win32",
                "WINEDLLOVERRIDES": "mscoree,mshtml="})
    if not in_session():
        env.pop("DISPLAY", None)
    # Wine keeps per-user state below HOME; a bare CI environment may lack it.
    env.setdefault("HOME", os.path.dirname(prefix))
    # Wine 10 tries a Wayland display first, and the Wayland library complains
    # on stderr when there is no runtime folder to look for one in.
    if not env.get("XDG_RUNTIME_DIR"):
        runtime = os.path.join(os.path.dirname(prefix), "xdg-runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env["XDG_RUNTIME_DIR"] = runtime
    return env


def extract_medium(kind, image, into):
    """The image's contents as Windows reads them: the floppy's long names
    through mtools, the CD's Joliet tree through xorriso."""
    os.makedirs(into)
    if kind == "floppy":
        run(["mcopy", "-s", "-m", "-i", image, "::/*", into], stdout=subprocess.DEVNULL)
    else:
        run(["xorriso", "-report_about", "SORRY", "-indev", image, "-read_fs", "norock", "-osirrox", "on",
             "-extract", "/", into], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for top, folders, _ in os.walk(into):
            for name in folders:
                os.chmod(os.path.join(top, name), 0o755)
        os.chmod(into, 0o755)


def map_drive(prefix, drive):
    """Maps a folder as a drive of the given type; returns the registry lines."""
    letter, target, drive_type = drive
    link = os.path.join(prefix, "dosdevices", letter + ":")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(target, link)
    return '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"%s:"="%s"\n' % (letter, drive_type)


def prepare_prefix(prefix, build, variant, drive=None):
    env = wine_env(prefix)
    if not os.path.exists(os.path.join(prefix, "system.reg")):
        print("making a Wine prefix in %s (once)" % prefix, flush=True)
        run_or_explain("making the Wine prefix", ["xvfb-run", "-a", "sh", "-c", "wineboot -i && wineserver -w"], env)
    system32 = os.path.join(prefix, "drive_c", "windows", "system32")
    shutil.copy(os.path.join(build, "desk.cpl"), os.path.join(system32, "desk.cpl"))
    extra_registry = map_drive(prefix, drive) if drive else ""
    # Without a window manager, Wine stalls every closing dialog for two seconds
    # unless its windows are unmanaged. Wine 10 brings a desk.cpl of its own,
    # which it loads before a file of that name in system32 unless told to take
    # the file. A crash of setup.exe is written to its output instead of
    # waiting for a click in a dialog nobody sees.
    # Wine keys the Windows version by the program's name, so the twin has its own.
    registry = os.path.join(prefix, "drive_c", "setup-e2e.reg")
    with open(registry, "w") as out:
        out.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n\"Managed\"=\"N\"\n\n"
                  "[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\n\"desk.cpl\"=\"native\"\n\n"
                  "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n\"ShowCrashDialog\"=dword:00000000\n\n"
                  "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\setup.exe]\n\"Version\"=\"%s\"\n\n"
                  "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\setuplog.exe]\n\"Version\"=\"%s\"\n\n%s"
                  % (variant, variant, extra_registry))
    # regedit runs in the run's own Wine session (INNER): one start of Wine the fewer.


INNER = r"""
wine regedit /S 'C:\setup-e2e.reg' > "$WORK_DIR/regedit.txt" 2>&1
echo $? > "$WORK_DIR/regedit_exit_code"
cd "$RUN_DIR"
if [ -n "$SCREENS" ]; then
  ( i=0; while [ ! -e "$WORK_DIR/done" ]; do
      shot="$SCREENS/raw-$(printf %03d $i).xwd"
      date +%s%3N > "$shot.ms"
      xwd -root -silent > "$shot" 2>/dev/null
      i=$((i+1)); sleep 0.1; done ) &
fi
if [ -n "$OTHER_PROGRAM" ]; then
  wine "$OTHER_PROGRAM" &
  # Its window (of the program's own class) is up before setup.exe starts.
  for second in $(seq "$HEAD_START"); do
    wine "$WORK_DIR/window_tree.exe" 2>/dev/null | grep -qi " $OTHER_PROGRAM " && break
    sleep 1
  done
fi
if [ -n "$BOX_READER" ]; then
  wine "$BOX_READER" "$HARD_LIMIT" > "$WORK_DIR/box.txt" 2>/dev/null &
fi
# Wine's bridge to the X clipboard empties the clipboard as it starts: a
# program that copies before then loses its text. It starts with Wine's desktop
# process, which ends whenever no program is left: one is kept for the run.
wine "$WORK_DIR/hold_desktop.exe" > /dev/null 2>&1 &
wine "$WORK_DIR/clipboard_text.exe" --settle "$CLIPBOARD_SETTLE" > /dev/null 2>&1
echo $? > "$WORK_DIR/clipboard_settled"
date +%s%3N > "$WORK_DIR/start_ms"
timeout "$HARD_LIMIT" wine "$PROGRAM" > "$WORK_DIR/setup-wine.txt" 2>&1
status=$?
echo $status > "$WORK_DIR/exit_code"
date +%s%3N > "$WORK_DIR/end_ms"
if [ $status -eq 124 ]; then
  wine "$WORK_DIR/window_tree.exe" > "$WORK_DIR/windows.txt" 2>/dev/null
fi
wine "$WORK_DIR/clipboard_text.exe" > "$WORK_DIR/clipboard.txt" 2>"$WORK_DIR/clipboard_err.txt"
echo $? > "$WORK_DIR/clipboard_exit_code"
touch "$WORK_DIR/done"
if [ -n "$E2E_WINE_SESSION" ]; then
  /usr/bin/python3 "$E2E_DIR/wine_host.py" --end-run
else
  wineserver -k
fi
wait
"""


def read(path, default=""):
    """The file's text exactly as written, CR LF included."""
    try:
        with open(path, encoding="latin-1", newline="") as handle:
            return handle.read()
    except OSError:
        return default


def parse_log(text):
    events = []
    for line in text.splitlines():
        stamp, _, event = line.partition(" ")
        if stamp.isdigit():
            events.append((int(stamp), event))
    return events


def observable(event):
    """The events whose order the scripts decide; opening and closing of inner
    dialogs depend on the applet's own timing."""
    return event.startswith(("click ", "check ", "tab focus ", "paste ", "confirm ")) or event == "close main"


def first_difference(actual, expected):
    for index in range(max(len(actual), len(expected))):
        want = expected[index] if index < len(expected) else "(nothing)"
        got = actual[index] if index < len(actual) else "(nothing)"
        if want != got:
            return index, want, got
    return None


def contact_sheet(frames, events, sheet):
    """One picture a person reads at a glance: for each applet event the first
    screenshot after it, cropped to the windows on it and captioned with it."""
    started = [event for _, event in events if event.startswith("start variant ")]
    if not started or " at " not in started[0]:
        return None
    applet_start = int(started[0].rsplit(" at ", 1)[1])
    captioned = []
    seen = set()
    for raw in sorted(f for f in os.listdir(frames) if f.endswith(".xwd")):
        taken = int(read(os.path.join(frames, raw + ".ms"), "0").strip() or 0) - applet_start
        shown = [(stamp, event) for stamp, event in events if stamp <= taken and not event.startswith("start ")]
        if not shown or shown[-1] in seen:
            continue
        seen.add(shown[-1])
        frame = os.path.join(frames, raw[:-4] + ".png")
        # The desktop behind the windows is black: trimming it leaves the windows.
        converted = subprocess.run(["convert", os.path.join(frames, raw), "-trim", "+repage", frame],
                                   stderr=subprocess.DEVNULL).returncode == 0
        # An empty desktop trims down to a single pixel.
        if converted and struct.unpack(">II", open(frame, "rb").read()[16:24]) > (8, 8):
            captioned += ["-label", "%.2f s  %s" % (taken / 1000.0, shown[-1][1]), frame]
    if not captioned:
        return None
    subprocess.run(["montage", "-pointsize", "13", "-background", "#e8e8e8"] + captioned +
                   ["-tile", "4x", "-geometry", "360x270+6+6", sheet], check=False)
    return sheet


def pause_floor(variant):
    """Sum of the pauses the program's own searches take, from the simulator."""
    simrun = os.path.join(ROOT, "build", "host", "simrun")
    if not os.path.exists(simrun):
        return None
    out = subprocess.run([simrun, variant, "--instant"], capture_output=True, text=True).stdout
    for line in out.splitlines():
        if "pause floor" in line:
            return float(line.split()[-2])
    return None


def run_under_xvfb(env, work_dir, log_path, applet_expected):
    """Runs INNER to its end; True when it was cut short because the stand-in
    never logged its start."""
    display = [] if in_session() else ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24"]
    inner = subprocess.Popen(display + ["bash", "-c", INNER], env=dict(env, E2E_DIR=HERE),
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    start_file = os.path.join(work_dir, "start_ms")
    while inner.poll() is None:
        time.sleep(0.2)
        started = read(start_file).strip()
        if not applet_expected or not started or os.path.exists(os.path.join(work_dir, "exit_code")):
            continue
        if time.time() * 1000 - int(started) > STANDIN_START_LIMIT_S * 1000 and "start variant " not in read(log_path):
            if in_session():
                end_run_in_session()
            else:
                subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            inner.wait()
            return True
    return False


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("variant", choices=["win95", "win98", "nt40"])
    parser.add_argument("--scenario", default="complete", choices=sorted(SCENARIOS))
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "win32"))
    parser.add_argument("--prefix", default=os.environ.get("E2E_WINEPREFIX", os.path.join(ROOT, "build", "wineprefix")))
    parser.add_argument("--timeline", action="store_true", help="print what the program did to the applet")
    parser.add_argument("--screens", help="save screenshots and a captioned contact sheet here")
    parser.add_argument("--hard-limit", type=int, default=90, help="seconds before setup.exe is killed")
    parser.add_argument("--save-events", help="write what the applet saw, and where setup.exe ran, to this file")
    medium = parser.add_mutually_exclusive_group()
    medium.add_argument("--floppy", help="run setup.exe from this floppy image, as drive A:")
    medium.add_argument("--cd", help="run setup.exe from this CD image, as drive D:")
    parser.add_argument("--twin", action="store_true", help="run the logging twin setuplog.exe instead")
    parser.add_argument("--show-log", action="store_true", help="print the twin's log's first and last lines")
    arguments = parser.parse_args()
    if arguments.save_events and os.path.exists(arguments.save_events):
        os.remove(arguments.save_events)
    reason = why_wine_cannot_run()
    if reason:
        print("SKIPPED: no run under Wine on this machine: %s" % reason)
        return SKIPPED
    scenario = SCENARIOS[arguments.scenario]
    variant = arguments.variant

    # A space in the folder name, as on many a real medium's label.
    work_dir = tempfile.mkdtemp(prefix="setup e2e-")
    for helper in ("clipboard_text.exe", "window_tree.exe", "hold_desktop.exe"):
        shutil.copy(os.path.join(arguments.build, helper), work_dir)
    program = "setup.exe"
    if arguments.twin:
        shutil.copy(os.path.join(arguments.build, "message_box_text.exe"), work_dir)
        program = "SETUPLOG.EXE" if arguments.floppy or arguments.cd else "setuplog.exe"
    drive = None
    if arguments.floppy or arguments.cd:
        kind, image, letter = ("floppy", arguments.floppy, "a") if arguments.floppy else ("cdrom", arguments.cd, "d")
        run_dir = os.path.join(work_dir, "medium")
        extract_medium(kind, image, run_dir)
        drive = (letter, run_dir, kind)
        windows_dir = letter.upper() + ":"
    else:
        run_dir = work_dir
        if not scenario.get("no_folders"):
            os.makedirs(os.path.join(run_dir, "Win9x"))
            os.makedirs(os.path.join(run_dir, "WinNT", "V4"))
        shutil.copy(os.path.join(arguments.build, program), run_dir)
        windows_dir = "Z:" + run_dir.replace("/", "\\")
    prepare_prefix(arguments.prefix, arguments.build, variant, drive)
    twin_log.remove_old_logs(arguments.prefix)
    driver_path = windows_dir + ("\\WinNT\\V4" if variant == "nt40" else "\\Win9x")
    log_path = os.path.join(work_dir, "applet.log")

    env = wine_env(arguments.prefix)
    setup_env = {"STANDIN_VARIANT": variant, "STANDIN_LOG": "Z:" + log_path.replace("/", "\\")}
    setup_env.update(scenario.get("env", {}))
    if "exit_on" in scenario:
        setup_env["STANDIN_EXIT_ON"] = scenario["exit_on"][variant]
    setup_env.update(scenario.get("wine_env", {}))
    # setup.exe passes its environment on to the applet.
    env.update(setup_env)
    env.setdefault("OTHER_PROGRAM", "")
    env.update({"RUN_DIR": run_dir, "WORK_DIR": work_dir, "HARD_LIMIT": str(arguments.hard_limit * time_scale()),
                "HEAD_START": str(OTHER_PROGRAM_HEAD_START_S),
                "CLIPBOARD_SETTLE": str(CLIPBOARD_SETTLE_S), "SCREENS": "",
                "PROGRAM": program,
                "BOX_READER": os.path.join(work_dir, "message_box_text.exe") if arguments.twin else ""})
    run_name = variant + ("-from-" + drive[0].upper() if drive else "")
    if arguments.screens:
        frames = os.path.join(os.path.abspath(arguments.screens), run_name)
        shutil.rmtree(frames, ignore_errors=True)
        os.makedirs(frames)
        env["SCREENS"] = frames

    applet_expected = scenario["exit"] not in (1, 3)
    standin_missing = run_under_xvfb(env, work_dir, log_path, applet_expected)
    exit_code = int(read(os.path.join(work_dir, "exit_code"), "-1").strip() or -1)
    start_ms = int(read(os.path.join(work_dir, "start_ms"), "0").strip() or 0)
    end_ms = int(read(os.path.join(work_dir, "end_ms"), "0").strip() or 0)
    clipboard = read(os.path.join(work_dir, "clipboard.txt"))
    events = parse_log(read(log_path))
    wall = (end_ms - start_ms) / 1000.0

    def print_timeline():
        print("%s under Wine, variant %s, scenario %s" % (program, variant, arguments.scenario))
        for stamp, event in events:
            print("  %7.3f s  %s" % (stamp / 1000.0, event))
    if arguments.timeline:
        print_timeline()

    failures = []
    regedit = read(os.path.join(work_dir, "regedit_exit_code")).strip()
    if regedit != "0":
        failures.append("setting the Wine registry ended with exit code %s: %s"
                        % (regedit or "(none)", read(os.path.join(work_dir, "regedit.txt")).strip()))
    if standin_missing:
        failures.append("the stand-in applet did not log its start within %d s of setup.exe's start: "
                        "rundll32 loaded another desk.cpl, or none" % STANDIN_START_LIMIT_S)
    if exit_code != scenario["exit"]:
        failures.append("exit code %d, expected %d" % (exit_code, scenario["exit"]))
    if scenario["exit"] == 0:
        expected = expected_events(variant, driver_path)
        if scenario.get("tamper"):
            expected[1], expected[2] = expected[2], expected[1]
        if scenario.get("ends_after") in expected:
            expected = expected[:expected.index(scenario["ends_after"]) + 1]
        actual = [event for _, event in events if observable(event)]
        difference = first_difference(actual, expected)
        if difference:
            failures.append("first event that differs, number %d: expected %s, got %s"
                            % difference)
        if clipboard != driver_path:
            failures.append("clipboard holds %r, expected %r (the reader's exit code: %s; 2: it could not open "
                            "the clipboard, 3: no text on it)"
                            % (clipboard, driver_path, read(os.path.join(work_dir, "clipboard_exit_code")).strip()))
            failures.append("the reader saw: %r; the clipboard had%s settled before the start" % (
                read(os.path.join(work_dir, "clipboard_err.txt")),
                "" if read(os.path.join(work_dir, "clipboard_settled")).strip() == "0" else " not"))
    elif scenario["exit"] == 2:
        exits = [event for _, event in events if "(exits at " in event]
        if not exits:
            failures.append("the applet never ended")
        else:
            applet_end = int(exits[0].split("(exits at ")[1].rstrip(")"))
            reaction = (end_ms - applet_end) / 1000.0
            print("setup.exe ended %.3f s after the applet" % reaction)
            if reaction > REACTION_LIMIT_S:
                failures.append("setup.exe took %.3f s to notice the applet had gone" % reaction)
    elif scenario["exit"] in (1, 3) and events:
        failures.append("the applet was started: %s" % events[0][1])

    if arguments.twin:
        killed = scenario["exit"] == 124
        lines = twin_log.check(arguments.prefix, [event for _, event in events], exit_code,
                               read(os.path.join(work_dir, "box.txt")), killed, failures)
        if killed and lines:
            # A wait killed midway ends with what it was doing, folded, and for how long.
            size = sum(len(line) + 2 for line in lines)
            if size >= 64 * 1024:
                failures.append("the log of a killed wait is %d bytes, not under 64 KB" % size)
            if "so far" not in lines[-1] or not any("GetParent(" in line for line in lines[-12:]):
                failures.append("the log's last lines do not name the wait: %r" % lines[-12:])
        if arguments.show_log and lines:
            print("the log's first and last lines:")
            print("\n".join("  | " + line for line in lines[:8] + ["..."] + lines[-8:]))

    if arguments.save_events:
        with open(arguments.save_events, "w") as out:
            json.dump({"variant": variant, "scenario": arguments.scenario, "directory": windows_dir,
                       "events": [event for _, event in events]}, out, indent=1)

    floor = pause_floor(variant) if scenario["exit"] == 0 else None
    print("%s, variant %s, scenario %s: exit code %d in %.3f s%s; path handed over %s" % (
        program, variant, arguments.scenario, exit_code, wall,
        "" if floor is None else " (the program's own pauses: %.3f s)" % floor,
        repr(clipboard) if clipboard else "none"))
    if arguments.screens:
        sheet = contact_sheet(env["SCREENS"], events, os.path.join(arguments.screens, "contact-sheet-%s.png" % run_name))
        if sheet:
            print("contact sheet %s" % sheet)
    wine_output = read(os.path.join(work_dir, "setup-wine.txt")).rstrip()
    if failures and wine_output:
        print("setup.exe's own output under Wine:")
        print("\n".join("  | " + line for line in wine_output.splitlines()))
    if failures and not arguments.timeline:
        print("what the stand-in saw:")
        print_timeline()
    windows = read(os.path.join(work_dir, "windows.txt")).rstrip()
    if failures and windows:
        print("the windows when setup.exe was killed:")
        print("\n".join("  | " + line for line in windows.splitlines()))
    shutil.rmtree(work_dir, ignore_errors=True)
    for failure in failures:
        print("FAIL: %s" % failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
