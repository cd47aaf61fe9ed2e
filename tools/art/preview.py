#!/usr/bin/python3
"""Quick composite of the generated pictures at their layout places (art review without a build)."""
import os
import sys

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from generate_art import L  # noqa: E402

img_dir = sys.argv[1]
out = sys.argv[2]
frame = int(sys.argv[3]) if len(sys.argv) > 3 else 20
on = len(sys.argv) > 4
scale = float(sys.argv[5]) if len(sys.argv) > 5 else 1.0


def strip(name, frames, index):
    im = Image.open(os.path.join(img_dir, name)).convert("RGBA")
    fh = im.height // frames
    return im.crop((0, index * fh, im.width, (index + 1) * fh))


panel = Image.open(os.path.join(img_dir, "panel.png")).convert("RGBA")


def put(im, box):
    x, y, w, h = box
    panel.alpha_composite(im.resize((w, h), Image.LANCZOS), (x, y))


put(Image.open(os.path.join(img_dir, "logo.png")).convert("RGBA"), (L["info"][0] + 19, L["info"][1] + 22, 92, 86))
put(strip("knob_drive.png", 64, frame), L["drive"])
put(strip("knob_output.png", 64, 63 - frame), L["output"])
put(strip("knob_mix.png", 64, 63), L["mix"])
for k in ("intrim", "outtrim", "hp", "lp"):
    put(strip("knob_small.png", 64, 32 if k in ("intrim", "outtrim") else (0 if k == "hp" else 63)), L[k])
put(strip("tube_glow.png", 64, 51 if on else 0), L["tube"])
put(strip("switch_overdrive.png", 2, 0 if on else 1), L["overdrive"])
put(strip("key_T.png", 2, 0 if on else 1), L["typeT"])
put(strip("key_P1.png", 2, 0), L["typeP1"])
put(strip("key_P2.png", 2, 1 if on else 0), L["typeP2"])
put(strip("lamp_link.png", 2, 0), L["link"])
put(strip("lamp_ultra.png", 2, 0 if on else 1), L["ultra"])
put(strip("lamp_power.png", 2, 1), L["power"])
if scale != 1.0:
    panel = panel.resize((int(panel.width * scale), int(panel.height * scale)), Image.LANCZOS)
panel.save(out)
