#!/usr/bin/python3
"""A card-number call at 8 kHz: 16 digits in groups of four, a pause, a
3-digit code, keyed as a caller would (tones of 70-140 ms, gaps of
120-300 ms, -6 to -15 dBm0 with the high tone 2 dB up) over a recorded
voice. Writes OUT.raw (16-bit mono), OUT.tones ("start end symbol" in
samples) and OUT.original.raw (the voice with the tones).
Usage: card_call.py SPEECH.raw OUT"""
import sys

import numpy as np

RATE = 8000
KEYS = {'1': (697, 1209), '2': (697, 1336), '3': (697, 1477), '4': (770, 1209),
        '5': (770, 1336), '6': (770, 1477), '7': (852, 1209), '8': (852, 1336),
        '9': (852, 1477), '0': (941, 1336)}


def amplitude(dbm0):
    return 32767 * 10 ** ((dbm0 - 3.14) / 20)


def main():
    speech = np.fromfile(sys.argv[1], dtype='<i2').astype(float)
    out = sys.argv[2]
    random = np.random.default_rng(16)
    digits = '4929 7215 3381 0466'.replace(' ', '|') + '||||' + '725'
    at = int(1.0 * RATE)
    tones = []
    for d in digits:
        if d == '|':
            at += int(random.uniform(0.3, 0.6) * RATE)
            continue
        length = int(random.uniform(0.070, 0.140) * RATE)
        low_dbm0 = random.uniform(-15, -6)
        tones.append((at, at + length, d, low_dbm0))
        at += length + int(random.uniform(0.120, 0.300) * RATE)
    total = at + RATE
    voice = np.resize(speech, total)
    x = voice.copy()
    for start, end, d, low_dbm0 in tones:
        t = np.arange(end - start) / RATE
        low, high = KEYS[d]
        x[start:end] += amplitude(low_dbm0) * np.sin(2 * np.pi * low * t + random.uniform(0, 6.3))
        x[start:end] += amplitude(low_dbm0 + 2) * np.sin(2 * np.pi * high * t +
                                                        random.uniform(0, 6.3))
    np.clip(np.round(x), -32768, 32767).astype('<i2').tofile(out + '.original.raw')
    with open(out + '.tones', 'w') as f:
        for start, end, d, _ in tones:
            f.write(f'{start} {end} {d}\n')


main()
