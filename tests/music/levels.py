"""Loudness of 16-bit stereo PCM over time windows, for the music tests."""

import array
import math
import sys


def read_s16(path):
    """Interleaved little-endian 16-bit samples of a raw PCM file."""
    samples = array.array("h")
    with open(path, "rb") as f:
        data = f.read()
    samples.frombytes(data[: len(data) // 2 * 2])
    if sys.byteorder == "big":
        samples.byteswap()
    return samples


def window(samples, rate, start, end, channels=2):
    return samples[int(start * rate) * channels:int(end * rate) * channels]


def rms_db(samples):
    """RMS level in dB relative to full scale; -inf for silence or no samples."""
    if not samples:
        return -math.inf
    power = sum(s * s for s in samples) / len(samples)
    return 10 * math.log10(power) - 20 * math.log10(32768) if power else -math.inf


def section_levels(samples, rate, scale=1.0):
    """RMS of the middle of each section, away from the section borders.

    `scale` maps track time to position in the samples, for a recording that
    ran slower than the track (scale < 1)."""
    spans = {"intro": (2, 10), "build": (14, 26), "climax": (30, 42), "ending": (52, 55)}
    return {name: rms_db(window(samples, rate, a * scale, b * scale))
            for name, (a, b) in spans.items()}
