# Procedural surface textures: brushed aluminium, anodised plate, case tolex; all deterministic.
import numpy as np


def periodic_noise(h, w, seed, scale_px, anisotropy=1.0):
    """Zero-mean, unit-deviation noise that tiles seamlessly (filtered in the Fourier domain).

    scale_px is the feature size; anisotropy > 1 stretches features along x.
    """
    rng = np.random.default_rng(seed)
    white = rng.standard_normal((h, w)).astype(np.float32)
    fy = np.fft.fftfreq(h)[:, None]
    fx = np.fft.fftfreq(w)[None, :]
    r2 = (fx * anisotropy) ** 2 + fy ** 2
    sigma = 1.0 / (2 * np.pi * max(scale_px, 1e-3))
    filt = np.exp(-r2 / (2 * sigma ** 2))
    n = np.real(np.fft.ifft2(np.fft.fft2(white) * filt)).astype(np.float32)
    sd = n.std()
    return n / sd if sd > 0 else n


def brushed(h, w, seed, streak=60.0):
    """Horizontal brushing: long thin streaks plus a little fine grain, unit deviation."""
    streaks = periodic_noise(h, w, seed, 0.6, anisotropy=1.0 / streak)
    grain = periodic_noise(h, w, seed + 1, 0.5)
    n = 0.85 * streaks + 0.35 * grain
    return n / n.std()


def tolex(h, w, seed):
    """Pebbled vinyl of a synthesizer case: cells of raised grain with dark creases, seamless."""
    big = periodic_noise(h, w, seed, 2.2)
    mid = periodic_noise(h, w, seed + 7, 1.1)
    fine = periodic_noise(h, w, seed + 11, 0.45)
    bumps = np.tanh(1.6 * (0.65 * big + 0.5 * mid))
    creases = np.exp(-(big * 2.2) ** 2)
    return 0.55 * bumps - 0.55 * creases + 0.25 * fine


def vertical_gradient(h, w, top, bottom):
    t = np.linspace(0.0, 1.0, h, dtype=np.float32)[:, None, None]
    return (np.asarray(top, np.float32) * (1 - t) + np.asarray(bottom, np.float32) * t) * np.ones(
        (1, w, 1), np.float32)
