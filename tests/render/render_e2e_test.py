"""scripts/run without a display renders demo.mp4 through scripts/render; Ctrl-C
stops a render cleanly. Frame files on disk are counted all along."""

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
TOTAL_FRAMES = 3480
MAX_FRAMES_ON_DISK = 10  # the demo's output socket lets it run a few frames ahead
SIZE = ["-w", "64", "-h", "36"]

# A slow encoder (about 15 frames a second) that leaves a partial output, as ffmpeg does.
FAKE_FFMPEG = f"""#!{sys.executable}
import sys, time
if "-encoders" in sys.argv:
    print(" V....D libx264  H.264")
    sys.exit()
open(sys.argv[-1], "wb").write(b"partial")
while sys.stdin.buffer.read(1782):
    time.sleep(0.016)
"""


def children(pid):
    found = []
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{entry}/stat") as f:
                if int(f.read().rsplit(")", 1)[1].split()[1]) == pid:
                    found.append(int(entry))
        except OSError:
            pass
    return found


class Render(unittest.TestCase):
    """A temporary folder with tmp/ (TMPDIR), out/ and bin/ (the fake encoder)."""

    def setUp(self):
        tmp = tempfile.TemporaryDirectory(prefix="render-e2e-")
        self.addCleanup(tmp.cleanup)
        self.tmpdir, self.out, bin_dir = (os.path.join(tmp.name, d) for d in ("tmp", "out", "bin"))
        for folder in (self.tmpdir, self.out, bin_dir):
            os.mkdir(folder)
        with open(os.path.join(bin_dir, "ffmpeg"), "w") as f:
            f.write(FAKE_FFMPEG)
        os.chmod(os.path.join(bin_dir, "ffmpeg"), 0o755)
        self.env = demo_env({"TMPDIR": self.tmpdir, "DEMO_RUN_DIR": RUN_DIR})
        self.env.pop("DISPLAY", None)
        self.slow_env = dict(self.env, PATH=bin_dir + os.pathsep + os.environ["PATH"])
        # Every few milliseconds: the most frame files on disk at once, and all seen.
        self.peak, self.seen, done = 0, set(), threading.Event()
        threading.Thread(target=self.watch, args=(done,), daemon=True).start()
        self.addCleanup(done.set)

    def watch(self, done):
        while not done.wait(0.005):
            frames = [n for _, _, ns in os.walk(self.tmpdir) for n in ns if n.endswith(".bmp")]
            self.peak = max(self.peak, len(frames))
            self.seen.update(frames)

    def assert_nothing_left(self, out=()):
        self.assertEqual(os.listdir(self.out), list(out))
        self.assertEqual(os.listdir(self.tmpdir), [], "no temporary files")
        self.assertLessEqual(self.peak, MAX_FRAMES_ON_DISK)

    def test_no_display_renders_the_whole_demo_into_demo_mp4(self):
        r = subprocess.run([os.path.join(SCRIPTS, "run"), "--windowed", *SIZE], cwd=self.out,
                           env=self.env, capture_output=True, text=True, timeout=800)
        self.assertEqual(r.returncode, 0, r.stderr[-2000:])
        self.assertIn(f"No display: rendering the demo into {self.out}/demo.mp4", r.stderr)
        self.assertIn(f"render: {TOTAL_FRAMES}/{TOTAL_FRAMES} frames 100.0%", r.stderr)
        info = json.loads(subprocess.run(
            ["ffprobe", "-v", "error", "-show_streams", "-show_format", "-of", "json",
             os.path.join(self.out, "demo.mp4")], capture_output=True, check=True).stdout)
        v, a = info["streams"]
        keys = ("codec_name", "width", "height", "r_frame_rate", "nb_frames")
        self.assertEqual([v[k] for k in keys], ["h264", 64, 36, "60/1", str(TOTAL_FRAMES)])
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
        started = children(proc.pid)
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
