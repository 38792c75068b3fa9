"""When the music cannot play: a missing or unusable track is fatal, with or
without a sound device, "--no-music" makes no SDL call at all, a missing sound
device only warns, and a track that will not start or move is told, once a failure."""

import os
import re

from demo_harness import DataDir, escape, find_window, run_demo, start_demo

SMALL = ["--windowed", "-w", "64", "-h", "36", "-n", "10"]

# "--no-music" with an audio driver that cannot work, and no track: any SDL audio call would show.
with DataDir(omit=["assets"]) as data:
    proc = start_demo(SMALL + ["--no-music"], data.path, env={"SDL_AUDIODRIVER": "none"})
    assert escape(proc, find_window(proc)) == (0, "64 36\n", ""), "--no-music touched SDL"

# No sound device, whatever the machine has: ALSA asked for a device that does not exist. One
# warning and nothing else on stderr (ALSA's own lines kept off), and the show goes on; a track
# that is not a readable regular file is still fatal, as with a device.
NO_DEVICE = {"SDL_AUDIODRIVER": "alsa", "AUDIODEV": "no_such_device"}
with DataDir() as data:
    proc = start_demo(SMALL, data.path, env=NO_DEVICE)
    status, out, err = escape(proc, find_window(proc))
assert (status, out) == (0, "64 36\n"), (status, out, err)
assert re.fullmatch(r"Could not open the audio device \(.+\); the demo plays without music\.\n", err), err

TRACK = "assets/kelvarra.mp3"
for env, make in [(NO_DEVICE, None), (NO_DEVICE, os.mkdir), (NO_DEVICE, os.mkfifo),
                  ({}, None), ({}, os.mkdir)]:
    with DataDir(omit=[TRACK]) as data:
        if make:
            make(data.file(TRACK))
        r = run_demo(SMALL, data.path, env=env, timeout=60)
    assert (r.returncode, r.stdout, r.stderr) == (1, "64 36\n", f"Error loading music: {TRACK}\n"), (env, make, r)

# The mixer fails to start the track (again when the seek reloads it) and to move it to --start.
with DataDir() as data:
    proc = start_demo(SMALL + ["--start", "10"], data.path, env={
        "LD_PRELOAD": os.environ["MIXER_FAILURES"], "ASAN_OPTIONS": "detect_leaks=0:verify_asan_link_order=0"})
    status, out, err = escape(proc, find_window(proc))
assert (status, out) == (0, "64 36\n" + 2 * "Could not play the music (no playback here); the show goes on.\n" +
                         "Could not move the music to 10.00 s (no seeking here); the show goes on.\n"), (status, out, err)
