"""Shared by the render tests: the frames of a whole capture run, a video's frames and sound, and a
render stopped mid-way."""

import hashlib
import json
import os
import signal
import subprocess
import time

from demo_harness import DataDir, read_bmp, run_demo

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts")
SIZE = ["-w", "64", "-h", "36"]


def whole_run_frames():
    """The MD5 of each frame of a whole capture run as top-down RGB, the form ffmpeg decodes to."""
    with DataDir(capture=True) as data:
        result = run_demo(["--capture", "--windowed", *SIZE, "--no-music"], data.path)
        assert result.returncode == 0 and len(os.listdir(data.file("capture"))) == 3480, result.stderr
        sums = []
        for i in range(3480):
            bgr = b"".join(reversed(read_bmp(data.file(f"capture/frame{i}.bmp"))[2]))
            rgb = bytearray(bgr)
            rgb[0::3], rgb[2::3] = bgr[2::3], bgr[0::3]
            sums.append(hashlib.md5(rgb).hexdigest())
    return sums


def probe(video):
    """The MD5 of each decoded frame, and the sound's start and length in seconds (to 10 ms)."""
    run = lambda *args: subprocess.run(args, capture_output=True, check=True).stdout
    frames = run("ffmpeg", "-v", "error", "-i", video, "-map", "0:v", "-pix_fmt", "rgb24", "-f", "framemd5", "-")
    samples = len(run("ffmpeg", "-v", "error", "-i", video, "-map", "0:a", "-ac", "1", "-f", "s16le", "-")) // 2
    start = run("ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries", "stream=start_time", "-of",
                "csv=p=0", video)
    return ([line.split(b",")[-1].strip().decode() for line in frames.splitlines() if not line.startswith(b"#")],
            (float(start), round(samples / 44100, 2)))


def processes(render_pid, render_id):
    """The render's processes: the script's descendants and, on the hosts, what runs under the render's id."""
    table = [line.split(None, 2) + [""] for line in
             subprocess.run(["ps", "-eo", "pid=,ppid=,args="], capture_output=True, text=True).stdout.splitlines()]
    found = {int(pid) for pid, _, args, *_ in table if int(pid) == render_pid or f"render-{render_id}" in args}
    while grown := {int(pid) for pid, ppid, *_ in table if int(ppid) in found} - found:
        found |= grown
    return found


def stop_mid_way(command, env, output, signum):
    """Starts a render of three chunks, sends `signum` once a segment is finished and others are still
    rendering, checks that every process of it ends and that no video is left; returns its stderr and the
    number of finished segments."""
    work = output + ".render"
    segments = lambda: [name for name in os.listdir(work) if name.endswith(".mkv")] if os.path.isdir(work) else []
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    while not segments():
        assert proc.poll() is None, proc.stderr.read()
        time.sleep(0.05)
    with open(os.path.join(work, "plan.json")) as f:
        started = processes(proc.pid, json.load(f)["id"])
    proc.send_signal(signum)
    err = proc.communicate(timeout=60)[1]
    deadline = time.time() + 30
    while (running := [p for p in started if os.path.exists(f"/proc/{p}")]) and time.time() < deadline:
        time.sleep(0.1)
    assert len(started) > 4 and running == [], (started, running)
    assert os.listdir(os.path.dirname(output)) == [os.path.basename(work)], "a video left behind"
    return err, len(segments())
