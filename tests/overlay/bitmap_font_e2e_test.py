"""Terminus, a font of 1-bit bitmaps, in place of the shipped font: key I draws the info text in
crisp glyphs (every pixel the background or full white), the T of "Time:" upright."""

import os
import shutil
import sys
import time

sys.path.append(os.path.join(os.path.dirname(__file__), "../capture"))
from bmp import read_bmp
from demo_harness import DataDir, close_window, find_window, finish, start_demo, wait_for_output, xdotool

TERMINUS = "/usr/share/fonts/opentype/terminus/terminus-normal.otb"
PLAIN = """#version 330 core
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;
void main() { FragColor = vec4(vec3(0.05), 1.0); BrightColor = vec4(0.0, 0.0, 0.0, 1.0); }
"""

with DataDir(capture=True) as data:
    shutil.copy(TERMINUS, data.file("fonts/arial.ttf"))
    data.write("shaders/background.frag", PLAIN)
    proc = start_demo(["--capture", "--windowed", "-w", "200", "-h", "100", "--no-music", "-n", "10"], data.path)
    try:
        window = find_window(proc)
        wait_for_output(proc, "Write to capture/frame2.bmp")
        xdotool("key", "--window", window, "i")
        time.sleep(1.0)
        last = max(int(name[5:-4]) for name in os.listdir(data.file("capture")))
        close_window(window)
    except BaseException:
        proc.kill()
        raise
    status, out, err = finish(proc)
    assert (status, err) == (0, "") and "ERROR" not in out, (status, err[-2000:], out[-2000:])
    _, _, rows = read_bmp(data.file(f"capture/frame{last}.bmp"))

background = rows[0][-3:]
white = [[all(v >= 252 for v in row[3 * x:3 * x + 3]) for x in range(200)] for row in rows]
strays = [(x, y) for y, row in enumerate(rows) for x in range(200)
          if not white[y][x] and max(abs(a - b) for a, b in zip(row[3 * x:3 * x + 3], background)) > 3]
assert not strays and sum(map(sum, white)) >= 300, (strays[:20], sum(map(sum, white)))
# The T's cell: 10 pixels from x = 10, on the baseline 75 rows above the bottom edge.
t_rows = [sum(white[y][10:20]) for y in range(71, 92) if any(white[y][10:20])]
assert t_rows[-1] >= 6 and all(n <= 2 for n in t_rows[:-2]), t_rows
