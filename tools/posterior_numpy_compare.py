#!/usr/bin/python3
"""The stretch move of the orbit's posterior in numpy, the same size as bench/bench_posterior (two
ensembles of 50 walkers, 5,000 steps, a 20-point orbit: 500,000 likelihood calls), vectorised over each
half-ensemble as emcee does it, for the time a Python user would wait. Run: /usr/bin/python3 tools/posterior_numpy_compare.py
"""
import time

import numpy as np

rng = np.random.default_rng(20)
P, T0, e, w, K, g = 12.5, 2459003.1, 0.3, np.radians(60.0), 35.0, -12.0
t = 2459000.0 + 4.5 * np.arange(20) + 0.3 * (np.arange(20) % 3)


def kepler(M, e):
    E = M + 0.85 * e * np.sign(np.sin(M))
    for _ in range(8):
        f = E - e * np.sin(E) - M
        fp = 1 - e * np.cos(E)
        E = E - f / (fp - 0.5 * f * e * np.sin(E) / fp)
    return E


def model(p, t):
    P, lam, h, k, K, g = [p[:, i:i + 1] for i in range(6)]
    e = h * h + k * k
    w = np.arctan2(k, h)
    M = lam - w + 2 * np.pi * (t - t.mean()) / P
    E = kepler(np.mod(M, 2 * np.pi), e)
    nu = 2 * np.arctan2(np.sqrt(1 + e) * np.sin(E / 2), np.sqrt(1 - e) * np.cos(E / 2))
    return K * (np.cos(nu + w) + e * np.cos(w)) + g


truth = np.array([[P, 2 * np.pi * (t.mean() - T0) / P + w, np.sqrt(e) * np.cos(w), np.sqrt(e) * np.sin(w), K, g]])
v = model(truth, t)[0] + rng.normal(0, 0.5, 20)


def logp(p):
    e = p[:, 2] ** 2 + p[:, 3] ** 2
    ok = (p[:, 0] > 0) & (e < 0.99) & (p[:, 4] > 0)
    r = v - model(np.where(ok[:, None], p, truth), t)
    return np.where(ok, -0.5 * np.sum(r * r / 0.25, axis=1), -np.inf)


def ensemble(walkers=50, steps=5000):
    x = truth + 1e-3 * rng.normal(size=(walkers, 6))
    lp = logp(x)
    half = walkers // 2
    for _ in range(steps):
        for s in (slice(0, half), slice(half, walkers)):
            o = slice(half, walkers) if s.start == 0 else slice(0, half)
            z = ((2 - 1) * rng.random(half) + 1) ** 2 / 2
            partner = x[o][rng.integers(0, half, half)]
            y = partner + z[:, None] * (x[s] - partner)
            lq = logp(y)
            accept = np.log(rng.random(half)) < 5 * np.log(z) + lq - lp[s]
            xs = x[s]
            xs[accept] = y[accept]
            x[s] = xs
            lps = lp[s]
            lps[accept] = lq[accept]
            lp[s] = lps
    return x


start = time.process_time()
for _ in range(2):
    ensemble()
print('numpy stretch move, 2 x 50 walkers x 5000 steps (500,000 calls): %.1f s CPU' % (time.process_time() - start))
