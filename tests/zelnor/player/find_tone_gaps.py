#!/usr/bin/env python3
"""Checks that every tone in raw 16-bit mono captures lasts the whole interval.

    find_tone_gaps.py INTERVAL_MS FILE...

A dropout (the device running dry) shows as zeros inside a tone: the tone is
then cut in two or cut short. Silences may be longer than the interval (the
device idling between dials) but tones may not differ from it by more than
the near-silent first and last samples of their ramps. The sample rate is
read from the capture's name (capture-RATE-CHANNELS-BITS.raw).
"""
import array
import os
import sys

QUIET = 2  # |sample| at or below this counts as silence
SPLIT = 24  # this many quiet samples in a row end a tone (0.5 ms at 48 kHz)


def tone_lengths(samples):
    """Lengths of the runs of sound between runs of SPLIT quiet samples."""
    lengths, start, quiet = [], None, 0
    for i, sample in enumerate(samples):
        if abs(sample) <= QUIET:
            quiet += 1
            if quiet == SPLIT and start is not None:
                lengths.append(i - SPLIT + 1 - start)
                start = None
        else:
            if start is None:
                start = i
            quiet = 0
    if start is not None:
        lengths.append(len(samples) - start)
    return lengths


def main():
    interval_ms, files = int(sys.argv[1]), sys.argv[2:]
    bad = 0
    for path in files:
        rate = int(os.path.basename(path).split("-")[1].split(".")[0])
        expected, slack = rate * interval_ms // 1000, rate // 1000
        samples = array.array("h")
        with open(path, "rb") as f:
            samples.frombytes(f.read())
        for n, length in enumerate(tone_lengths(samples)):
            if abs(length - expected) > slack:
                print(f"{path}: tone {n} lasts {length} samples, not {expected}")
                bad += 1
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
