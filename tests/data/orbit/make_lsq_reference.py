#!/usr/bin/env python3
"""The least-squares orbit of the alpha Dra velocities by an independent solver.

Run once (Debian: python3-scipy, python3-numpy); writes alphaDra_lsq_reference.txt, which the orbit
tests read. The model is the program's: v = K (cos(nu + omega) + e cos omega) + gamma, nu from
Kepler's equation with the mean anomaly 2 pi (t - T0) / P. scipy's least_squares (trust-region reflective with a
three-point finite-difference Jacobian) starts from the grid search's best
point; the standard errors come from (J^T J)^-1 scaled by the reduced chi-square.
"""
import os

import numpy as np
from scipy.optimize import least_squares

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, '..', 'alphaDra_rv.txt')

t, v = np.loadtxt(DATA, delimiter=';', unpack=True)


def true_anomaly(time, P, T0, e):
    M = np.mod(2 * np.pi * (time - T0) / P, 2 * np.pi)
    E = np.where(e > 0.8, np.pi * np.ones_like(M), M)
    for _ in range(100):
        E = E - (E - e * np.sin(E) - M) / (1 - e * np.cos(E))
    return 2 * np.arctan2(np.sqrt(1 + e) * np.sin(E / 2), np.sqrt(1 - e) * np.cos(E / 2))


# T0 is fitted as days after this epoch: a finite-difference step relative to a Julian date of 2.46
# million would span weeks, and its derivative would be wrong.
EPOCH = 2459800.0


def residuals(x):
    P, T0, e, omega, K, gamma = x
    T0 = T0 + EPOCH
    nu = true_anomaly(t, P, T0, e)
    w = np.radians(omega)
    return v - (K * (np.cos(nu + w) + e * np.cos(w)) + gamma)


# The grid search's best point (quandrel-cli orbit with the README's ranges).
start = [51.4, 2459874.525977 - EPOCH, 0.421875, 21.375, 48.415443, -15.398438]
res = least_squares(residuals, start, method='trf', jac='3-point', xtol=1e-15, ftol=1e-15, gtol=1e-15,
                    max_nfev=100000, x_scale=[1, 1, 0.01, 1, 1, 1])
J = res.jac
n = len(t)
chi2r = np.sum(res.fun ** 2) / (n - 6)
cov = np.linalg.inv(J.T @ J) * chi2r
err = np.sqrt(np.diag(cov))
names = ['P', 'T0', 'e', 'omega', 'K1', 'gamma']
with open(os.path.join(HERE, 'alphaDra_lsq_reference.txt'), 'w') as f:
    f.write('# scipy %s least_squares (trf, 3-point Jacobian) on ../alphaDra_rv.txt\n' % __import__('scipy').__version__)
    for name, value, error in zip(names, res.x + np.array([0, EPOCH, 0, 0, 0, 0]), err):
        f.write('%s=%.15g\n%s.err=%.15g\n' % (name, value, name, error))
    f.write('chi2r=%.15g\nn=%d\n' % (chi2r, n))
