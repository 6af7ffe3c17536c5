#!/usr/bin/env python3
"""Times W3 rendered by tessaro (sub-block plan and per-frame sweep) and by the block engines of
scsynth, Pure Data and Csound, in interleaved rounds, and prints a table.

Usage: bench/other_engines/run.py [--seconds 60] [--rounds 3] [--tessaro build/tessaro]
Each engine renders non-real-time into a 44100 Hz WAVE file in a temporary folder, run under
/usr/bin/time -v: wall clock, user + system CPU time of the process and its children, peak memory.
"""
import argparse
import array
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)

import csound_csd  # noqa: E402
import pd_patch  # noqa: E402
import scsynth_score  # noqa: E402
import w3_workload  # noqa: E402


def engines(args, w, work):
    """(name, command, output file) for every engine installed; files they need are written here."""
    out = {}
    tessaro = os.path.abspath(args.tessaro)
    patch = os.path.abspath(args.patch)
    secs = "%g" % args.seconds
    for mode in ("block", "sweep"):
        wav = os.path.join(work, "tessaro_%s.wav" % mode)
        out["tessaro --engine " + mode] = (
            [tessaro, "--engine", mode, "--render", wav, "--seconds", secs, patch], wav)
    if shutil.which("scsynth"):
        score = os.path.join(work, "w3.osc")
        with open(score, "wb") as f:
            f.write(scsynth_score.score(w, args.seconds))
        wav = os.path.join(work, "scsynth.wav")
        out["scsynth -N, 64-frame blocks"] = (
            ["scsynth", "-N", score, "_", wav, "44100", "WAV", "int16", "-o", "1", "-z", "64"], wav)
    if shutil.which("pd"):
        for kind in ("vcf", "biquad"):
            wav = os.path.join(work, "pd_%s.wav" % kind)
            pd = os.path.join(work, "w3_%s.pd" % kind)
            with open(pd, "w") as f:
                f.write(pd_patch.patch(w, args.seconds, wav, kind))
            out["pd -batch, %s~, 64-frame blocks" % kind] = (
                ["pd", "-batch", "-noprefs", "-nosound", "-nomidi", "-r", "44100", "-open", pd], wav)
    if shutil.which("csound"):
        wav = os.path.join(work, "csound.wav")
        cs = os.path.join(work, "w3.csd")
        with open(cs, "w") as f:
            f.write(csound_csd.csd(w, args.seconds, wav))
        out["csound, ksmps 64"] = (["csound", cs], wav)
    return out


def timed(command):
    """Wall and CPU seconds and peak memory (MB) of one run; None when the command failed.

    The command runs under /usr/bin/time -v, whose report gives the memory; the times come
    from the process's own accounting (wait4), finer than that report's hundredths.
    """
    with tempfile.NamedTemporaryFile("r", suffix=".time") as t:
        start = time.perf_counter()
        p = subprocess.Popen(["/usr/bin/time", "-v", "-o", t.name] + command,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        err = p.stderr.read()
        _, status, usage = os.wait4(p.pid, 0)
        wall = time.perf_counter() - start
        p.returncode = os.waitstatus_to_exitcode(status)
        report = t.read()
    if p.returncode != 0:
        sys.stderr.write("failed (%d): %s\n%s\n" % (p.returncode, " ".join(command), err.decode()[-2000:]))
        return None
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", report).group(1))
    return wall, usage.ru_utime + usage.ru_stime, rss / 1024.0


def sound_seconds(path):
    """Seconds in a WAVE file and whether any sample is not zero (a silent render is a failure)."""
    with wave.open(path) as f:
        frames = f.getnframes()
        data = array.array("h", f.readframes(frames))
        return frames / float(f.getframerate()), any(data)


def load():
    with open("/proc/loadavg") as f:
        return f.read().split()[0]


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--seconds", type=float, default=60.0)
    ap.add_argument("--rounds", type=int, default=3)
    ap.add_argument("--tessaro", default=os.path.join(ROOT, "build", "tessaro"))
    ap.add_argument("--patch", default=os.path.join(ROOT, "KVX", "BENCH_W3.KVX"))
    args = ap.parse_args()

    w = w3_workload.Workload(args.patch)
    work = tempfile.mkdtemp(prefix="w3_engines_")
    try:
        runs = engines(args, w, work)
        results = {name: [] for name in runs}
        loads = []
        for r in range(args.rounds):
            loads.append(load())
            for name, (command, wav) in runs.items():
                t = timed(command)
                if t is None:
                    continue
                length, audible = sound_seconds(wav)
                if not audible or abs(length - args.seconds) > 0.1:
                    sys.stderr.write("%s: %.3f s of sound, %s\n" % (name, length, "audible" if audible else "silent"))
                    continue
                results[name].append(t)
                print("round %d  %-36s wall %7.3f s  cpu %7.3f s  %7.1fx  %6.1f MB" %
                      (r + 1, name, t[0], t[1], args.seconds / t[1], t[2]), flush=True)
        loads.append(load())
    finally:
        shutil.rmtree(work)

    print("\n%d voices, %g s of sound, %d interleaved rounds; load average %s" %
          (len(w.voices), args.seconds, args.rounds, " -> ".join(loads)))
    # On a shared host the fastest round is the one least slowed by others; medians beside it.
    best = {name: min(t[1] for t in ts) for name, ts in results.items() if ts}
    medians = {name: statistics.median(t[1] for t in ts) for name, ts in results.items() if ts}
    print("| engine | wall s (rounds) | CPU s (rounds) | real-time factor, best (median) | "
          "CPU / tessaro block, best (median) | CPU / tessaro sweep, best (median) | peak MB |")
    print("|---|---|---|---|---|---|---|")
    for name, ts in results.items():
        if not ts:
            print("| %s | failed | | | | | |" % name)
            continue

        def ratio(ref):
            if ref not in best:
                return ""
            return "%.2f (%.2f)" % (best[name] / best[ref], medians[name] / medians[ref])

        print("| %s | %s | %s | %.1fx (%.1fx) | %s | %s | %.0f |" % (
            name, ", ".join("%.2f" % t[0] for t in ts), ", ".join("%.2f" % t[1] for t in ts),
            args.seconds / best[name], args.seconds / medians[name], ratio("tessaro --engine block"),
            ratio("tessaro --engine sweep"), max(t[2] for t in ts)))

if __name__ == "__main__":
    main()
