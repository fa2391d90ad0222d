// The FITS reader: a spectrum it takes has one intensity per wavelength, and written back and read
// again it gives the same samples.
#include "FuzzSupport.h"
#include "io/FitsSpectrum.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lSize)
{
    using namespace quandrel::fuzz;
    const std::string sPath = WriteInput("input.fits", std::string_view(reinterpret_cast<const char*>(pData), lSize));
    const auto oSpectrum = ReadFitsSpectrum(sPath);
    if (!oSpectrum) {
        Require(!oSpectrum.Error().empty(), "a refused file is explained");
        return 0;
    }
    std::string sError;
    Require(oSpectrum->vWavelength.size() == oSpectrum->vIntensity.size(), "one intensity per wavelength");
    if (!WriteFitsSpectrum(Folder() + "/back.fits", oSpectrum->vWavelength, oSpectrum->vIntensity, oSpectrum->oMetadata,
                           sError)) {
        return 0;
    }
    const auto oBack = ReadFitsSpectrum(Folder() + "/back.fits");
    Require(oBack.HasValue(), "a file the program wrote reads back");
    Require(oBack->vIntensity.size() == oSpectrum->vIntensity.size(), "with every sample");
    return 0;
}
