"""The live timeline in one run from --start 57 with the disk audio driver:
the show wraps to 0 and goes on; Space freezes the picture and the music and
releases them; the seek and step keys move the clock by their steps; after a
seek to the climax the sound follows the track there, and after Home the
intro. The background paints the clock (red: seconds / 64, green: their
fraction) and a plain composite passes it through, so a pixel tells the time."""

import array
import math
import time

from demo_harness import DataDir, close_window, find_window, finish, start_demo, xdotool
from live_harness import grab

CLOCK = """#version 330 core
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;
uniform float t;
void main() { float s = t / 0.4; FragColor = vec4(s / 64.0, fract(s), 0.0, 1.0); BrightColor = vec4(0.0); }
"""
PLAIN = """#version 330 core
in vec2 TexCoords;
out vec4 FragColor;
uniform sampler2D scene;
void main() { FragColor = vec4(texture(scene, TexCoords).rgb, 1.0); }
"""
RATE = 22050


def clock(wid, data):
    r, g, _ = grab(wid, data)[45][80]
    coarse, fraction = r / 255 * 64, g / 255
    return round(coarse - fraction) + fraction


def press(wid, key, settle=0.4):
    xdotool("key", "--window", wid, key)
    time.sleep(settle)


def levels(path, block=0.25):
    samples = array.array("h")
    with open(path, "rb") as f:
        samples.frombytes(f.read())
    n = int(block * RATE) * 2
    return [10 * math.log10(sum(s * s for s in samples[i:i + n]) / n / 32768 ** 2 + 1e-12)
            for i in range(0, len(samples) - n, n)]


with DataDir() as data:
    data.write("shaders/background.frag", CLOCK)
    data.write("shaders/bloom_final.frag", PLAIN)
    audio = data.file("audio.raw")
    proc = start_demo(["--windowed", "-w", "160", "-h", "90", "-n", "10", "--live", "--start", "57"], data.path,
                      env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": audio, "SDL_DISKAUDIODELAY": "29"})
    try:
        wid = find_window(proc)
        time.sleep(2.5)
        wrapped = clock(wid, data)
        assert 0.2 < wrapped < 2.6 and proc.poll() is None, wrapped

        press(wid, "space")
        frozen = grab(wid, data)
        time.sleep(1.0)
        assert grab(wid, data) == frozen, "the picture moved while paused"
        now = clock(wid, data)
        for key, step in (("Right", 5), ("Next", 2), ("period", 1 / 60), ("comma", -1 / 60), ("Prior", -2),
                          ("Left", -5), ("Home", None)):
            press(wid, key)
            now = now + step if step is not None else 0.0
            assert abs(clock(wid, data) - now) < 0.01, (key, clock(wid, data), now)
        for _ in range(6):
            press(wid, "Right", 0.2)
        press(wid, "space", 1.0)
        assert 30.5 < clock(wid, data) < 33, clock(wid, data)
        time.sleep(2.0)
        press(wid, "Home", 3.0)
        close_window(wid)
        status, out, err = finish(proc)
    finally:
        proc.kill()
    assert status == 0, err
    db = levels(audio)
print("levels (dBFS, 0.25 s blocks):", [round(x) for x in db])
# The pause is the longest silent stretch; the climax plays after it, the intro at the end.
silent = [x < -70 for x in db]
runs = [(i - j, i) for i in range(len(db) + 1) for j in range(i) if all(silent[j:i]) and (j == 0 or not silent[j - 1])]
length, end = max(runs)
climax, intro = db[end + 2:end + 10], db[-10:-2]
assert length >= 12, length
assert min(climax) > -30 and sum(climax) / 8 > sum(intro) / 8 + 6, (climax, intro)
