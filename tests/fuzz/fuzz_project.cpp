// The project file: a file the program takes is written back byte for byte the same after a second
// round, and a file it refuses leaves the open table as it was.
#include "FuzzSupport.h"
#include "rvtable/RvTable.h"
#include "spectrum/Spectrum.h"

namespace {

// The table open before each input: two rows, coordinates and a laboratory table.
RvTable OpenTable()
{
    RvTable oTable;
    oTable.Coordinates().SetObjectCoordinates(19, 5.5, -5, -30);
    oTable.Coordinates().SetObserverCoordinates(9, 0, 52, 30);
    oTable.LaboratoryLineTable().Load(quandrel::fuzz::WriteInput("lines.txt", "Halpha;6562.8\nHbeta;4861.3\n"));
    for (int i = 0; i < 2; ++i) {
        Spectrum oSpectrum;
        const double afW[] = {1, 2};
        const double afI[] = {1.0 + i, 2};
        oSpectrum.SetValues(2, afW, afI);
        oSpectrum.SetObservationTime(2455000.5 + i);
        oTable.AddVelocity(&oSpectrum, -12.25 * (i + 1));
    }
    return oTable;
}

std::string Saved(RvTable& oTable, const char* pcName)
{
    const std::string sPath = quandrel::fuzz::Folder() + "/" + pcName;
    quandrel::fuzz::Require(oTable.SaveToFile(sPath), "a table is saved");
    return quandrel::fuzz::ReadBack(sPath);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lSize)
{
    using namespace quandrel::fuzz;
    static const std::string sOpen = [] {
        RvTable oOpen = OpenTable();
        return Saved(oOpen, "open.mtx");
    }();
    const std::string sPath = WriteInput("input.mtx", std::string_view(reinterpret_cast<const char*>(pData), lSize));
    RvTable oTable;
    oTable.LoadFromFile(WriteInput("open.mtx", sOpen));
    if (!oTable.LoadFromFile(sPath)) {
        Require(Saved(oTable, "after.mtx") == sOpen, "a refused file leaves the open table");
        return 0;
    }
    const std::string sFirst = Saved(oTable, "first.mtx");
    RvTable oAgain;
    Require(oAgain.LoadFromFile(Folder() + "/first.mtx"), "a saved table opens");
    Require(Saved(oAgain, "second.mtx") == sFirst, "save, open and save give the same bytes");
    return 0;
}
