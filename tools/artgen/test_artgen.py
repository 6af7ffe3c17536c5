# Checks of the artwork generator's arithmetic and of the committed sprites, layouts and font.
import os
import struct
import sys
import unittest

import numpy as np
from PIL import Image, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, HERE)

import panels  # noqa: E402
import parts  # noqa: E402
from canvas import Layer  # noqa: E402
from preview import button_mask  # noqa: E402
from sheets import Entry, assemble_sheet, cut_sheet, parse_zim, zim_text  # noqa: E402
from textures import periodic_noise  # noqa: E402


def load(path):
    return np.asarray(Image.open(os.path.join(REPO, path)).convert("RGB"), np.float32) / 255


def registry():
    """name -> pixels, filled the way the loader fills it (first registration wins)."""
    with open(os.path.join(REPO, "grfx", "opengl.zim")) as f:
        entries = parse_zim(f.read())
    images = {}
    for e in entries:
        pix = load(e["path"])
        if e["kind"] == "SIMPLEPART":
            images.setdefault(e["name"], pix)
        else:
            for n, t in enumerate(cut_sheet(pix, e["w"], e["h"], e["rows"], e["cols"], e["gap_x"], e["gap_y"])):
                images.setdefault("%s_%d" % (e["name"], n), t)
    return entries, images


class SheetTests(unittest.TestCase):
    def test_gaps_sit_only_between_tiles(self):
        # 1 row of 3 tiles 4 wide with 2-pixel gaps: cut at x = 0, 6 and 12, sheet 16 wide.
        tiles = [np.full((5, 4, 3), v, np.float32) for v in (0.1, 0.5, 0.9)]
        sheet = assemble_sheet(tiles, 1, 3, 2, 7)
        self.assertEqual(sheet.shape[:2], (5, 16))
        self.assertAlmostEqual(float(sheet[0, 6, 0]), 0.5)
        self.assertAlmostEqual(float(sheet[0, 12, 0]), 0.9)
        self.assertEqual(tuple(sheet[0, 4]), (1.0, 0.0, 1.0))
        cut = cut_sheet(sheet, 4, 5, 1, 3, 2, 7)
        self.assertEqual([float(t[2, 2, 0]) for t in cut], [np.float32(0.1), 0.5, np.float32(0.9)])

    def test_two_rows_number_tiles_row_major(self):
        tiles = [np.full((3, 2, 3), n / 10, np.float32) for n in range(6)]
        sheet = assemble_sheet(tiles, 2, 3, 1, 4)
        self.assertEqual(sheet.shape[:2], (3 + 4 + 3, 2 * 3 + 2))
        # Tile 4 is row 1, column 1: x = 1 * (2 + 1) = 3, y = 1 * (3 + 4) = 7.
        self.assertAlmostEqual(float(sheet[7, 3, 0]), 0.4)
        with self.assertRaises(ValueError):
            assemble_sheet(tiles[:5], 2, 3, 1, 4)

    def test_description_lines_and_names(self):
        one = Entry("SLD", np.zeros((2, 2, 3)))
        grid = Entry("LAMP", np.zeros((2, 5, 3)), tile=(2, 2), grid=(1, 2), gap=(1, 0))
        text = zim_text([one, grid])
        self.assertEqual(text.splitlines(), ["tessaro-sprites 1", "SLD grfx/SLD.png SIMPLEPART",
                                             "LAMP grfx/LAMP.png SHEET 2 2 1 2 1 0", "END"])
        self.assertEqual(grid.registered_names(), ["LAMP_0", "LAMP_1"])
        parsed = parse_zim(text)
        self.assertEqual([(e["name"], e["kind"]) for e in parsed], [("SLD", "SIMPLEPART"), ("LAMP", "SHEET")])
        self.assertEqual((parsed[1]["cols"], parsed[1]["gap_x"]), (2, 1))

    def test_registry_limits_are_enforced(self):
        big = Entry("T", np.zeros((1, 1, 3)), tile=(1, 1), grid=(20, 21))
        with self.assertRaises(ValueError):
            zim_text([big])
        with self.assertRaises(ValueError):
            zim_text([Entry("A_1", np.zeros((1, 1, 3))),
                      Entry("A", np.zeros((1, 1, 3)), tile=(1, 1), grid=(1, 2))])


class DrawingTests(unittest.TestCase):
    def test_circle_coverage_matches_its_area(self):
        L = Layer(16, 16, 4)
        area = float(L.circle(8, 8, 5).sum()) / 16
        self.assertAlmostEqual(area, np.pi * 25, delta=0.5)

    def test_paint_is_over_compositing(self):
        L = Layer(2, 1, 1)
        L.paint(np.array([[1.0, 1.0]], np.float32), (1, 0, 0))
        L.paint(np.array([[0.5, 0.0]], np.float32), (0, 0, 1))
        self.assertEqual([round(float(v), 3) for v in L.image()[0, 0]], [0.5, 0.0, 0.5])
        self.assertEqual(list(L.image()[0, 1]), [1.0, 0.0, 0.0])

    def test_noise_tiles_seamlessly(self):
        n = periodic_noise(64, 64, 1, 3.0)
        inner = np.abs(np.diff(n, axis=1)).mean()
        seam = np.abs(n[:, 0] - n[:, -1]).mean()
        self.assertLess(seam, 1.5 * inner)

    def test_digit_segments(self):
        self.assertEqual(parts.lit_segments("8"), set("abcdefg"))
        self.assertEqual(parts.lit_segments("1"), {"b", "c"})
        self.assertEqual(parts.lit_segments("7"), {"a", "b", "c"})
        self.assertEqual(parts.lit_segments(""), set())

    def test_filter_curves(self):
        f = np.array([20.0, 1000.0, 20000.0])
        lp = parts.biquad_response("LOWPASS", f, q=0.9)
        self.assertAlmostEqual(lp[0], 0.0, delta=0.05)
        # At the corner a second-order section has gain Q: 20 log10(0.9) = -0.92 dB.
        self.assertAlmostEqual(lp[1], -0.915, delta=0.05)
        self.assertLess(parts.biquad_response("NOTCH", f)[1], -40)
        self.assertAlmostEqual(parts.biquad_response("PEAKING", f, gain_db=9.0)[1], 9.0, delta=0.05)
        self.assertAlmostEqual(parts.biquad_response("LOWSHELF", f, gain_db=9.0)[0], 9.0, delta=0.2)
        self.assertAlmostEqual(parts.biquad_response("HIGHSHELF", f, gain_db=9.0)[0], 0.0, delta=0.2)

    def test_layout_lines(self):
        self.assertEqual(panels.Button("POWER", "POWER_ON", "POWER_OFF", "0", 10, 20).line(),
                         "BUTTON\tPOWER\tPOWER_ON\tPOWER_OFF\t0\t10\t20\t0\t0\t0\t1.000000\t0\r\n")
        self.assertEqual(panels.Label("LABEL_GAIN", "0.0", 3, 4).line(),
                         "LABEL\tLABEL_GAIN\t0.0\t3\t4\t0\t8\t0\t\r\n")
        self.assertEqual(panels.Slider("SLD_GAIN", "KNOB_M", 5, 6).line(),
                         "SLIDER\tSLD_GAIN\tKNOB_M\t5\t6\t0\t0\t0\t1.000000\t0\r\n")
        self.assertEqual(button_mask("BUT_X_ON"), "BUT_X_MASK")
        self.assertEqual(button_mask("ARROW_0"), "ARROW_MASK")


# Names the program's code looks up in each layout (module panels, dashboards, chooser).
REQUIRED_ITEMS = {
    "VCO.RC": ["IMAGE_FOND", "SLD_FREQUENCE", "SLD_VOLUME", "SLD_PHASE", "SLD_PWM", "LABEL_FREQUENCE",
               "LABEL_VOLUME", "LABEL_PHASE", "LABEL_PWM", "label_NAME", "POWER", "AFFICHAGE_TYPE_ONDE"],
    "BACK_VCO.RC": ["IMAGE_FOND", "INPUT", "INPUT_MOD_AMP", "INPUT_MOD_FREQ", "INPUT_MOD_PHASE", "INPUT_MOD_PWM",
                    "INPUT_SYNC", "INPUT_GATE", "OUTPUT"],
    "VCA.RC": ["IMAGE_FOND", "label_NAME", "LABEL_ATTACK", "LABEL_DECAY", "LABEL_SUSTAIN", "LABEL_RELEASE",
               "POWER"],
    "BACK_VCA.RC": ["IMAGE_FOND", "INPUT", "INPUT_GATE", "OUTPUT"],
    "VCF.RC": ["IMAGE_FOND", "SLD_HICUTOFF", "SLD_GAIN", "SLD_LEVEL", "SLD_QRATIO", "AFFICHAGE_TYPE_FILTRE",
               "LABEL_TYPE", "LABEL_HICUTOFF", "LABEL_GAIN", "LABEL_QRATIO", "LABEL_LEVEL", "label_NAME", "POWER",
               "BYPASS"],
    "BACK_VCF.RC": ["IMAGE_FOND", "INPUT", "INPUT_MOD_AMP", "INPUT_MOD_FREQ", "INPUT_MOD_PHASE", "INPUT_SYNC",
                    "INPUT_GATE", "OUTPUT"],
    "MIXER.RC": ["IMAGE_FOND", "label_NAME", "POWER"],
    "BACK_MIXER.RC": ["IMAGE_FOND", "OUTPUT"] + ["INPUT_%d" % n for n in range(1, 25)],
    "KEYBOARD.RC": ["IMAGE_FOND", "label_NAME", "SPRITE_OCT", "BUTTON_OCT_UP", "BUTTON_OCT_DOWN", "POWER"],
    "BACK_KEYBOARD.RC": ["IMAGE_FOND", "OUTPUT", "OUTPUT_GATE", "OUTPUT_SYNC"],
    "SEQUENCEUR.RC": ["IMAGE_FOND", "label_NAME", "LABEL_DIVIDER", "LABEL_WISHED_DIVIDER", "LABEL_MAX_STEP",
                      "POWER", "BUTTON_DIVIDER_UP", "BUTTON_DIVIDER_DOWN", "BUTTON_MAX_STEP_UP",
                      "BUTTON_MAX_STEP_DOWN", "BUTTON_PATTERN_0"],
    "BACK_SEQUENCEUR.RC": ["IMAGE_FOND", "OUTPUT", "OUTPUT_GATE", "OUTPUT_SYNC"],
    "SYSTEM_DASH.RC": ["IMAGE_FOND", "BUTTON_NEW", "BUTTON_LOAD", "BUTTON_SAVE", "BUTTON_FILS"],
    "DASH.RC": ["IMAGE_FOND"],
    "MODULE_DASH.RC": ["IMAGE_FOND"],
    "LOAD.RC": ["IMAGE_FOND", "BUTTON_OCT_UP", "BUTTON_OCT_DOWN"],
}


def read_layout(name):
    """(keyword, fields) of every element of a layout file, read as tokens."""
    with open(os.path.join(HERE, "..", "..", "RC", name)) as f:
        tokens = f.read().split()
    counts = {"SPRITE": 11, "BUTTON": 11, "SLIDER": 9, "LABEL": 7}
    out, i = [], 0
    while i < len(tokens):
        n = counts.get(tokens[i])
        if n is None:
            i += 1
            continue
        out.append((tokens[i], tokens[i + 1:i + 1 + n]))
        i += 1 + n
    return out


class ArtworkTests(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.entries, cls.images = registry()

    def test_every_named_image_exists(self):
        names = ["FOND_ELECTRO", "IMG_001", "FICHE_PLUG", "FICHE_PLUG_MASK", "FICHE_UNPLUG", "FICHE_UNPLUG_MASK",
                 "SLD", "SLD_MASK", "CHK_4_ON", "CHK_4_OFF", "CHK_4_MASK", "BUTTONSTYLEA_0", "BUTTONSTYLEB_0",
                 "LAMP_LED_1_0", "LAMP_LED_1_1", "LAMP_LED_2_0", "LAMP_LED_2_1"]
        names += ["DISP_" + k for k in ("SIN", "TRI", "SAW", "SQR", "NOISE", "PULSE")]
        names += ["DISP_FILTRE_" + k for k in ("THROUGH", "LOWPASS", "HIGHPASS", "BANDPASS", "NOTCH", "LOWSHELF",
                                                "HIGHSHELF", "PEAKING")]
        names += ["LED_NUMERIC_%d_%d" % (s, k) for s in (1, 2) for k in range(11)]
        missing = [n for n in names if n not in self.images]
        self.assertEqual(missing, [])
        self.assertLessEqual(len(self.images), 400)

    def test_sheets_are_exactly_their_tiles_and_gaps(self):
        sheets = [e for e in self.entries if e["kind"] != "SIMPLEPART"]
        self.assertTrue(any(e["gap_x"] and e["gap_y"] and e["rows"] > 1 for e in sheets))
        for e in sheets:
            h, w = load(e["path"]).shape[:2]
            self.assertEqual(w, e["cols"] * e["w"] + (e["cols"] - 1) * e["gap_x"], e["name"])
            self.assertEqual(h, e["rows"] * e["h"] + (e["rows"] - 1) * e["gap_y"], e["name"])

    def test_layouts_name_what_the_program_looks_up(self):
        for layout, required in REQUIRED_ITEMS.items():
            names = [fields[0] for _, fields in read_layout(layout)]
            self.assertEqual([n for n in required if n not in names], [], layout)
            self.assertEqual(names[:2], ["FOND_MASK", "IMAGE_FOND"], layout)

    def test_layout_images_and_their_masks_exist(self):
        for layout in REQUIRED_ITEMS:
            for kind, f in read_layout(layout):
                if kind == "SPRITE":
                    wanted = [f[1]] + ([f[2]] if not f[2].startswith("0") else [])
                elif kind == "BUTTON":
                    wanted = [f[1], f[2], button_mask(f[1])] + ([f[3]] if not f[3].startswith("0") else [])
                elif kind == "SLIDER":
                    wanted = [f[1], f[1] + "_MASK"]
                else:
                    wanted = []
                for image in wanted:
                    self.assertIn(image, self.images, "%s: %s" % (layout, f[0]))

    def test_masks_fit_the_multiply_then_add_drawing(self):
        pairs = {"POWER_ON": "POWER_MASK", "POWER_OFF": "POWER_MASK", "CHK_4_ON": "CHK_4_MASK",
                 "CHK_4_OFF": "CHK_4_MASK"}
        checked = 0
        for name, img in self.images.items():
            mask_name = pairs.get(name, name + "_MASK")
            if mask_name not in self.images:
                base = name.rsplit("_", 1)[0] + "_MASK"
                mask_name = base if base in self.images and not name.endswith("_MASK") else None
            if not mask_name or name.endswith("_MASK"):
                continue
            mask = self.images[mask_name]
            self.assertEqual(mask.shape, img.shape, name)
            self.assertTrue(np.allclose(mask, mask[..., :1]), mask_name + " is not grey")
            checked += 1
            outside = mask[..., 0] >= 0.999
            self.assertLess(float(img[outside].max(initial=0)), 0.02, name)
            # Premultiplied: no channel brighter than the coverage (1 - mask) allows.
            self.assertLessEqual(float((img - (1 - mask)).max()), 0.02, name)
            # Somewhere the sprite must cover the picture completely.
            self.assertLess(float(mask.min()), 0.01, mask_name)
        self.assertGreater(checked, 20)

    def test_knob_pointer_points_up(self):
        for name in ("SLD", "KNOB_M", "KNOB_L"):
            img = self.images[name]
            h, w = img.shape[:2]
            bright = np.argwhere(img.min(axis=2) > 0.85)
            self.assertGreater(len(bright), 3, name)
            self.assertTrue(np.all(bright[:, 0] < h / 2), name)
            self.assertTrue(np.all(np.abs(bright[:, 1] + 0.5 - w / 2) <= 1.5), name)

    def test_digit_tiles_show_their_digits(self):
        box = (1.7, 2.0, 8 - 3.6, 16 - 4.0)
        for s in (1, 2):
            for k in range(11):
                tile = self.images["LED_NUMERIC_%d_%d" % (s, k)]
                expected = parts.lit_segments("" if k == 0 else str(k - 1))
                for seg, ((ax, ay), (bx, by)) in parts.SEGMENTS.items():
                    mx, my = (ax + bx) / 2, (ay + by) / 2
                    x = box[0] + mx * box[2] + 0.9 * (1 - my)
                    y = box[1] + my * box[3]
                    red = tile[int(y), int(x), 0]
                    if seg in expected:
                        self.assertGreater(red, 0.45 if s == 1 else 0.3, (s, k, seg))
                    else:
                        self.assertLess(red, 0.25, (s, k, seg))
        self.assertGreater(self.images["LED_NUMERIC_1_9"][..., 0].max(),
                           self.images["LED_NUMERIC_2_9"][..., 0].max() + 0.2)

    def test_lit_lamps_are_brighter(self):
        for s in (1, 2):
            off, on = self.images["LAMP_LED_%d_0" % s], self.images["LAMP_LED_%d_1" % s]
            self.assertGreater(on.sum(), 2 * off.sum())

    def test_background_tiles_without_seams(self):
        bg = self.images["FOND_ELECTRO"].mean(axis=2)
        inner = np.abs(np.diff(bg, axis=1)).mean()
        self.assertLess(np.abs(bg[:, 0] - bg[:, -1]).mean(), 1.5 * inner)
        self.assertLess(np.abs(bg[0] - bg[-1]).mean(), 1.5 * inner)


class FontTests(unittest.TestCase):
    PATH = os.path.join(REPO, "Fonts", "04B_03B_.TTF")

    def test_font_is_truetype_without_bitmap_strikes(self):
        with open(self.PATH, "rb") as f:
            data = f.read()
        self.assertEqual(data[:4], b"\x00\x01\x00\x00")
        count = struct.unpack(">H", data[4:6])[0]
        tables = {data[12 + 16 * i:16 + 16 * i] for i in range(count)}
        # An embedded strike would hand the text renderer 1-bit glyphs instead of coverage bytes.
        self.assertNotIn(b"EBLC", tables)
        self.assertIn(b"glyf", tables)

    def test_small_size_is_crisp_and_readable(self):
        # Height 6 at 96 dpi is 8 pixels per em: capitals must fit and be mostly full pixels.
        font = ImageFont.truetype(self.PATH, 8)
        mask = np.asarray(font.getmask("HELLO 0.5"), np.uint8).reshape(font.getmask("HELLO 0.5").size[::-1])
        ink = mask[mask > 0]
        self.assertGreater(ink.size, 20)
        self.assertGreater((ink > 200).mean(), 0.7)
        self.assertLessEqual(font.getbbox("H")[3] - font.getbbox("H")[1], 7)



def box_of(kind, fields, images):
    """Screen box (x0, y0, x1, y1) of a layout element, as the toolkit draws it."""
    if kind == "LABEL":
        x, y = int(fields[2]), int(fields[3])
        return x, y, x + 4 * len(fields[1]), y + 7
    image = fields[1]
    x, y = (int(fields[3]), int(fields[4])) if kind == "SPRITE" else (int(fields[4]), int(fields[5])) \
        if kind == "BUTTON" else (int(fields[2]), int(fields[3]))
    scale = float(fields[8] if kind == "SPRITE" else fields[9] if kind == "BUTTON" else fields[7])
    h, w = images[image].shape[:2]
    cx, cy = x + w / 2, y + h / 2
    return cx - w * scale / 2, cy - h * scale / 2, cx + w * scale / 2, cy + h * scale / 2


class LayoutFitTests(unittest.TestCase):
    """The sample layouts and the faces printed around them agree."""

    @classmethod
    def setUpClass(cls):
        cls.entries, cls.images = registry()

    def face(self, layout):
        elements = read_layout(layout)
        return elements, self.images[elements[1][1][1]]

    def test_controls_lie_on_their_face_without_overlapping(self):
        for layout in REQUIRED_ITEMS:
            elements, face = self.face(layout)
            fh, fw = face.shape[:2]
            boxes = []
            for kind, fields in elements[2:]:
                b = box_of(kind, fields, self.images)
                self.assertTrue(0 <= b[0] and 0 <= b[1] and b[2] <= fw and b[3] <= fh,
                                "%s: %s at %s leaves the %dx%d face" % (layout, fields[0], b, fw, fh))
                boxes.append((fields[0], b))
            for i, (na, a) in enumerate(boxes):
                for nb, b in boxes[i + 1:]:
                    overlap = min(a[2], b[2]) - max(a[0], b[0]) > 0.5 and min(a[3], b[3]) - max(a[1], b[1]) > 0.5
                    self.assertFalse(overlap, "%s: %s overlaps %s" % (layout, na, nb))

    def brightness(self, face, x0, y0, x1, y1):
        return float(face[int(y0):int(y1), int(x0):int(x1)].mean())

    def test_black_labels_sit_on_light_ground(self):
        for layout in REQUIRED_ITEMS:
            elements, face = self.face(layout)
            for kind, fields in elements:
                if kind == "LABEL" and int(fields[6]) == 0:
                    x0, y0, x1, y1 = box_of(kind, fields, self.images)
                    self.assertGreater(self.brightness(face, x0, y0, x0 + 12, y1), 0.6, (layout, fields[0]))
        # Labels the program makes itself: mixer channels, sequencer steps, the information dashboard.
        mixer, seq, info = self.images["PANEL_MIXER"], self.images["PANEL_SEQUENCER"], self.images["DASH_INFO"]
        for X in (72, 162, 252):
            for Y in (73, 91, 109, 127, 145, 163, 181):
                self.assertGreater(self.brightness(mixer, X, Y, X + 12, Y + 7), 0.6, (X, Y))
                self.assertGreater(self.brightness(mixer, X - 50, Y, X - 42, Y + 7), 0.6, (X, Y))
        for u in range(32):
            for y in (125, 155):
                self.assertGreater(self.brightness(seq, 20 * u + 62, y, 20 * u + 74, y + 7), 0.6, (u, y))
        for y in (25, 45, 65):
            self.assertGreater(self.brightness(info, 80, y, 200, y + 7), 0.6, y)

    def test_chooser_rows_sit_on_a_dark_screen(self):
        bg = self.images["CHOOSER_BG"]
        for r in range(10):
            y = 50 + 16 * r
            self.assertLess(self.brightness(bg, 150, y, 278, y + 7), 0.15, r)

    def test_sequencer_plate_is_white_under_its_multiplied_digits(self):
        seq = self.images["PANEL_SEQUENCER"]
        for u in (0, 13, 31):
            cx = 20 * u
            for y in (36, 73):
                for x in (cx + 61, cx + 70):
                    self.assertGreater(float(seq[y:y + 16, x:x + 8].min()), 0.97, (u, x, y))
                self.assertLess(float(seq[y:y + 16, cx + 69].max()), 0.2, (u, y))

    def test_shadows_fall_right_and_below(self):
        shadow, face = self.images["PANEL_VCO_FOND_MASK"], self.images["PANEL_VCO"]
        fh, fw = face.shape[:2]
        self.assertEqual(shadow.shape[:2], (fh + 8, fw + 8))
        self.assertLess(float(shadow[fh // 2, fw + 2, 0]), 0.7)
        self.assertLess(float(shadow[fh + 2, fw // 2, 0]), 0.7)
        self.assertGreater(float(shadow[fh + 7, 0, 0]), 0.95)
        self.assertGreater(float(shadow[0, fw + 7, 0]), 0.95)


class PreviewTests(unittest.TestCase):
    """The review composer follows the toolkit's drawing, so it can be trusted when judging the art."""

    def scene(self, images):
        from preview import Scene

        class Reg:
            root = REPO

            def get(self, name):
                return images.get(name)
        s = Scene(Reg(), 8, 4)
        s.pix[...] = 0.5
        return s

    def test_mask_multiplies_then_image_adds(self):
        img = np.zeros((2, 2, 3), np.float32)
        img[0, 0] = (0.4, 0.2, 0.0)
        mask = np.ones((2, 2, 3), np.float32)
        mask[0, 0] = 0.0
        mask[1, 1] = 0.5
        s = self.scene({"A": img, "A_MASK": mask})
        s.sprite("A", 1, 1, "A_MASK")
        self.assertEqual([round(float(v), 3) for v in s.pix[1, 1]], [0.4, 0.2, 0.0])
        self.assertAlmostEqual(float(s.pix[2, 2, 0]), 0.25)
        self.assertAlmostEqual(float(s.pix[1, 2, 0]), 0.5)
        self.assertAlmostEqual(float(s.pix[0, 0, 0]), 0.5)

    def test_blended_sprite_multiplies(self):
        img = np.full((1, 1, 3), 0.5, np.float32)
        s = self.scene({"B": img})
        s.sprite("B", 3, 2, blend=1)
        self.assertAlmostEqual(float(s.pix[2, 3, 0]), 0.25)

    def test_knob_turned_90_degrees_points_right(self):
        _, images = registry()
        from preview import Scene

        class Reg:
            root = REPO

            def get(self, name):
                return images.get(name)
        s = Scene(Reg(), 32, 32)
        s.sprite("KNOB_L", 0, 0, "KNOB_L_MASK", angle=90)
        bright = np.argwhere(s.pix.min(axis=2) > 0.85)
        self.assertGreater(len(bright), 3)
        self.assertTrue(np.all(bright[:, 1] > 16))
        self.assertTrue(np.all(np.abs(bright[:, 0] + 0.5 - 16) <= 1.5))


class TextTests(unittest.TestCase):
    def test_pixel_text_is_whole_pixels_and_anchored(self):
        L = Layer(40, 12, 2)
        cov = L.pixel_text("VCO", 30, 2, os.path.join(REPO, "Fonts", "04B_03B_.TTF"), "ra")
        self.assertTrue(set(np.unique(cov)) <= {0.0, 1.0})
        cols = np.flatnonzero(cov.any(axis=0)) // 2
        rows = np.flatnonzero(cov.any(axis=1)) // 2
        self.assertLessEqual(cols.max(), 29)
        self.assertGreaterEqual(cols.max(), 27)
        self.assertEqual(rows.min(), 2)

    def test_vector_text_centres_on_its_anchor(self):
        L = Layer(60, 20, 4)
        cov = L.text("OSC", 10, 30, 10, anchor="mm")
        ys, xs = np.nonzero(cov > 0.5)
        self.assertAlmostEqual(xs.mean() / 4, 30, delta=1.5)
        self.assertAlmostEqual(ys.mean() / 4, 10, delta=1.5)

    def test_description_stops_at_a_hash_path(self):
        text = "a b X grfx/X.png SIMPLEPART Y #grfx/Y.png SIMPLEPART Z grfx/Z.png SIMPLEPART END"
        self.assertEqual([e["name"] for e in parse_zim(text)], ["X"])


if __name__ == "__main__":
    unittest.main()
