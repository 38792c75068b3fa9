"""Start-up failures: each gives its message on its stream and its exit
status, and a command-line error starts nothing."""

import os
import unittest

from demo_harness import DataDir, run_demo

SMALL = ["--windowed", "-w", "64", "-h", "36", "--no-music", "-n", "0"]
VERTEX_ERROR = "#version 330 core\nvoid main( {\n"
UNLINKABLE = "#version 330 core\nout vec4 c;\nvec4 colour();\nvoid main() { c = colour(); }\n"


class StartUpErrors(unittest.TestCase):
    def run_in(self, args, change=None, env=None):
        with DataDir() as data:
            if change:
                change(data)
            return run_demo(args, data.path, env=env, timeout=120)

    def test_command_line_errors_start_nothing(self):
        for args, expected in [(["--windowed", "--help"], "Error parsing command line argument: --help\n"),
                               (["--windowed", ""], "Error parsing command line argument: \n"),
                               (["-w", "abc"], None), (["-h", "99999999999"], None), (["-n"], None)]:
            r = self.run_in(args)
            self.assertEqual((r.returncode, r.stdout), (255, ""), args)
            self.assertEqual(len(r.stderr.splitlines()), 1, r.stderr)
            if expected:
                self.assertEqual(r.stderr, expected)
            else:
                self.assertIn(args[0], r.stderr)

    def test_window_failures(self):
        r = self.run_in(SMALL, env={"DISPLAY": ""})
        self.assertEqual(r.returncode, 255)
        self.assertIn("GLFW3 init failed\n", r.stderr)
        r = self.run_in(["--windowed", "-w", "0", "-h", "36", "--no-music"])
        self.assertEqual((r.returncode, r.stdout), (255, "0 36\n"))
        self.assertRegex(r.stderr, r"^Error: .+\nFailed to create GLFW window\n$")

    def test_shader_failures(self):
        def replace_with_dir(d):
            os.remove(d.file("shaders/standard.vert"))
            os.mkdir(d.file("shaders/standard.vert"))
        cases = [
            (lambda d: os.remove(d.file("shaders/background.frag")),
             "stderr", "Error opening file: shaders/background.frag\n"),
            (replace_with_dir, "stderr", "Error opening file: shaders/standard.vert\n"),
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
