import numpy as np
import pytest

from brimstack3_training import analysis, config, reference

PLAIN = [n for n in config.MODEL_NAMES if not config.VOICINGS[n].od]
OD = [n for n in config.MODEL_NAMES if config.VOICINGS[n].od]


def ref(name):
    return lambda x, fs: reference.render(name, x, fs)


@pytest.fixture(scope="module")
def char():
    return {n: analysis.character(ref(n)) for n in config.MODEL_NAMES}


@pytest.mark.parametrize("name", config.MODEL_NAMES)
def test_loud_input_stays_bounded_and_decays(name):
    s = analysis.stress(ref(name), 96000.0)
    assert s["finite"]
    assert s["bound_ratio"] <= 1.0
    assert s["tail"] < 1e-3


@pytest.mark.parametrize("name", config.MODEL_NAMES)
def test_level_calibration_holds_at_other_rates(name):
    """Scaled once at 96 kHz; the circuit must give the same gain at 44.1 kHz."""
    x96, x44 = reference.program(96000.0), reference.program(44100.0)
    assert abs(reference.gain_db(x96, reference.render(name, x96)) - config.TARGET_LEVEL_DB[name]) < 1e-6
    assert abs(reference.gain_db(x44, reference.render(name, x44, 44100.0)) - config.TARGET_LEVEL_DB[name]) < 0.5


def test_character(char):
    t = char["tube_T"]
    for a in (0.05, 0.2):
        assert t[a][1] > 1.0, "triode must be even-order dominant below clipping"
        for p in ("tube_P1", "tube_P2"):
            assert char[p][a][1] < t[a][1] / 3, f"{p} must be clearly more odd-order than T"
    for n in PLAIN:
        assert char[n][0.05][0] < 0.01 and char[n][0.8][0] < 0.10, n
    for n in OD:
        assert char[n][0.8][0] >= 0.10, n


def test_tone_response_independent_of_rate():
    for name in ("tube_T", "tube_P2_od"):
        a = analysis.thd_h2h3(reference.render(name, analysis.sine(0.8, 96000.0), 96000.0), 96000.0)[0]
        b = analysis.thd_h2h3(reference.render(name, analysis.sine(0.8, 44100.0), 44100.0), 44100.0)[0]
        assert b == pytest.approx(a, rel=0.1)


def test_stage_has_memory():
    """Grid current on a loud burst shifts the bias; a quiet probe just after
    it must come out differently than the same probe from rest."""
    fs = 96000.0
    t = np.arange(int(0.02 * fs)) / fs
    probe = 0.05 * np.sin(2 * np.pi * 500 * t)
    burst = 2.0 * np.sin(2 * np.pi * 200 * np.arange(int(0.05 * fs)) / fs)
    after = reference.render("tube_T", np.concatenate([burst, probe]))[burst.size:]
    alone = reference.render("tube_T", np.concatenate([np.zeros(burst.size), probe]))[burst.size:]
    assert np.max(np.abs(after - alone)) > 0.2 * np.max(np.abs(alone))
