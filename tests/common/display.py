"""An X server of a test's own, so that no window, pointer or key of a test running beside it
reaches its windows. `display.py SIZE COMMAND...` runs COMMAND on a new server of SIZE (WxH)."""

import ctypes
import os
import signal
import subprocess
import sys


def start_server(size):
    """Starts Xvfb on a free display, ended with the process that started it (a killed one too).
    Returns (server process, display name)."""
    def end_with_parent():
        ctypes.CDLL(None).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", size + "x24", "-nolisten", "tcp",
                             "-noreset"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                            preexec_fn=end_with_parent)
    number = xvfb.stdout.readline().strip()
    if not number.isdigit():
        sys.exit(f"Xvfb did not start (it gave {number!r})")
    return xvfb, ":" + number


if __name__ == "__main__":
    os.environ["DISPLAY"] = start_server(sys.argv[1])[1]
    os.execvp(sys.argv[2], sys.argv[2:])
