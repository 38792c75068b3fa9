"""A whole capture run: one BMP per frame of the 60 fps clock up to 58 s, then status 0. Key F
puts the frame count into the frames, then F and I the three info lines instead; an enlarging
resize writes whole frames of the new size from the next frame on. Odd widths pad every row.
A frame that cannot be written ends a run with an error line and status 255 after its "Write to"
line: with no "capture" folder at frame 0; at frame 2, which leads to /dev/full, after frames 0
and 1, whose files stay (the longer stale frame0.bmp replaced)."""

import os

from demo_harness import (PLAIN_BACKGROUND, DataDir, demo_window, finish, press, read_bmp,
                          run_demo, wait_for_output, xdotool)


for failing in (0, 2):
    with DataDir(capture=failing > 0) as data:
        if failing:
            data.write("capture/frame0.bmp", b"\xab" * 100000)
            os.symlink("/dev/full", data.file("capture/frame2.bmp"))
        result = run_demo(["--capture", "--windowed", "-w", "40", "-h", "30", "--no-music"], data.path, timeout=300)
        writes = [f"Write to capture/frame{i}.bmp" for i in range(failing + 1)]
        assert (result.returncode, result.stdout.splitlines(), result.stderr) == \
            (255, ["40 30"] + writes, f"Error writing file: capture/frame{failing}.bmp\n"), result
        assert all(read_bmp(data.file(f"capture/frame{i}.bmp"))[:2] == (40, 30) for i in range(failing))

with DataDir(capture=True) as data:
    def after_keys(*names):  # presses the keys; returns the number of a frame written after they took effect
        press(window, *names)
        return max(int(name[5:-4]) for name in os.listdir(data.file("capture")))

    data.write("shaders/background.frag", PLAIN_BACKGROUND)
    with demo_window(["--capture", "--windowed", "-w", "63", "-h", "100", "--no-music", "-n",
                      "10"], data) as (proc, window):
        lines = wait_for_output(proc, "Write to capture/frame3.bmp")
        count_only, info = after_keys("f"), after_keys("f", "i")
        xdotool("windowsize", window, 101, 120)
        status, out, err = finish(proc, timeout=600)
    assert (status, err) == (0, ""), (status, err[-2000:])
    names = [f"frame{i}.bmp" for i in range(58 * 60)]
    assert sorted(os.listdir(data.file("capture"))) == sorted(names)
    images = [read_bmp(data.file("capture/" + n)) for n in names]
sizes = [image[:2] for image in images]
resized = sizes.index((101, 120))
assert info < resized and sizes == [(63, 100)] * resized + [(101, 120)] * (len(names) - resized), sizes
writes = [f"Write to capture/{n}" for n in names]
lines = "".join(lines).splitlines() + out.splitlines()
assert lines == ["63 100"] + writes[:resized] + ["Resized the window to 101x120"] + writes[resized:], lines[-2:]


def lit(n):
    """Near-white pixels in the bands of the text lines at baselines 15, 45 and 75 from the bottom."""
    rows = images[n][2]  # bottom row first
    return [sum(min(row[i:i + 3]) >= 200 for row in rows[base - 3:base + 17] for i in range(0, len(row), 3))
            for base in (15, 45, 75)]


assert lit(3) == [0, 0, 0] and min(min(row) for row in images[3][2]) > 20, "a dark grey frame before the keys"
count, fps, clock = lit(count_only)
assert count >= 5 and fps == clock == 0, lit(count_only)
assert min(lit(info)) >= 20, lit(info)
