// Laboratory and calibration line tables: every line taken has a finite wavelength above 0, and the
// table's block of a project file reads back as the same table.
#include "FuzzSupport.h"
#include "core/BinaryStream.h"
#include "lines/LaboratoryLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lSize)
{
    using namespace quandrel::fuzz;
    const std::string sPath = WriteInput("lines.txt", std::string_view(reinterpret_cast<const char*>(pData), lSize));
    LaboratoryLines oTable;
    const bool bLoaded = oTable.Load(sPath);
    Require(bLoaded == (oTable.GetLineCount() > 0), "a table is taken exactly when it has lines");
    for (int32_t i = 0; i < oTable.GetLineCount(); ++i) {
        double fWavelength = 0.0;
        std::string sName;
        oTable.GetLine(i, fWavelength, &sName);
        Require(IsFinite(fWavelength) && fWavelength > 0, "every wavelength is a finite number above 0");
    }
    BinaryWriter oWriter;
    oTable.WriteBlock(oWriter);
    BinaryReader oReader(oWriter.Bytes());
    LaboratoryLines oBack;
    Require(oBack.ReadBlock(oReader), "the project block reads back");
    Require(oBack.GetLineCount() == oTable.GetLineCount(), "with every line");
    return 0;
}
