// Panel control arithmetic: stepping rules, ranges, display images.
#include "panels/panel_steps.h"

#include "engine/note_table.h"
#include "engine/sequencer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The oscillator's shared step ranges for "SLD_DOWN" (adds) and "SLD_UP" (subtracts); each
// test sees the value left by the one before. Frequency and amount differ only in whether
// the two lowest ranges include their lower bound and where the lowest rising range begins;
// the lowest falling range ends at 0.01 for both.
float vco_ranges(float v, bool sld_down, bool closed_low, float lowest) {
    float s = sld_down ? 1.0f : -1.0f;
    if (v >= 50 && v < 22050) v += s * 1.0f;
    if (v >= 20 && v < 50) v += s * 0.5f;
    if (v >= 10 && v < 20) v += s * 0.025f;
    if (v >= 1 && v < 10) v += s * 0.0125f;
    if ((closed_low ? v >= 0.1f : v > 0.1f) && v < 1) v += s * 0.00625f;
    if (sld_down) {
        if ((closed_low ? v >= lowest : v > lowest) && v < 0.1f) v += 0.003125f;
    } else if (v > 0.01f && v < 0.1f) {
        v -= 0.003125f;
    }
    return v;
}

float clamp(float v, float lo, float hi) {
    // Written so that a value that is not a number lands on the low bound.
    if (!(v >= lo)) return lo;
    return v > hi ? hi : v;
}

} // namespace

float vco_freq_step(float v, bool sld_down) {
    v = vco_ranges(v, sld_down, false, 0.00001f);
    return v <= 0.001f ? 0.001f : v;
}

float vco_amount_step(float v, bool sld_down) {
    v = vco_ranges(v, sld_down, true, 0.001f);
    if (sld_down) return v == 0.0f ? 0.01f : v;
    return v < 0.01f ? 0.0f : v;
}

float vco_phase_step(float v, bool sld_down) {
    v += sld_down ? -1.0f : 1.0f;
    // The remainder of the whole degrees keeps the sign of the dividend: -1 stays -1.
    return std::fmod(std::trunc(v), 360.0f);
}

int32_t vco_type_next(int32_t type) {
    // Indexed by the current waveform 1..6: SIN to TRI, TRI to SAW, SAW to SQR, SQR to PULSE,
    // NOISE back to SIN, PULSE to NOISE.
    static const int32_t next[7] = {0, 2, 3, 4, 6, 1, 5};
    return type >= 1 && type <= 6 ? next[type] : type;
}

const char* vco_type_image(int32_t type) {
    static const char* const images[] = {"DISP_SIN", "DISP_TRI",   "DISP_SAW",
                                         "DISP_SQR", "DISP_NOISE", "DISP_PULSE"};
    return type >= 1 && type <= 6 ? images[type - 1] : nullptr;
}

float vca_time_step(float v, bool sld_down) {
    v += sld_down ? 1.0f : -1.0f;
    return v < 0 ? 0.0f : v;
}

float vca_sustain_step(float v, bool sld_down) {
    if (sld_down) {
        if (v == 0.0f) v = 0.05f;
        v += 0.01f;
    } else if (v >= 0.05f) {
        v -= 0.01f;
    }
    return vca_sustain_floor(v);
}

float vca_sustain_floor(float v) {
    return v < 0.01f ? 0.0f : v;
}

int32_t vcf_hicut_step(int32_t v, bool sld_down) {
    if (sld_down) {
        if (v >= 5000 && v <= 12000) v -= 100;
        if (v >= 2500 && v < 5000) v -= 50;
        if (v >= 1000 && v < 2500) v -= 25;
        if (v >= 100 && v < 1000) v -= 10;
        if (v >= 10 && v < 100) v -= 2;
        if (v >= 2 && v < 10) v -= 1;
    } else {
        if (v >= 5000 && v < 10000) v += 100;
        if (v >= 2500 && v < 5000) v += 50;
        if (v >= 1000 && v < 2500) v += 25;
        if (v >= 100 && v < 1000) v += 10;
        if (v >= 10 && v < 100) v += 2;
        if (v >= 1 && v < 10) v += 1;
    }
    return v;
}

float vcf_gain_step(float v, bool sld_down) {
    return v + (sld_down ? 0.1f : -0.1f);
}

float vcf_q_step(float v, bool sld_down) {
    v += sld_down ? 0.1f : -0.1f;
    return v <= 0.001f ? 0.001f : v;
}

float vcf_level_step(float v, bool sld_down) {
    return clamp(v + (sld_down ? 0.05f : -0.05f), 0.0f, 1.0f);
}

int32_t vcf_type_next(int32_t type) {
    // Checked before the step, so the largest type a patch can bring cannot overflow.
    if (type >= VCF_TYPE_LAST) return 0;
    ++type;
    if (type < 0) return VCF_TYPE_LAST;
    return type;
}

namespace {

// The filter each TYPE plays, as the engine computes its coefficients: 0 passes the input
// through (scaled by the gain), 1 to 7 are the cookbook shapes.
const char* const VCF_TYPE_NAMES[VCF_TYPE_LAST + 1] = {"THROUGH",  "LOWPASS",  "HIGHPASS",  "BANDPASS",
                                                       "NOTCH",    "LOWSHELF", "HIGHSHELF", "PEAKING"};
const char* const VCF_TYPE_IMAGES[VCF_TYPE_LAST + 1] = {
    "DISP_FILTRE_THROUGH", "DISP_FILTRE_LOWPASS",  "DISP_FILTRE_HIGHPASS",  "DISP_FILTRE_BANDPASS",
    "DISP_FILTRE_NOTCH",   "DISP_FILTRE_LOWSHELF", "DISP_FILTRE_HIGHSHELF", "DISP_FILTRE_PEAKING"};

} // namespace

const char* vcf_type_image(int32_t type) {
    return type >= 0 && type <= VCF_TYPE_LAST ? VCF_TYPE_IMAGES[type] : nullptr;
}

const char* vcf_type_name(int32_t type) {
    return type >= 0 && type <= VCF_TYPE_LAST ? VCF_TYPE_NAMES[type] : nullptr;
}

int32_t keyboard_octave_step(int32_t v, bool up) {
    v += up ? 1 : -1;
    if (v < 0) return 0;
    return v > 6 ? 7 : v;
}

namespace {

bool in_note_table(int64_t n) {
    return n >= 0 && n < NOTE_TABLE_SIZE;
}

// One step of v within 0..max. n is the step's note number and `stride` how far one unit of v
// moves it (1 for a note, 12 for an octave); a step out of the note table is refused.
int32_t pitch_step(int32_t v, bool up, int32_t max, int64_t n, int64_t stride) {
    const bool inside = up ? v < max : v > 0;
    const int64_t next = n + (up ? stride : -stride);
    if (!inside || (in_note_table(n) && !in_note_table(next))) return v;
    return v + (up ? 1 : -1);
}

int64_t note_number(int32_t note, int32_t octave) {
    return static_cast<int64_t>(note) + 12 * static_cast<int64_t>(octave);
}

} // namespace

int32_t seq_note_step(int32_t note, int32_t octave, bool up) {
    return pitch_step(note, up, SEQ_NOTE_MAX, note_number(note, octave), 1);
}

int32_t seq_octave_step(int32_t octave, int32_t note, bool up) {
    return pitch_step(octave, up, SEQ_OCTAVE_MAX, note_number(note, octave), 12);
}

float seq_volume_step(float v, bool sld_down) {
    double tenths = std::round((static_cast<double>(v) + (sld_down ? 0.1 : -0.1)) * 10.0);
    return static_cast<float>(tenths / 10.0);
}

float seq_length_step(float v, bool sld_down) {
    return clamp(sld_down ? v * 2.0f : v / 2.0f, SEQ_LENGTH_MIN, SEQ_LENGTH_MAX);
}

float seq_divider_step(float v, bool halve) {
    return clamp(halve ? v / 2.0f : v * 2.0f, SEQ_DIVIDER_MIN, SEQ_DIVIDER_MAX);
}

int32_t seq_max_step(int32_t v, bool up) {
    v += up ? 1 : -1;
    if (v < 1) return 1;
    return v > 32 ? 32 : v;
}

int32_t seq_pattern_of(const char* item_name) {
    const char* p = std::strstr(item_name, "BUTTON_PATTERN");
    if (!p) return -1;
    p += std::strlen("BUTTON_PATTERN");
    if (*p == '_') ++p;
    if (*p < '0' || *p > '9') return -1;
    long n = std::strtol(p, nullptr, 10);
    return n > 1000000 ? 1000000 : static_cast<int32_t>(n);
}

int32_t seq_row(int32_t pattern) {
    return pattern >= 0 && pattern < SEQ_ROWS ? pattern : 0;
}

int digit_tens_image(int32_t v) {
    if (v < 10) return 0;
    return (v / 10) % 10 + 1;
}

int digit_units_image(int32_t v) {
    if (v < 0) return 0;
    return v % 10 + 1;
}

float mixer_level_of_angle(int32_t angle) {
    return static_cast<float>(angle) * 0.00055555557f;
}

int32_t mixer_angle_of_level(float level) {
    float a = std::round(level * 1800.0f);
    if (!(a > -1e9f)) return 0;
    return a > 1e9f ? 1000000000 : static_cast<int32_t>(a);
}

void note_name(int32_t note, int32_t octave, char out[NOTE_NAME_SIZE]) {
    static const char* const names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    int64_t index = static_cast<int64_t>(note) + 12 * static_cast<int64_t>(octave);
    if (index < 0) index = 0;
    if (index >= NOTE_TABLE_SIZE) index = NOTE_TABLE_SIZE - 1;
    const int midi = static_cast<int>(index) + 11;
    std::snprintf(out, NOTE_NAME_SIZE, "%s%d", names[midi % 12], midi / 12 - 1);
}
