"""Shared by the live-mode tests: window grabs as pixel rows and the shader
sources the tests save into a run's data folder."""

import re
import time

from demo_harness import grab_window

FLAT = """#version 330 core
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;
void main() {{ FragColor = vec4({}, 1.0); BrightColor = vec4(0.0, 0.0, 0.0, 1.0); }}
"""


def grab(wid, folder):
    """The window as a list of rows of (r, g, b) tuples, top row first."""
    path = folder.file("window.ppm")
    grab_window(wid, path)
    with open(path, "rb") as f:
        data = f.read()
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    width, height, maxval = map(int, header.groups())
    rgb = data[header.end():][::2 if maxval > 255 else 1]  # high bytes of 16-bit samples
    return [[tuple(rgb[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)] for y in range(height)]


def flat_colour(rows, tolerance=4):
    """The colour of a picture that is one colour within the dither's steps, else None."""
    first = rows[0][0]
    ok = all(abs(p[c] - first[c]) <= tolerance for row in rows for p in row for c in range(3))
    return first if ok else None


def near(a, b, tolerance=3):
    """True when two colours differ by at most `tolerance` in each channel."""
    return a is not None and b is not None and all(abs(x - y) <= tolerance for x, y in zip(a, b))


def wait_for(probe, timeout):
    """Calls probe until it returns something true; returns that, or None after timeout seconds."""
    deadline = time.time() + timeout
    while True:
        found = probe()
        if found or time.time() > deadline:
            return found
        time.sleep(0.1)
