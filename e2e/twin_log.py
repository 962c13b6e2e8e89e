"""The logging twin's side of a run under Wine: its log, found in the prefix
and held against what the stand-in saw, and the text of its message box.

Wine's temp folder moved between Wine 8 (C:\\users\\NAME\\Temp) and Wine 10
(C:\\users\\NAME\\AppData\\Local\\Temp), so the log is looked for wherever the
twin may write it, below the prefix's users and Windows folders.
"""
import os
import re

LOG_NAME = "setuplog.txt"
# The meaning the box and the log's end give each exit code, as the twin words it.
MEANINGS = {
    0: "The installation ran to its end: the Display applet was driven through it.",
    1: "The Display applet could not be started: rundll32.exe is missing or cannot be started.",
    2: "The Display applet ended before the installation was done: it was closed, or it crashed.",
    3: "No usable driver folder: the current directory cannot be read, the driver path would not fit 260 bytes, "
       "or Win9x (WinNT\\V4 on NT) is missing. Nothing was pasted.",
    4: "The driver path could not be put on the clipboard (the hidden edit window could not be created); "
       "nothing was pasted.",
}
SENT = re.compile(r"Send(?:MessageCallback|NotifyMessage|Message)A\(\S+ \"[^\"]*\" #(-?\d+), "
                  r"(BM_CLICK|BM_SETCHECK|WM_PASTE|TCM_SETCURFOCUS),")
APPLET = {"click": "BM_CLICK", "check": "BM_SETCHECK", "paste": "WM_PASTE", "tab": "TCM_SETCURFOCUS"}


def logs_in(prefix):
    found = []
    for top in ("users", "windows"):
        for folder, _, names in os.walk(os.path.join(prefix, "drive_c", top)):
            found += [os.path.join(folder, name) for name in names if name.lower() == LOG_NAME]
    return found


def remove_old_logs(prefix):
    for path in logs_in(prefix):
        os.remove(path)


def windows_path(prefix, path):
    return "C:\\" + os.path.relpath(path, os.path.join(prefix, "drive_c")).replace("/", "\\")


def logged_actions(lines):
    """The clicks, checks, tab change and paste the log shows, as 'MESSAGE id'."""
    return ["%s %s" % (match.group(2), match.group(1)) for match in map(SENT.search, lines) if match]


def applet_actions(events):
    """The same, from what the stand-in saw."""
    actions = []
    for event in events:
        kind = event.split(" ", 1)[0]
        match = re.search(r"#(-?\d+)", event)
        if kind in APPLET and match:
            actions.append("%s %s" % (APPLET[kind], match.group(1)))
    return actions


def check(prefix, events, exit_code, box_text, killed, failures):
    """Holds the twin's log and box against the run; returns the log's lines."""
    logs = logs_in(prefix)
    if len(logs) != 1:
        failures.append("expected one SETUPLOG.TXT in the prefix, found %r" % logs)
        return []
    data = open(logs[0], "rb").read()
    lines = data.decode("latin-1").split("\r\n")
    print("log %s: %d bytes, %d lines" % (windows_path(prefix, logs[0]), len(data), len(lines)))
    if lines and lines[-1] == "":
        lines.pop()
    if any("\n" in line for line in lines):
        failures.append("a line of the log does not end in CR LF")
    logged, seen = logged_actions(lines), applet_actions(events)
    if logged != seen:
        failures.append("the log's actions %r are not the stand-in's %r" % (logged, seen))
    if killed:
        if box_text:
            failures.append("a run that was killed showed a box: %r" % box_text)
        return lines
    expected = "%s (exit code %d)\r\n\r\nThe log is %s." % (MEANINGS.get(exit_code, "The run ended."), exit_code,
                                                          windows_path(prefix, logs[0]))
    if box_text.lower() != expected.lower():
        failures.append("the box says %r, expected %r" % (box_text, expected))
    if "\r\n".join(lines[-3:]).lower() != expected.lower():
        failures.append("the log ends %r, not with the box's words" % lines[-3:])
    return lines
