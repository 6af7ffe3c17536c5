// Lane kernels: one frame of many oscillators, filters or envelopes at once, a module per SIMD lane.
#pragma once
#include <cstdint>

// The state and settings of a group of lanes, one array entry per lane. Arrays hold a whole
// number of vectors of the widest kernel (LANE_PAD lanes); the lanes past the group's modules
// compute on whatever they hold and are never read back.
constexpr int LANE_PAD = 16;

// A ramp oscillator (saw or triangle) per lane; has_in: the frequency follows a note input.
struct VCO_LANES {
    float* phase;
    float* played;
    const float* freq;
    const float* amp; // AMOUNT, already limited to 1
    const int32_t* saw; // 1: saw, 0: triangle
    const int32_t* has_in;
};

// A biquad of the common form (low-pass, high-pass, notch) per lane, blended with its input.
struct PCF_LANES {
    double *x1, *x2, *y1, *y2;
    const double *c1, *c2, *c3, *c4;
    const double* amount; // AMOUNT + 1, formed in single precision
    const float* wet;
    int32_t* ran; // set in lanes where the filter ran at least once (not the silent shortcut)
};

// An envelope per lane; v is the previous output, which the envelope continues from.
struct VCA_LANES {
    float *v, *env, *release_time, *release_level;
    const float *attack, *decay, *sustain, *release, *peak;
};

// The frames of an input: frame f's row at at + f * stride, one value per lane, or with
// `shared` one (the row's first) that every lane hears.
template <class T> struct LANE_FRAMES {
    const T* at;
    int stride;
    bool shared;
};
// Where a kernel writes frame f of lane i: at[f * stride + i].
struct LANE_OUT {
    float* at;
    int stride;
};

// Frames 1 to `frames` over `lanes` lanes (a multiple of LANE_PAD).
struct LANE_KERNELS {
    const char* name;
    void (*vco)(VCO_LANES& s, LANE_FRAMES<float> in, LANE_OUT out, int lanes, int frames);
    void (*pcf)(PCF_LANES& s, LANE_FRAMES<float> in, LANE_OUT out, int lanes, int frames);
    void (*vca)(VCA_LANES& s, LANE_FRAMES<float> in, LANE_FRAMES<int32_t> gate, LANE_OUT out, int lanes,
                int frames);
};

// The kernels for vectors of 128, 256 or 512 bits; null when this processor lacks them.
const LANE_KERNELS* lane_kernels_of(int bits);
// The kernels the plans run: the widest this processor has, unless a narrower one was chosen.
const LANE_KERNELS& lane_kernels();
// Chooses the width (128, 256, 512); false, and nothing changed, when the processor lacks it.
bool use_lane_kernels(int bits);
