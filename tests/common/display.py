"""An X server of a test's own, so that no window or key of a test running beside it reaches its
windows. As a program: `display.py SIZE COMMAND...` runs COMMAND on a new server of SIZE (WxH)."""

import ctypes
import os
import signal
import subprocess
import sys

PR_SET_PDEATHSIG = 1


def _end_with_parent():
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def start_server(size):
    """Starts Xvfb on a free display number, ended when the process that started it ends (killed
    included). Returns (server process, display name)."""
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", size + "x24", "-nolisten", "tcp",
                             "-noreset"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                            preexec_fn=_end_with_parent)
    number = xvfb.stdout.readline().strip()
    if not number.isdigit():
        sys.exit(f"Xvfb did not start (it gave {number!r})")
    return xvfb, ":" + number


def main():
    size, command = sys.argv[1], sys.argv[2:]
    os.environ["DISPLAY"] = start_server(size)[1]
    os.execvp(command[0], command)


if __name__ == "__main__":
    main()
