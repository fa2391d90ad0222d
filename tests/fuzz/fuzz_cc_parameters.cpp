// The correlation parameter file: taken files round-trip, refused ones keep the parameters.
#include "FuzzSupport.h"
#include "crosscorr/CrossCorrelation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lSize)
{
    using namespace quandrel::fuzz;
    const std::string sPath = WriteInput("cc.par", std::string_view(reinterpret_cast<const char*>(pData), lSize));
    CrossCorrelation oCorrelation;
    oCorrelation.SetParameters(6500, 6600, 2, 30, 0.01);
    if (!oCorrelation.LoadParameters(sPath)) {
        double fFrom = 0, fTo = 0, fAccuracy = 0;
        int32_t lPoints = 0, lSpan = 0;
        oCorrelation.GetParameters(fFrom, fTo, lPoints, lSpan, fAccuracy);
        Require(fFrom == 6500 && fTo == 6600 && lPoints == 2 && lSpan == 30 && fAccuracy == 0.01,
                "a refused file keeps the parameters");
        return 0;
    }
    Require(oCorrelation.SaveParameters(Folder() + "/saved.par"), "parameters are saved");
    const std::string sSaved = ReadBack(Folder() + "/saved.par");
    Require(sSaved == std::string(reinterpret_cast<const char*>(pData), 32), "the 32 bytes read are the bytes written");
    return 0;
}
