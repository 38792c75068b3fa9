"""The scene at start-up: small and empty gem fields start, run and end
normally, and the line program loads after the bloom pipeline's."""

import os
import unittest

from demo_harness import DataDir, close_window, find_window, finish, run_demo, start_demo

SMALL = ["--windowed", "-w", "64", "-h", "36", "--no-music"]


class GemCounts(unittest.TestCase):
    def run_until_escape(self, gems):
        with DataDir() as data:
            proc = start_demo(SMALL + ["-n", gems], data.path)
            try:
                wid = find_window(proc)
                close_window(wid)
                status, out, err = finish(proc)
            finally:
                if proc.poll() is None:
                    proc.kill()
                    proc.communicate()
        self.assertEqual(status, 0, err)
        self.assertEqual(err, "")
        self.assertTrue(out.startswith("64 36\n"), out)

    def test_no_gems(self):
        self.run_until_escape("0")

    def test_negative_count_gives_no_gems(self):
        self.run_until_escape("-5")

    def test_three_gems(self):
        self.run_until_escape("3")


class LineProgram(unittest.TestCase):
    def run_without(self, *files):
        with DataDir() as data:
            for f in files:
                os.remove(data.file(f))
            return run_demo(SMALL + ["-n", "3"], data.path, timeout=120)

    def test_missing_vertex_shader(self):
        r = self.run_without("shaders/basic.vert")
        self.assertEqual(r.returncode, 255)
        self.assertIn("Error opening file: shaders/basic.vert\n", r.stderr)

    def test_missing_fragment_shader(self):
        r = self.run_without("shaders/basic.frag")
        self.assertEqual(r.returncode, 255)
        self.assertIn("Error opening file: shaders/basic.frag\n", r.stderr)

    def test_scene_comes_after_the_pipeline(self):
        r = self.run_without("shaders/basic.vert", "shaders/background.frag")
        self.assertEqual(r.returncode, 255)
        self.assertIn("Error opening file: shaders/background.frag\n", r.stderr)
        self.assertNotIn("basic", r.stderr)


if __name__ == "__main__":
    unittest.main()
