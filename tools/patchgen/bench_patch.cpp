// Generates the benchmark patches: N voices (SAW VCO -> low-pass PCF -> VCA) on one sequencer.
#include "bench_patch.h"

#include <cmath>
#include <cstdio>

namespace {

template <class... A> std::string format(const char* fmt, A... args) {
    char buf[160];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

// Voice names count from 1 with two digits: VCO_01, PCF_01, VCA_01, ...
std::string voice(const char* kind, int i) {
    return format("%s_%02d", kind, i + 1);
}

// A 16-step A minor line over A, F, C and G, the third step of each bar an octave up. Values
// are note + 12 x octave (46 is A3 at 220 Hz).
const int LINE[16] = {34, 34, 46, 34, 30, 30, 42, 30, 37, 37, 49, 37, 32, 32, 44, 32};

} // namespace

int bench_sub_mixers(int voices) {
    if (voices <= 24) return 0;
    return (voices + BENCH_VOICES_PER_MIXER - 1) / BENCH_VOICES_PER_MIXER;
}

double bench_voice_freq(int voice) {
    static const int interval[4] = {0, 7, 12, 16};
    const double cents = (voice / 4 % 16 - 7.5) * 1.5; // -11.25 to +11.25
    return 88.0 * std::pow(2.0, (interval[voice % 4] + cents / 100.0) / 12.0);
}

int bench_modules(int voices) {
    return 2 + 3 * voices + bench_sub_mixers(voices);
}

std::string bench_patch(int voices, int keyboards) {
    std::string p = "BEGIN_OBJECTS_DECLARE\n\n";
    p += format("#Benchmark:_%d_voices_of_SAW_VCO,_low-pass_PCF_and_VCA_on_one_sequencer\n\n", voices);
    p += "SEQUENCER_1;DIVIDER=4;NBR_STEP=16;";
    for (int s = 0; s < 16; ++s)
        p += format("NOTE_000_%03d=%d;", s, LINE[s]);
    // Gates of 0.6 step: the envelopes release between notes.
    for (int s = 0; s < 16; ++s)
        p += format("LENGHT_000_%03d=0.6;", s);
    p += "\n\n";
    for (int i = 0; i < voices; ++i) {
        p += voice("VCO", i) + format(";TYPE=3;FREQ=%.4f;AMOUNT=0.5;\n", bench_voice_freq(i));
        // GAIN=0 also sets AMOUNT to 0: unity output gain and no dB boost.
        p += voice("PCF", i) + format(";TYPE=1;HICUT=%d;Q=1.5;GAIN=0;BYPASS=0;\n", 800 + 50 * (i % 16));
        p += voice("VCA", i) + ";ATTACK=5;DECAY=200;SUSTAIN=0.6;RELEASE=150;\n";
    }
    const int subs = bench_sub_mixers(voices);
    for (int m = 0; m < subs; ++m)
        p += format("MIXER_SUB_%d;;\n", m + 1);
    p += "MIXER_4;;\n\n";
    for (int k = 0; k < keyboards; ++k)
        p += format("KEY_%d;;\n", k + 1);
    p += "END_OBJECTS_DECLARE\n\nBEGIN_LINKS_DECLARE\n\n";
    for (int i = 0; i < voices; ++i) {
        p += voice("VCO", i) + ";IN=SEQUENCER_1;\n";
        p += voice("PCF", i) + ";IN=" + voice("VCO", i) + ";\n";
        p += voice("VCA", i) + ";IN=" + voice("PCF", i) + ";GATE=SEQUENCER_1;\n";
    }
    if (subs == 0) {
        p += "MIXER_4;";
        for (int i = 0; i < voices; ++i)
            p += "ADD_CHANELL=" + voice("VCA", i) + ";";
        p += "\n";
    } else {
        for (int m = 0; m < subs; ++m) {
            p += format("MIXER_SUB_%d;", m + 1);
            for (int i = m * BENCH_VOICES_PER_MIXER; i < voices && i < (m + 1) * BENCH_VOICES_PER_MIXER; ++i)
                p += "ADD_CHANELL=" + voice("VCA", i) + ";";
            p += "\n";
        }
        p += "MIXER_4;";
        for (int m = 0; m < subs; ++m)
            p += format("ADD_CHANELL=MIXER_SUB_%d;", m + 1);
        p += "\n";
    }
    p += "\nEND_LINKS_DECLARE\n";
    return p;
}
