"""A window resized during a capture: the frames from the resize on are written
whole at the new size, and the run goes on."""

from bmp import read_bmp
from demo_harness import DataDir, close_window, find_window, finish, start_demo, wait_for_output, xdotool

with DataDir(capture=True) as data:
    proc = start_demo(["--capture", "--windowed", "-w", "64", "-h", "36", "--no-music"], data.path)
    try:
        window = find_window(proc)
        wait_for_output(proc, "Write to capture/frame5.bmp")
        xdotool("windowsize", window, 45, 27)
        wait_for_output(proc, "Resized the window to 45x27")
        last = int(wait_for_output(proc, "Write to capture/")[-1].strip()[len("Write to capture/frame"):-4])
        close_window(window)
    except BaseException:
        proc.kill()
        raise
    status, _, err = finish(proc)
    assert (status, err) == (0, ""), (status, err[-2000:])
    sizes = [read_bmp(data.file(f"capture/frame{n}.bmp"))[:2] for n in range(last + 1)]
    first_new = sizes.index((45, 27))
    assert first_new > 5 and sizes == [(64, 36)] * first_new + [(45, 27)] * (last + 1 - first_new), sizes
