// PCF: second-order recursive filter of seven shapes, scaled and blended with the dry input.
#pragma once
#include "ports.h"

struct BIQUAD_STATE {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// c0 holds the normaliser; c1..c5 are the difference-equation coefficients of each shape.
struct BIQUAD_COEFFS {
    double c[6] = {0, 0, 0, 0, 0, 0};
};

struct PCF : INPUT, OUTPUT, INPUT_GATE, INPUT_SYNC {
    int process() override;

    int32_t power = 1;
    MOD_SLOT mod_phase = nullptr;
    MOD_SLOT mod_freq = nullptr;
    MOD_SLOT mod_amp = nullptr;
    float mix = 1.0f;
    int32_t TYPE = 3;
    int32_t BYPASS = 1;
    int32_t HICUT = 300;
    float GAIN = 1.0f;
    float AMOUNT = 1.0f;
    float Q = 1.0f;
    BIQUAD_STATE memory;
    BIQUAD_COEFFS coeffs;
    // The parameters of the last coefficient computation; NaN forces one on first use.
    double key_freq = __builtin_nan("");
    double key_q = 0, key_gain = 0;
    int32_t key_type = -1;
    // The name sits last so that the fields read every sample share few cache lines.
    char name[800] = "";
};

// Coefficients of one shape (0..7) for a cut-off f in Hz; shape 0 only sets c3.
void compute_coefficients(BIQUAD_COEFFS& k, int type, double f, double q, double gain_db);
// One step of the difference equation of a shape; shifts the memory for every shape.
double biquad_step(const BIQUAD_COEFFS& k, BIQUAD_STATE& m, int type, double x);
