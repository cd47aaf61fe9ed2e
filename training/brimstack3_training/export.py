"""Model files in the format the plug-in loads, plus golden I/O pairs."""
import json
import os
from pathlib import Path

import numpy as np
import torch

from . import config
from .model import TubeNet, run

H = config.HIDDEN
MODEL_DATA = {"model": "SimpleRNN", "input_size": 1, "skip": 1, "output_size": 1,
              "unit_type": "LSTM", "num_layers": 1, "hidden_size": H, "bias_fl": True}
SHAPES = {
    "rec.weight_ih_l0": (4 * H, 1),
    "rec.weight_hh_l0": (4 * H, H),
    "rec.bias_ih_l0": (4 * H,),
    "rec.bias_hh_l0": (4 * H,),
    "lin.weight": (1, H),
    "lin.bias": (1,),
}
GOLDEN_LEN = 2048


class ExportError(ValueError):
    pass


def _check(state_dict):
    keys = set(state_dict)
    if keys != set(SHAPES):
        raise ExportError(f"unexpected keys: missing {sorted(set(SHAPES) - keys)}, extra {sorted(keys - set(SHAPES))}")
    arrays = {}
    for k, shape in SHAPES.items():
        a = np.asarray(torch.as_tensor(state_dict[k]).detach().cpu().double().numpy())
        if a.shape != shape:
            raise ExportError(f"{k}: shape {a.shape}, expected {shape}")
        if not np.all(np.isfinite(a)):
            raise ExportError(f"{k}: non-finite values")
        arrays[k] = a
    return arrays


def _write_atomic(path, obj):
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    tmp = path.with_name(path.name + ".tmp")
    tmp.write_text(json.dumps(obj))
    os.replace(tmp, path)


def export_model(state_dict, path):
    """Write state_dict (PyTorch gate order i, f, g, o) as a model file.

    Validates everything first, so a bad model never leaves a file behind."""
    arrays = _check(state_dict)
    _write_atomic(path, {"model_data": MODEL_DATA, "state_dict": {k: a.tolist() for k, a in arrays.items()}})


def load_model(path, dtype=torch.float64):
    d = json.loads(Path(path).read_text())
    if d.get("model_data") != MODEL_DATA:
        raise ExportError(f"{path}: unexpected model_data {d.get('model_data')}")
    arrays = _check(d["state_dict"])
    net = TubeNet().to(dtype)
    net.load_state_dict({k: torch.as_tensor(a, dtype=dtype) for k, a in arrays.items()})
    net.eval()
    return net


def golden_input(seed=7):
    """Tone burst (~1 kHz at 96 kHz) plus noise, peak ~0.3."""
    rng = np.random.default_rng(seed)
    n = np.arange(GOLDEN_LEN)
    env = np.clip(np.minimum(n - 100, 1700 - n) / 200.0, 0, 1)
    x = 0.27 * env * np.sin(2 * np.pi * 1003.0 / 96000.0 * n) + 0.03 * rng.standard_normal(GOLDEN_LEN)
    return x


def export_golden(model_path, golden_path):
    """Golden pair computed in float64 from the file as written."""
    net = load_model(model_path)
    x = golden_input()
    y = run(net, x)
    _write_atomic(golden_path, {"input": x.tolist(), "output": y.tolist()})
    return x, y


def finalize(net, name):
    """Last touches before shipping: silence to silence, then the level."""
    from . import reference
    net.zero_offset()
    return net.trim_level(reference.program(), config.TARGET_LEVEL_DB[name], config.LEVEL_TRIM_TOLERANCE_DB)


def export_all(state_dict, name, models_dir=config.MODELS_DIR):
    models_dir = Path(models_dir)
    path = models_dir / f"{name}.json"
    export_model(state_dict, path)
    export_golden(path, models_dir / "golden" / f"{name}.golden.json")
    return path


def main(argv=None):
    """Re-finalise shipped model files in place (and their golden pairs)."""
    import argparse
    ap = argparse.ArgumentParser(description=main.__doc__)
    ap.add_argument("--models", default=str(config.MODELS_DIR))
    ap.add_argument("--from-checkpoints", action="store_true",
                    help="start from the best weights in training/checkpoints instead of the model files")
    ap.add_argument("names", nargs="*", default=list(config.MODEL_NAMES))
    a = ap.parse_args(argv)
    for name in a.names:
        if a.from_checkpoints:
            net = TubeNet()
            net.load_state_dict(torch.load(config.CHECKPOINT_DIR / f"{name}.pt")["best_net"])
        else:
            net = load_model(Path(a.models) / f"{name}.json", torch.float32)
        scale = finalize(net, name)
        export_all(net.state_dict(), name, a.models)
        print(f"{name}: network branch scaled by {scale:.4f}")


if __name__ == "__main__":
    main()
