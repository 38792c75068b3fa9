"""The info texts at run time: keys I and F switch them on and off, key repeats
do not toggle, and the font file is opened only when the first text is drawn."""

import os
import tempfile
import time
import unittest

from demo_harness import (DataDir, close_window, find_window, finish, grab_window, start_demo, wait_for_output,
                          xdotool)

WIDTH, HEIGHT = 360, 110
ARGS = ["--windowed", "-w", str(WIDTH), "-h", str(HEIGHT), "--no-music", "-n", "10"]
# Baselines of the texts, in pixels from the bottom edge.
CAMERA_LINE, FPS_LINE, TIME_LINE = 15, 45, 75
# Time for the demo to draw and swap a few frames after a key.
SETTLE = 1.0
# Each text line lights at least this many pixels; the background none.
SHOWN = 30


# A plain dark picture under the texts, so that the show's own bright parts
# cannot pass for text.
PLAIN_BACKGROUND = """#version 330 core
// Test picture: one dark grey, nothing bright.
in vec2 TexCoords;
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;

uniform float t;

const vec3 GREY = vec3(0.05);

void main()
{
    FragColor = vec4(GREY, 1.0);
    BrightColor = vec4(0.0, 0.0, 0.0, 1.0);
}
"""


def read_ppm(path):
    """(width, height, 8-bit RGB samples) of a binary PPM file of any depth."""
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6", fields
    width, height, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    samples = data[pos + 1:]
    if maxval < 256:
        return width, height, samples[:3 * width * height]
    # Two bytes per sample, most significant first.
    wide = samples[:6 * width * height]
    return width, height, bytes(wide[i] for i in range(0, len(wide), 2))


def bands(wid):
    """For each text line, how many near-white pixels the window shows in its
    band, a short while after the last key. The test's background is dark
    grey, so near-white pixels there are text."""
    time.sleep(SETTLE)
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "window.ppm")
        grab_window(wid, path)
        width, height, rgb = read_ppm(path)
    counts = {}
    for baseline in (CAMERA_LINE, FPS_LINE, TIME_LINE):
        count = 0
        for row in range(height - baseline - 16, height - baseline + 4):
            for x in range(width // 2):
                i = 3 * (row * width + x)
                if min(rgb[i], rgb[i + 1], rgb[i + 2]) >= 245:
                    count += 1
        counts[baseline] = count
    return counts


class InfoTexts(unittest.TestCase):
    def setUp(self):
        self.data = DataDir()
        self.addCleanup(self.data.__exit__)
        self.data.write("shaders/background.frag", PLAIN_BACKGROUND)
        self.proc = start_demo(ARGS, self.data.path)
        self.addCleanup(self.stop)
        try:
            self.wid = find_window(self.proc)
        except RuntimeError:
            status, out, err = finish(self.proc)
            self.fail(f"demo ended with {status} before its window appeared: {out!r} {err!r}")

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.communicate()

    def key(self, *args):
        xdotool(*args[:-1], "--window", self.wid, args[-1])

    def finish(self):
        close_window(self.wid)
        status, out, err = finish(self.proc)
        self.assertEqual(status, 0, err)
        self.assertNotIn("ERROR", out)

    def test_i_shows_and_hides_the_three_info_lines(self):
        self.assertEqual(bands(self.wid), {CAMERA_LINE: 0, FPS_LINE: 0, TIME_LINE: 0})
        self.key("key", "i")
        shown = bands(self.wid)
        for line, count in shown.items():
            self.assertGreaterEqual(count, SHOWN, f"text line at {line}: {shown}")
        self.key("key", "i")
        self.assertEqual(bands(self.wid), {CAMERA_LINE: 0, FPS_LINE: 0, TIME_LINE: 0})
        self.finish()

    def test_f_shows_the_count_alone_at_the_bottom(self):
        self.key("key", "f")
        shown = bands(self.wid)
        self.assertGreaterEqual(shown[CAMERA_LINE], 5, shown)
        self.assertEqual(shown[FPS_LINE], 0, shown)
        self.assertEqual(shown[TIME_LINE], 0, shown)
        self.key("key", "f")
        self.assertEqual(bands(self.wid)[CAMERA_LINE], 0)
        self.finish()

    def test_key_repeats_do_not_toggle(self):
        # A second press of a key that is still down reaches the demo as a repeat.
        self.key("keydown", "i")
        time.sleep(0.3)
        for _ in range(3):
            self.key("keydown", "i")
            time.sleep(0.1)
        self.key("keyup", "i")
        shown = bands(self.wid)
        self.assertGreaterEqual(shown[TIME_LINE], SHOWN, shown)
        self.finish()


class FontFile(unittest.TestCase):
    def test_missing_font_is_fatal_at_the_first_text_only(self):
        with DataDir(omit=("fonts",)) as data:
            # No text shown: the font is never opened and the run ends normally.
            proc = start_demo(ARGS, data.path)
            wid = find_window(proc)
            time.sleep(SETTLE)
            close_window(wid)
            status, out, err = finish(proc)
            self.assertEqual(status, 0, err)
            self.assertNotIn("ERROR", out)

            proc = start_demo(ARGS, data.path)
            wid = find_window(proc)
            time.sleep(SETTLE)
            self.assertIsNone(proc.poll())
            xdotool("key", "--window", wid, "f")
            lines = wait_for_output(proc, "ERROR::FREETYPE")
            status, out, err = finish(proc)
            self.assertEqual(status, 255, err)
            self.assertEqual(lines[-1], "ERROR::FREETYPE: Failed to load font\n")
            self.assertEqual(out, "")


if __name__ == "__main__":
    unittest.main()
