#!/usr/bin/env python3
"""Two data sets of one orbit, the second 3 km/s off and 1 km/s noisier than its quoted errors, and
their maximum-likelihood orbit by an independent solver.

Run once (Debian: python3-scipy, python3-numpy); writes two_datasets.txt (JD;velocity;sigma;data set)
and two_datasets_reference.txt, which the orbit tests read. The likelihood is the program's: the
program's orbit model, gamma plus an offset for data set B, and per data set a jitter s added in
quadrature, -2 ln L = sum r^2 / (sigma^2 + s^2) + ln(sigma^2 + s^2). scipy's minimize (Nelder-Mead,
then BFGS) starts from the truth; the offset's standard error is that of the weighted least squares at
the optimum, sqrt of the diagonal of (J^T W J)^-1.
"""
import os

import numpy as np
from scipy.optimize import minimize

HERE = os.path.dirname(os.path.abspath(__file__))
rng = np.random.default_rng(31)


def true_anomaly(time, P, T0, e):
    M = np.mod(2 * np.pi * (time - T0) / P, 2 * np.pi)
    E = np.where(e > 0.8, np.pi * np.ones_like(M), M)
    for _ in range(100):
        E = E - (E - e * np.sin(E) - M) / (1 - e * np.cos(E))
    return 2 * np.arctan2(np.sqrt(1 + e) * np.sin(E / 2), np.sqrt(1 - e) * np.cos(E / 2))


EPOCH = 2459000.0


def model(x, t, b):
    P, T0, e, omega, K, gamma, offset = x[:7]
    nu = true_anomaly(t, P, T0 + EPOCH, e)
    w = np.radians(omega)
    return K * (np.cos(nu + w) + e * np.cos(w)) + gamma + offset * b


truth = np.array([12.5, 3.1, 0.3, 60.0, 35.0, -12.0, 3.0])
tA = EPOCH + np.sort(rng.uniform(0, 120, 30))
tB = EPOCH + np.sort(rng.uniform(20, 160, 30))
t = np.concatenate([tA, tB])
b = np.concatenate([np.zeros(30), np.ones(30)])
sigma = np.concatenate([rng.uniform(0.3, 0.6, 30), rng.uniform(0.4, 0.8, 30)])
noise = sigma * rng.normal(size=60) + b * 1.0 * rng.normal(size=60)
v = np.round(model(truth, t, b) + noise, 4)
sigma = np.round(sigma, 4)


def minus2lnl(x):
    if not (0 <= x[2] < 0.99) or x[0] <= 0:
        return 1e300
    s2 = sigma ** 2 + np.where(b > 0, x[8] ** 2, x[7] ** 2)
    r = v - model(x, t, b)
    return np.sum(r * r / s2 + np.log(s2))


x0 = np.concatenate([truth, [0.1, 1.0]])
res = minimize(minus2lnl, x0, method='Nelder-Mead', options=dict(xatol=1e-12, fatol=1e-12, maxiter=200000, maxfev=200000))
res = minimize(minus2lnl, res.x, method='BFGS', options=dict(gtol=1e-10))
res = minimize(minus2lnl, res.x, method='Nelder-Mead', options=dict(xatol=1e-12, fatol=1e-12, maxiter=200000, maxfev=200000))
x = res.x
x[7:] = np.abs(x[7:])
# The offset's error at the optimum: weighted least squares with the fitted jitters.
w = 1 / (sigma ** 2 + np.where(b > 0, x[8] ** 2, x[7] ** 2))
h = np.array([1e-6, 1e-6, 1e-7, 1e-5, 1e-6, 1e-6, 1e-6])
J = np.empty((60, 7))
for k in range(7):
    d = np.zeros(len(x)); d[k] = h[k]
    J[:, k] = (model(x + d, t, b) - model(x - d, t, b)) / (2 * h[k])
cov = np.linalg.inv(J.T @ (J * w[:, None]))
with open(os.path.join(HERE, 'two_datasets.txt'), 'w') as f:
    f.write('# JD;velocity;sigma;data set: one orbit seen by A and by B (3 km/s off, 1 km/s jitter)\n')
    for ti, vi, si, bi in zip(t, v, sigma, b):
        f.write('%.6f;%.4f;%.4f;%s\n' % (ti, vi, si, 'B' if bi else 'A'))
with open(os.path.join(HERE, 'two_datasets_reference.txt'), 'w') as f:
    f.write('# scipy %s minimize of -2 ln L (Nelder-Mead, BFGS) on two_datasets.txt\n' % __import__('scipy').__version__)
    for name, value in zip(['P', 'T0', 'e', 'omega', 'K1', 'gamma', 'offset.B', 'jitter.A', 'jitter.B'], x):
        f.write('%s=%.12g\n' % (name, value + (EPOCH if name == 'T0' else 0)))
    f.write('offset.B.err=%.12g\n' % np.sqrt(cov[6, 6]))
    f.write('m2lnl=%.12g\n' % res.fun)
