"""Capture runs over a flat black background shader, stopped after their first frames at 30 s: a
run without --explore draws no stone, --explore -n 0 draws only the (black) sky, and --explore
with the scene's 10000 stones lights pixels in both frames."""

from demo_harness import DataDir, read_bmp, start_demo, wait_for_output

BLACK = """#version 330 core
layout (location = 0) out vec4 FragColor;
layout (location = 1) out vec4 BrightColor;
void main() { FragColor = vec4(0.0, 0.0, 0.0, 1.0); BrightColor = vec4(0.0, 0.0, 0.0, 1.0); }
"""
ARGS = ["--capture", "--windowed", "-w", "160", "-h", "90", "--no-music", "--start", "30"]
FIRST = 30 * 60


def first_frames(extra):
    """The lit pixels (any channel above 0) of the run's first two frames."""
    with DataDir(capture=True) as data:
        data.write("shaders/background.frag", BLACK)
        proc = start_demo(ARGS + extra, data.path)
        try:
            wait_for_output(proc, f"Write to capture/frame{FIRST + 2}.bmp")
        finally:
            proc.kill()
        frames = [read_bmp(data.file(f"capture/frame{FIRST + i}.bmp"))[2] for i in range(2)]
    return [{(x, y) for y, row in enumerate(rows) for x in range(0, len(row), 3) if any(row[x:x + 3])}
            for rows in frames]


assert first_frames([]) == [set(), set()], "a run without --explore drew stones"
assert first_frames(["--explore", "-n", "0"]) == [set(), set()], "no stones, yet more than the sky"
lit = first_frames(["--explore"])
assert all(len(pixels) > 200 for pixels in lit), [len(pixels) for pixels in lit]
