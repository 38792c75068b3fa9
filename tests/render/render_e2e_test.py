"""scripts/render: without options (through scripts/run, no display) an H.264 + AAC MP4 of 3480 frames and 58 s of
sound, with the frame files coming and going in TMPDIR; with --lossless in two chunks, frame for frame the BMP files
of a whole capture run; killed once a chunk is done, with no process and no video left, then run again: only the
missing chunks render, and the video is the same."""

import json
import os
import signal
import subprocess
import tempfile

from demo_harness import RUN_DIR, demo_env
from render_harness import SCRIPTS, SIZE, probe, stop_mid_way, whole_run_frames

whole_run = whole_run_frames()
with tempfile.TemporaryDirectory(prefix="render-e2e-") as tmp:
    tmpdir, out = os.path.join(tmp, "tmp"), os.path.join(tmp, "out")
    os.mkdir(tmpdir)
    os.mkdir(out)
    env = {k: v for k, v in demo_env({"TMPDIR": tmpdir, "DEMO_RUN_DIR": RUN_DIR}).items() if k != "DISPLAY"}
    r = subprocess.run([os.path.join(SCRIPTS, "run"), "--windowed", *SIZE], cwd=out, env=env, capture_output=True,
                       text=True, timeout=800)
    assert r.returncode == 0, r.stderr[-2000:]
    assert f"No display: rendering the demo into {out}/demo.mp4" in r.stderr, r.stderr[-2000:]
    assert "render: 3480/3480 frames 100.0%  chunks: " in r.stderr, r.stderr[-2000:]
    info = json.loads(subprocess.run(["ffprobe", "-v", "error", "-show_streams", "-of", "json", out + "/demo.mp4"],
                                     capture_output=True, check=True).stdout)
    (v, a), keys = info["streams"], ("codec_name", "width", "height", "r_frame_rate", "nb_frames")
    assert [v[k] for k in keys] == ["h264", 64, 36, "60/1", "3480"], v
    assert a["codec_name"] == "aac" and probe(out + "/demo.mp4")[1] == (0.0, 58.0), a
    assert (os.listdir(out), os.listdir(tmpdir)) == (["demo.mp4"], []), "files left behind"
    os.remove(out + "/demo.mp4")

    render = [os.path.join(SCRIPTS, "render"), *SIZE, "--lossless", "--jobs", "2", "-o", out + "/v.mkv"]
    r = subprocess.run(render + ["--chunks", "2"], env=env, capture_output=True, text=True, timeout=800)
    assert r.returncode == 0 and "in 2 chunks" in r.stdout, r.stderr[-2000:]
    assert probe(out + "/v.mkv") == (whole_run, (0.0, 58.0)), "the video differs from the whole capture run"
    os.remove(out + "/v.mkv")

    finished = stop_mid_way(render + ["--chunks", "3"], env, out + "/v.mkv", signal.SIGKILL)[1]
    r = subprocess.run(render + ["--chunks", "3"], env=env, capture_output=True, text=True, timeout=800)
    assert r.returncode == 0 and f"{finished} of 3 chunks done" in r.stderr, r.stderr[-2000:]
    assert f"in 3 chunks ({3 - finished} rendered by this run)" in r.stdout, r.stdout
    assert probe(out + "/v.mkv") == (whole_run, (0.0, 58.0)), "the resumed video differs"
    assert (os.listdir(out), os.listdir(tmpdir)) == (["v.mkv"], []), "files left behind"
