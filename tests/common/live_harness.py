"""Shared by the live-mode tests: window grabs as pixel rows, test shaders."""

import pathlib
import re
import time

from demo_harness import grab_window

OUTPUTS = "#version 330 core\nlayout (location = 0) out vec4 FragColor;\nlayout (location = 1) out vec4 BrightColor;\n"
# A flat picture whose bright part is the colour too: the blur's result adds to it.
FLAT = OUTPUTS + "void main() {{ FragColor = vec4({0}, 1.0); BrightColor = vec4({0}, 1.0); }}\n"


def grab(wid, folder):
    path = folder.file("window.ppm")
    grab_window(wid, path)
    data = pathlib.Path(path).read_bytes()
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    width, height, maxval = map(int, header.groups())
    rgb = data[header.end():][::2 if maxval > 255 else 1]  # high bytes of 16-bit samples
    return [[tuple(rgb[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)] for y in range(height)]


def flat_colour(rows, tolerance=4):
    """The colour of a picture that is one colour within the dither's steps, else None; not black (no frame yet)."""
    return rows[0][0] if rows[0][0] != (0, 0, 0) and all(near(p, rows[0][0], tolerance) for row in rows for p in row) else None


def near(a, b, tolerance=3):
    return a is not None and b is not None and all(abs(x - y) <= tolerance for x, y in zip(a, b))


def wait_for(probe, timeout):
    deadline = time.time() + timeout
    while not (found := probe()) and time.time() < deadline:
        time.sleep(0.1)
    return found
