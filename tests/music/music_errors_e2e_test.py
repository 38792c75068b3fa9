"""When the music cannot play: a missing track is fatal, "--no-music" makes no
SDL call at all, and a missing sound device only warns."""

import os
import re
import subprocess
import threading

from demo_harness import DEMO, DataDir, close_window, demo_env, find_window, finish, start_demo, window_exists

SMALL = ["--windowed", "-w", "64", "-h", "36", "-n", "10"]

# Missing track: the disk driver opens a FIFO inside Mix_OpenAudio, holding the
# demo there with its window open until the test reads it.
with DataDir(omit=["assets/kelvarra.mp3"]) as data:
    fifo = data.file("audio.fifo")
    os.mkfifo(fifo)
    proc = start_demo(SMALL, data.path, env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": fifo,
                                             "SDL_DISKAUDIODELAY": "29"})
    try:
        wid = find_window(proc)
    finally:
        reader = threading.Thread(target=lambda: open(fifo, "rb").read())
        reader.start()
    status, out, err = finish(proc, timeout=60)
    reader.join(timeout=10)
assert (status, out) == (1, "64 36\n") and "Error loading music: assets/kelvarra.mp3\n" in err, (status, out, err)
assert not window_exists(wid), "the window outlived the process"

# "--no-music" with an audio driver that cannot work, and no track: any SDL audio call would show.
with DataDir(omit=["assets"]) as data:
    proc = start_demo(SMALL + ["--no-music"], data.path, env={"SDL_AUDIODRIVER": "none"})
    close_window(find_window(proc))
    assert finish(proc, timeout=60) == (0, "64 36\n", ""), "--no-music touched SDL"

# No driver named on a machine without a sound card: Mix_OpenAudio fails; one
# warning, the track is not loaded, and the show goes on.
env = demo_env()
del env["SDL_AUDIODRIVER"]
with DataDir(omit=["assets/kelvarra.mp3"]) as data:
    proc = subprocess.Popen([DEMO, *SMALL], cwd=data.path, env=env, text=True, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    wid = find_window(proc)
    lines = []
    while not lines or "without music" not in lines[-1]:
        lines.append(proc.stderr.readline())
        assert lines[-1], f"no warning before stderr closed: {lines!r}"
    assert proc.poll() is None, "the demo stopped without a sound device"
    close_window(wid)
    status, out, err = finish(proc, timeout=60)
warnings = [line for line in ("".join(lines) + err).splitlines() if "without music" in line or "Error" in line]
assert (status, out) == (0, "64 36\n") and len(warnings) == 1, (status, out, lines, err)
assert re.match(r"Could not open the audio device \(.+\); the demo plays without music\.$", warnings[0]), warnings
