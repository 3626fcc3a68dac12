#!/usr/bin/env python3
"""zelnor.decode over a 4-hour 8 kHz recording against the library's own
receiver called directly (one FeedDTMFReceiver over the same memory, what
the command-line decoder does once the file is read) and against
`dtmf --decode` of the same audio as a WAV file (the whole process, the
dtmf built beside the library): the best of three runs' seconds each and
the module's speed as a share of each.

usage: PYTHONPATH=python ZELNOR_LIBRARY=build/linux/lib/libzelnor.so \
       python3 bench/python_decode.py [hours]
"""

import ctypes
import os
import subprocess
import sys
import tempfile
import time
import wave

import numpy as np

import zelnor
from zelnor import _library

RATE = 8000


def recording(hours: float) -> np.ndarray:
    """A minute of keys in noise, repeated for `hours`."""
    tones = zelnor.render("0312345678#,*9,A", rate=RATE, tone_ms=80, gap_ms=80, level_dbfs=-12)
    minute = np.random.default_rng(3).normal(0, 1000, RATE * 60)  # -30 dBFS: every block weighed
    minute[RATE : RATE + tones.size] += tones
    return np.tile(minute.astype(np.int16), round(hours * 60))


def native(samples: np.ndarray) -> int:
    """Digits heard by the library fed the whole array in one call."""
    count = 0

    def digit(_context, _digit):
        nonlocal count
        count += 1

    function = _library.DIGIT_FUNCTION(digit)
    options = _library.ReceiverOptions(
        ctypes.sizeof(_library.ReceiverOptions), RATE, -430, _library.REPORT_ENDS, function, None
    )
    receiver = ctypes.c_void_p()
    lib = _library.lib
    _library.check(lib.CreateDTMFReceiver(ctypes.byref(options), ctypes.byref(receiver)))
    _library.check(lib.FeedDTMFReceiver(receiver, samples.ctypes.data, samples.size))
    _library.check(lib.FlushDTMFReceiver(receiver))
    lib.DestroyDTMFReceiver(receiver)
    return count


def command_line(path: str) -> int:
    """Digits `dtmf --decode` prints for the WAV file at `path`."""
    dtmf = os.path.join(os.path.dirname(_library.lib._name), os.pardir, "bin", "dtmf")
    run = subprocess.run([dtmf, "--decode", path], capture_output=True, check=True)
    return len(run.stdout.strip())


def timed(call, samples, runs=3):
    """The best of `runs` wall times, and the call's result."""
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        result = call(samples)
        best = min(best, time.perf_counter() - start)
    return best, result


def main() -> None:
    hours = float(sys.argv[1]) if len(sys.argv) > 1 else 4.0
    samples = recording(hours)
    library_seconds, library_digits = timed(native, samples)
    module_seconds, module_digits = timed(lambda s: zelnor.decode(s, RATE), samples)
    assert len(module_digits) == library_digits, (len(module_digits), library_digits)
    with tempfile.NamedTemporaryFile(suffix=".wav") as file:
        with wave.open(file.name, "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(samples.tobytes())
        tool_seconds, tool_digits = timed(command_line, file.name)
    assert tool_digits == library_digits, (tool_digits, library_digits)
    print(f"{hours:g} h at {RATE} Hz ({samples.size:,} samples), {library_digits:,} digits")
    print(f"library call    {library_seconds:7.2f} s  ({hours * 3600 / library_seconds:,.0f}x real time)")
    print(f"zelnor.decode   {module_seconds:7.2f} s  ({hours * 3600 / module_seconds:,.0f}x real time)")
    print(f"dtmf --decode   {tool_seconds:7.2f} s  ({hours * 3600 / tool_seconds:,.0f}x real time)")
    print(f"zelnor.decode against the library call {library_seconds / module_seconds:.2f}, "
          f"against dtmf --decode {tool_seconds / module_seconds:.2f} (goal: at least 0.80)")


if __name__ == "__main__":
    main()
