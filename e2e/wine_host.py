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
import struct
import subprocess
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


if __name__ == "__main__":
    # For the shell scripts: the reason, or an empty line.
    print(why_wine_cannot_run() or "")
