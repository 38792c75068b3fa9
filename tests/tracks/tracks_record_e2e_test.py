"""Recording in live explore mode, paused: K writes the five camera keys from the camera that mouse look
turned, keeping the file's comments and lines, eleven times one frame apart while a reader polling the file
never sees part of one; [ goes back to the previous keys and X removes them; a write that cannot be made
leaves the file as it was and says so in red over the picture."""

import os
import threading
import time

from demo_harness import (PLAIN_BACKGROUND, DataDir, demo_window, escape, grab, press,
                          wait_for_output, xdotool)

HEAD = "# my flight\nglow 0 1 # bright\n\nglow 20 0 smooth\n"
ARGS = ["--windowed", "-w", "200", "-h", "120", "-n", "10", "--no-music", "--live", "--explore", "--start", "12",
        "--tracks", "show.tracks"]


def camera_keys(text):
    """{time: {track: value}} of the camera lines, which must all come after the head."""
    assert text.startswith(HEAD), text
    keys = {}
    for line in text[len(HEAD):].splitlines():
        name, at, value, shape = line.split()
        assert name.startswith("camera.") and shape == "smooth", line
        keys.setdefault(float(at), {})[name[7:]] = float(value)
    return keys


def read_while(stop, seen):
    """Reads the file until `stop`, noting each version seen and whether it was whole (not cut)."""
    while not stop.is_set():
        try:
            text = open(path).read()
            seen[text] = text.endswith("\n") and all(len(parts) == 5 for parts in camera_keys(text).values())
        except (OSError, AssertionError, ValueError):
            seen[None] = False


with DataDir() as data:
    path = data.file("show.tracks")
    data.write("show.tracks", HEAD)
    data.write("shaders/background.frag", PLAIN_BACKGROUND)
    with demo_window(ARGS, data) as (proc, wid):
        press(wid, "space", "m")
        xdotool("mousemove", "--window", wid, 150, 30)  # yaw -90, pitch 45 (mouse look)
        press(wid, "m")
        stop, seen = threading.Event(), {}
        (reader := threading.Thread(target=read_while, args=(stop, seen))).start()
        press(wid, "k", *["period", "k"] * 10)
        for _ in range(11):
            wait_for_output(proc, "Wrote show.tracks")
        stop.set(), reader.join()
        assert all(seen.values()) and len(seen) >= 3, [t for t, whole in seen.items() if not whole][:1] or seen
        keys = camera_keys(open(path).read())
        times = sorted(keys)
        assert len(times) == 11 and 12 < times[0] < 14 and times[1] - times[0] < 0.03, times
        first = keys[times[0]]
        assert all(abs(first[k] - v) < 0.01 for k, v in dict(x=0, y=0, z=10, yaw=-90, pitch=45).items()), first

        press(wid, "bracketleft", "x")
        wait_for_output(proc, "Wrote show.tracks")
        assert sorted(camera_keys(open(path).read())) == times[:9] + times[10:]

        before = open(path).read()
        os.mkdir(path + ".tmp"), os.chmod(data.path, 0o555)  # the temporary file cannot be made, also as root
        press(wid, "period", "k")
        assert "Cannot write show.tracks" in wait_for_output(proc, "Cannot write")[-1]
        os.chmod(data.path, 0o755)
        time.sleep(0.5)
        assert open(path).read() == before
        assert sum(p[0] >= 180 and p[1] <= 110 for row in grab(wid, data) for p in row) > 30, "no error drawn"
        status, out, err = escape(proc, wid)
assert status == 0, err
