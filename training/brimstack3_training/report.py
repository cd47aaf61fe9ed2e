"""Accuracy report: shipped networks against their reference stages.

    python3 -m brimstack3_training.report [--out ../models/REPORT.md]
"""
import argparse
import json
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
    y = reference.render(name, x, fs)
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


def report(names=config.MODEL_NAMES, models_dir=config.MODELS_DIR, dcfg=config.DATA, log=print):
    torch.set_num_threads(1)
    lines = ["# Brimstack3 tube networks: accuracy report", "",
             f"Generated {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())} by "
             "`python3 -m brimstack3_training.report` on " + f"{platform.processor() or platform.machine()}, "
             f"torch {torch.__version__}.", ""]
    summ = Path(config.CHECKPOINT_DIR) / "summary.json"
    if summ.exists():
        s = json.loads(summ.read_text())
        lines += [f"Training: {s['wall_minutes']:.0f} min wall clock for all six, two processes with one CPU "
                  "thread each (no GPU).", ""]
        lines += ["| model | steps | minutes | best validation loss |", "|---|---|---|---|"]
        lines += [f"| {m['name']} | {m['steps']} | {m['minutes']:.1f} | {m['best_val']:.5f} |" for m in s["models"]]
        lines.append("")
    lines += ["ESR = sum(err^2) / sum(ref^2) over the held-out test pieces (never seen in training), "
              "both signals through a 2nd-order 10 Hz Butterworth high-pass first. Each cell: plain ESR / "
              "pre-emphasised (1 - 0.85 z^-1) ESR. Bands by piece peak level; the network is the one "
              "trained at 96 kHz, run unchanged at each rate against the circuit rendered at that rate.", ""]
    nets = {n: export.load_model(Path(models_dir) / f"{n}.json", torch.float32) for n in names}
    for fs in config.FS_REPORT:
        lines += [f"## ESR at {fs / 1000:g} kHz", "",
                  "| model | all | " + " | ".join(BAND_NAMES) + " | target (all) |",
                  "|---|---|" + "---|" * len(BAND_NAMES) + "---|"]
        for n in names:
            r = accuracy(n, nets[n], fs, dcfg)
            tgt = TARGET[config.VOICINGS[n].od].get(fs)
            verdict = "-" if tgt is None else f"<= {pct(tgt)} {'met' if r['all'][0] <= tgt else 'MISSED'}"
            lines.append(f"| {n} | " + " | ".join(f"{pct(r[b][0])} / {pct(r[b][1])}" if b in r else "-"
                                                   for b in ["all"] + BAND_NAMES) + f" | {verdict} |")
            log(lines[-1])
        lines.append("")
    lines += ["## Character (1 kHz sine, 96 kHz)", "",
              "THD (harmonics 2-10) and H2/H3, network vs reference.", "",
              "| model | " + " | ".join(f"amp {a}" for a in analysis.CHAR_AMPS) + " |",
              "|---|" + "---|" * len(analysis.CHAR_AMPS)]
    for n in names:
        cn = analysis.character(net_fn(nets[n]))
        cr = analysis.character(lambda x, fs: reference.render(n, x, fs))
        lines.append(f"| {n} | " + " | ".join(
            f"net {pct(cn[a][0])}, {cn[a][1]:.2f} / ref {pct(cr[a][0])}, {cr[a][1]:.2f}"
            for a in analysis.CHAR_AMPS) + " |")
        log(lines[-1])
    lines += ["", "## Level calibration", "",
              f"Gain (RMS out / RMS in, residual included) for the calibration program at "
              f"{config.PROGRAM_RMS_DB} dB RMS, 96 kHz. Tolerance +-0.5 dB.", "",
              "| model | target dB | reference dB | network dB | network error dB |", "|---|---|---|---|---|"]
    x = reference.program()
    for n in names:
        g_ref = reference.gain_db(x, reference.render(n, x))
        g_net = reference.gain_db(x, run(nets[n], x))
        t = config.TARGET_LEVEL_DB[n]
        lines.append(f"| {n} | {t:.3f} | {g_ref:.3f} | {g_net:.3f} | {g_net - t:+.3f} "
                     f"{'ok' if abs(g_net - t) <= 0.5 else 'OUT'} |")
        log(lines[-1])
    lines += ["", "## Robustness", "",
              "Loud inputs up to amplitude 10 (sines, noise, steps), then silence. Bound: max |y| / max(4, |x|) "
              "must be <= 1; tail: max |y| from 100 ms after the input stops, must be < 0.001.", "",
              "| model | rate | finite | bound ratio | tail |", "|---|---|---|---|---|"]
    for n in names:
        for fs in config.FS_REPORT:
            s = analysis.stress(net_fn(nets[n]), fs)
            lines.append(f"| {n} | {fs / 1000:g} kHz | {s['finite']} | {s['bound_ratio']:.3f} | {s['tail']:.2e} |")
        log(lines[-1])
    return "\n".join(lines) + "\n"


def main(argv=None):
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", help="also write the report here (markdown)")
    ap.add_argument("--models", default=str(config.MODELS_DIR))
    a = ap.parse_args(argv)
    text = report(models_dir=a.models)
    print(text)
    if a.out:
        Path(a.out).write_text(text)


if __name__ == "__main__":
    main()
