# Supersampled drawing surface: antialiased shapes, textures and text, reduced to sprite pixels.
"""A Layer is drawn at `ss` times its final size and reduced by box filtering.

Colours are linear floats in 0..1.  The layer keeps premultiplied colour and
coverage, so a finished sprite is exactly what the toolkit composites: the
mask (1 - coverage) is multiplied onto the picture, then the premultiplied
colour is added.  Light (LED glow) goes into a separate glow buffer, added on top of the colour
within the coverage.
"""

import math
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SANS_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
SANS = os.path.join(FONT_DIR, "DejaVuSans.ttf")
MONO_BOLD = os.path.join(FONT_DIR, "DejaVuSansMono-Bold.ttf")


def box_reduce(a, ss):
    """Mean of every ss x ss block (the antialiasing filter)."""
    h, w = a.shape[0] // ss, a.shape[1] // ss
    return a.reshape(h, ss, w, ss, *a.shape[2:]).mean(axis=(1, 3))


def coverage_from_distance(d, ss):
    """Signed distance (final pixels, negative inside) to a one-subpixel soft edge."""
    return np.clip(0.5 - d * ss, 0.0, 1.0)


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def rgb(hexcolour):
    """'#rrggbb' to a float triple."""
    h = hexcolour.lstrip("#")
    return np.array([int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], dtype=np.float32)


def mix(a, b, t):
    """Linear blend of two colours; a 2-D t gives an H x W x 3 result."""
    t = np.asarray(t, np.float32)
    if t.ndim == 2:
        t = t[..., None]
    return np.asarray(a, np.float32) * (1.0 - t) + np.asarray(b, np.float32) * t


class Layer:
    def __init__(self, w, h, ss=4):
        self.w, self.h, self.ss = w, h, ss
        self.W, self.H = w * ss, h * ss
        xs = (np.arange(self.W, dtype=np.float32) + 0.5) / ss
        ys = (np.arange(self.H, dtype=np.float32) + 0.5) / ss
        self.X, self.Y = np.meshgrid(xs, ys)
        self.col = np.zeros((self.H, self.W, 3), np.float32)
        self.cov = np.zeros((self.H, self.W), np.float32)
        self.glow = np.zeros((self.H, self.W, 3), np.float32)

    # Shapes: each returns a coverage array in 0..1 at supersampled size, computed only
    # over the shape's bounding box.
    def _region(self, x0, y0, x1, y1):
        ss = self.ss
        i0 = max(0, int(math.floor((y0 - 1) * ss)))
        i1 = min(self.H, int(math.ceil((y1 + 1) * ss)))
        j0 = max(0, int(math.floor((x0 - 1) * ss)))
        j1 = min(self.W, int(math.ceil((x1 + 1) * ss)))
        return i0, max(i0, i1), j0, max(j0, j1)

    def _shape(self, box, fn):
        i0, i1, j0, j1 = self._region(*box)
        out = np.zeros((self.H, self.W), np.float32)
        if i1 > i0 and j1 > j0:
            out[i0:i1, j0:j1] = coverage_from_distance(fn(self.X[i0:i1, j0:j1], self.Y[i0:i1, j0:j1]),
                                                       self.ss)
        return out

    def circle(self, cx, cy, r):
        return self._shape((cx - r, cy - r, cx + r, cy + r), lambda X, Y: np.hypot(X - cx, Y - cy) - r)

    def ring(self, cx, cy, r_in, r_out):
        def sdf(X, Y):
            d = np.hypot(X - cx, Y - cy)
            return np.maximum(d - r_out, r_in - d)
        return self._shape((cx - r_out, cy - r_out, cx + r_out, cy + r_out), sdf)

    def rrect(self, x0, y0, x1, y1, r=0.0):
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
        hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

        def sdf(X, Y):
            qx = np.abs(X - cx) - hx
            qy = np.abs(Y - cy) - hy
            outside = np.hypot(np.maximum(qx, 0), np.maximum(qy, 0))
            return outside + np.minimum(np.maximum(qx, qy), 0) - r
        return self._shape((x0, y0, x1, y1), sdf)

    def capsule(self, x0, y0, x1, y1, width):
        dx, dy = x1 - x0, y1 - y0
        n2 = max(dx * dx + dy * dy, 1e-9)

        def sdf(X, Y):
            px, py = X - x0, Y - y0
            t = np.clip((px * dx + py * dy) / n2, 0, 1)
            return np.hypot(px - t * dx, py - t * dy) - width / 2
        h = width / 2
        return self._shape((min(x0, x1) - h, min(y0, y1) - h, max(x0, x1) + h, max(y0, y1) + h), sdf)

    def polygon(self, points):
        img = Image.new("L", (self.W, self.H), 0)
        ImageDraw.Draw(img).polygon([(x * self.ss, y * self.ss) for x, y in points], fill=255)
        return np.asarray(img, np.float32) / 255.0

    def polyline(self, points, width):
        """Round-jointed stroke through the points."""
        cov = np.zeros_like(self.cov)
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            cov = np.maximum(cov, self.capsule(x0, y0, x1, y1, width))
        return cov

    def text(self, s, px, x, y, font=SANS_BOLD, anchor="la", tracking=0.0, squeeze=1.0):
        """Coverage of text drawn at px pixels per em, placed at (x, y) by anchor.

        anchor: first letter l/m/r (left, middle, right of the ink advance), second
        a/m/s (top, middle or bottom of the capitals).  tracking adds final pixels
        between letters; squeeze narrows the glyphs horizontally.
        """
        ss = self.ss
        f = ImageFont.truetype(font, int(round(px * ss)))
        top, bottom = f.getbbox("H")[1], f.getbbox("H")[3]
        advances = [f.getlength(ch) for ch in s]
        total = sum(advances) + tracking * ss * max(len(s) - 1, 0)
        pad = int(px * ss)
        img = Image.new("L", (int(total) + 2 * pad, int(px * ss * 1.6) + 2 * pad), 0)
        draw = ImageDraw.Draw(img)
        pen = float(pad)
        for ch, adv in zip(s, advances):
            draw.text((pen, pad - top), ch, font=f, fill=255)
            pen += adv + tracking * ss
        left = float(pad)
        if squeeze != 1.0:
            img = img.resize((max(1, int(img.width * squeeze)), img.height), Image.LANCZOS)
            total *= squeeze
            left *= squeeze
        ax = {"l": 0.0, "m": total / 2, "r": total}[anchor[0]]
        ay = {"a": 0.0, "m": (bottom - top) / 2, "s": float(bottom - top)}[anchor[1]]
        out = Image.new("L", (self.W, self.H), 0)
        out.paste(img, (int(round(x * ss - ax - left)), int(round(y * ss - ay)) - pad))
        return np.asarray(out, np.float32) / 255.0

    def pixel_text(self, s, x, y, font_path, anchor="la"):
        """Crisp text in the 8-pixel bitmap-style font, aligned to whole final pixels.

        (x, y) is the top of the capitals for anchor "a"; "m" in the first letter centres it.
        """
        f = ImageFont.truetype(font_path, 8)
        width = int(round(f.getlength(s)))
        top = f.getbbox("H")[1]
        img = Image.new("L", (width + 8, 16), 0)
        ImageDraw.Draw(img).text((2, 2 - top), s, font=f, fill=255)
        a = (np.asarray(img, np.float32) >= 96).astype(np.float32)
        ox = {"l": 0, "m": width // 2, "r": width}[anchor[0]]
        x0, y0 = int(round(x)) - ox - 2, int(round(y)) - 2
        cov = np.zeros((self.h, self.w), np.float32)
        h, w = a.shape
        sx0, sy0 = max(0, -x0), max(0, -y0)
        dx0, dy0 = max(0, x0), max(0, y0)
        cw, ch = min(w - sx0, self.w - dx0), min(h - sy0, self.h - dy0)
        if cw > 0 and ch > 0:
            cov[dy0:dy0 + ch, dx0:dx0 + cw] = a[sy0:sy0 + ch, sx0:sx0 + cw]
        return np.repeat(np.repeat(cov, self.ss, axis=0), self.ss, axis=1)

    def text_width(self, s, px, font=SANS_BOLD, tracking=0.0, squeeze=1.0):
        f = ImageFont.truetype(font, int(round(px * self.ss)))
        return (sum(f.getlength(ch) for ch in s) * squeeze) / self.ss + tracking * max(len(s) - 1, 0)

    # Painting.
    @staticmethod
    def _bounds(cov):
        rows = np.flatnonzero(cov.any(axis=1))
        if rows.size == 0:
            return None
        cols = np.flatnonzero(cov.any(axis=0))
        return slice(rows[0], rows[-1] + 1), slice(cols[0], cols[-1] + 1)

    def paint(self, cov, colour, opacity=1.0):
        """Composite colour (a triple or an H x W x 3 array) over the layer with coverage cov."""
        sl = self._bounds(cov)
        if sl is None:
            return
        a = np.clip(cov[sl] * opacity, 0, 1)
        c = np.asarray(colour, np.float32)
        if c.ndim == 3:
            c = c[sl]
        self.col[sl] = self.col[sl] * (1 - a[..., None]) + c * a[..., None]
        self.cov[sl] = self.cov[sl] * (1 - a) + a

    def multiply(self, cov, factor):
        """Darken (factor < 1) or lighten what is already painted, within cov."""
        sl = self._bounds(cov)
        if sl is None:
            return
        factor = np.asarray(factor, np.float32)
        if factor.ndim == 2:
            factor = factor[sl][..., None]
        elif factor.ndim == 3:
            factor = factor[sl]
        f = 1 + (factor - 1) * cov[sl][..., None]
        self.col[sl] = np.clip(self.col[sl] * f, 0, None)

    def add_glow(self, colour, strength):
        """Light added on top of what is painted: strength is an H x W array."""
        self.glow += np.asarray(colour, np.float32) * strength[..., None]

    def clip_to(self, cov):
        """Keep only what lies inside cov (for sprites whose mask is a fixed shape)."""
        self.col *= cov[..., None]
        self.cov *= cov
        self.glow *= cov[..., None]

    # Results at final size.
    def image(self):
        """Premultiplied colour plus glow, 0..1, h x w x 3.

        The glow is kept within the coverage, so wherever the mask leaves the picture
        untouched the image is black and adds nothing.
        """
        glow = box_reduce(self.glow * self.cov[..., None], self.ss)
        cov = box_reduce(self.cov, self.ss)[..., None]
        return np.clip(np.minimum(box_reduce(self.col, self.ss) + glow, cov), 0, 1)

    def coverage(self):
        return np.clip(box_reduce(self.cov, self.ss), 0, 1)


def to_u8(a):
    return (np.clip(a, 0, 1) * 255 + 0.5).astype(np.uint8)


def save_rgb(path, a):
    Image.fromarray(to_u8(a), "RGB").save(path, optimize=True)


def save_grey_as_rgb(path, a):
    g = to_u8(a)
    Image.fromarray(np.stack([g, g, g], axis=-1), "RGB").save(path, optimize=True)
