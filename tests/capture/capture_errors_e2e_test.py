"""A frame that cannot be written ends the run with an error line and status
255 after its "Write to" line; the frames written before it stay."""

import os

from bmp import read_bmp
from demo_harness import DataDir, run_demo

ARGS = ["--capture", "--windowed", "-w", "40", "-h", "30", "--no-music"]

with DataDir(capture=False) as data:  # no "capture" directory: the open fails
    result = run_demo(ARGS, data.path, timeout=300)
    assert result.returncode == 255, (result.returncode, result.stderr)
    assert result.stdout == "40 30\nWrite to capture/frame0.bmp\n", result.stdout
    assert result.stderr == "Error writing file: capture/frame0.bmp\n", result.stderr

# frame2.bmp leads to /dev/full, where the write fails; the longer stale frame0.bmp is replaced.
with DataDir(capture=True) as data:
    data.write("capture/frame0.bmp", b"\xab" * 100000)
    os.symlink("/dev/full", data.file("capture/frame2.bmp"))
    result = run_demo(ARGS, data.path, timeout=300)
    assert result.returncode == 255, (result.returncode, result.stderr)
    assert result.stdout.splitlines()[-1] == "Write to capture/frame2.bmp", result.stdout
    assert result.stderr == "Error writing file: capture/frame2.bmp\n", result.stderr
    assert all(read_bmp(data.file(f"capture/frame{i}.bmp"))[:2] == (40, 30) for i in (0, 1))
