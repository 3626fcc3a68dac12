"""Numpy arrays as the library takes them: one channel's samples in
memory of their own, 16-bit or float."""

from __future__ import annotations

import numpy as np


def working_dtype(samples: np.ndarray) -> np.dtype:
    """int16 stays int16; any float is taken as float32 (-1.0..+1.0 full
    scale), as the library's float calls take it."""
    if samples.dtype == np.int16:
        return np.dtype(np.int16)
    if np.issubdtype(samples.dtype, np.floating):
        return np.dtype(np.float32)
    raise TypeError(f"samples must be int16 or float, not {samples.dtype}")


def channels_of(samples: np.ndarray) -> list[np.ndarray]:
    """The columns of (frames, channels), or the one channel of a 1-D
    array, each contiguous in the working dtype."""
    if samples.ndim not in (1, 2):
        raise ValueError(f"samples must be 1-D or (frames, channels), not {samples.ndim}-D")
    dtype = working_dtype(samples)
    columns = [samples] if samples.ndim == 1 else [samples[:, c] for c in range(samples.shape[1])]
    return [np.ascontiguousarray(column, dtype=dtype) for column in columns]


def address(samples: np.ndarray) -> int:
    return samples.ctypes.data
