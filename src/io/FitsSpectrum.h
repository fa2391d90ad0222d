// One-dimensional spectra in FITS files: reading the layouts pipelines write (an image with a
// wavelength axis, or a table of wavelength and flux columns, plain or gzip-compressed) with what
// their headers say about the observation, and writing a spectrum with its metadata.
#pragma once

#include "core/Result.h"
#include "core/SpectrumMetadata.h"

#include <optional>
#include <string>
#include <vector>

struct FitsSpectrum {
    std::vector<double> vWavelength; // angstrom, as the file's axis gives them
    std::vector<double> vIntensity;
    SpectrumMetadata oMetadata;
    std::vector<std::string> vWarnings; // header keywords that could not be read
};

// True when the file starts as a FITS file (or is gzip-compressed, which only FITS files are
// among the program's inputs).
bool IsFitsFile(const std::string& sPath);

// The spectrum of the file, or why it cannot be read (naming the file). Samples whose intensity or
// wavelength is undefined are left out.
quandrel::Result<FitsSpectrum> ReadFitsSpectrum(const std::string& sPath);

// Writes the spectrum: an image with a linear wavelength axis when the samples are evenly spaced to
// 1e-6 of a step, else a binary table; the metadata in the header. False with sError on failure
// (the old file is then left as it was).
bool WriteFitsSpectrum(const std::string& sPath, const std::vector<double>& vWavelength,
                       const std::vector<double>& vIntensity, const SpectrumMetadata& oMetadata, std::string& sError);

// The common step of evenly spaced wavelengths (to 1e-6 of a step); 0 when they are not.
double EvenStep(const std::vector<double>& vWavelength);
