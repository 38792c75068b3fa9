"""scripts/run without a display renders the whole demo into demo.mp4 in the
current directory (through scripts/render): a tiny render, checked with
ffprobe, with the frame files on disk counted all along."""

import json
import os
import re
import subprocess
import tempfile
import unittest

from render_common import (MAX_FRAMES_ON_DISK, SCRIPTS, TOTAL_FRAMES, FrameWatch, files_under,
                           script_env)

WIDTH, HEIGHT = 64, 36


def probe(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_streams", "-show_format",
                          "-of", "json", path], capture_output=True, text=True, check=True).stdout
    return json.loads(out)


class RenderWithoutDisplay(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls._tmp = tempfile.TemporaryDirectory(prefix="render-e2e-")
        cls.addClassCleanup(cls._tmp.cleanup)
        cls.tmpdir = os.path.join(cls._tmp.name, "tmp")
        cls.cwd = os.path.join(cls._tmp.name, "cwd")
        os.mkdir(cls.tmpdir)
        os.mkdir(cls.cwd)
        with FrameWatch(cls.tmpdir) as cls.watch:
            cls.result = subprocess.run(
                [os.path.join(SCRIPTS, "run"), "--windowed", "-w", str(WIDTH), "-h", str(HEIGHT)],
                cwd=cls.cwd, env=script_env(cls.tmpdir, display=False), capture_output=True,
                text=True, timeout=800)
        cls.video = os.path.join(cls.cwd, "demo.mp4")

    def test_renders_instead_of_playing(self):
        r = self.result
        self.assertEqual(r.returncode, 0, r.stderr[-2000:])
        self.assertIn(f"No display: rendering the demo into {self.cwd}/demo.mp4", r.stderr)
        self.assertIn("Ignored when rendering: --windowed", r.stderr)
        self.assertRegex(r.stdout, rf"Wrote .*demo\.mp4: {TOTAL_FRAMES} frames at {WIDTH}x{HEIGHT}")

    def test_video_holds_every_frame_and_the_soundtrack(self):
        info = probe(self.video)
        video = [s for s in info["streams"] if s["codec_type"] == "video"]
        audio = [s for s in info["streams"] if s["codec_type"] == "audio"]
        self.assertEqual(len(video), 1)
        self.assertEqual(len(audio), 1)
        v = video[0]
        self.assertEqual((v["codec_name"], v["pix_fmt"]), ("h264", "yuv420p"))
        self.assertEqual((v["width"], v["height"]), (WIDTH, HEIGHT))
        self.assertEqual(v["r_frame_rate"], "60/1")
        self.assertEqual(int(v["nb_frames"]), TOTAL_FRAMES)
        self.assertEqual(audio[0]["codec_name"], "aac")
        self.assertAlmostEqual(float(info["format"]["duration"]), 58.0, delta=0.1)

    def test_index_comes_first_for_streaming(self):
        # +faststart: the moov atom precedes the media data.
        with open(self.video, "rb") as f:
            head = f.read(1 << 16)
        self.assertIn(b"moov", head)
        self.assertLess(head.index(b"moov"), head.index(b"mdat") if b"mdat" in head else len(head))

    def test_only_a_few_frames_on_disk_at_a_time(self):
        self.assertGreater(len(self.watch.names), 100, "the watch ran while frames came and went")
        self.assertLessEqual(self.watch.peak, MAX_FRAMES_ON_DISK)

    def test_nothing_left_but_the_video(self):
        self.assertEqual(files_under(self.cwd), ["demo.mp4"])
        self.assertEqual(files_under(self.tmpdir), [])

    def test_plain_progress_lines_when_not_a_terminal(self):
        done = [int(n) for n in re.findall(rf"^render: (\d+)/{TOTAL_FRAMES} frames", self.result.stderr,
                                           re.MULTILINE)]
        self.assertEqual(done[-1], TOTAL_FRAMES)
        self.assertEqual(done, sorted(done))
        self.assertTrue(15 <= len(done) <= 25, done)
        self.assertNotIn("\r", self.result.stderr)
        self.assertRegex(self.result.stderr, r"100\.0%  elapsed \d+:\d\d  left 0:00")


if __name__ == "__main__":
    unittest.main()
