"""The live timeline from --start 57 with disk audio: the show wraps to 0, and goes on at a clock a hair
under the end; Space freezes picture and music; the keys step the clock; the sound follows seeks to the
climax (paused, and playing) and Home. The background paints the clock (red: s / 64, green: fraction)."""

import array
import math
import os
import pathlib
import re
import time

from demo_harness import OUTPUTS, DataDir, demo_window, escape, grab, press, wait_for, xdotool

CLOCK = OUTPUTS + "uniform float t;\nvoid main() { float s = t / 0.4; FragColor = vec4(s / 64.0, fract(s), 0.0, 1.0); BrightColor = vec4(0.0); }\n"
PLAIN = ("#version 330 core\nin vec2 TexCoords;\nout vec4 FragColor;\nuniform sampler2D scene;\n"
         "void main() { FragColor = vec4(texture(scene, TexCoords).rgb, 1.0); }\n")
RATE = 22050


def clock(wid, data):
    r, g, _ = grab(wid, data)[45][80]
    coarse, fraction = r / 255 * 64, g / 255
    return round(coarse - fraction) + fraction


def levels(path, block=0.25):
    samples = array.array("h", pathlib.Path(path).read_bytes())
    n = int(block * RATE) * 2
    return [10 * math.log10(sum(s * s for s in samples[i:i + n]) / n / 32768 ** 2 + 1e-12) for i in range(0, len(samples) - n, n)]


with DataDir() as data:
    data.write("shaders/background.frag", CLOCK)
    data.write("shaders/bloom_final.frag", PLAIN)
    audio = data.file("audio.raw")
    env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": audio, "SDL_DISKAUDIODELAY": "29"}
    args = ["--windowed", "-w", "160", "-h", "90", "-n", "10", "--live", "--start", "57"]
    with demo_window(args, data, env) as (proc, wid):
        # Past 58 s the show starts again from 0 instead of ending (a loaded machine may take a while).
        assert wait_for(lambda: 0.2 < clock(wid, data) < 20, 30) and proc.poll() is None, clock(wid, data)

        press(wid, "space", settle=1.0)
        # The key reaches the demo at its next frame, late on a loaded machine: wait until the picture stands still.
        frozen = wait_for(lambda: (a := grab(wid, data)) == (time.sleep(0.3) or grab(wid, data)) and a, 5)
        time.sleep(1.0)
        later = grab(wid, data)
        assert later == frozen, ("the picture moved while paused", frozen[45][80], later[45][80])
        now = clock(wid, data)
        for key, step in (("Right", 5), ("Next", 2), ("period", 1 / 60), ("comma", -1 / 60), ("Prior", -2),
                          ("Left", -5), ("Home", None)):
            press(wid, key, settle=0.4)
            now = now + step if step is not None else 0.0
            assert abs(clock(wid, data) - now) < 0.01, (key, clock(wid, data), now)
        # 57.99999999999994 s, which is 58.0 as a float: drawn, the run goes on.
        xdotool("key", "--window", wid, *["Right"] * 11, "Next", *["period"] * 60)
        assert wait_for(lambda: clock(wid, data) > 57.9, 10) and proc.poll() is None, "the run ended at the end"
        press(wid, "Home", settle=0.4)
        press(wid, *["Right"] * 6, settle=0.2)
        press(wid, "space", settle=1.0)
        assert wait_for(lambda: 30.5 < clock(wid, data) < 33, 5), clock(wid, data)
        time.sleep(2.0)
        press(wid, "Home", settle=0.0)
        assert wait_for(lambda: clock(wid, data) < 2.0, 3), clock(wid, data)
        time.sleep(3.0)
        intro_end = os.path.getsize(audio)
        press(wid, *["Right"] * 6, settle=0.2)  # seeks forward on the playing track
        assert wait_for(lambda: 30.5 < clock(wid, data) < 39, 5), clock(wid, data)
        time.sleep(2.0)
        climax_end = os.path.getsize(audio)
        status, out, err = escape(proc, wid)
    assert status == 0, err
    db = levels(audio)
print("levels (dBFS, 0.25 s blocks):", [round(x) for x in db])
# The pause is the longest silent stretch; the climax plays after it, the intro after Home and the
# climax again after the seeks forward while playing.
pause = max(re.finditer("s+", "".join("s" if x < -70 else "." for x in db)), key=lambda m: len(m.group()))
block = lambda size: int(size / 4 / RATE / 0.25)  # the level block written when the file had that size
climax, again = db[pause.end() + 2:pause.end() + 10], db[block(climax_end) - 6:block(climax_end)]
intro = db[block(intro_end) - 8:block(intro_end)]
assert len(pause.group()) >= 12, pause
assert min(climax) > -30 and sum(climax) / 8 > sum(intro) / 8 + 6, (climax, intro)
assert sum(again) / 6 > sum(climax) / 8 - 4, (again, climax)
