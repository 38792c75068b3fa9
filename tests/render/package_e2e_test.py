"""scripts/package builds a release folder and its archive; unpacked into a fresh
folder, the demo resolves its bundled libraries from its own lib/ (search path
$ORIGIN/lib) and, started through its launcher from another folder with a lib/
of its own, loads only its own libraries and captures into its own folder."""

import os
import pathlib
import re
import subprocess
import tempfile
import unittest

from demo_harness import RUN_DIR, demo_env, wait_for_output

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../scripts")
BUNDLED = ("libglfw.so.3", "libfreetype.so.6", "libSDL-1.2.so.0", "libSDL_mixer-1.2.so.0")
SYSTEM = re.compile(r"^(libc|libm|libstdc\+\+|libgcc_s|libGL\w*|libEGL|libX11|libxcb|libasound)\W")


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        tmp = tempfile.TemporaryDirectory(prefix="package-e2e-")
        cls.addClassCleanup(tmp.cleanup)
        dist, unpacked = os.path.join(tmp.name, "dist"), os.path.join(tmp.name, "elsewhere")
        os.mkdir(unpacked)
        r = subprocess.run([os.path.join(SCRIPTS, "package"), "-o", dist],
                           env=demo_env({"DEMO_RUN_DIR": RUN_DIR}),
                           capture_output=True, text=True, timeout=300)
        assert r.returncode == 0, r.stderr
        cls.dist = sorted(os.listdir(dist))
        subprocess.run(["tar", "-xzf", os.path.join(dist, cls.dist[-1]), "-C", unpacked],
                       check=True)
        folder, = os.listdir(unpacked)
        cls.pkg = os.path.join(unpacked, folder)
        cls.lib = os.path.realpath(os.path.join(cls.pkg, "lib"))
        # Another working folder, with a stranger's libraries in its lib/.
        cls.elsewhere = os.path.join(tmp.name, "cwd")
        os.makedirs(os.path.join(cls.elsewhere, "lib"))
        for lib in BUNDLED:
            pathlib.Path(cls.elsewhere, "lib", lib).write_text("not a library")

    def test_layout_and_libraries_resolved_from_its_own_lib(self):
        folder = os.path.basename(self.pkg)
        self.assertEqual(self.dist, [folder, folder + ".tar.gz"])
        self.assertRegex(folder, r"^demo-")
        self.assertEqual(os.listdir(os.path.join(self.pkg, "capture")), [])
        for path in ("README.txt", "run-demo", "fonts/arial.ttf", "assets/kelvarra.mp3", "shaders/fonts.vert",
                     "tracks/flight.tracks"):
            self.assertTrue(os.path.isfile(os.path.join(self.pkg, path)), path)
        libs = os.listdir(self.lib)
        self.assertEqual(set(BUNDLED) - set(libs), set())
        self.assertEqual([lib for lib in libs if SYSTEM.match(lib)], [])
        ldd = subprocess.run(["ldd", os.path.join(self.pkg, "demo")], cwd=self.elsewhere, capture_output=True,
                             text=True, check=True).stdout
        self.assertNotIn("not found", ldd)
        resolved = dict(re.findall(r"^\s*(\S+) => (\S+)", ldd, re.MULTILINE))
        for lib in libs:
            where = os.path.realpath(os.path.join(self.elsewhere, resolved.get(lib, "?")))
            self.assertEqual(os.path.dirname(where), self.lib, lib)

    def test_started_elsewhere_by_its_launcher_loads_only_the_bundled_libraries(self):
        proc = subprocess.Popen([os.path.join(self.pkg, "run-demo"), "--capture", "--windowed", "-w", "64", "-h", "36"],
                                cwd=self.elsewhere, env=demo_env(), stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True)
        try:
            wait_for_output(proc, "Write to capture/frame29.bmp", timeout=120)
            with open(f"/proc/{proc.pid}/maps") as f:
                mapped = {line.split()[-1] for line in f if ".so" in line}
        finally:
            proc.terminate()
            proc.communicate(timeout=60)
        for lib in BUNDLED + ("libmad.so.0",):
            self.assertIn(os.path.join(self.lib, lib), mapped)
        self.assertEqual(pathlib.Path(self.pkg, "capture", "frame0.bmp").read_bytes()[:2], b"BM")


if __name__ == "__main__":
    unittest.main()
