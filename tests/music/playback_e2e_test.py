"""The soundtrack plays from the demo's start: a whole run through SDL's disk
audio driver, written in real time, follows the track's sections."""

import os
import unittest

from demo_harness import DataDir, run_demo
from levels import read_s16, section_levels

SMALL = ["--windowed", "-w", "64", "-h", "36", "-n", "10"]
RATE = 22050  # the mixer's output rate


class Playback(unittest.TestCase):
    def test_a_run_plays_the_track_through_its_sections(self):
        with DataDir() as data:
            audio = data.file("audio.raw")
            r = run_demo(SMALL, data.path, timeout=300, env={
                "SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": audio,
                "SDL_DISKAUDIODELAY": "29"})
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertNotIn("without music", r.stderr)
            samples = read_s16(audio)

        seconds = len(samples) / 2 / RATE
        print(f"audio written: {seconds:.1f} s")
        # The demo ends itself at 58 s. The driver writes at about real time,
        # a little slower under load (its default delay would give a fifth).
        self.assertGreater(seconds, 45)
        self.assertLess(seconds, 62)

        levels = section_levels(samples, RATE, scale=min(1.0, seconds / 58.0))
        print("levels (dBFS):", {k: round(v, 1) for k, v in levels.items()})
        for name, level in levels.items():
            self.assertGreater(level, -50, f"{name} is silent")
        self.assertGreater(levels["build"], levels["intro"] + 4)
        self.assertGreater(levels["climax"], levels["build"] + 2)
        self.assertLess(levels["ending"], levels["climax"] - 10)


if __name__ == "__main__":
    unittest.main()
