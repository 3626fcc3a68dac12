"""Keypad tones taken out of audio: samples in memory or a WAV file."""

from __future__ import annotations

import ctypes
import os
import weakref
from typing import Any, NamedTuple, Optional, Union

import numpy as np

from . import _arrays
from ._library import SPAN_FUNCTION, MaskerOptions, check, lib, new_wave_info

REPLACEMENTS = {"silence": 0, "noise": 1, "beep": 2}


class Span(NamedTuple):
    """Samples of one channel that were replaced: first, one past the last,
    and the channel, from 0."""

    start: int
    end: int
    channel: int


def _options(rate: int, replacement: str, span: Optional[SPAN_FUNCTION] = None) -> MaskerOptions:
    if replacement not in REPLACEMENTS:
        raise ValueError(f"replacement must be one of {', '.join(REPLACEMENTS)}")
    options = MaskerOptions()
    options.cbSize = ctypes.sizeof(MaskerOptions)
    options.sample_rate = rate
    options.replacement = REPLACEMENTS[replacement]
    if span is not None:
        options.span = span
    return options


class Masker:
    """A masker of one channel at `rate` Hz (8000..48000): samples come out
    `delay` samples late, every tone replaced by `replacement` ("silence",
    "noise" or "beep") and every other sample as it went in. Chunks of any
    size give the same output.

    >>> masker = Masker(8000)
    >>> out = np.concatenate([masker.process(chunk), masker.flush()])[masker.delay:]
    """

    def __init__(self, rate: int, replacement: str = "silence") -> None:
        self._options = _options(rate, replacement)
        handle = ctypes.c_void_p()
        check(lib.CreateDTMFMasker(ctypes.byref(self._options), ctypes.byref(handle)), "Masker")
        self._handle = handle
        weakref.finalize(self, lib.DestroyDTMFMasker, handle)
        delay = ctypes.c_uint32()
        check(lib.GetDTMFMaskerDelay(handle, ctypes.byref(delay)), "Masker")
        self._delay = delay.value
        self._dtype: np.dtype = np.dtype(np.int16)

    @property
    def delay(self) -> int:
        """How many samples late the masked ones come out (40 ms)."""
        return self._delay

    def process(self, chunk: np.ndarray) -> np.ndarray:
        """Takes the next samples (1-D, int16 or float) and returns as many
        masked ones, `delay` samples behind, in the chunk's dtype."""
        samples = np.asarray(chunk)
        if samples.ndim != 1:
            raise ValueError("a Masker takes one channel: give it 1-D chunks")
        (channel,) = _arrays.channels_of(samples)
        self._dtype = samples.dtype
        masked = np.empty_like(channel)
        feed = lib.FeedDTMFMasker if channel.dtype == np.int16 else lib.FeedDTMFMaskerFloat
        check(feed(self._handle, channel.ctypes.data, channel.size, masked.ctypes.data), "process")
        return masked.astype(self._dtype, copy=False)

    def flush(self) -> np.ndarray:
        """The last `delay` masked samples, in the dtype last processed; the
        masker then starts anew."""
        working = _arrays.working_dtype(np.empty(0, self._dtype))
        masked = np.empty(self._delay, dtype=working)
        flush = lib.FlushDTMFMasker if working == np.int16 else lib.FlushDTMFMaskerFloat
        check(flush(self._handle, masked.ctypes.data), "flush")
        return masked.astype(self._dtype, copy=False)


def _mask_channel(channel: np.ndarray, rate: int, replacement: str) -> np.ndarray:
    masker = Masker(rate, replacement)
    delay, count = masker.delay, channel.size
    out = np.empty(count + delay, dtype=channel.dtype)
    feed = lib.FeedDTMFMasker if channel.dtype == np.int16 else lib.FeedDTMFMaskerFloat
    flush = lib.FlushDTMFMasker if channel.dtype == np.int16 else lib.FlushDTMFMaskerFloat
    check(feed(masker._handle, channel.ctypes.data, count, out.ctypes.data), "mask")
    check(flush(masker._handle, out[count:].ctypes.data), "mask")
    return out[delay:]


def mask(samples: np.ndarray, rate: int, replacement: str = "silence") -> np.ndarray:
    """`samples` with every tone replaced, lined up with the input: the
    same dtype (int16 or float) and shape (1-D or (frames, channels), each
    channel masked on its own); every other sample as it was."""
    array = np.asarray(samples)
    masked = np.empty_like(array)
    for index, channel in enumerate(_arrays.channels_of(array)):
        out = _mask_channel(channel, rate, replacement)
        if array.ndim == 1:
            masked[:] = out
        else:
            masked[:, index] = out
    return masked


def mask_file(
    source: Union[str, os.PathLike],
    target: Union[str, os.PathLike],
    replacement: str = "silence",
) -> list[Span]:
    """Writes `target` as the WAV recording `source` with its tones masked,
    the same in every other way, and returns the spans replaced. `target`
    may be `source`: it is replaced only once the masked copy is whole, and
    on failure any file at `target` is left as it was. Raises Error with
    the reason."""
    spans: list[Span] = []

    def keep(_context: Any, span: Any) -> None:
        s = span.contents
        spans.append(Span(s.start_sample, s.end_sample, s.channel))

    function = SPAN_FUNCTION(keep)
    options = _options(8000, replacement, function)  # the recording's own rate is used
    info = new_wave_info()
    source_name, target_name = os.fspath(source), os.fspath(target)
    result = lib.MaskDTMFWaveA(
        os.fsencode(source_name), os.fsencode(target_name), ctypes.byref(options), ctypes.byref(info)
    )
    check(result, str(source_name if info.problem else target_name), info)
    return spans
