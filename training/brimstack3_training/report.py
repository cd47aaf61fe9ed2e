"""Accuracy report: shipped networks against their reference stages.

    python3 -m brimstack3_training.report [--out ../models/REPORT.md]
"""
import argparse
import json
import multiprocessing as mp
from concurrent.futures import ProcessPoolExecutor
import os
import platform
import time
from pathlib import Path

import numpy as np
import torch

from . import analysis, config, data, export, reference
from .model import run

BAND_NAMES = ["<0.02", "0.02-0.1", "0.1-0.5", "0.5-1", ">1"]
TARGET = {False: {96000.0: 0.01, 88200.0: 0.02}, True: {96000.0: 0.05, 88200.0: 0.08}}


def net_fn(net):
    return lambda x, fs: run(net, x)


def accuracy(name, net, fs, dcfg=config.DATA):
    x, levels = data.dataset("test", fs, dcfg)
    y = reference.render_cached(name, x, f"test-{fs:.0f}", fs)
    y_hat = run(net, x)
    y, y_hat = analysis.highpass10(y, fs), analysis.highpass10(y_hat, fs)
    res = {}
    for label, sel in [("all", np.ones(len(levels), bool))] + [
            (b, (levels >= lo) & (levels < hi)) for b, (lo, hi) in zip(BAND_NAMES, config.LEVEL_BANDS)]:
        if not sel.any():
            continue
        res[label] = (analysis.esr(y[sel], y_hat[sel]),
                      analysis.esr(analysis.pre_emph(y[sel]), analysis.pre_emph(y_hat[sel])))
    return res


def pct(v):
    return f"{100 * v:.2f}%"


def model_results(name, models_dir, dcfg):
    """Everything the report says about one network (runs in a worker)."""
    torch.set_num_threads(1)
    net = export.load_model(Path(models_dir) / f"{name}.json", torch.float32)
    ref = lambda x, fs: reference.render(name, x, fs)
    x = reference.program()
    return {
        "esr": {fs: accuracy(name, net, fs, dcfg) for fs in config.FS_REPORT},
        "char_net": analysis.character(net_fn(net)),
        "char_ref": analysis.character(ref),
        "level_ref": reference.gain_db(x, reference.render(name, x)),
        "level_net": reference.gain_db(x, run(net, x)),
        "stress": {fs: analysis.stress(net_fn(net), fs) for fs in config.FS_REPORT},
    }


def report(names=config.MODEL_NAMES, models_dir=config.MODELS_DIR, dcfg=config.DATA, jobs=2):
    t = time.time()
    if jobs > 1:
        with ProcessPoolExecutor(jobs, mp_context=mp.get_context("spawn")) as pool:
            res = dict(zip(names, pool.map(model_results, names, [models_dir] * len(names), [dcfg] * len(names))))
    else:
        res = {n: model_results(n, models_dir, dcfg) for n in names}
    lines = ["# Brimstack3 tube networks: accuracy report", "",
             f"Generated {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())} by "
             "`python3 -m brimstack3_training.report` "
             f"({platform.machine()}, {os.cpu_count()} cores, torch {torch.__version__}, "
             f"{(time.time() - t) / 60:.0f} min).", ""]
    infos = [Path(config.CHECKPOINT_DIR) / f"{n}.info.json" for n in names]
    if dcfg is config.DATA and all(p.exists() for p in infos):
        infos = [json.loads(p.read_text()) for p in infos]
        lines += ["Training: two processes at a time, one CPU thread each (no GPU), niced, on a 2-core machine "
                  "shared with C++ builds; " f"{sum(i['minutes'] for i in infos):.0f} process-minutes in all.", "",
                  "| model | steps | minutes | best validation loss |", "|---|---|---|---|"]
        lines += [f"| {i['name']} | {i['steps']} | {i['minutes']:.1f} | {i['best_val']:.5f} |" for i in infos]
        lines.append("")
    lines += ["ESR = sum(err^2) / sum(ref^2) over the held-out test pieces (never seen in training), "
              "both signals through a 2nd-order 10 Hz Butterworth high-pass first. Each cell: plain ESR / "
              "pre-emphasised (1 - 0.85 z^-1) ESR. Bands by piece peak level; the network is the one "
              "trained at 96 kHz, run unchanged at each rate against the circuit rendered at that rate.", ""]
    for fs in config.FS_REPORT:
        lines += [f"## ESR at {fs / 1000:g} kHz", "",
                  "| model | all | " + " | ".join(BAND_NAMES) + " | target (all) |",
                  "|---|---|" + "---|" * len(BAND_NAMES) + "---|"]
        for n in names:
            r = res[n]["esr"][fs]
            tgt = TARGET[config.VOICINGS[n].od].get(fs)
            verdict = "-" if tgt is None else f"<= {pct(tgt)} {'met' if r['all'][0] <= tgt else 'MISSED'}"
            lines.append(f"| {n} | " + " | ".join(f"{pct(r[b][0])} / {pct(r[b][1])}" if b in r else "-"
                                                   for b in ["all"] + BAND_NAMES) + f" | {verdict} |")
        lines.append("")
    lines += ["## Character (1 kHz sine, 96 kHz)", "",
              "THD (harmonics 2-10), H2/H3: network / reference.", "",
              "| model | " + " | ".join(f"amp {a}" for a in analysis.CHAR_AMPS) + " |",
              "|---|" + "---|" * len(analysis.CHAR_AMPS)]
    for n in names:
        cn, cr = res[n]["char_net"], res[n]["char_ref"]
        lines.append(f"| {n} | " + " | ".join(
            f"{pct(cn[a][0])}, {cn[a][1]:.2f} / {pct(cr[a][0])}, {cr[a][1]:.2f}" for a in analysis.CHAR_AMPS) + " |")
    lines += ["", "## Level calibration", "",
              f"Gain (RMS out / RMS in, residual included) for the calibration program at "
              f"{config.PROGRAM_RMS_DB} dB RMS, 96 kHz. Tolerance +-0.5 dB.", "",
              "| model | target dB | reference dB | network dB | network error dB |", "|---|---|---|---|---|"]
    for n in names:
        g_ref, g_net, tg = res[n]["level_ref"], res[n]["level_net"], config.TARGET_LEVEL_DB[n]
        lines.append(f"| {n} | {tg:.3f} | {g_ref:.3f} | {g_net:.3f} | {g_net - tg:+.3f} "
                     f"{'ok' if abs(g_net - tg) <= 0.5 else 'OUT'} |")
    lines += ["", "## Robustness", "",
              "Loud inputs up to amplitude 10 (sines, noise, steps), then silence. Bound: max |y| / max(4, |x|), "
              "must be <= 1; tail: max |y| from 100 ms after the input stops, must be < 0.001.", "",
              "| model | rate | finite | bound ratio | tail |", "|---|---|---|---|---|"]
    for n in names:
        for fs in config.FS_REPORT:
            st = res[n]["stress"][fs]
            lines.append(f"| {n} | {fs / 1000:g} kHz | {st['finite']} | {st['bound_ratio']:.3f} | {st['tail']:.2e} |")
    return "\n".join(lines) + "\n"


def main(argv=None):
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", help="also write the report here (markdown)")
    ap.add_argument("--models", default=str(config.MODELS_DIR))
    ap.add_argument("--model", action="append", choices=config.MODEL_NAMES)
    ap.add_argument("--quick", action="store_true", help="tiny test set (pipeline check)")
    ap.add_argument("--jobs", type=int, default=2)
    a = ap.parse_args(argv)
    text = report(names=a.model or config.MODEL_NAMES, models_dir=a.models,
                  dcfg=config.QUICK_DATA if a.quick else config.DATA, jobs=a.jobs)
    print(text)
    if a.out:
        Path(a.out).write_text(text)


if __name__ == "__main__":
    main()
