"""DTMF keypad tones with libzelnor: render them, hear them, mask them.

Samples are numpy arrays: int16, or float with -1.0..+1.0 full scale; a
2-D array is (frames, channels), each channel heard or masked on its own.
The library is the one ZELNOR_LIBRARY names, else the build tree's
(build/linux/lib/libzelnor.so), else the system's.

>>> import zelnor
>>> tones = zelnor.render("0312345678#", rate=8000)
>>> [digit.symbol for digit in zelnor.decode(tones, 8000)]
['0', '3', '1', '2', '3', '4', '5', '6', '7', '8', '#']
"""

from ._library import Error
from .masking import Masker, Span, mask, mask_file
from .receiving import Digit, Receiver, decode, decode_file
from .rendering import render

__all__ = [
    "Digit",
    "Error",
    "Masker",
    "Receiver",
    "Span",
    "decode",
    "decode_file",
    "mask",
    "mask_file",
    "render",
]
