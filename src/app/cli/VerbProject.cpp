#include "VerbProject.h"

#include "core/DataSeries.h"
#include "core/NumberText.h"
#include "session/Session.h"

#include <ostream>

namespace quandrel::cli {

std::string ProjectHelp()
{
    return "usage: quandrel-cli project info FILE.mtx\n"
           "       quandrel-cli project dump FILE.mtx OUT\n"
           "       quandrel-cli project export FILE.mtx OUT [--threshold DAYS]\n"
           "       quandrel-cli project curve FILE.mtx\n"
           "info: rows, columns, coordinates; dump: the measurement dump; export: the averaged\n"
           "velocities per epoch (threshold 0.2 days); curve: jd<TAB>mean velocity per row, the times in\n"
           "the scale the orbit takes (BJD_TDB when the project has the object's coordinates), named in a\n"
           "first line \"# time_scale=\"; when every line of every row has an error, the mean is weighted by\n"
           "them and its error follows (TAB), as the orbit takes them.\n";
}

int RunProject(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const double fThreshold = oArguments.TakeDouble("--threshold").value_or(0.2);
    const auto v = oArguments.Positionals();
    if (v.empty()) {
        throw UsageError("project needs one of info, dump, export or curve.");
    }
    const std::string& sAction = v[0];
    const std::size_t lNeeded = sAction == "dump" || sAction == "export" ? 3 : 2;
    if ((sAction != "info" && sAction != "dump" && sAction != "export" && sAction != "curve") ||
        v.size() != lNeeded) {
        throw UsageError("project " + sAction + ": wrong arguments; see quandrel-cli project --help.");
    }
    Session oSession("");
    if (oSession.Project().OpenProject(v[1])) {
        oErr << "Unable to load matrix file " << v[1] << ": it cannot be read or is no intact project file.\n";
        return kExitInput;
    }
    const RvTable& oTable = oSession.Project().Table();
    if (sAction == "info") {
        int32_t lRows = 0;
        int32_t lColumns = 0;
        oTable.GetDimensions(lRows, lColumns);
        double a = 0, b = 0, c = 0, d = 0;
        const bool bObject = oTable.Coordinates().GetObjectCoordinates(a, b, c, d);
        double e = 0, f = 0, g = 0, h = 0;
        oTable.Coordinates().GetObserverCoordinates(e, f, g, h);
        oOut << "rows\t" << lRows << "\n"
             << "columns\t" << lColumns << "\n"
             << "object\t" << (bObject ? "set" : "not set") << "\t" << FormatResult(a) << "\t" << FormatResult(b)
             << "\t" << FormatResult(c) << "\t" << FormatResult(d) << "\n"
             << "observer\t" << (oTable.Coordinates().AreObserverCoordinatesSet() ? "set" : "not set") << "\t" << FormatResult(e)
             << "\t" << FormatResult(f) << "\t" << FormatResult(g) << "\t" << FormatResult(h) << "\n"
             << "lines file\t" << oTable.LaboratoryLineTable().GetFileName() << "\t"
             << oTable.LaboratoryLineTable().GetLineCount() << "\n";
        return kExitOk;
    }
    if (sAction == "curve") {
        // The series the orbit of this project is fitted to, in the time scale it is in.
        const DataSeries& oCurve = oSession.Orbit().GridSearch().GetData();
        const std::vector<double>& vSigma = oSession.Orbit().Uncertainties();
        oOut << "# time_scale=" << TimeScaleName(oSession.Orbit().SeriesTimeScale()) << "\n";
        for (int32_t i = 0; i < oCurve.GetArraySize(); ++i) {
            oOut << FormatResult(oCurve.GetX(i), 15) << "\t" << FormatResult(oCurve.GetY(i));
            if (vSigma.size() == static_cast<std::size_t>(oCurve.GetArraySize())) {
                oOut << "\t" << FormatResult(vSigma[static_cast<std::size_t>(i)]);
            }
            oOut << "\n";
        }
        return kExitOk;
    }
    const Outcome oFailed =
        sAction == "dump" ? oSession.Project().DumpMeasurements(v[2]) : oSession.Project().ExportResults(v[2], fThreshold);
    if (oFailed) {
        oErr << oFailed->sText << "\n";
        return kExitInput;
    }
    return kExitOk;
}

} // namespace quandrel::cli
