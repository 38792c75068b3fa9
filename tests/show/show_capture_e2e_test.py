"""A capture run of the whole show at 64x36: each section shows a lit, varied
picture unlike the others', in composition and not only in colour (their
edge maps do not correlate), the build-up inside the stone moves from its
pavilion to the view up through its table, and the last seconds have faded
to black; a capture from --start 30 begins with the whole run's frame 1800."""

from itertools import combinations
from statistics import correlation, mean, pstdev

from demo_harness import DataDir, read_bmp, run_demo

ARGS = ["--capture", "--windowed", "-w", "64", "-h", "36", "--no-music", "-n", "10"]
FRAMES = 3480
SECTIONS = {"intro": 7.0, "pavilion": 17.0, "table": 25.0, "climax": 36.0, "ending": 47.0}  # seconds


def read_pixels(path):
    """The channel values of a 24-bit BMP file, bottom row first."""
    return [v for row in read_bmp(path)[2] for v in row]


def edge_map(pixels, width=64, height=36):
    """Per pixel, the brightness steps to the right and downward neighbours."""
    lum = [sum(pixels[3 * i:3 * i + 3]) for i in range(width * height)]
    return [abs(lum[i + 1] - lum[i]) + abs(lum[i + width] - lum[i])
            for i in range(width * (height - 1)) if i % width < width - 1]


def main():
    with DataDir(capture=True) as data:
        result = run_demo(ARGS, data.path)
        assert result.returncode == 0, (result.returncode, result.stderr[-2000:])
        assert result.stdout.count("Write to ") == FRAMES, result.stdout[-500:]
        frame = lambda n: read_pixels(data.file(f"capture/frame{n}.bmp"))

        # Frame n is drawn at demo time (n + 1) / 60.
        frames = {name: frame(round(s * 60) - 1) for name, s in SECTIONS.items()}
        for name, pixels in frames.items():
            assert mean(pixels) > 20 and pstdev(pixels) > 12, (name, mean(pixels), pstdev(pixels))
        for a, b in combinations(frames, 2):
            d = mean([abs(x - y) for x, y in zip(frames[a], frames[b])])
            assert d > 20, (a, b, d)
            assert correlation(edge_map(frames[a]), edge_map(frames[b])) < 0.4, (a, b)

        # From 56.5 s to the last frame: black but for a step of dither.
        for n in range(round(56.5 * 60) - 1, FRAMES):
            assert max(frame(n)) <= 2, (n, max(frame(n)))

        # A frame depends on its time alone: --start 30 writes frame 1800 first, the whole run's.
        with DataDir(capture=True) as started:
            result = run_demo(ARGS + ["--start", "30", "--frames", "1"], started.path)
            assert result.stdout.splitlines()[1:] == ["Write to capture/frame1800.bmp"], result
            assert read_pixels(started.file("capture/frame1800.bmp")) == frame(1800), "differs"


if __name__ == "__main__":
    main()
