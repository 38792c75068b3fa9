"""Times whole renders (see bench/render/run): one job against the default jobs, side by side,
and prints their figures as "name: value unit" lines, with what N machines like this one would
take."""

import os
import re
import subprocess
import sys
import tempfile
import time

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts")
RENDER = os.path.join(SCRIPTS, "render.py")
sys.path.insert(0, SCRIPTS)
from render import BARS, CHUNKS_PER_SLOT, FRAMES, split_chunks  # noqa: E402


def render(run_dir, size, jobs):
    """Renders the show; returns the wall time, the join's time and one chunk's mean frame rate."""
    with tempfile.TemporaryDirectory(prefix="render-bench-") as tmp:
        start = time.monotonic()
        command = [sys.executable, RENDER, "--run-dir", run_dir, "-w", size[0], "-h", size[1],
                   "-o", os.path.join(tmp, "demo.mp4"), *jobs]
        result = subprocess.run(command, env=dict(os.environ, TMPDIR=tmp),
                                capture_output=True, text=True)
        seconds = time.monotonic() - start
    if result.returncode != 0:
        sys.exit(result.stderr[-2000:])
    join = float(re.search(r"joined in ([\d.]+) s", result.stdout).group(1))
    chunk_fps = float(re.search(r"one chunk rendered ([\d.]+) frames/s", result.stderr).group(1))
    return seconds, join, chunk_fps


def main(run_dir, width, height):
    size, name = (width, height), f"render_{width}x{height}"
    cores = len(os.sched_getaffinity(0))
    print(f"render_load_average_at_start: {os.getloadavg()[0]:.1f} processes")
    one, _, _ = render(run_dir, size, ["--jobs", "1"])
    print(f"{name}_1_job_time: {one:.1f} s")
    print(f"{name}_1_job_fps: {FRAMES / one:.2f} frames/s", flush=True)
    default, join, chunk_fps = render(run_dir, size, [])
    print(f"{name}_default_{cores}_jobs_time: {default:.1f} s")
    print(f"{name}_default_{cores}_jobs_fps: {FRAMES / default:.2f} frames/s")
    print(f"{name}_default_speedup: {one / default:.3f} x")
    print(f"{name}_join_time: {join:.2f} s")
    print(f"{name}_join_share: {100 * join / default:.2f} %")
    print(f"{name}_chunk_fps: {chunk_fps:.2f} frames/s")
    # N machines like this one, each running the default jobs: the chunks of
    # the default split go, in order, to whichever job slot is free first.
    for machines in (2, 4, 8):
        slots = [0.0] * (machines * cores)
        for _, frames in split_chunks(min(BARS, CHUNKS_PER_SLOT * len(slots))):
            slots[slots.index(min(slots))] += frames / chunk_fps
        print(f"{name}_estimate_{machines}_machines: {max(slots) + join:.0f} s")

if __name__ == "__main__":
    main(*sys.argv[1:4])
