"""Measurements shared by the report, the tests and the level calibration."""
import numpy as np
from scipy import signal

from . import config

CHAR_AMPS = (0.05, 0.2, 0.8, 3.0)


def sine(amp, fs, seconds=0.5, freq=1000.0):
    t = np.arange(int(round(seconds * fs))) / fs
    return amp * np.sin(2 * np.pi * freq * t)


def harmonics(y, fs, freq=1000.0, n_harm=10, settle_s=0.4):
    """Amplitudes of harmonics 1..n_harm from the settled end of a tone response."""
    n = int(round(0.1 * fs))            # 100 periods of 1 kHz
    seg = y[int(round(settle_s * fs)) - 0:][:n]
    seg = seg - seg.mean()
    w = np.hanning(seg.size)
    spec = np.abs(np.fft.rfft(seg * w))
    f = np.fft.rfftfreq(seg.size, 1 / fs)
    out = []
    for k in range(1, n_harm + 1):
        i = int(np.argmin(np.abs(f - k * freq)))
        out.append(np.sqrt(np.sum(spec[max(i - 2, 0):i + 3] ** 2)))
    return np.asarray(out)


def thd_h2h3(y, fs):
    h = harmonics(y, fs)
    thd = np.sqrt(np.sum(h[1:] ** 2)) / h[0]
    return thd, h[1] / max(h[2], 1e-30)


def character(fn, fs=config.FS_TRAIN):
    """{amp: (THD, H2/H3)} of a system fn(x, fs) -> y for a 1 kHz sine."""
    res = {}
    for a in CHAR_AMPS:
        x = sine(a, fs)
        res[a] = thd_h2h3(fn(x, fs), fs)
    return res


def highpass10(x, fs):
    sos = signal.butter(2, 10.0, btype="highpass", fs=fs, output="sos")
    return signal.sosfilt(sos, x, axis=-1)


def pre_emph(x, a=0.85):
    x = np.asarray(x)
    return np.concatenate([x[..., :1], x[..., 1:] - a * x[..., :-1]], axis=-1)


def esr(y, y_hat):
    return float(np.sum((y - y_hat) ** 2) / max(np.sum(y ** 2), 1e-30))


def stress_inputs(fs, seed=5):
    """Loud inputs up to amplitude 10, each followed by 0.3 s of silence."""
    rng = np.random.default_rng(seed)
    n_on, n_off = int(0.25 * fs), int(0.3 * fs)
    t = np.arange(n_on) / fs
    env = np.minimum(1, t / 0.002)
    sigs = {
        "sine 1k @10": 10 * np.sin(2 * np.pi * 1000 * t),
        "sine 50 @10": 10 * np.sin(2 * np.pi * 50 * t),
        "sine 5k @4": 4 * np.sin(2 * np.pi * 5000 * t),
        "noise @10": np.clip(3.3 * rng.standard_normal(n_on), -10, 10),
        "step +10": 10 * env,
        "step -10": -10 * env,
    }
    return {k: np.concatenate([v, np.zeros(n_off)]) for k, v in sigs.items()}, n_on


def stress(fn, fs):
    """Worst |y| / max(4, |x|) and worst |y| from 100 ms after the input stops."""
    sigs, n_on = stress_inputs(fs)
    x = np.stack(list(sigs.values()))
    y = np.asarray(fn(x, fs))          # all at once: fn takes [signals, samples]
    return {"finite": bool(np.all(np.isfinite(y))),
            "bound_ratio": float(np.max(np.abs(y) / np.maximum(4.0, np.abs(x)))),
            "tail": float(np.max(np.abs(y[:, n_on + int(0.1 * fs):])))}
