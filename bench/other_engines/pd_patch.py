"""W3's voices as a Pure Data patch for `pd -batch`: it records itself, then quits."""
import math

import w3_workload


class Patch:
    """Objects are numbered in the order they are added, as a .pd file numbers them."""

    def __init__(self):
        self.lines = ["#N canvas 0 0 800 600 12;"]
        self.count = 0

    def add(self, kind, text):
        self.lines.append("#X %s %d %d %s;" % (kind, 10 + self.count % 40 * 20, 10 + self.count // 40 * 20, text))
        self.count += 1
        return self.count - 1

    def obj(self, text):
        return self.add("obj", text)

    def msg(self, text):
        # A message box's commas and semicolons are escaped in the file.
        return self.add("msg", text.replace(",", " \\,").replace(";", "\\;"))

    def connect(self, a, outlet, b, inlet):
        self.lines.append("#X connect %d %d %d %d;" % (a, outlet, b, inlet))

    def text(self):
        return "\n".join(self.lines) + "\n"


def biquad_low_pass(cutoff, q, rate=44100.0):
    """biquad~'s five arguments (two feedback, three feed-forward) for a 2-pole low-pass."""
    w0 = 2.0 * math.pi * cutoff / rate
    alpha = math.sin(w0) / (2.0 * q)
    a0 = 1.0 + alpha
    b = (1.0 - math.cos(w0)) / 2.0
    return (2.0 * math.cos(w0) / a0, -(1.0 - alpha) / a0, b / a0, 2.0 * b / a0, b / a0)


def patch(w, seconds, out_wav, filter_kind="vcf"):
    """Naive saw (phasor~ - 0.5) -> 2-pole low-pass -> vline~ envelope, summed into an array written at the end.

    The low-pass is vcf~'s low-pass output (its centre frequency a signal, so its coefficients
    are worked out every sample) or, with filter_kind "biquad", biquad~ with fixed coefficients.
    """
    p = Patch()
    step_ms = w.step_seconds() * 1000.0
    start = p.obj("loadbang")
    order = p.obj("t b b b b")
    p.connect(start, 0, order, 0)
    dsp = p.msg("; pd dsp 1")
    p.connect(order, 3, dsp, 0)
    # The sum is kept in an array and written when the time is up: soundfiler writes on Pd's
    # own thread, where writesf~'s writer thread could still be busy when Pd quits.
    frames = int(round(seconds * w3_workload.SAMPLE_RATE))
    p.obj("array define w3_sum %d" % frames)
    rec = p.obj("tabwrite~ w3_sum")
    p.connect(order, 2, rec, 0)
    # As in the patch, the first step starts one step period in.
    first = p.obj("delay %g" % step_ms)
    p.connect(order, 1, first, 0)
    clock = p.obj("metro %g" % step_ms)
    p.connect(first, 0, clock, 0)
    end = p.obj("delay %g" % (seconds * 1000.0))
    p.connect(order, 0, end, 0)
    end_order = p.obj("t b b")
    p.connect(end, 0, end_order, 0)
    write = p.msg("write -wave -bytes 2 %s w3_sum" % out_wav)
    p.connect(end_order, 1, write, 0)
    p.connect(write, 0, p.obj("soundfiler"), 0)
    quit_pd = p.msg("; pd quit")
    p.connect(end_order, 0, quit_pd, 0)

    # Each step: the pitch ratio first, then the gate opens (attack, decay toward sustain) and
    # closes after the step's length (release). All steps share one length here.
    step = p.obj("t b b")
    p.connect(clock, 0, step, 0)
    count = p.obj("f")
    inc = p.obj("+ 1")
    wrap = p.obj("mod %d" % w.steps)
    p.connect(step, 1, count, 0)
    p.connect(count, 0, inc, 0)
    p.connect(inc, 0, wrap, 0)
    p.connect(wrap, 0, count, 1)
    pick = p.obj("sel " + " ".join(str(s) for s in range(w.steps)))
    p.connect(count, 0, pick, 0)
    send_ratio = p.obj("s ratio")
    for s in range(w.steps):
        m = p.msg("%.9g" % w.ratios[s])
        p.connect(pick, s, m, 0)
        p.connect(m, 0, send_ratio, 0)
    gate_on = p.msg("1 %g, %g %g %g" % (w.attack_ms, w.sustain, w.decay_ms, w.attack_ms))
    gate_len = p.obj("delay %g" % (w.gate_seconds[0] * 1000.0))
    gate_off = p.msg("0 %g" % w.release_ms)
    send_env = p.obj("s env")
    p.connect(step, 0, gate_on, 0)
    p.connect(step, 0, gate_len, 0)
    p.connect(gate_len, 0, gate_off, 0)
    p.connect(gate_on, 0, send_env, 0)
    p.connect(gate_off, 0, send_env, 0)

    for v in w.voices:
        ratio = p.obj("r ratio")
        freq = p.obj("* %.9g" % v["freq"])
        saw = p.obj("phasor~ %.9g" % (v["freq"] * w.ratios[0]))
        centre = p.obj("-~ 0.5")
        level = p.obj("*~ %.9g" % (2.0 * v["amount"] * w.mix_gain()))
        if filter_kind == "biquad":
            flt = p.obj("biquad~ " + " ".join("%.9g" % c for c in biquad_low_pass(v["cutoff"], v["q"])))
            low_pass = 0
        else:
            cutoff = p.obj("sig~ %g" % v["cutoff"])
            flt = p.obj("vcf~ %g" % v["q"])
            p.connect(cutoff, 0, flt, 1)
            low_pass = 1
        env_in = p.obj("r env")
        env = p.obj("vline~")
        amp = p.obj("*~")
        p.connect(ratio, 0, freq, 0)
        p.connect(freq, 0, saw, 0)
        p.connect(saw, 0, centre, 0)
        p.connect(centre, 0, level, 0)
        p.connect(level, 0, flt, 0)
        p.connect(flt, low_pass, amp, 0)
        p.connect(env_in, 0, env, 0)
        p.connect(env, 0, amp, 1)
        p.connect(amp, 0, rec, 0)
    return p.text()
