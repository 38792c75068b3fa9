"""A whole capture run: one BMP per frame of the 60 fps clock up to 58 s, then status 0. Key F
puts the frame count into the frames, then F and I the three info lines instead; an enlarging
resize writes whole frames of the new size from the next frame on. Odd widths pad every row."""

import os
import time

from bmp import read_bmp
from demo_harness import PLAIN_BACKGROUND, DataDir, find_window, finish, start_demo, wait_for_output, xdotool

with DataDir(capture=True) as data:
    def after_keys(*names):
        """Presses the keys; returns the number of a frame written after they took effect."""
        for name in names:
            xdotool("key", "--window", window, name)
        time.sleep(0.3)
        return max(int(name[5:-4]) for name in os.listdir(data.file("capture")))

    data.write("shaders/background.frag", PLAIN_BACKGROUND)
    proc = start_demo(["--capture", "--windowed", "-w", "63", "-h", "100", "--no-music", "-n", "10"], data.path)
    try:
        window = find_window(proc)
        lines = wait_for_output(proc, "Write to capture/frame3.bmp")
        count_only, info = after_keys("f"), after_keys("f", "i")
        xdotool("windowsize", window, 101, 120)
        status, out, err = finish(proc, timeout=600)
    finally:
        proc.kill()
    assert (status, err) == (0, ""), (status, err[-2000:])
    names = [f"frame{i}.bmp" for i in range(58 * 60)]
    assert sorted(os.listdir(data.file("capture"))) == sorted(names)
    images = [read_bmp(data.file("capture/" + n)) for n in names]
sizes = [image[:2] for image in images]
resized = sizes.index((101, 120))
assert info < resized and sizes == [(63, 100)] * resized + [(101, 120)] * (len(names) - resized), sizes
lines = "".join(lines).splitlines() + out.splitlines()
assert lines == (["63 100"] + [f"Write to capture/{n}" for n in names[:resized]] + ["Resized the window to 101x120"]
                 + [f"Write to capture/{n}" for n in names[resized:]]), (len(lines), lines[-2:])


def lit(n):
    """Near-white pixels in the bands of the text lines at baselines 15, 45 and 75 from the bottom."""
    rows = images[n][2]  # bottom row first
    return [sum(min(row[i:i + 3]) >= 200 for row in rows[base - 3:base + 17] for i in range(0, len(row), 3))
            for base in (15, 45, 75)]


assert lit(3) == [0, 0, 0] and min(min(row) for row in images[3][2]) > 20, "a dark grey frame before the keys"
count, fps, clock = lit(count_only)
assert count >= 5 and fps == clock == 0, lit(count_only)
assert min(lit(info)) >= 20, lit(info)
