#!/usr/bin/env python3
"""Writes barycentric_cases.txt: the barycentric velocity correction, BJD_TDB, HJD and JD_TDB of random
observations as astropy computes them, for tests/astro to compare the program's with.

Run once (Debian: python3-astropy); nothing is downloaded: the IERS tables are not fetched, and
UT1 = UTC (delta UT1 = 0), as the program takes it unless told otherwise. Targets without proper
motion. Dates 1990-2035, targets over the whole sky (some within a degree of a pole), sites in both
hemispheres from sea level to 3000 m.
"""
import os
import warnings

import numpy as np
from astropy import units as u
from astropy.coordinates import EarthLocation, SkyCoord
from astropy.time import Time
from astropy.utils import iers

iers.conf.auto_download = False
iers.conf.auto_max_age = None
warnings.simplefilter('ignore')

HERE = os.path.dirname(os.path.abspath(__file__))
rng = np.random.default_rng(20261209)
N = 240
jd = rng.uniform(Time('1990-01-01').jd, Time('2035-12-31').jd, N)
ra = rng.uniform(0.0, 360.0, N)
dec = np.degrees(np.arcsin(rng.uniform(-1.0, 1.0, N)))
dec[:12] = np.sign(rng.uniform(-1, 1, 12)) * rng.uniform(89.0, 89.999, 12)  # near the poles
lon = rng.uniform(-180.0, 180.0, N)
lat = np.degrees(np.arcsin(rng.uniform(-0.95, 0.95, N)))
height = rng.uniform(0.0, 3000.0, N)

rows = []
for k in range(N):
    site = EarthLocation.from_geodetic(lon[k] * u.deg, lat[k] * u.deg, height[k] * u.m)
    t = Time(jd[k], format='jd', scale='utc', location=site)
    t.delta_ut1_utc = 0.0
    star = SkyCoord(ra=ra[k] * u.deg, dec=dec[k] * u.deg, frame='icrs')
    vcorr = star.radial_velocity_correction('barycentric', obstime=t).to_value(u.m / u.s)
    bjd = (t.tdb + t.light_travel_time(star, 'barycentric')).jd
    hjd = (t.utc + t.light_travel_time(star, 'heliocentric')).jd
    rows.append('%r %r %r %r %r %r %.6f %.10f %.10f %.10f' % (jd[k], ra[k], dec[k], lon[k], lat[k], height[k], vcorr,
                                                            bjd, hjd, t.tdb.jd))

with open(os.path.join(HERE, 'barycentric_cases.txt'), 'w') as f:
    f.write('# astropy %s, delta UT1 = 0 (make_barycentric_cases.py)\n' % __import__('astropy').__version__)
    f.write('# jd_utc ra_deg dec_deg lon_east_deg lat_deg height_m vcorr_m_s bjd_tdb hjd_utc jd_tdb\n')
    f.write('\n'.join(rows) + '\n')
