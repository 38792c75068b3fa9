"""scripts/run without a display renders demo.mp4 through scripts/render; Ctrl-C stops a render
whose encoder lags, with every helper process. Frame files come and go in TMPDIR, a few at most."""

import json
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from demo_harness import RUN_DIR, demo_env

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts")
SIZE = ["-w", "64", "-h", "36"]
# A slow encoder (about 15 frames a second) that leaves a partial output, as ffmpeg does.
FAKE_FFMPEG = f"""#!{sys.executable}
import sys, time
if "-encoders" in sys.argv:
    sys.exit(print(" V....D libx264  H.264"))
open(sys.argv[-1], "wb").write(b"partial")
while sys.stdin.buffer.read(1782):
    time.sleep(0.016)
"""


class Render(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory(prefix="render-e2e-")
        self.addCleanup(tmp.cleanup)
        self.tmpdir, self.out, bin_dir = (os.path.join(tmp.name, d) for d in ("tmp", "out", "bin"))
        for folder in (self.tmpdir, self.out, bin_dir):
            os.mkdir(folder)
        with open(os.path.join(bin_dir, "ffmpeg"), "w") as f:
            f.write(FAKE_FFMPEG)
        os.chmod(os.path.join(bin_dir, "ffmpeg"), 0o755)
        self.env = {k: v for k, v in demo_env({"TMPDIR": self.tmpdir, "DEMO_RUN_DIR": RUN_DIR}).items() if k != "DISPLAY"}
        self.slow_env = dict(self.env, PATH=bin_dir + os.pathsep + os.environ["PATH"])
        self.peak, self.seen, done = 0, set(), threading.Event()  # most frame files at once, all seen
        threading.Thread(target=self.watch, args=(done,), daemon=True).start()
        self.addCleanup(done.set)

    def watch(self, done):
        while not done.wait(0.005):
            frames = [n for _, _, ns in os.walk(self.tmpdir) for n in ns if n.endswith(".bmp")]
            self.peak = max(self.peak, len(frames))
            self.seen.update(frames)

    def assert_nothing_left(self, out=()):
        self.assertEqual((os.listdir(self.out), os.listdir(self.tmpdir)), (list(out), []))
        self.assertLessEqual(self.peak, 10)  # the demo's output socket lets it run a few frames ahead

    def test_no_display_renders_the_whole_demo_into_demo_mp4(self):
        r = subprocess.run([os.path.join(SCRIPTS, "run"), "--windowed", *SIZE], cwd=self.out,
                           env=self.env, capture_output=True, text=True, timeout=800)
        self.assertEqual(r.returncode, 0, r.stderr[-2000:])
        self.assertIn(f"No display: rendering the demo into {self.out}/demo.mp4", r.stderr)
        self.assertIn("render: 3480/3480 frames 100.0%", r.stderr)
        info = json.loads(subprocess.run(["ffprobe", "-v", "error", "-show_streams", "-show_format", "-of", "json",
                                          os.path.join(self.out, "demo.mp4")], capture_output=True, check=True).stdout)
        v, a = info["streams"]
        self.assertEqual([v[k] for k in ("codec_name", "width", "height", "r_frame_rate", "nb_frames")],
                         ["h264", 64, 36, "60/1", "3480"])
        self.assertEqual((a["codec_type"], a["codec_name"]), ("audio", "aac"))
        self.assertAlmostEqual(float(info["format"]["duration"]), 58.0, delta=0.1)
        self.assertGreater(len(self.seen), 100, "the watch saw the frames come and go")
        self.assert_nothing_left(["demo.mp4"])

    def test_sigint_while_the_encoder_lags_stops_everything(self):
        proc = subprocess.Popen([os.path.join(SCRIPTS, "render"), *SIZE, "-o", self.out + "/v.mp4"],
                                env=self.slow_env, stderr=subprocess.PIPE, text=True)
        deadline = time.time() + 120
        while len(self.seen) < 40 and proc.poll() is None and time.time() < deadline:
            time.sleep(0.05)
        started = subprocess.run(["ps", "--ppid", str(proc.pid), "-o", "pid="], capture_output=True, text=True).stdout.split()
        self.assertEqual(len(started), 3, "Xvfb, the encoder and the demo")
        proc.send_signal(signal.SIGINT)
        _, err = proc.communicate(timeout=60)
        self.assertEqual(proc.returncode, 128 + signal.SIGINT, err)
        self.assertIn("render: interrupted (SIGINT); stopping", err)
        self.assertIn("render: no video written; temporary files removed", err)
        self.assertEqual([p for p in started if os.path.exists(f"/proc/{p}")], [])
        self.assert_nothing_left()


if __name__ == "__main__":
    unittest.main()
