"""The soundtrack in the run folder is one 44.1 kHz stereo MP3 stream of at least 58 s. A whole
run through SDL's disk audio driver, written in real time, plays it from the start with a level
that follows the track's sections; the show ends by itself at 58 s with status 0."""

import array
import json
import math
import os
import pathlib
import subprocess
import time

from demo_harness import RUN_DIR, DataDir, run_demo

RATE = 22050  # the mixer's output rate, stereo

probe = json.loads(subprocess.run(["ffprobe", "-v", "error", "-print_format", "json", "-show_streams", "-show_format",
                                   os.path.join(RUN_DIR, "assets", "kelvarra.mp3")],
                                  capture_output=True, text=True, check=True).stdout)
[stream] = probe["streams"]
assert (stream["codec_name"], int(stream["sample_rate"]), stream["channels"]) == ("mp3", 44100, 2), stream
assert float(probe["format"]["duration"]) >= 58.0, probe["format"]


with DataDir() as data:
    start = time.time()
    result = run_demo(["--windowed", "-w", "64", "-h", "36", "-n", "10"], data.path, timeout=300, env={
        "SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": data.file("audio.raw"), "SDL_DISKAUDIODELAY": "29"})
    assert time.time() - start >= 58.0, "the show ended early"
    assert (result.returncode, result.stdout, "without music" in result.stderr) == (0, "64 36\n", False), result
    samples = array.array("h")  # little-endian, as on the machines the tests run on
    samples.frombytes(pathlib.Path(data.file("audio.raw")).read_bytes())
# The driver writes the track in order, but under load a little less of it than real time
# takes: each section is measured at its place in the track, where the run reached it.
seconds = len(samples) / 2 / RATE
assert 45 < seconds < 62, seconds
SECTIONS = {"intro": (2, 10), "build": (14, 26), "climax": (30, 42), "ending": (52, 55)}
levels = {name: 10 * math.log10(sum(s * s for s in part) / len(part) / 32768 ** 2 + 1e-12)  # dBFS
          for name, (a, b) in SECTIONS.items() if b <= seconds
          for part in [samples[a * RATE * 2:b * RATE * 2]]}
assert min(levels.values()) > -50, levels
assert levels["build"] > levels["intro"] + 4 and levels["climax"] > levels["build"] + 2, levels
assert levels.get("ending", -100) < levels["climax"] - 10, levels
