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
    with open(os.path.join(HERE, "layouts", name)) as f:
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
        names += ["DISP_FILTRE_" + k for k in ("LOWPASS", "HIGHPASS", "BANDPASS", "NOTCH", "LOWSHELF",
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
        glowing = ("POWER_ON", "CHK_4_ON", "LAMP_LED_1_1", "LAMP_LED_2_1", "ARROW_2", "ARROW_3", "SYSBTN_4",
                   "SYSBTN_5", "SYSBTN_6", "SYSBTN_7") + tuple("PATTERN_%d" % n for n in range(8, 16))
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
            if name not in glowing:
                outside = mask[..., 0] >= 0.999
                self.assertLess(float(img[outside].max(initial=0)), 0.02, name)
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


if __name__ == "__main__":
    unittest.main()
