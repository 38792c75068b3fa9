"""Start-up failures: each gives its message on its stream and its exit
status, and a command-line error starts nothing; the scripts' help; scripts/web on a busy port
ends before any build, in one sentence; a full-screen run of the screen's size with a requested
size of 0, and its texts; the font opened only at the first text, where a pipe is refused."""

import os
import socket
import subprocess
import time
import unittest

from demo_harness import (DataDir, demo_window, escape, finish, press, read_bmp, run_demo,
                          wait_for_output, xdotool)

SMALL = ["--windowed", "-w", "64", "-h", "36", "--no-music", "-n", "0"]
VERTEX_ERROR = "#version 330 core\nvoid main( {\n"
UNLINKABLE = "#version 330 core\nout vec4 c;\nvec4 colour();\nvoid main() { c = colour(); }\n"


SCREEN = "{} {}\n".format(*xdotool("getdisplaygeometry").split())  # the size line in full screen


class StartUpErrors(unittest.TestCase):
    def run_in(self, args, change=None, env=None):
        with DataDir() as data:
            if change:
                change(data)
            return run_demo(args, data.path, env=env, timeout=120)

    def test_command_line_errors_start_nothing(self):
        # The refusals' wording is the parser's (unit tests): a refusal ends the start at once.
        r = self.run_in(["--windowed", "--help"])
        self.assertEqual((r.returncode, r.stdout, r.stderr),
                         (255, "", "Error parsing command line argument: --help\n"))

    def test_scripts_help_shows_what_a_user_passes(self):
        scripts = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts")
        for name in ("render", "contact-sheet"):
            r = subprocess.run([os.path.join(scripts, name), "--help"], capture_output=True, text=True)
            self.assertEqual((r.returncode, r.stderr), (0, ""))
            self.assertNotIn("--run-dir", r.stdout)
            for text in ("-w W", "-h H"):
                self.assertIn(text, r.stdout)
        with socket.socket() as taken:
            taken.bind(("127.0.0.1", 0))
            taken.listen()
            port = taken.getsockname()[1]
            r = subprocess.run([os.path.join(scripts, "web"), "--port", str(port)], capture_output=True, text=True)
        self.assertEqual((r.returncode, r.stdout, r.stderr), (1, "", f"scripts/web: Port {port} is in use (by another "
                                                                     "scripts/web?): serve on another with --port N.\n"))

    def test_window_and_size_failures(self):
        r = self.run_in(SMALL, env={"DISPLAY": ""})
        self.assertEqual(r.returncode, 255)
        self.assertIn("GLFW3 init failed\n", r.stderr)
        glfw = r"Error: .+\nFailed to create GLFW window\n"
        too_large = r"Window size {}x{} is too large: the {} is \d+ pixels per side\n"
        for w, h, error in [(0, 36, glfw), (-5, 36, glfw), (64, -2147483648, glfw),
                            (99999, 36, too_large.format(99999, 36, "window system's limit")),
                            (30000, 36, too_large.format(30000, 36, "GPU's largest texture"))]:
            r = self.run_in(["--windowed", "-w", str(w), "-h", str(h), "--no-music"])
            self.assertEqual((r.returncode, r.stdout), (255, f"{w} {h}\n"))
            self.assertRegex(r.stderr, f"^{error}$")
        r = self.run_in(["--windowed", "-n", "2000000000"])
        self.assertEqual((r.returncode, r.stdout), (255, ""))
        self.assertRegex(r.stderr, r"^Too many gems: 2000000000 gems need about 19073\.5 GiB of memory, "
                                   r"more than the [\d.]+ GiB this machine has\n$")

    def test_full_screen_texts_with_a_requested_size_of_0(self):
        args = ["--capture", "-w", "0", "-h", "-1", "--no-music", "-n", "-3"]
        with DataDir(capture=True) as data, demo_window(args, data) as (proc, wid):
            lines = wait_for_output(proc, "Write to capture/frame3.bmp")
            self.assertEqual(lines[0], SCREEN)
            press(wid, "i", settle=1.0)
            last = max(int(name[5:-4]) for name in os.listdir(data.file("capture")))
            wait_for_output(proc, f"Write to capture/frame{last + 1}.bmp")
            self.assertEqual(escape(proc, wid)[::2], (0, ""))
            # Near-white text pixels in the lower left, where the camera line sits.
            white = [sum(min(row[i:i + 3]) > 200 for row in read_bmp(data.file(f"capture/frame{n}.bmp"))[2][:30]
                         for i in range(0, 3 * 150, 3)) for n in (0, last)]
        self.assertEqual(white[0], 0)
        self.assertGreater(white[1], 20)

    def test_font_opened_at_the_first_text_where_a_pipe_is_refused(self):
        with DataDir() as data:
            os.remove(data.file("fonts/arial.ttf"))
            os.mkfifo(data.file("fonts/arial.ttf"))  # never read: no writer would ever come
            args = ["-w", "100", "-h", "50", "-n", "0", "--no-music"]
            with demo_window(args, data) as (proc, wid):
                self.assertEqual(proc.stdout.readline(), SCREEN)  # full screen: the screen's size
                time.sleep(1.0)
                self.assertIsNone(proc.poll(), "the font was opened before a text was drawn")
                press(wid, "f")
                error = wait_for_output(proc, "ERROR")
                self.assertEqual(error, ["ERROR::FREETYPE: Failed to load font\n"])
                self.assertEqual(finish(proc)[0], 255)

    def test_shader_failures(self):
        replace = lambda name, make: lambda d: (os.remove(d.file(name)), make(d.file(name)))
        cases = [
            (lambda d: os.remove(d.file("shaders/background.frag")),
             "stderr", "Error opening file: shaders/background.frag\n"),
            (replace("shaders/fonts.frag", os.mkfifo), "stderr", "Error opening file: shaders/fonts.frag\n"),
            (lambda d: d.write("shaders/gaussian_blur.vert", VERTEX_ERROR),
             "stdout", "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n"),
            (lambda d: d.write("shaders/bloom_final.frag", ""),
             "stdout", "ERROR::SHADER::FRAGMENT::COMPILATION_FAILED\n"),
            (lambda d: d.write("shaders/background.frag", UNLINKABLE), "stdout", "ERROR::SHADER::LINK_FAILED\n"),
        ]
        for change, stream, message in cases:
            r = self.run_in(SMALL, change)
            self.assertEqual(r.returncode, 255, message)
            self.assertIn(message, getattr(r, stream))


if __name__ == "__main__":
    unittest.main()
