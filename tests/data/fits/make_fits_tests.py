#!/usr/bin/env python3
"""Writes the FITS test files of tests/io with astropy, an independent FITS writer.

Run once (Debian: python3-astropy); the tests read the files it wrote and need no Python.
Every file holds 20 samples; sample i (0-based) has the intensity 1 + 0.01 i unless said otherwise,
and the values given to astropy here are the ones the tests expect back.
"""
import gzip
import math
import os
import shutil

import numpy as np
from astropy.io import fits

N = 20
HERE = os.path.dirname(os.path.abspath(__file__))


def flux(dtype=np.float64):
    return (1.0 + 0.01 * np.arange(N)).astype(dtype)


def path(name):
    return os.path.join(HERE, name)


# 1. A float32 image in the primary HDU, linear axis with a fractional reference pixel, a NaN sample,
#    the start of the exposure and its length, the object in degrees, the site east of Greenwich.
data = flux(np.float32)
data[5] = np.nan
h = fits.PrimaryHDU(data)
h.header['CTYPE1'] = 'WAVE'
h.header['CUNIT1'] = 'Angstrom'
h.header['CRPIX1'] = 3.5
h.header['CRVAL1'] = 6500.0
h.header['CDELT1'] = 0.25
h.header['DATE-OBS'] = '2022-06-08T21:30:00.000'
h.header['EXPTIME'] = 600.0
h.header['OBJECT'] = 'alf Dra'
h.header['RA'] = 211.0975
h.header['DEC'] = 64.3758
h.header['EQUINOX'] = 2000.0
h.header['GEOLONG'] = 10.5
h.header['GEOLAT'] = 52.25
h.writeto(path('image_linear.fits'), overwrite=True)

# 2. An empty primary HDU and a two-dimensional (20 x 1) float64 image extension, CD1_1 in nm, the
#    start as a modified Julian date with EXPOSURE, sexagesimal coordinates and site; gzip-compressed.
primary = fits.PrimaryHDU()
primary.header['OBJECT'] = 'HD 123299'
ext = fits.ImageHDU(flux().reshape(1, N))
ext.header['CTYPE1'] = 'AWAV'
ext.header['CUNIT1'] = 'nm'
ext.header['CRPIX1'] = 1.0
ext.header['CRVAL1'] = 650.0
ext.header['CD1_1'] = 0.01
ext.header['MJD-OBS'] = 59738.5
ext.header['EXPOSURE'] = 1200.0
ext.header['OBJCTRA'] = '14 04 23.40'
ext.header['OBJCTDEC'] = '+64 22 33.0'
ext.header['SITELONG'] = '-5:30:00'
ext.header['SITELAT'] = '+40:15:00'
fits.HDUList([primary, ext]).writeto(path('image_nm.fits'), overwrite=True)
with open(path('image_nm.fits'), 'rb') as f_in, gzip.open(path('image_nm.fits.gz'), 'wb') as f_out:
    shutil.copyfileobj(f_in, f_out)
os.remove(path('image_nm.fits'))

# 3. 16-bit integers scaled by BSCALE/BZERO with a BLANK sample, on a logarithmic axis (WAVE-LOG),
#    and the middle of the exposure as a Julian date.
raw = np.arange(N, dtype=np.int16) * 10
raw[7] = -32768
h = fits.PrimaryHDU(raw)
h.header['BSCALE'] = 0.001
h.header['BZERO'] = 1.0
h.header['BLANK'] = -32768
h.header['CTYPE1'] = 'WAVE-LOG'
h.header['CUNIT1'] = 'Angstrom'
h.header['CRPIX1'] = 1.0
h.header['CRVAL1'] = 6000.0
h.header['CDELT1'] = 0.1
h.header['JD-MID'] = 2459739.3937
h.writeto(path('image_log.fits'), overwrite=True)

# 4. The older log10 convention (DC-FLAG = 1), the date and the time in two keywords, the site as
#    LONG-OBS/LAT-OBS.
h = fits.PrimaryHDU(flux())
h.header['CTYPE1'] = 'LINEAR'
h.header['CRPIX1'] = 1.0
h.header['CRVAL1'] = math.log10(6500.0)
h.header['CDELT1'] = 1e-5
h.header['DC-FLAG'] = 1
h.header['DATE-OBS'] = '2022-06-08'
h.header['TIME-OBS'] = '21:30:00'
h.header['LONG-OBS'] = -80.0
h.header['LAT-OBS'] = 30.5
h.writeto(path('image_dcflag.fits'), overwrite=True)

# 5. A binary table with one row per sample, wavelength in nm (TUNIT), OBSGEO-L/B, JD-OBS.
wave = 650.0 + 0.02 * np.arange(N) ** 1.5
cols = [fits.Column(name='WAVELENGTH', format='D', unit='nm', array=wave),
        fits.Column(name='FLUX', format='E', array=flux(np.float32))]
t = fits.BinTableHDU.from_columns(cols)
t.header['JD-OBS'] = 2459739.25
t.header['OBSGEO-L'] = 350.0
t.header['OBSGEO-B'] = -30.0
fits.HDUList([fits.PrimaryHDU(), t]).writeto(path('table_rows.fits'), overwrite=True)

# 6. A binary table with one row of arrays, lower-case column names, DATE-BEG.
cols = [fits.Column(name='lambda', format='%dD' % N, array=(6500.0 + 0.5 * np.arange(N)).reshape(1, N)),
        fits.Column(name='flux_reduced', format='%dD' % N, array=flux().reshape(1, N))]
t = fits.BinTableHDU.from_columns(cols)
t.header['DATE-BEG'] = '2022-06-08T21:00:00'
fits.HDUList([fits.PrimaryHDU(), t]).writeto(path('table_arrays.fits'), overwrite=True)

# 7. Faults: a two-dimensional image, a table without wavelength or flux, a date that does not parse.
fits.PrimaryHDU(np.zeros((5, 10))).writeto(path('image_2d.fits'), overwrite=True)
cols = [fits.Column(name='A', format='D', array=np.arange(3.0)), fits.Column(name='B', format='D', array=np.arange(3.0))]
fits.HDUList([fits.PrimaryHDU(), fits.BinTableHDU.from_columns(cols)]).writeto(path('table_nocols.fits'), overwrite=True)
h = fits.PrimaryHDU(flux())
h.header['CRVAL1'] = 6500.0
h.header['CDELT1'] = 1.0
h.header['DATE-OBS'] = '2022-13-45T25:00:00'
h.writeto(path('bad_date.fits'), overwrite=True)
