"""The soundtrack in the run folder, checked with decoders other than the
demo's own: its format, its length and the loudness of its sections."""

import array
import json
import os
import subprocess
import unittest

from levels import rms_db, section_levels, window

TRACK = os.path.join(os.environ["DEMO_RUN_DIR"], "assets", "kelvarra.mp3")
RATE = 44100


class Track(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        probe = subprocess.run(["ffprobe", "-v", "error", "-print_format", "json", "-show_streams",
                                "-show_format", TRACK], capture_output=True, text=True, check=True)
        cls.info = json.loads(probe.stdout)
        decoded = subprocess.run(["sox", TRACK, "-t", "raw", "-e", "signed", "-b", "16", "-L",
                                  "-r", str(RATE), "-c", "2", "-"], capture_output=True, check=True)
        cls.samples = array.array("h")
        cls.samples.frombytes(decoded.stdout)

    def test_format(self):
        streams = self.info["streams"]
        self.assertEqual(len(streams), 1)
        audio = streams[0]
        self.assertEqual(audio["codec_name"], "mp3")
        self.assertEqual(int(audio["sample_rate"]), 44100)
        self.assertEqual(audio["channels"], 2)
        self.assertGreaterEqual(float(self.info["format"]["duration"]), 58.0)
        self.assertGreaterEqual(len(self.samples) / 2 / RATE, 58.0)

    def test_sections_follow_the_timeline(self):
        levels = section_levels(self.samples, RATE)
        self.assertGreater(levels["intro"], -40, "the intro is silent")
        self.assertGreater(levels["build"], levels["intro"] + 4)
        self.assertGreater(levels["climax"], levels["build"] + 2)
        self.assertLess(levels["ending"], levels["climax"] - 10)

    def test_drums_enter_and_drop_on_time(self):
        # The build-up's first kick at 12 s and the big hit at 28 s stand out
        # from the half second before them.
        for hit in (12.0, 28.0):
            before = rms_db(window(self.samples, RATE, hit - 0.5, hit - 0.02))
            after = rms_db(window(self.samples, RATE, hit, hit + 0.2))
            self.assertGreater(after, before + 3, f"no onset at {hit} s")

    def test_fades_to_silence_and_never_clips(self):
        tail = window(self.samples, RATE, 56.1, 58.0)
        self.assertLess(max(map(abs, tail)), 64, "not silent after 56 s")
        full_scale = sum(1 for s in self.samples if abs(s) >= 32767)
        self.assertEqual(full_scale, 0)


if __name__ == "__main__":
    unittest.main()
