"""Live reload in one run: a flat-colour save shows within 2 s, a syntax error
keeps the last picture with the error drawn and logged once, a fixed save
recovers, saves of the blur and composite keep the picture (their sampler
units set again), and a file removed and written again does no harm."""

import os
import time

from demo_harness import DataDir, close_window, find_window, finish, start_demo, wait_for_output
from live_harness import FLAT, flat_colour, grab, near, wait_for

ARGS = ["--windowed", "-w", "200", "-h", "120", "-n", "10", "--no-music", "--live"]
BACKGROUND = "shaders/background.frag"


def is_error_red(p):
    return p[0] >= 180 and p[1] <= 110 and p[2] <= 110


with DataDir() as data:
    proc = start_demo(ARGS, data.path)
    try:
        wid = find_window(proc)
        shows_flat = lambda: flat_colour(grab(wid, data))

        data.write(BACKGROUND, FLAT.format("0.2, 0.6, 0.3"))
        saved = time.time()
        first = wait_for(shows_flat, 2.0)
        assert first and time.time() - saved < 2.5, "the flat save did not show within 2 s"
        assert wait_for_output(proc, "Reloaded")[-1] == f"Reloaded {BACKGROUND}\n"

        for name in ("gaussian_blur", "bloom_final"):
            with open(data.file(f"shaders/{name}.frag"), "a") as f:
                f.write("// saved again\n")
            wait_for_output(proc, f"Reloaded shaders/{name}.frag")
        time.sleep(0.5)
        assert near(shows_flat(), first), "the picture changed after the blur and composite reloads"

        data.write(BACKGROUND, FLAT.format("0.2, 0.6, 0.3") + "broken(\n")
        lines = wait_for_output(proc, "error in")
        assert BACKGROUND in lines[-1], lines
        log = proc.stdout.readline()
        assert "error" in log, log
        time.sleep(1.0)
        rows = grab(wid, data)
        assert proc.poll() is None
        assert sum(is_error_red(p) for row in rows[:40] for p in row) > 30, "no error text drawn"
        assert near(flat_colour(rows[-50:]), first), "the last picture did not stay"

        data.write(BACKGROUND, FLAT.format("0.5, 0.3, 0.6"))
        second = wait_for(shows_flat, 2.0)
        assert second and not near(second, first), "the fixed save did not recover"

        os.remove(data.file(BACKGROUND))
        time.sleep(0.6)
        data.write(BACKGROUND, FLAT.format("0.1, 0.2, 0.7"))
        third = wait_for(shows_flat, 2.0)
        assert third and not near(third, second), "the rewritten file did not show"
        assert proc.poll() is None

        close_window(wid)
        status, out, err = finish(proc)
    finally:
        proc.kill()
assert status == 0, err
assert out.count("error in") == 0 and "Error" not in err, (out, err)
