"""`display.py SIZE COMMAND...`: COMMAND on an X server of its own, out of other tests' reach."""

import os
import subprocess
import sys

sys.path.append(os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts"))
from render_chunk import start_xvfb  # noqa: E402 (the server ends with the process that starts it)

xvfb, display = start_xvfb(*sys.argv[1].split("x"), subprocess.DEVNULL)
os.environ["DISPLAY"] = display or sys.exit("Xvfb did not start")
os.execvp(sys.argv[2], sys.argv[2:])
