"""The demo starts and ends normally with no gems and with three."""

import unittest

from demo_harness import DataDir, close_window, find_window, finish, start_demo

SMALL = ["--windowed", "-w", "64", "-h", "36", "--no-music"]


class Scene(unittest.TestCase):
    def test_gem_counts_run_until_escape(self):
        for gems in ("0", "3"):
            with self.subTest(gems=gems), DataDir() as data:
                proc = start_demo(SMALL + ["-n", gems], data.path)
                try:
                    close_window(find_window(proc))
                    status, out, err = finish(proc)
                finally:
                    if proc.poll() is None:
                        proc.kill()
                        proc.communicate()
                self.assertEqual((status, err), (0, ""))
                self.assertTrue(out.startswith("64 36\n"), out)


if __name__ == "__main__":
    unittest.main()
