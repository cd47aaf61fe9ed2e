"""Film-strip knobs: 64 frames, pointer from 7 o'clock (frame 0) to 5 o'clock (frame 63)."""
import math

import cairo
import numpy as np

from artkit import (LIGHT_ANGLE, from_array, light_factor, over, radial_coords, shadow_of,
                    surface, to_array)

FRAMES = 64
START_DEG, END_DEG = -150.0, 150.0     # from 12 o'clock, clockwise


def pointer_angle(frame):
    """Screen angle of the pointer in radians (0 = right, y down)."""
    deg = START_DEG + (END_DEG - START_DEG) * frame / (FRAMES - 1)
    return math.radians(deg - 90.0)


STYLES = {
    # skirt colour, cap colours (highlight, mid, edge), pointer colour, cap ratio, spun metal cap
    "red":    dict(skirt=(0.07, 0.07, 0.075), cap=((1.0, 0.42, 0.36), (0.78, 0.10, 0.09), (0.33, 0.03, 0.03)),
                   pointer=(0.97, 0.94, 0.86), cap_ratio=0.74, spun=False, gloss=0.55),
    "black":  dict(skirt=(0.06, 0.06, 0.065), cap=((0.36, 0.36, 0.38), (0.11, 0.11, 0.12), (0.03, 0.03, 0.035)),
                   pointer=(0.97, 0.94, 0.86), cap_ratio=0.74, spun=False, gloss=0.35),
    "silver": dict(skirt=(0.08, 0.08, 0.085), cap=None, pointer=(0.08, 0.08, 0.08), cap_ratio=0.76, spun=True,
                   gloss=0.0),
    "small":  dict(skirt=(0.07, 0.07, 0.075), cap=None, pointer=(0.98, 0.96, 0.9), cap_ratio=0.62, spun=True,
                   gloss=0.0, dark_pointer_backing=True),
}


def _spun_metal(w, h, cx, cy, r):
    """Turned aluminium: reflections fixed to the light, fine concentric rings."""
    rho, phi = radial_coords(w, h, cx, cy)
    rng = np.random.default_rng(7)
    rings = np.interp(rho, np.arange(0, r + 2, 0.7), rng.normal(0, 1, int((r + 2) / 0.7) + 1)).astype(np.float32)
    a = phi - LIGHT_ANGLE
    v = 0.60 + 0.20 * np.cos(2 * a) + 0.07 * np.cos(4 * a + 0.6) + 0.018 * rings
    v -= 0.10 * (rho / r) ** 2
    rgb = np.stack([v * 0.97, v * 0.98, v * 1.0], axis=-1)
    alpha = np.clip(r - rho + 0.5, 0, 1)
    return np.concatenate([np.clip(rgb, 0, 1), alpha[..., None]], axis=-1).astype(np.float32)


def _static_layer(w, h, cx, cy, r, st):
    s, c = surface(w, h)
    # skirt: a dark cylinder, lit edge toward the light
    g = cairo.LinearGradient(cx + r * math.cos(LIGHT_ANGLE), cy + r * math.sin(LIGHT_ANGLE),
                             cx - r * math.cos(LIGHT_ANGLE), cy - r * math.sin(LIGHT_ANGLE))
    k = st["skirt"]
    g.add_color_stop_rgb(0.0, k[0] + 0.22, k[1] + 0.22, k[2] + 0.23)
    g.add_color_stop_rgb(0.45, *k)
    g.add_color_stop_rgb(1.0, k[0] * 0.4, k[1] * 0.4, k[2] * 0.4)
    c.arc(cx, cy, r, 0, 2 * math.pi)
    c.set_source(g)
    c.fill()
    # top face of the skirt, slightly inset
    c.arc(cx, cy, r * 0.93, 0, 2 * math.pi)
    rg = cairo.RadialGradient(cx - 0.3 * r, cy - 0.4 * r, 0, cx, cy, r)
    rg.add_color_stop_rgb(0, k[0] + 0.10, k[1] + 0.10, k[2] + 0.11)
    rg.add_color_stop_rgb(1, k[0] * 0.7, k[1] * 0.7, k[2] * 0.7)
    c.set_source(rg)
    c.fill()
    arr = to_array(s)

    cr = r * st["cap_ratio"]
    # the cap throws a short shadow onto the skirt
    cap_mask_s, cm = surface(w, h)
    cm.arc(cx, cy, cr, 0, 2 * math.pi)
    cm.set_source_rgb(0, 0, 0)
    cm.fill()
    cap_shadow = shadow_of(to_array(cap_mask_s), 0.03 * r, 0.05 * r, 0.04 * r, 0.7)
    arr = over(arr, cap_shadow)

    if st["spun"]:
        cap = _spun_metal(w, h, cx, cy, cr)
        # bevelled rim: bright toward the light, dark away from it
        rho, phi = radial_coords(w, h, cx, cy)
        rim = (rho > cr * 0.9) & (rho <= cr)
        shade = 0.25 + 0.75 * (0.5 + 0.5 * np.cos(phi - LIGHT_ANGLE))
        cap[..., :3] = np.where(rim[..., None], (cap[..., :3] * 0.35 + shade[..., None] * 0.65), cap[..., :3])
        arr = over(arr, cap)
    else:
        hi, mid, edge = st["cap"]
        s2, c2 = surface(w, h)
        rg = cairo.RadialGradient(cx - 0.35 * cr, cy - 0.45 * cr, 0.05 * cr, cx, cy, cr * 1.05)
        rg.add_color_stop_rgb(0.0, *hi)
        rg.add_color_stop_rgb(0.45, *mid)
        rg.add_color_stop_rgb(1.0, *edge)
        c2.arc(cx, cy, cr, 0, 2 * math.pi)
        c2.set_source(rg)
        c2.fill()
        # rim ring catching the light
        lg = cairo.LinearGradient(cx - cr * 0.7, cy - cr * 0.7, cx + cr * 0.7, cy + cr * 0.7)
        lg.add_color_stop_rgba(0, 1, 1, 1, 0.45)
        lg.add_color_stop_rgba(0.5, 1, 1, 1, 0.0)
        lg.add_color_stop_rgba(1, 0, 0, 0, 0.5)
        c2.set_line_width(max(1.5, cr * 0.035))
        c2.arc(cx, cy, cr - cr * 0.02, 0, 2 * math.pi)
        c2.set_source(lg)
        c2.stroke()
        # gloss: a soft specular window toward the light
        c2.save()
        c2.translate(cx - 0.32 * cr, cy - 0.42 * cr)
        c2.scale(0.55 * cr, 0.32 * cr)
        sg = cairo.RadialGradient(0, 0, 0, 0, 0, 1)
        sg.add_color_stop_rgba(0, 1, 1, 1, st["gloss"])
        sg.add_color_stop_rgba(1, 1, 1, 1, 0)
        c2.arc(0, 0, 1, 0, 2 * math.pi)
        c2.set_source(sg)
        c2.fill()
        c2.restore()
        arr = over(arr, to_array(s2))
    return arr


def _moving_layer(ctx, cx, cy, r, st, ang):
    cr = r * st["cap_ratio"]
    # knurled skirt edge: ridges turn with the knob, their shading stays with the light
    n = 48
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)
    for i in range(n):
        a = ang + 2 * math.pi * i / n
        lf = light_factor(a)
        ctx.set_line_width(max(1.0, r * 0.022))
        ctx.set_source_rgba(lf, lf, lf, 0.10 + 0.22 * lf)
        ctx.move_to(cx + math.cos(a) * r * 0.935, cy + math.sin(a) * r * 0.935)
        ctx.line_to(cx + math.cos(a) * r * 0.995, cy + math.sin(a) * r * 0.995)
        ctx.stroke()
    # position mark on the skirt
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_width(max(2.0, r * 0.05))
    ctx.set_source_rgb(0.97, 0.94, 0.86)
    ctx.move_to(cx + math.cos(ang) * (cr + r * 0.06), cy + math.sin(ang) * (cr + r * 0.06))
    ctx.line_to(cx + math.cos(ang) * r * 0.9, cy + math.sin(ang) * r * 0.9)
    ctx.stroke()
    # pointer inlaid in the cap, with a hairline shadow on its far side
    x0, y0 = cx + math.cos(ang) * cr * 0.30, cy + math.sin(ang) * cr * 0.30
    x1, y1 = cx + math.cos(ang) * cr * 0.86, cy + math.sin(ang) * cr * 0.86
    lw = max(2.2, cr * 0.075)
    if st.get("dark_pointer_backing"):
        ctx.set_line_width(lw * 1.9)
        ctx.set_source_rgba(0.05, 0.05, 0.05, 0.85)
        ctx.move_to(x0, y0)
        ctx.line_to(x1, y1)
        ctx.stroke()
    ctx.set_line_width(lw)
    ctx.set_source_rgba(0, 0, 0, 0.35)
    ctx.move_to(x0 + 1.2, y0 + 1.6)
    ctx.line_to(x1 + 1.2, y1 + 1.6)
    ctx.stroke()
    ctx.set_source_rgb(*st["pointer"])
    ctx.move_to(x0, y0)
    ctx.line_to(x1, y1)
    ctx.stroke()


def knob_strip(fw, fh, style, radius, centre=None):
    """64 frames of fw x fh stacked vertically, as one float RGBA array."""
    st = STYLES[style]
    cx, cy = centre if centre else (fw / 2.0, fh / 2.0)
    base = _static_layer(fw, fh, cx, cy, radius, st)
    # shadow of the whole knob onto the panel, away from the light
    drop = shadow_of(base, radius * 0.06, radius * 0.10, radius * 0.09, 0.75)
    contact = shadow_of(base, radius * 0.01, radius * 0.03, radius * 0.025, 0.6)
    base = over(over(drop, contact), base)
    frames = []
    for f in range(FRAMES):
        s = from_array(base)
        c = cairo.Context(s)
        _moving_layer(c, cx, cy, radius, st, pointer_angle(f))
        frames.append(to_array(s))
    return np.concatenate(frames, axis=0)
