"""End-to-end helpers: run the real `demo` from a data folder in a temporary directory and talk to its window."""

import contextlib
import os
import pathlib
import re
import shutil
import struct
import subprocess
import tempfile
import threading
import time

RUN_DIR = os.environ.get("DEMO_RUN_DIR", os.path.join(os.path.dirname(__file__), "../../build/run"))
DEMO = os.path.join(RUN_DIR, "demo")
SANITIZED = os.environ.get("DEMO_SANITIZE", "0") == "1"
DATA_FOLDERS = ("shaders", "fonts", "assets")
# The head of a background shader (shaders/background.frag): the picture and its bright part.
OUTPUTS = ("#version 330 core\nin vec2 TexCoords;\nlayout (location = 0) out vec4 FragColor;\n"
           "layout (location = 1) out vec4 BrightColor;\n")
# A background of flat dark grey: only text is near white.
PLAIN_BACKGROUND = OUTPUTS + (
    "void main() { FragColor = vec4(vec3(0.05), 1.0); BrightColor = vec4(vec3(0.0), 1.0); }\n")


class DataDir(tempfile.TemporaryDirectory):
    """A temporary copy of the run-time data less `omit`, with an empty capture folder if asked."""

    def __init__(self, omit=(), capture=False):
        super().__init__(prefix="demo-e2e-")
        self.path = self.name
        left_out = lambda folder, names: [n for n in names if os.path.relpath(os.path.join(folder, n), RUN_DIR) in omit]
        for folder in DATA_FOLDERS:
            if folder not in omit:
                shutil.copytree(os.path.join(RUN_DIR, folder), self.file(folder), ignore=left_out)
        if capture:
            os.mkdir(self.file("capture"))

    def file(self, relative):
        return os.path.join(self.path, relative)

    def write(self, relative, content):
        with open(self.file(relative), "wb" if isinstance(content, bytes) else "w") as f:
            f.write(content)

    def __enter__(self):
        return self


def demo_env(extra=None):
    env = dict(os.environ)
    env.setdefault("SDL_AUDIODRIVER", "dummy")
    if SANITIZED:
        env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    env.update(extra or {})
    return env


def run_demo(args, cwd, env=None, timeout=600):
    """Runs the demo to its end; returns the CompletedProcess (text output)."""
    return subprocess.run([DEMO, *args], cwd=cwd, env=demo_env(env), capture_output=True, text=True, timeout=timeout)


def start_demo(args, cwd, env=None):
    return subprocess.Popen([DEMO, *args], cwd=cwd, env=demo_env(env), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            text=True)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, check=True).stdout.strip()


def press(wid, *keys, settle=0.3):
    """Presses each key in the window, giving the demo `settle` s after each."""
    for key in keys:
        xdotool("key", "--window", wid, key)
        time.sleep(settle)


def wait_for(probe, timeout):
    """Calls probe() every 0.1 s until it gives a true value or `timeout` s pass; returns its last."""
    deadline = time.time() + timeout
    while not (found := probe()) and time.time() < deadline:
        time.sleep(0.1)
    return found


def find_window(proc, timeout=60):
    """The X window id of the demo started as `proc`, once it is mapped."""
    def window_ids():
        assert proc.poll() is None, "demo ended before its window appeared"
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)],
                              capture_output=True, text=True).stdout.split()
    ids = wait_for(window_ids, timeout)
    assert ids, "no window for the demo"
    return ids[0]


def wait_for_output(proc, text, timeout=60):
    """Reads stdout lines until one contains `text`; returns the lines read. Fails, ending the demo, after `timeout` s."""
    lines = []
    watchdog = threading.Timer(timeout, proc.kill)  # a silent demo blocks the read: its end ends it
    watchdog.start()
    try:
        for line in iter(proc.stdout.readline, ""):
            lines.append(line)
            if text in line:
                return lines
    finally:
        watchdog.cancel()
    raise AssertionError(f"{text!r} not seen on stdout; got {lines[-5:]!r}")


@contextlib.contextmanager
def demo_window(args, data, env=None):
    """Starts the demo in the DataDir `data`; yields (process, window id); ends it at the end."""
    proc = start_demo(args, data.path, env)
    try:
        yield proc, find_window(proc)
    finally:
        proc.kill()


def grab(wid, folder):
    """The window's current content (by ImageMagick) as rows of (R, G, B), top row first."""
    path = folder.file("window.ppm")
    subprocess.run(["import", "-window", str(wid), path], check=True, capture_output=True)
    data = pathlib.Path(path).read_bytes()
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    width, height, maxval = map(int, header.groups())
    rgb = data[header.end():][::2 if maxval > 255 else 1]  # high bytes of 16-bit samples
    return [[tuple(rgb[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)]
            for y in range(height)]


def finish(proc, timeout=120):
    """Waits up to `timeout` s for the end (else TimeoutExpired); returns (status, rest of stdout, stderr)."""
    texts = {}
    readers = [threading.Thread(target=lambda s=s: texts.update({s: s.read()}), daemon=True)
               for s in (proc.stdout, proc.stderr)]
    for reader in readers:
        reader.start()
    proc.wait(timeout)
    for reader in readers:
        reader.join(timeout)
    return proc.returncode, texts.get(proc.stdout, ""), texts.get(proc.stderr, "")


def escape(proc, wid, within=20):
    """Presses Escape, released on the display, where the window may be gone; returns finish(proc),
    failing unless the demo ends within `within` s (the show: 58 s)."""
    assert proc.poll() is None, "the demo had ended before Escape"
    subprocess.run(["xdotool", "keydown", "--window", str(wid), "Escape"], capture_output=True)
    subprocess.run(["xdotool", "keyup", "Escape"], capture_output=True)
    try:
        return finish(proc, within)
    except subprocess.TimeoutExpired:
        proc.kill()
        raise AssertionError(f"the demo still ran {within} s after Escape") from None


def read_bmp(path):
    """A strict reader of a 24-bit BMP file: (width, height, rows of B, G, R bytes, bottom row first)."""
    data = pathlib.Path(path).read_bytes()
    (signature, file_size, _, _, offset, info_size, width, height, planes, bits, compression,
     image_size) = struct.unpack_from("<2sIHHIIiiHHII", data)
    assert signature == b"BM", path
    assert (file_size, offset, info_size, planes, bits, compression) == (len(data), 54, 40, 1, 24, 0), path
    stride = (3 * width + 3) // 4 * 4
    assert image_size == len(data) - 54 == stride * height, path
    rows = [data[start:start + stride] for start in range(54, len(data), stride)]
    assert not any(any(row[3 * width:]) for row in rows), f"{path}: padding not zero"
    return width, height, [row[:3 * width] for row in rows]
