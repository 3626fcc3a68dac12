#!/usr/bin/env python3
"""Records a device's sound from stdin at the pace a real device plays it.

    paced_capture.py FILE BYTES_PER_SECOND [PIPE_BYTES]

ALSA's null device takes samples several times faster than real time, which
gives a player on a loaded machine more slack than a sound card would. Fed
through a pipe (alsa_paced.conf.in), this reader takes them no faster than
real time instead, and writes them to FILE, or to FILE.0001, FILE.0002...
if that exists, like ALSA's own file plugin. The pipe holds what the writer
may run ahead: 64 KB (680 ms at 48 kHz) unless PIPE_BYTES is given, which
makes the writer wait as it would on a sound card. Beside it, sink-times-FILE gets
a line "SECONDS BYTES" per read: the monotonic time the read's first byte
sounds, and the bytes before it in FILE.
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
            return name, os.open(name, os.O_CREAT | os.O_EXCL | os.O_WRONLY, 0o644)
        except FileExistsError:
            continue
    raise SystemExit(f"no free name for {path}")


def main():
    path, rate = sys.argv[1], int(sys.argv[2])
    name, out = open_next_free(path)
    folder, base = os.path.split(name)
    times = open(os.path.join(folder, "sink-times-" + base), "w", encoding="ascii")
    start, paced, written = time.monotonic(), 0, 0
    pipe_sized = len(sys.argv) < 4
    while data := os.read(0, rate // 100):
        if not pipe_sized:
            # A pipe cannot shrink below what it holds (the writer starts
            # first), so what came before is taken at once, unpaced.
            try:
                fcntl.fcntl(0, F_SETPIPE_SZ, int(sys.argv[3]))
                pipe_sized = True
                start = time.monotonic()
            except OSError:
                pass
        os.write(out, data)
        times.write(f"{max(time.monotonic(), start + paced / rate):.6f} {written}\n")
        written += len(data)
        if not pipe_sized:
            continue
        paced += len(data)
        ahead = start + paced / rate - time.monotonic()
        if ahead > 0:
            time.sleep(ahead)
    os.close(out)
    times.close()


if __name__ == "__main__":
    main()
