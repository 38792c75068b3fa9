"""A full-screen run: the size line gives the screen's size, and the font file is opened only at
the first text drawn, where a pipe in its place is refused."""

import os
import time

from demo_harness import DataDir, find_window, finish, start_demo, wait_for_output, xdotool

with DataDir() as data:
    os.remove(data.file("fonts/arial.ttf"))
    os.mkfifo(data.file("fonts/arial.ttf"))  # never read: no writer would ever come
    proc = start_demo(["-w", "640", "-h", "360", "-n", "0", "--no-music"], data.path)
    try:
        assert proc.stdout.readline() == "{} {}\n".format(*xdotool("getdisplaygeometry").split())
        wid = find_window(proc)
        time.sleep(1.0)
        assert proc.poll() is None, "the font was opened before a text was drawn"
        xdotool("key", "--window", wid, "f")
        assert wait_for_output(proc, "ERROR") == ["ERROR::FREETYPE: Failed to load font\n"]
        assert finish(proc)[0] == 255
    finally:
        proc.kill()
