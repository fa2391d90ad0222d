#!/usr/bin/python3
# Noisy line windows (single and blended double Gaussians on a flat continuum) fitted by scipy's
# unweighted least squares (curve_fit, absolute_sigma=False, with the model's analytic Jacobian): the
# best parameters and their standard errors, for the line fit's errors to be checked against. Run once; the tests read line_errors.txt.
#   /usr/bin/python3 make_line_errors.py > line_errors.txt
import numpy as np
from scipy.optimize import curve_fit


def single(x, s1, c1, o, a1):
    return o + a1 * np.exp(-(x - c1) ** 2 / (2 * s1 ** 2))


def double(x, s1, c1, o, a1, s2, c2, a2):
    return single(x, s1, c1, o, a1) + a2 * np.exp(-(x - c2) ** 2 / (2 * s2 ** 2))


def jacobian(x, *p):
    columns = []
    for s, c, a in [(p[0], p[1], p[3])] + ([(p[4], p[5], p[6])] if len(p) > 4 else []):
        g = np.exp(-(x - c) ** 2 / (2 * s ** 2))
        columns.append((a * g * (x - c) ** 2 / s ** 3, a * g * (x - c) / s ** 2, g))
    s1, c1, a1 = columns[0]
    out = [s1, c1, np.ones_like(x), a1]
    if len(columns) > 1:
        out += list(columns[1])
    return np.array(out).T


rng = np.random.default_rng(20261209)
cases = [
    ("single", 41, 0.10, (0.30, 6563.0, 0.92, -0.40), 0.010),
    ("single", 41, 0.10, (0.25, 6563.1, 0.95, -0.08), 0.010),
    ("single", 61, 0.05, (0.40, 5890.0, 0.90, -0.60), 0.020),
    ("single", 25, 0.25, (0.80, 4861.3, 0.85, -0.30), 0.005),
    ("single", 41, 0.10, (0.30, 6563.0, 0.40, 0.35), 0.010),
    ("double", 61, 0.05, (0.25, 6562.6, 0.93, -0.35, 0.30, 6563.4, -0.25), 0.010),
    ("double", 81, 0.05, (0.40, 5875.4, 0.90, -0.20, 0.35, 5876.1, -0.15), 0.008),
]
print("# kind n; then n lines x y; then 'fit' and 'err' with sigma1 centre1 offset amplitude1 [sigma2 centre2 amplitude2]")
for kind, n, step, truth, noise in cases:
    centre = truth[1] if kind == "single" else 0.5 * (truth[1] + truth[5])
    x = np.round(centre - step * (n - 1) / 2 + step * np.arange(n), 6)
    f = single if kind == "single" else double
    y = np.round(f(x, *truth) + rng.normal(0.0, noise, n), 7)
    p, cov = curve_fit(f, x, y, p0=truth, jac=jacobian, absolute_sigma=False, xtol=1e-14, ftol=1e-14, maxfev=100000)
    print(kind, n)
    for a, b in zip(x, y):
        print(f"{a:.6f} {b:.7f}")
    print("fit", " ".join(f"{v:.15g}" for v in p))
    print("err", " ".join(f"{v:.15g}" for v in np.sqrt(np.diag(cov))))
