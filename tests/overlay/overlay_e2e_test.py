"""Keys I and F show the texts on presses only; the font file is opened at the first text drawn."""

import re
import time
import unittest

from demo_harness import DataDir, close_window, find_window, finish, grab_window, start_demo, wait_for_output, xdotool

ARGS = ["--windowed", "-w", "360", "-h", "110", "--no-music", "-n", "10"]
# A dark grey picture, so that only text is near white.
PLAIN_BACKGROUND = """#version 330 core
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;
void main() { FragColor = vec4(vec3(0.05), 1.0); BrightColor = vec4(0.0, 0.0, 0.0, 1.0); }
"""


def lit_per_line(wid, folder):
    """Near-white pixels in the left half of the bands of the lines at baselines 15, 45 and 75 from the bottom."""
    time.sleep(1.0)
    grab_window(wid, folder.file("window.ppm"))
    with open(folder.file("window.ppm"), "rb") as f:
        data = f.read()
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    width, height, maxval = map(int, header.groups())
    rgb = data[header.end():][::2 if maxval > 255 else 1]  # high bytes of 16-bit samples
    return [sum(min(rgb[i:i + 3]) >= 245 for row in range(height - line - 16, height - line + 4)
                for i in range(3 * row * width, 3 * row * width + 3 * (width // 2), 3))
            for line in (15, 45, 75)]


class Overlay(unittest.TestCase):
    def test_f_shows_the_count_and_i_the_info_lines_on_presses_only(self):
        with DataDir() as data:
            data.write("shaders/background.frag", PLAIN_BACKGROUND)
            proc = start_demo(ARGS, data.path)
            self.addCleanup(proc.kill)
            wid = find_window(proc)
            xdotool("key", "--window", wid, "f")
            count, fps, clock = lit_per_line(wid, data)
            self.assertEqual((count >= 5, fps, clock), (True, 0, 0))
            xdotool("key", "--window", wid, "f")
            for _ in range(4):  # a press, then repeats while I is held
                xdotool("keydown", "--window", wid, "i")
                time.sleep(0.2)
            xdotool("keyup", "--window", wid, "i")
            self.assertGreaterEqual(min(lit_per_line(wid, data)), 30)
            close_window(wid)
            status, out, err = finish(proc)
            self.assertEqual(status, 0, err)
            self.assertNotIn("ERROR", out)

    def test_missing_font_is_fatal_at_the_first_text_only(self):
        with DataDir(omit=("fonts",)) as data:
            proc = start_demo(ARGS, data.path)
            self.addCleanup(proc.kill)
            wid = find_window(proc)
            time.sleep(1.0)
            self.assertIsNone(proc.poll())  # frames without a text do not open the font
            xdotool("key", "--window", wid, "f")
            lines = wait_for_output(proc, "ERROR::FREETYPE")
            self.assertEqual(lines[-1], "ERROR::FREETYPE: Failed to load font\n")
            self.assertNotIn("ERROR", "".join(lines[:-1]))
            self.assertEqual(finish(proc)[0], 255)

if __name__ == "__main__":
    unittest.main()
