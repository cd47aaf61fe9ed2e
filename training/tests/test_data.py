import numpy as np

from brimstack3_training import config, data


def test_datasets_are_deterministic_and_splits_disjoint():
    a, la = data.dataset("val", cfg=config.QUICK_DATA)
    b, lb = data.dataset("val", cfg=config.QUICK_DATA)
    np.testing.assert_array_equal(a, b)
    np.testing.assert_array_equal(la, lb)
    t, _ = data.dataset("test", cfg=config.QUICK_DATA)
    assert a.shape == t.shape and not np.allclose(a, t)


def test_pieces_start_silent_and_peak_at_their_level():
    x, levels = data.dataset("test", cfg=config.QUICK_DATA)
    lead = int(config.QUICK_DATA.lead_in_s * config.FS_TRAIN)
    assert np.all(x[:, :lead] == 0)
    np.testing.assert_allclose(np.max(np.abs(x), axis=1), levels, rtol=1e-9)
    # one test piece per level band, covering quiet to very hot
    for (lo, hi), lv in zip(config.LEVEL_BANDS, levels):
        assert max(lo, 0.001) <= lv <= min(hi, 3.5)


def test_same_material_at_every_report_rate():
    """The report compares rates, so a piece must be the same music at 44.1 kHz."""
    x96, _ = data.dataset("test", 96000.0, config.QUICK_DATA)
    x44, _ = data.dataset("test", 44100.0, config.QUICK_DATA)
    assert x44.shape[1] == round(config.QUICK_DATA.piece_s * 44100)
    t = np.arange(x44.shape[1]) / 44100.0
    for k in (0, 3):  # a sine and a pluck piece; noise differs by construction
        resampled = np.interp(t, np.arange(x96.shape[1]) / 96000.0, x96[k])
        assert np.max(np.abs(resampled - x44[k])) < 0.1 * np.max(np.abs(x44[k]))


def test_training_levels_emphasise_the_useful_range():
    rng = np.random.default_rng(0)
    lv = np.array([data.train_level(rng) for _ in range(2000)])
    assert lv.min() >= 0.001 and lv.max() <= 3.5
    assert 0.6 < np.mean((lv >= 0.02) & (lv <= 1.0)) < 0.8
