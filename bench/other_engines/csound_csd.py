"""W3's voices as a Csound file rendered with ksmps = 64 into a WAVE file."""


def csd(w, seconds, out_wav):
    """Naive saw (phasor - 0.5) -> lowpass2 (Q) -> audio-rate envelope retriggered each step.

    Every gate of the sequence has the same length, so the gated ADSR is one fixed shape from
    the gate's opening: attack, decay cut short where the gate closes, release from there.
    """
    step_len = w.gate_seconds[0]
    a = w.attack_ms / 1000.0
    d_cut = max(step_len - a, 0.0)
    ratios = " ".join("%.9g" % r for r in w.ratios)
    voices = "\n".join("i 2 0 %g %.9g %g %g %.9g" % (seconds, v["freq"], v["cutoff"], v["q"],
                                                     v["amount"] * w.mix_gain()) for v in w.voices)
    return """<CsoundSynthesizer>
<CsOptions>
-o {out} -W -d -m0 --nodisplays
</CsOptions>
<CsInstruments>
sr = 44100
ksmps = 64
nchnls = 1
0dbfs = 1

gkratio init {r0}
gktrig init 0

; The shared sequence: a step every {step:g} s from one step in, its pitch ratio from table 1.
instr 1
  kstep init 0
  ktick metro {rate:g}
  kfirst init 1
  if ktick == 1 && kfirst == 1 then
    kfirst = 0
    ktick = 0
  endif
  gktrig = ktick
  if ktick == 1 then
    gkratio table kstep, 1
    kstep = (kstep + 1) % {steps}
  endif
endin

instr 2
  asaw phasor gkratio * p4
  asaw = (asaw - 0.5) * 2 * p7
  aflt lowpass2 asaw, p5, p6
  aenv trigLinseg gktrig, 0, {a:g}, 1, {d:g}, {lvl:.9g}, {r:g}, 0
  out aflt * aenv
endin
</CsInstruments>
<CsScore>
f 1 0 -{steps} -2 {ratios}
i 1 0 {secs:g}
{voices}
e
</CsScore>
</CsoundSynthesizer>
""".format(out=out_wav, r0=w.ratios[0], step=w.step_seconds(), rate=1.0 / w.step_seconds(),
           steps=w.steps, a=a, d=d_cut, lvl=w.gate_level(0), r=w.release_ms / 1000.0,
           ratios=ratios, secs=seconds, voices=voices)
