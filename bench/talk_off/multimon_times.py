#!/usr/bin/env python3
"""Prints when multimon-ng reports each DTMF digit in raw 16-bit mono
22050 Hz samples: one line each, seconds and symbol.
Usage: multimon_times.py SAMPLES

multimon-ng prints no time, so each digit is found by bisection on how many
digits it reports in the first n samples, to 10 ms. It runs some fifteen
times for each digit, but runs faster than 1000 times real time and is only
asked about files in which it heard something."""

import subprocess
import sys

RATE = 22050
RESOLUTION = RATE // 100


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    n = len(data) // 2

    def heard(samples):
        out = subprocess.run(["multimon-ng", "-q", "-c", "-a", "DTMF", "-t", "raw", "-"],
                             input=data[:2 * samples], capture_output=True, check=True).stdout
        return [line.split()[1] for line in out.decode().splitlines() if line.startswith("DTMF: ")]

    digits = heard(n)
    at = [n] * len(digits)

    # a digits are reported within the first lo samples, b within hi.
    def locate(lo, hi, a, b):
        if a == b:
            return
        if hi - lo <= RESOLUTION:
            for i in range(a, b):
                at[i] = hi
            return
        mid = (lo + hi) // 2
        c = min(max(len(heard(mid)), a), b)
        locate(lo, mid, a, c)
        locate(mid, hi, c, b)

    locate(0, n, 0, len(digits))
    for symbol, sample in zip(digits, at):
        print(f"{sample / RATE:.3f} {symbol}")


if __name__ == "__main__":
    main()
