"""Interactive runs: the size line in both window modes, the resize line, Escape ending the run
at once, and the font file opened only at the first text drawn."""

import time
import unittest

from demo_harness import DataDir, escape, find_window, finish, start_demo, wait_for_output, xdotool


class Window(unittest.TestCase):
    def start(self, args, omit=()):
        data = DataDir(omit)
        self.addCleanup(data.__exit__)
        proc = start_demo([*args, "--no-music"], data.path)
        self.addCleanup(proc.kill)
        return proc

    def test_windowed_size_resize_and_escape(self):
        proc = self.start(["--windowed", "-w", "320", "-h", "200", "-n", "3"])
        self.assertEqual(proc.stdout.readline(), "320 200\n")
        wid = find_window(proc)
        xdotool("windowsize", wid, 1024, 768)
        wait_for_output(proc, "Resized the window to 1024x768")
        self.assertEqual(escape(proc, wid), (0, "", ""))

    def test_full_screen_size_and_a_missing_font_fatal_at_the_first_text(self):
        width, height = xdotool("getdisplaygeometry").split()
        proc = self.start(["-w", "640", "-h", "360", "-n", "0"], omit=("fonts",))
        self.assertEqual(proc.stdout.readline(), f"{width} {height}\n")
        wid = find_window(proc)
        time.sleep(1.0)
        self.assertIsNone(proc.poll())  # frames without a text do not open the font
        xdotool("key", "--window", wid, "f")
        self.assertEqual(wait_for_output(proc, "ERROR"), ["ERROR::FREETYPE: Failed to load font\n"])
        self.assertEqual(finish(proc)[0], 255)


if __name__ == "__main__":
    unittest.main()
