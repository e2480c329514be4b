#!/usr/bin/python3
"""Writes the program's own alarm beeps: resources/highalarm.wav (two rising
high tones) and resources/lowalarm.wav (two falling low tones), each 0.6 s of
16-bit PCM mono at 22050 Hz. Run once; the files are kept in the repository."""
import math
import struct
import wave
from pathlib import Path

RATE = 22050
TONE = 5954   # frames per tone (0.27 s)
GAP = 1322    # frames of silence between the tones (0.06 s); 0.6 s in all
FADE = 176    # 8 ms fade in and out, so that the tones start and end without a click
LEVEL = 0.5 * 32767


def tone(freq):
    frames = []
    for i in range(TONE):
        envelope = min(1.0, i / FADE, (TONE - 1 - i) / FADE)
        frames.append(round(LEVEL * envelope * math.sin(2 * math.pi * freq * i / RATE)))
    return frames


def write(path, first, second):
    samples = tone(first) + [0] * GAP + tone(second)
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(samples), *samples))


resources = Path(__file__).resolve().parent.parent / "resources"
write(resources / "highalarm.wav", 1320, 1760)
write(resources / "lowalarm.wav", 660, 440)
