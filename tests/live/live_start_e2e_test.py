"""--capture --start 30 writes frame1800.bmp first, byte for byte the whole run's."""

import os

from demo_harness import DataDir, finish, start_demo, wait_for_output

ARGS = ["--windowed", "-w", "64", "-h", "36", "-n", "10", "--no-music", "--capture"]


def frame_1800(data, extra):
    """Captures up to frame 1800; returns the first file's line and frame1800.bmp's bytes."""
    proc = start_demo(ARGS + extra, data.path)
    try:
        lines = wait_for_output(proc, "Write to capture/frame1801.bmp", timeout=300)
    finally:
        proc.kill()
        finish(proc)
    first = next(line for line in lines if line.startswith("Write to "))
    with open(data.file("capture/frame1800.bmp"), "rb") as f:
        content = f.read()
    for name in os.listdir(data.file("capture")):
        os.remove(data.file("capture/" + name))
    return first.strip(), content


with DataDir(capture=True) as data:
    first, whole_run = frame_1800(data, [])
    assert first == "Write to capture/frame0.bmp", first
    first, started = frame_1800(data, ["--start", "30"])
    assert first == "Write to capture/frame1800.bmp", first
    assert started == whole_run, "frame 1800 differs from the whole run's"
