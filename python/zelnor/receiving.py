"""Keypad digits heard in samples or in a WAV file."""

from __future__ import annotations

import ctypes
import os
import weakref
from typing import Any, NamedTuple, Union

import numpy as np

from . import _arrays
from ._library import (
    DEFAULT_RECEIVER_LEVEL_DB10,
    DIGIT_FUNCTION,
    REPORT_ENDS,
    ReceiverOptions,
    check,
    lib,
    new_wave_info,
)


class Digit(NamedTuple):
    """One digit heard: its symbol, its first and one-past-last sample
    (counted per channel from the first fed) and its channel, from 0."""

    symbol: str
    start: int
    end: int
    channel: int


class _Listener:
    """The library's digit callback, collecting into a list."""

    def __init__(self) -> None:
        self.heard: list[Digit] = []
        self.function = DIGIT_FUNCTION(self._digit)

    def _digit(self, _context: Any, digit: Any) -> None:
        d = digit.contents
        self.heard.append(
            Digit(d.symbol.decode("ascii"), d.start_sample, d.end_sample, d.channel)
        )

    def options(self, rate: int) -> ReceiverOptions:
        options = ReceiverOptions()
        options.cbSize = ctypes.sizeof(ReceiverOptions)
        options.sample_rate = rate
        options.minimum_level_db10 = DEFAULT_RECEIVER_LEVEL_DB10
        options.reports = REPORT_ENDS
        options.digit = self.function
        return options

    def take(self) -> list[Digit]:
        heard, self.heard = self.heard, []
        return heard


class Receiver:
    """A receiver of one channel at `rate` Hz (8000..48000), fed chunks of
    any size: the chunking never changes a digit or its samples.

    >>> receiver = Receiver(8000)
    >>> digits = receiver.feed(chunk) + receiver.flush()
    """

    def __init__(self, rate: int) -> None:
        self._listener = _Listener()
        self._options = self._listener.options(rate)
        handle = ctypes.c_void_p()
        check(lib.CreateDTMFReceiver(ctypes.byref(self._options), ctypes.byref(handle)), "Receiver")
        self._handle = handle
        weakref.finalize(self, lib.DestroyDTMFReceiver, handle)

    def feed(self, chunk: np.ndarray) -> list[Digit]:
        """Hears the next samples of the channel (1-D, int16 or float
        -1.0..+1.0); returns the digits that ended in them."""
        samples = np.asarray(chunk)
        if samples.ndim != 1:
            raise ValueError("a Receiver hears one channel: feed it 1-D chunks")
        (channel,) = _arrays.channels_of(samples)
        feed = lib.FeedDTMFReceiver if channel.dtype == np.int16 else lib.FeedDTMFReceiverFloat
        check(feed(self._handle, _arrays.address(channel), channel.size), "feed")
        return self._listener.take()

    def flush(self) -> list[Digit]:
        """Ends the input: returns a digit still sounding, as silence would."""
        check(lib.FlushDTMFReceiver(self._handle), "flush")
        return self._listener.take()


def decode(samples: np.ndarray, rate: int) -> list[Digit]:
    """The digits in `samples` at `rate` Hz: 1-D for one channel or
    (frames, channels), each channel heard on its own; int16 or float
    (-1.0..+1.0). Ordered by start, then channel."""
    heard: list[Digit] = []
    for index, channel in enumerate(_arrays.channels_of(np.asarray(samples))):
        receiver = Receiver(rate)
        digits = receiver.feed(channel) + receiver.flush()
        heard += [digit._replace(channel=index) for digit in digits]
    return sorted(heard, key=lambda digit: (digit.start, digit.channel))


def decode_file(path: Union[str, os.PathLike]) -> list[Digit]:
    """The digits in a WAV recording (PCM 8-32 bit, float, A-law, mu-law;
    any rate from 8000 to 48000 Hz; every channel on its own), in the
    order they end. Raises Error with the reason for a recording the
    library refuses or a file it cannot read."""
    listener = _Listener()
    options = listener.options(8000)  # the recording's own rate is used
    info = new_wave_info()
    name = os.fspath(path)
    result = lib.DecodeDTMFWaveA(os.fsencode(name), ctypes.byref(options), ctypes.byref(info))
    check(result, str(name), info)
    return listener.take()
