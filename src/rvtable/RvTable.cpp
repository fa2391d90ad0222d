#include "RvTable.h"

#include "core/Assert.h"
#include "core/AtomicFile.h"
#include "core/BinaryStream.h"
#include "core/ByteOrderMark.h"
#include "core/CsvFile.h"
#include "core/FileHandle.h"
#include "core/DataSeries.h"
#include "astro/Doppler.h"
#include "core/NumberText.h"
#include "lines/SpectralLineList.h"
#include "rvtable/VelocityStatistics.h"
#include "spectrum/Spectrum.h"

#include <algorithm>
#include <numeric>
#include <array>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace {

constexpr std::size_t kMagicLength = 23;
constexpr std::size_t kRowBytes = 24;
constexpr std::size_t kMeasurementBytes = 48;
// No project of this program comes near this size; a larger file is no project.
constexpr std::uintmax_t kMaxProjectBytes = 1ULL << 30;
// A row's word that other writers leave as they like: "BARY" (little-endian) marks a row of this
// program whose velocities got the precise barycentric correction, "HELI" one with the classic
// correction. Only in such rows the padding of a measurement holds its velocities' errors; any other
// value is a classic row whose padding means nothing.
constexpr int32_t kBarycentricRowTag = 0x59524142;
constexpr int32_t kClassicRowTag = 0x494C4548;
// After the laboratory lines, only when a row names its data set: this magic, the number of rows and
// each row's data set (its length, 32-bit, and its characters).
constexpr std::string_view kDataSetMagic = "QDATASET";
constexpr std::size_t kMaxDataSetLength = 64;

// An error in 12 bits: 0 unknown, k = 1 .. 4095 for 1 m/s * 10^(6 (k - 1) / 4094), 1 m/s to 1000 km/s
// in steps of 0.34 %.
constexpr double kSmallestError = 0.001; // km/s
constexpr double kErrorDecadesPerStep = 6.0 / 4094.0;

uint32_t ErrorCode(double fError)
{
    if (!(fError > 0.0) || !std::isfinite(fError)) {
        return 0;
    }
    const double fStep = std::round(std::log10(fError / kSmallestError) / kErrorDecadesPerStep);
    return 1 + static_cast<uint32_t>(std::clamp(fStep, 0.0, 4094.0));
}

double ErrorOfCode(uint32_t lCode)
{
    return lCode == 0 ? 0.0 : kSmallestError * std::pow(10.0, kErrorDecadesPerStep * (lCode - 1));
}

// The padding of a measurement: its flag byte and both errors (12 bits each, little-endian).
std::string FlagAndErrors(const LineMeasurement& o, bool bErrors)
{
    const uint32_t lBits = bErrors ? ErrorCode(o.fVelocityError1) | (ErrorCode(o.fVelocityError2) << 12) : 0;
    std::string s(4, '\0');
    s[0] = o.bDouble ? '\1' : '\0';
    for (int i = 0; i < 3; ++i) {
        s[static_cast<std::size_t>(i + 1)] = static_cast<char>((lBits >> (8 * i)) & 0xFF);
    }
    return s;
}

std::string Blanks(int n)
{
    return std::string(static_cast<std::size_t>(n), ' ');
}

std::string RightAligned(const std::string& sText, int lWidth)
{
    return static_cast<int>(sText.size()) < lWidth ? Blanks(lWidth - static_cast<int>(sText.size())) + sText : sText;
}

} // namespace

void RvTable::AddSpectrumRow(const Spectrum* pSpectrum)
{
    QASSERT(pSpectrum!=NULL);
    MeasurementRow oRow;
    pSpectrum->GetObservationTime(oRow.fJulianDate);
    oRow.fSpectrumKey = pSpectrum->Key();
    // The observer, else the instrument, tells the data set.
    const SpectrumMetadata& oMetadata = pSpectrum->GetMetadata();
    oRow.sDataSet = (oMetadata.sObserver.empty() ? oMetadata.sInstrument : oMetadata.sObserver).substr(0, kMaxDataSetLength);
    const int32_t lLines = pSpectrum->GetSpectralLineCount();
    // Wavelengths that already carry a correction are not corrected again.
    const WavelengthFrame eFrame = pSpectrum->GetMetadata().eFrame;
    for (int32_t i = 0; i < lLines; ++i) {
        std::string sName;
        LineMeasurement oMeasurement;
        bool bDoubleGaussian = false;
        pSpectrum->GetLineData(i, &sName, oMeasurement.fLaboratoryWavelength, oMeasurement.lLaboratoryLineIndex,
                               oMeasurement.fCenter1, oMeasurement.fCenter2, bDoubleGaussian);
        if (oMeasurement.lLaboratoryLineIndex < 0) {
            continue;
        }
        const bool bCombined = pSpectrum->GetCombination(i) == 1 && i + 1 < lLines;
        oMeasurement.bDouble = bDoubleGaussian || bCombined;
        oMeasurement.fVelocity1 =
            m_oCoordinates.RadialVelocity(oMeasurement.fLaboratoryWavelength, oMeasurement.fCenter1, oRow.fJulianDate, eFrame);
        const SpectralLine& oLine = pSpectrum->GetSpectralLines().GetLine(i);
        const double fLaboratory = oMeasurement.fLaboratoryWavelength;
        oMeasurement.fVelocityError1 = quandrel::DopplerVelocityError(fLaboratory, oLine.GetCenter1Error());
        oMeasurement.fVelocityError2 = quandrel::DopplerVelocityError(fLaboratory, oLine.GetCenter2Error());
        double fSecond = oMeasurement.fCenter2;
        if (bCombined) {
            // The right neighbour is the second component and gives no measurement of its own.
            ++i;
            fSecond = pSpectrum->GetLineFirstCenter(i);
            oMeasurement.fCenter2 = fSecond;
            oMeasurement.fVelocityError2 =
                quandrel::DopplerVelocityError(fLaboratory, pSpectrum->GetSpectralLines().GetLine(i).GetCenter1Error());
        }
        if (oMeasurement.bDouble) {
            oMeasurement.fVelocity2 =
                m_oCoordinates.RadialVelocity(oMeasurement.fLaboratoryWavelength, fSecond, oRow.fJulianDate, eFrame);
        }
        oRow.measurements.push_back(oMeasurement);
    }
    InsertRow(std::move(oRow));
}

RowVelocity VelocityOfRow(const MeasurementRow& oRow)
{
    RowVelocity o;
    std::vector<double> vVelocity;
    std::vector<double> vError;
    for (const auto& m : oRow.measurements) {
        vVelocity.push_back(m.fVelocity1);
        vError.push_back(m.fVelocityError1);
    }
    if (const auto oWeighted = WeightedMeanVelocity(vVelocity, vError)) {
        o.fMean = oWeighted->fMean;
        o.oError = oWeighted->fError;
    } else if (!vVelocity.empty()) {
        o.fMean = std::accumulate(vVelocity.begin(), vVelocity.end(), 0.0) / static_cast<double>(vVelocity.size());
    }
    return o;
}

void RvTable::AddVelocity(const Spectrum* pSpectrum, double fVelocity, double fError)
{
    QASSERT(pSpectrum!=NULL);
    MeasurementRow oRow;
    pSpectrum->GetObservationTime(oRow.fJulianDate);
    oRow.fSpectrumKey = pSpectrum->Key();
    LineMeasurement oMeasurement;
    oMeasurement.fVelocity1 = fVelocity;
    oMeasurement.fVelocityError1 = fError;
    oRow.measurements.push_back(oMeasurement);
    InsertRow(std::move(oRow));
}

void RvTable::InsertRow(MeasurementRow oRow)
{
    const auto itSame = std::find_if(m_vMeasurementRow.begin(), m_vMeasurementRow.end(),
                                     [&](const MeasurementRow& o) { return o.fSpectrumKey == oRow.fSpectrumKey; });
    if (itSame != m_vMeasurementRow.end()) {
        m_vMeasurementRow.erase(itSame);
    }
    m_bIsSaved = false;
    oRow.eCorrection = m_oCoordinates.Kind();
    oRow.bRecorded = true;
    const auto itAfter = std::find_if(m_vMeasurementRow.begin(), m_vMeasurementRow.end(),
                                      [&](const MeasurementRow& o) { return o.fJulianDate >= oRow.fJulianDate; });
    m_vMeasurementRow.insert(itAfter, std::move(oRow));
}

std::optional<CorrectionKind> RvTable::RowsCorrection() const
{
    if (m_vMeasurementRow.empty()) {
        return std::nullopt;
    }
    const CorrectionKind eFirst = m_vMeasurementRow.front().eCorrection;
    const bool bAgree = std::all_of(m_vMeasurementRow.begin(), m_vMeasurementRow.end(),
                                    [eFirst](const MeasurementRow& o) { return o.eCorrection == eFirst; });
    return bAgree ? std::optional<CorrectionKind>(eFirst) : std::nullopt;
}

bool RvTable::ContainsSpectrum(const Spectrum* pSpectrum) const
{
    return RowOf(pSpectrum).has_value();
}

std::optional<int32_t> RvTable::RowOf(const Spectrum* pSpectrum) const
{
    if (pSpectrum == nullptr) {
        return std::nullopt;
    }
    const double fKey = pSpectrum->Key();
    const auto it = std::find_if(m_vMeasurementRow.begin(), m_vMeasurementRow.end(),
                                 [&](const MeasurementRow& o) { return o.fSpectrumKey == fKey; });
    if (it == m_vMeasurementRow.end()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(it - m_vMeasurementRow.begin());
}

void RvTable::RemoveSpectrumRow(const Spectrum* pSpectrum)
{
    if (pSpectrum == nullptr) {
        return;
    }
    const double fKey = pSpectrum->Key();
    const auto it = std::find_if(m_vMeasurementRow.begin(), m_vMeasurementRow.end(),
                                 [&](const MeasurementRow& o) { return o.fSpectrumKey == fKey; });
    if (it != m_vMeasurementRow.end()) {
        m_vMeasurementRow.erase(it);
        m_bIsSaved = false;
    }
}

bool RvTable::RemoveRow(int32_t r)
{
    if (r < 0 || r >= static_cast<int32_t>(m_vMeasurementRow.size())) {
        return false;
    }
    m_vMeasurementRow.erase(m_vMeasurementRow.begin() + r);
    m_bIsSaved = false;
    return true;
}

std::vector<int32_t> RvTable::UsedIndices() const
{
    std::vector<int32_t> vUsed;
    for (const auto& oRow : m_vMeasurementRow) {
        for (const auto& oMeasurement : oRow.measurements) {
            vUsed.push_back(oMeasurement.lLaboratoryLineIndex);
        }
    }
    std::sort(vUsed.begin(), vUsed.end());
    vUsed.erase(std::unique(vUsed.begin(), vUsed.end()), vUsed.end());
    return vUsed;
}

int32_t RvTable::ColumnIndex(int32_t c) const
{
    const std::vector<int32_t> vUsed = UsedIndices();
    return c >= 0 && c < static_cast<int32_t>(vUsed.size()) ? vUsed[static_cast<std::size_t>(c)] : -1;
}

void RvTable::ClearColumn(int32_t c)
{
    m_bIsSaved = false;
    const int32_t lIndex = ColumnIndex(c);
    if (lIndex < 0) {
        return;
    }
    for (std::size_t r = 0; r < m_vMeasurementRow.size();) {
        auto& vMeasurements = m_vMeasurementRow[r].measurements;
        const auto it = std::find_if(vMeasurements.begin(), vMeasurements.end(), [&](const LineMeasurement& o) {
            return o.lLaboratoryLineIndex == lIndex;
        });
        if (it != vMeasurements.end()) {
            if (vMeasurements.size() == 1) {
                m_vMeasurementRow.erase(m_vMeasurementRow.begin() + static_cast<std::ptrdiff_t>(r));
                continue;
            }
            vMeasurements.erase(it);
        }
        ++r;
    }
}

void RvTable::ClearCell(int32_t r, int32_t c)
{
    if (r < 0 || r >= static_cast<int32_t>(m_vMeasurementRow.size())) {
        return;
    }
    const int32_t lIndex = ColumnIndex(c);
    auto& vMeasurements = m_vMeasurementRow[static_cast<std::size_t>(r)].measurements;
    const auto it = std::find_if(vMeasurements.begin(), vMeasurements.end(),
                                 [&](const LineMeasurement& o) { return o.lLaboratoryLineIndex == lIndex; });
    if (lIndex < 0 || it == vMeasurements.end()) {
        return;
    }
    if (vMeasurements.size() > 1) {
        vMeasurements.erase(it);
    } else {
        m_vMeasurementRow.erase(m_vMeasurementRow.begin() + r);
    }
    m_bIsSaved = false;
}

void RvTable::ClearRows()
{
    m_vMeasurementRow.clear();
    m_bIsSaved = true;
}

void RvTable::GetDimensions(int32_t& lRows, int32_t& lColumns) const
{
    lRows = static_cast<int32_t>(m_vMeasurementRow.size());
    lColumns = static_cast<int32_t>(UsedIndices().size());
}

int32_t RvTable::GetLaboratoryLineRange(int32_t& lMin, int32_t& lMax) const
{
    const std::vector<int32_t> vUsed = UsedIndices();
    lMin = vUsed.empty() ? 0 : vUsed.front();
    lMax = vUsed.empty() ? -1 : vUsed.back();
    return lMax - lMin + 1;
}

bool RvTable::IsLaboratoryLineUsed(int32_t lIndex) const
{
    const std::vector<int32_t> vUsed = UsedIndices();
    return std::binary_search(vUsed.begin(), vUsed.end(), lIndex);
}

void RvTable::GetCellText(int32_t r, int32_t c, std::string& cValue, bool& bRowExists, bool& bFilled) const
{
    cValue.clear();
    bFilled = false;
    bRowExists = r >= 0 && r < static_cast<int32_t>(m_vMeasurementRow.size());
    const int32_t lIndex = ColumnIndex(c);
    if (!bRowExists || lIndex < 0) {
        return;
    }
    cValue = CellText(r, lIndex);
    bFilled = !cValue.empty();
}

std::string RvTable::CellText(int32_t r, int32_t lIndex) const
{
    for (const auto& o : m_vMeasurementRow.at(static_cast<std::size_t>(r)).measurements) {
        if (o.lLaboratoryLineIndex == lIndex) {
            std::string sText = quandrel::FormatFixedWidth(o.fVelocity1, 6, 2);
            if (o.bDouble) {
                sText += "/" + quandrel::FormatFixedWidth(o.fVelocity2, 6, 2);
            }
            return sText;
        }
    }
    return std::string();
}

double RvTable::GetRowJulianDate(int32_t r) const
{
    return m_vMeasurementRow.at(static_cast<std::size_t>(r)).fJulianDate;
}

bool RvTable::SetRowDataSet(int32_t r, const std::string& sDataSet)
{
    if (r < 0 || static_cast<std::size_t>(r) >= m_vMeasurementRow.size()) {
        return false;
    }
    const std::size_t lFirst = sDataSet.find_first_not_of(" \t");
    const std::string sTrimmed =
        lFirst == std::string::npos ? std::string() : sDataSet.substr(lFirst, sDataSet.find_last_not_of(" \t") - lFirst + 1);
    m_vMeasurementRow[static_cast<std::size_t>(r)].sDataSet = sTrimmed.substr(0, kMaxDataSetLength);
    m_bIsSaved = false;
    return true;
}

void RvTable::GetRVCurve(DataSeries& oCurve, std::vector<double>* pvSigma, std::vector<std::string>* pvDataSet) const
{
    if (pvDataSet != nullptr) {
        pvDataSet->clear();
    }
    // A row whose measurements were all cleared has no velocity: it is left out, not taken as 0 km/s.
    std::vector<double> vJulianDate;
    std::vector<double> vVelocity;
    std::vector<double> vSigma;
    bool bAllErrors = true;
    for (const auto& oRow : m_vMeasurementRow) {
        if (oRow.measurements.empty()) {
            continue;
        }
        const RowVelocity o = VelocityOfRow(oRow);
        if (pvDataSet != nullptr) {
            pvDataSet->push_back(oRow.sDataSet);
        }
        vJulianDate.push_back(oRow.fJulianDate);
        vVelocity.push_back(o.fMean);
        bAllErrors = bAllErrors && o.oError.has_value();
        vSigma.push_back(o.oError.value_or(0.0));
    }
    oCurve.SetSize(0);
    if (!vJulianDate.empty()) {
        oCurve.SetValues(vJulianDate.data(), vVelocity.data(), static_cast<int32_t>(vJulianDate.size()));
    }
    if (pvSigma != nullptr) {
        *pvSigma = bAllErrors && !vSigma.empty() ? std::move(vSigma) : std::vector<double>();
    }
}

std::string RvTable::ProjectBytes() const
{
    BinaryWriter oWriter;
    oWriter.WriteBytes(std::string_view(kMagic, kMagicLength));
    std::array<double, 8> af{};
    m_oCoordinates.GetObjectCoordinates(af[0], af[1], af[2], af[3]);
    m_oCoordinates.GetObserverCoordinates(af[4], af[5], af[6], af[7]);
    for (const double f : af) {
        oWriter.WriteDouble(f);
    }
    oWriter.WriteBytes(std::string(1, m_oCoordinates.AreObserverCoordinatesSet() ? '\1' : '\0'));
    oWriter.WriteBytes(std::string(1, m_oCoordinates.AreObjectCoordinatesSet() ? '\1' : '\0'));
    oWriter.WriteInt32(static_cast<int32_t>(m_vMeasurementRow.size()));
    for (const auto& oRow : m_vMeasurementRow) {
        oWriter.WriteInt32(!oRow.bRecorded                                  ? 0
                           : oRow.eCorrection == CorrectionKind::kBarycentric ? kBarycentricRowTag
                                                                              : kClassicRowTag);
        oWriter.WriteInt32(oRow.Count());
        oWriter.WriteDouble(oRow.fJulianDate);
        oWriter.WriteDouble(oRow.fSpectrumKey);
        for (const auto& o : oRow.measurements) {
            oWriter.WriteDouble(o.fCenter1);
            oWriter.WriteDouble(o.fCenter2);
            oWriter.WriteDouble(o.fLaboratoryWavelength);
            oWriter.WriteDouble(o.fVelocity1);
            oWriter.WriteDouble(o.fVelocity2);
            oWriter.WriteInt32(o.lLaboratoryLineIndex);
            oWriter.WriteBytes(FlagAndErrors(o, oRow.bRecorded));
        }
    }
    m_oLaboratoryLines.WriteBlock(oWriter);
    if (std::any_of(m_vMeasurementRow.begin(), m_vMeasurementRow.end(), [](const MeasurementRow& o) { return !o.sDataSet.empty(); })) {
        oWriter.WriteBytes(kDataSetMagic);
        oWriter.WriteInt32(static_cast<int32_t>(m_vMeasurementRow.size()));
        for (const auto& oRow : m_vMeasurementRow) {
            oWriter.WriteInt32(static_cast<int32_t>(oRow.sDataSet.size()));
            oWriter.WriteBytes(oRow.sDataSet);
        }
    }
    return oWriter.Bytes();
}

bool RvTable::SaveToFile(const std::string& sPath)
{
    if (!quandrel::WriteFileAtomically(sPath, ProjectBytes())) {
        return false;
    }
    m_bIsSaved = true;
    return true;
}

bool RvTable::ParseProject(const std::string& sBytes)
{
    BinaryReader oReader(sBytes);
    std::string sMagic;
    if (!oReader.ReadBytes(kMagicLength, sMagic) || sMagic != std::string_view(kMagic, kMagicLength)) {
        return false;
    }
    double af[8] = {};
    for (double& f : af) {
        if (!oReader.ReadDouble(f)) {
            return false;
        }
    }
    std::string sFlags;
    if (!oReader.ReadBytes(2, sFlags)) {
        return false;
    }
    int32_t lRows = 0;
    if (!oReader.ReadInt32(lRows) || lRows < 0 || static_cast<std::size_t>(lRows) > oReader.Remaining() / kRowBytes) {
        return false;
    }
    std::vector<MeasurementRow> vRows;
    vRows.reserve(static_cast<std::size_t>(lRows));
    for (int32_t r = 0; r < lRows; ++r) {
        int32_t lReserved = 0;
        int32_t lCount = 0;
        MeasurementRow oRow;
        if (!oReader.ReadInt32(lReserved) || !oReader.ReadInt32(lCount) || !oReader.ReadDouble(oRow.fJulianDate) ||
            !oReader.ReadDouble(oRow.fSpectrumKey) || lCount < 0 ||
            static_cast<std::size_t>(lCount) > oReader.Remaining() / kMeasurementBytes ||
            !std::isfinite(oRow.fJulianDate)) {
            return false;
        }
        oRow.eCorrection = lReserved == kBarycentricRowTag ? CorrectionKind::kBarycentric : CorrectionKind::kHeliocentric;
        oRow.bRecorded = lReserved == kBarycentricRowTag || lReserved == kClassicRowTag;
        oRow.measurements.resize(static_cast<std::size_t>(lCount));
        for (auto& o : oRow.measurements) {
            std::string sFlag;
            if (!oReader.ReadDouble(o.fCenter1) || !oReader.ReadDouble(o.fCenter2) ||
                !oReader.ReadDouble(o.fLaboratoryWavelength) || !oReader.ReadDouble(o.fVelocity1) ||
                !oReader.ReadDouble(o.fVelocity2) || !oReader.ReadInt32(o.lLaboratoryLineIndex) ||
                !oReader.ReadBytes(4, sFlag)) {
                return false;
            }
            o.bDouble = sFlag[0] != '\0';
            if (oRow.bRecorded) {
                const auto Byte = [&](std::size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(sFlag[i])); };
                const uint32_t lBits = Byte(1) | (Byte(2) << 8) | (Byte(3) << 16);
                o.fVelocityError1 = ErrorOfCode(lBits & 0xFFF);
                o.fVelocityError2 = ErrorOfCode(lBits >> 12);
            }
        }
        vRows.push_back(std::move(oRow));
    }
    LaboratoryLines oLines;
    if (!oLines.ReadBlock(oReader)) {
        return false;
    }
    if (oReader.Remaining() != 0) {
        // The rows' data sets, and nothing after them.
        std::string sMagic;
        int32_t lCount = 0;
        if (!oReader.ReadBytes(kDataSetMagic.size(), sMagic) || sMagic != kDataSetMagic || !oReader.ReadInt32(lCount) ||
            lCount != lRows) {
            return false;
        }
        for (auto& oRow : vRows) {
            int32_t lLength = 0;
            if (!oReader.ReadInt32(lLength) || lLength < 0 || static_cast<std::size_t>(lLength) > kMaxDataSetLength ||
                !oReader.ReadBytes(static_cast<std::size_t>(lLength), oRow.sDataSet)) {
                return false;
            }
        }
        if (oReader.Remaining() != 0) {
            return false;
        }
    }
    // Every measurement names a line of the table (index 0 also serves the correlation's velocities).
    const int32_t lLimit = std::max<int32_t>(oLines.GetLineCount(), 1);
    for (const auto& oRow : vRows) {
        for (const auto& o : oRow.measurements) {
            if (o.lLaboratoryLineIndex < 0 || o.lLaboratoryLineIndex >= lLimit) {
                return false;
            }
        }
    }
    m_oCoordinates.SetObjectCoordinates(af[0], af[1], af[2], af[3]);
    m_oCoordinates.SetObserverCoordinates(af[4], af[5], af[6], af[7]);
    m_oCoordinates.SetCoordinateFlags(sFlags[0] != '\0', sFlags[1] != '\0');
    m_vMeasurementRow = std::move(vRows);
    m_oLaboratoryLines = std::move(oLines);
    return true;
}

bool RvTable::LoadFromFile(const std::string& sPath, bool* pbFormatError, std::string* psReason)
{
    if (pbFormatError != nullptr) {
        *pbFormatError = false;
    }
    const auto Fail = [psReason](const char* pcReason) {
        if (psReason != nullptr) {
            *psReason = pcReason;
        }
        return false;
    };
    // The file is parsed whole before anything is replaced: a damaged or foreign file leaves the
    // table, its coordinates and its laboratory lines as they were.
    std::string sBytes;
    switch (quandrel::ReadRegularFile(sPath, kMaxProjectBytes, sBytes)) {
    case quandrel::ReadFile::Missing:
        return Fail("There is no such file (or it is a folder, a device or a pipe).");
    case quandrel::ReadFile::Failed:
        return Fail("The file cannot be read.");
    case quandrel::ReadFile::TooLarge:
        if (pbFormatError != nullptr) {
            *pbFormatError = true;
        }
        return Fail("The file is larger than any project file (1 GiB).");
    case quandrel::ReadFile::Read:
        break;
    }
    if (!ParseProject(sBytes)) {
        if (pbFormatError != nullptr) {
            *pbFormatError = true;
        }
        return Fail("The file is no intact project file: it is damaged, cut short or of another kind.");
    }
    m_bIsSaved = true;
    return true;
}

bool RvTable::DumpToFile(const std::string& sPath) const
{
    int32_t lMin = 0;
    int32_t lMax = -1;
    GetLaboratoryLineRange(lMin, lMax);
    std::string sNames = Blanks(14) + ";";
    std::string sWavelengths = Blanks(14) + ";";
    for (int32_t k = lMin; k <= lMax; ++k) {
        const bool bUsed = IsLaboratoryLineUsed(k);
        std::string sName;
        double fWavelength = 0.0;
        const bool bKnown = bUsed && k < m_oLaboratoryLines.GetLineCount() &&
                            m_oLaboratoryLines.GetLine(k, fWavelength, &sName);
        const char* pcSeparator = k < lMax ? ";" : "";
        sNames += (bKnown ? RightAligned(sName, 11) + Blanks(4) : Blanks(15)) + pcSeparator;
        sWavelengths += (bKnown ? quandrel::FormatFixedWidth(fWavelength, 11, 2) + Blanks(4) : Blanks(15)) +
                        pcSeparator;
    }
    std::string sText = sNames + "\r\n" + sWavelengths + "\r\n";
    for (const auto& oRow : m_vMeasurementRow) {
        sText += quandrel::FormatFixedWidth(oRow.fJulianDate, 12, 3) + "  ;";
        std::size_t lNext = 0;
        for (int32_t k = lMin; k <= lMax; ++k) {
            if (lNext < oRow.measurements.size() && oRow.measurements[lNext].lLaboratoryLineIndex == k) {
                const auto& o = oRow.measurements[lNext++];
                sText += o.bDouble ? quandrel::FormatFixedWidth(o.fVelocity1, 7, 2) + "/" +
                                         quandrel::FormatFixedWidth(o.fVelocity2, 7, 2)
                                   : quandrel::FormatFixedWidth(o.fVelocity1, 11, 2) + Blanks(4);
            } else {
                sText += Blanks(15);
            }
            if (k < lMax) {
                sText += ";";
            }
        }
        sText += "\r\n";
    }
    return quandrel::WriteFileAtomically(sPath, sText);
}

bool RvTable::ExportResults(double fThreshold, const std::string& sPath) const
{
    std::string sText;
    const auto WriteGroup = [&](std::size_t lFirst, std::size_t lEnd) {
        // Per laboratory line: count and sum of the first velocities, and of the second ones of double measurements.
        std::map<int32_t, std::array<double, 4>> mSums;
        bool bAnyDouble = false;
        for (std::size_t r = lFirst; r < lEnd; ++r) {
            for (const auto& o : m_vMeasurementRow[r].measurements) {
                auto& a = mSums[o.lLaboratoryLineIndex];
                a[0] += 1;
                a[1] += o.fVelocity1;
                if (o.bDouble) {
                    a[2] += 1;
                    a[3] += o.fVelocity2;
                    bAnyDouble = true;
                }
            }
        }
        const auto MeanAndDeviation = [&](int lCount, int lSum, double& fMean, double& fDeviation) {
            std::vector<double> vMeans;
            for (const auto& [lIndex, a] : mSums) {
                if (a[static_cast<std::size_t>(lCount)] > 0) {
                    vMeans.push_back(a[static_cast<std::size_t>(lSum)] / a[static_cast<std::size_t>(lCount)]);
                }
            }
            fMean = 0.0;
            for (const double f : vMeans) {
                fMean += f;
            }
            fMean = vMeans.empty() ? 0.0 : fMean / static_cast<double>(vMeans.size());
            double fSquares = 0.0;
            for (const double f : vMeans) {
                fSquares += (f - fMean) * (f - fMean);
            }
            fDeviation = vMeans.size() > 1 ? std::sqrt(fSquares / static_cast<double>(vMeans.size() - 1)) : 0.0;
        };
        double M1 = 0.0, s1 = 0.0, M2 = 0.0, s2 = 0.0;
        MeanAndDeviation(0, 1, M1, s1);
        MeanAndDeviation(2, 3, M2, s2);
        sText += quandrel::FormatFixedWidth(m_vMeasurementRow[lFirst].fJulianDate, 12, 3) + "\t" +
                 quandrel::FormatFixedWidth(M1, 8, 3) + "\t" + quandrel::FormatFixedWidth(s1, 7, 3);
        if (bAnyDouble) {
            sText += "\t" + quandrel::FormatFixedWidth(M2, 8, 3) + "\t" + quandrel::FormatFixedWidth(s2, 7, 3);
        }
        sText += "\r\n";
    };
    std::size_t lGroup = 0;
    for (std::size_t r = 1; r <= m_vMeasurementRow.size(); ++r) {
        if (r == m_vMeasurementRow.size() ||
            !(m_vMeasurementRow[lGroup].fJulianDate + fThreshold >= m_vMeasurementRow[r].fJulianDate)) {
            WriteGroup(lGroup, r);
            lGroup = r;
        }
    }
    return quandrel::WriteFileAtomically(sPath, sText);
}
