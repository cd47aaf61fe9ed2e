import json

import numpy as np

from brimstack3_training import config, export, train


def test_quick_training_produces_all_six_shippable_files(tmp_path):
    train.main(["--all", "--quick", "--out", str(tmp_path), "--jobs", "2"])
    for name in config.MODEL_NAMES:
        net = export.load_model(tmp_path / f"{name}.json")
        g = json.loads((tmp_path / "golden" / f"{name}.golden.json").read_text())
        assert len(g["input"]) == len(g["output"]) == 2048
        assert np.all(np.isfinite(g["output"]))
        assert sum(p.numel() for p in net.parameters()) == 4 * 40 * (1 + 40 + 2) + 41
    summary = json.loads((tmp_path / "checkpoints" / "summary.json").read_text())
    assert sorted(m["name"] for m in summary["models"]) == sorted(config.MODEL_NAMES)


def test_training_resumes_from_checkpoint(tmp_path, capsys):
    args = ["--model", "tube_P1", "--quick", "--out", str(tmp_path), "--jobs", "1"]
    train.main(args)
    first = (tmp_path / "tube_P1.json").read_text()
    train.main(args)
    assert "resumed at step" in capsys.readouterr().out
    assert (tmp_path / "tube_P1.json").read_text() == first
