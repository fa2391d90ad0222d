// IRAF's multispec format: a two-dimensional image whose rows are spectra (echelle orders or
// apertures), each with its own dispersion written in the WAT2_nnn cards ("spec1 = ...").
#pragma once

#include "core/Result.h"

#include <string>
#include <vector>

namespace quandrel::fits {

// The value of the cards named pcPrefix001, pcPrefix002, ... joined as IRAF joins them: 68 characters
// each, the spaces at their ends kept.
std::string JoinedWatCards(const std::vector<std::string>& vCards, const std::string& sPrefix);

// One row's dispersion: its aperture number, and the wavelengths (angstrom) of its pixels 1 .. n.
struct MultispecOrder {
    int lAperture = 0;
    std::vector<double> vWavelength;
};

// Row lRow (1-based) of a multispec image of rows of n pixels, from the joined WAT1 (units) and WAT2
// texts. Linear (dtype 0), log-linear (dtype 1) and non-linear dispersions of Chebyshev or Legendre
// polynomials (dtype 2, function types 1 and 2) are read; the reason, naming the row, when the
// dispersion is another or cannot be read. fPhysicalOffset and fPhysicalScale map an image pixel p to
// the physical pixel (p - LTV1) / LTM1_1 the dispersion is written for.
quandrel::Result<MultispecOrder> MultispecRow(const std::string& sWat1, const std::string& sWat2, int lRow, long long n,
                                              double fPhysicalOffset = 0.0, double fPhysicalScale = 1.0);

} // namespace quandrel::fits
