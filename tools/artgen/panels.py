# Face plates of every panel side, dashboard and the patch chooser, drawn from their layout plans.
"""Each Panel gathers two things from the same coordinates: the layout elements
(written as a ready layout file) and the printing on the face plate (legends,
knob scales, value windows, jack rings), so the plate always matches its controls.
"""

import math

import numpy as np

import palette as P
import parts
from canvas import SANS, SANS_BOLD, Layer, mix, smoothstep
from textures import brushed, periodic_noise

# Sizes of the images that layouts place (needed to centre them on the face).
SIZES = {
    "KNOB_L": (32, 32), "KNOB_M": (24, 24), "SLD": (16, 16), "JACK": (16, 16), "POWER_ON": (16, 16),
    "CHK_4_ON": (16, 16), "ARROW": (14, 12), "PATTERN": (14, 14), "SYSBTN": (64, 22),
    "DISP": (48, 28), "LED_NUMERIC": (8, 16),
}

MAGENTA = 0xFF00FF


class Sprite:
    def __init__(self, name, image, x, y, mask="0", blend=0, scale=1.0, key_enabled=0, key=0, alpha=255):
        self.name, self.image, self.mask = name, image, mask
        self.x, self.y, self.blend, self.scale = x, y, blend, scale
        self.key_enabled, self.key, self.alpha = key_enabled, key, alpha

    def line(self):
        return "SPRITE\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\t%d\r\n" % (
            self.name, self.image, self.mask, self.x, self.y, self.key_enabled, self.key, self.blend,
            self.scale, 0, self.alpha)


class Button:
    def __init__(self, name, on, off, hover, x, y, scale=1.0):
        self.name, self.on, self.off, self.hover = name, on, off, hover
        self.x, self.y, self.scale = x, y, scale

    def line(self):
        return "BUTTON\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\r\n" % (
            self.name, self.on, self.off, self.hover, self.x, self.y, 0, 0, 0, self.scale, 0)


class Slider:
    def __init__(self, name, image, x, y, scale=1.0, angle=0):
        self.name, self.image, self.x, self.y, self.scale, self.angle = name, image, x, y, scale, angle

    def line(self):
        return "SLIDER\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\r\n" % (
            self.name, self.image, self.x, self.y, 0, 0, 0, self.scale, self.angle)


class Label:
    def __init__(self, name, text, x, y, size=8, colour=0):
        self.name, self.text, self.x, self.y, self.size, self.colour = name, text, x, y, size, colour

    def line(self):
        return "LABEL\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t\r\n" % (
            self.name, self.text, self.x, self.y, 0, self.size, self.colour)


class Panel:
    """One side of one panel: size, look, layout elements and face printing."""

    def __init__(self, layout, image, w, h, accent, style="front", title=None):
        self.layout, self.image, self.w, self.h = layout, image, w, h
        self.accent, self.style, self.title = accent, style, title
        # Both sides of a panel have one size, so they share one shadow.
        self.shadow = image.replace("_REAR", "") + "_FOND_MASK"
        self.elements = [Sprite("FOND_MASK", self.shadow, 0, 0, blend=1),
                         Sprite("IMAGE_FOND", image, 0, 0)]
        self.ops = []
        self.seed = sum(ord(ch) for ch in image)

    # Printing helpers (deferred until the face is drawn).
    def op(self, fn):
        self.ops.append(fn)

    def ink(self):
        return P.SILK if self.style in ("rear", "graphite") else P.INK

    def legend(self, text, x, y, anchor="ma", colour=None):
        """Crisp printed legend; (x, y) is the top of the capitals, anchored left/middle/right."""
        self.op(lambda L: L.paint(L.pixel_text(text, x, y, FONT, anchor),
                                  self.ink() if colour is None else colour))

    def title_band(self, y0, y1, text, x=14):
        self.op(lambda L: draw_band(L, y0, y1, self.accent, text, x))

    def screws(self, points):
        for i, (x, y) in enumerate(points):
            self.op(lambda L, x=x, y=y, i=i: parts.screw(L, x, y, 2.7, self.seed + i))

    def name_strip(self, x0, y0, x1, y1):
        self.op(lambda L: draw_strip(L, x0, y0, x1, y1))
        self.elements.append(Label("label_NAME", "NAME", x0 + 3, y0 + (y1 - y0 - 7) // 2))

    def lcd(self, x0, y0, x1, y1):
        self.op(lambda L: draw_lcd(L, x0, y0, x1, y1))

    def value(self, name, text, cx, y, width):
        """Value label in a small LCD window centred on cx, text starting near its left edge."""
        x0 = int(round(cx - width / 2))
        self.lcd(x0, y - 2, x0 + width, y + 9)
        self.elements.append(Label(name, text, x0 + 3, y))

    def knob(self, name, image, cx, cy, legend=None, ticks=11, r_in=None, r_out=None, angle=0):
        w, h = SIZES[image]
        self.elements.append(Slider(name, image, cx - w // 2, cy - h // 2, angle=angle))
        r_in = r_in if r_in is not None else w / 2 + 1.6
        r_out = r_out if r_out is not None else w / 2 + 3.6
        self.op(lambda L: parts.dial_marks(L, cx, cy, r_in, r_out, ticks, self.ink(), width=1.0))
        if legend:
            self.legend(legend, cx, cy - r_out - 8)

    def button(self, name, on, off, hover, x, y, legend=None, legend_at=None):
        self.elements.append(Button(name, on, off, hover, x, y))
        if legend:
            lx, ly = legend_at
            self.legend(legend, lx, ly)

    def display(self, name, image, x, y):
        self.op(lambda L: draw_recess(L, x - 1, y - 1, x + 49, y + 29))
        self.elements.append(Sprite(name, image, x, y))

    def jack(self, name, cx, cy, text, kind="audio"):
        """Socket with its silkscreen ring and legend; outputs sit in a filled box."""
        self.elements.append(Sprite(name, "JACK", cx - 8, cy - 8, mask="JACK_MASK", key_enabled=1))
        colour = {"audio": P.SILK, "gate": P.GATE, "sync": P.SYNC}[kind]
        out = name.startswith("OUTPUT")
        self.op(lambda L: draw_jack_mark(L, cx, cy, colour, out))
        self.legend(text, cx, cy + 12, colour=P.INK if out else colour)

    def rc_text(self):
        return "".join(e.line() for e in self.elements)

    def sprite_positions(self):
        return [(e.image, e.x, e.y) for e in self.elements if isinstance(e, Sprite)]


FONT = None  # path of the 8-pixel legend font, set by artgen before drawing


def draw_band(L, y0, y1, accent, text, x):
    """Anodised colour band with an engraved title."""
    band = L.rrect(0, y0, L.w, y1, 0)
    n = periodic_noise(L.H, L.W, 5, 0.7 * L.ss)
    t = np.clip((L.Y - y0) / max(y1 - y0, 1), 0, 1)
    col = mix(accent * 1.08, accent * 0.82, t) * (1 + 0.035 * n)[..., None]
    L.paint(band, col)
    L.paint(L.rrect(0, y0, L.w, y0 + 0.8, 0), (1, 1, 1), 0.35)
    L.paint(L.rrect(0, y1 - 0.8, L.w, y1, 0), (0, 0, 0), 0.45)
    if text:
        cov = L.text(text, 10.5, x, (y0 + y1) / 2, font=SANS_BOLD, anchor="lm", tracking=1.3)
        shadow = np.roll(np.roll(cov, -L.ss // 2, axis=0), -L.ss // 2, axis=1)
        L.paint(shadow * (1 - cov), (0, 0, 0), 0.45)
        L.paint(cov, mix(P.SILK, (1, 1, 1), 0.5))


def draw_strip(L, x0, y0, x1, y1):
    """White matte scribble strip where the module's name is shown."""
    L.paint(L.rrect(x0 - 0.6, y0 - 0.6, x1 + 0.6, y1 + 0.6, 1.6), (0, 0, 0), 0.45)
    n = periodic_noise(L.H, L.W, 3, 0.5 * L.ss)
    L.paint(L.rrect(x0, y0, x1, y1, 1.2), (0.95 + 0.012 * n)[..., None] * np.array([1.0, 0.99, 0.955]))


def draw_lcd(L, x0, y0, x1, y1):
    """Reflective LCD window: pale green with an inner shadow along the top."""
    L.paint(L.rrect(x0 - 0.7, y0 - 0.7, x1 + 0.7, y1 + 0.7, 1.2), (0.06, 0.06, 0.07), 0.85)
    inner = L.rrect(x0, y0, x1, y1, 0.8)
    t = np.clip((L.Y - y0) / max(y1 - y0, 1), 0, 1)
    L.paint(inner, mix(P.LCD * 0.86, P.LCD * 1.02, smoothstep(0, 0.35, t)))


def draw_recess(L, x0, y0, x1, y1):
    L.paint(L.rrect(x0 - 1, y0 - 1, x1 + 1, y1 + 1, 2.0), (0, 0, 0), 0.35)
    L.paint(L.rrect(x0, y0, x1, y1, 1.6), (0.05, 0.05, 0.06))


def draw_jack_mark(L, cx, cy, colour, out):
    if out:
        L.paint(L.rrect(cx - 14, cy - 13, cx + 14, cy + 21, 2.5), P.SILK)
        L.paint(L.ring(cx, cy, 9.2, 10.2), P.INK, 0.9)
    else:
        L.paint(L.ring(cx, cy, 9.2, 10.0), colour, 0.9)


def base_plate(panel):
    """The bare plate: brushed aluminium, dark anodised rear or graphite, edges bevelled."""
    w, h = panel.w, panel.h
    L = Layer(w, h, 3)
    if panel.style == "front":
        n = brushed(L.H, L.W, panel.seed, streak=90)
        t = np.clip(L.Y / h, 0, 1)
        col = mix(P.ALU_TOP, P.ALU_BOTTOM, t) * (1 + 0.022 * n)[..., None]
    elif panel.style == "rear":
        n = periodic_noise(L.H, L.W, panel.seed, 0.45 * L.ss)
        t = np.clip(L.Y / h, 0, 1)
        col = mix(P.REAR_TOP, P.REAR_BOTTOM, t) * (1 + 0.05 * n)[..., None]
    else:
        n = periodic_noise(L.H, L.W, panel.seed, 0.45 * L.ss)
        t = np.clip(L.Y / h, 0, 1)
        col = mix(P.GRAPHITE_TOP, P.GRAPHITE_BOTTOM, t) * (1 + 0.04 * n)[..., None]
    L.paint(np.ones_like(L.cov), col)
    return L


def bevel(L):
    w, h = L.w, L.h
    L.paint(L.rrect(0, 0, w, 1, 0), (1, 1, 1), 0.45)
    L.paint(L.rrect(0, 0, 1, h, 0), (1, 1, 1), 0.3)
    L.paint(L.rrect(0, h - 1, w, h, 0), (0, 0, 0), 0.55)
    L.paint(L.rrect(w - 1, 0, w, h, 0), (0, 0, 0), 0.45)


def render_face(panel):
    L = base_plate(panel)
    for fn in panel.ops:
        fn(L)
    bevel(L)
    return L


def render_shadow(panel):
    """Soft drop shadow, drawn multiplied below the plate: white is 'leave as is'."""
    w, h = panel.w + 8, panel.h + 8
    L = Layer(w, h, 2)
    qx = np.maximum(np.abs(L.X - (panel.w / 2 + 2.0)) - panel.w / 2, 0)
    qy = np.maximum(np.abs(L.Y - (panel.h / 2 + 3.0)) - panel.h / 2, 0)
    d = np.hypot(qx, qy)
    dark = 0.62 * np.exp(-(d / 2.6) ** 2)
    L.paint(np.ones_like(L.cov), (1, 1, 1))
    L.col *= (1 - dark)[..., None]
    return L


# The panels.

def vco_front():
    p = Panel("VCO.RC", "PANEL_VCO", 200, 136, P.ACCENT["VCO"])
    p.title_band(0, 17, "OSCILLATOR")
    p.name_strip(118, 3, 186, 14)
    for (name, legend, label, text), cx in zip(
            [("SLD_FREQUENCE", "FREQ", "LABEL_FREQUENCE", "440.000"),
             ("SLD_VOLUME", "LEVEL", "LABEL_VOLUME", "1.000"),
             ("SLD_PHASE", "PHASE", "LABEL_PHASE", "0"),
             ("SLD_PWM", "PWM", "LABEL_PWM", "0.500")], (30, 77, 124, 171)):
        p.knob(name, "KNOB_L", cx, 55, legend)
        p.value(label, text, cx, 78, 40)
    p.legend("WAVE", 38, 94)
    p.display("AFFICHAGE_TYPE_ONDE", "DISP_SIN", 14, 102)
    p.button("POWER", "POWER_ON", "POWER_OFF", "0", 80, 108, "POWER", (88, 98))
    p.op(lambda L: draw_model(L, "VCO", 186, 110, p.accent))
    p.screws([(6, 8.5), (194, 8.5), (6, 129), (194, 129)])
    return p


def vco_rear():
    p = Panel("BACK_VCO.RC", "PANEL_VCO_REAR", 200, 136, P.ACCENT["VCO"], "rear")
    p.title_band(0, 17, "OSCILLATOR")
    row1 = [("INPUT", "IN", "audio"), ("INPUT_MOD_FREQ", "FM", "audio"), ("INPUT_MOD_AMP", "AM", "audio"),
            ("INPUT_MOD_PHASE", "PM", "audio")]
    row2 = [("INPUT_MOD_PWM", "PWM", "audio"), ("INPUT_SYNC", "SYNC", "sync"), ("INPUT_GATE", "GATE", "gate"),
            ("OUTPUT", "OUT", "audio")]
    for row, cy in ((row1, 44), (row2, 92)):
        for (name, text, kind), cx in zip(row, (30, 77, 124, 171)):
            p.jack(name, cx, cy, text, kind)
    p.op(lambda L: draw_vents(L, 60, 124, 140, 4))
    p.screws([(6, 8.5), (194, 8.5), (6, 129), (194, 129)])
    return p


def vca_front():
    p = Panel("VCA.RC", "PANEL_VCA", 260, 80, P.ACCENT["VCA"])
    p.title_band(0, 17, "ENVELOPE AMP")
    p.name_strip(180, 3, 248, 14)
    p.button("POWER", "POWER_ON", "POWER_OFF", "0", 12, 34, "POWER", (20, 24))
    p.op(lambda L: draw_adsr(L, 8, 55, 34, 68))
    for (name, legend, label, text), cx in zip(
            [("SLD_ATTACK", "ATTACK", "LABEL_ATTACK", "10.0"), ("SLD_DECAY", "DECAY", "LABEL_DECAY", "100.0"),
             ("SLD_SUSTAIN", "SUSTAIN", "LABEL_SUSTAIN", "0.50"),
             ("SLD_RELEASE", "RELEASE", "LABEL_RELEASE", "200.0")], (70, 120, 170, 220)):
        p.knob(name, "KNOB_M", cx, 42, legend, r_in=13.6, r_out=15.4)
        p.value(label, text, cx, 62, 36)
    p.screws([(6, 8.5), (254, 8.5), (248, 74)])
    return p


def vca_rear():
    p = Panel("BACK_VCA.RC", "PANEL_VCA_REAR", 260, 80, P.ACCENT["VCA"], "rear")
    p.title_band(0, 17, "ENVELOPE AMP")
    p.jack("INPUT", 36, 42, "IN")
    p.jack("INPUT_GATE", 80, 42, "GATE", "gate")
    p.jack("OUTPUT", 222, 42, "OUT")
    p.op(lambda L: draw_flow(L, 104, 42, 196))
    p.screws([(6, 8.5), (254, 8.5), (6, 74), (254, 74)])
    return p


def vcf_front():
    p = Panel("VCF.RC", "PANEL_VCF", 188, 90, P.ACCENT["VCF"])
    p.title_band(0, 17, "FILTER")
    p.name_strip(110, 3, 178, 14)
    p.display("AFFICHAGE_TYPE_FILTRE", "DISP_FILTRE_LOWPASS", 8, 22)
    p.lcd(8, 53, 56, 64)
    p.elements.append(Label("LABEL_TYPE", "0", 10, 55))
    p.legend("TYPE", 32, 68)
    for (name, legend, label, text), cx in zip(
            [("SLD_HICUTOFF", "CUTOFF", "LABEL_HICUTOFF", "1000"), ("SLD_QRATIO", "Q", "LABEL_QRATIO", "0.7"),
             ("SLD_GAIN", "GAIN", "LABEL_GAIN", "0.0"), ("SLD_LEVEL", "LEVEL", "LABEL_LEVEL", "1.0")],
            (77, 108, 139, 170)):
        p.knob(name, "KNOB_M", cx, 41, legend, ticks=7, r_in=13.2, r_out=14.8)
        p.value(label, text, cx, 60, 28)
    p.button("POWER", "POWER_ON", "POWER_OFF", "0", 64, 72, "POWER", (100, 77))
    p.button("BYPASS", "CHK_4_ON", "CHK_4_OFF", "0", 122, 72, "BYPASS", (158, 77))
    p.screws([(6, 8.5), (182, 8.5), (182, 84)])
    return p


def vcf_rear():
    p = Panel("BACK_VCF.RC", "PANEL_VCF_REAR", 188, 90, P.ACCENT["VCF"], "rear")
    p.title_band(0, 17, "FILTER")
    row1 = [("INPUT", "IN", "audio"), ("INPUT_MOD_FREQ", "FM", "audio"), ("INPUT_MOD_AMP", "AM", "audio"),
            ("INPUT_MOD_PHASE", "PM", "audio")]
    row2 = [("INPUT_SYNC", "SYNC", "sync"), ("INPUT_GATE", "GATE", "gate")]
    for (name, text, kind), cx in zip(row1, (24, 64, 104, 144)):
        p.jack(name, cx, 33, text, kind)
    for (name, text, kind), cx in zip(row2, (24, 64)):
        p.jack(name, cx, 66, text, kind)
    p.jack("OUTPUT", 144, 66, "OUT")
    p.screws([(6, 8.5), (182, 8.5), (6, 84), (182, 84)])
    return p


MIXER_COLUMNS = (72, 162, 252)
MIXER_ROWS = (73, 91, 109, 127, 145, 163, 181)


def mixer_front():
    p = Panel("MIXER.RC", "PANEL_MIXER", 280, 200, P.ACCENT["MIXER"])
    p.title_band(0, 17, "MIXER")
    p.name_strip(200, 3, 268, 14)
    p.button("POWER", "POWER_ON", "POWER_OFF", "0", 14, 26, "POWER", (50, 30))
    p.legend("CHANNELS 1-6 LIVE", 266, 30, "ra", P.INK_SOFT)

    def grid(L):
        for ci, X in enumerate(MIXER_COLUMNS):
            for ri, Y in enumerate(MIXER_ROWS):
                if ri % 2 == 0:
                    L.paint(L.rrect(X - 56, Y - 5, X + 18, Y + 13, 1.5), (0, 0, 0), 0.06)
                draw_lcd(L, X - 2, Y - 2, X + 15, Y + 9)
            if ci:
                L.paint(L.rrect(X - 64.5, 56, X - 63.7, 194, 0), (0, 0, 0), 0.25)
                L.paint(L.rrect(X - 63.7, 56, X - 62.9, 194, 0), (1, 1, 1), 0.5)
    p.op(grid)
    for X in MIXER_COLUMNS:
        p.legend("CH", X - 47, 58)
        p.legend("MUTE", X - 32, 58)
        p.legend("LVL", X - 14, 58)
        p.legend("VAL", X + 6, 58)
    p.screws([(6, 8.5), (274, 8.5), (6, 193), (274, 193)])
    return p


def mixer_rear():
    p = Panel("BACK_MIXER.RC", "PANEL_MIXER_REAR", 280, 200, P.ACCENT["MIXER"], "rear")
    p.title_band(0, 17, "MIXER")
    n = 1
    for cy in (40, 78, 116, 154):
        for cx in (22, 58, 94, 130, 166, 202):
            p.jack("INPUT_%d" % n, cx, cy, str(n))
            n += 1
    p.jack("OUTPUT", 250, 78, "OUT")
    p.legend("MASTER", 250, 116)
    p.op(lambda L: draw_vents(L, 226, 150, 270, 3))
    p.screws([(6, 8.5), (274, 8.5), (6, 193), (274, 193)])
    return p


def keyboard_front():
    p = Panel("KEYBOARD.RC", "PANEL_KEYBOARD", 112, 88, P.ACCENT["KEYBOARD"])
    p.title_band(0, 17, "KEYBOARD", x=12)
    p.name_strip(6, 20, 106, 31)
    p.button("POWER", "POWER_ON", "POWER_OFF", "0", 10, 40, "POWER", (18, 58))
    p.op(lambda L: draw_digit_window(L, 48, 36, 66, 56))
    p.elements.append(Sprite("SPRITE_OCT", "LED_NUMERIC_1_2", 53, 38, key_enabled=1, key=MAGENTA))
    p.button("BUTTON_OCT_UP", "ARROW_0", "ARROW_0", "ARROW_2", 74, 35)
    p.button("BUTTON_OCT_DOWN", "ARROW_1", "ARROW_1", "ARROW_3", 74, 49)
    p.legend("OCTAVE", 72, 60)
    p.op(lambda L: draw_keys(L, 8, 70, 104, 83))
    p.screws([(5, 8.5), (107, 8.5)])
    return p


def keyboard_rear():
    p = Panel("BACK_KEYBOARD.RC", "PANEL_KEYBOARD_REAR", 112, 88, P.ACCENT["KEYBOARD"], "rear")
    p.title_band(0, 17, "KEYBOARD", x=12)
    p.jack("OUTPUT", 24, 44, "PITCH")
    p.jack("OUTPUT_GATE", 56, 44, "GATE", "gate")
    p.jack("OUTPUT_SYNC", 88, 44, "SYNC", "sync")
    p.op(lambda L: draw_vents(L, 14, 78, 98, 3))
    p.screws([(5, 8.5), (107, 8.5)])
    return p


SEQ_STEPS = 32


def sequencer_front():
    p = Panel("SEQUENCEUR.RC", "PANEL_SEQUENCER", 712, 228, P.ACCENT["SEQUENCER"])

    def columns(L):
        for u in range(SEQ_STEPS):
            cx = 20 * u
            if (u // 4) % 2 == 0:
                L.paint(L.rrect(cx + 60, 2, cx + 80, 172, 1.5), (0, 0, 0), 0.05)
            for y in (36, 73):
                # The digit tiles are multiplied onto the plate: white under them keeps
                # their colours, and the bezel closes the gap between the two tiles.
                L.paint(L.rrect(cx + 59.5, y - 1.5, cx + 79.5, y + 17.5, 1.6), (0.05, 0.05, 0.06))
                L.paint(L.rrect(cx + 61, y, cx + 69, y + 16, 0), (1, 1, 1))
                L.paint(L.rrect(cx + 70, y, cx + 78, y + 16, 0), (1, 1, 1))
            for y in (125, 155):
                draw_lcd(L, cx + 61, y - 2, cx + 79, y + 9)
            L.paint(L.pixel_text(str(u + 1), cx + 70, 165, FONT, "ma"), P.INK_SOFT)
        L.paint(L.rrect(4, 174.5, 708, 175.3, 0), (0, 0, 0), 0.3)
        L.paint(L.rrect(4, 175.3, 708, 176.1, 0), (1, 1, 1), 0.6)
    p.op(columns)
    for text, y in (("STEP", 6), ("MUTE", 16), ("OCT", 41), ("NOTE", 78), ("VOL", 111), ("LEN", 141)):
        p.legend(text, 56, y, "ra")
    p.legend("+", 56, 28, "ra", P.INK_SOFT)
    p.legend("-", 56, 54, "ra", P.INK_SOFT)
    p.legend("+", 56, 65, "ra", P.INK_SOFT)
    p.legend("-", 56, 92, "ra", P.INK_SOFT)

    p.button("POWER", "POWER_ON", "POWER_OFF", "0", 12, 189, "POWER", (20, 179))
    for i in range(8):
        p.button("BUTTON_PATTERN_%d" % i, "PATTERN_%d" % i, "PATTERN_%d" % i, "PATTERN_%d" % (i + 8),
                 44 + 18 * i, 190)
    p.legend("PATTERN", 44 + 63, 179)
    p.button("BUTTON_DIVIDER_DOWN", "ARROW_1", "ARROW_1", "ARROW_3", 200, 191)
    p.button("BUTTON_DIVIDER_UP", "ARROW_0", "ARROW_0", "ARROW_2", 216, 191)
    p.legend("DIVIDER", 222, 179)
    p.lcd(236, 189, 266, 202)
    p.elements.append(Label("LABEL_DIVIDER", "2.000", 239, 192))
    p.legend("NOW", 251, 179)
    p.lcd(272, 189, 302, 202)
    p.elements.append(Label("LABEL_WISHED_DIVIDER", "2.000", 275, 192))
    p.legend("NEXT", 287, 179)
    p.button("BUTTON_MAX_STEP_DOWN", "ARROW_1", "ARROW_1", "ARROW_3", 322, 191)
    p.button("BUTTON_MAX_STEP_UP", "ARROW_0", "ARROW_0", "ARROW_2", 338, 191)
    p.lcd(356, 189, 374, 202)
    p.elements.append(Label("LABEL_MAX_STEP", "32", 359, 192))
    p.legend("STEPS", 348, 179)
    p.op(lambda L: draw_model(L, "SEQ-32", 700, 186, p.accent))
    p.title_band(208, 228, "STEP SEQUENCER", x=16)
    p.name_strip(622, 212, 694, 223)
    p.screws([(6, 218), (706, 218), (706, 7)])
    return p


def sequencer_rear():
    p = Panel("BACK_SEQUENCEUR.RC", "PANEL_SEQUENCER_REAR", 712, 228, P.ACCENT["SEQUENCER"], "rear")
    p.jack("OUTPUT", 560, 96, "PITCH")
    p.jack("OUTPUT_GATE", 610, 96, "GATE", "gate")
    p.jack("OUTPUT_SYNC", 660, 96, "SYNC", "sync")
    p.op(lambda L: draw_sticker(L, 40, 30, 250, 96))
    p.op(lambda L: draw_vents(L, 40, 170, 480, 5))
    p.op(lambda L: draw_model(L, "SEQ-32", 700, 150, p.accent))
    p.title_band(208, 228, "STEP SEQUENCER", x=16)
    p.screws([(6, 218), (706, 218), (6, 7), (706, 7)])
    return p


def sampler_front():
    p = Panel("SAMPLER.RC", "PANEL_SAMPLER", 200, 70, P.ACCENT["SAMPLER"])
    p.title_band(0, 17, "SAMPLER")
    p.name_strip(118, 3, 186, 14)
    p.op(lambda L: draw_sample_screen(L, 10, 23, 150, 62))
    p.legend("WAVE", 176, 28)
    p.op(lambda L: draw_model(L, "SMP", 190, 46, p.accent))
    p.screws([(6, 8.5), (194, 8.5)])
    return p


def sampler_rear():
    p = Panel("BACK_SAMPLER.RC", "PANEL_SAMPLER_REAR", 200, 70, P.ACCENT["SAMPLER"], "rear")
    p.title_band(0, 17, "SAMPLER")
    p.jack("OUTPUT", 170, 38, "OUT")
    p.legend("16 BIT STEREO WAVE", 14, 30, "la")
    p.op(lambda L: draw_vents(L, 14, 50, 130, 3))
    p.screws([(6, 8.5), (194, 8.5)])
    return p


def info_dash():
    p = Panel("DASH.RC", "DASH_INFO", 320, 90, P.ACCENT["SYSTEM"], "graphite")
    p.title_band(0, 16, "MODULE INFO")
    p.lcd(74, 20, 312, 80)

    def rules(L):
        for y in (40, 60):
            L.paint(L.rrect(78, y - 0.4, 308, y + 0.4, 0), P.LCD_EDGE, 0.6)
    p.op(rules)
    for text, y in (("TARGET", 25), ("TYPE", 45), ("VIEW", 65)):
        p.legend(text, 68, y, "ra")
    p.screws([(6, 8), (314, 8), (6, 84), (314, 84)])
    return p


def system_dash():
    p = Panel("SYSTEM_DASH.RC", "DASH_SYSTEM", 320, 60, P.ACCENT["SYSTEM"], "graphite")
    p.title_band(0, 16, "SYSTEM")
    for i, (name, hint) in enumerate((("BUTTON_NEW", ""), ("BUTTON_LOAD", "F3"), ("BUTTON_SAVE", "F4"),
                                      ("BUTTON_FILS", "F6"))):
        x = 12 + 76 * i
        p.button(name, "SYSBTN_%d" % i, "SYSBTN_%d" % i, "SYSBTN_%d" % (i + 4), x, 22)
        if hint:
            p.legend(hint, x + 32, 49)
    p.screws([(6, 8), (314, 8)])
    return p


def module_dash():
    p = Panel("MODULE_DASH.RC", "DASH_MODULE", 300, 110, P.ACCENT["SYSTEM"], "graphite")

    def plate(L):
        cov = L.text("TESSARO", 22, 150, 16, font=SANS_BOLD, anchor="ma", tracking=4.0)
        L.paint(np.roll(cov, L.ss, axis=0) * (1 - cov), (0, 0, 0), 0.5)
        L.paint(cov, mix(P.CHROME, (1, 1, 1), 0.3))
        L.paint(L.text("MODULAR  SYNTHESIZER", 7.5, 150, 40, font=SANS, anchor="ma", tracking=1.6),
                P.ACCENT["SEQUENCER"])
        L.paint(L.rrect(20, 53.5, 280, 54.3, 0), (0, 0, 0), 0.5)
        L.paint(L.rrect(20, 54.3, 280, 55.1, 0), (1, 1, 1), 0.12)
    p.op(plate)
    for i, line in enumerate(("F1 SCOPE   F3 LOAD   F4 SAVE   F6 CABLES",
                              "TAB NEXT VCO   5 FOLD   ESC QUIT",
                              "PLAY  ZXCVBN  ASDFGH  QWERTY")):
        p.legend(line, 150, 62 + 12 * i, "ma")
    p.screws([(6, 6), (294, 6), (6, 104), (294, 104)])
    return p


def chooser():
    p = Panel("LOAD.RC", "CHOOSER_BG", 512, 256, P.ACCENT["SYSTEM"], "graphite")
    p.title_band(0, 22, "PATCH LIBRARY", x=18)

    def screen(L):
        draw_recess(L, 138, 40, 294, 214)
        inner = L.rrect(140, 42, 292, 212, 1.5)
        vign = smoothstep(0, 1, 1 - np.hypot((L.X - 216) / 90, (L.Y - 127) / 100) * 0.5)
        L.paint(inner, P.SCREEN[None, None, :] * (0.8 + 0.9 * vign[..., None]))
        for r in range(10):
            y = 50 + 16 * r - 4.5
            L.paint(L.rrect(144, y - 0.3, 288, y + 0.3, 0) * inner, P.SCREEN_GRID, 0.7)
        L.paint(L.rrect(303, 60, 311, 186, 3), (0.05, 0.05, 0.06))
        draw_file_icon(L, 30, 60)
    p.op(screen)
    p.button("BUTTON_OCT_UP", "ARROW_0", "ARROW_0", "ARROW_2", 300, 43)
    p.button("BUTTON_OCT_DOWN", "ARROW_1", "ARROW_1", "ARROW_3", 300, 199)
    for i, line in enumerate(("CLICK A NAME", "TO LOAD THAT PATCH", "", "HOLD AN ARROW", "TO SCROLL")):
        if line:
            p.legend(line, 336, 70 + 12 * i, "la")
    p.op(lambda L: draw_model(L, "KVX", 494, 196, p.accent))
    p.screws([(8, 11), (504, 11), (8, 248), (504, 248)])
    return p


def all_panels():
    return [vco_front(), vco_rear(), vca_front(), vca_rear(), vcf_front(), vcf_rear(), mixer_front(),
            mixer_rear(), keyboard_front(), keyboard_rear(), sequencer_front(), sequencer_rear(),
            sampler_front(), sampler_rear(), info_dash(), system_dash(), module_dash(), chooser()]


# Decorations.

def draw_model(L, text, right, top, accent):
    """Large embossed model letters with the maker's name under them."""
    cov = L.text(text, 17, right, top, font=SANS_BOLD, anchor="ra", tracking=1.0)
    L.paint(np.roll(np.roll(cov, L.ss, axis=0), L.ss, axis=1) * (1 - cov), (1, 1, 1), 0.35)
    L.paint(cov, (0, 0, 0), 0.22)
    small = L.text("tessaro", 7.5, right, top + 17, font=SANS_BOLD, anchor="ra", tracking=0.6)
    L.paint(small, accent * 0.8)


def draw_vents(L, x0, y, x1, rows):
    for r in range(rows):
        yy = y - r * 4
        for x in np.arange(x0, x1 - 6, 10):
            L.paint(L.rrect(x, yy - 0.8, x + 7, yy + 0.8, 0.8), (0, 0, 0), 0.75)


def draw_sticker(L, x0, y0, x1, y1):
    """Rating plate on a rear: maker, model and the pattern memory."""
    L.paint(L.rrect(x0 + 1, y0 + 1.5, x1 + 1, y1 + 1.5, 2.5), (0, 0, 0), 0.5)
    L.paint(L.rrect(x0, y0, x1, y1, 2.5), mix(P.ALU_TOP, P.ALU_BOTTOM, np.clip((L.Y - y0) / (y1 - y0), 0, 1)))
    L.paint(L.text("TESSARO", 11, x0 + 10, y0 + 9, font=SANS_BOLD, anchor="la", tracking=2.0), P.INK)
    L.paint(L.rrect(x0 + 10, y0 + 25, x1 - 10, y0 + 25.8, 0), P.INK, 0.6)
    for i, line in enumerate(("MODEL SEQ-32  STEP SEQUENCER", "32 STEPS  32 PATTERNS",
                              "NOTE = STEP NOTE + 12 x OCTAVE")):
        L.paint(L.pixel_text(line, x0 + 10, y0 + 31 + 11 * i, FONT, "la"), P.INK)


def draw_flow(L, x0, y, x1):
    ink = P.SILK
    L.paint(L.capsule(x0, y, x1 - 4, y, 0.9), ink, 0.8)
    L.paint(L.polygon([(x1, y), (x1 - 6, y - 3.5), (x1 - 6, y + 3.5)]), ink, 0.8)
    m = (x0 + x1) / 2
    tri = L.polygon([(m - 9, y - 9), (m + 9, y), (m - 9, y + 9)])
    inner = L.polygon([(m - 7.8, y - 6.8), (m + 6.6, y), (m - 7.8, y + 6.8)])
    L.paint(tri, ink, 0.85)
    L.paint(inner, P.REAR_TOP * 1.05)


def draw_adsr(L, x0, y0, x1, y1):
    w, h = x1 - x0, y1 - y0
    pts = [(x0, y1), (x0 + w * 0.2, y0), (x0 + w * 0.4, y0 + h * 0.45), (x0 + w * 0.72, y0 + h * 0.45),
           (x1, y1)]
    L.paint(L.polyline(pts, 0.9), P.INK_SOFT, 0.9)


def draw_digit_window(L, x0, y0, x1, y1):
    L.paint(L.rrect(x0 - 1, y0 - 1, x1 + 1, y1 + 1, 2), (1, 1, 1), 0.4)
    L.paint(L.rrect(x0, y0, x1, y1, 1.6), (0.04, 0.03, 0.03))


def draw_keys(L, x0, y0, x1, y1):
    """A little printed keyboard: 14 white keys with their black keys."""
    n = 14
    kw = (x1 - x0) / n
    L.paint(L.rrect(x0 - 1, y0 - 1, x1 + 1, y1 + 1, 1.2), (0.1, 0.1, 0.11))
    for i in range(n):
        L.paint(L.rrect(x0 + i * kw + 0.35, y0, x0 + (i + 1) * kw - 0.35, y1, 0.6),
                mix((0.98, 0.97, 0.94), (0.82, 0.81, 0.78), np.clip((L.Y - y0) / (y1 - y0), 0, 1)))
    for i in range(n - 1):
        if i % 7 in (2, 6):
            continue
        cx = x0 + (i + 1) * kw
        L.paint(L.rrect(cx - kw * 0.32, y0, cx + kw * 0.32, y0 + (y1 - y0) * 0.6, 0.4), (0.07, 0.07, 0.08))


def draw_sample_screen(L, x0, y0, x1, y1):
    draw_recess(L, x0, y0, x1, y1)
    inner = L.rrect(x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5, 1.0)
    L.paint(inner, P.SCREEN)
    rng = np.random.default_rng(3)
    n = 220
    xs = np.linspace(x0 + 3, x1 - 3, n)
    env = np.exp(-np.linspace(0, 4.5, n)) * (1 - np.exp(-np.linspace(0, 60, n)))
    v = env * np.clip(rng.standard_normal(n) * 0.5 + np.sin(np.linspace(0, 70, n)) * 0.5, -1, 1)
    cy = (y0 + y1) / 2
    amp = (y1 - y0) / 2 - 4
    for x, a in zip(xs, v):
        L.paint(L.rrect(x - 0.3, cy - abs(a) * amp - 0.3, x + 0.3, cy + abs(a) * amp + 0.3, 0) * inner,
                P.TRACE, 0.85)
    L.paint(L.rrect(x0 + 3, cy - 0.2, x1 - 3, cy + 0.2, 0) * inner, P.TRACE_GLOW, 0.5)


def draw_file_icon(L, x, y):
    """A patch file card with a cable drawn on it."""
    w, h = 76, 96
    L.paint(L.rrect(x + 2, y + 3, x + w + 2, y + h + 3, 3), (0, 0, 0), 0.4)
    card = L.polygon([(x, y), (x + w - 18, y), (x + w, y + 18), (x + w, y + h), (x, y + h)])
    L.paint(card, mix(P.ALU_TOP, P.ALU_BOTTOM, np.clip((L.Y - y) / h, 0, 1)))
    L.paint(L.polygon([(x + w - 18, y), (x + w - 18, y + 18), (x + w, y + 18)]), P.ALU_BOTTOM * 0.8)
    L.paint(L.text("KVX", 15, x + w / 2, y + 30, font=SANS_BOLD, anchor="ma", tracking=1.0), P.INK)
    pts = [(x + 14 + t * (w - 28), y + 70 + 10 * math.sin(t * math.pi)) for t in np.linspace(0, 1, 20)]
    L.paint(L.polyline(pts, 2.2), P.CABLE * 0.8)
    for px in (x + 14, x + w - 14):
        L.paint(L.circle(px, y + 70, 4.2), (0.08, 0.08, 0.09))
        L.paint(L.circle(px, y + 70, 2.4), P.ACCENT["VCO"])
