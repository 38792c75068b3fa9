"""Key I during a capture puts the info text into the frames (a run without the key, on the same
fixed clock, is the reference); a resize afterwards writes whole frames of the new size."""

import os
import time

from bmp import read_bmp
from demo_harness import DataDir, close_window, find_window, finish, start_demo, wait_for_output, xdotool


def capture(data, last=None):
    """Captures past frame 3; with no `last`, presses I, takes the last frame a second later and
    resizes the window after it; returns `last`."""
    proc = start_demo(["--capture", "--windowed", "-w", "64", "-h", "36", "--no-music"], data.path)
    keyed = last is None
    try:
        window = find_window(proc)
        wait_for_output(proc, "Write to capture/frame3.bmp")
        if keyed:
            xdotool("key", "--window", window, "i")
            time.sleep(1.0)
            last = max(int(name[5:-4]) for name in os.listdir(data.file("capture")))
        wait_for_output(proc, f"Write to capture/frame{last + 1}.bmp")
        if keyed:
            xdotool("windowsize", window, 45, 27)
            wait_for_output(proc, "Resized the window to 45x27")
            wait_for_output(proc, "Write to capture/")
        close_window(window)
    except BaseException:
        proc.kill()
        raise
    status, _, err = finish(proc)
    assert (status, err) == (0, ""), (status, err[-2000:])
    return last


with DataDir(capture=True) as info, DataDir(capture=True) as plain:
    last = capture(info)
    capture(plain, last)
    frames = [(read_bmp(plain.file(f"capture/frame{n}.bmp"))[2], read_bmp(info.file(f"capture/frame{n}.bmp"))[2])
              for n in (3, last)]
    sizes = [read_bmp(info.file(f"capture/frame{n}.bmp"))[:2] for n in range(len(os.listdir(info.file("capture"))))]
assert frames[0][0] == frames[0][1], "the text showed before the key"
# The white text, from x = 10 and its baseline 15 rows above the bottom up, lightens the last frame.
lighter = [(x, y) for y, (p, i) in enumerate(zip(*frames[1])) for x in range(64)
           if sum(i[3 * x:3 * x + 3]) > sum(p[3 * x:3 * x + 3]) + 150]
assert len(lighter) >= 20 and min(x for x, _ in lighter) >= 9 and min(y for _, y in lighter) >= 12, lighter
first_new = sizes.index((45, 27))
assert first_new > last + 1 and sizes == [(64, 36)] * first_new + [(45, 27)] * (len(sizes) - first_new), sizes
