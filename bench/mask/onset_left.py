#!/usr/bin/python3
"""The power left at each tone's onset: both its frequencies over its
first 10 ms (Hann window), in dB below the original. Prints the median
and the worst (the least below) over the tones.
Usage: onset_left.py ORIGINAL.raw MASKED.raw TONES"""
import sys

import numpy as np

RATE = 8000
KEYS = {'1': (697, 1209), '2': (697, 1336), '3': (697, 1477), '4': (770, 1209),
        '5': (770, 1336), '6': (770, 1477), '7': (852, 1209), '8': (852, 1336),
        '9': (852, 1477), '0': (941, 1336)}


def power(x, hz):
    n = np.arange(len(x))
    w = np.hanning(len(x))
    return abs(np.sum(w * x * np.exp(-2j * np.pi * hz * n / RATE))) ** 2


def main():
    before = np.fromfile(sys.argv[1], dtype='<i2').astype(float)
    after = np.fromfile(sys.argv[2], dtype='<i2').astype(float)
    down = []
    for line in open(sys.argv[3]):
        start, _, d = line.split()
        span = slice(int(start), int(start) + RATE // 100)
        left = sum(power(after[span], hz) for hz in KEYS[d])
        was = sum(power(before[span], hz) for hz in KEYS[d])
        down.append(200.0 if left == 0 else -10 * np.log10(left / was))
    down = np.array(down)
    fmt = lambda v: '∞' if v >= 200 else f'{abs(v) if abs(v) < 0.05 else v:.1f}'
    print(f'{fmt(np.median(down))} {fmt(down.min())}')


main()
