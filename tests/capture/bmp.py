"""A strict reader of the captured files: an uncompressed 24-bit BMP with a
40-byte info header, rows bottom-up and padded to 4 bytes."""

import re
import struct


class Bmp:
    def __init__(self, width, height, rows):
        self.width = width
        self.height = height
        self.rows = rows  # top row first, each as bytes R, G, B, ...

    def pixel(self, x, y):
        return tuple(self.rows[y][3 * x:3 * x + 3])


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    assert len(data) >= 54, f"{path}: {len(data)} bytes"
    (signature, file_size, _, _, offset, info_size, width, height, planes, bits, compression,
     image_size) = struct.unpack_from("<2sIHHIIiiHHII", data)
    assert signature == b"BM", path
    assert (file_size, offset, info_size, planes, bits, compression) == (len(data), 54, 40, 1, 24, 0), path
    stride = (3 * width + 3) // 4 * 4
    assert image_size == len(data) - 54 == stride * height, path
    rows = []
    for stored in range(height):
        start = 54 + stored * stride
        assert not any(data[start + 3 * width:start + stride]), f"{path}: padding not zero"
        bgr = data[start:start + 3 * width]
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        rows.append(bytes(rgb))
    rows.reverse()
    return Bmp(width, height, rows)


WRITE_LINE = re.compile(r"Write to capture/frame(\d+)\.bmp$")
RESIZE_LINE = re.compile(r"Resized the window to (\d+)x(\d+)$")


def frame_sizes(stdout_lines, width, height):
    """Maps each frame number announced on stdout to the window size at its
    capture, following the resize lines that come between the frames."""
    sizes = {}
    for line in stdout_lines:
        line = line.rstrip("\n")
        resized = RESIZE_LINE.match(line)
        if resized:
            width, height = int(resized.group(1)), int(resized.group(2))
        written = WRITE_LINE.match(line)
        if written:
            sizes[int(written.group(1))] = (width, height)
    return sizes
