// PCF: the coefficients of the biquad shapes and the filter's out-of-line entry.
#include "pcf.h"

#include <cmath>

namespace {

constexpr double TWO_PI = 6.283185307179586;
constexpr double SAMPLE_PERIOD_D = 1.0 / SAMPLE_RATE; // s, double
} // namespace

// The low-pass, high-pass, band-pass, notch, shelf and peaking forms of the classic biquad
// recipes, normalised by a0 (kept in c0). The shelves use slope 1, where their 2 sqrt(A) alpha
// term is beta = sqrt((A^2 + 1) - (A - 1)^2) x sin w = sqrt(2 A) x sin w.
void compute_coefficients(BIQUAD_COEFFS& k, int type, double f, double q, double gain_db) {
    double* c = k.c;
    const double w = f * TWO_PI * SAMPLE_PERIOD_D;
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

int PCF::process() {
    return tick();
}
