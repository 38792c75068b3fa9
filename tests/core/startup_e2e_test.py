"""Start-up failures: each gives its message on the right stream and its
exit status, and nothing is started after a command-line error."""

import os
import unittest

from demo_harness import DataDir, run_demo

SMALL = ["--windowed", "-w", "64", "-h", "36", "--no-music", "-n", "0"]


class CommandLineErrors(unittest.TestCase):
    def setUp(self):
        self.data = DataDir()
        self.addCleanup(self.data.__exit__)

    def run_args(self, args):
        return run_demo(args, self.data.path, timeout=60)

    def test_unrecognised_argument(self):
        for arg in ["--help", "", "-x"]:
            r = self.run_args(["--windowed", arg])
            self.assertEqual(r.returncode, 255)
            self.assertEqual(r.stderr, f"Error parsing command line argument: {arg}\n")
            self.assertEqual(r.stdout, "", "no window may be opened")

    def test_bad_values_name_option_and_value(self):
        for option, value in [("-w", "abc"), ("-h", "99999999999"), ("-n", "--windowed")]:
            r = self.run_args([option, value])
            self.assertEqual(r.returncode, 255)
            self.assertEqual(r.stdout, "")
            self.assertEqual(len(r.stderr.splitlines()), 1, r.stderr)
            for text in (option, value, "stoi"):
                self.assertIn(text, r.stderr)

    def test_option_missing_its_value(self):
        for option in ["-w", "-h", "-n"]:
            r = self.run_args(["--windowed", option])
            self.assertEqual(r.returncode, 255)
            self.assertEqual(r.stdout, "")
            self.assertIn(option, r.stderr)
            self.assertEqual(len(r.stderr.splitlines()), 1)


class WindowErrors(unittest.TestCase):
    def test_no_display(self):
        with DataDir() as data:
            env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
            env["DISPLAY"] = ""
            r = run_demo(SMALL, data.path, env=env, timeout=60)
            self.assertEqual(r.returncode, 255)
            self.assertIn("GLFW3 init failed\n", r.stderr)

    def test_window_of_zero_width(self):
        with DataDir() as data:
            r = run_demo(["--windowed", "-w", "0", "-h", "36", "--no-music"], data.path, timeout=60)
            self.assertEqual(r.returncode, 255)
            self.assertEqual(r.stdout, "0 36\n")
            self.assertRegex(r.stderr, r"^Error: .+\nFailed to create GLFW window\n$")


class ShaderErrors(unittest.TestCase):
    def run_with(self, setup):
        with DataDir() as data:
            setup(data)
            return run_demo(SMALL, data.path, timeout=120)

    def test_missing_file(self):
        r = self.run_with(lambda d: os.remove(d.file("shaders/background.frag")))
        self.assertEqual(r.returncode, 255)
        self.assertIn("Error opening file: shaders/background.frag\n", r.stderr)

    def test_directory_instead_of_file(self):
        def make_dir(d):
            os.remove(d.file("shaders/standard.vert"))
            os.mkdir(d.file("shaders/standard.vert"))
        r = self.run_with(make_dir)
        self.assertEqual(r.returncode, 255)
        self.assertIn("Error opening file: shaders/standard.vert\n", r.stderr)

    def test_vertex_shader_that_does_not_compile(self):
        r = self.run_with(lambda d: d.write("shaders/gaussian_blur.vert", "#version 330 core\nvoid main( {\n"))
        self.assertEqual(r.returncode, 255)
        self.assertIn("ERROR::SHADER::VERTEX::COMPILATION_FAILED\n", r.stdout)

    def test_fragment_shader_that_does_not_compile(self):
        r = self.run_with(lambda d: d.write("shaders/bloom_final.frag", ""))
        self.assertEqual(r.returncode, 255)
        self.assertIn("ERROR::SHADER::FRAGMENT::COMPILATION_FAILED\n", r.stdout)

    def test_program_that_does_not_link(self):
        source = ("#version 330 core\nout vec4 c;\nvec4 colour();\n"
                  "void main() { c = colour(); }\n")
        r = self.run_with(lambda d: d.write("shaders/background.frag", source))
        self.assertEqual(r.returncode, 255)
        self.assertIn("ERROR::SHADER::LINK_FAILED\n", r.stdout)


if __name__ == "__main__":
    unittest.main()
