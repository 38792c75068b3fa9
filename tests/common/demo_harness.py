"""Helpers for end-to-end tests: run the real `demo` from a data folder in a
temporary directory, talk to its window through xdotool and read it back."""

import os
import shutil
import subprocess
import tempfile
import threading
import time

RUN_DIR = os.environ.get("DEMO_RUN_DIR", os.path.join(os.path.dirname(__file__), "../../build/run"))
DEMO = os.path.join(RUN_DIR, "demo")
SANITIZED = os.environ.get("DEMO_SANITIZE", "0") == "1"
DATA_FOLDERS = ("shaders", "fonts", "assets")


class DataDir:
    """A temporary working directory holding copies of the run-time data.

    `omit` names folders or files (relative paths) to leave out; `capture`
    creates the empty capture folder."""

    def __init__(self, omit=(), capture=False):
        self._tmp = tempfile.TemporaryDirectory(prefix="demo-e2e-")
        self.path = self._tmp.name
        for folder in DATA_FOLDERS:
            if folder not in omit:
                shutil.copytree(os.path.join(RUN_DIR, folder), os.path.join(self.path, folder))
        for item in omit:
            target = os.path.join(self.path, item)
            if os.path.isdir(target):
                shutil.rmtree(target)
            elif os.path.exists(target):
                os.remove(target)
        if capture:
            os.mkdir(os.path.join(self.path, "capture"))

    def file(self, relative):
        return os.path.join(self.path, relative)

    def write(self, relative, content):
        mode = "wb" if isinstance(content, bytes) else "w"
        with open(self.file(relative), mode) as f:
            f.write(content)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self._tmp.cleanup()


def demo_env(extra=None):
    env = dict(os.environ)
    env.setdefault("SDL_AUDIODRIVER", "dummy")
    if SANITIZED:
        env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    if extra:
        env.update(extra)
    return env


def run_demo(args, cwd, env=None, timeout=600):
    """Runs the demo to its end; returns the CompletedProcess (text output)."""
    return subprocess.run([DEMO, *args], cwd=cwd, env=demo_env(env), capture_output=True,
                          text=True, timeout=timeout)


def start_demo(args, cwd, env=None):
    return subprocess.Popen([DEMO, *args], cwd=cwd, env=demo_env(env), stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True,
                          check=True).stdout.strip()


def find_window(proc, timeout=60):
    """The X window id of the demo started as `proc`, once it is mapped."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        if proc.poll() is not None:
            raise RuntimeError("demo ended before its window appeared")
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)],
                               capture_output=True, text=True)
        ids = found.stdout.split()
        if ids:
            return ids[0]
        time.sleep(0.2)
    raise TimeoutError("no window for the demo")


def wait_for_output(proc, text, timeout=60):
    """Reads stdout lines until one contains `text`; returns the lines read."""
    lines = []
    deadline = time.time() + timeout
    while time.time() < deadline:
        line = proc.stdout.readline()
        if not line:
            break
        lines.append(line)
        if text in line:
            return lines
    raise AssertionError(f"{text!r} not seen on stdout; got {lines[-5:]!r}")


def window_exists(wid):
    return subprocess.run(["xdotool", "getwindowname", str(wid)], capture_output=True).returncode == 0


def grab_window(wid, path):
    """Saves the window's current content as an image file (ImageMagick)."""
    subprocess.run(["import", "-window", str(wid), path], check=True, capture_output=True)


def finish(proc, timeout=120):
    """Waits for the process; returns (status, rest of stdout, stderr).

    Reads through the pipes' own buffers, so nothing that wait_for_output
    has already buffered is lost."""
    err_chunks = []
    reader = threading.Thread(target=lambda: err_chunks.append(proc.stderr.read()))
    reader.start()
    out = proc.stdout.read()
    reader.join(timeout)
    proc.wait(timeout)
    return proc.returncode, out, "".join(err_chunks)


def close_window(wid):
    """Presses Escape in the window, then releases the key on the display.
    The release is not sent to the window, which is gone by then (xdotool
    would fail on it); it must still happen, or the held key would close the
    next demo's window."""
    subprocess.run(["xdotool", "keydown", "--window", str(wid), "Escape"], capture_output=True)
    subprocess.run(["xdotool", "keyup", "Escape"], capture_output=True)
