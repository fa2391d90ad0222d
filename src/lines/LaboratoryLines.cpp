#include "LaboratoryLines.h"
#include "core/CsvFile.h"

#include "core/Assert.h"
#include "core/BinaryStream.h"
#include "core/TextLineReader.h"
#include "core/WavelengthUnits.h"

#include <cmath>

namespace {

std::string CutName(std::string sName)
{
    // A name that is the last field of its line carries the line end.
    while (!sName.empty() && (sName.back() == '\n' || sName.back() == '\r')) {
        sName.pop_back();
    }
    return sName.substr(0, LaboratoryLines::kMaxNameLength);
}

} // namespace

bool LaboratoryLines::Load(const std::string& cFileName)
{
    m_lNumberSpectralLines = 0;
    m_asSpectralLineName.clear();
    m_afLaboratoryWavelength.clear();
    CsvFile oTable;
    oTable.SetSeparators(";\t");
    int32_t lCount = 0;
    if (oTable.CountLines(0, cFileName, lCount) != 0) {
        return false;
    }
    std::vector<double> vColumn(static_cast<std::size_t>(lCount), 0.0);
    if (oTable.ReadColumn(lCount, 1, 0, vColumn, cFileName, false) != 0) {
        return false;
    }
    // The names in one pass over the file (the same lines the count and the column saw). A line whose
    // wavelength is no number (a header such as "Line;Lambda", a comment) or not above 0 is no line.
    std::vector<std::string> vNames;
    std::vector<double> vWavelength;
    TextLineReader oReader;
    if (!oReader.Open(cFileName)) {
        return false;
    }
    std::string sLine;
    std::string sField;
    for (int32_t i = 0; i < lCount; ++i) {
        sLine.clear();
        oReader.ReadLine(sLine);
        sField.clear();
        oTable.ExtractField(sLine, 1, false, sField);
        const double fWavelength = vColumn[static_cast<std::size_t>(i)];
        if (sField.find_first_of("0123456789") == std::string::npos || !(fWavelength > 0) ||
            !std::isfinite(fWavelength)) {
            continue;
        }
        sField.clear();
        oTable.ExtractField(sLine, 0, false, sField);
        vNames.push_back(CutName(sField));
        vWavelength.push_back(fWavelength);
    }
    // The unit follows from the first line of the table.
    if (!vWavelength.empty() && WavelengthUnits::IsNanometer(vWavelength.front())) {
        WavelengthUnits::ConvertNmToAngstrom(vWavelength.data(), static_cast<int32_t>(vWavelength.size()));
    }
    m_lNumberSpectralLines = static_cast<int32_t>(vWavelength.size());
    m_asSpectralLineName = std::move(vNames);
    m_afLaboratoryWavelength = std::move(vWavelength);
    return m_lNumberSpectralLines != 0;
}

bool LaboratoryLines::FindNearestLine(double fWavelength, int32_t& lIndex, double& fLaboratoryWavelength,
                                     std::string* cLineName) const
{
    QASSERT(cLineName!=NULL);
    if (m_lNumberSpectralLines == 0) {
        return false;
    }
    int32_t d = 0;
    double fBest = std::fabs(fWavelength - m_afLaboratoryWavelength[0]);
    for (int32_t i = 1; i < m_lNumberSpectralLines; ++i) {
        const double fDistance = std::fabs(fWavelength - m_afLaboratoryWavelength[static_cast<std::size_t>(i)]);
        if (fDistance < fBest) {
            fBest = fDistance;
            d = i;
        }
    }
    lIndex = d;
    fLaboratoryWavelength = m_afLaboratoryWavelength[static_cast<std::size_t>(d)];
    *cLineName = m_asSpectralLineName[static_cast<std::size_t>(d)];
    return true;
}

bool LaboratoryLines::GetLine(int32_t Index, double& fLaboratoryWavelength, std::string* cLineName) const
{
    QASSERT(cLineName!=NULL);
    if (m_lNumberSpectralLines == 0) {
        return false;
    }
    QASSERT(Index>=0 && Index<m_lNumberSpectralLines);
    fLaboratoryWavelength = m_afLaboratoryWavelength[static_cast<std::size_t>(Index)];
    *cLineName = m_asSpectralLineName[static_cast<std::size_t>(Index)];
    return true;
}

void LaboratoryLines::SetFileName(const std::string& cFileName)
{
    m_cFileName = cFileName.substr(0, kMaxNameLength);
}

void LaboratoryLines::WriteBlock(BinaryWriter& oWriter) const
{
    oWriter.WriteInt32(static_cast<int32_t>(m_cFileName.size()));
    oWriter.WriteBytes(m_cFileName);
    oWriter.WriteInt32(m_lNumberSpectralLines);
    for (int32_t i = 0; i < m_lNumberSpectralLines; ++i) {
        const std::string& sName = m_asSpectralLineName[static_cast<std::size_t>(i)];
        oWriter.WriteInt32(static_cast<int32_t>(sName.size()) + 1);
        oWriter.WriteBytes(sName);
        oWriter.WriteBytes(std::string_view("\0", 1));
        oWriter.WriteDouble(m_afLaboratoryWavelength[static_cast<std::size_t>(i)]);
    }
}

bool LaboratoryLines::ReadBlock(BinaryReader& oReader)
{
    // The smallest line record: length, one terminating zero, wavelength.
    constexpr std::size_t kMinLineBytes = 4 + 1 + 8;
    int32_t lNameLength = 0;
    std::string sFileName;
    if (!oReader.ReadInt32(lNameLength) || lNameLength < 0 ||
        !oReader.ReadBytes(static_cast<std::size_t>(lNameLength), sFileName)) {
        return false;
    }
    int32_t lCount = 0;
    if (!oReader.ReadInt32(lCount) || lCount < 0 ||
        static_cast<std::size_t>(lCount) > oReader.Remaining() / kMinLineBytes) {
        return false;
    }
    std::vector<std::string> vNames;
    std::vector<double> vWavelength;
    vNames.reserve(static_cast<std::size_t>(lCount));
    vWavelength.reserve(static_cast<std::size_t>(lCount));
    for (int32_t i = 0; i < lCount; ++i) {
        int32_t lLength = 0;
        std::string sName;
        double fWavelength = 0.0;
        if (!oReader.ReadInt32(lLength) || lLength < 1 ||
            !oReader.ReadBytes(static_cast<std::size_t>(lLength), sName) || !oReader.ReadDouble(fWavelength)) {
            return false;
        }
        // The name ends at its terminating zero.
        sName = sName.substr(0, std::min(sName.find('\0'), kMaxNameLength));
        vNames.push_back(std::move(sName));
        vWavelength.push_back(fWavelength);
    }
    SetFileName(sFileName.substr(0, sFileName.find('\0')));
    m_asSpectralLineName = std::move(vNames);
    m_afLaboratoryWavelength = std::move(vWavelength);
    m_lNumberSpectralLines = lCount;
    return true;
}
