"""Deterministic training material.

Every piece is defined in continuous time from its own seeded parameters, so
the same piece can be rendered at 96, 88.2 or 44.1 kHz for the report.
"""
import os
from pathlib import Path

import numpy as np
from scipy import signal

from . import config

KINDS = ("sine", "sweep", "noise", "pluck", "chord")


def _env_adsr(t, dur, a, d, s, r):
    e = np.interp(t, [0, a, a + d, max(a + d, dur - r), dur], [0, 1, s, s, 0], left=0, right=0)
    return e


def _tone(t, f0, n_harm, tilt, rng):
    y = np.zeros_like(t)
    for k in range(1, n_harm + 1):
        if f0 * k > 16000:
            break
        y += (k ** -tilt) * np.sin(2 * np.pi * f0 * k * t + rng.uniform(0, 2 * np.pi))
    return y


def _piece(kind, rng, fs, n):
    t = np.arange(n) / fs
    dur = n / fs
    if kind == "sine":
        f = np.exp(rng.uniform(np.log(30), np.log(6000)))
        y = np.sin(2 * np.pi * f * t + rng.uniform(0, 2 * np.pi))
        a = rng.uniform(0.002, 0.3)
        y *= _env_adsr(t, dur, a, 0.05, rng.uniform(0.3, 1), rng.uniform(0.01, 0.4))
    elif kind == "sweep":
        f0 = np.exp(rng.uniform(np.log(20), np.log(200)))
        f1 = np.exp(rng.uniform(np.log(2000), np.log(18000)))
        k = np.log(f1 / f0) / dur
        ph = 2 * np.pi * f0 * (np.exp(k * t) - 1) / k
        if rng.uniform() < 0.5:
            ph = -ph[::-1]  # downward sweep
        y = np.sin(ph) * _env_adsr(t, dur, 0.01, 0.01, 1, 0.01)
    elif kind == "noise":
        w = rng.standard_normal(n)
        lo = np.exp(rng.uniform(np.log(20), np.log(800)))
        hi = min(np.exp(rng.uniform(np.log(1500), np.log(18000))), 0.45 * fs)
        sos = signal.butter(2, [lo, hi], btype="bandpass", fs=fs, output="sos")
        y = signal.sosfilt(sos, w)
        gate = np.zeros(n)
        pos = 0.0
        while pos < dur:
            ln = rng.uniform(0.02, 0.4)
            gate += _env_adsr(t - pos, ln, rng.uniform(0.001, 0.05), 0.01, rng.uniform(0.3, 1), ln * 0.3) \
                * rng.uniform(0.2, 1)
            pos += ln + rng.uniform(0.0, 0.2)
        y *= gate
    elif kind == "pluck":
        y = np.zeros(n)
        pos = rng.uniform(0, 0.1)
        while pos < dur:
            f0 = np.exp(rng.uniform(np.log(60), np.log(1200)))
            tt = t - pos
            on = tt >= 0
            tone = _tone(np.where(on, tt, 0), f0, 12, rng.uniform(0.7, 2.0), rng)
            decay = np.exp(-np.where(on, tt, 0) / rng.uniform(0.05, 0.6))
            y += on * tone * decay * np.minimum(1, np.where(on, tt, 0) / 0.001) * rng.uniform(0.3, 1)
            pos += rng.uniform(0.1, 0.7)
    else:  # chord
        y = np.zeros(n)
        pos = 0.0
        while pos < dur:
            root = np.exp(rng.uniform(np.log(70), np.log(400)))
            ln = rng.uniform(0.2, 0.8)
            env = _env_adsr(t - pos, ln, rng.uniform(0.002, 0.1), 0.1, rng.uniform(0.4, 0.9), rng.uniform(0.05, 0.3))
            for ratio in rng.choice([1, 1.26, 1.5, 1.78, 2, 2.52, 3], size=rng.integers(2, 5), replace=False):
                y += env * _tone(t, root * ratio, 8, rng.uniform(0.8, 2.0), rng)
            pos += ln * rng.uniform(0.6, 1.1)
    return y


def make_piece(kind, seed, level, fs, seconds, lead_in_s):
    """One piece: silence lead-in, then `kind` material peaking at `level`."""
    rng = np.random.default_rng(seed)
    n_lead = int(round(lead_in_s * fs))
    n = int(round(seconds * fs)) - n_lead
    y = _piece(kind, rng, fs, n)
    y *= level / max(np.max(np.abs(y)), 1e-12)
    return np.concatenate([np.zeros(n_lead), y])


def train_level(rng):
    """Peak level: mostly the useful 0.02..1 range, some quiet and very hot."""
    u = rng.uniform()
    lo, hi = (0.02, 1.0) if u < 0.7 else (0.001, 0.02) if u < 0.85 else (1.0, 3.5)
    return float(np.exp(rng.uniform(np.log(lo), np.log(hi))))


def banded_levels(n_per_band, rng):
    levels = []
    for lo, hi in config.LEVEL_BANDS:
        lo, hi = max(lo, 0.001), min(hi, 3.5)
        levels += [float(np.exp(rng.uniform(np.log(lo), np.log(hi)))) for _ in range(n_per_band)]
    return levels


def dataset(split, fs=config.FS_TRAIN, cfg=config.DATA):
    """(x [pieces, samples], peak levels) for 'train', 'val' or 'test'."""
    if split == "train":
        rng = np.random.default_rng(cfg.seed_train)
        levels = [train_level(rng) for _ in range(cfg.n_train)]
        base = cfg.seed_train
    else:
        base = cfg.seed_val if split == "val" else cfg.seed_test
        n_per = 3 if split == "val" and cfg is config.DATA else cfg.n_test_per_band
        if split == "val" and cfg is not config.DATA:
            n_per = 1
        levels = banded_levels(n_per, np.random.default_rng(base))
    x = np.stack([make_piece(KINDS[i % len(KINDS)], base * 7919 + i, lv, fs, cfg.piece_s, cfg.lead_in_s)
                  for i, lv in enumerate(levels)])
    return x, np.asarray(levels)


def program_signal(fs, seconds):
    """A fixed stand-in for a mixed music program: overlapping chords and plucks."""
    n = int(round(seconds * fs))
    a = _piece("chord", np.random.default_rng(11), fs, n)
    b = _piece("pluck", np.random.default_rng(12), fs, n)
    c = _piece("noise", np.random.default_rng(13), fs, n)
    return a / np.std(a) + 0.8 * b / np.std(b) + 0.2 * c / np.std(c)


def dataset_cached(split, fs=config.FS_TRAIN, cfg=config.DATA):
    """dataset() kept on disk: synthesising the pieces takes minutes on a busy machine."""
    import hashlib
    key = hashlib.sha1((Path(__file__).read_text() + repr((split, float(fs), cfg))).encode()).hexdigest()[:16]
    path = config.BUILD_DIR / "cache" / f"input-{split}-{key}.npz"
    if path.exists():
        d = np.load(path)
        return d["x"], d["levels"]
    x, levels = dataset(split, fs, cfg)
    path.parent.mkdir(parents=True, exist_ok=True)
    tmp = path.with_name(f"{path.name}.{os.getpid()}.tmp.npz")
    np.savez(tmp, x=x, levels=levels)
    tmp.replace(path)
    return x, levels
