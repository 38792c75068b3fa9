"""The window at run time: its size line, Escape, resizes and the end of the
show at 58 seconds."""

import time
import unittest

from demo_harness import DataDir, close_window, find_window, finish, start_demo, wait_for_output, xdotool

NO_MUSIC = ["--no-music", "-n", "0"]


class Window(unittest.TestCase):
    def setUp(self):
        self.data = DataDir()
        self.addCleanup(self.data.__exit__)

    def test_windowed_size_line_and_escape(self):
        proc = start_demo(["--windowed", "-w", "800", "-h", "600", *NO_MUSIC], self.data.path)
        self.assertEqual(proc.stdout.readline(), "800 600\n")
        wid = find_window(proc)
        close_window(wid)
        status, _, err = finish(proc)
        self.assertEqual(status, 0, err)

    def test_full_screen_takes_the_screen_size(self):
        width, height = xdotool("getdisplaygeometry").split()
        proc = start_demo(["-w", "640", "-h", "360", *NO_MUSIC], self.data.path)
        self.assertEqual(proc.stdout.readline(), f"{width} {height}\n")
        close_window(find_window(proc))
        status, _, err = finish(proc)
        self.assertEqual(status, 0, err)

    def test_resize_is_reported(self):
        proc = start_demo(["--windowed", "-w", "320", "-h", "200", *NO_MUSIC], self.data.path)
        wid = find_window(proc)
        xdotool("windowsize", wid, 1024, 768)
        wait_for_output(proc, "Resized the window to 1024x768")
        close_window(wid)
        status, _, err = finish(proc)
        self.assertEqual(status, 0, err)

    def test_show_ends_by_itself_at_58_seconds(self):
        start = time.time()
        proc = start_demo(["--windowed", "-w", "64", "-h", "36", *NO_MUSIC], self.data.path)
        status, out, err = finish(proc, timeout=300)
        self.assertEqual(status, 0, err)
        self.assertGreaterEqual(time.time() - start, 58.0)
        self.assertEqual(out, "64 36\n")


if __name__ == "__main__":
    unittest.main()
