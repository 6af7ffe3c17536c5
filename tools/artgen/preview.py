# Composes the written sprites into window-sized scenes the way the toolkit draws them, for review.
"""Usage, from the repository root after artgen has run:

    /usr/bin/python3 tools/artgen/preview.py OUT_PREFIX [ROOT]

writes OUT_PREFIX-panels.png (front sides, dashboards) and OUT_PREFIX-cables.png (rear
sides with patch cables).  Sprites are drawn as the toolkit does: the mask multiplied,
then the image added; blended sprites multiplied; knobs turned about their centre;
labels in the 8-pixel font with their baseline 6 pixels below their position.
"""

import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, HERE)

from sheets import cut_sheet, parse_zim  # noqa: E402


class Registry:
    def __init__(self, root):
        self.root = root
        self.images = {}
        with open(os.path.join(root, "grfx", "opengl.zim")) as f:
            for e in parse_zim(f.read()):
                pix = np.asarray(Image.open(os.path.join(root, e["path"])).convert("RGB"), np.float32) / 255
                if e["kind"] == "SIMPLEPART":
                    self.images.setdefault(e["name"], pix)
                else:
                    tiles = cut_sheet(pix, e["w"], e["h"], e["rows"], e["cols"], e["gap_x"], e["gap_y"])
                    for n, t in enumerate(tiles):
                        self.images.setdefault("%s_%d" % (e["name"], n), t)

    def get(self, name):
        return self.images.get(name)


def button_mask(image_on):
    """The toolkit's rule: the on-image name up to its last '_', then MASK."""
    cut = image_on.rfind("_")
    return image_on[:cut + 1] + "MASK" if cut > 0 else ""


class Scene:
    def __init__(self, reg, w=1024, h=768):
        self.reg, self.w, self.h = reg, w, h
        self.pix = np.zeros((h, w, 3), np.float32)
        self.font = ImageFont.truetype(os.path.join(REPO, "Fonts", "04B_03B_.TTF"), 8)

    def _transformed(self, a, scale, angle):
        if scale == 1.0 and angle == 0:
            return a
        im = Image.fromarray((a * 255 + 0.5).astype(np.uint8), "RGB")
        if scale != 1.0:
            im = im.resize((max(1, int(round(im.width * scale))), max(1, int(round(im.height * scale)))),
                           Image.NEAREST)
        if angle:
            im = im.rotate(-angle, resample=Image.NEAREST, expand=False)
        return np.asarray(im, np.float32) / 255

    def _region(self, a, cx, cy):
        h, w = a.shape[:2]
        x0, y0 = int(round(cx - w / 2)), int(round(cy - h / 2))
        sx0, sy0 = max(0, -x0), max(0, -y0)
        dx0, dy0 = max(0, x0), max(0, y0)
        cw, ch = min(w - sx0, self.w - dx0), min(h - sy0, self.h - dy0)
        if cw <= 0 or ch <= 0:
            return None
        return (slice(dy0, dy0 + ch), slice(dx0, dx0 + cw)), (slice(sy0, sy0 + ch), slice(sx0, sx0 + cw))

    def sprite(self, image, x, y, mask="", blend=0, scale=1.0, angle=0):
        img = self.reg.get(image)
        if img is None:
            return
        h, w = img.shape[:2]
        cx, cy = int(x) + w / 2, int(y) + h / 2
        msk = self.reg.get(mask) if mask else None
        if msk is not None and msk.shape != img.shape:
            msk = None
        if msk is not None:
            # The white beyond a turned mask's corners leaves the picture as it is.
            m = self._transformed(1 - msk, scale, angle)
            m = 1 - m
        img = self._transformed(img, scale, angle)
        r = self._region(img, cx, cy)
        if r is None:
            return
        d, s = r
        if msk is not None:
            self.pix[d] = self.pix[d] * m[s] + img[s]
        elif blend:
            self.pix[d] = self.pix[d] * img[s]
        else:
            self.pix[d] = img[s]
        np.clip(self.pix, 0, 1, out=self.pix)

    def label(self, text, x, y, colour=0):
        layer = Image.new("L", (self.w, self.h), 0)
        ImageDraw.Draw(layer).text((int(x), int(y) + 6), text, font=self.font, fill=255, anchor="ls")
        a = np.asarray(layer, np.float32)[..., None] / 255
        c = np.array([(colour >> 16) & 255, (colour >> 8) & 255, colour & 255], np.float32) / 255
        self.pix = self.pix * (1 - a) + c * a

    def cable(self, x1, y1, x2, y2):
        """The toolkit's sagging quadratic: middle point at the ends' summed height (+15)."""
        p0 = np.array([x1, y1 + 15.0])
        p1 = np.array([(x1 + x2) // 2, y1 + y2 + 15.0])
        p2 = np.array([x2, y2 + 15.0])
        img = Image.fromarray((self.pix * 255 + 0.5).astype(np.uint8), "RGB")
        draw = ImageDraw.Draw(img)
        pts = []
        for i in range(31):
            t = i / 30
            q = (1 - t) ** 2 * p0 + 2 * t * (1 - t) * p1 + t * t * p2
            pts.append((float(q[0]), float(q[1])))
        draw.line(pts, fill=(128, 136, 128), width=3)
        self.pix = np.asarray(img, np.float32) / 255

    def background(self):
        tile = self.reg.get("FOND_ELECTRO")
        th, tw = tile.shape[:2]
        for y in range(0, self.h, th):
            for x in range(0, self.w, tw):
                h, w = min(th, self.h - y), min(tw, self.w - x)
                self.pix[y:y + h, x:x + w] = tile[:h, :w]

    def panel(self, layout_file, px, py, labels=None, extra=()):
        """Draws a layout file's items at a panel position, then generated items."""
        labels = labels or {}
        items = []
        with open(os.path.join(self.reg.root, "RC", layout_file)) as f:
            tokens = f.read().split()
        i = 0
        while i < len(tokens):
            k = tokens[i]
            if k == "SPRITE":
                name, image, mask, x, y, _, _, blend, scale, angle, _ = tokens[i + 1:i + 12]
                items.append(("sprite", name, image, "" if mask.startswith("0") else mask, int(x), int(y),
                              int(blend), float(scale), int(angle)))
                i += 12
            elif k == "BUTTON":
                name, on, off, hover, x, y, _, _, blend, scale, angle = tokens[i + 1:i + 12]
                items.append(("sprite", name, off, button_mask(on), int(x), int(y), int(blend), float(scale),
                              int(angle)))
                i += 12
            elif k == "SLIDER":
                name, image, x, y, _, _, blend, scale, angle = tokens[i + 1:i + 10]
                items.append(("sprite", name, image, image + "_MASK", int(x), int(y), int(blend), float(scale),
                              int(angle) + labels.get("angle:" + name, 0)))
                i += 10
            elif k == "LABEL":
                name, text, x, y, _, _, colour = tokens[i + 1:i + 8]
                items.append(("label", name, labels.get(name, text), int(x), int(y), int(colour)))
                i += 8
            else:
                i += 1
        items += list(extra)
        for it in items:
            if it[0] == "sprite":
                _, name, image, mask, x, y, blend, scale, angle = it
                image = labels.get("image:" + name, image)
                self.sprite(image, px + x, py + y, mask, blend, scale, angle)
            else:
                _, name, text, x, y, colour = it
                self.label(text, px + x, py + y, colour)

    def save(self, path):
        Image.fromarray((np.clip(self.pix, 0, 1) * 255 + 0.5).astype(np.uint8), "RGB").save(path)


def mixer_items():
    out = []
    for n in range(1, 22):
        X = (72, 162, 252)[(n - 1) // 7]
        Y = (73, 91, 109, 127, 145, 163, 181)[(n - 1) % 7]
        muted = n in (3, 9)
        out.append(("sprite", "SLD", "SLD", "SLD_MASK", X - 22, Y - 6, 0, 0.75, [900, 1400, 1800, 600][n % 4]))
        out.append(("label", "v", "%2.1f" % ([0.5, 0.8, 1.0, 0.3][n % 4]), X, Y, 0))
        out.append(("label", "n", "%d" % n, X - 50, Y, 0))
        out.append(("sprite", "m", "CHK_4_ON" if muted else "CHK_4_OFF", "CHK_4_MASK", X - 40, Y - 5, 0, 0.75, 0))
    return out


def sequencer_items(active_step=5, steps=16):
    out = []
    notes = [0, 3, 7, 10, 12, 7, 3, 5, 0, 0, 8, 7, 3, 2, 0, 11] * 2
    for u in range(32):
        cx = 20 * u
        s = 1 if u < steps else 2
        note, octave = notes[u], 3 + (u % 3 == 0)
        out.append(("sprite", "lamp", "LAMP_LED_1_1" if u == active_step else "LAMP_LED_1_0", "", cx + 65, 5, 0,
                    1.0, 0))
        out.append(("sprite", "mute", "LAMP_LED_2_1" if u in (6, 13) else "LAMP_LED_2_0", "LAMP_LED_2_MASK",
                    cx + 65, 15, 0, 1.4, 0))
        out.append(("sprite", "ou", "BUTTONSTYLEA_0", "BUTTONSTYLEA_MASK", cx + 65, 27, 0, 1.0, 0))
        out.append(("sprite", "od", "BUTTONSTYLEB_0", "BUTTONSTYLEB_MASK", cx + 65, 53, 0, 1.0, 0))
        out.append(("sprite", "nu", "BUTTONSTYLEA_0", "BUTTONSTYLEA_MASK", cx + 65, 64, 0, 1.0, 0))
        out.append(("sprite", "nd", "BUTTONSTYLEB_0", "BUTTONSTYLEB_MASK", cx + 65, 91, 0, 1.0, 0))
        for value, y in ((octave, 36), (note, 73)):
            tens, units = (2, value - 9) if value > 9 else (1, value + 1)
            out.append(("sprite", "t", "LED_NUMERIC_%d_%d" % (s, tens), "", cx + 61, y, 1, 1.0, 0))
            out.append(("sprite", "u", "LED_NUMERIC_%d_%d" % (s, units), "", cx + 70, y, 1, 1.0, 0))
        out.append(("sprite", "vol", "SLD", "SLD_MASK", cx + 62, 106, 0, 1.0, (u * 37) % 300 - 150))
        out.append(("sprite", "len", "SLD", "SLD_MASK", cx + 62, 136, 0, 1.0, (u * 53) % 300 - 150))
        grey = 0 if u < steps else 0x808080
        out.append(("label", "lv", "%2.1f" % (0.5 + (u % 5) * 0.1), cx + 62, 125, grey))
        out.append(("label", "ll", "%2.1f" % [0.5, 1.0, 0.2, 2.0][u % 4], cx + 62, 155, grey))
    return out


def front_scene(reg, path):
    s = Scene(reg)
    s.background()
    s.panel("KEYBOARD.RC", 10, 12, {"label_NAME": "KEY_1", "image:SPRITE_OCT": "LED_NUMERIC_1_4"})
    s.panel("VCO.RC", 130, 12, {"label_NAME": "VCO_1", "LABEL_FREQUENCE": "110.000", "LABEL_VOLUME": "0.800",
                                "LABEL_PHASE": "0", "LABEL_PWM": "0.300", "angle:SLD_FREQUENCE": 110,
                                "angle:SLD_VOLUME": -40, "angle:SLD_PWM": 60,
                                "image:AFFICHAGE_TYPE_ONDE": "DISP_SAW", "image:POWER": "POWER_ON"})
    s.panel("VCF.RC", 340, 12, {"label_NAME": "PCF_1", "LABEL_TYPE": "LOWPASS", "LABEL_HICUTOFF": "1200",
                                "LABEL_QRATIO": "2.5", "LABEL_GAIN": "0.0", "LABEL_LEVEL": "0.8",
                                "angle:SLD_HICUTOFF": 120, "angle:SLD_QRATIO": -60, "angle:SLD_LEVEL": 90,
                                "image:POWER": "POWER_ON"})
    s.panel("VCA.RC", 538, 12, {"label_NAME": "VCA_1", "LABEL_ATTACK": "5.0", "LABEL_DECAY": "120.0",
                                "LABEL_SUSTAIN": "0.60", "LABEL_RELEASE": "300.0", "angle:SLD_ATTACK": -120,
                                "angle:SLD_DECAY": 30, "angle:SLD_SUSTAIN": 70, "angle:SLD_RELEASE": 110})
    s.panel("SAMPLER.RC", 808, 12, {"label_NAME": "SAMPLER_1"})
    s.panel("MIXER.RC", 10, 166, {"label_NAME": "MIXER_4", "image:POWER": "POWER_ON"}, mixer_items())
    s.panel("SEQUENCEUR.RC", 302, 166, {"label_NAME": "SEQ_1", "LABEL_MAX_STEP": "16",
                                        "image:BUTTON_PATTERN_2": "PATTERN_10"}, sequencer_items())
    s.panel("DASH.RC", 10, 420, {})
    s.label("0x5591c2a0 VCO_1", 10 + 80, 420 + 25, 0xFF00FF)
    s.label("VCO", 10 + 80, 420 + 45, 0)
    s.label("1", 10 + 80, 420 + 65, 0)
    s.panel("SYSTEM_DASH.RC", 10, 530, {})
    s.panel("MODULE_DASH.RC", 10, 610, {})
    s.panel("LOAD.RC", 350, 420, {"image:BUTTON_OCT_DOWN": "ARROW_3"})
    for r, name in enumerate(("BASSLINE.KVX", "DRONE.KVX", "SEQ_DEMO.KVX", "FILTER_SWEEP.KVX", "PADS.KVX")):
        s.label("%32s" % name, 350 + 150, 420 + 50 + 16 * r, 0xFF0000 if r == 1 else 0xFFFFFF)
    s.save(path)


def cable_scene(reg, path):
    s = Scene(reg)
    s.background()
    s.panel("BACK_KEYBOARD.RC", 10, 12)
    s.panel("BACK_VCO.RC", 130, 12)
    s.panel("BACK_VCF.RC", 340, 12)
    s.panel("BACK_VCA.RC", 538, 12)
    s.panel("BACK_SAMPLER.RC", 808, 12)
    s.panel("BACK_MIXER.RC", 10, 166)
    s.panel("BACK_SEQUENCEUR.RC", 302, 166)
    s.panel("VCO.RC", 10, 420, {"label_NAME": "VCO_2", "image:AFFICHAGE_TYPE_ONDE": "DISP_PULSE"})
    jack = {}
    for f, px, py in (("BACK_KEYBOARD.RC", 10, 12), ("BACK_VCO.RC", 130, 12), ("BACK_VCF.RC", 340, 12),
                      ("BACK_VCA.RC", 538, 12), ("BACK_MIXER.RC", 10, 166), ("BACK_SEQUENCEUR.RC", 302, 166)):
        with open(os.path.join(reg.root, "RC", f)) as fh:
            t = fh.read().split()
        for i, tok in enumerate(t):
            if tok == "SPRITE" and t[i + 2] == "JACK":
                jack[(f, t[i + 1])] = (px + int(t[i + 4]) + 8, py + int(t[i + 5]) + 8)
    links = [(("BACK_KEYBOARD.RC", "OUTPUT"), ("BACK_VCO.RC", "INPUT")),
             (("BACK_KEYBOARD.RC", "OUTPUT_GATE"), ("BACK_VCA.RC", "INPUT_GATE")),
             (("BACK_VCO.RC", "OUTPUT"), ("BACK_VCF.RC", "INPUT")),
             (("BACK_VCF.RC", "OUTPUT"), ("BACK_VCA.RC", "INPUT")),
             (("BACK_VCA.RC", "OUTPUT"), ("BACK_MIXER.RC", "INPUT_1")),
             (("BACK_SEQUENCEUR.RC", "OUTPUT"), ("BACK_MIXER.RC", "INPUT_2"))]
    for a, b in links:
        (x1, y1), (x2, y2) = jack[b], jack[a]
        s.cable(x1, y1, x2, y2)
        for x, y, img in ((x1, y1, "FICHE_PLUG"), (x2, y2, "FICHE_PLUG")):
            w, h = reg.get(img).shape[1], reg.get(img).shape[0]
            s.sprite(img, x - w // 2, y - h // 2, img + "_MASK")
    h, w = reg.get("FICHE_UNPLUG").shape[:2]
    s.cable(590, 150, 640, 300)
    s.sprite("FICHE_UNPLUG", 640 - w // 2, 300 - h // 2, "FICHE_UNPLUG_MASK")
    s.save(path)


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit(__doc__)
    reg = Registry(argv[2] if len(argv) == 3 else REPO)
    front_scene(reg, argv[1] + "-panels.png")
    cable_scene(reg, argv[1] + "-cables.png")


if __name__ == "__main__":
    main(sys.argv)
