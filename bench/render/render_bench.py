"""Times one whole render (see bench/render/run) and prints its figures as
"name: value unit" lines."""

import os
import resource
import subprocess
import sys
import tempfile
import threading
import time

RENDER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts/render.py")
POLL_S = 0.01


def peak_frames(root, stop, result):
    while not stop.is_set():
        count = sum(name.endswith(".bmp") for _, _, names in os.walk(root) for name in names)
        result[0] = max(result[0], count)
        time.sleep(POLL_S)


def main(run_dir, width, height):
    size = f"{width}x{height}"
    load = os.getloadavg()[0]
    with tempfile.TemporaryDirectory(prefix="render-bench-") as tmp:
        output = os.path.join(tmp, "demo.mp4")
        stop = threading.Event()
        peak = [0]
        watch = threading.Thread(target=peak_frames, args=(tmp, stop, peak), daemon=True)
        watch.start()
        start = time.monotonic()
        render = subprocess.run([sys.executable, RENDER, "--run-dir", run_dir, "-w", width,
                                 "-h", height, "-o", output], env=dict(os.environ, TMPDIR=tmp),
                                capture_output=True, text=True)
        if render.returncode != 0:
            sys.exit(render.stderr)
        seconds = time.monotonic() - start
        stop.set()
        watch.join()
        usage = resource.getrusage(resource.RUSAGE_CHILDREN)
        video_mb = os.path.getsize(output) / 1e6
    print(f"render_load_average_at_start: {load:.1f} processes")
    print(f"render_{size}_time: {seconds:.1f} s")
    print(f"render_{size}_fps: {3480 / seconds:.2f} frames/s")
    print(f"render_{size}_cpu_time: {usage.ru_utime + usage.ru_stime:.1f} s")
    print(f"render_{size}_peak_frames_on_disk: {peak[0]} frames")
    print(f"render_{size}_video_size: {video_mb:.1f} MB")


if __name__ == "__main__":
    main(*sys.argv[1:4])
