"""After a resize in capture mode each frame shows the whole picture at the window's new size: frames
captured after shrinking and after enlarging the window match, in 16 x 9 block averages, the frames
of the same number from a clean capture at that size."""

from bmp import read_bmp
from demo_harness import DataDir, close_window, find_window, finish, start_demo, wait_for_output, xdotool

# Smooth ramps in the picture and in its bright part, so that any part of a target drawn at
# the wrong scale, or left from an earlier frame, shows in the blocks.
RAMPS = """#version 330 core
in vec2 TexCoords;
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;
void main() {
    FragColor = vec4(TexCoords, 0.3, 1.0);
    BrightColor = vec4(0.0, 0.0, 2.0 * TexCoords.x * TexCoords.y, 1.0);
}
"""
START, SIZES = (160, 90), [(96, 54), (240, 135)]


def capture(size, resizes=(), until=2):
    """A data folder holding the frames of a capture at `size` up to frame `until`, after which
    the window takes each of `resizes` for three frames."""
    data = DataDir(capture=True)
    data.write("shaders/background.frag", RAMPS)
    proc = start_demo(["--capture", "--windowed", "--no-music", "-n", "10", "-w", str(size[0]), "-h", str(size[1])],
                      data.path)
    try:
        window = find_window(proc)
        wait_for_output(proc, f"Write to capture/frame{until}.bmp")
        for w, h in resizes:
            xdotool("windowsize", window, w, h)
            wait_for_output(proc, f"Resized the window to {w}x{h}")
            for _ in range(3):
                wait_for_output(proc, "Write to capture/")
        close_window(window)
    except BaseException:
        proc.kill()
        raise
    status, _, err = finish(proc)
    assert (status, err) == (0, ""), (status, err[-2000:])
    return data


def blocks(data, n):
    w, h, rows = read_bmp(data.file(f"capture/frame{n}.bmp"))
    bw, bh = w // 16, h // 9
    return (w, h), [sum(rows[y][3 * x + c] for y in range(by * bh, by * bh + bh) for x in range(bx * bw, bx * bw + bw))
                    / (bw * bh) for by in range(9) for bx in range(16) for c in range(3)]


with capture(START, SIZES) as resized:
    frames = {}
    n = 3
    while True:
        try:
            size, averages = blocks(resized, n)
        except FileNotFoundError:
            break
        frames.setdefault(size, []).append((n, averages))
        n += 1
    for size in SIZES:
        assert len(frames.get(size, [])) >= 3, (size, frames.keys())
        with capture(size, until=frames[size][-1][0]) as clean:
            for n, averages in frames[size]:
                worst = max(abs(a - b) for a, b in zip(averages, blocks(clean, n)[1]))
                assert worst <= 6, f"frame {n} at {size}: a block differs by {worst:.1f} from a clean capture"
