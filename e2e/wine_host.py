"""Whether this machine can run the 32-bit Wine that runs setup.exe at all,
and how slow it is at it.

Debian's Wine runs a 32-bit Windows program in a 32-bit Linux process
(wine32:i386). A kernel built or booted without 32-bit emulation refuses every
such process with "Exec format error"; there the runs happen in the emulated
PC of tools/wine-machine, and a run that finds itself on such a kernel all the
same says so and counts as skipped, not as passed or failed.
"""
import errno
import os
import re
import signal
import struct
import subprocess
import sys
import tempfile

# ctest's convention for a test that could not run here.
SKIPPED = 77

# How many times slower than a native run a run in a software-emulated PC may
# be. Every limit of the runs that assumes native speed (the stand-in's start,
# a head start, a hard limit, a reaction time) is multiplied by time_scale();
# the program's own pauses are wall time and never are.
SOFTWARE_EMULATION_SCALE = 6


def time_scale():
    """1 natively and under KVM; more in tools/wine-machine's guest without it."""
    return SOFTWARE_EMULATION_SCALE if os.environ.get("WINE_MACHINE") == "tcg" else 1

_BASE = 0x08048000
# mov eax, 1 (exit); xor ebx, ebx (status 0); int 0x80
_CODE = bytes.fromhex("b801000000" "31db" "cd80")


def _tiny_i386_program():
    """The smallest 32-bit x86 Linux program: one loadable segment that exits 0."""
    size = 52 + 32 + len(_CODE)
    header = (b"\x7fELF\x01\x01\x01" + bytes(9) +
              struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, _BASE + 52 + 32, 52, 0, 0, 52, 32, 1, 0, 0, 0))
    segment = struct.pack("<IIIIIIII", 1, 0, _BASE, _BASE, size, size, 5, 0x1000)
    return header + segment + _CODE


def why_wine_cannot_run():
    """A sentence saying why, or None when 32-bit programs run (or when that
    cannot be told, so that a real failure still shows as one)."""
    with tempfile.TemporaryDirectory(prefix="i386-probe.") as folder:
        program = os.path.join(folder, "exit0")
        with open(program, "wb") as out:
            out.write(_tiny_i386_program())
        os.chmod(program, 0o755)
        try:
            subprocess.run([program], check=False, timeout=30)
        except OSError as error:
            if error.errno == errno.ENOEXEC:
                return ("this machine's kernel does not run 32-bit x86 programs (its 32-bit emulation is off; "
                        "the kernel's boot option ia32_emulation=on turns it on), and Debian's Wine runs a "
                        "32-bit Windows program as one")
    return None


# Inside e2e/wine-session the X display and the Wine server, with the prefix's
# own services, outlive each run; a run ends only what it started.
SESSION_PROGRAMS = {"services.exe", "explorer.exe", "winedevice.exe", "plugplay.exe", "svchost.exe", "rpcss.exe",
                    "conhost.exe"}


def in_session():
    return bool(os.environ.get("E2E_WINE_SESSION"))


def end_run_in_session():
    """Kills every Wine process but the server and the session's own services."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            executable = os.readlink("/proc/%s/exe" % pid)
            command_line = open("/proc/%s/cmdline" % pid, "rb").read().decode("latin-1").replace("\0", " ")
        except OSError:
            continue
        if "/wine" not in executable or "wineserver" in executable:
            continue
        # Wine writes the Windows command line over the process's own, as one string.
        programs = [name.lower() for name in re.findall(r"([^\\/\s]+\.exe)\b", command_line, re.IGNORECASE)]
        if not programs or programs[0] not in SESSION_PROGRAMS:
            try:
                os.kill(int(pid), signal.SIGKILL)
            except OSError:
                pass


if __name__ == "__main__":
    if sys.argv[1:] == ["--end-run"]:
        end_run_in_session()
    else:
        # For the shell scripts: the reason, or an empty line.
        print(why_wine_cannot_run() or "")
