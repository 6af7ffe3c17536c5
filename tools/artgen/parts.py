# Small hardware parts: knobs, jacks, plugs, lamps, seven-segment digits, buttons and screens.
import math

import numpy as np

import palette as P
from canvas import MONO_BOLD, SANS_BOLD, Layer, mix, smoothstep
from textures import periodic_noise

# Seven-segment geometry: segment name -> end points in a 0..1 box (x right, y down).
SEGMENTS = {
    "a": ((0.1, 0.0), (0.9, 0.0)),
    "b": ((1.0, 0.08), (1.0, 0.46)),
    "c": ((1.0, 0.54), (1.0, 0.92)),
    "d": ((0.1, 1.0), (0.9, 1.0)),
    "e": ((0.0, 0.54), (0.0, 0.92)),
    "f": ((0.0, 0.08), (0.0, 0.46)),
    "g": ((0.1, 0.5), (0.9, 0.5)),
}

DIGIT_SEGMENTS = {
    "0": "abcdef", "1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc",
    "5": "afgcd", "6": "afgedc", "7": "abc", "8": "abcdefg", "9": "abcdfg", "-": "g", "": "",
}


def lit_segments(symbol):
    """Segments that light for a digit (or '-', or '' for blank)."""
    return set(DIGIT_SEGMENTS[symbol])


def knob(size, cap_ratio=0.62):
    """Black skirted knob with a machined cap, pointer straight up (the toolkit turns it).

    The shading is rotationally symmetric so nothing but the pointer seems to move.
    """
    ss = 8 if size <= 16 else 4
    L = Layer(size, size, ss)
    c = size / 2
    R = size / 2 - 0.6
    d = np.hypot(L.X - c, L.Y - c)
    # Soft contact shadow all round.
    L.paint(smoothstep(R + 0.9, R - 0.4, d) * 0.55, (0, 0, 0))
    body = L.circle(c, c, R)
    base = P.KNOB_BODY[None, None, :] * (1.3 - 0.5 * (d / R))[..., None]
    L.paint(body, base)
    L.paint(L.ring(c, c, R - max(0.6, size / 32), R), (1, 1, 1), 0.10)
    # Bevel between skirt and cap.
    rc = R * cap_ratio
    L.paint(L.ring(c, c, rc, rc + max(0.7, size / 40)), P.KNOB_BODY * 2.2)
    cap = L.circle(c, c, rc)
    rings = 0.5 + 0.5 * np.sin(d * (26.0 / max(size, 16)) * 2 * math.pi * 2.2)
    cap_col = P.KNOB_CAP[None, None, :] * (1.18 - 0.38 * (d / rc))[..., None]
    cap_col = cap_col * (0.93 + 0.1 * rings)[..., None]
    L.paint(cap, cap_col)
    # Pointer: a bright line from near the centre through the skirt, and a dot on the rim.
    w = max(1.7, size / 11.0)
    L.paint(L.capsule(c, c - rc * 0.25, c, c - R + w * 0.55, w), P.POINTER)
    L.clip_to(body + smoothstep(R + 0.9, R - 0.4, d) * (1 - body))
    return L


def dial_marks(L, cx, cy, r_in, r_out, count=11, colour=P.INK, sweep=300.0, width=0.8):
    """Tick marks of a knob scale on a face, clockwise from minimum at lower left."""
    start = -90.0 - sweep / 2.0
    for i in range(count):
        a = math.radians(start + sweep * i / (count - 1))
        big = i in (0, count - 1, (count - 1) // 2)
        ri = r_in - (1.2 if big else 0.0)
        x0, y0 = cx + ri * math.cos(a), cy + ri * math.sin(a)
        x1, y1 = cx + r_out * math.cos(a), cy + r_out * math.sin(a)
        L.paint(L.capsule(x0, y0, x1, y1, width * (1.25 if big else 1.0)), colour)


def jack():
    """Panel socket: hex nut, threaded bushing and the dark hole, 16 x 16."""
    L = Layer(16, 16, 8)
    c = 8.0
    pts = [(c + 7.4 * math.cos(math.radians(30 + 60 * i)), c + 7.4 * math.sin(math.radians(30 + 60 * i)))
           for i in range(6)]
    nut = L.polygon(pts)
    d = np.hypot(L.X - c, L.Y - c)
    light = np.clip(0.5 - 0.5 * ((L.X - c) + (L.Y - c)) / 8.0, 0, 1)
    L.paint(nut, mix(P.CHROME_DARK, P.CHROME, light))
    # Facet edges of the nut catch the light.
    L.paint(L.polygon(pts) * (1 - L.polygon([(c + 6.3 * math.cos(math.radians(30 + 60 * i)),
                                                c + 6.3 * math.sin(math.radians(30 + 60 * i)))
                                               for i in range(6)])),
            mix(P.CHROME_DARK * 0.8, P.CHROME * 1.08, light), 0.7)
    L.paint(L.circle(c, c, 4.9), mix(P.CHROME * 0.75, P.CHROME * 1.1, light))
    threads = 0.5 + 0.5 * np.sin(d * 2 * math.pi * 1.6)
    L.multiply(L.ring(c, c, 3.3, 4.9), 0.82 + 0.18 * threads)
    L.paint(L.circle(c, c, 3.4), (0.03, 0.03, 0.035))
    L.paint(L.ring(c, c, 2.2, 3.4), (0.12, 0.12, 0.13), 0.8)
    return L


def plug(held):
    """Patch-cable plug seen from above, 24 x 56, its head centred on the jack.

    The toolkit draws the cable from 15 pixels below the jack's centre and the cable
    always sags downwards first, so a rubber boot runs down from the head to meet it
    there.  The held plug floats higher, with an amber ring.
    """
    w, h = 24, 56
    L = Layer(w, h, 6)
    c, cy = 12.0, 28.0
    theta = np.arctan2(L.Y - cy, L.X - c)
    lift = 2.4 if held else 0.9
    shadow = np.maximum(smoothstep(9.4 + lift, 7.0, np.hypot(L.X - c - lift, L.Y - cy - lift * 1.3)),
                        L.capsule(c + lift, cy + 8 + lift, c + lift, 45 + lift, 6.5) * 0.8)
    L.paint(shadow * 0.55, (0, 0, 0))
    # The cable stub continues the drawn cable (3 pixels, grey 128/136/128) under the boot.
    L.paint(L.rrect(c - 1.5, 38, c + 1.5, 52, 0), P.CABLE)
    boot = L.polygon([(c - 4.6, cy + 4), (c + 4.6, cy + 4), (c + 2.3, 45.5), (c - 2.3, 45.5)])
    across = np.clip(1 - np.abs(L.X - c) / 4.6, 0, 1)
    L.paint(boot, (0.05 + 0.12 * across)[..., None] * np.ones(3))
    for y in (36.5, 39.5, 42.5):
        L.paint(L.rrect(c - 4, y - 0.35, c + 4, y + 0.35, 0) * boot, (0, 0, 0), 0.6)
    if held:
        L.paint(L.ring(c, cy, 9.4, 11.2), P.LED_AMBER * 0.9, 0.85)
    R = 9.0
    grip = L.circle(c, cy, R)
    ridges = 0.5 + 0.5 * np.cos(28 * theta)
    light = np.clip(0.55 - 0.45 * ((L.X - c) + (L.Y - cy)) / R, 0, 1)
    L.paint(grip, (0.05 + 0.13 * light * (0.5 + ridges))[..., None] * np.ones(3))
    L.paint(L.ring(c, cy, 5.9, 7.0), P.ACCENT["VCO"] if not held else P.LED_AMBER)
    L.paint(L.circle(c, cy, 5.9), mix(P.CHROME_DARK * 0.6, P.CHROME * 0.95, light))
    L.paint(L.circle(c, cy, 3.0), P.CABLE * 0.85)
    L.paint(L.circle(c - 0.8, cy - 0.9, 1.3), P.CABLE * 1.25, 0.8)
    return L


def lamp(on, colour_on, colour_off, size=8):
    """Round indicator LED in a black square housing; the lit one glows past its lens."""
    L = Layer(size, size, 8)
    c = size / 2
    r = size * 0.36
    d = np.hypot(L.X - c, L.Y - c)
    housing = L.circle(c, c, size / 2 - 0.05)
    L.paint(housing, (0.04, 0.04, 0.045))
    lens = L.circle(c, c, r)
    if on:
        core = mix(colour_on, (1.0, 0.95, 0.85), smoothstep(r, 0, d) ** 2 * 0.7)
        L.paint(lens, core)
        L.add_glow(colour_on, smoothstep(size / 2, r * 0.8, d) * 0.45 * (1 - lens))
    else:
        L.paint(lens, mix(colour_off * 1.3, colour_off * 0.7, smoothstep(0, r, d)))
    L.paint(L.circle(c - r * 0.35, c - r * 0.4, r * 0.3), (1, 1, 1), 0.55 if on else 0.3)
    return L


def seven_segment(symbol, lit_colour, off_colour, w=8, h=16, glow=True):
    """One LED digit cell: black ground, slanted segments, lit ones glowing."""
    L = Layer(w, h, 8)
    L.paint(L.rrect(0, 0, w, h, 0), (0.02, 0.015, 0.015))
    x0, y0, bw, bh = 1.7, 2.0, w - 3.6, h - 4.0
    slant = 0.9
    on = lit_segments(symbol)
    for name, ((ax, ay), (bx, by)) in SEGMENTS.items():
        p0 = (x0 + ax * bw + slant * (1 - ay), y0 + ay * bh)
        p1 = (x0 + bx * bw + slant * (1 - by), y0 + by * bh)
        cov = L.capsule(p0[0], p0[1], p1[0], p1[1], 1.35)
        L.paint(cov, lit_colour if name in on else off_colour)
    if glow and on:
        lit = np.zeros_like(L.cov)
        for name in on:
            (ax, ay), (bx, by) = SEGMENTS[name]
            p0 = (x0 + ax * bw + slant * (1 - ay), y0 + ay * bh)
            p1 = (x0 + bx * bw + slant * (1 - by), y0 + by * bh)
            lit = np.maximum(lit, L.capsule(p0[0], p0[1], p1[0], p1[1], 3.4))
        L.add_glow(lit_colour, lit * 0.18)
    return L


def arrow_button(direction, state, w=8, h=8):
    """Tiny triangular step button (up or down): 0 rest, 1 hovered, 2 pressed."""
    L = Layer(w, h, 8)
    if direction == "up":
        pts = [(w / 2, 0.4), (w - 0.3, h - 0.9), (0.3, h - 0.9)]
    else:
        pts = [(0.3, 0.9), (w - 0.3, 0.9), (w / 2, h - 0.4)]
    tri = L.polygon(pts)
    t = (L.Y / h) if direction == "up" else (1 - L.Y / h)
    if state == 1:
        L.paint(tri, mix(P.LED_AMBER, P.LED_AMBER * 0.55, t))
    else:
        top, bottom = (0.30, 0.12) if state == 0 else (0.16, 0.06)
        L.paint(tri, mix((top, top, top * 1.04), (bottom, bottom, bottom), t))
    inner = [(px * 0.55 + w / 2 * 0.45, py * 0.55 + h / 2 * 0.45) for px, py in pts]
    L.paint(L.polygon(inner), (1, 1, 1), 0.12 if state != 2 else 0.0)
    return L


def keycap(w, h, state, symbol=None, text=None, radius=2.0):
    """Rectangular dark key cap; symbol 'up'/'down' prints an arrow, text prints a word.

    state 0 is at rest, 1 is lit (hovered): the legend turns amber and a light bar shows.
    """
    L = Layer(w, h, 6)
    body = L.rrect(0.3, 0.3, w - 0.3, h - 0.3, radius)
    t = (L.Y / h)[..., None]
    L.paint(body, mix(P.GRAPHITE_TOP * 1.25, P.GRAPHITE_BOTTOM * 0.8, t))
    L.paint(body * (1 - L.rrect(1.1, 1.1, w - 1.1, h - 1.4, max(radius - 0.8, 0.3))), (1, 1, 1),
            0.10)
    L.paint(L.rrect(0.3, h - 1.3, w - 0.3, h - 0.3, radius) * body, (0, 0, 0), 0.35)
    ink = P.LED_AMBER if state else P.SILK
    if symbol in ("up", "down"):
        cx, cy = w / 2, h / 2 - 0.3
        s = min(w, h) * 0.26
        pts = ([(cx, cy - s), (cx + s * 1.2, cy + s * 0.8), (cx - s * 1.2, cy + s * 0.8)] if symbol == "up"
               else [(cx - s * 1.2, cy - s * 0.8), (cx + s * 1.2, cy - s * 0.8), (cx, cy + s)])
        L.paint(L.polygon(pts), ink)
    if text:
        px = min(h * 0.55, 11.0)
        L.paint(L.text(text, px, w / 2, h / 2 - 0.3, font=SANS_BOLD, anchor="mm", tracking=0.6,
                       squeeze=0.9), ink)
    if state and text:
        L.add_glow(P.LED_AMBER, L.rrect(3, h - 3.2, w - 3, h - 2.0, 0.6) * 0.8)
    if state:
        L.add_glow(P.LED_AMBER, body * 0.05)
    return L


def pad(number, lit, size=14):
    """Rubber pattern pad with its number; the lit pad glows amber from inside."""
    L = Layer(size, size, 6)
    body = L.rrect(0.4, 0.4, size - 0.4, size - 0.4, 2.6)
    t = (L.Y / size)[..., None]
    if lit:
        L.paint(body, mix(P.LED_AMBER * 1.05, P.LED_AMBER * 0.75, t))
        L.add_glow(P.LED_AMBER, body * 0.1)
        ink = (0.25, 0.12, 0.0)
    else:
        L.paint(body, mix(P.RUBBER * 1.45, P.RUBBER * 0.85, t))
        ink = P.SILK
    L.paint(body * (1 - L.rrect(1.3, 1.2, size - 1.3, size - 1.6, 1.8)), (1, 1, 1), 0.12)
    L.paint(L.text(str(number), size * 0.62, size / 2, size / 2 - 0.2, font=SANS_BOLD, anchor="mm"), ink)
    return L


def check_button(on, size=16):
    """Square mute button with an LED bar: red while on."""
    L = Layer(size, size, 8)
    body = L.rrect(0.6, 0.6, size - 0.6, size - 0.6, 2.4)
    t = (L.Y / size)[..., None]
    L.paint(body, mix(P.RUBBER * 1.5, P.RUBBER * 0.8, t))
    L.paint(body * (1 - L.rrect(1.7, 1.5, size - 1.7, size - 2.0, 1.6)), (1, 1, 1), 0.14)
    bar = L.rrect(size * 0.25, size * 0.36, size * 0.75, size * 0.62, 1.0)
    if on:
        L.paint(bar, mix(P.LED_RED, (1, 0.9, 0.8), 0.25))
        L.add_glow(P.LED_RED, L.rrect(size * 0.14, size * 0.25, size * 0.86, size * 0.73, 2.0) * 0.35
                   * (1 - bar))
    else:
        L.paint(bar, P.LED_RED_OFF)
    return L


def power_button(on, size=16):
    """Round chrome-bezel push button with a red lens and the power symbol."""
    L = Layer(size, size, 8)
    c = size / 2
    d = np.hypot(L.X - c, L.Y - c)
    light = np.clip(0.5 - 0.5 * ((L.X - c) + (L.Y - c)) / c, 0, 1)
    L.paint(smoothstep(c, c - 1.2, d) * 0.5, (0, 0, 0))
    L.paint(L.circle(c, c, c - 0.9), mix(P.CHROME_DARK, P.CHROME * 1.05, light))
    L.paint(L.ring(c, c, c - 3.3, c - 2.6), P.CHROME_DARK * 0.6)
    lens = L.circle(c, c, c - 3.2)
    if on:
        L.paint(lens, mix((1.0, 0.78, 0.6), P.LED_RED, smoothstep(0, c - 3.2, d)))
        ink = (0.55, 0.05, 0.02)
    else:
        L.paint(lens, mix(P.LED_RED_OFF * 1.6, P.LED_RED_OFF * 0.7, smoothstep(0, c - 3.2, d)))
        ink = (0.75, 0.3, 0.25)
    r = (c - 3.2) * 0.52
    arc = L.ring(c, c + 0.3, r - 0.55, r + 0.55) * (1 - L.rrect(c - 1.6, c - r - 1.5, c + 1.6, c, 0))
    stem = L.capsule(c, c - r - 0.6, c, c - 0.3, 1.1)
    L.paint(np.maximum(arc, stem), ink, 0.9)
    L.paint(L.circle(c - 1.8, c - 2.0, 1.2), (1, 1, 1), 0.35)
    return L


def screen(w, h, bezel=True):
    """Recessed phosphor screen with a faint graticule; returns the layer and the inner box."""
    L = Layer(w, h, 6)
    L.paint(L.rrect(0, 0, w, h, 1.5), (0.08, 0.085, 0.09))
    L.paint(L.rrect(0, 0, w, 1.0, 0), (0, 0, 0), 0.6)
    L.paint(L.rrect(0, h - 1.0, w, h, 0), (1, 1, 1), 0.25)
    x0, y0, x1, y1 = 2, 2, w - 2, h - 2
    inner = L.rrect(x0, y0, x1, y1, 1.0)
    vign = smoothstep(0, 1, 1 - np.hypot((L.X - w / 2) / (w / 2), (L.Y - h / 2) / (h / 2)) * 0.6)
    L.paint(inner, P.SCREEN[None, None, :] * (0.6 + 0.8 * vign[..., None]))
    for i in range(1, 6):
        gx = x0 + (x1 - x0) * i / 6
        L.paint(L.rrect(gx - 0.15, y0, gx + 0.15, y1, 0) * inner, P.SCREEN_GRID, 0.9)
    for j in range(1, 4):
        gy = y0 + (y1 - y0) * j / 4
        L.paint(L.rrect(x0, gy - 0.15, x1, gy + 0.15, 0) * inner, P.SCREEN_GRID, 0.9 if j != 2 else 1.0)
    return L, (x0, y0, x1, y1), inner


def trace(L, xs, ys, inner, width=1.0):
    """Glowing phosphor line through the points, kept inside the screen."""
    pts = list(zip(xs, ys))
    core = L.polyline(pts, width) * inner
    halo = L.polyline(pts, width * 3.2) * inner
    L.paint(halo, P.TRACE_GLOW, 0.28)
    L.paint(core, P.TRACE)


def wave_samples(kind, n):
    """One and a half periods of a waveform, values in -1..1."""
    t = np.linspace(0, 1.5, n)
    ph = t % 1.0
    if kind == "SIN":
        return np.sin(2 * np.pi * t)
    if kind == "TRI":
        return 1 - 4 * np.abs(((t + 0.25) % 1.0) - 0.5)
    if kind == "SAW":
        return 1 - 2 * ph
    if kind == "SQR":
        return np.where(ph < 0.5, 0.8, -0.8)
    if kind == "PULSE":
        return np.where(ph < 0.22, 0.8, -0.8)
    rng = np.random.default_rng(7)
    return np.clip(rng.standard_normal(n) * 0.45, -1, 1)


def wave_display(kind, w=48, h=28):
    L, (x0, y0, x1, y1), inner = screen(w, h)
    n = 160 if kind != "NOISE" else 90
    v = wave_samples(kind, n)
    xs = np.linspace(x0 + 2, x1 - 2, n)
    ys = (y0 + y1) / 2 - v * (y1 - y0 - 7) / 2
    if kind in ("SQR", "PULSE"):
        xs2, ys2 = [], []
        for i in range(n):
            if i and ys[i] != ys[i - 1]:
                xs2.append(xs[i])
                ys2.append(ys[i - 1])
            xs2.append(xs[i])
            ys2.append(ys[i])
        xs, ys = xs2, ys2
    trace(L, xs, ys, inner)
    L.paint(L.text(kind, 5.6, x0 + 1.6, y0 + 1.2, font=MONO_BOLD, anchor="la") * inner, P.TRACE, 0.75)
    return L


def biquad_response(kind, freqs, f0=1000.0, q=0.9, gain_db=9.0, fs=44100.0):
    """Magnitude in dB of the classic RBJ cookbook biquads at the given frequencies."""
    A = 10 ** (gain_db / 40)
    w0 = 2 * math.pi * f0 / fs
    cw, sw = math.cos(w0), math.sin(w0)
    alpha = sw / (2 * q)
    sa = 2 * math.sqrt(A) * alpha
    if kind == "THROUGH":
        b = a = [1, 0, 0]
    elif kind == "LOWPASS":
        b = [(1 - cw) / 2, 1 - cw, (1 - cw) / 2]
        a = [1 + alpha, -2 * cw, 1 - alpha]
    elif kind == "HIGHPASS":
        b = [(1 + cw) / 2, -(1 + cw), (1 + cw) / 2]
        a = [1 + alpha, -2 * cw, 1 - alpha]
    elif kind == "BANDPASS":
        b = [alpha, 0, -alpha]
        a = [1 + alpha, -2 * cw, 1 - alpha]
    elif kind == "NOTCH":
        b = [1, -2 * cw, 1]
        a = [1 + alpha, -2 * cw, 1 - alpha]
    elif kind == "PEAKING":
        b = [1 + alpha * A, -2 * cw, 1 - alpha * A]
        a = [1 + alpha / A, -2 * cw, 1 - alpha / A]
    elif kind == "LOWSHELF":
        b = [A * ((A + 1) - (A - 1) * cw + sa), 2 * A * ((A - 1) - (A + 1) * cw),
             A * ((A + 1) - (A - 1) * cw - sa)]
        a = [(A + 1) + (A - 1) * cw + sa, -2 * ((A - 1) + (A + 1) * cw), (A + 1) + (A - 1) * cw - sa]
    elif kind == "HIGHSHELF":
        b = [A * ((A + 1) + (A - 1) * cw + sa), -2 * A * ((A - 1) + (A + 1) * cw),
             A * ((A + 1) + (A - 1) * cw - sa)]
        a = [(A + 1) - (A - 1) * cw + sa, 2 * ((A - 1) - (A + 1) * cw), (A + 1) - (A - 1) * cw - sa]
    else:
        raise ValueError(kind)
    z = np.exp(-1j * 2 * np.pi * np.asarray(freqs) / fs)
    num = b[0] + b[1] * z + b[2] * z * z
    den = a[0] + a[1] * z + a[2] * z * z
    return 20 * np.log10(np.maximum(np.abs(num / den), 1e-6))


# In the order of the filter's TYPE numbers 0 to 7; 0 passes the input through unfiltered.
FILTER_TYPES = ["THROUGH", "LOWPASS", "HIGHPASS", "BANDPASS", "NOTCH", "LOWSHELF", "HIGHSHELF", "PEAKING"]
FILTER_TAGS = {"THROUGH": "THRU", "LOWPASS": "LP", "HIGHPASS": "HP", "BANDPASS": "BP", "NOTCH": "NOTCH", "LOWSHELF": "LSH",
               "HIGHSHELF": "HSH", "PEAKING": "PEAK"}


def filter_display(kind, w=48, h=28):
    L, (x0, y0, x1, y1), inner = screen(w, h)
    n = 140
    freqs = np.logspace(math.log10(30), math.log10(18000), n)
    db = biquad_response(kind, freqs)
    top_db, bottom_db = 12.0, -30.0
    xs = np.linspace(x0 + 1.5, x1 - 1.5, n)
    ys = y0 + 4 + (top_db - np.clip(db, bottom_db, top_db)) / (top_db - bottom_db) * (y1 - y0 - 6)
    poly = [(xs[0], y1)] + list(zip(xs, ys)) + [(xs[-1], y1)]
    L.paint(L.polygon(poly) * inner, P.TRACE_GLOW, 0.22)
    trace(L, xs, ys, inner)
    L.paint(L.text(FILTER_TAGS[kind], 5.6, x1 - 1.6, y0 + 1.2, font=MONO_BOLD, anchor="ra") * inner,
            P.TRACE, 0.75)
    return L


def screw(L, cx, cy, r, seed):
    """A pan-head screw with a cross slot at a random angle."""
    rng = np.random.default_rng(seed)
    a = rng.uniform(0, math.pi)
    L.paint(smoothstep(r + 0.9, r - 0.3, np.hypot(L.X - cx - 0.4, L.Y - cy - 0.5)) * 0.5, (0, 0, 0))
    light = np.clip(0.5 - 0.5 * ((L.X - cx) + (L.Y - cy)) / r, 0, 1)
    L.paint(L.circle(cx, cy, r), mix(P.CHROME_DARK * 0.9, P.CHROME * 1.08, light ** 0.8))
    L.paint(L.ring(cx, cy, r - 0.5, r), (0, 0, 0), 0.25)
    for k in (0, 1):
        ang = a + k * math.pi / 2
        dx, dy = math.cos(ang) * r * 0.62, math.sin(ang) * r * 0.62
        L.paint(L.capsule(cx - dx, cy - dy, cx + dx, cy + dy, max(0.55, r * 0.28)), (0.12, 0.12, 0.13),
                0.9)


def noise_field(L, seed, scale):
    return periodic_noise(L.H, L.W, seed, scale * L.ss)
