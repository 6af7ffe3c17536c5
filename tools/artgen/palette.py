# The instrument's one palette: plate metals, inks, lamps and the accent colour of each module kind.
from canvas import rgb

ALU_TOP = rgb("#d9dcdf")
ALU_BOTTOM = rgb("#bfc3c8")
INK = rgb("#1d1e22")
INK_SOFT = rgb("#4a4d54")
REAR_TOP = rgb("#30343b")
REAR_BOTTOM = rgb("#24272d")
SILK = rgb("#ece9e0")
GRAPHITE_TOP = rgb("#3a3e45")
GRAPHITE_BOTTOM = rgb("#2a2d33")
LCD = rgb("#c9d4b0")
LCD_EDGE = rgb("#8f9a7a")
SCREEN = rgb("#07110d")
SCREEN_GRID = rgb("#123326")
TRACE = rgb("#7dffc0")
TRACE_GLOW = rgb("#2fd18a")
KNOB_BODY = rgb("#1c1d21")
KNOB_CAP = rgb("#8e949b")
POINTER = rgb("#f4f1e8")
CHROME = rgb("#c7ccd2")
CHROME_DARK = rgb("#6b7178")
RUBBER = rgb("#3b3e44")
LED_RED = rgb("#ff3a24")
LED_RED_OFF = rgb("#4a120c")
LED_AMBER = rgb("#ffb21e")
LED_AMBER_OFF = rgb("#4a3208")
SEG_ON = rgb("#ff3a22")
SEG_DIM = rgb("#8a2a1c")
SEG_OFF = rgb("#2a0906")
SEG_OFF_DIM = rgb("#1a0604")
GATE = rgb("#ff4a3a")
SYNC = rgb("#4a8cff")
CABLE = rgb("#808880")
TOLEX = rgb("#1b1c1f")

ACCENT = {
    "VCO": rgb("#e2711d"),
    "VCA": rgb("#38a85a"),
    "VCF": rgb("#2f86d6"),
    "MIXER": rgb("#cf3f45"),
    "KEYBOARD": rgb("#8e5fd0"),
    "SEQUENCER": rgb("#e0b321"),
    "SAMPLER": rgb("#17a9a1"),
    "SYSTEM": rgb("#9aa6b2"),
}
