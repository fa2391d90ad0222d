#!/usr/bin/env python3
"""How often pure noise at real observation times exceeds the periodogram's 1 % false-alarm level.

Draws N series of Gaussian noise at the times of tests/data/alphaDra_rv.txt (227 amateur epochs),
runs `quandrel-cli ls` on each and counts the series whose highest peak exceeds fap1. A level that
keeps its promise is exceeded in about 1 % of the series (binomial error sqrt(0.01 * 0.99 / N)).

    tools/fap_coverage.py [N] [build/quandrel-cli]     (Debian: python3-numpy; N = 300 takes minutes)
"""
import os
import subprocess
import sys
import tempfile

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
N = int(sys.argv[1]) if len(sys.argv) > 1 else 300
CLI = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, '..', 'build', 'quandrel-cli')
t = np.loadtxt(os.path.join(HERE, '..', 'tests', 'data', 'alphaDra_rv.txt'), delimiter=';', usecols=0)
rng = np.random.default_rng(2026)
exceeded = 0
with tempfile.TemporaryDirectory() as folder:
    path = os.path.join(folder, 'noise.txt')
    for k in range(N):
        np.savetxt(path, np.column_stack([t, rng.normal(0.0, 1.0, t.size)]), fmt='%.6f', delimiter=';')
        out = subprocess.run([CLI, 'ls', path], capture_output=True, text=True, check=True).stdout
        values = dict(line.split('=') for line in out.splitlines() if '=' in line)
        exceeded += float(values['power']) > float(values['fap1'])
rate = exceeded / N
print('%d of %d noise series exceed the 1 %% level: %.2f %% +- %.2f %%'
      % (exceeded, N, 100 * rate, 100 * np.sqrt(0.01 * 0.99 / N)))
