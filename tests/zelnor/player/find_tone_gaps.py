#!/usr/bin/env python3
"""Checks that every tone in raw 16-bit mono captures lasts the whole interval.

    find_tone_gaps.py INTERVAL_MS FILE...
    find_tone_gaps.py --silences MS,MS,... FILE

The second form checks instead the silences between one capture's tones,
in order (a dial's gaps, and its pauses added to them).

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


def tones(samples):
    """(start, end) of the runs of sound between runs of SPLIT quiet samples."""
    found, start, quiet = [], None, 0
    for i, sample in enumerate(samples):
        if abs(sample) <= QUIET:
            quiet += 1
            if quiet == SPLIT and start is not None:
                found.append((start, i - SPLIT + 1))
                start = None
        else:
            if start is None:
                start = i
            quiet = 0
    if start is not None:
        found.append((start, len(samples)))
    return found


def read_capture(path):
    """The capture's sample rate (from its name) and its samples."""
    rate = int(os.path.basename(path).split("-")[1].split(".")[0])
    samples = array.array("h")
    with open(path, "rb") as f:
        samples.frombytes(f.read())
    return rate, samples


def check_silences(expected_ms, path):
    rate, samples = read_capture(path)
    found = tones(samples)
    silences = [round((b[0] - a[1]) * 1000 / rate) for a, b in zip(found, found[1:])]
    # The ramps' near-silent ends lengthen each silence by a few samples.
    if len(silences) != len(expected_ms) or any(
            abs(s - e) > 1 for s, e in zip(silences, expected_ms)):
        print(f"{path}: silences {silences} ms, not {expected_ms}")
        return 1
    print(f"silences: {silences} ms")
    return 0


def main():
    if sys.argv[1] == "--silences":
        return check_silences([int(ms) for ms in sys.argv[2].split(",")], sys.argv[3])
    interval_ms, files = int(sys.argv[1]), sys.argv[2:]
    bad = 0
    for path in files:
        rate, samples = read_capture(path)
        expected, slack = rate * interval_ms // 1000, rate // 1000
        for n, (start, end) in enumerate(tones(samples)):
            length = end - start
            if abs(length - expected) > slack:
                print(f"{path}: tone {n} lasts {length} samples, not {expected}")
                bad += 1
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
