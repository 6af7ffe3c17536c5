"""W3's voices read from KVX/BENCH_W3.KVX: what the other engines are asked to play."""
import math
import re

SAMPLE_RATE = 44100


def note_hz(number):
    """The pitch a sequencer step sends: its note number + 11 semitones above 8.1757989 Hz."""
    index = min(max(number, 0), 127)
    exponent = float(index + 11) * (1.0 / 12.0)
    return 8.1757989 * math.pow(2.0, exponent)


class Workload:
    """Voices (saw frequency factor, cut-off in Hz, Q), the envelope (ms, level) and the steps.

    An oscillator linked to the sequencer plays note x FREQ / 44 as its ramp rate; its ramp
    runs from -1 to 1, so the pitch heard is half that: a voice's pitch at a step is
    note_hz x FREQ / 88. `ratios` holds note_hz / 88 for each step, `voices` each FREQ.
    """

    def __init__(self, path):
        text = open(path).read()
        fields = {}
        for line in text.splitlines():
            parts = line.strip().rstrip(";").split(";")
            if len(parts) < 2:
                continue
            fields.setdefault(parts[0], {}).update(
                p.split("=", 1) for p in parts[1:] if "=" in p and not p.startswith("ADD_CHANELL"))
        seq = fields["SEQUENCER_1"]
        self.steps_per_second = float(seq["DIVIDER"])
        self.steps = int(seq["NBR_STEP"])
        self.ratios = []
        self.gate_seconds = []
        for s in range(self.steps):
            # NOTE_ holds the whole note number (octave x 12 + note); the default cell is 46.
            self.ratios.append(note_hz(int(seq.get("NOTE_000_%03d" % s, 46))) / 88.0)
            self.gate_seconds.append(float(seq.get("LENGHT_000_%03d" % s, 1.0)) / self.steps_per_second)
        self.voices = []
        v = 1
        while "VCO_%02d" % v in fields:
            osc, flt, amp = fields["VCO_%02d" % v], fields["PCF_%02d" % v], fields["VCA_%02d" % v]
            self.voices.append({
                "freq": float(osc["FREQ"]),
                "amount": float(osc.get("AMOUNT", 1)),
                "cutoff": float(flt["HICUT"]),
                "q": float(flt["Q"]),
            })
            v += 1
        amp = fields["VCA_01"]
        self.attack_ms = float(amp["ATTACK"])
        self.decay_ms = float(amp["DECAY"])
        self.sustain = float(amp["SUSTAIN"])
        self.release_ms = float(amp["RELEASE"])

    def step_seconds(self):
        return 1.0 / self.steps_per_second

    def gate_level(self, s):
        """Where attack and decay have brought the envelope when step s's gate closes."""
        t = self.gate_seconds[s] * 1000.0 - self.attack_ms
        if t <= 0:
            return max(self.gate_seconds[s] * 1000.0 / self.attack_ms, 0.0)
        if t >= self.decay_ms:
            return self.sustain
        return 1.0 - (1.0 - self.sustain) * t / self.decay_ms

    def mix_gain(self):
        """A level for each voice that keeps their sum inside the 16-bit output's range."""
        return 2.0 / len(self.voices)
