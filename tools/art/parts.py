"""Switches, lamps, keys, the tube glow strip and the logo."""
import math

import cairo
import numpy as np

from artkit import (GOTHIC, LIGHT_ANGLE, blur, over, radial_coords, rounded_rect, shadow_of,
                    surface, text, to_array)


def _chrome_ring(c, cx, cy, r_out, r_in):
    g = cairo.LinearGradient(cx - r_out * 0.7, cy - r_out * 0.7, cx + r_out * 0.7, cy + r_out * 0.7)
    g.add_color_stop_rgb(0.0, 0.93, 0.93, 0.92)
    g.add_color_stop_rgb(0.35, 0.62, 0.62, 0.62)
    g.add_color_stop_rgb(0.55, 0.82, 0.82, 0.81)
    g.add_color_stop_rgb(1.0, 0.25, 0.25, 0.26)
    c.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    c.arc(cx, cy, r_out, 0, 2 * math.pi)
    c.new_sub_path()
    c.arc(cx, cy, r_in, 0, 2 * math.pi)
    c.set_source(g)
    c.fill()
    c.set_fill_rule(cairo.FILL_RULE_WINDING)


def _with_shadow(arr, size):
    return over(over(shadow_of(arr, size * 0.04, size * 0.06, size * 0.05, 0.7),
                     shadow_of(arr, size * 0.01, size * 0.015, size * 0.012, 0.5)), arr)


# ---------------------------------------------------------------------------------------------------------------
def lamp_round(w, h, colour, lit):
    """Round jewel lamp in a chrome bezel (Power)."""
    s, c = surface(w, h)
    cx, cy, r = w / 2, h / 2 - 2, min(w, h) * 0.40
    _chrome_ring(c, cx, cy, r, r * 0.80)
    # jewel lens
    lr = r * 0.80
    rg = cairo.RadialGradient(cx - lr * 0.25, cy - lr * 0.3, lr * 0.05, cx, cy, lr)
    if lit:
        rg.add_color_stop_rgb(0.0, min(1, colour[0] + 0.65), min(1, colour[1] + 0.55), min(1, colour[2] + 0.6))
        rg.add_color_stop_rgb(0.45, *colour)
        rg.add_color_stop_rgb(1.0, colour[0] * 0.45, colour[1] * 0.45, colour[2] * 0.45)
    else:
        d = [v * 0.22 + 0.03 for v in colour]
        rg.add_color_stop_rgb(0.0, d[0] + 0.10, d[1] + 0.10, d[2] + 0.10)
        rg.add_color_stop_rgb(0.6, *d)
        rg.add_color_stop_rgb(1.0, d[0] * 0.4, d[1] * 0.4, d[2] * 0.4)
    c.arc(cx, cy, lr, 0, 2 * math.pi)
    c.set_source(rg)
    c.fill()
    _facets(c, cx, cy, lr, lit)
    arr = _with_shadow(to_array(s), w)
    if lit:
        arr = _halo(arr, cx, cy, lr, colour)
    return arr


def _facets(c, cx, cy, lr, lit):
    # cut-glass facets: a ring of wedges alternating light and dark
    n = 12
    for i in range(n):
        a0 = 2 * math.pi * i / n
        a1 = a0 + 2 * math.pi / n
        c.move_to(cx, cy)
        c.arc(cx, cy, lr * 0.98, a0, a1)
        c.close_path()
        f = 0.5 + 0.5 * math.cos((a0 + a1) / 2 - LIGHT_ANGLE)
        if i % 2 == 0:
            c.set_source_rgba(1, 1, 1, (0.10 if lit else 0.06) * f)
        else:
            c.set_source_rgba(0, 0, 0, 0.10)
        c.fill()
    # specular spot toward the light
    c.save()
    c.translate(cx - lr * 0.38, cy - lr * 0.42)
    c.scale(lr * 0.32, lr * 0.20)
    sg = cairo.RadialGradient(0, 0, 0, 0, 0, 1)
    sg.add_color_stop_rgba(0, 1, 1, 1, 0.85)
    sg.add_color_stop_rgba(1, 1, 1, 1, 0)
    c.arc(0, 0, 1, 0, 2 * math.pi)
    c.set_source(sg)
    c.fill()
    c.restore()


def _halo(arr, cx, cy, lr, colour):
    h, w = arr.shape[:2]
    rho, _ = radial_coords(w, h, cx, cy)
    reach = min(lr * 0.9, min(w, h) / 2 - lr - 4)
    glow = np.clip(1.0 - (rho - lr) / reach, 0, 1) ** 2 * (rho > lr * 0.95)
    halo = np.zeros_like(arr)
    halo[..., 0], halo[..., 1], halo[..., 2] = colour
    halo[..., 3] = glow * 0.35
    # the halo sits under the bezel (the bezel is opaque where it is)
    return over(halo, arr)


def lamp_square(w, h, colour, lit):
    """Square jewel lamp in a chrome bezel (Link, Ultra)."""
    s, c = surface(w, h)
    m = w * 0.14
    bx, by, bw, bh = m, m - 2, w - 2 * m, h - 2 * m
    rounded_rect(c, bx, by, bw, bh, bw * 0.14)
    g = cairo.LinearGradient(bx, by, bx + bw, by + bh)
    g.add_color_stop_rgb(0.0, 0.93, 0.93, 0.92)
    g.add_color_stop_rgb(0.4, 0.60, 0.60, 0.60)
    g.add_color_stop_rgb(0.6, 0.80, 0.80, 0.79)
    g.add_color_stop_rgb(1.0, 0.24, 0.24, 0.25)
    c.set_source(g)
    c.fill()
    i = bw * 0.13
    lx, ly, lw, lh = bx + i, by + i, bw - 2 * i, bh - 2 * i
    rounded_rect(c, lx, ly, lw, lh, lw * 0.10)
    c.save()
    c.clip()
    cx, cy = lx + lw / 2, ly + lh / 2
    rg = cairo.RadialGradient(cx - lw * 0.15, cy - lh * 0.2, lw * 0.05, cx, cy, lw * 0.75)
    if lit:
        rg.add_color_stop_rgb(0.0, min(1, colour[0] + 0.7), min(1, colour[1] + 0.6), min(1, colour[2] + 0.6))
        rg.add_color_stop_rgb(0.5, *colour)
        rg.add_color_stop_rgb(1.0, colour[0] * 0.45, colour[1] * 0.45, colour[2] * 0.45)
    else:
        d = [v * 0.20 + 0.03 for v in colour]
        rg.add_color_stop_rgb(0.0, d[0] + 0.08, d[1] + 0.08, d[2] + 0.08)
        rg.add_color_stop_rgb(1.0, d[0] * 0.4, d[1] * 0.4, d[2] * 0.4)
    c.rectangle(lx, ly, lw, lh)
    c.set_source(rg)
    c.fill()
    # prismatic grid of the lens
    c.set_line_width(1.0)
    for k in range(1, 6):
        c.set_source_rgba(1, 1, 1, 0.10 if lit else 0.05)
        c.move_to(lx + lw * k / 6, ly)
        c.line_to(lx + lw * k / 6, ly + lh)
        c.move_to(lx, ly + lh * k / 6)
        c.line_to(lx + lw, ly + lh * k / 6)
        c.stroke()
    sg = cairo.LinearGradient(lx, ly, lx, ly + lh * 0.5)
    sg.add_color_stop_rgba(0, 1, 1, 1, 0.35)
    sg.add_color_stop_rgba(1, 1, 1, 1, 0.0)
    c.rectangle(lx, ly, lw, lh * 0.45)
    c.set_source(sg)
    c.fill()
    c.restore()
    arr = _with_shadow(to_array(s), w)
    if lit:
        arr = _halo(arr, w / 2, h / 2 - 2, lw * 0.5, colour)
    return arr


# ---------------------------------------------------------------------------------------------------------------
def type_key(w, h, label, lit):
    """A square push key with its letters; lit keys glow amber from inside."""
    s, c = surface(w, h)
    m = 16
    kx, ky, kw, kh = m, m - 4, w - 2 * m, h - 2 * m
    # well
    rounded_rect(c, kx - 6, ky - 6, kw + 12, kh + 12, 16)
    c.set_source_rgb(0.02, 0.02, 0.02)
    c.fill()
    press = 3 if lit else 0
    ky += press
    # key cap sides
    rounded_rect(c, kx, ky, kw, kh, 12)
    g = cairo.LinearGradient(kx, ky, kx, ky + kh)
    if lit:
        g.add_color_stop_rgb(0, 0.98, 0.80, 0.50)
        g.add_color_stop_rgb(1, 0.72, 0.36, 0.08)
    else:
        g.add_color_stop_rgb(0, 0.36, 0.35, 0.33)
        g.add_color_stop_rgb(1, 0.12, 0.12, 0.12)
    c.set_source(g)
    c.fill()
    # key face
    f = 9
    rounded_rect(c, kx + f, ky + f - 2, kw - 2 * f, kh - 2 * f, 8)
    rg = cairo.RadialGradient(kx + kw / 2, ky + kh * 0.45, 5, kx + kw / 2, ky + kh / 2, kw * 0.7)
    if lit:
        rg.add_color_stop_rgb(0, 1.0, 0.86, 0.55)
        rg.add_color_stop_rgb(1, 0.90, 0.52, 0.14)
    else:
        rg.add_color_stop_rgb(0, 0.24, 0.235, 0.225)
        rg.add_color_stop_rgb(1, 0.15, 0.148, 0.145)
    c.set_source(rg)
    c.fill()
    # letters: engraved into an unlit key, glowing through a lit one
    col = (0.30, 0.12, 0.02) if lit else (0.86, 0.82, 0.74)
    text(c, label, kx + kw / 2, ky + kh / 2 - 2, 64, GOTHIC, True, col)
    # top edge highlight
    rounded_rect(c, kx + 1, ky + 1, kw - 2, kh - 2, 11)
    c.set_line_width(2)
    lg = cairo.LinearGradient(kx, ky, kx, ky + kh)
    lg.add_color_stop_rgba(0, 1, 1, 1, 0.35)
    lg.add_color_stop_rgba(0.3, 1, 1, 1, 0.0)
    c.set_source(lg)
    c.stroke()
    arr = to_array(s)
    if lit:
        # light spilling round the key onto the well
        halo = np.zeros_like(arr)
        mask_s, mc = surface(w, h)
        rounded_rect(mc, kx, ky, kw, kh, 12)
        mc.set_source_rgb(0, 0, 0)
        mc.fill()
        mask = blur(to_array(mask_s), 10)[..., 3]
        halo[..., 0], halo[..., 1], halo[..., 2] = 1.0, 0.62, 0.2
        halo[..., 3] = mask * 0.45
        arr = over(halo, arr)
    return _with_shadow(arr, w * 0.6)


# ---------------------------------------------------------------------------------------------------------------
def toggle_lever(w, h, up):
    """Bat-handle toggle on a chrome plate: lever up (on) or down."""
    s, c = surface(w, h)
    cx, cy = w / 2, h / 2
    # mounting plate with two screws
    pw, ph = w * 0.56, h * 0.80
    rounded_rect(c, cx - pw / 2, cy - ph / 2, pw, ph, 14)
    g = cairo.LinearGradient(cx - pw / 2, 0, cx + pw / 2, 0)
    for t, v in ((0, 0.16), (0.2, 0.30), (0.5, 0.20), (0.8, 0.26), (1, 0.10)):
        g.add_color_stop_rgb(t, v, v, v * 1.02)
    c.set_source(g)
    c.fill()
    rounded_rect(c, cx - pw / 2, cy - ph / 2, pw, ph, 14)
    c.set_line_width(2)
    c.set_source_rgba(0, 0, 0, 0.5)
    c.stroke()
    for sy in (cy - ph / 2 + 22, cy + ph / 2 - 22):
        _screw(c, cx, sy, 9)
    # hex nut and bushing
    nr = 34
    c.move_to(cx + nr, cy)
    for k in range(1, 7):
        a = k * math.pi / 3
        c.line_to(cx + nr * math.cos(a), cy + nr * math.sin(a))
    c.close_path()
    ng = cairo.LinearGradient(cx - nr, cy - nr, cx + nr, cy + nr)
    ng.add_color_stop_rgb(0, 0.95, 0.95, 0.94)
    ng.add_color_stop_rgb(0.5, 0.55, 0.55, 0.56)
    ng.add_color_stop_rgb(1, 0.22, 0.22, 0.23)
    c.set_source(ng)
    c.fill()
    _chrome_ring(c, cx, cy, 22, 0.1)
    arr = to_array(s)
    # the bat lever, foreshortened toward its tip
    ls, lc = surface(w, h)
    direction = -1 if up else 1
    tip_y = cy + direction * h * 0.40
    r0, r1 = 13, 25
    lc.move_to(cx - r0, cy)
    lc.line_to(cx - r1, tip_y)
    lc.line_to(cx + r1, tip_y)
    lc.line_to(cx + r0, cy)
    lc.close_path()
    lg = cairo.LinearGradient(cx - r1, 0, cx + r1, 0)
    for t, v in ((0, 0.35), (0.25, 0.98), (0.45, 0.80), (0.75, 0.45), (1, 0.20)):
        lg.add_color_stop_rgb(t, v, v, v)
    lc.set_source(lg)
    lc.fill()
    # rounded tip
    lc.save()
    lc.translate(cx, tip_y)
    lc.scale(r1, r1 * 0.55)
    lc.arc(0, 0, 1, 0, 2 * math.pi)
    lc.restore()
    tg = cairo.RadialGradient(cx - r1 * 0.4, tip_y - r1 * 0.25, 1, cx, tip_y, r1 * 1.1)
    tg.add_color_stop_rgb(0, 1, 1, 1)
    tg.add_color_stop_rgb(0.5, 0.70, 0.70, 0.70)
    tg.add_color_stop_rgb(1, 0.30, 0.30, 0.30)
    lc.set_source(tg)
    lc.fill()
    lever = to_array(ls)
    arr = over(arr, shadow_of(lever, 10, 14 + (0 if up else 6), 7, 0.6))
    arr = over(arr, lever)
    return _with_shadow(arr, w * 0.5)


def _screw(c, x, y, r):
    rg = cairo.RadialGradient(x - r * 0.3, y - r * 0.3, 0.5, x, y, r)
    rg.add_color_stop_rgb(0, 0.95, 0.95, 0.94)
    rg.add_color_stop_rgb(1, 0.35, 0.35, 0.36)
    c.arc(x, y, r, 0, 2 * math.pi)
    c.set_source(rg)
    c.fill()
    c.set_line_width(max(1.5, r * 0.25))
    c.set_source_rgba(0.1, 0.1, 0.1, 0.8)
    a = math.radians(35)
    c.move_to(x - math.cos(a) * r * 0.8, y - math.sin(a) * r * 0.8)
    c.line_to(x + math.cos(a) * r * 0.8, y + math.sin(a) * r * 0.8)
    c.stroke()


# ---------------------------------------------------------------------------------------------------------------
def logo(w, h):
    """White line drawing: a valve inside a ring, the product's mark."""
    s, c = surface(w, h)
    cx, cy = w / 2, h / 2
    c.set_source_rgba(1, 1, 1, 1)
    c.set_line_width(3)
    c.arc(cx, cy, min(w, h) / 2 - 3, 0, 2 * math.pi)
    c.stroke()
    # glass envelope
    c.set_line_width(2.6)
    ew, top, bot = 30, cy - 30, cy + 24
    c.move_to(cx - ew / 2, bot)
    c.line_to(cx - ew / 2, top + ew / 2)
    c.arc(cx, top + ew / 2, ew / 2, math.pi, 2 * math.pi)
    c.line_to(cx + ew / 2, bot)
    c.stroke()
    c.move_to(cx - ew / 2 - 5, bot)
    c.line_to(cx + ew / 2 + 5, bot)
    c.stroke()
    # plate and grid
    c.set_line_width(2.2)
    c.rectangle(cx - 8, top + 14, 16, 26)
    c.stroke()
    c.set_line_width(1.6)
    for k in range(4):
        y = top + 19 + k * 5.5
        c.move_to(cx - 4, y)
        c.line_to(cx + 4, y)
    c.stroke()
    # pins
    for dx in (-9, -3, 3, 9):
        c.move_to(cx + dx, bot)
        c.line_to(cx + dx, bot + 7)
    c.stroke()
    return to_array(s)


# ---------------------------------------------------------------------------------------------------------------
class TubeGlow:
    """A triode behind the panel's window, from cold (frame 0) to fully glowing (frame 63)."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.cold = self._render_tube()
        self.glow = self._glow_layers()

    def _render_tube(self):
        w, h = self.w, self.h
        s, c = surface(w, h)
        # recess behind the window: dark, lit a little from above
        g = cairo.LinearGradient(0, 0, 0, h)
        g.add_color_stop_rgb(0, 0.075, 0.07, 0.068)
        g.add_color_stop_rgb(1, 0.025, 0.024, 0.024)
        c.rectangle(0, 0, w, h)
        c.set_source(g)
        c.fill()
        cx = w / 2
        # socket
        sy = h * 0.83
        rounded_rect(c, cx - 84, sy, 168, 44, 10)
        sg = cairo.LinearGradient(0, sy, 0, sy + 44)
        sg.add_color_stop_rgb(0, 0.30, 0.27, 0.22)
        sg.add_color_stop_rgb(1, 0.08, 0.07, 0.06)
        c.set_source(sg)
        c.fill()
        # bakelite base of the tube
        rounded_rect(c, cx - 56, sy - 30, 112, 36, 6)
        bg = cairo.LinearGradient(cx - 56, 0, cx + 56, 0)
        bg.add_color_stop_rgb(0, 0.06, 0.05, 0.04)
        bg.add_color_stop_rgb(0.3, 0.22, 0.18, 0.14)
        bg.add_color_stop_rgb(1, 0.04, 0.035, 0.03)
        c.set_source(bg)
        c.fill()
        self.env = (cx - 58, h * 0.08, 116, sy - 20 - h * 0.08)   # glass envelope box
        ex, ey, ew, eh = self.env
        # internal structure: mica spacers, plates, grid supports
        c.set_source_rgba(0.55, 0.52, 0.45, 0.9)
        for my in (ey + eh * 0.22, ey + eh * 0.80):
            rounded_rect(c, ex + 8, my, ew - 16, 6, 2)
            c.fill()
        px, pw, py, ph = cx - 34, 68, ey + eh * 0.26, eh * 0.52
        self.plate = (px, py, pw, ph)
        pg = cairo.LinearGradient(px, 0, px + pw, 0)
        for t, v in ((0, 0.10), (0.25, 0.30), (0.5, 0.18), (0.75, 0.26), (1, 0.08)):
            pg.add_color_stop_rgb(t, v, v * 0.98, v * 0.95)
        c.rectangle(px, py, pw, ph)
        c.set_source(pg)
        c.fill()
        c.set_source_rgba(0, 0, 0, 0.6)
        c.set_line_width(1.2)
        for k in range(1, 6):
            c.move_to(px + pw * k / 6, py)
            c.line_to(px + pw * k / 6, py + ph)
        c.stroke()
        self.slot = (cx - 5, py + 6, 10, ph - 12)          # where the heater shows through
        c.rectangle(*self.slot)
        c.set_source_rgb(0.02, 0.015, 0.01)
        c.fill()
        c.set_source_rgba(0.6, 0.58, 0.52, 0.9)
        c.set_line_width(2)
        for dx in (-44, 44):
            c.move_to(cx + dx, ey + eh * 0.18)
            c.line_to(cx + dx, ey + eh * 0.95)
        c.stroke()
        # getter flash at the top of the glass
        gt = cairo.LinearGradient(0, ey, 0, ey + eh * 0.16)
        gt.add_color_stop_rgba(0, 0.55, 0.56, 0.60, 0.95)
        gt.add_color_stop_rgba(1, 0.30, 0.30, 0.34, 0.0)
        c.save()
        self._envelope_path(c)
        c.clip()
        c.rectangle(ex, ey, ew, eh * 0.18)
        c.set_source(gt)
        c.fill()
        c.restore()
        # glass: faint body tint and reflections toward the light
        self._envelope_path(c)
        c.set_source_rgba(0.7, 0.75, 0.8, 0.06)
        c.fill_preserve()
        c.set_line_width(2.5)
        c.set_source_rgba(0.8, 0.85, 0.9, 0.35)
        c.stroke()
        rg = cairo.LinearGradient(ex, 0, ex + ew, 0)
        rg.add_color_stop_rgba(0.0, 1, 1, 1, 0.0)
        rg.add_color_stop_rgba(0.12, 1, 1, 1, 0.30)
        rg.add_color_stop_rgba(0.22, 1, 1, 1, 0.0)
        rg.add_color_stop_rgba(0.85, 1, 1, 1, 0.0)
        rg.add_color_stop_rgba(0.92, 1, 1, 1, 0.12)
        rg.add_color_stop_rgba(1.0, 1, 1, 1, 0.0)
        c.save()
        self._envelope_path(c)
        c.clip()
        c.rectangle(ex, ey, ew, eh)
        c.set_source(rg)
        c.fill()
        c.restore()
        return to_array(s)

    def _envelope_path(self, c):
        ex, ey, ew, eh = self.env
        r = ew / 2
        c.new_path()
        c.move_to(ex, ey + eh)
        c.line_to(ex, ey + r)
        c.arc(ex + r, ey + r, r, math.pi, 2 * math.pi)
        c.line_to(ex + ew, ey + eh)
        c.close_path()

    def _glow_layers(self):
        w, h = self.w, self.h
        yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
        sx, sy, sw, sh = self.slot
        cx, cy = sx + sw / 2, sy + sh / 2
        # heater: a hot thin filament seen through the slot
        core = np.exp(-((xx - cx) / 3.0) ** 2) * np.clip(1 - (np.abs(yy - cy) / (sh / 2)) ** 4, 0, 1)
        # warm glow inside the envelope
        ex, ey, ew, eh = self.env
        inner = np.exp(-((xx - cx) / 40.0) ** 2 - ((yy - cy) / (eh * 0.35)) ** 2)
        # the plates are opaque: the cathode's glow shows round them and through the slot
        px, py, pw, ph = self.plate
        plate = ((xx >= px) & (xx < px + pw) & (yy >= py) & (yy < py + ph)).astype(np.float32)
        inner = inner * (1.0 - 0.7 * plate)
        # halo spilling into the recess
        halo = np.exp(-((xx - cx) / 95.0) ** 2 - ((yy - cy) / (eh * 0.55)) ** 2)
        # blue fluorescence on the plate edges of a well-driven tube
        blue = np.exp(-((np.abs(xx - cx) - 34) / 4.0) ** 2) * np.clip(1 - (np.abs(yy - cy) / (sh * 0.5)) ** 2, 0, 1)
        return core, inner, halo, blue

    def frame(self, level):
        """level 0..1 -> float RGBA frame (opaque)."""
        core, inner, halo, blue = self.glow
        base = self.cold[..., :3].copy()
        heat = level ** 0.8
        orange = np.array([1.0, 0.45, 0.10], np.float32)
        hot = np.array([1.0, 0.85, 0.55], np.float32)
        add = (inner[..., None] * orange * 1.0 * heat + halo[..., None] * orange * 0.50 * heat
               + core[..., None] * (orange * 0.6 + hot * 0.6) * (0.15 + 0.85 * heat)
               + blue[..., None] * np.array([0.25, 0.40, 1.0], np.float32) * 0.35 * max(0.0, level - 0.5) * 2)
        # a barely visible filament even when cold, so the tube reads as a tube
        rgb = 1 - (1 - base) * np.exp(-add * 1.6)
        out = np.concatenate([np.clip(rgb, 0, 1), np.ones_like(rgb[..., :1])], axis=-1)
        return out
