"""Reference tube stages: the circuit in tube_stage.c, scaled to model levels.

The C solver is compiled on first use with the system C compiler; numba is
not available and a numpy Newton loop per sample would take hours.
"""
import ctypes
import os
import hashlib
import subprocess
from functools import lru_cache

import numpy as np

from . import config
from .config import VOICINGS

_SRC = config.Path(__file__).with_name("tube_stage.c")


@lru_cache(maxsize=None)
def _lib():
    config.BUILD_DIR.mkdir(parents=True, exist_ok=True)
    so = config.BUILD_DIR / "tube_stage.so"
    if not so.exists() or so.stat().st_mtime < _SRC.stat().st_mtime:
        # Per-process name: parallel workers on a fresh checkout all compile at once, and a shared
        # temporary would let one load a library another is still writing.
        tmp = so.with_name(f"tube_stage.{os.getpid()}.tmp.so")
        subprocess.run(["cc", "-O2", "-shared", "-fPIC", "-o", str(tmp), str(_SRC), "-lm"], check=True)
        tmp.replace(so)
    lib = ctypes.CDLL(str(so))
    dp = ctypes.POINTER(ctypes.c_double)
    lib.render.argtypes = [dp, dp, dp, ctypes.c_long, ctypes.c_double]
    lib.render.restype = ctypes.c_int
    lib.quiescent.argtypes = [dp, dp]
    lib.quiescent.restype = ctypes.c_int
    return lib


def _ptr(a):
    return a.ctypes.data_as(ctypes.POINTER(ctypes.c_double))


def stage_render(stage, vin, fs):
    """Plate output voltage (across the load) for grid drive vin, from rest."""
    vin = np.ascontiguousarray(vin, dtype=np.float64)
    out = np.empty_like(vin)
    p = np.asarray(stage.params(), dtype=np.float64)
    if _lib().render(_ptr(p), _ptr(vin), _ptr(out), vin.size, float(fs)) != 0:
        raise RuntimeError("tube stage solver failed")
    return out


def quiescent(stage):
    p = np.asarray(stage.params(), dtype=np.float64)
    x = np.zeros(3)
    if _lib().quiescent(_ptr(p), _ptr(x)) != 0:
        raise RuntimeError("no operating point")
    return {"vg": x[0], "vk": x[1], "vp": x[2]}


def raw_render(name, x, fs):
    """Unscaled, polarity-corrected output of voicing `name` for network input x."""
    v = VOICINGS[name]
    st = v.stage
    y = -stage_render(st, v.drive_v * np.asarray(x, dtype=np.float64), fs)
    return y


def program(fs=config.FS_TRAIN, seconds=3.0):
    """Music-like calibration program at the model-input level of a -18 dBFS mix."""
    from .data import program_signal
    x = program_signal(fs, seconds)
    return x * (10 ** (config.PROGRAM_RMS_DB / 20) / np.sqrt(np.mean(x ** 2)))


def gain_db(x, y):
    return 20 * np.log10(np.sqrt(np.mean(np.square(y))) / np.sqrt(np.mean(np.square(x))))


@lru_cache(maxsize=None)
def output_scale(name):
    """Factor that puts the stage's program gain on the model's target level.

    Always measured at 96 kHz so the same circuit is used at every rate."""
    x = program(config.FS_TRAIN)
    y = raw_render(name, x, config.FS_TRAIN)
    return 10 ** ((config.TARGET_LEVEL_DB[name] - gain_db(x, y)) / 20)


def render(name, x, fs=config.FS_TRAIN):
    """Reference output (what the network learns) for input x at rate fs.

    x may be 1-D or 2-D (independent segments along axis 0, each from rest)."""
    x = np.asarray(x, dtype=np.float64)
    if x.ndim == 2:
        return np.stack([render(name, row, fs) for row in x])
    return output_scale(name) * raw_render(name, x, fs)


def render_cached(name, x, tag, fs=config.FS_TRAIN):
    """render() with an on-disk cache keyed by the circuit, the voicing and the input."""
    h = hashlib.sha1()
    h.update(_SRC.read_bytes())
    h.update(repr(VOICINGS[name]).encode())
    h.update(repr(config.TARGET_LEVEL_DB[name]).encode())
    h.update(np.ascontiguousarray(x, dtype=np.float64).tobytes())
    h.update(repr(float(fs)).encode())
    path = config.BUILD_DIR / "cache" / f"{name}-{tag}-{h.hexdigest()[:16]}.npy"
    if path.exists():
        return np.load(path)
    y = render(name, x, fs)
    path.parent.mkdir(parents=True, exist_ok=True)
    tmp = path.with_name(f"{path.name}.{os.getpid()}.tmp.npy")
    np.save(tmp, y)
    tmp.replace(path)
    return y
