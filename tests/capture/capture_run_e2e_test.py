"""A whole capture run: one valid BMP per frame of the 60 fps clock up to 58 s,
then status 0; the sanitizer build uses an odd width (rows not a multiple of 4)."""

import os

from bmp import read_bmp
from demo_harness import SANITIZED, DataDir, run_demo

WIDTH, HEIGHT = (33 if SANITIZED else 64), 36
NAMES = [f"frame{i}.bmp" for i in range(58 * 60)]

with DataDir(capture=True) as data:
    result = run_demo(["--capture", "--windowed", "-w", str(WIDTH), "-h", str(HEIGHT), "--no-music"],
                      data.path, timeout=880)
    assert (result.returncode, result.stderr) == (0, ""), (result.returncode, result.stderr[-2000:])
    lines = result.stdout.splitlines()
    assert lines == [f"{WIDTH} {HEIGHT}"] + [f"Write to capture/{n}" for n in NAMES], (len(lines), lines[-2:])
    assert sorted(os.listdir(data.file("capture"))) == sorted(NAMES)
    images = [read_bmp(data.file("capture/" + n)) for n in NAMES]
    assert all(image[:2] == (WIDTH, HEIGHT) for image in images)
    assert images[0][2] != images[len(NAMES) // 2][2], "the picture did not change over the run"
