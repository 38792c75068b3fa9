"""--capture --start 30 writes frame1800.bmp first, byte for byte the whole run's."""

from demo_harness import DataDir, finish, start_demo, wait_for_output

ARGS = ["--windowed", "-w", "64", "-h", "36", "-n", "10", "--no-music", "--capture"]


def frame_1800(extra):
    """Captures up to frame 1800; returns the first file's line and frame1800.bmp's bytes."""
    with DataDir(capture=True) as data:
        proc = start_demo(ARGS + extra, data.path)
        try:
            lines = wait_for_output(proc, "Write to capture/frame1801.bmp", timeout=300)
        finally:
            proc.kill()
            finish(proc)
        with open(data.file("capture/frame1800.bmp"), "rb") as f:
            return next(line for line in lines if line.startswith("Write to ")).strip(), f.read()


first, whole_run = frame_1800([])
assert first == "Write to capture/frame0.bmp", first
first, started = frame_1800(["--start", "30"])
assert first == "Write to capture/frame1800.bmp", first
assert started == whole_run, "frame 1800 differs from the whole run's"
