"""A frame that cannot be written ends the run with an error line and status 255 after its
"Write to" line: with no "capture" folder at frame 0; at frame 2, which leads to /dev/full,
after frames 0 and 1, whose files stay (the longer stale frame0.bmp replaced)."""

import os

from bmp import read_bmp
from demo_harness import DataDir, run_demo

for failing in (0, 2):
    with DataDir(capture=failing > 0) as data:
        if failing:
            data.write("capture/frame0.bmp", b"\xab" * 100000)
            os.symlink("/dev/full", data.file("capture/frame2.bmp"))
        result = run_demo(["--capture", "--windowed", "-w", "40", "-h", "30", "--no-music"], data.path, timeout=300)
        assert result.returncode == 255, (result.returncode, result.stderr)
        writes = [f"Write to capture/frame{i}.bmp" for i in range(failing + 1)]
        assert result.stdout.splitlines() == ["40 30"] + writes, result.stdout
        assert result.stderr == f"Error writing file: capture/frame{failing}.bmp\n", result.stderr
        assert all(read_bmp(data.file(f"capture/frame{i}.bmp"))[:2] == (40, 30) for i in range(failing))
