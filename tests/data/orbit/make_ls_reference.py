#!/usr/bin/env python3
"""The Lomb-Scargle periodogram of the alpha Dra velocities by an independent implementation.

Run once (Debian: python3-astropy); writes alphaDra_ls_reference.txt, which the periodogram tests
read: astropy's LombScargle with a fitted mean, standard normalisation and its exact ('slow')
method, on 2000 frequencies evenly spaced from 1/300 to 1/2 per day; every tenth is kept.
"""
import os

import numpy as np
from astropy.timeseries import LombScargle
from astropy.timeseries.periodograms.lombscargle._statistics import fap_baluev
from scipy.optimize import brentq

HERE = os.path.dirname(os.path.abspath(__file__))
t, v = np.loadtxt(os.path.join(HERE, '..', 'alphaDra_rv.txt'), delimiter=';', unpack=True)
frequency = np.linspace(1 / 300, 1 / 2, 2000)
ls = LombScargle(t, v, fit_mean=True, center_data=True, normalization='standard')
power = ls.power(frequency, method='slow')
# The power the highest peak of noise exceeds with 1 % probability, by astropy's default (Baluev 2008):
# astropy's false-alarm probability solved to the rounding (its own inverse stops at 3e-4 of 1 %).
fap1 = brentq(lambda z: fap_baluev(z, 1 / 2, t, v, None, 'standard') - 0.01, 1e-9, 0.999, xtol=1e-16)
assert abs(fap1 - ls.false_alarm_level(0.01, method='baluev', minimum_frequency=1 / 300,
                                       maximum_frequency=1 / 2)) < 1e-5
with open(os.path.join(HERE, 'alphaDra_ls_reference.txt'), 'w') as f:
    f.write('# astropy LombScargle (fit_mean, standard, slow) on ../alphaDra_rv.txt: index frequency power\n')
    for k in range(0, len(frequency), 10):
        f.write('%d %.17g %.17g\n' % (k, frequency[k], power[k]))
    best = int(np.argmax(power))
    f.write('best %d %.17g %.17g\n' % (best, frequency[best], power[best]))
    f.write('fap1 %.17g\n' % fap1)
