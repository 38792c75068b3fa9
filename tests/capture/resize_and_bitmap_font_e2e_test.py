"""Frames captured after shrinking and after enlarging the window match, in 16 x 9 block averages,
those of the same number from a clean capture at the new size. With Terminus, a font of 1-bit
bitmaps, as the font, key I draws crisp glyphs: every pixel is the background or full white."""

import os
import shutil

from demo_harness import (OUTPUTS, PLAIN_BACKGROUND, DataDir, demo_window, escape, press, read_bmp,
                          wait_for_output, xdotool)

# Smooth ramps in the picture and its bright part: a target drawn in part, or at the wrong scale, shows.
RAMPS = OUTPUTS + ("void main() { FragColor = vec4(TexCoords, 0.3, 1.0);"
                   " BrightColor = vec4(0.0, 0.0, 2.0 * TexCoords.x * TexCoords.y, 1.0); }\n")
SIZES = [(96, 54), (240, 135)]  # shrunk and enlarged from 160 x 90


def capture(size, background, until=2, resizes=(), font=None):
    """A data folder with a capture at `size` to frame `until`, then each of `resizes` for three frames,
    or with a `font`, key I pressed and one more second."""
    data = DataDir(capture=True)
    data.write("shaders/background.frag", background)
    if font:
        shutil.copy(font, data.file("fonts/arial.ttf"))
    args = ["--capture", "--windowed", "--no-music", "-n", "10", "-w", str(size[0]), "-h"]
    with demo_window(args + [str(size[1])], data) as (proc, window):
        wait_for_output(proc, f"Write to capture/frame{until}.bmp")
        if font:
            press(window, "i", settle=1.0)
        for w, h in resizes:
            xdotool("windowsize", window, w, h)
            wait_for_output(proc, f"Resized the window to {w}x{h}")
            [wait_for_output(proc, "Write to capture/") for _ in range(3)]
        status, out, err = escape(proc, window)
    assert (status, err) == (0, "") and "ERROR" not in out, (status, err[-2000:], out[-2000:])
    return data


def frame(data, n):
    return read_bmp(data.file(f"capture/frame{n}.bmp"))


def blocks(w, h, rows):
    bw, bh = w // 16, h // 9
    return [sum(rows[y][3 * x + c] for y in range(by * bh, by * bh + bh) for x in range(bx * bw, bx * bw + bw))
            / (bw * bh) for by in range(9) for bx in range(16) for c in range(3)]


with capture((160, 90), RAMPS, resizes=SIZES) as resized:
    after = {}
    for n in range(3, len(os.listdir(resized.file("capture")))):
        w, h, rows = frame(resized, n)
        after.setdefault((w, h), []).append((n, blocks(w, h, rows)))
    for size in SIZES:
        assert len(after.get(size, [])) >= 3, (size, after.keys())
        with capture(size, RAMPS, until=after[size][-1][0]) as clean:
            for n, averages in after[size]:
                worst = max(abs(a - b) for a, b in zip(averages, blocks(*frame(clean, n))))
                assert worst <= 6, f"frame {n} at {size}: a block differs by {worst:.1f} from a clean capture"

with capture((200, 100), PLAIN_BACKGROUND, font="/usr/share/fonts/opentype/terminus/terminus-normal.otb") as text:
    _, _, rows = frame(text, len(os.listdir(text.file("capture"))) - 1)
white = sum(min(row[i:i + 3]) >= 252 for row in rows for i in range(0, 600, 3))
strays = [(i // 3, y) for y, row in enumerate(rows) for i in range(0, 600, 3)
          if min(row[i:i + 3]) < 252 and max(abs(a - b) for a, b in zip(row[i:i + 3], rows[0][-3:])) > 3]
assert not strays and white >= 300, (strays[:20], white)
