"""Shared by the render tests: the scripts, their environment, and watchers
of the frame files and processes a render leaves behind."""

import os
import threading
import time

from demo_harness import RUN_DIR, SANITIZED

SCRIPTS = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                        "../../scripts"))
TOTAL_FRAMES = 3480
# The demo's output socket lets it run about seven lines (each one a frame
# file) ahead of the frame being encoded.
MAX_FRAMES_ON_DISK = 10


def script_env(tmpdir, display=True, extra=None):
    """The environment for scripts/render, scripts/run and scripts/package: the
    build under test, temporary files in `tmpdir`."""
    env = dict(os.environ, TMPDIR=tmpdir, DEMO_RUN_DIR=RUN_DIR)
    if SANITIZED:
        env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    if not display:
        env.pop("DISPLAY", None)
    env.update(extra or {})
    return env


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(d, name), folder)
                  for d, dirs, names in os.walk(folder) for name in dirs + names)


class FrameWatch:
    """Counts the BMP files under a folder tree every few milliseconds while a
    render runs; `peak` is the most seen at once, `names` every one seen."""

    POLL_S = 0.005

    def __init__(self, root):
        self.root = root
        self.peak = 0
        self.names = set()
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._watch, daemon=True)

    def _watch(self):
        while not self._stop.is_set():
            frames = [name for _, _, names in os.walk(self.root) for name in names
                      if name.endswith(".bmp")]
            self.peak = max(self.peak, len(frames))
            self.names.update(frames)
            time.sleep(self.POLL_S)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._stop.set()
        self._thread.join()


def children(pid):
    """The processes whose parent is `pid`."""
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    fields = f.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            if int(fields[1]) == pid:
                found.append(int(entry))
    return found


def running(pid):
    """True while `pid` exists and is not a zombie."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def wait_gone(pids, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline and any(running(p) for p in pids):
        time.sleep(0.05)
    return [p for p in pids if running(p)]
