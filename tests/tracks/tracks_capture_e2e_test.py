"""Capture runs from 30 s over a black background with a white bar as wide as the uniform "bar": it
follows the track frame by frame, and without --tracks (the file where the shipped one stands) stays
unlit, as do the stones without --explore; with --explore -n 0 only the sky shows, with its bar; the
camera flies along its tracks; a file that does not parse ends the start with its place on one line."""

import os

from demo_harness import OUTPUTS, DataDir, read_bmp, run_demo

BAR = OUTPUTS + ("uniform float bar;\nvoid main() { FragColor = vec4(vec3(gl_FragCoord.x < bar ? 1.0 : 0.0), 1.0);"
                 " BrightColor = vec4(0.0, 0.0, 0.0, 1.0); }\n")
ARGS = ["--capture", "--windowed", "-w", "160", "-h", "90", "--no-music", "--start", "30"]
FIRST = 30 * 60  # frame N shows the demo time (N + 1) / 60
# 10 (held) until 30.03 s, then 40 rising to 90 at 30.08 s: frames at 30.017, .033, .05, .067, .083, .1 s.
BAR_TRACK = "# the bar's width in pixels\nbar 30.08 90\nbar 30 10 step\nbar 30.03 40 # rises\n"
WIDTHS = [10, 43, 60, 77, 90, 90]
CAMERA_TRACKS = "camera.z 30 250 step\ncamera.yaw 30 0 step\ncamera.yaw 30.04 180 step\n"


def capture(args, frames, tracks=""):
    """Each frame's lit pixels (any channel above 0) per row, from the bottom."""
    with DataDir(capture=True) as data:
        data.write("shaders/background.frag", BAR)
        os.mkdir(data.file("tracks"))
        data.write("tracks/flight.tracks", tracks)
        run = run_demo(ARGS + ["--frames", str(frames)] + args, data.path)
        assert run.returncode == 0, run.stderr
        pictures = [read_bmp(data.file(f"capture/frame{FIRST + i}.bmp"))[2] for i in range(frames)]
    return [[sum(any(row[x:x + 3]) for x in range(0, len(row), 3)) for row in rows] for rows in pictures]


widths = [rows[45] for rows in capture(["-n", "0", "--tracks", "tracks/flight.tracks"], 6, BAR_TRACK)]
assert all(abs(w - expected) <= 1 for w, expected in zip(widths, WIDTHS)), widths
unset = capture([], 2, BAR_TRACK)
assert [sum(rows) for rows in unset] == [0, 0], "tracks applied without --tracks, or stones drawn"
sky = capture(["--explore", "-n", "0", "--tracks", "tracks/flight.tracks"], 2, BAR_TRACK)
assert [set(rows) for rows in sky] == [{w} for w in widths[:2]], "not the sky alone with its bar"

lit = [sum(rows) for rows in capture(["--explore", "--tracks", "tracks/flight.tracks"], 3, CAMERA_TRACKS)]
assert lit[0] > 200 and lit[1] > 200 and lit[2] == 0, lit

with DataDir() as data:
    data.write("bad.tracks", BAR_TRACK + "bar 30.0 3\n")
    run = run_demo(ARGS + ["--tracks", "bad.tracks"], data.path)
duplicate = "bad.tracks:5: duplicate key: bar has a key at this time on line 3\n"
assert (run.returncode, run.stdout, run.stderr) == (255, "", duplicate), run
