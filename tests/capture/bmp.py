"""A strict reader of the captured files: 24-bit BMP, rows bottom-up, zero-padded to 4 bytes."""

import struct


def read_bmp(path):
    """Returns (width, height, rows): each row's B, G, R bytes, as stored (bottom row first)."""
    with open(path, "rb") as f:
        data = f.read()
    (signature, file_size, _, _, offset, info_size, width, height, planes, bits, compression,
     image_size) = struct.unpack_from("<2sIHHIIiiHHII", data)
    assert signature == b"BM", path
    assert (file_size, offset, info_size, planes, bits, compression) == (len(data), 54, 40, 1, 24, 0), path
    stride = (3 * width + 3) // 4 * 4
    assert image_size == len(data) - 54 == stride * height, path
    rows = [data[start:start + stride] for start in range(54, len(data), stride)]
    assert not any(any(row[3 * width:]) for row in rows), f"{path}: padding not zero"
    return width, height, [row[:3 * width] for row in rows]
