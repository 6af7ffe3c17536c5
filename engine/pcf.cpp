// PCF processing: biquad filter shapes, coefficient caching and the wet/dry blend.
#include "pcf.h"

#include <cmath>

namespace {

constexpr double TWO_PI = 6.283185307179586;
constexpr double SAMPLE_PERIOD = 2.2675736961451248e-5; // 1/44100 s

float clip_signal(float v) {
    if (v > 1.0f) v = 1.0f;
    if (v < -1.0f) v = -1.0f;
    return v;
}

} // namespace

// The low-pass, high-pass, band-pass, notch, shelf and peaking forms of the classic biquad
// recipes, normalised by a0 (kept in c0). The shelves use slope 1, where their 2 sqrt(A) alpha
// term is beta = sqrt((A^2 + 1) - (A - 1)^2) x sin w = sqrt(2 A) x sin w.
void compute_coefficients(BIQUAD_COEFFS& k, int type, double f, double q, double gain_db) {
    double* c = k.c;
    const double w = f * TWO_PI * SAMPLE_PERIOD;
    const double cs = std::cos(w);
    const double sn = std::sin(w);
    const double alpha = sn / (2.0 * q);
    const double G = std::pow(10.0, gain_db * 0.05);
    const double A = std::pow(10.0, gain_db * 0.025);
    const double beta = std::sqrt((A * A + 1.0) - (A - 1.0) * (A - 1.0)) * sn;
    double n;
    switch (type) {
    case 0:
        c[3] = G;
        return;
    case 1:
        n = 1.0 / (1.0 + alpha);
        c[1] = -2.0 * cs * n;
        c[2] = (1.0 - alpha) * n;
        c[4] = G * (1.0 - cs) * n;
        c[3] = c[4] / 2.0;
        break;
    case 2:
        n = 1.0 / (1.0 + alpha);
        c[1] = -2.0 * cs * n;
        c[2] = (1.0 - alpha) * n;
        c[4] = -G * (1.0 + cs) * n;
        c[3] = -c[4] / 2.0;
        break;
    case 3:
        n = 1.0 / (1.0 + alpha);
        c[1] = -2.0 * cs * n;
        c[2] = (1.0 - alpha) * n;
        c[3] = G * n * alpha;
        break;
    case 4:
        n = 1.0 / (1.0 + alpha);
        c[1] = -2.0 * cs * n;
        c[2] = (1.0 - alpha) * n;
        c[3] = G * n;
        c[4] = G * c[1];
        break;
    case 5:
        n = 1.0 / ((A + 1.0) + (A - 1.0) * cs + beta);
        c[1] = -2.0 * ((A - 1.0) + (A + 1.0) * cs) * n;
        c[2] = ((A + 1.0) + (A - 1.0) * cs - beta) * n;
        c[3] = A * ((A + 1.0) - (A - 1.0) * cs + beta) * n;
        c[4] = 2.0 * A * ((A - 1.0) - (A + 1.0) * cs) * n;
        c[5] = A * ((A + 1.0) - (A - 1.0) * cs - beta) * n;
        break;
    case 6:
        n = 1.0 / ((A + 1.0) - (A - 1.0) * cs + beta);
        c[1] = 2.0 * ((A - 1.0) - (A + 1.0) * cs) * n;
        c[2] = ((A + 1.0) - (A - 1.0) * cs - beta) * n;
        c[3] = A * ((A + 1.0) + (A - 1.0) * cs + beta) * n;
        c[4] = -2.0 * A * ((A - 1.0) + (A + 1.0) * cs) * n;
        c[5] = A * ((A + 1.0) + (A - 1.0) * cs - beta) * n;
        break;
    case 7:
        n = 1.0 / (1.0 + alpha / A);
        c[1] = -2.0 * cs * n;
        c[2] = (1.0 - alpha / A) * n;
        c[3] = (1.0 + alpha * A) * n;
        c[5] = (1.0 - alpha * A) * n;
        break;
    default:
        return;
    }
    c[0] = n;
}

namespace {

// The difference equation of each shape, then the memory shift that every shape does.
inline double run_biquad(const BIQUAD_COEFFS& k, BIQUAD_STATE& m, int type, double x) {
    const double* c = k.c;
    double y;
    switch (type) {
    case 1:
    case 2:
    case 4:
        y = c[3] * (x + m.x2) + c[4] * m.x1 - c[1] * m.y1 - c[2] * m.y2;
        break;
    case 3:
        y = c[3] * x - c[3] * m.x2 - c[1] * m.y1 - c[2] * m.y2;
        break;
    case 5:
    case 6:
        y = c[3] * x + c[4] * m.x1 + c[5] * m.x2 - c[1] * m.y1 - c[2] * m.y2;
        break;
    case 7:
        // The peaking form's b1 equals its a1, so c1 serves both.
        y = c[3] * x + c[1] * m.x1 + c[5] * m.x2 - c[1] * m.y1 - c[2] * m.y2;
        break;
    default:
        y = x;
        break;
    }
    m.y2 = m.y1;
    m.x2 = m.x1;
    m.x1 = x;
    m.y1 = y;
    return y;
}

} // namespace

double biquad_step(const BIQUAD_COEFFS& k, BIQUAD_STATE& m, int type, double x) {
    return run_biquad(k, m, type, x);
}

int PCF::process() {
    if (power != 0) {
        if (input == nullptr) {
            value = 0.0f;
        } else if (BYPASS != 0) {
            value = *input;
        } else {
            float wet = mix;
            float f = static_cast<float>(HICUT);
            if (mod_amp != nullptr) wet = (read_mod(mod_amp) + 1.0f) * wet;
            if (mod_freq != nullptr) f = f * (read_mod(mod_freq) + 1.0f);
            if (TYPE > 7) TYPE = 0;
            if (TYPE < 0) TYPE = 7;

            const float x = *input;
            if (x == 0.0f) {
                // Silence is passed without running the filter, so its memory stands still.
                value = 0.0f;
            } else {
                const int type = TYPE;
                // Recomputing costs a cos, a sin and two powers: only when a key changes.
                if (__builtin_expect(!(f == key_freq && Q == key_q && GAIN == key_gain && type == key_type),
                                     0)) {
                    key_freq = f;
                    key_q = Q;
                    key_gain = GAIN;
                    key_type = type;
                    compute_coefficients(coeffs, type, f, Q, GAIN);
                }
                const double y = run_biquad(coeffs, memory, type, x);
                const double e = y * (AMOUNT + 1.0f);
                value = static_cast<float>((1.0f - wet) * x + e * wet);
            }
        }
    }
    value = clip_signal(value);
    return 1;
}
