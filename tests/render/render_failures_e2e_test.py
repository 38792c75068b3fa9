"""scripts/render stops cleanly: Ctrl-C, an encoder that fails (a full disk),
a demo that fails, a missing encoder and a bad size each end it with a reason,
with its processes ended, no output file and no temporary files left.

A fake ffmpeg, first on PATH, stands in for the encoder where it must be slow
or fail; it writes a partial output file first, as ffmpeg does."""

import os
import pty
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from demo_harness import RUN_DIR
from render_common import (MAX_FRAMES_ON_DISK, SCRIPTS, TOTAL_FRAMES, FrameWatch, children,
                           files_under, script_env, wait_gone)

SIZE = ["-w", "64", "-h", "36"]
FRAME_BYTES = 54 + 64 * 36 * 3

FAKE_FFMPEG = f"""#!{sys.executable}
import os, sys, time
mode = os.environ["FAKE_FFMPEG"]
if "-encoders" in sys.argv:
    if mode != "no-x264":
        print(" V....D libx264              libx264 H.264 / AVC")
    print(" A..... aac                  AAC (Advanced Audio Coding)")
    sys.exit(0)
with open(sys.argv[-1], "wb") as out:
    out.write(b"partial")
if mode == "slow":
    # About 15 frames a second: far slower than the demo at this size.
    while sys.stdin.buffer.read({FRAME_BYTES} // 4):
        time.sleep(0.016)
elif mode == "full":
    sys.stdin.buffer.read({FRAME_BYTES} * 20)
    sys.stderr.write(sys.argv[-1] + ": No space left on device\\n")
    sys.exit(1)
"""


class RenderStops(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory(prefix="render-fail-")
        self.addCleanup(tmp.cleanup)
        self.tmpdir = os.path.join(tmp.name, "tmp")
        self.out_dir = os.path.join(tmp.name, "out")
        self.bin = os.path.join(tmp.name, "bin")
        for folder in (self.tmpdir, self.out_dir, self.bin):
            os.mkdir(folder)
        fake = os.path.join(self.bin, "ffmpeg")
        with open(fake, "w") as f:
            f.write(FAKE_FFMPEG)
        os.chmod(fake, 0o755)
        self.output = os.path.join(self.out_dir, "demo.mp4")

    def env(self, fake_ffmpeg=None, run_dir=RUN_DIR):
        extra = {"DEMO_RUN_DIR": run_dir}
        if fake_ffmpeg:
            extra.update(FAKE_FFMPEG=fake_ffmpeg,
                         PATH=self.bin + os.pathsep + os.environ["PATH"])
        return script_env(self.tmpdir, extra=extra)

    def render(self, args, **env):
        return subprocess.run([os.path.join(SCRIPTS, "render"), *args, "-o", self.output],
                              env=self.env(**env), capture_output=True, text=True, timeout=300)

    def assert_nothing_left(self):
        self.assertEqual(files_under(self.out_dir), [], "no output, not even a partial one")
        self.assertEqual(files_under(self.tmpdir), [], "no temporary files")

    def test_ctrl_c_while_the_encoder_lags(self):
        # The progress bar goes to a terminal: stderr is a pseudo-terminal.
        master, slave = pty.openpty()
        proc = subprocess.Popen([os.path.join(SCRIPTS, "render"), *SIZE, "-o", self.output],
                                env=self.env("slow"), stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=slave)
        os.close(slave)
        terminal = []
        reader = threading.Thread(target=read_all, args=(master, terminal), daemon=True)
        reader.start()
        with FrameWatch(self.tmpdir) as watch:
            deadline = time.time() + 120
            while frames_done("".join(terminal)) < 40 and time.time() < deadline:
                self.assertIsNone(proc.poll(), "".join(terminal))
                time.sleep(0.1)
            started = children(proc.pid)
            self.assertEqual(len(started), 3, "Xvfb, the encoder and the demo")
            proc.send_signal(signal.SIGINT)
            status = proc.wait(60)
        reader.join(10)
        os.close(master)
        out = "".join(terminal)
        self.assertEqual(status, 128 + signal.SIGINT, out)
        self.assertGreaterEqual(frames_done(out), 40)
        self.assertRegex(out, rf"\r\[#*-*\] \d+/{TOTAL_FRAMES} frames +\d+\.\d%  elapsed \d+:\d\d  left \d+:\d\d")
        self.assertIn("render: interrupted (SIGINT); stopping", out)
        self.assertIn("render: no video written; temporary files removed", out)
        self.assertLessEqual(watch.peak, MAX_FRAMES_ON_DISK, "the demo waits for the encoder")
        self.assertEqual(wait_gone(started), [])
        self.assert_nothing_left()
        self.assertEqual(proc.stdout.read(), b"")
        proc.stdout.close()

    def test_encoder_failure_such_as_a_full_disk(self):
        r = self.render(SIZE, fake_ffmpeg="full")
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertRegex(r.stderr, r"render: error: the encoder stopped: .*No space left on device")
        self.assert_nothing_left()

    def test_demo_failure(self):
        # A run folder whose background shader does not compile.
        run_dir = os.path.join(self.out_dir, "..", "run")
        shutil.copytree(RUN_DIR, run_dir, symlinks=True,
                        ignore=shutil.ignore_patterns("capture", "*.bmp"))
        with open(os.path.join(run_dir, "shaders", "background.frag"), "w") as f:
            f.write("#version 330 core\nnot a shader\n")
        r = self.render(SIZE, run_dir=run_dir)
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertRegex(r.stderr, r"render: error: the demo ended with status 255: .+")
        self.assertIn("render: no video written", r.stderr)
        self.assert_nothing_left()

    def test_encoder_without_h264(self):
        r = self.render(SIZE, fake_ffmpeg="no-x264")
        self.assertEqual(r.returncode, 1)
        self.assertIn("render: error: this ffmpeg has no libx264 encoder", r.stderr)
        self.assert_nothing_left()

    def test_sizes_h264_cannot_take(self):
        for size in (["-w", "63"], ["-h", "0"], ["-w", "-64"]):
            r = self.render(size)
            self.assertEqual(r.returncode, 2, size)
            self.assertIn("must be positive and even", r.stderr)
            self.assert_nothing_left()


def read_all(fd, chunks):
    while True:
        try:
            data = os.read(fd, 4096)
        except OSError:
            return
        if not data:
            return
        chunks.append(data.decode(errors="replace"))


def frames_done(text):
    found = re.findall(rf"(\d+)/{TOTAL_FRAMES} frames", text)
    return int(found[-1]) if found else 0


if __name__ == "__main__":
    unittest.main()
