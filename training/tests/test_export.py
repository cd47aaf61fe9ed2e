import json

import numpy as np
import pytest
import torch

from brimstack3_training import export
from brimstack3_training.model import TubeNet, run


def _trained_looking_net(seed=0):
    torch.manual_seed(seed)
    net = TubeNet()
    with torch.no_grad():  # the wire init would make every comparison trivial
        net.lin.weight.normal_(0, 0.3)
        net.lin.bias.fill_(0.01)
    return net


def _numpy_lstm(sd, x):
    """Sample-by-sample LSTM as the plug-in computes it: gates i, f, g, o."""
    wih, whh = np.array(sd["rec.weight_ih_l0"]), np.array(sd["rec.weight_hh_l0"])
    b = np.array(sd["rec.bias_ih_l0"]) + np.array(sd["rec.bias_hh_l0"])
    lw, lb = np.array(sd["lin.weight"])[0], sd["lin.bias"][0]
    h = c = np.zeros(whh.shape[1])
    sig = lambda v: 1 / (1 + np.exp(-v))
    out = []
    for s in x:
        z = wih[:, 0] * s + whh @ h + b
        i, f, g, o = np.split(z, 4)
        c = sig(f) * c + sig(i) * np.tanh(g)
        h = sig(o) * np.tanh(c)
        out.append(s + lw @ h + lb)
    return np.array(out)


def test_export_reload_and_golden_match_plugin_arithmetic(tmp_path):
    net = _trained_looking_net()
    path = export.export_all(net.state_dict(), "tube_T", tmp_path)
    d = json.loads(path.read_text())
    assert d["model_data"] == export.MODEL_DATA
    assert list(d["state_dict"]) == list(export.SHAPES)

    back = export.load_model(path, torch.float32)
    for k, v in net.state_dict().items():
        assert torch.equal(back.state_dict()[k], v), k

    g = json.loads((tmp_path / "golden" / "tube_T.golden.json").read_text())
    x, y = np.array(g["input"]), np.array(g["output"])
    assert x.shape == y.shape == (2048,)
    assert 0.2 < np.max(np.abs(x)) < 0.5
    np.testing.assert_allclose(y, run(net.double(), x), atol=1e-6)
    # independent per-sample implementation: gate order and residual
    np.testing.assert_allclose(y[:600], _numpy_lstm(d["state_dict"], x[:600]), atol=1e-9)


def _broken(kind):
    sd = {k: v.clone() for k, v in _trained_looking_net().state_dict().items()}
    if kind == "hidden 32":
        sd = {k: v.clone() for k, v in TubeNet(hidden=32).state_dict().items()}
    elif kind == "missing key":
        del sd["rec.bias_hh_l0"]
    elif kind == "extra key":
        sd["rec.weight_ih_l1"] = sd["rec.weight_ih_l0"]
    elif kind == "transposed lin.weight":
        sd["lin.weight"] = sd["lin.weight"].T
    elif kind == "flat weight_ih":
        sd["rec.weight_ih_l0"] = sd["rec.weight_ih_l0"][:, 0]
    elif kind == "nan":
        sd["rec.weight_hh_l0"][3, 4] = float("nan")
    return sd


@pytest.mark.parametrize("kind", ["hidden 32", "missing key", "extra key", "transposed lin.weight",
                                  "flat weight_ih", "nan"])
def test_exporter_refuses_bad_models_and_writes_nothing(tmp_path, kind):
    with pytest.raises(export.ExportError):
        export.export_all(_broken(kind), "tube_T", tmp_path)
    assert not any(tmp_path.rglob("*.json*"))


def test_exporter_does_not_clobber_a_good_file_with_a_bad_one(tmp_path):
    path = tmp_path / "m.json"
    export.export_model(_trained_looking_net().state_dict(), path)
    before = path.read_text()
    with pytest.raises(export.ExportError):
        export.export_model(_broken("transposed lin.weight"), path)
    assert path.read_text() == before


def test_finalize_puts_network_on_level_and_silence_to_zero():
    from brimstack3_training import config, reference
    net = _trained_looking_net(3)
    with torch.no_grad():
        net.lin.bias.fill_(0.05)       # a visible offset at rest
    export.finalize(net, "tube_P2")
    x = reference.program()
    level = reference.gain_db(x, run(net, x))
    assert abs(level - config.TARGET_LEVEL_DB["tube_P2"]) <= config.LEVEL_TRIM_TOLERANCE_DB + 1e-6
    net.trim_level(x, 1.0)               # and exactly, when asked
    assert reference.gain_db(x, run(net, x)) == pytest.approx(1.0, abs=1e-6)
    assert np.max(np.abs(run(net, np.zeros(20000))[-1000:])) < 1e-6
