"""W3's voices as a non-real-time score for scsynth: a SynthDef and OSC bundles, standard library only."""
import struct

# Rates of a unit generator in a SynthDef.
SCALAR, CONTROL, AUDIO = 0, 1, 2


def pstring(s):
    b = s.encode()
    return struct.pack(">B", len(b)) + b


def osc_string(s):
    b = s.encode() + b"\0"
    return b + b"\0" * (-len(b) % 4)


def osc_message(address, *args):
    tags, data = ",", b""
    for a in args:
        if isinstance(a, bytes):
            tags += "b"
            data += struct.pack(">i", len(a)) + a + b"\0" * (-len(a) % 4)
        elif isinstance(a, str):
            tags += "s"
            data += osc_string(a)
        elif isinstance(a, int):
            tags += "i"
            data += struct.pack(">i", a)
        else:
            tags += "f"
            data += struct.pack(">f", a)
    return osc_string(address) + osc_string(tags) + data


def osc_bundle(seconds, messages):
    # Time tags are 32.32 fixed-point seconds; a score counts them from 0.
    whole = int(seconds)
    frac = int(round((seconds - whole) * (1 << 32)))
    if frac >= 1 << 32:
        whole, frac = whole + 1, 0
    body = osc_string("#bundle") + struct.pack(">II", whole, frac)
    for m in messages:
        body += struct.pack(">i", len(m)) + m
    return struct.pack(">i", len(body)) + body


class SynthDef:
    """A SynthDef file of format 2 built unit by unit: inputs are (unit, output) or float constants."""

    def __init__(self, name, params):
        self.name = name
        self.params = params  # [(name, initial value)]
        self.constants = []
        self.units = []
        self.control = self.unit("Control", CONTROL, [], [CONTROL] * len(params))

    def unit(self, cls, rate, inputs, outputs, special=0):
        self.units.append((cls, rate, inputs, outputs, special))
        return len(self.units) - 1

    def param(self, name):
        return (self.control, [p[0] for p in self.params].index(name))

    def constant(self, value):
        if value not in self.constants:
            self.constants.append(value)
        return self.constants.index(value)

    def encode(self):
        def inp(i):
            if isinstance(i, tuple):
                return struct.pack(">ii", i[0], i[1])
            return struct.pack(">ii", -1, self.constant(float(i)))

        units = b""
        for cls, rate, inputs, outputs, special in self.units:
            units += pstring(cls) + struct.pack(">biih", rate, len(inputs), len(outputs), special)
            units += b"".join(inp(i) for i in inputs)
            units += b"".join(struct.pack(">b", r) for r in outputs)
        d = pstring(self.name)
        d += struct.pack(">i", len(self.constants)) + b"".join(struct.pack(">f", c) for c in self.constants)
        d += struct.pack(">i", len(self.params)) + b"".join(struct.pack(">f", v) for _, v in self.params)
        d += struct.pack(">i", len(self.params))
        d += b"".join(pstring(n) + struct.pack(">i", i) for i, (n, _) in enumerate(self.params))
        d += struct.pack(">i", len(self.units)) + units + struct.pack(">h", 0)
        return b"SCgf" + struct.pack(">ih", 2, 1) + d


def voice_def(w):
    """Naive saw (LFSaw) at base x ratio -> RLPF (rq = 1/Q) -> audio-rate gated ADSR -> bus 0."""
    sd = SynthDef("w3voice", [("base", 100.0), ("cutoff", 1000.0), ("ratio", 1.0), ("gate", 0.0),
                              ("rq", 1.0), ("amp", 0.5)])
    mul = 2  # BinaryOpUGen's special index for *
    freq = sd.unit("BinaryOpUGen", CONTROL, [sd.param("base"), sd.param("ratio")], [CONTROL], mul)
    saw = sd.unit("LFSaw", AUDIO, [(freq, 0), 0.0], [AUDIO])
    saw_amp = sd.unit("BinaryOpUGen", AUDIO, [(saw, 0), sd.param("amp")], [AUDIO], mul)
    flt = sd.unit("RLPF", AUDIO, [(saw_amp, 0), sd.param("cutoff"), sd.param("rq")], [AUDIO])
    # Env.adsr with straight segments: start 0, three stages, release node 2, no loop.
    a, d, r = w.attack_ms / 1000.0, w.decay_ms / 1000.0, w.release_ms / 1000.0
    env = [0.0, 3.0, 2.0, -99.0, 1.0, a, 1.0, 0.0, w.sustain, d, 1.0, 0.0, 0.0, r, 1.0, 0.0]
    eg = sd.unit("EnvGen", AUDIO, [sd.param("gate"), 1.0, 0.0, 1.0, 0.0] + env, [AUDIO])
    out = sd.unit("BinaryOpUGen", AUDIO, [(flt, 0), (eg, 0)], [AUDIO], mul)
    sd.unit("Out", AUDIO, [0.0, (out, 0)], [])
    return sd.encode()


def score(w, seconds):
    """The score's bytes: the voices in group 1, the shared sequence set on the group."""
    bundles = [osc_bundle(0.0, [osc_message("/d_recv", voice_def(w)), osc_message("/g_new", 1, 0, 0)])]
    news = [osc_message("/s_new", "w3voice", 1000 + i, 1, 1, "base", v["freq"], "cutoff", v["cutoff"],
                        "rq", 1.0 / v["q"], "amp", v["amount"] * w.mix_gain(), "ratio", w.ratios[0])
            for i, v in enumerate(w.voices)]
    bundles.append(osc_bundle(0.0, news))
    # As in the patch, the first step starts one step period in.
    k = 1
    while k * w.step_seconds() < seconds:
        s = (k - 1) % w.steps
        t = k * w.step_seconds()
        bundles.append(osc_bundle(t, [osc_message("/n_set", 1, "ratio", w.ratios[s], "gate", 1.0)]))
        bundles.append(osc_bundle(t + w.gate_seconds[s], [osc_message("/n_set", 1, "gate", 0.0)]))
        k += 1
    bundles.append(osc_bundle(seconds, [osc_message("/c_set", 0, 0)]))
    return b"".join(bundles)
