"""Interactive runs: the size line in both window modes, the resize line, Escape ending the run
at once, and the font file opened only at the first text drawn, where a pipe in its place is refused."""

import os
import time

from demo_harness import DataDir, escape, find_window, finish, start_demo, wait_for_output, xdotool

with DataDir() as data:
    proc = start_demo(["--windowed", "-w", "320", "-h", "200", "-n", "3", "--no-music"], data.path)
    try:
        assert proc.stdout.readline() == "320 200\n"
        wid = find_window(proc)
        xdotool("windowsize", wid, 1024, 768)
        wait_for_output(proc, "Resized the window to 1024x768")
        assert escape(proc, wid) == (0, "", "")
    finally:
        proc.kill()

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
