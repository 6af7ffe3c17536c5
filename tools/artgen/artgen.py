# Draws every sprite of the instrument and writes grfx/*.png, grfx/opengl.zim and the sample layouts.
"""Usage, from the repository root (Debian's python3, with python3-numpy and python3-pil):

    /usr/bin/python3 tools/artgen/artgen.py [--out DIR] [--contact FILE.png]

DIR defaults to the repository root; grfx/ and RC/ are written inside it.
"""

import argparse
import math
import os
import sys

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import palette as P  # noqa: E402
import panels  # noqa: E402
import parts  # noqa: E402
from canvas import Layer, mix, save_rgb, to_u8  # noqa: E402
from sheets import Entry, assemble_sheet, cut_sheet, zim_text  # noqa: E402
from textures import tolex  # noqa: E402

REPO = os.path.abspath(os.path.join(HERE, "..", ".."))
FONT_FILE = os.path.join(REPO, "Fonts", "04B_03B_.TTF")


def masked(name, layer, mask_name=None):
    """A sprite and its mask: the mask keeps the picture where the sprite is absent."""
    return [Entry(name, layer.image()),
            Entry(mask_name or name + "_MASK", np.repeat((1 - layer.coverage())[..., None], 3, axis=2))]


def shared_mask(name, layers):
    """One mask for images that share a shape (button states, tiles of a sheet)."""
    cov = np.max([layer.coverage() for layer in layers], axis=0)
    return Entry(name, np.repeat((1 - cov)[..., None], 3, axis=2))


def sheet(name, layers, rows, cols, gap):
    tiles = [layer.image() for layer in layers]
    h, w = tiles[0].shape[:2]
    return Entry(name, assemble_sheet(tiles, rows, cols, gap[0], gap[1]), tile=(w, h), grid=(rows, cols),
                 gap=gap)


def background():
    """Seamless 512 x 512 case tolex behind the panels."""
    n = 512
    t = tolex(n, n, 41)
    base = P.TOLEX * (1 + 0.16 * t)[..., None]
    return np.clip(base, 0, 1)


def emblem():
    """IMG_001, the toolkit's default image: the maker's round badge."""
    L = Layer(32, 32, 6)
    c = 16.0
    light = np.clip(0.5 - 0.5 * ((L.X - c) + (L.Y - c)) / c, 0, 1)
    L.paint(L.circle(c, c, 15.5), mix(P.CHROME_DARK, P.CHROME, light))
    L.paint(L.circle(c, c, 13.4), mix(P.GRAPHITE_TOP * 1.2, P.GRAPHITE_BOTTOM * 0.8, L.Y / 32))
    xs = np.linspace(6, 26, 60)
    ys = c + 6.5 * np.sin((xs - 6) / 20 * 2 * math.pi)
    L.paint(L.capsule(7, c, 25, c, 0.6), P.SILK, 0.35)
    L.paint(L.polyline(list(zip(xs, ys)), 2.4), P.ACCENT["SEQUENCER"])
    return L.image()


def build_entries():
    entries = [Entry("IMG_001", emblem()), Entry("FOND_ELECTRO", background())]

    entries += masked("SLD", parts.knob(16))
    entries += masked("KNOB_M", parts.knob(24))
    entries += masked("KNOB_L", parts.knob(32))
    entries += masked("JACK", parts.jack())
    entries += masked("FICHE_PLUG", parts.plug(False))
    entries += masked("FICHE_UNPLUG", parts.plug(True))

    on, off = parts.power_button(True), parts.power_button(False)
    entries += [Entry("POWER_ON", on.image()), Entry("POWER_OFF", off.image()),
                shared_mask("POWER_MASK", [on, off])]
    on, off = parts.check_button(True), parts.check_button(False)
    entries += [Entry("CHK_4_ON", on.image()), Entry("CHK_4_OFF", off.image()),
                shared_mask("CHK_4_MASK", [on, off])]

    for kind in ("SIN", "TRI", "SAW", "SQR", "NOISE", "PULSE"):
        entries.append(Entry("DISP_" + kind, parts.wave_display(kind).image()))
    for kind in parts.FILTER_TYPES:
        entries.append(Entry("DISP_FILTRE_" + kind, parts.filter_display(kind).image()))

    # Digit sets: tile 0 blank, tile k the digit k - 1, tile 11 a minus sign.
    symbols = [""] + [str(d) for d in range(10)] + ["-"]
    for set_no, (lit, off_col) in ((1, (P.SEG_ON, P.SEG_OFF)), (2, (P.SEG_DIM, P.SEG_OFF_DIM))):
        cells = [parts.seven_segment(s, lit, off_col, glow=set_no == 1) for s in symbols]
        entries.append(sheet("LED_NUMERIC_%d" % set_no, cells, 2, 6, (2, 3)))

    for set_no, (col_on, col_off) in ((1, (P.LED_RED, P.LED_RED_OFF)), (2, (P.LED_AMBER, P.LED_AMBER_OFF))):
        lamps = [parts.lamp(False, col_on, col_off), parts.lamp(True, col_on, col_off)]
        entries.append(sheet("LAMP_LED_%d" % set_no, lamps, 1, 2, (3, 0)))
        entries.append(shared_mask("LAMP_LED_%d_MASK" % set_no, lamps))

    for name, direction in (("BUTTONSTYLEA", "up"), ("BUTTONSTYLEB", "down")):
        states = [parts.arrow_button(direction, s) for s in range(3)]
        entries.append(sheet(name, states, 1, 3, (2, 0)))
        entries.append(shared_mask(name + "_MASK", states))

    caps = [parts.keycap(14, 12, lit, symbol) for lit in (0, 1) for symbol in ("up", "down")]
    entries.append(sheet("ARROW", caps, 2, 2, (2, 2)))
    entries.append(shared_mask("ARROW_MASK", caps))

    pads = [parts.pad(n + 1, lit) for lit in (False, True) for n in range(8)]
    entries.append(sheet("PATTERN", pads, 2, 8, (2, 2)))
    entries.append(shared_mask("PATTERN_MASK", pads))

    keys = [parts.keycap(64, 22, lit, text=t, radius=3.0) for lit in (0, 1)
            for t in ("NEW", "LOAD", "SAVE", "CABLES")]
    entries.append(sheet("SYSBTN", keys, 2, 4, (4, 4)))
    entries.append(shared_mask("SYSBTN_MASK", keys))

    shadows = set()
    for p in panels.all_panels():
        entries.append(Entry(p.image, panels.render_face(p).image()))
        if p.shadow not in shadows:
            shadows.add(p.shadow)
            entries.append(Entry(p.shadow, panels.render_shadow(p).image()))
    return entries


def write_all(root, entries, plans):
    grfx = os.path.join(root, "grfx")
    os.makedirs(grfx, exist_ok=True)
    for e in entries:
        save_rgb(os.path.join(root, e.path), e.pixels)
    with open(os.path.join(grfx, "opengl.zim"), "w", newline="\n") as f:
        f.write(zim_text(entries))
    layouts = os.path.join(root, "RC")
    os.makedirs(layouts, exist_ok=True)
    for p in plans:
        with open(os.path.join(layouts, p.layout), "w", newline="") as f:
            f.write(p.rc_text())


def contact_sheet(entries, path, width=1400):
    """Every image on a mid-grey ground, masks applied the toolkit's way, names beneath."""
    from PIL import ImageDraw
    images = {e.name: e for e in entries}
    ground = np.array([0.42, 0.44, 0.47], np.float32)
    def composite(name, pixels, mask_name):
        if name.endswith("FOND_MASK"):
            return ground * pixels
        if mask_name in images:
            return ground * images[mask_name].pixels + pixels
        return pixels

    cells = []
    for e in entries:
        if e.name.endswith("_MASK"):
            continue
        if e.tile is not None:
            (w, h), (rows, cols), (gx, gy) = e.tile, e.grid, e.gap
            for name, tile in zip(e.registered_names(), cut_sheet(e.pixels, w, h, rows, cols, gx, gy)):
                cells.append((name, composite(name, tile, e.name + "_MASK")))
            continue
        mask_name = {"POWER_ON": "POWER_MASK", "POWER_OFF": "POWER_MASK", "CHK_4_ON": "CHK_4_MASK",
                     "CHK_4_OFF": "CHK_4_MASK"}.get(e.name, e.name + "_MASK")
        pic = composite(e.name, e.pixels, mask_name)
        if e.name == "FOND_ELECTRO":
            pic = pic[:160, :160]
        cells.append((e.name, pic))
    scale = 2
    x = y = 8
    row_h = 0
    placed = []
    for name, pic in cells:
        h, w = pic.shape[0] * scale, pic.shape[1] * scale
        if w > width - 16:
            scale_here = 1
            h, w = pic.shape[0], pic.shape[1]
        else:
            scale_here = scale
        if x + w > width - 8:
            x, y = 8, y + row_h + 18
            row_h = 0
        placed.append((name, pic, x, y, scale_here))
        x += max(w, 60) + 10
        row_h = max(row_h, h)
    out = Image.new("RGB", (width, y + row_h + 24), tuple(int(c * 255) for c in ground))
    draw = ImageDraw.Draw(out)
    for name, pic, x, y, s in placed:
        im = Image.fromarray(to_u8(pic), "RGB")
        if s != 1:
            im = im.resize((im.width * s, im.height * s), Image.NEAREST)
        out.paste(im, (x, y))
        draw.text((x, y + im.height + 2), name, fill=(230, 230, 230))
    out.save(path)


def write_previews(prefix):
    """Quantised copies of the review scenes, small enough to keep beside the documentation."""
    import preview
    reg = preview.Registry(REPO)
    for scene, suffix in ((preview.front_scene, "-panels.png"), (preview.cable_scene, "-cables.png")):
        path = prefix + suffix
        scene(reg, path)
        Image.open(path).quantize(colors=256, method=Image.Quantize.FASTOCTREE).save(path, optimize=True)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=REPO, help="root folder receiving grfx/ (default: the repository)")
    ap.add_argument("--contact", help="also write a contact sheet of every image to this PNG")
    ap.add_argument("--previews", action="store_true",
                    help="also redraw tools/artgen/preview-*.png (needs --out at the repository)")
    args = ap.parse_args(argv)
    if not os.path.exists(FONT_FILE):
        sys.exit("artgen: the legend font %s is missing (run scripts/setup.sh)" % FONT_FILE)
    panels.FONT = FONT_FILE
    entries = build_entries()
    write_all(args.out, entries, panels.all_panels())
    if args.contact:
        contact_sheet(entries, args.contact)
    if args.previews:
        write_previews(os.path.join(HERE, "preview"))
    count = sum(len(e.registered_names()) for e in entries)
    print("artgen: %d files, %d registry images" % (len(entries), count))


if __name__ == "__main__":
    main()
