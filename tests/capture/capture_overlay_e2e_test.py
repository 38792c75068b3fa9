"""The info text switched on with key I during a capture is in the captured
frames; the fixed capture clock lets a run without the key give the reference."""

import os
import time

from bmp import read_bmp
from demo_harness import DataDir, close_window, find_window, finish, start_demo, wait_for_output, xdotool


def capture(data, key, last=None):
    """Captures past frame 3 (and a second past the key), or past `last`; returns the last frame."""
    proc = start_demo(["--capture", "--windowed", "-w", "64", "-h", "36", "--no-music"], data.path)
    try:
        window = find_window(proc)
        wait_for_output(proc, "Write to capture/frame3.bmp")
        if key:
            xdotool("key", "--window", window, key)
            time.sleep(1.0)
            last = max(int(name[5:-4]) for name in os.listdir(data.file("capture")))
        wait_for_output(proc, f"Write to capture/frame{last + 1}.bmp")
        close_window(window)
    except BaseException:
        proc.kill()
        raise
    assert finish(proc)[0] == 0
    return last


with DataDir(capture=True) as info, DataDir(capture=True) as plain:
    last = capture(info, "i")
    capture(plain, None, last)
    frames = [(read_bmp(plain.file(f"capture/frame{n}.bmp"))[2], read_bmp(info.file(f"capture/frame{n}.bmp"))[2])
              for n in (3, last)]
assert frames[0][0] == frames[0][1], "the text showed before the key"
# The white text, from x = 10 on, lightens pixels in the last frame.
lighter = [x for p, i in zip(*frames[1]) for x in range(64) if sum(i[3 * x:3 * x + 3]) > sum(p[3 * x:3 * x + 3]) + 150]
assert len(lighter) >= 20 and min(lighter) >= 9, lighter
