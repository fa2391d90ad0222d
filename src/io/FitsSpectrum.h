// One-dimensional spectra in FITS files: reading the layouts pipelines write (an image with a
// wavelength axis, or a table of wavelength and flux columns, plain or gzip-compressed) with what
// their headers say about the observation, and writing a spectrum with its metadata.
#pragma once

#include "core/Result.h"
#include "core/SpectrumFileImport.h"
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
// wavelength is undefined are left out. A file of several spectra (echelle orders in HDUs of their
// own, a merged one beside them, the rows of an IRAF multispec image) gives the one oChoice names,
// else the merged one; without either it is refused with the list of its spectra.
quandrel::Result<FitsSpectrum> ReadFitsSpectrum(const std::string& sPath, const SpectrumChoice& oChoice = {});

// One spectrum a file holds, as ListFitsSpectra finds it.
struct FitsEntry {
    std::string sName;         // the HDU's EXTNAME, "HDU n", or "order n" of a multispec row
    std::optional<int> oOrder; // the order number it carries, which chooses it
    bool bMerged = false;      // the orders merged into one spectrum (an EXTNAME with FULL or MERGED)
    double fFrom = 0.0;        // angstrom
    double fTo = 0.0;
    std::size_t lSamples = 0;
    std::string sProblem;      // why it cannot be read; the range and samples are then 0
};
// Every spectrum of the file, in the order of its HDUs and rows.
quandrel::Result<std::vector<FitsEntry>> ListFitsSpectra(const std::string& sPath);

// Writes the spectrum: an image with a linear wavelength axis when the samples are evenly spaced to
// 1e-6 of a step, else a binary table; the metadata in the header. False with sError on failure
// (the old file is then left as it was).
bool WriteFitsSpectrum(const std::string& sPath, const std::vector<double>& vWavelength,
                       const std::vector<double>& vIntensity, const SpectrumMetadata& oMetadata, std::string& sError);

// The common step of evenly spaced wavelengths (to 1e-6 of a step); 0 when they are not.
double EvenStep(const std::vector<double>& vWavelength);
