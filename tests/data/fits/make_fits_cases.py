#!/usr/bin/env python3
"""Writes the FITS cases of the header conventions, axes, extensions and compressed images that
tests/io reads, with astropy as the independent writer and reference.

Run once (Debian: python3-astropy); it writes the files and expected_cases.txt, the values astropy
gives for them, so that the tests need no Python. Every spectrum holds 20 samples with the intensity
100 + i (sample i, 0-based) on an axis CRVAL1 = 6500, step 0.25 (unless said otherwise).
"""
import gzip
import os

import numpy as np
from astropy import units as u
from astropy.coordinates import FK5, Angle, EarthLocation, SkyCoord
from astropy.io import fits
from astropy.time import Time
from astropy.wcs import WCS

N = 20
HERE = os.path.dirname(os.path.abspath(__file__))
expected = []


def path(name):
    return os.path.join(HERE, name)


def spectrum_hdu(cls=fits.PrimaryHDU, dtype=np.float64, axis=True):
    h = cls(np.arange(100, 100 + N).astype(dtype))
    if axis:
        h.header['CTYPE1'] = 'WAVE'
        h.header['CUNIT1'] = 'Angstrom'
        h.header['CRPIX1'] = 1.0
        h.header['CRVAL1'] = 6500.0
        h.header['CDELT1'] = 0.25
    return h


def expect(name, key, value):
    expected.append('%s %s %s' % (name, key, value if isinstance(value, str) else repr(float(value))))


def time_case(name, cards, jd_mid, warning=''):
    h = spectrum_hdu()
    for key, value in cards:
        h.header[key] = value
    h.writeto(path(name), overwrite=True)
    expect(name, 'jd', jd_mid)
    expect(name, 'warning', warning or '-')


# The observation time. A date without a time beside a modified Julian date that holds the time.
time_case('t_date_mjd.fits', [('DATE-OBS', '2022-06-08'), ('MJD-OBS', 59738.885), ('EXPTIME', 600.0)],
          Time(59738.885, format='mjd', scale='utc').jd + 300.0 / 86400.0)
# A date alone: midnight, said.
time_case('t_date_only.fits', [('DATE-OBS', '2022-06-08')], Time('2022-06-08T00:00:00', scale='utc').jd,
          'DATE-OBS')
# DATE-OBS and MJD-OBS six minutes apart: DATE-OBS is taken, the disagreement said.
time_case('t_disagree.fits', [('DATE-OBS', '2022-06-08T21:30:00.0'), ('MJD-OBS', 59738.9)],
          Time('2022-06-08T21:30:00', scale='utc').jd, 'MJD-OBS')
# The middle of the exposure stated as such wins over start + exposure / 2.
time_case('t_date_avg.fits', [('DATE-OBS', '2022-06-08T21:30:00'), ('EXPTIME', 600.0),
                              ('DATE-AVG', '2022-06-08T21:36:00')], Time('2022-06-08T21:36:00', scale='utc').jd)
time_case('t_mjd_avg.fits', [('MJD-OBS', 59738.89), ('MJD-AVG', 59738.8935)],
          Time(59738.8935, format='mjd', scale='utc').jd)
# Time scales other than UTC: converted to UTC.
for scale in ('tt', 'tai'):
    time_case('t_timesys_%s.fits' % scale, [('DATE-OBS', '2022-06-08T21:30:00'), ('TIMESYS', scale.upper())],
              Time('2022-06-08T21:30:00', scale=scale).utc.jd)
time_case('t_timesys_gps.fits', [('DATE-OBS', '2022-06-08T21:30:00'), ('TIMESYS', 'GPS')],
          (Time('2022-06-08T21:30:00', scale='tai') + 19 * u.s).utc.jd)
# A scale the program does not convert: taken as written, said.
time_case('t_timesys_tcb.fits', [('DATE-OBS', '2022-06-08T21:30:00'), ('TIMESYS', 'TCB')],
          Time('2022-06-08T21:30:00', scale='utc').jd, 'TIMESYS')

# Coordinates. A right ascension as a quoted decimal number is in hours.
h = spectrum_hdu()
h.header['RA'] = '14.06'
h.header['DEC'] = '+64.5'
h.writeto(path('c_ra_quoted.fits'), overwrite=True)
expect('c_ra_quoted.fits', 'ra_hours', 14.06)
expect('c_ra_quoted.fits', 'dec_degrees', 64.5)
# Coordinates of another equinox are precessed to J2000 (astropy's FK5 precession; an equinox before 1984
# is a Besselian epoch).
for equinox, epoch in ((1950.0, 'B1950'), (2015.5, 'J2015.5')):
    name = 'c_equinox_%s.fits' % epoch
    h = spectrum_hdu()
    h.header['RA'] = 210.0
    h.header['DEC'] = 64.0
    h.header['EQUINOX'] = equinox
    h.writeto(path(name), overwrite=True)
    c = SkyCoord(210.0 * u.deg, 64.0 * u.deg, frame=FK5(equinox=Time(epoch))).transform_to(FK5(equinox='J2000'))
    expect(name, 'ra_hours', c.ra.deg / 15.0)
    expect(name, 'dec_degrees', c.dec.deg)

# The site and object as amateur software and the BeSS database write them (longitudes east, heights in
# metres; BSS_RA/BSS_DEC in degrees), and as a geocentric position (OBSGEO-X/Y/Z, metres on WGS84).
def site_case(name, cards, lon_east, lat, height):
    h = spectrum_hdu()
    for key, value in cards:
        h.header[key] = value
    h.writeto(path(name), overwrite=True)
    expect(name, 'lon_west_deg', -lon_east)
    expect(name, 'lat_deg', lat)
    expect(name, 'height_m', height)


site_case('s_geo.fits', [('GEO_LONG', -5.25), ('GEO_LAT', 43.5), ('GEO_ELEV', 120.0), ('BSS_RA', 262.6),
                         ('BSS_DEC', 52.3)], -5.25, 43.5, 120.0)
expect('s_geo.fits', 'ra_hours', Angle(262.6 * u.deg).hour)
expect('s_geo.fits', 'dec_degrees', 52.3)
site_case('s_bss.fits', [('BSS_LONG', 7.5), ('BSS_LAT', 46.0), ('BSS_ELEV', 450.0)], 7.5, 46.0, 450.0)
# The BeSS keywords of who, with what and where, the resolving power and the corrections; DATE-END with
# DATE-OBS gives the middle of the exposure (EXPTIME, the sum of several exposures, is not taken then).
h = spectrum_hdu()
for key, value in (('DATE-OBS', '2022-06-08T21:30:00'), ('DATE-END', '2022-06-08T22:10:00'), ('EXPTIME', 1200.0),
                   ('OBSERVER', 'A. Amateur'), ('BSS_INST', 'LHIRES III 2400'), ('BSS_SITE', 'Backyard'),
                   ('BSS_ITRP', 14000.0), ('BSS_VHEL', -12.25), ('BSS_RQVH', 0.0)):
    h.header[key] = value
h.writeto(path('b_bess.fits'), overwrite=True)
start, end = Time('2022-06-08T21:30:00', scale='utc'), Time('2022-06-08T22:10:00', scale='utc')
expect('b_bess.fits', 'jd', (start + (end - start) / 2).jd)
for key, name in (('OBSERVER', 'observer'), ('BSS_INST', 'instrument'), ('BSS_SITE', 'site')):
    expect('b_bess.fits', name, fits.getheader(path('b_bess.fits'))[key].replace(' ', '_'))
expect('b_bess.fits', 'resolving_power', fits.getheader(path('b_bess.fits'))['BSS_ITRP'])
expect('b_bess.fits', 'vhel_applied', fits.getheader(path('b_bess.fits'))['BSS_VHEL'])
expect('b_bess.fits', 'rqvh', fits.getheader(path('b_bess.fits'))['BSS_RQVH'])
expect('b_bess.fits', 'warning', '-')

where = EarthLocation.from_geodetic(-17.88 * u.deg, 28.76 * u.deg, 2332.0 * u.m, ellipsoid='WGS84')
lon, lat, height = where.to_geodetic('WGS84')
site_case('s_obsgeo.fits', [('OBSGEO-X', where.x.to_value(u.m)), ('OBSGEO-Y', where.y.to_value(u.m)),
                            ('OBSGEO-Z', where.z.to_value(u.m))], lon.deg, lat.deg, height.to_value(u.m))

# Axes: CD1_1 rules over CDELT1; CDELT1 x PC1_1. The wavelengths as astropy's WCS gives them.
for name, cards in (('a_cd_cdelt.fits', [('CDELT1', 0.5), ('CD1_1', 0.3)]),
                    ('a_pc.fits', [('CDELT1', 0.5), ('PC1_1', 0.6), ('CRPIX1', 2.5)])):
    h = spectrum_hdu()
    for key, value in cards:
        h.header[key] = value
    h.writeto(path(name), overwrite=True)
    w = WCS(h.header)
    metres = w.all_pix2world(np.arange(N), 0)[0]
    expect(name, 'first_wavelength', metres[0] * 1e10)
    expect(name, 'last_wavelength', metres[-1] * 1e10)
# IRAF multispec: the wavelengths are in WAT cards the program does not read; refused.
h = spectrum_hdu(axis=False)
h.header['CTYPE1'] = 'MULTISPE'
h.header['WAT0_001'] = 'system=multispec'
h.writeto(path('a_multispec.fits'), overwrite=True)
# Wavelengths in nm without a unit: the rule of text files (below 2500 is nm), said.
h = spectrum_hdu()
del h.header['CUNIT1']
h.header['CRVAL1'] = 650.0
h.header['CDELT1'] = 0.025
h.writeto(path('a_nm_nounit.fits'), overwrite=True)
expect('a_nm_nounit.fits', 'first_wavelength', 6500.0)

# Tile-compressed images, as astropy writes them (lossless: integers, or floats not quantised).
for name, dtype, kind, extra in (('z_rice.fits', np.int32, 'RICE_1', {}),
                                 ('z_gzip1.fits', np.float64, 'GZIP_1', {'quantize_level': 0.0}),
                                 ('z_gzip2.fits', np.float32, 'GZIP_2', {'quantize_level': 0.0}),
                                 ('z_plio.fits', np.int16, 'PLIO_1', {})):
    c = fits.CompImageHDU(np.arange(100, 100 + N).astype(dtype), compression_type=kind, tile_size=(8,), **extra)
    for key in ('CTYPE1', 'CUNIT1', 'CRPIX1', 'CRVAL1', 'CDELT1'):
        c.header[key] = spectrum_hdu().header[key]
    fits.HDUList([fits.PrimaryHDU(), c]).writeto(path(name), overwrite=True)
    expect(name, 'first_wavelength', 6500.0)

# Extensions: the first that is a spectrum is read, whatever comes before it.
sky = fits.ImageHDU(np.full(N, 5.0), name='SKY')
fits.HDUList([fits.PrimaryHDU(), sky, spectrum_hdu(fits.ImageHDU)]).writeto(path('e_sky_first.fits'), overwrite=True)
mask = fits.BinTableHDU.from_columns([fits.Column(name='MASK', format='J', array=np.zeros(N, dtype=np.int32)),
                                      fits.Column(name='QUALITY', format='J', array=np.zeros(N, dtype=np.int32))])
table = fits.BinTableHDU.from_columns([fits.Column(name='WAVE', format='D', array=6500.0 + 0.25 * np.arange(N)),
                                       fits.Column(name='FLUX', format='D', array=100.0 + np.arange(N))])
fits.HDUList([fits.PrimaryHDU(), mask, table]).writeto(path('e_table_first.fits'), overwrite=True)
fits.HDUList([fits.PrimaryHDU(), mask, fits.ImageHDU(np.zeros((5, 10)))]).writeto(path('e_none.fits'), overwrite=True)

# The frame of the wavelengths. v_topo.fits: an H-alpha absorption line of a star at -30 km/s as observed
# (BSS_VHEL = 0), with BSS_RQVH as the BeSS convention writes it, lambda_helio = lambda_obs (1 - RQVH / c),
# so RQVH is minus the correction astropy gives; JD-HEL as astropy computes it; the BeSS processing flags.
# v_helio.fits: the same spectrum with its wavelengths corrected (BSS_VHEL = the correction): its lines
# must give the same corrected velocity. v_rqvh_sign.fits: BSS_RQVH with the other sign, to be warned about.
C_KMS = 299792.458
alpha_dra = SkyCoord(ra=Angle('14h04m23.35s'), dec=Angle('64d22m33.1s'), frame='icrs')
site = EarthLocation.from_geodetic(-1.68 * u.deg, 47.181 * u.deg, 31.0 * u.m)
start = Time('2022-06-08T21:14:43', scale='utc')
middle = start + 1000.0 * u.s
correction = alpha_dra.radial_velocity_correction('heliocentric', obstime=middle, location=site).to_value(u.km / u.s)
hjd = (middle.utc + middle.light_travel_time(alpha_dra, 'heliocentric', location=site)).jd
wave = 6540.0 + 0.05 * np.arange(1001)
observed_centre = 6562.80 * (1.0 + (-30.0 - correction) / C_KMS)
flux = 1.0 - 0.5 * np.exp(-0.5 * ((wave - observed_centre) / 1.0) ** 2)


def frame_case(name, scale, cards):
    h = fits.PrimaryHDU(flux)
    for key, value in (('CTYPE1', 'Wavelength'), ('CUNIT1', 'Angstrom'), ('CRPIX1', 1.0), ('CRVAL1', 6540.0 * scale),
                       ('CDELT1', 0.05 * scale), ('OBJNAME', 'alf Dra'), ('DATE-OBS', start.isot),
                       ('EXPTIME', 2000.0), ('BSS_RA', alpha_dra.ra.deg), ('BSS_DEC', alpha_dra.dec.deg),
                       ('GEO_LONG', -1.68), ('GEO_LAT', 47.181), ('GEO_ELEV', 31.0)) + tuple(cards):
        h.header[key] = value
    h.writeto(path(name), overwrite=True)


frame_case('v_topo.fits', 1.0, (('BSS_VHEL', 0.0), ('BSS_RQVH', round(-correction, 3)), ('JD-HEL', hjd),
                                ('BSS_TELL', 'None'), ('BSS_NORM', 'Continuum'), ('BSS_COSM', 'None')))
frame_case('v_helio.fits', 1.0 + correction / C_KMS, (('BSS_VHEL', round(correction, 6)),))
frame_case('v_rqvh_sign.fits', 1.0, (('BSS_VHEL', 0.0), ('BSS_RQVH', round(correction, 3))))
expect('v_topo.fits', 'frame', 'topocentric')
expect('v_topo.fits', 'jd', middle.jd)
expect('v_topo.fits', 'jd_hel', hjd)
expect('v_topo.fits', 'telluric', 'None')
expect('v_topo.fits', 'normalised', 'Continuum')
expect('v_topo.fits', 'cosmics', 'None')
expect('v_topo.fits', 'warning', '-')
expect('v_topo.fits', 'helio_correction', correction)
expect('v_helio.fits', 'frame', 'heliocentric')
expect('v_helio.fits', 'first_line_velocity', -30.0)
expect('v_rqvh_sign.fits', 'frame', 'topocentric')
# SPECSYS, the frame of the WCS, where BSS_VHEL is not given; JD-HEL alone is taken as the time, and said.
h = spectrum_hdu()
h.header['SPECSYS'] = 'BARYCENT'
h.header['JD-HEL'] = 2459739.4
h.writeto(path('v_specsys.fits'), overwrite=True)
expect('v_specsys.fits', 'frame', 'barycentric')
expect('v_specsys.fits', 'jd', 2459739.4)
expect('v_specsys.fits', 'warning', 'JD-HEL')

# Files of several spectra. o_eshel.fits: as the eShel export writes them, one HDU per order
# (P_1C_<n>) beside the merged P_1C_FULL; o_orders.fits: orders only, so the user must name one.
# The orders' axes are linear; the first and last wavelengths as astropy's WCS gives them.
orders = []


def order_hdu(name, start, step):
    h = spectrum_hdu(fits.ImageHDU)
    h.header['CRVAL1'] = start
    h.header['CDELT1'] = step
    h.header['EXTNAME'] = name
    w = WCS(h.header).all_pix2world(np.arange(N), 0)[0] * 1e10
    return h, w


primary = fits.PrimaryHDU()
primary.header['DATE-OBS'] = '2022-06-08T21:30:00'
primary.header['OBJNAME'] = 'alf Dra'
full, w_full = order_hdu('P_1C_FULL', 6400.0, 5.0)
o30, w30 = order_hdu('P_1C_30', 6500.0, 0.25)
o31, w31 = order_hdu('P_1C_31', 6430.0, 0.2)
fits.HDUList([primary, full, o30, o31]).writeto(path('o_eshel.fits'), overwrite=True)
fits.HDUList([fits.PrimaryHDU(), o30.copy(), o31.copy()]).writeto(path('o_orders.fits'), overwrite=True)
orders.append('o_eshel.fits - %r %r' % (w_full[0], w_full[-1]))
orders.append('o_eshel.fits 31 %r %r' % (w31[0], w31[-1]))
orders.append('o_eshel.fits P_1C_30 %r %r' % (w30[0], w30[-1]))
orders.append('o_orders.fits - refused:none_of_them_merged')
orders.append('o_orders.fits 30 %r %r' % (w30[0], w30[-1]))


# IRAF multispec: two rows of N pixels, each with the dispersion of its WAT2 "specN" attribute, the
# attribute text cut into cards of 68 characters (also within numbers, as IRAF cuts it). The
# wavelengths of pixels 1 .. N as numpy evaluates the same functions.
def multispec(name, specs, units='angstroms'):
    h = fits.PrimaryHDU(np.vstack([np.arange(100, 100 + N), np.arange(200, 200 + N)]).astype(np.float32))
    h.header['CTYPE1'] = 'MULTISPE'
    h.header['CTYPE2'] = 'MULTISPE'
    h.header['WAT0_001'] = 'system=multispec'
    h.header['WAT1_001'] = 'wtype=multispec label=Wavelength units=%s' % units
    text = 'wtype=multispec ' + ' '.join('spec%d = "%s"' % (i + 1, spec) for i, spec in enumerate(specs))
    for k in range(0, len(text), 68):
        h.header['WAT2_%03d' % (k // 68 + 1)] = text[k:k + 68]
    h.writeto(path(name), overwrite=True)


p = np.arange(1, N + 1, dtype=float)
z = 1e-4
linear = '1 1 0 6500.0 0.25 %d 0. 10. 20.' % N
loglin = '2 2 1 3.81 0.0001 %d %r 10. 20.' % (N, z)
multispec('m_linear.fits', [linear, loglin])
orders.append('m_linear.fits 1 %r %r' % tuple((6500.0 + 0.25 * (p - 1))[[0, -1]]))
orders.append('m_linear.fits 2 %r %r' % tuple((10 ** (3.81 + 0.0001 * (p - 1)) / (1 + z))[[0, -1]]))
cheb = [6510.0, 4.5, 0.02, -0.003]
leg = [6600.5, 3.9, -0.01]
pmin, pmax = 1.0, float(N)
nonlinear1 = '30 1 2 6500. 0.2 %d 0. 1. 2. 1. 0. 1 %d %r %r %s' % (N, len(cheb), pmin, pmax, ' '.join(repr(c) for c in cheb))
nonlinear2 = '31 1 2 6500. 0.2 %d 0. 1. 2. 1. 2. 2 %d %r %r %s' % (N, len(leg), pmin, pmax, ' '.join(repr(c) for c in leg))
multispec('m_cheb.fits', [nonlinear1, nonlinear2])
x = (2 * p - (pmax + pmin)) / (pmax - pmin)
orders.append('m_cheb.fits 30 %r %r' % tuple(np.polynomial.chebyshev.chebval(x, cheb)[[0, -1]]))
orders.append('m_cheb.fits 31 %r %r' % tuple((2.0 + np.polynomial.legendre.legval(x, leg))[[0, -1]]))
multispec('m_spline.fits', ['1 1 2 6500. 0.2 %d 0. 1. 2. 1. 0. 3 2 1. 20. 1. 2. 3. 4. 5.' % N])
orders.append('m_spline.fits - refused:function_type_3_(cubic_spline)')

# An 8-bit image of 2^25 + 1 samples (33 MB unpacked, a few kB packed): more samples than the program
# takes.
h = fits.PrimaryHDU(np.zeros(2 ** 25 + 1, dtype=np.uint8))
with gzip.open(path('big_8bit.fits.gz'), 'wb') as f:
    h.writeto(f)

with open(path('expected_orders.txt'), 'w') as f:
    f.write('# file choice (order number, HDU name or - for none) first last, or refused:reason (_ for space),\n')
    f.write('# as astropy %s and numpy give them (make_fits_cases.py)\n' % __import__('astropy').__version__)
    f.write('\n'.join(orders) + '\n')

with open(path('expected_cases.txt'), 'w') as f:
    f.write('# file key value, as astropy %s gives them (make_fits_cases.py)\n' % __import__('astropy').__version__)
    f.write('\n'.join(expected) + '\n')
