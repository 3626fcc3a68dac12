#!/usr/bin/env python3
"""Records a device's sound from stdin at the pace a real device plays it.

    paced_capture.py FILE BYTES_PER_SECOND

ALSA's null device takes samples several times faster than real time, which
gives a player on a loaded machine more slack than a sound card would. Fed
through a pipe (alsa_paced.conf.in), this reader takes them no faster than
real time instead, and writes them to FILE, or to FILE.0001, FILE.0002...
if that exists, like ALSA's own file plugin.
"""
import fcntl
import os
import sys
import time

F_SETPIPE_SZ = 1031  # Linux


def open_next_free(path):
    for n in range(10000):
        name = path if n == 0 else f"{path}.{n:04d}"
        try:
            return os.open(name, os.O_CREAT | os.O_EXCL | os.O_WRONLY, 0o644)
        except FileExistsError:
            continue
    raise SystemExit(f"no free name for {path}")


def main():
    path, rate = sys.argv[1], int(sys.argv[2])
    try:  # a small pipe: the writer may run only ~20 ms ahead of real time
        fcntl.fcntl(0, F_SETPIPE_SZ, 4096)
    except OSError:
        pass
    out = open_next_free(path)
    start, total = time.monotonic(), 0
    while data := os.read(0, rate // 100):
        os.write(out, data)
        total += len(data)
        ahead = start + total / rate - time.monotonic()
        if ahead > 0:
            time.sleep(ahead)
    os.close(out)


if __name__ == "__main__":
    main()
