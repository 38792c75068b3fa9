"""A frame that cannot be written ends the run with an error line and status
255 after its "Write to" line; the frames written before it stay."""

import os

from bmp import read_bmp
from demo_harness import DataDir, run_demo

ARGS = ["--capture", "--windowed", "-w", "40", "-h", "30", "--no-music"]


def missing_directory():
    with DataDir(capture=False) as data:
        result = run_demo(ARGS, data.path, timeout=300)
        assert result.returncode == 255, (result.returncode, result.stderr)
        assert result.stdout.splitlines()[-1] == "Write to capture/frame0.bmp", result.stdout
        assert result.stdout.count("Write to ") == 1, result.stdout
        assert result.stderr == "Error writing file: capture/frame0.bmp\n", result.stderr
        assert not os.path.exists(data.file("capture"))


def full_disk():
    """frame2.bmp leads to /dev/full, where every write fails; frame0.bmp is a
    longer file left from an earlier run, which the capture replaces."""
    with DataDir(capture=True) as data:
        data.write("capture/frame0.bmp", b"\xab" * 100000)
        os.symlink("/dev/full", data.file("capture/frame2.bmp"))
        result = run_demo(ARGS, data.path, timeout=300)
        assert result.returncode == 255, (result.returncode, result.stderr)
        writes = [line for line in result.stdout.splitlines() if line.startswith("Write to ")]
        assert writes == [f"Write to capture/frame{i}.bmp" for i in range(3)], writes
        assert result.stderr == "Error writing file: capture/frame2.bmp\n", result.stderr
        for name in ("frame0.bmp", "frame1.bmp"):
            image = read_bmp(data.file("capture/" + name))
            assert (image.width, image.height) == (40, 30), name
        assert sorted(os.listdir(data.file("capture"))) == ["frame0.bmp", "frame1.bmp", "frame2.bmp"]


def main():
    missing_directory()
    if os.path.exists("/dev/full"):
        full_disk()
    else:
        print("no /dev/full: full-disk case skipped")


if __name__ == "__main__":
    main()
