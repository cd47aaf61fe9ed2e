"""Drawing helpers shared by the artwork generator: surfaces, text, shading, palette PNG output."""
import math

import cairo
import numpy as np
from PIL import Image, ImageFilter

# One light for the whole unit: high and to the upper left.
LIGHT_ANGLE = math.radians(-125.0)   # direction the light comes from, screen angle (y down)
INK = (0.94, 0.90, 0.80)             # ivory silkscreen
INK_DIM = (0.66, 0.62, 0.55)
ACCENT = (0.88, 0.50, 0.16)          # amber accent, matches the tube glow

GOTHIC = "URW Gothic"
SANS = "Nimbus Sans"


def surface(w, h):
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    return s, cairo.Context(s)


def to_array(s):
    """Cairo surface -> float RGBA array (straight alpha, 0..1)."""
    s.flush()
    h, w = s.get_height(), s.get_width()
    buf = np.ndarray((h, s.get_stride() // 4, 4), dtype=np.uint8, buffer=s.get_data())[:, :w, :]
    bgra = buf.astype(np.float32) / 255.0
    a = bgra[..., 3:4]
    rgb = np.where(a > 0, bgra[..., 2::-1] / np.maximum(a, 1e-6), 0.0)
    return np.concatenate([np.clip(rgb, 0, 1), a], axis=-1)


def from_array(arr):
    """Float RGBA array -> cairo surface (premultiplied)."""
    h, w = arr.shape[:2]
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    buf = np.ndarray((h, s.get_stride() // 4, 4), dtype=np.uint8, buffer=s.get_data())
    a = np.clip(arr[..., 3:4], 0, 1)
    rgb = np.clip(arr[..., :3], 0, 1) * a
    bgra = np.concatenate([rgb[..., ::-1], a], axis=-1)
    buf[:, :w, :] = (bgra * 255.0 + 0.5).astype(np.uint8)
    s.mark_dirty()
    return s


def to_image(arr):
    return Image.fromarray((np.clip(arr, 0, 1) * 255.0 + 0.5).astype(np.uint8), "RGBA")


def over(dst, src):
    """src over dst, both straight-alpha float RGBA of equal size."""
    sa = src[..., 3:4]
    da = dst[..., 3:4]
    oa = sa + da * (1 - sa)
    rgb = (src[..., :3] * sa + dst[..., :3] * da * (1 - sa)) / np.maximum(oa, 1e-6)
    return np.concatenate([rgb, oa], axis=-1)


def blur(arr, radius):
    """Gaussian blur of a float RGBA array, premultiplied so edges do not darken."""
    a = arr[..., 3:4]
    pre = np.concatenate([arr[..., :3] * a, a], axis=-1)
    img = Image.fromarray((np.clip(pre, 0, 1) * 255).astype(np.uint8), "RGBA")
    out = np.asarray(img.filter(ImageFilter.GaussianBlur(radius))).astype(np.float32) / 255.0
    oa = out[..., 3:4]
    rgb = np.where(oa > 0, out[..., :3] / np.maximum(oa, 1e-6), 0)
    return np.concatenate([np.clip(rgb, 0, 1), oa], axis=-1)


def shadow_of(arr, dx, dy, radius, opacity):
    """A soft black shadow of arr's alpha, moved away from the light."""
    h, w = arr.shape[:2]
    sh = np.zeros_like(arr)
    ix, iy = int(round(dx)), int(round(dy))
    src = arr[max(0, -iy):h - max(0, iy), max(0, -ix):w - max(0, ix), 3]
    sh[max(0, iy):max(0, iy) + src.shape[0], max(0, ix):max(0, ix) + src.shape[1], 3] = src * opacity
    return blur(sh, radius)


def light_factor(angle):
    """How much a surface facing screen angle `angle` catches the light (0..1)."""
    return 0.5 + 0.5 * math.cos(angle - LIGHT_ANGLE)


def font(ctx, family, size, bold=True):
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    fo = cairo.FontOptions()
    fo.set_antialias(cairo.ANTIALIAS_GRAY)
    fo.set_hint_style(cairo.HINT_STYLE_NONE)
    fo.set_hint_metrics(cairo.HINT_METRICS_OFF)
    ctx.set_font_options(fo)


def text_width(ctx, s, tracking=0.0):
    w = 0.0
    for i, ch in enumerate(s):
        w += ctx.text_extents(ch).x_advance + (tracking if i < len(s) - 1 else 0)
    return w


def text(ctx, s, x, y, size, family=GOTHIC, bold=True, colour=INK, align="centre", tracking=0.0, alpha=1.0):
    """Draws s with its baseline-centre (or left/right end) at x and its cap-height middle at y."""
    font(ctx, family, size, bold)
    w = text_width(ctx, s, tracking)
    cap = ctx.text_extents("H").height
    if align == "centre":
        x0 = x - w / 2
    elif align == "right":
        x0 = x - w
    else:
        x0 = x
    ctx.set_source_rgba(*colour, alpha)
    cx = x0
    for ch in s:
        ctx.move_to(cx, y + cap / 2)
        ctx.show_text(ch)
        cx += ctx.text_extents(ch).x_advance + tracking
    return w


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def radial_coords(w, h, cx, cy):
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    dx, dy = xx + 0.5 - cx, yy + 0.5 - cy
    return np.hypot(dx, dy), np.arctan2(dy, dx)


def save_png(arr_or_img, path, palette=True, colours=256, dither=True):
    """Palette PNGs keep the embedded arrays small; RGBA only where a strip needs smooth alpha."""
    img = arr_or_img if isinstance(arr_or_img, Image.Image) else to_image(arr_or_img)
    if palette:
        if img.mode == "RGBA" and img.getextrema()[3][0] == 255:
            img = img.convert("RGB")
        try:
            # libimagequant (Debian's Pillow links it) keeps smooth highlights free of banding
            img = img.quantize(colors=colours, method=Image.Quantize.LIBIMAGEQUANT,
                               dither=Image.Dither.FLOYDSTEINBERG if dither else Image.Dither.NONE)
        except (ValueError, OSError):
            img = img.quantize(colors=colours, method=Image.Quantize.FASTOCTREE, dither=Image.Dither.NONE)
    img.save(path, optimize=True, compress_level=9)
    return img.size
