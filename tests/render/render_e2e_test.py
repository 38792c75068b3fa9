"""scripts/run without a display renders demo.mp4 through scripts/render; the frame files come
and go in TMPDIR, a few at most, and nothing else is left behind."""

import json
import os
import subprocess
import tempfile
import threading

from demo_harness import RUN_DIR, demo_env

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts")

with tempfile.TemporaryDirectory(prefix="render-e2e-") as tmp:
    tmpdir, out = os.path.join(tmp, "tmp"), os.path.join(tmp, "out")
    os.mkdir(tmpdir)
    os.mkdir(out)
    env = {k: v for k, v in demo_env({"TMPDIR": tmpdir, "DEMO_RUN_DIR": RUN_DIR}).items() if k != "DISPLAY"}
    peak, seen, done = [0], set(), threading.Event()  # the most frame files at once, and all seen

    def watch():
        while not done.wait(0.005):
            frames = [n for _, _, ns in os.walk(tmpdir) for n in ns if n.endswith(".bmp")]
            peak[0] = max(peak[0], len(frames))
            seen.update(frames)

    threading.Thread(target=watch, daemon=True).start()
    r = subprocess.run([os.path.join(SCRIPTS, "run"), "--windowed", "-w", "64", "-h", "36"], cwd=out, env=env,
                       capture_output=True, text=True, timeout=800)
    done.set()
    assert r.returncode == 0, r.stderr[-2000:]
    assert f"No display: rendering the demo into {out}/demo.mp4" in r.stderr, r.stderr[-2000:]
    assert "render: 3480/3480 frames 100.0%" in r.stderr, r.stderr[-2000:]
    info = json.loads(subprocess.run(["ffprobe", "-v", "error", "-show_streams", "-show_format", "-of", "json",
                                      os.path.join(out, "demo.mp4")], capture_output=True, check=True).stdout)
    v, a = info["streams"]
    keys = ("codec_name", "width", "height", "r_frame_rate", "nb_frames")
    assert [v[k] for k in keys] == ["h264", 64, 36, "60/1", "3480"], v
    assert (a["codec_type"], a["codec_name"]) == ("audio", "aac"), a
    assert abs(float(info["format"]["duration"]) - 58.0) <= 0.1, info["format"]
    assert len(seen) > 100 and peak[0] <= 10, (len(seen), peak[0])  # the demo runs a few frames ahead at most
    assert (os.listdir(out), os.listdir(tmpdir)) == (["demo.mp4"], []), "files left behind"
