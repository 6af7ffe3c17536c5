# Sprite entries, tile sheets with gaps, and the sprite description file that lists them.
import numpy as np

REGISTRY_CAPACITY = 400
MAX_TOKEN = 59
GAP_FILL = np.array([1.0, 0.0, 1.0], np.float32)  # gaps are magenta so a wrong cut shows at once


class Entry:
    """One line of the description file: a single image, or a sheet of equal tiles.

    pixels is h x w x 3 in 0..1.  A sheet carries its tile size, grid and gaps.
    """

    def __init__(self, name, pixels, tile=None, grid=None, gap=(0, 0)):
        self.name, self.pixels, self.tile, self.grid, self.gap = name, pixels, tile, grid, gap

    @property
    def path(self):
        return "grfx/%s.png" % self.name

    def registered_names(self):
        if self.tile is None:
            return [self.name]
        rows, cols = self.grid
        return ["%s_%d" % (self.name, n) for n in range(rows * cols)]

    def zim_line(self):
        if self.tile is None:
            return "%s %s SIMPLEPART\n" % (self.name, self.path)
        (w, h), (rows, cols), (gx, gy) = self.tile, self.grid, self.gap
        return "%s %s SHEET %d %d %d %d %d %d\n" % (self.name, self.path, w, h, rows, cols, gx, gy)


def assemble_sheet(tiles, rows, cols, gap_x, gap_y):
    """Lay tiles out row by row with gaps between neighbours (none before the first tile)."""
    h, w = tiles[0].shape[:2]
    if len(tiles) != rows * cols:
        raise ValueError("a %d x %d sheet needs %d tiles, got %d" % (rows, cols, rows * cols, len(tiles)))
    sheet = np.empty((rows * h + (rows - 1) * gap_y, cols * w + (cols - 1) * gap_x, 3), np.float32)
    sheet[...] = GAP_FILL
    for n, t in enumerate(tiles):
        if t.shape[:2] != (h, w):
            raise ValueError("tile %d is %s, expected %s" % (n, t.shape[:2], (h, w)))
        r, k = divmod(n, cols)
        x, y = k * (w + gap_x), r * (h + gap_y)
        sheet[y:y + h, x:x + w] = t[..., :3]
    return sheet


def cut_sheet(sheet, w, h, rows, cols, gap_x, gap_y):
    """The loader's cut: tile n = r x cols + k taken at (k (w + gap x), r (h + gap y))."""
    tiles = []
    for r in range(rows):
        for k in range(cols):
            x, y = k * (w + gap_x), r * (h + gap_y)
            tiles.append(sheet[y:y + h, x:x + w])
    return tiles


def zim_text(entries, header=("tessaro-sprites", "1")):
    names = set()
    for e in entries:
        for n in e.registered_names():
            if n in names:
                raise ValueError("image name %s registered twice" % n)
            names.add(n)
        if len(e.name) > MAX_TOKEN or len(e.path) > MAX_TOKEN:
            raise ValueError("token too long in entry %s" % e.name)
    if len(names) > REGISTRY_CAPACITY:
        raise ValueError("%d images exceed the registry's %d" % (len(names), REGISTRY_CAPACITY))
    return "%s %s\n" % header + "".join(e.zim_line() for e in entries) + "END\n"


def parse_zim(text):
    """Entries of a description file as dicts, read the way the loader reads tokens."""
    tokens = text.split()
    i = 2
    out = []
    while i < len(tokens) and tokens[i] != "END":
        name, path = tokens[i], tokens[i + 1]
        if path.startswith("#"):
            break
        kind = tokens[i + 2]
        i += 3
        e = {"name": name, "path": path, "kind": kind}
        if kind != "SIMPLEPART":
            e["w"], e["h"], e["rows"], e["cols"], e["gap_x"], e["gap_y"] = (int(t) for t in tokens[i:i + 6])
            i += 6
        out.append(e)
    return out
