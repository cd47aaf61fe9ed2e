#!/usr/bin/python3
"""Renders every picture of the Brimstack3 editor into src/resources/images.

Positions come from the editor's layout (src/gui/EditorLayout.h): every legend is printed around
the rectangle its control occupies. Run:  /usr/bin/python3 tools/art/generate_art.py [--out DIR]
Needs Debian's python3-cairo, python3-pil, python3-numpy and the URW base35 fonts.
"""
import argparse
import math
import os
import re
import sys
import time

import cairo
import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import knobs  # noqa: E402
import parts  # noqa: E402
from artkit import (ACCENT, GOTHIC, INK, INK_DIM, SANS, from_array, rounded_rect, save_png,  # noqa: E402
                    surface, text, to_array)

W, H = 2551, 1028

LAYOUT_HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "gui", "EditorLayout.h")

# Short names used here -> the editor's names in EditorLayout.h.
ALIASES = dict(info="infoButton", preset="presetBar", prev="previousButton", next="nextButton", save="saveButton",
               delete="deleteButton", intrim="inputTrim", outtrim="outputTrim", hp="highPass", lp="lowPass",
               lab_i="inputTrimLabel", lab_o="outputTrimLabel", lab_m="mixLabel", lab_h="highPassLabel",
               lab_l="lowPassLabel", overdrive="overDrive", tube="tubeGlow")


def read_layout(path=LAYOUT_HEADER):
    """The editor's layout table, read from the header the editor itself compiles, so legends and
    controls cannot drift apart."""
    src = open(path).read()
    scale = np.float32(re.search(r"knobScale\s*=\s*([0-9.]+)f", src).group(1))
    sizes = {name: int(scale * np.float32(n)) for name, n in
             re.findall(r"(\w+)\s*=\s*int\s*\(\s*knobScale\s*\*\s*([0-9.]+)f\s*\)", src)}
    boxes = {}
    for name, body in re.findall(r"constexpr\s+Box\s+(\w+)\s*\{([^}]*)\}", src):
        boxes[name] = tuple(int(v) if v.strip().lstrip("-").isdigit() else sizes[v.strip()] for v in body.split(","))
    for short, full in ALIASES.items():
        boxes[short] = boxes[full]
    return boxes


L = read_layout()

# Knob radius inside its frame (frame pixels) and the frame's reduction on the panel.
KNOB = dict(drive=(150, 1.0), output=(140, 1.0), mix=(140, 247 / 371), small=(72, 118 / 192))


def centre(box):
    x, y, w, h = box
    return x + w / 2, y + h / 2


def panel():
    s, c = surface(W, H)
    rng = np.random.default_rng(3)

    # painted steel: warm charcoal, lighter toward the top, a faint horizontal brush
    base = np.zeros((H, W, 4), np.float32)
    yy = np.linspace(0, 1, H, dtype=np.float32)[:, None]
    tone = 0.155 - 0.05 * yy
    streak = rng.normal(0, 1, (H, W // 8 + 2)).astype(np.float32)
    k = np.ones(9, np.float32) / 9
    streak = np.apply_along_axis(lambda r: np.convolve(r, k, "same"), 1, streak)
    streak = np.repeat(streak, 8, axis=1)[:, :W]
    v = tone + 0.006 * streak
    base[..., 0], base[..., 1], base[..., 2], base[..., 3] = v * 1.02, v * 1.0, v * 0.97, 1
    sb = from_array(base)
    c.set_source_surface(sb, 0, 0)
    c.paint()

    # header: black glass strip with a chrome lip
    hg = cairo.LinearGradient(0, 0, 0, 160)
    hg.add_color_stop_rgb(0, 0.07, 0.07, 0.075)
    hg.add_color_stop_rgb(1, 0.035, 0.035, 0.04)
    c.rectangle(0, 0, W, 160)
    c.set_source(hg)
    c.fill()
    lip = cairo.LinearGradient(0, 160, 0, 168)
    lip.add_color_stop_rgb(0, 0.55, 0.55, 0.55)
    lip.add_color_stop_rgb(0.4, 0.85, 0.85, 0.84)
    lip.add_color_stop_rgb(1, 0.2, 0.2, 0.2)
    c.rectangle(0, 160, W, 8)
    c.set_source(lip)
    c.fill()
    c.rectangle(0, 168, W, 10)
    sh = cairo.LinearGradient(0, 168, 0, 178)
    sh.add_color_stop_rgba(0, 0, 0, 0, 0.5)
    sh.add_color_stop_rgba(1, 0, 0, 0, 0)
    c.set_source(sh)
    c.fill()

    # wordmark beside the logo
    mark = text(c, "BRIMSTACK", 196, 68, 54, GOTHIC, True, INK, "left", tracking=5)
    text(c, "3", 196 + mark + 12, 62, 70, GOTHIC, True, ACCENT, "left")
    text(c, "NEURAL TUBE STAGE", 202, 122, 24, SANS, True, INK_DIM, "left", tracking=5)

    # recess of the preset display and of the button tray
    _well(c, 604, 19, 884, 116, 14)
    _well(c, 1540, 22, 410, 105, 14)
    text(c, "QUILL FORGE", 2470, 64, 34, GOTHIC, True, INK, "right", tracking=5)
    text(c, "AUDIO WORKS", 2470, 108, 20, SANS, True, INK_DIM, "right", tracking=7)

    # engraved section frames
    _engraved_box(c, 70, 200, 925, 790)            # drive section
    _engraved_box(c, 1008, 200, 462, 790)          # tube + mix
    _engraved_box(c, 1484, 200, 1006, 570)         # output / modes
    _engraved_box(c, 1484, 790, 1006, 200)         # trims and filters

    # OverDrive lever
    x, y, w, h = L["overdrive"]
    text(c, "OVERDRIVE", x + w / 2, y - 28, 40, GOTHIC, True, INK, tracking=4)
    text(c, "ON", x + w + 26, y + 70, 28, GOTHIC, True, INK_DIM)
    text(c, "OFF", x + w + 26, y + h - 70, 28, GOTHIC, True, INK_DIM)
    text(c, "GAIN STAGE", x + w / 2, y + h + 40, 26, SANS, True, INK_DIM, tracking=6)

    # Drive
    cx, cy = centre(L["drive"])
    text(c, "DRIVE", cx, 248, 52, GOTHIC, True, INK, tracking=8)
    _scale(c, cx, cy, 172, 192, [str(i) for i in range(11)], 218, 30)

    # tube type keys
    tx0, tx1 = L["typeT"][0], L["typeP2"][0] + L["typeP2"][2]
    _bracket(c, tx0, tx1, 950, "TUBE TYPE")
    for key in ("typeT", "typeP1", "typeP2"):
        x, y, w, h = L[key]
        _well(c, x - 4, y - 4, w + 8, h + 8, 12, depth=0.5)

    # tube window
    x, y, w, h = L["tube"]
    _window(c, x, y, w, h)

    # Mix
    cx, cy = centre(L["mix"])
    r_panel = KNOB["mix"][0] * KNOB["mix"][1]
    _scale(c, cx, cy, r_panel + 14, r_panel + 28, None, 0, 0, ticks=11)
    text(c, "DRY", cx - 100, cy + 118, 26, GOTHIC, True, INK_DIM)
    text(c, "WET", cx + 100, cy + 118, 26, GOTHIC, True, INK_DIM)
    text(c, "MIX", cx, cy + 158, 40, GOTHIC, True, INK, tracking=6)
    _badge(c, *centre(L["lab_m"]))

    # Output and Link
    cx, cy = centre(L["output"])
    text(c, "OUTPUT", cx, 248, 52, GOTHIC, True, INK, tracking=8)
    _scale(c, cx, cy, 162, 182, [str(i) for i in range(11)], 208, 30)
    x, y, w, h = L["link"]
    text(c, "LINK", x + w / 2, y + h + 30, 28, GOTHIC, True, INK, tracking=4)
    _lamp_seat(c, x, y, w, h, square=True)

    # Ultra and Power
    x, y, w, h = L["ultra"]
    text(c, "ULTRA", x + w / 2, 228, 40, GOTHIC, True, INK, tracking=6)
    text(c, "2x OVERSAMPLING", x + w / 2, y + h + 26, 22, SANS, True, INK_DIM, tracking=3)
    _lamp_seat(c, x, y, w, h, square=True)
    x, y, w, h = L["power"]
    text(c, "POWER", x + w / 2, y - 30, 40, GOTHIC, True, INK, tracking=6)
    _lamp_seat(c, x, y, w, h, square=False)

    # trims and filters
    minmax = {"intrim": ("-12", "+12", "INPUT"), "outtrim": ("-12", "+12", "OUTPUT"),
              "hp": ("20", "200", "HIGH PASS"), "lp": ("8k", "20k", "LOW PASS")}
    for key, (lo, hi, name) in minmax.items():
        cx, cy = centre(L[key])
        r_panel = KNOB["small"][0] * KNOB["small"][1]
        _scale(c, cx, cy, r_panel + 6, r_panel + 15, None, 0, 0, ticks=7, width=2)
        text(c, lo, cx - 0.62 * (r_panel + 15), cy + r_panel + 17, 23, SANS, True, INK_DIM)
        text(c, hi, cx + 0.62 * (r_panel + 15), cy + r_panel + 17, 23, SANS, True, INK_DIM)
        text(c, name, cx, 970, 26, GOTHIC, True, INK, tracking=3)
    for lab in ("lab_i", "lab_o", "lab_h", "lab_l"):
        _badge(c, *centre(L[lab]))

    # screws in the corners of the face
    for sx, sy in ((36, 200), (2515, 200), (36, 990), (2515, 990)):
        parts._screw(c, sx, sy, 13)

    # outer bevel: light on the top/left edge, dark on the bottom/right
    c.set_line_width(6)
    c.set_source_rgba(1, 1, 1, 0.10)
    c.move_to(3, H)
    c.line_to(3, 3)
    c.line_to(W, 3)
    c.stroke()
    c.set_source_rgba(0, 0, 0, 0.55)
    c.move_to(W - 3, 0)
    c.line_to(W - 3, H - 3)
    c.line_to(0, H - 3)
    c.stroke()
    return to_array(s)


def _well(c, x, y, w, h, r, depth=1.0):
    rounded_rect(c, x, y, w, h, r)
    c.set_source_rgba(0, 0, 0, 0.55 * depth)
    c.fill()
    # inner shadow along the top, catch light along the bottom edge
    c.save()
    rounded_rect(c, x, y, w, h, r)
    c.clip()
    g = cairo.LinearGradient(0, y, 0, y + 14)
    g.add_color_stop_rgba(0, 0, 0, 0, 0.6 * depth)
    g.add_color_stop_rgba(1, 0, 0, 0, 0)
    c.rectangle(x, y, w, 14)
    c.set_source(g)
    c.fill()
    c.restore()
    c.set_line_width(1.5)
    c.set_source_rgba(1, 1, 1, 0.10 * depth)
    c.move_to(x + r, y + h + 1)
    c.line_to(x + w - r, y + h + 1)
    c.stroke()


def _engraved_box(c, x, y, w, h):
    for off, col in ((1.5, (1, 1, 1, 0.06)), (0, (0, 0, 0, 0.55))):
        rounded_rect(c, x + off, y + off, w, h, 18)
        c.set_line_width(2)
        c.set_source_rgba(*col)
        c.stroke()


def _bracket(c, x0, x1, y, label, gap=250):
    """A printed bracket under a group of controls with its name in the middle."""
    c.set_line_width(2.5)
    c.set_source_rgba(*INK_DIM, 0.9)
    mid = (x0 + x1) / 2
    font_w = gap
    c.move_to(x0 + 6, y - 16)
    c.line_to(x0 + 6, y)
    c.line_to(mid - font_w / 2 - 12, y)
    c.move_to(mid + font_w / 2 + 12, y)
    c.line_to(x1 - 6, y)
    c.line_to(x1 - 6, y - 16)
    c.stroke()
    text(c, label, mid, y, 34, GOTHIC, True, INK, tracking=5)


def _scale(c, cx, cy, r0, r1, labels, rl, size, ticks=None, width=3):
    """Printed scale from 7 o'clock to 5 o'clock; major ticks with numbers, minor ticks between."""
    n = len(labels) if labels else ticks
    c.set_line_cap(cairo.LINE_CAP_ROUND)
    for i in range(n):
        a = math.radians(-150 + 300 * i / (n - 1) - 90)
        c.set_line_width(width)
        c.set_source_rgba(*INK, 0.95)
        c.move_to(cx + math.cos(a) * r0, cy + math.sin(a) * r0)
        c.line_to(cx + math.cos(a) * r1, cy + math.sin(a) * r1)
        c.stroke()
        if labels:
            text(c, labels[i], cx + math.cos(a) * rl, cy + math.sin(a) * rl, size, GOTHIC, True, INK)
        if labels and i < n - 1:
            for m in (1, 2, 3, 4):
                b = math.radians(-150 + 300 * (i + m / 5) / (n - 1) - 90)
                c.set_line_width(width * 0.6)
                c.set_source_rgba(*INK_DIM, 0.8)
                c.move_to(cx + math.cos(b) * r0, cy + math.sin(b) * r0)
                c.line_to(cx + math.cos(b) * (r0 + (r1 - r0) * 0.5), cy + math.sin(b) * (r0 + (r1 - r0) * 0.5))
                c.stroke()
    # an arc that carries the ticks
    c.new_path()
    c.set_line_width(width * 0.6)
    c.set_source_rgba(*INK_DIM, 0.6)
    c.arc(cx, cy, r0, math.radians(-240), math.radians(60))
    c.stroke()


def _badge(c, x, y):
    """Dark disc behind the editor's white letter labels."""
    rg = cairo.RadialGradient(x, y - 4, 4, x, y, 34)
    rg.add_color_stop_rgb(0, 0.09, 0.09, 0.095)
    rg.add_color_stop_rgb(1, 0.03, 0.03, 0.035)
    c.arc(x, y, 32, 0, 2 * math.pi)
    c.set_source(rg)
    c.fill()
    c.set_line_width(2)
    c.arc(x, y, 32, 0, 2 * math.pi)
    lg = cairo.LinearGradient(x, y - 32, x, y + 32)
    lg.add_color_stop_rgba(0, 0, 0, 0, 0.7)
    lg.add_color_stop_rgba(1, 1, 1, 1, 0.18)
    c.set_source(lg)
    c.stroke()


def _lamp_seat(c, x, y, w, h, square):
    """A dark ring printed under a lamp bezel, so the lamp sits in the panel, not on it."""
    cx, cy = x + w / 2, y + h / 2
    c.set_source_rgba(0, 0, 0, 0.35)
    if square:
        rounded_rect(c, x + w * 0.08, y + h * 0.08, w * 0.84, h * 0.84, w * 0.15)
    else:
        c.arc(cx, cy, w * 0.45, 0, 2 * math.pi)
    c.fill()


def _window(c, x, y, w, h):
    """The bezel round the tube glow: black frame, chrome lip, four screws, a label plate."""
    m = 26
    rounded_rect(c, x - m, y - m, w + 2 * m, h + 2 * m, 22)
    g = cairo.LinearGradient(x - m, y - m, x + w + m, y + h + m)
    g.add_color_stop_rgb(0, 0.20, 0.20, 0.21)
    g.add_color_stop_rgb(0.5, 0.08, 0.08, 0.085)
    g.add_color_stop_rgb(1, 0.03, 0.03, 0.03)
    c.set_source(g)
    c.fill()
    rounded_rect(c, x - 6, y - 6, w + 12, h + 12, 10)
    lg = cairo.LinearGradient(x, y, x + w, y + h)
    lg.add_color_stop_rgb(0, 0.85, 0.85, 0.84)
    lg.add_color_stop_rgb(0.5, 0.45, 0.45, 0.46)
    lg.add_color_stop_rgb(1, 0.20, 0.20, 0.21)
    c.set_source(lg)
    c.fill()
    c.rectangle(x, y, w, h)
    c.set_source_rgb(0, 0, 0)
    c.fill()
    for sx, sy in ((x - m / 2, y - m / 2), (x + w + m / 2, y - m / 2), (x - m / 2, y + h + m / 2),
                   (x + w + m / 2, y + h + m / 2)):
        parts._screw(c, sx, sy, 8)


def main():
    ap = argparse.ArgumentParser()
    here = os.path.dirname(os.path.abspath(__file__))
    ap.add_argument("--out", default=os.path.normpath(os.path.join(here, "..", "..", "src", "resources", "images")))
    ap.add_argument("--only", default="")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    only = set(filter(None, args.only.split(",")))

    def want(name):
        return not only or name in only

    def out(name):
        return os.path.join(args.out, name)

    t0 = time.time()
    if want("panel"):
        save_png(panel(), out("panel.png"))
    if want("knobs"):
        save_png(knobs.knob_strip(399, 383, "red", KNOB["drive"][0]), out("knob_drive.png"))
        save_png(knobs.knob_strip(371, 381, "black", KNOB["output"][0]), out("knob_output.png"))
        save_png(knobs.knob_strip(371, 381, "silver", KNOB["mix"][0]), out("knob_mix.png"), colours=128)  # turned metal hides banding
        save_png(knobs.knob_strip(192, 178, "small", KNOB["small"][0]), out("knob_small.png"), colours=128)
    if want("glow"):
        tube = parts.TubeGlow(302, 438)
        frames = [tube.frame(i / 63.0) for i in range(64)]
        save_png(np.concatenate(frames, axis=0), out("tube_glow.png"))
    if want("switches"):
        save_png(np.concatenate([parts.toggle_lever(220, 279, True), parts.toggle_lever(220, 279, False)]),
                 out("switch_overdrive.png"), palette=False)
        for label in ("T", "P1", "P2"):
            save_png(np.concatenate([parts.type_key(203, 192, label, False), parts.type_key(203, 192, label, True)]),
                     out(f"key_{label}.png"), palette=False)
        cyan, magenta, green = (0.15, 0.85, 0.95), (0.95, 0.20, 0.80), (0.25, 0.95, 0.35)
        save_png(np.concatenate([parts.lamp_square(145, 141, cyan, True), parts.lamp_square(145, 141, cyan, False)]),
                 out("lamp_link.png"), palette=False)
        save_png(np.concatenate([parts.lamp_square(145, 141, magenta, True),
                                 parts.lamp_square(145, 141, magenta, False)]), out("lamp_ultra.png"), palette=False)
        # Power: dark on top (parameter on = pass-through), lit below (processing)
        save_png(np.concatenate([parts.lamp_round(206, 206, green, False), parts.lamp_round(206, 206, green, True)]),
                 out("lamp_power.png"), palette=False)
    if want("logo"):
        save_png(parts.logo(92, 86), out("logo.png"), palette=False)
    print(f"art: done in {time.time() - t0:.1f} s -> {args.out}")


if __name__ == "__main__":
    main()
