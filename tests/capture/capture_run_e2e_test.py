"""A whole capture run: one BMP file per frame of the 60 fps clock up to 58 s,
each of the window's size, then status 0. The sanitizer build runs it with an
odd width, whose rows are not a multiple of 4 bytes."""

import os

from bmp import read_bmp
from demo_harness import SANITIZED, DataDir, run_demo

FRAMES = 58 * 60
WIDTH = 33 if SANITIZED else 64
HEIGHT = 36


def main():
    with DataDir(capture=True) as data:
        result = run_demo(["--capture", "--windowed", "-w", str(WIDTH), "-h", str(HEIGHT),
                           "--no-music"], data.path, timeout=880)
        assert result.returncode == 0, (result.returncode, result.stderr[-2000:])
        assert result.stderr == "", result.stderr[-2000:]

        lines = result.stdout.splitlines()
        assert lines[0] == f"{WIDTH} {HEIGHT}", lines[0]
        names = [f"frame{i}.bmp" for i in range(FRAMES)]
        assert lines[1:] == [f"Write to capture/{name}" for name in names], \
            (len(lines), lines[1:3], lines[-2:])

        files = set(os.listdir(data.file("capture")))
        assert files == set(names), sorted(files ^ set(names))[:5]
        for name in names:
            image = read_bmp(data.file(os.path.join("capture", name)))
            assert (image.width, image.height) == (WIDTH, HEIGHT), (name, image.width, image.height)
        first = read_bmp(data.file("capture/frame0.bmp"))
        middle = read_bmp(data.file(f"capture/frame{FRAMES // 2}.bmp"))
        assert first.rows != middle.rows, "the picture did not change over the run"
    print(f"{FRAMES} frames of {WIDTH}x{HEIGHT} captured")


if __name__ == "__main__":
    main()
