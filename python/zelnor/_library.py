"""libzelnor.so loaded through ctypes: its structures, its calls' types,
and its results turned into exceptions."""

from __future__ import annotations

import ctypes
import os
from pathlib import Path
from typing import Optional

OK = 0
E_INVALID_ARGUMENT = 1
E_OUT_OF_MEMORY = 4
E_BUFFER_TOO_SMALL = 6
E_FILE = 7
E_BAD_WAVE = 9
WAVE_TRUNCATED = 1
WAVE_UNREADABLE = 10
REPORT_ENDS = 2
DEFAULT_RECEIVER_LEVEL_DB10 = -430

_REASONS = {
    E_INVALID_ARGUMENT: "invalid argument (a value out of range)",
    2: "no audio device",
    3: "the audio device failed",
    E_OUT_OF_MEMORY: "out of memory",
    5: "the system could not start a thread or an event",
    E_BUFFER_TOO_SMALL: "buffer too small",
    E_FILE: "the file could not be written",
    8: "stopped by a later call",
    E_BAD_WAVE: "the recording cannot be read",
}


class Error(Exception):
    """A call of the library failed.

    ``code`` is the library's result (ZELNOR_E_* in zelnor.h) and
    ``errno`` the system's reason for a file that failed (else 0); the
    message is the library's own reason.
    """

    def __init__(self, code: int, message: str, errno: int = 0) -> None:
        super().__init__(message)
        self.code = code
        self.errno = errno


class Options(ctypes.Structure):
    _fields_ = [
        ("cbSize", ctypes.c_uint32),
        ("tone_ms", ctypes.c_int32),
        ("gap_ms", ctypes.c_int32),
        ("sample_rate", ctypes.c_uint32),
        ("level_db10", ctypes.c_int32),
        ("device", ctypes.c_uint32),
        ("pause_ms", ctypes.c_int32),
        ("twist_db10", ctypes.c_int32),
        ("lead_in_ms", ctypes.c_int32),
        ("tail_ms", ctypes.c_int32),
        ("progress", ctypes.c_void_p),
        ("progress_context", ctypes.c_void_p),
    ]


class DigitRecord(ctypes.Structure):
    _fields_ = [
        ("symbol", ctypes.c_char),
        ("channel", ctypes.c_uint32),
        ("start_sample", ctypes.c_uint64),
        ("end_sample", ctypes.c_uint64),
    ]


DIGIT_FUNCTION = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(DigitRecord))


class ReceiverOptions(ctypes.Structure):
    _fields_ = [
        ("cbSize", ctypes.c_uint32),
        ("sample_rate", ctypes.c_uint32),
        ("minimum_level_db10", ctypes.c_int32),
        ("reports", ctypes.c_uint32),
        ("digit", DIGIT_FUNCTION),
        ("digit_context", ctypes.c_void_p),
    ]


class WaveInfo(ctypes.Structure):
    _fields_ = [
        ("cbSize", ctypes.c_uint32),
        ("problem", ctypes.c_uint32),
        ("value", ctypes.c_uint32),
        ("format_tag", ctypes.c_uint32),
        ("channels", ctypes.c_uint32),
        ("sample_rate", ctypes.c_uint32),
        ("bits_per_sample", ctypes.c_uint32),
        ("frames", ctypes.c_uint64),
        ("message", ctypes.c_char * 128),
    ]


class SpanRecord(ctypes.Structure):
    _fields_ = [
        ("channel", ctypes.c_uint32),
        ("start_sample", ctypes.c_uint64),
        ("end_sample", ctypes.c_uint64),
    ]


SPAN_FUNCTION = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(SpanRecord))


class MaskerOptions(ctypes.Structure):
    _fields_ = [
        ("cbSize", ctypes.c_uint32),
        ("sample_rate", ctypes.c_uint32),
        ("replacement", ctypes.c_uint32),
        ("span", SPAN_FUNCTION),
        ("span_context", ctypes.c_void_p),
    ]


def _library_path() -> str:
    """ZELNOR_LIBRARY, else the build tree's, else the system's search."""
    named = os.environ.get("ZELNOR_LIBRARY")
    if named:
        return named
    built = Path(__file__).resolve().parents[2] / "build" / "linux" / "lib" / "libzelnor.so"
    return str(built) if built.exists() else "libzelnor.so"


_p = ctypes.c_void_p
_u32 = ctypes.c_uint32
_u64 = ctypes.c_uint64
_SIGNATURES = {
    "RenderDTMF": [ctypes.c_char_p, ctypes.POINTER(Options), _p, ctypes.POINTER(_u64)],
    "WriteDTMFWaveA": [ctypes.c_char_p, ctypes.c_char_p, ctypes.POINTER(Options)],
    "CreateDTMFReceiver": [ctypes.POINTER(ReceiverOptions), ctypes.POINTER(_p)],
    "FeedDTMFReceiver": [_p, _p, _u64],
    "FeedDTMFReceiverFloat": [_p, _p, _u64],
    "FlushDTMFReceiver": [_p],
    "DestroyDTMFReceiver": [_p],
    "DecodeDTMFWaveA": [ctypes.c_char_p, ctypes.POINTER(ReceiverOptions), ctypes.POINTER(WaveInfo)],
    "CreateDTMFMasker": [ctypes.POINTER(MaskerOptions), ctypes.POINTER(_p)],
    "GetDTMFMaskerDelay": [_p, ctypes.POINTER(_u32)],
    "FeedDTMFMasker": [_p, _p, _u64, _p],
    "FeedDTMFMaskerFloat": [_p, _p, _u64, _p],
    "FlushDTMFMasker": [_p, _p],
    "FlushDTMFMaskerFloat": [_p, _p],
    "DestroyDTMFMasker": [_p],
    "MaskDTMFWaveA": [
        ctypes.c_char_p,
        ctypes.c_char_p,
        ctypes.POINTER(MaskerOptions),
        ctypes.POINTER(WaveInfo),
    ],
}


def _load() -> ctypes.CDLL:
    library = ctypes.CDLL(_library_path(), use_errno=True)
    for name, arguments in _SIGNATURES.items():
        call = getattr(library, name)
        call.argtypes = arguments
        call.restype = ctypes.c_int
    return library


lib = _load()


def new_wave_info() -> WaveInfo:
    info = WaveInfo()
    info.cbSize = ctypes.sizeof(WaveInfo)
    return info


def check(result: int, what: str = "", info: Optional[WaveInfo] = None) -> None:
    """Raises Error for a result other than OK, with the library's reason:
    the recording's problem, or errno's text for a file."""
    if result == OK:
        return
    errno = ctypes.get_errno() if result == E_FILE else 0
    if result == E_BAD_WAVE and info is not None:
        reason = info.message.decode("utf-8", "replace")
    elif errno:
        reason = os.strerror(errno)
    else:
        reason = _REASONS.get(result, f"error {result}")
    raise Error(result, f"{what}: {reason}" if what else reason, errno)
