"""The info text switched on with key I during a capture is in the captured
frames. The capture clock makes the picture the same in every run, so a run
without the key gives the frames to compare with."""

import os
import time

from bmp import read_bmp
from demo_harness import DataDir, close_window, find_window, finish, start_demo, wait_for_output, xdotool

ARGS = ["--capture", "--windowed", "-w", "64", "-h", "36", "--no-music"]
KEY_AFTER = 3  # the key is sent once this frame is announced


def capture(data, key, last_frame=None):
    """Captures until `last_frame`, or, with a key, until a second after the
    key was sent; returns the number of the last frame written."""
    proc = start_demo(ARGS, data.path)
    try:
        window = find_window(proc)
        wait_for_output(proc, f"Write to capture/frame{KEY_AFTER}.bmp")
        if key:
            xdotool("key", "--window", window, key)
            time.sleep(1.0)
            # stdout lags behind in its pipe; the files show how far the run is.
            last_frame = max(int(name[len("frame"):-len(".bmp")])
                             for name in os.listdir(data.file("capture")))
        wait_for_output(proc, f"Write to capture/frame{last_frame + 1}.bmp")
        close_window(window)
    except BaseException:
        proc.kill()
        raise
    status, _, err = finish(proc)
    assert status == 0, (status, err[-2000:])
    return last_frame


def lightened_pixels(plain, info):
    return [(x, y) for y in range(info.height) for x in range(info.width)
            if sum(info.pixel(x, y)) > sum(plain.pixel(x, y)) + 150]


def main():
    with DataDir(capture=True) as info_dir, DataDir(capture=True) as plain_dir:
        last = capture(info_dir, "i")
        capture(plain_dir, None, last)
        frames = [(read_bmp(plain_dir.file(f"capture/frame{n}.bmp")),
                   read_bmp(info_dir.file(f"capture/frame{n}.bmp"))) for n in range(last + 1)]
    # The runs agree up to the frame in which the key arrived (never before
    # the key was sent); from there on every frame shows the white text, which
    # starts at x = 10.
    first = next((n for n, (plain, info) in enumerate(frames) if plain.rows != info.rows), None)
    assert first is not None, "no frame shows the text"
    assert first > KEY_AFTER, first
    for n in range(first, last + 1):
        lighter = lightened_pixels(*frames[n])
        assert len(lighter) >= 20, f"frame {n}: only {len(lighter)} pixels lightened by the text"
        assert all(x >= 9 for x, _ in lighter), f"frame {n}: lightened pixels left of the text"
    print(f"the text shows from frame {first} to frame {last}")


if __name__ == "__main__":
    main()
