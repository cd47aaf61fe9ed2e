"""Every number the training pipeline depends on, in one place."""
from dataclasses import dataclass, field, replace
from pathlib import Path

TRAINING_DIR = Path(__file__).resolve().parent.parent
REPO_DIR = TRAINING_DIR.parent
MODELS_DIR = REPO_DIR / "models"
GOLDEN_DIR = MODELS_DIR / "golden"
BUILD_DIR = TRAINING_DIR / "build"
CHECKPOINT_DIR = TRAINING_DIR / "checkpoints"

FS_TRAIN = 96000.0
FS_REPORT = (96000.0, 88200.0, 44100.0)
HIDDEN = 40

# The processor scales the host signal by input trim x Drive; with the
# default Drive a -18 dBFS RMS program arrives at the network at -30.6 dB RMS.
PROGRAM_RMS_DB = -30.6

# Gain (dB, RMS out / RMS in, residual included) each network must have at
# PROGRAM_RMS_DB.  The processor's make-up gain (1 dB - level) evens them out.
TARGET_LEVEL_DB = {
    "tube_T": 3.90815,
    "tube_P1": 4.9026,
    "tube_P2": 5.32681,
    "tube_T_od": -7.19947,
    "tube_P1_od": -1.56571,
    "tube_P2_od": -1.21342,
}
MODEL_NAMES = tuple(TARGET_LEVEL_DB)


@dataclass(frozen=True)
class Stage:
    """Component values of one common-cathode stage (SI units).

    Field order is the parameter layout tube_stage.c expects.
    """
    pentode: float = 0.0
    # Koren plate-current parameters
    mu: float = 100.0
    ex: float = 1.4
    kg1: float = 1060.0
    kp: float = 600.0
    kvb: float = 300.0
    kg2: float = 1e9           # pentode screen current; unused for triodes
    vscreen: float = 0.0       # pentode screen supply (V)
    # circuit
    bplus: float = 250.0
    ra: float = 100e3
    rk: float = 1.5e3
    ck: float = 6.8e-6
    cin: float = 6.8e-9
    rs: float = 68e3           # source impedance + grid stopper
    rg: float = 1e6
    cout: float = 6.8e-9
    rl: float = 1e6
    kgrid: float = 2e-4        # grid current above the knee (A / V^1.5)
    vgrid: float = 0.1         # smoothness of the grid-conduction knee (V)

    def params(self):
        return [float(getattr(self, f)) for f in self.__dataclass_fields__]


# Time constants: 6.8 nF into 1 MOhm at both ends (6.8 ms, -3 dB at 23 Hz)
# and Rk*Ck of 7-10 ms.  With 22 nF parts (22-33 ms) the stage took well over
# 100 ms to recover from blocking after a hot transient, and the plug-in
# must be silent 100 ms after the input stops.  Together they still give
# 20-40 ms of audible memory (bias shift and its recovery).

# 12AX7-style triode: 100k plate load, 1.5k cathode (~1.0 V bias, plate
# ~180 V), 68k source + grid stopper, grid current above ~0 V grid-cathode.
TRIODE = Stage()

# EF86-style pentode on a 150 V screen, 100k load, biased so the plate sits
# near the middle of its swing (~100 V): cutoff and the plate knee bend the
# transfer curve in opposite directions, giving odd-order character.
PENTODE_1 = Stage(pentode=1.0, mu=38.0, ex=1.35, kg1=600.0, kp=200.0, kvb=15.0,
                  kg2=12000.0, vscreen=150.0, ra=100e3, rk=2.2e3, ck=4.7e-6)

# Same valve, lower (100 V) screen and a 1k cathode: more standing current,
# plate ~110 V, cleaner at low level and harder, squarer once it clips.
PENTODE_2 = Stage(pentode=1.0, mu=38.0, ex=1.35, kg1=1200.0, kp=200.0, kvb=15.0,
                  kg2=12000.0, vscreen=100.0, ra=100e3, rk=1.0e3, ck=6.8e-6)


@dataclass(frozen=True)
class Voicing:
    """A reference stage as the plug-in sees it."""
    stage: Stage
    drive_v: float             # grid volts per unit of network input
    od: bool = False


VOICINGS = {
    "tube_T": Voicing(TRIODE, drive_v=1.4),
    "tube_P1": Voicing(PENTODE_1, drive_v=0.85),
    "tube_P2": Voicing(PENTODE_2, drive_v=1.1),
    # OverDrive: the same stages driven ~3x harder, into grid current and
    # cutoff.  Kept to one stage: a second cascaded stage squares the wave off
    # so hard that a 40-unit network cannot follow it.
    "tube_T_od": Voicing(TRIODE, drive_v=4.0, od=True),
    "tube_P1_od": Voicing(PENTODE_1, drive_v=2.6, od=True),
    "tube_P2_od": Voicing(PENTODE_2, drive_v=3.3, od=True),
}


@dataclass(frozen=True)
class TrainConfig:
    seed: int = 1234
    # Small, frequent updates: on a shared 2-core machine the budget buys a
    # few thousand steps at best, and early on the number of updates matters
    # more than the batch size.
    batch: int = 8
    window: int = 1024          # TBPTT length, 10.7 ms at 96 kHz, > the circuit's time constants
    windows_per_run: int = 32   # state carried across these windows (340 ms)
    warmup: int = 4096          # no-grad warm-up before each run: 43 ms, > 4 circuit time constants
    cold_every: int = 4         # every 4th run starts from zero state at a piece start
    lr: float = 2e-3
    lr_min: float = 3e-5
    minutes: float = 25.0       # wall-clock budget per plain network
    od_time_factor: float = 1.25  # OverDrive networks are harder; give them longer
    max_steps: int = 10_000_000
    pre_emphasis: float = 0.85
    dc_weight: float = 1.0
    val_every_s: float = 180.0


QUICK = TrainConfig(batch=4, window=256, windows_per_run=2, warmup=256, minutes=1.0, max_steps=6,
                    val_every_s=1e9)


@dataclass(frozen=True)
class DataConfig:
    piece_s: float = 1.5
    lead_in_s: float = 0.04     # silence before each piece so it starts from rest
    n_train: int = 96
    n_val: int = 15
    n_test_per_band: int = 4
    seed_train: int = 1000
    seed_val: int = 2000
    seed_test: int = 3000


DATA = DataConfig()
QUICK_DATA = DataConfig(piece_s=0.15, n_train=6, n_val=2, n_test_per_band=1)

# Shipped networks are trimmed to within this of TARGET_LEVEL_DB (the
# processor tolerates 0.5 dB; the rest is margin).
LEVEL_TRIM_TOLERANCE_DB = 0.4

# Output RMS below which the training loss stops normalising per piece.
LOSS_FLOOR_RMS = 0.003

# Level bands (peak amplitude) for the accuracy report.
LEVEL_BANDS = ((0.0, 0.02), (0.02, 0.1), (0.1, 0.5), (0.5, 1.0), (1.0, 1e9))
