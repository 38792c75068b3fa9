"""Live reload in one run (explore mode, no stone in view): a flat save shows, kept by the other
programs' saves; a black blur takes its bright part out; syntax errors in the background and the stone shader keep
the picture, drawn and logged; fixes recover; a removed file does no harm."""

import os
import pathlib
import time

from demo_harness import OUTPUTS, DataDir, demo_window, escape, grab, wait_for, wait_for_output

ARGS = ["--windowed", "-w", "200", "-h", "120", "-n", "10", "--no-music", "--live", "--explore"]
BACKGROUND = "shaders/background.frag"
BLACK = "#version 330 core\nout vec4 FragColor;\nvoid main() { FragColor = vec4(0.0, 0.0, 0.0, 1.0); }\n"
STONES = "shaders/standard.frag"
SHOWS_WITHIN = 10.0  # a save shows at the next poll (0.2 s); room for a loaded machine and the sanitizers
# A flat picture whose bright part is the colour too: the blur's result adds to it.
FLAT = OUTPUTS + "void main() {{ FragColor = vec4({0}, 1.0); BrightColor = vec4({0}, 1.0); }}\n"


def flat_colour(rows, tolerance=4):
    """The colour of a picture that is one colour within the dither's steps, else None; not black
    (no frame yet)."""
    if rows[0][0] != (0, 0, 0) and all(near(p, rows[0][0], tolerance) for row in rows for p in row):
        return rows[0][0]
    return None


def near(a, b, tolerance=3):
    return a is not None and b is not None and all(abs(x - y) <= tolerance for x, y in zip(a, b))


with DataDir() as data, demo_window(ARGS, data) as (proc, wid):
    shows_flat = lambda: flat_colour(grab(wid, data))

    def save_shows(colour, previous=None):
        """Saves a flat background; returns its colour once the window shows it."""
        data.write(BACKGROUND, FLAT.format(colour))
        return wait_for(lambda: (c := shows_flat()) and not near(c, previous) and c, SHOWS_WITHIN)

    first = save_shows("0.2, 0.6, 0.3")
    assert first, "the flat save did not show"
    assert wait_for_output(proc, "Reloaded")[-1] == f"Reloaded {BACKGROUND}\n"

    for name in ("gaussian_blur", "bloom_final", "fonts", "basic", "standard"):
        with open(data.file(f"shaders/{name}.frag"), "a") as f:
            f.write("// saved again\n")
        wait_for_output(proc, f"Reloaded shaders/{name}.frag")
    assert wait_for(lambda: near(shows_flat(), first), SHOWS_WITHIN), \
        "the picture changed after the blur and composite reloads"
    # Takes the blurred bright part out: the picture from here.
    data.write("shaders/gaussian_blur.frag", BLACK)
    first = wait_for(lambda: (c := shows_flat()) and sum(c) < sum(first) - 30 and c, SHOWS_WITHIN)
    assert first, "the blur's result stayed"

    stones = pathlib.Path(data.file(STONES)).read_text()
    data.write(STONES, stones + "broken(\n")
    data.write(BACKGROUND, FLAT.format("0.2, 0.6, 0.3") + "broken(\n")
    lines = wait_for_output(proc, f"error in {BACKGROUND}")
    assert any(f"error in {STONES}" in line for line in lines), lines
    assert "error" in proc.stdout.readline()
    time.sleep(1.0)
    rows = grab(wid, data)
    assert proc.poll() is None
    red = sum(p[0] >= 180 and p[1] <= 110 and p[2] <= 110 for row in rows[:40] for p in row)
    assert red > 30, "no error text drawn"
    assert near(flat_colour(rows[-20:]), first), "the last picture did not stay"

    data.write(STONES, stones)
    wait_for_output(proc, f"Reloaded {STONES}")

    second = save_shows("0.5, 0.3, 0.6", first)
    assert second, "the fixed save did not recover"

    os.remove(data.file(BACKGROUND))
    time.sleep(0.6)
    assert save_shows("0.1, 0.2, 0.7", second) and proc.poll() is None, \
        "the rewritten file did not show"

    status, out, err = escape(proc, wid)
assert status == 0, err
assert out.count("error in") == 0 and "Error" not in err, (out, err)
