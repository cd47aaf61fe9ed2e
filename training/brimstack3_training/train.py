"""Train the tube networks.

    python3 -m brimstack3_training.train --all            # all six, two processes
    python3 -m brimstack3_training.train --model tube_T   # one
    python3 -m brimstack3_training.train --all --quick    # seconds, for CI

Each network trains on long pieces with truncated BPTT: a no-grad warm-up
longer than the circuit's memory, then a run of consecutive windows with the
LSTM state carried from one to the next (detached), one Adam step per window.
The loss is a per-piece-normalised ESR (pre-emphasised and plain) plus a DC
term, so quiet pieces count as much as loud ones.
"""
import argparse
import json
import math
import multiprocessing as mp
from concurrent.futures import ProcessPoolExecutor
import os
import signal
import time
from dataclasses import asdict, replace
from pathlib import Path

import numpy as np
import torch

from . import config, data, export, reference
from .model import TubeNet


def prepare(name, dcfg):
    xs, ys = {}, {}
    for split in ("train", "val"):
        x, _ = data.dataset_cached(split, config.FS_TRAIN, dcfg)
        xs[split] = torch.as_tensor(x, dtype=torch.float32)
        ys[split] = torch.as_tensor(reference.render_cached(name, x, split), dtype=torch.float32)
    return xs, ys


def _pe(y, a):
    return y[:, 1:] - a * y[:, :-1]


def piece_norms(y, a, floor=config.LOSS_FLOOR_RMS):
    """Per-piece mean energy (plain, pre-emphasised): the loss denominators.

    Floored at the energy of a quiet but not silent piece: below that, errors
    count in absolute terms, otherwise the 0.001-level pieces demand output
    offsets far below what Adam's step size can hold and swamp the rest."""
    pe_floor = floor ** 2 * (1 - a) ** 2
    return (y.pow(2).mean(1) + floor ** 2, _pe(y, a).pow(2).mean(1) + pe_floor)


def loss_fn(y_hat, y, norm_plain, norm_pe, cfg):
    err = y_hat - y
    plain = (err.pow(2).mean(1) / norm_plain).mean()
    pe = (_pe(err, cfg.pre_emphasis).pow(2).mean(1) / norm_pe).mean()
    dc = (err.mean(1).pow(2) / norm_plain).mean()
    return 0.5 * (plain + pe) + cfg.dc_weight * dc


@torch.no_grad()
def validate(net, x, y, cfg, chunk=16384):
    """Mean per-piece loss over whole pieces, from rest."""
    state, outs = None, []
    for i in range(0, x.shape[1], chunk):
        o, state = net(x[:, i:i + chunk, None], state)
        outs.append(o[..., 0])
    y_hat = torch.cat(outs, 1)
    npl, npe = piece_norms(y, cfg.pre_emphasis)
    return float(loss_fn(y_hat, y, npl, npe, cfg))


def train_one(name, cfg=config.TrainConfig(), dcfg=config.DATA, out_dir=config.MODELS_DIR,
              ckpt_dir=config.CHECKPOINT_DIR, log=print):
    torch.set_num_threads(1)
    torch.manual_seed(cfg.seed)
    rng = np.random.default_rng(cfg.seed)
    t_prep = time.time()
    xs, ys = prepare(name, dcfg)
    log(f"{name}: data ready in {time.time() - t_prep:.0f}s "
        f"({xs['train'].numel() / config.FS_TRAIN:.0f}s train audio)")
    xtr, ytr = xs["train"], ys["train"]
    npl, npe = piece_norms(ytr, cfg.pre_emphasis)

    net = TubeNet(gain=10 ** (config.TARGET_LEVEL_DB[name] / 20))
    opt = torch.optim.Adam(net.parameters(), lr=cfg.lr)
    ckpt_dir = Path(ckpt_dir)
    ckpt_dir.mkdir(parents=True, exist_ok=True)
    ckpt = ckpt_dir / f"{name}.pt"
    step, elapsed = 0, 0.0
    budget_s = cfg.minutes * 60 * (cfg.od_time_factor if config.VOICINGS[name].od else 1.0)
    best = (math.inf, None)
    if ckpt.exists():
        c = torch.load(ckpt)
        if c.get("cfg") == asdict(cfg):
            net.load_state_dict(c["net"])
            opt.load_state_dict(c["opt"])
            step, elapsed = c["step"], c["elapsed"]
            best = (c["best_val"], c["best_net"])
            rng = np.random.default_rng([cfg.seed, step])
            log(f"{name}: resumed at step {step}, {elapsed / 60:.1f} min, best val {best[0]:.5f}")
        else:
            log(f"{name}: checkpoint from another configuration ignored")

    def save():
        torch.save({"cfg": asdict(cfg), "net": net.state_dict(), "opt": opt.state_dict(), "step": step,
                    "elapsed": elapsed, "best_val": best[0],
                    "best_net": best[1]}, ckpt)

    # Stop early (keeping the best weights so far) on SIGTERM or when a file
    # named STOP appears in the checkpoint folder: deadlines beat schedules.
    stop = {"flag": False}
    old_handler = signal.signal(signal.SIGTERM, lambda *_: stop.update(flag=True))
    stop_file = ckpt_dir / "STOP"

    n_pieces, length = xtr.shape
    run_len = cfg.warmup + cfg.windows_per_run * cfg.window
    t0 = time.time() - elapsed
    last_val = time.time()

    def progress():
        # The schedule runs on wall-clock time (or steps, whichever ends first)
        # so a slow, shared machine still finishes on time with a decayed LR.
        return max(step / cfg.max_steps, (time.time() - t0) / budget_s)

    done = progress() >= 1.0
    n_run = 0
    while not done:
        idx = torch.as_tensor(rng.integers(0, n_pieces, cfg.batch))
        # Every few runs start cold: zero state at the top of the pieces (which
        # open with silence), loss from the first sample.  The plug-in starts
        # from zero state, and warm runs alone never see that transient, which
        # then comes out as a click on every reset.
        cold = n_run % cfg.cold_every == 0
        n_run += 1
        skip = 0 if cold else cfg.warmup
        start = np.zeros(cfg.batch, int) if cold else rng.integers(0, length - run_len + 1, cfg.batch)
        pos = torch.as_tensor(start)[:, None] + torch.arange(run_len)[None]
        xb = xtr[idx[:, None], pos][..., None]
        yb = ytr[idx[:, None], pos]
        state = None
        if not cold:
            with torch.no_grad():
                _, state = net(xb[:, :cfg.warmup])
        for w in range(cfg.windows_per_run):
            a = skip + w * cfg.window
            lr = cfg.lr_min + 0.5 * (cfg.lr - cfg.lr_min) * (1 + math.cos(math.pi * min(progress(), 1.0)))
            lr *= min(1.0, (step + 1) / 50)            # short warm-up of the step size
            for g in opt.param_groups:
                g["lr"] = lr
            y_hat, state = net(xb[:, a:a + cfg.window], state)
            loss = loss_fn(y_hat[..., 0], yb[:, a:a + cfg.window], npl[idx], npe[idx], cfg)
            opt.zero_grad()
            loss.backward()
            torch.nn.utils.clip_grad_norm_(net.parameters(), 1.0)
            opt.step()
            state = tuple(s.detach() for s in state)
            step += 1
            if step == 20:
                log(f"{name}: {(time.time() - t0) / step * 1000:.0f} ms/step")
            if progress() >= 1.0:
                break
        elapsed = time.time() - t0
        done = progress() >= 1.0
        if stop["flag"] or stop_file.exists():
            log(f"{name}: stop requested at step {step}")
            done = True
        if done or time.time() - last_val > cfg.val_every_s:
            v = validate(net, xs["val"], ys["val"], cfg)
            if v < best[0]:
                best = (v, {k: t.clone() for k, t in net.state_dict().items()})
            log(f"{name}: step {step} {elapsed / 60:.1f}/{budget_s / 60:.0f} min lr {lr:.2e} "
                f"loss {float(loss):.5f} val {v:.5f} best {best[0]:.5f}")
            save()
            last_val = time.time()
    net.load_state_dict(best[1])
    # Trim the little offset left at rest so silence stays under the
    # plug-in's noise floor (not done during training: forcing the rest
    # output to zero there moved the error into the start-up transient),
    # then the level.
    scale = export.finalize(net, name)
    log(f"{name}: network branch scaled by {scale:.4f} for level")
    path = export.export_all(net.state_dict(), name, out_dir)
    info = {"name": name, "steps": step, "minutes": elapsed / 60, "best_val": best[0],
            "train_audio_s": xtr.numel() / config.FS_TRAIN}
    (Path(ckpt_dir) / f"{name}.info.json").write_text(json.dumps(info))
    signal.signal(signal.SIGTERM, old_handler)   # a worker must stay killable between networks
    log(f"{name}: exported {path} (best val {best[0]:.5f}, {elapsed / 60:.1f} min)")
    return info


def _worker(names, quick, out_dir, ckpt_dir, minutes, logfile, until=None):
    cfg = config.QUICK if quick else config.TrainConfig()
    if minutes is not None:
        cfg = replace(cfg, minutes=minutes)
    dcfg = config.QUICK_DATA if quick else config.DATA

    def weight(n):
        return cfg.od_time_factor if config.VOICINGS[n].od else 1.0

    def log(msg):
        line = time.strftime("%H:%M:%S ") + msg
        print(line, flush=True)
        if logfile:
            with open(logfile, "a") as f:
                f.write(line + "\n")
    infos = []
    for n in names:
        if (Path(ckpt_dir) / "STOP").exists():
            log(f"{n}: not started, STOP present (existing model file left as is)")
            continue
        c = cfg
        if until is not None:
            # share what is left before the deadline among the networks still
            # to train (1 minute each kept back for data and export)
            rest = names[names.index(n):]
            left_min = (until - time.time()) / 60 - len(rest)
            c = replace(cfg, minutes=max(0.5, min(cfg.minutes, left_min / sum(weight(r) for r in rest))))
        infos.append(train_one(n, c, dcfg, out_dir, ckpt_dir, log))
    return infos


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--all", action="store_true", help="train all six networks")
    ap.add_argument("--model", action="append", choices=config.MODEL_NAMES, default=[])
    ap.add_argument("--quick", action="store_true", help="a few steps on tiny data (pipeline check)")
    ap.add_argument("--minutes", type=float, help="training time per network")
    ap.add_argument("--until", help="finish by this UTC time (HH:MM today): shortens the per-network budgets")
    ap.add_argument("--jobs", type=int, default=2, help="parallel processes (one thread each)")
    ap.add_argument("--out", default=str(config.MODELS_DIR))
    ap.add_argument("--checkpoints", default=None)
    ap.add_argument("--fresh", action="store_true", help="ignore existing checkpoints")
    ap.add_argument("--log", default=None)
    a = ap.parse_args(argv)
    names = list(config.MODEL_NAMES) if a.all else a.model
    if not names:
        ap.error("give --all or --model")
    ckpt_dir = Path(a.checkpoints or (Path(a.out) / "checkpoints" if a.quick else config.CHECKPOINT_DIR))
    if a.fresh:
        for n in names:
            (ckpt_dir / f"{n}.pt").unlink(missing_ok=True)
    until = None
    if a.until:
        hh, mm = map(int, a.until.split(":"))
        now = time.time()
        until = now - now % 86400 + hh * 3600 + mm * 60
    jobs = max(1, min(a.jobs, len(names)))
    # longest (OverDrive) jobs spread over the workers
    groups = [names[i::jobs] for i in range(jobs)]
    t = time.time()
    if jobs == 1:
        infos = _worker(names, a.quick, a.out, ckpt_dir, a.minutes, a.log, until)
    else:
        # An executor, not a Pool: a worker that dies raises here instead of leaving us waiting.
        with ProcessPoolExecutor(jobs, mp_context=mp.get_context("spawn")) as pool:
            res = [pool.submit(_worker, g, a.quick, a.out, ckpt_dir, a.minutes, a.log, until) for g in groups]
            infos = [i for r in res for i in r.result()]
    Path(ckpt_dir).mkdir(parents=True, exist_ok=True)
    summary = {"wall_minutes": (time.time() - t) / 60, "models": infos}
    (Path(ckpt_dir) / "summary.json").write_text(json.dumps(summary, indent=1))
    print(f"trained {len(infos)} networks in {summary['wall_minutes']:.1f} min")


if __name__ == "__main__":
    main()
