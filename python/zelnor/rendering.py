"""Keypad tones rendered into memory."""

from __future__ import annotations

import ctypes

import numpy as np

from ._library import E_BUFFER_TOO_SMALL, Options, check, lib


def _options(rate: int, tone_ms: int, gap_ms: int, level_dbfs: float, twist_db: float) -> Options:
    options = Options()
    options.cbSize = ctypes.sizeof(Options)
    options.tone_ms = tone_ms
    options.gap_ms = gap_ms
    options.sample_rate = rate
    options.level_db10 = round(level_dbfs * 10)
    options.device = 0xFFFFFFFF
    options.pause_ms = 2000
    options.twist_db10 = round(twist_db * 10)
    return options


def render(
    dial: str,
    rate: int = 8000,
    tone_ms: int = 150,
    gap_ms: int = 150,
    level_dbfs: float = -1.5,
    twist_db: float = 2.0,
) -> np.ndarray:
    """The tones of `dial` as 16-bit mono samples at `rate` Hz.

    0-9, A-D, * and # dial (lower case and full-width forms too), ',' is a
    pause of 2 s, anything else is skipped. Each symbol sounds `tone_ms`
    then `gap_ms` of silence (40..10000 each); `level_dbfs` is the pair's
    peak (-60..0), `twist_db` the high tone over the low one (-8..+4).
    rate: 8000, 16000, 44100 or 48000. Raises Error for a value out of range.
    """
    options = _options(rate, tone_ms, gap_ms, level_dbfs, twist_db)
    text = dial.encode("utf-8")
    count = ctypes.c_uint64(0)
    check(lib.RenderDTMF(text, ctypes.byref(options), None, ctypes.byref(count)), "render")
    samples = np.empty(count.value, dtype=np.int16)
    result = lib.RenderDTMF(text, ctypes.byref(options), samples.ctypes.data, ctypes.byref(count))
    if result == E_BUFFER_TOO_SMALL:  # cannot happen: the same dial, the same count
        raise AssertionError("the rendered length changed")
    check(result, "render")
    return samples
