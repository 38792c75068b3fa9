"""A capture run of the whole show at 64x36: the sections show a lit, varied
picture, each section looks different from the others, and the picture has
faded to black in the last seconds, as the music has."""

import struct

from demo_harness import DataDir, run_demo

ARGS = ["--capture", "--windowed", "-w", "64", "-h", "36", "--no-music", "-n", "10"]
FRAMES = 3480
# One frame from the middle of each section, in seconds.
SECTIONS = {"intro": 7.0, "build-up": 20.0, "climax": 36.0, "ending": 47.0}


def read_pixels(path):
    """The 8-bit channel values of an uncompressed 24-bit BMP file."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:2] == b"BM", path
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    assert struct.unpack_from("<H", data, 28)[0] == 24, path
    stride = (width * 3 + 3) & ~3
    return [v for row in range(abs(height))
            for v in data[offset + row * stride:offset + row * stride + width * 3]]


def frame_at(data, seconds):
    # Frame n is drawn at demo time (n + 1) / 60.
    return read_pixels(data.file(f"capture/frame{round(seconds * 60) - 1}.bmp"))


def mean(values):
    return sum(values) / len(values)


def std_dev(values):
    m = mean(values)
    return mean([(v - m) ** 2 for v in values]) ** 0.5


def distance(a, b):
    return mean([abs(x - y) for x, y in zip(a, b)])


def main():
    with DataDir(capture=True) as data:
        result = run_demo(ARGS, data.path)
        assert result.returncode == 0, (result.returncode, result.stderr[-2000:])
        assert result.stdout.count("Write to ") == FRAMES, result.stdout[-500:]

        frames = {name: frame_at(data, seconds) for name, seconds in SECTIONS.items()}
        for name, pixels in frames.items():
            assert mean(pixels) > 20, (name, mean(pixels))
            assert std_dev(pixels) > 12, (name, std_dev(pixels))
        names = list(frames)
        for i, a in enumerate(names):
            for b in names[i + 1:]:
                d = distance(frames[a], frames[b])
                assert d > 20, (a, b, d)

        # From 56.5 s to the last frame: black but for a step of dither.
        for n in range(round(56.5 * 60) - 1, FRAMES):
            brightest = max(read_pixels(data.file(f"capture/frame{n}.bmp")))
            assert brightest <= 2, (n, brightest)


if __name__ == "__main__":
    main()
