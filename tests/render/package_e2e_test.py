"""scripts/package builds a release folder and its archive; unpacked into a
fresh folder, the demo resolves its bundled libraries from its own lib/ and
captures frames from there, with the music on, under the test's X display."""

import glob
import os
import re
import subprocess
import tempfile
import unittest

from demo_harness import demo_env, wait_for_output
from render_common import SCRIPTS, script_env

BUNDLED = ("libglfw.so.3", "libfreetype.so.6", "libSDL-1.2.so.0", "libSDL_mixer-1.2.so.0")
SYSTEM = re.compile(r"^(libc|libm|libstdc\+\+|libgcc_s|libGL|libGLX|libGLdispatch|libEGL|libX11|"
                    r"libxcb|libasound|libpulse|ld-linux)[.-]")


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls._tmp = tempfile.TemporaryDirectory(prefix="package-e2e-")
        cls.addClassCleanup(cls._tmp.cleanup)
        dist = os.path.join(cls._tmp.name, "dist")
        tmpdir = os.path.join(cls._tmp.name, "tmp")
        os.mkdir(tmpdir)
        cls.result = subprocess.run([os.path.join(SCRIPTS, "package"), "-o", dist],
                                    env=script_env(tmpdir), capture_output=True, text=True,
                                    timeout=300)
        assert cls.result.returncode == 0, cls.result.stderr
        cls.dist = sorted(os.listdir(dist))
        archive, = glob.glob(os.path.join(dist, "demo-*.tar.gz"))
        # Unpacked elsewhere, with the build's folder gone from view.
        unpacked = os.path.join(cls._tmp.name, "elsewhere")
        os.mkdir(unpacked)
        subprocess.run(["tar", "-xzf", archive, "-C", unpacked], check=True)
        folder, = os.listdir(unpacked)
        cls.pkg = os.path.join(unpacked, folder)
        cls.libs = sorted(os.listdir(os.path.join(cls.pkg, "lib")))

    def test_dist_holds_the_folder_and_its_archive(self):
        self.assertEqual(len(self.dist), 2, self.dist)
        folder, archive = self.dist
        self.assertRegex(folder, r"^demo-")
        self.assertEqual(archive, folder + ".tar.gz")
        self.assertEqual(os.path.basename(self.pkg), folder)
        self.assertIn("Packaged ", self.result.stdout)

    def test_layout(self):
        for path in ("demo", "README.txt", "fonts/arial.ttf", "assets/kelvarra.mp3",
                     "shaders/background.frag", "shaders/fonts.vert"):
            self.assertTrue(os.path.isfile(os.path.join(self.pkg, path)), path)
        self.assertTrue(os.access(os.path.join(self.pkg, "demo"), os.X_OK))
        self.assertEqual(os.listdir(os.path.join(self.pkg, "capture")), [])
        with open(os.path.join(self.pkg, "README.txt")) as f:
            self.assertIn("./demo", f.read())

    def test_bundles_the_libraries_a_desktop_may_lack_and_no_system_ones(self):
        for lib in BUNDLED:
            self.assertIn(lib, self.libs)
        self.assertEqual([lib for lib in self.libs if SYSTEM.match(lib)], [])

    def test_ldd_resolves_each_bundled_library_from_its_own_lib(self):
        ldd = subprocess.run(["ldd", "./demo"], cwd=self.pkg, capture_output=True, text=True,
                             check=True).stdout
        self.assertNotIn("not found", ldd)
        resolved = dict(re.findall(r"^\s*(\S+) => (\S+)", ldd, re.MULTILINE))
        lib_dir = os.path.realpath(os.path.join(self.pkg, "lib"))
        for lib in self.libs:
            self.assertIn(lib, resolved)
            where = os.path.realpath(os.path.join(self.pkg, resolved[lib]))
            self.assertEqual(os.path.dirname(where), lib_dir, f"{lib} => {resolved[lib]}")

    def test_short_capture_from_the_package(self):
        proc = subprocess.Popen(["./demo", "--capture", "--windowed", "-w", "64", "-h", "36"],
                                cwd=self.pkg, env=demo_env(), stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True)
        try:
            wait_for_output(proc, "Write to capture/frame29.bmp", timeout=120)
            with open(f"/proc/{proc.pid}/maps") as f:
                mapped = {line.split()[-1] for line in f if ".so" in line}
        finally:
            proc.terminate()
            proc.communicate(timeout=60)
        lib_dir = os.path.realpath(os.path.join(self.pkg, "lib"))
        for lib in BUNDLED + ("libmad.so.0",):
            self.assertIn(os.path.join(lib_dir, lib), mapped, "loaded from the package")
        with open(os.path.join(self.pkg, "capture", "frame0.bmp"), "rb") as f:
            header = f.read(26)
        self.assertEqual(header[:2], b"BM")
        self.assertEqual((int.from_bytes(header[18:22], "little"),
                          int.from_bytes(header[22:26], "little")), (64, 36))


if __name__ == "__main__":
    unittest.main()
