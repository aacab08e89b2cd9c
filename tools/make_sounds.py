#!/usr/bin/env python3
"""Writes the two sounds the program embeds as WAVE resources:

  src/resources/kontakt.wav  the reminder chime: two soft bell notes (E6, C6)
                             dying away, about one second, mono 16-bit 22050 Hz
  src/resources/error.wav    a short dull click, 0.1 s, mono 8-bit 22050 Hz

The output is the same on every run, so the committed files only change when
this script does.

usage: tools/make_sounds.py
"""
import math
import os
import struct

RATE = 22050
HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "resources")

# Partials of a small bell relative to the struck note: (frequency ratio,
# amplitude, decay rate per second). The higher partials die away faster,
# which is what makes it sound soft rather than electronic.
BELL = [
    (1.0, 1.00, 3.2),
    (2.0, 0.28, 5.5),
    (3.0, 0.10, 8.0),
    (4.2, 0.05, 12.0),
]


def envelope(t: float, attack: float, decay: float) -> float:
    """A short raised-cosine attack (no click at the onset), then an
    exponential decay."""
    if t < 0.0:
        return 0.0
    rise = 0.5 - 0.5 * math.cos(math.pi * t / attack) if t < attack else 1.0
    return rise * math.exp(-decay * t)


def bell(t: float, frequency: float) -> float:
    return sum(
        amp * envelope(t, 0.006, decay) * math.sin(2.0 * math.pi * frequency * ratio * t)
        for ratio, amp, decay in BELL
    )


def fade_out(t: float, length: float, fade: float) -> float:
    """Brings the tail to exact silence so the last sample does not click."""
    left = length - t
    return 1.0 if left >= fade else max(0.0, 0.5 - 0.5 * math.cos(math.pi * left / fade))


def kontakt() -> list:
    length = 1.0
    notes = [(0.0, 1318.51, 1.0), (0.22, 1046.50, 0.9)]  # E6, then C6
    samples = []
    for n in range(int(RATE * length)):
        t = n / RATE
        value = sum(gain * bell(t - start, f) for start, f, gain in notes)
        samples.append(value * fade_out(t, length, 0.15))
    peak = max(abs(s) for s in samples)
    scale = 0.6 * 32767 / peak  # well below full scale: a reminder, not an alarm
    return [int(round(s * scale)) for s in samples]


def error_click() -> list:
    length = 0.1
    # A noise burst of a few milliseconds over a low thud, both gone quickly.
    # The noise comes from a fixed linear congruential generator.
    state = 0x1234567
    samples = []
    for n in range(int(RATE * length)):
        t = n / RATE
        state = (1103515245 * state + 12345) & 0x7FFFFFFF
        noise = state / 0x3FFFFFFF - 1.0
        value = 0.55 * noise * envelope(t, 0.0005, 900.0)
        value += 0.45 * math.sin(2.0 * math.pi * 180.0 * t) * envelope(t, 0.001, 60.0)
        samples.append(value * fade_out(t, length, 0.02))
    peak = max(abs(s) for s in samples)
    scale = 0.8 * 127 / peak
    return [128 + int(round(s * scale)) for s in samples]  # 8-bit PCM is unsigned


def write(name: str, width: int, samples: list) -> None:
    if width == 2:
        frames = struct.pack("<%dh" % len(samples), *samples)
    else:
        frames = bytes(samples)
    # Written by hand rather than with the wave module, which leaves out the
    # pad byte RIFF wants after a chunk of odd length.
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * width, width, 8 * width)
    data = frames + (b"\0" if len(frames) % 2 else b"")
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(frames)) + data
    path = os.path.normpath(os.path.join(OUT, name))
    with open(path, "wb") as out:
        out.write(b"RIFF" + struct.pack("<I", len(body)) + body)
    print(path, os.path.getsize(path), "bytes")


def main() -> None:
    write("kontakt.wav", 2, kontakt())
    write("error.wav", 1, error_click())


if __name__ == "__main__":
    main()
