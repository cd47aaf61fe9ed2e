import json

import numpy as np
import pytest

from brimstack3_training import analysis, export, report, train
from brimstack3_training.model import run

NAMES = ["tube_T", "tube_P2_od"]


@pytest.fixture(scope="module")
def quick_models(tmp_path_factory):
    out = tmp_path_factory.mktemp("quick")
    train.main([a for n in NAMES for a in ("--model", n)] + ["--quick", "--out", str(out), "--jobs", "2"])
    return out


def test_quick_training_produces_shippable_files(quick_models):
    for name in NAMES:
        net = export.load_model(quick_models / f"{name}.json")
        g = json.loads((quick_models / "golden" / f"{name}.golden.json").read_text())
        assert len(g["input"]) == len(g["output"]) == 2048
        assert np.all(np.isfinite(g["output"]))
        # silence after a loud input must come out as silence, offset included
        s = analysis.stress(lambda x, fs: run(net, x), 96000.0)
        assert s["finite"] and s["tail"] < 1e-3, s
    summary = json.loads((quick_models / "checkpoints" / "summary.json").read_text())
    assert sorted(m["name"] for m in summary["models"]) == sorted(NAMES)


def test_training_resumes_from_checkpoint(tmp_path, capsys):
    args = ["--model", "tube_P1", "--quick", "--out", str(tmp_path), "--jobs", "1"]
    train.main(args)
    first = (tmp_path / "tube_P1.json").read_text()
    train.main(args)
    assert "resumed at step" in capsys.readouterr().out
    assert (tmp_path / "tube_P1.json").read_text() == first


def test_report_runs_on_trained_models(quick_models, tmp_path):
    out = tmp_path / "r.md"
    report.main(["--quick", "--model", "tube_T", "--models", str(quick_models), "--jobs", "1", "--out", str(out)])
    text = out.read_text()
    for section in ("ESR at 96 kHz", "ESR at 88.2 kHz", "ESR at 44.1 kHz", "Character", "Level calibration",
                    "Robustness"):
        assert section in text
    level_row = next(l for l in text.splitlines() if l.startswith("| tube_T | 3.908"))
    assert level_row.endswith("ok |"), level_row  # the calibrated-gain start is on level
