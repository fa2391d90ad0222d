// Julian date / velocity pairs (with their uncertainties and data sets) from a text file of
// measurements.
#include "RvTable.h"

#include "core/ByteOrderMark.h"
#include "core/DataSeries.h"
#include "core/FileHandle.h"
#include "core/NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <numeric>

namespace {

// A field of a measurement line as a number: the whole field, with ',' read as the decimal point.
bool MeasurementNumber(std::string sField, double& fValue)
{
    std::replace(sField.begin(), sField.end(), ',', '.');
    return quandrel::ParseWholeDouble(sField, fValue) && std::isfinite(fValue);
}

// The Julian date and velocity at the start of a line (fields separated by ';', TAB or spaces, runs
// of them counting as one); false for a line that does not start with two numbers.
bool MeasurementLine(const std::string& sLine, double& fJd, double& fVelocity, double& fSigma, std::string& sDataSet)
{
    std::array<std::string, 5> asFields;
    std::size_t lField = 0;
    std::size_t i = 0;
    fSigma = NAN;
    sDataSet.clear();
    while (lField < asFields.size()) {
        while (i < sLine.size() && std::strchr("; \t\r", sLine[i]) != nullptr) {
            ++i;
        }
        const std::size_t lStart = i;
        while (i < sLine.size() && std::strchr("; \t\r", sLine[i]) == nullptr) {
            ++i;
        }
        if (lStart == i) {
            if (lField < 2) {
                return false;
            }
            break;
        }
        asFields[lField++] = sLine.substr(lStart, i - lStart);
    }
    // A third number is the velocity's uncertainty. A fourth and last field that is no number names the
    // data set; lines of more columns (exposure, wavelength, observer, file ...) name none.
    if (lField >= 3 && !MeasurementNumber(asFields[2], fSigma)) {
        fSigma = NAN;
    }
    double fNumber = 0.0;
    if (lField == 4 && !MeasurementNumber(asFields[3], fNumber)) {
        sDataSet = asFields[3];
    }
    return MeasurementNumber(asFields[0], fJd) && MeasurementNumber(asFields[1], fVelocity);
}

} // namespace

bool RvTable::ImportMeasurements(const std::string& sPath, DataSeries& oCurve, std::vector<double>* pvSigma,
                                 std::string* psProblem, std::vector<std::string>* pvDataSet)
{
    // Read in blocks, with a bound on the line length and on the whole: no file of measurements comes
    // near either, and a device or a hostile file cannot make the reading go on without end.
    constexpr std::size_t kMaxLine = 4096;
    constexpr std::uintmax_t kMaxBytes = 256ULL << 20;
    // A device or a pipe is no file of measurements (a pipe would block the opening itself).
    std::error_code oError;
    if (!std::filesystem::is_regular_file(sPath, oError)) {
        return false;
    }
    quandrel::UniqueFile pFile(std::fopen(sPath.c_str(), "rb"));
    if (!pFile) {
        return false;
    }
    std::vector<double> vJd;
    std::vector<double> vVelocity;
    std::vector<double> vSigma;
    std::vector<std::string> vDataSet;
    std::vector<std::size_t> vLineNumber;
    std::size_t lLineNumber = 0;
    std::string sLine;
    bool bLineTooLong = false;
    std::uintmax_t lBytes = 0;
    std::vector<char> vBlock(1 << 16);
    const auto EndOfLine = [&] {
        double fJd = 0.0;
        double fVelocity = 0.0;
        double fSigma = NAN;
        std::string sDataSet;
        ++lLineNumber;
        if (!bLineTooLong && MeasurementLine(sLine, fJd, fVelocity, fSigma, sDataSet)) {
            vJd.push_back(fJd);
            vVelocity.push_back(fVelocity);
            vSigma.push_back(fSigma);
            vDataSet.push_back(std::move(sDataSet));
            vLineNumber.push_back(lLineNumber);
        }
        sLine.clear();
        bLineTooLong = false;
    };
    for (;;) {
        const std::size_t lRead = std::fread(vBlock.data(), 1, vBlock.size(), pFile.get());
        if (lRead == 0) {
            break;
        }
        // A byte-order mark is no part of the first line.
        const std::size_t lSkip = lBytes == 0 ? quandrel::ByteOrderMarkLength(std::string_view(vBlock.data(), lRead)) : 0;
        lBytes += lRead;
        if (lBytes > kMaxBytes) {
            return false;
        }
        for (std::size_t k = lSkip; k < lRead; ++k) {
            if (vBlock[k] == '\n') {
                EndOfLine();
            } else if (sLine.size() < kMaxLine) {
                sLine += vBlock[k];
            } else {
                bLineTooLong = true;
            }
        }
    }
    if (std::ferror(pFile.get()) != 0) {
        return false;
    }
    EndOfLine();
    // Uncertainties weigh the fits only when every measurement has a positive one: a file that gives
    // them with one missing or not positive is refused, naming the line (ignored, the column would turn
    // the weighted fit into an unweighted one without a word).
    const auto itPositive = std::find_if(vSigma.begin(), vSigma.end(), [](double f) { return f > 0 && std::isfinite(f); });
    const auto itBad = std::find_if(vSigma.begin(), vSigma.end(), [](double f) { return !(f > 0 && std::isfinite(f)); });
    if (pvSigma != nullptr && itPositive != vSigma.end() && itBad != vSigma.end()) {
        if (psProblem != nullptr) {
            const auto k = static_cast<std::size_t>(itBad - vSigma.begin());
            *psProblem = "Line " + std::to_string(vLineNumber[k]) + " (JD " + quandrel::FormatFixed(vJd[k], 5) + ") " +
                         (std::isnan(*itBad) ? std::string("gives no uncertainty")
                                             : "gives the uncertainty " + quandrel::FormatGeneral(*itBad, 6)) +
                         ", while other lines give one: every uncertainty must be a positive number, or the column "
                         "left out.";
        }
        return false;
    }
    // In the order of time, whatever the file's order: the searches take the span from the ends.
    std::vector<std::size_t> vOrder(vJd.size());
    std::iota(vOrder.begin(), vOrder.end(), std::size_t{0});
    std::stable_sort(vOrder.begin(), vOrder.end(), [&vJd](std::size_t a, std::size_t b) { return vJd[a] < vJd[b]; });
    const auto Ordered = [&vOrder](const std::vector<double>& v) {
        std::vector<double> vSorted(v.size());
        for (std::size_t i = 0; i < v.size(); ++i) {
            vSorted[i] = v[vOrder[i]];
        }
        return vSorted;
    };
    vJd = Ordered(vJd);
    vVelocity = Ordered(vVelocity);
    vSigma = Ordered(vSigma);
    if (pvDataSet != nullptr) {
        // Names only when some line gives one; a line without one belongs to the data set "".
        const bool bAny = std::any_of(vDataSet.begin(), vDataSet.end(), [](const std::string& s) { return !s.empty(); });
        pvDataSet->clear();
        for (std::size_t i = 0; bAny && i < vOrder.size(); ++i) {
            pvDataSet->push_back(vDataSet[vOrder[i]]);
        }
    }
    oCurve.SetSize(0);
    if (!vJd.empty()) {
        oCurve.SetValues(vJd.data(), vVelocity.data(), static_cast<int32_t>(vJd.size()));
    }
    if (pvSigma != nullptr) {
        // Uncertainties count only when every measurement has a positive one.
        const bool bAll = std::all_of(vSigma.begin(), vSigma.end(), [](double f) { return f > 0 && std::isfinite(f); });
        *pvSigma = bAll ? std::move(vSigma) : std::vector<double>{};
    }
    return true;
}
