"""Ctrl-C during scripts/render, while a slow encoder lags behind the demo, stops the display, the
encoder and the demo, and leaves neither a video nor a temporary file behind."""

import os
import signal
import subprocess
import sys
import tempfile
import time

from demo_harness import RUN_DIR, demo_env

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts")
# About 15 frames a second, leaving a partial output as ffmpeg does.
SLOW_FFMPEG = f"""#!{sys.executable}
import sys, time
if "-encoders" in sys.argv:
    print(" V....D libx264  H.264")
    sys.exit()
open(sys.argv[-1], "wb").write(b"partial")
while sys.stdin.buffer.read(1782):
    time.sleep(0.016)
"""


def children(pid):
    out = subprocess.run(["ps", "-o", "pid=", "--ppid", str(pid)], capture_output=True, text=True).stdout
    return [int(p) for p in out.split()]


with tempfile.TemporaryDirectory(prefix="render-int-") as tmp:
    tmpdir, out, bin_dir = (os.path.join(tmp, d) for d in ("tmp", "out", "bin"))
    for folder in (tmpdir, out, bin_dir):
        os.mkdir(folder)
    with open(os.path.join(bin_dir, "ffmpeg"), "w") as f:
        f.write(SLOW_FFMPEG)
    os.chmod(os.path.join(bin_dir, "ffmpeg"), 0o755)
    env = {k: v for k, v in demo_env({"TMPDIR": tmpdir, "DEMO_RUN_DIR": RUN_DIR,
                                      "PATH": bin_dir + os.pathsep + os.environ["PATH"]}).items() if k != "DISPLAY"}
    proc = subprocess.Popen([os.path.join(SCRIPTS, "render"), "-w", "64", "-h", "36", "-o", out + "/v.mp4"],
                            env=env, stderr=subprocess.PIPE, text=True)
    deadline = time.time() + 120
    while len(started := children(proc.pid)) < 3 and proc.poll() is None and time.time() < deadline:
        time.sleep(0.1)
    time.sleep(2.0)  # frames flowing, the encoder behind
    assert len(started) == 3, ("Xvfb, the encoder and the demo", started)
    proc.send_signal(signal.SIGINT)
    _, err = proc.communicate(timeout=60)
    assert proc.returncode == 128 + signal.SIGINT, err
    assert "render: interrupted (SIGINT); stopping" in err and "render: no video written; temporary files removed" in err, err
    assert [p for p in started if os.path.exists(f"/proc/{p}")] == [], "processes left running"
    assert (os.listdir(out), os.listdir(tmpdir)) == ([], []), "files left behind"
