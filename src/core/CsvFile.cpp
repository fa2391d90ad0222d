#include "CsvFile.h"

#include "AtomicFile.h"

#include "Assert.h"
#include "FileHandle.h"
#include "NumberText.h"
#include "TextLineReader.h"

#include <cstdio>
#include <limits>

namespace {

void SkipLines(TextLineReader& oReader, int32_t lLinesToSkip)
{
    std::string sDiscard;
    // No further than the lines there are.
    for (int32_t i = 0; i < lLinesToSkip && !oReader.IsEof(); ++i) {
        oReader.ReadLine(sDiscard);
    }
}

} // namespace

int CsvFile::CountLines(int32_t lLinesToSkip, const std::string& FilePathAndName, int32_t& lCount) const
{
    TextLineReader oReader;
    if (!oReader.Open(FilePathAndName)) {
        return -1;
    }
    SkipLines(oReader, lLinesToSkip);
    int64_t lLines = 0;
    bool bLastEmpty = false;
    std::string sLine;
    while (!oReader.IsEof()) {
        oReader.ReadLine(sLine);
        ++lLines;
        bLastEmpty = sLine.empty();
        if (lLines > std::numeric_limits<int32_t>::max()) {
            return -1;
        }
    }
    if (lLines > 0 && bLastEmpty) {
        --lLines;
    }
    lCount = static_cast<int32_t>(lLines);
    return 0;
}

int CsvFile::SetSeparators(const std::string& pcSeparators)
{
    m_pcSeparators = pcSeparators;
    m_lMode = 2;
    return 0;
}

int CsvFile::SetColumnBorders(int32_t lCount, const int32_t* plColumns)
{
    QASSERT(plColumns!=NULL);
    QASSERT(lCount>=0);
    m_plColumnBorders.assign(plColumns, plColumns + lCount);
    m_lMode = 1;
    return 0;
}

int CsvFile::ReadColumn(int32_t lNumberLines, int32_t lColumnIndex, int32_t lLinesToSkip, std::span<double> pfValues,
                         const std::string& pcFilePathAndName, bool bTreatAsOne) const
{
    QASSERT(lNumberLines>=0 && static_cast<std::size_t>(lNumberLines)<=pfValues.size());
    TextLineReader oReader;
    if (!oReader.Open(pcFilePathAndName)) {
        return -1;
    }
    SkipLines(oReader, lLinesToSkip);
    std::string sLine;
    for (int32_t i = 0; i < lNumberLines && oReader.ReadLine(sLine); ++i) {
        pfValues[static_cast<std::size_t>(i)] = ParseValue(sLine, lColumnIndex, bTreatAsOne);
    }
    return 0;
}

int CsvFile::ReadField(std::string& text, int32_t lColumnIndex, int32_t lLinesToSkip, bool bTreatAsOne,
                        const std::string& pcFilePathAndName) const
{
    TextLineReader oReader;
    if (!oReader.Open(pcFilePathAndName)) {
        return -1;
    }
    SkipLines(oReader, lLinesToSkip);
    std::string sLine;
    oReader.ReadLine(sLine);
    text.clear();
    ExtractField(sLine, lColumnIndex, bTreatAsOne, text);
    return 0;
}

void CsvFile::ExtractField(std::string pcRow, int32_t lColumnIndex, bool bTreatAsOne, std::string& cValue) const
{
    if (m_lMode == 1) {
        cValue.clear();
        const auto lBorders = static_cast<int64_t>(m_plColumnBorders.size());
        if (lColumnIndex < 0 || lColumnIndex + 1 >= lBorders) {
            return;
        }
        const int64_t lStart = m_plColumnBorders[static_cast<std::size_t>(lColumnIndex)];
        const int64_t lEnd = std::min<int64_t>(m_plColumnBorders[static_cast<std::size_t>(lColumnIndex) + 1],
                                               static_cast<int64_t>(pcRow.size()));
        if (lStart < 0 || lStart >= lEnd) {
            return;
        }
        cValue = pcRow.substr(static_cast<std::size_t>(lStart), static_cast<std::size_t>(lEnd - lStart));
    } else if (m_lMode == 2) {
        cValue.clear();
        if (lColumnIndex < 0) {
            return;
        }
        CollapseSeparators(bTreatAsOne, pcRow, m_pcSeparators);
        const int lStart = FindSeparator(lColumnIndex, pcRow, m_pcSeparators) + 1;
        const int lEnd = FindSeparator(lColumnIndex + 1, pcRow, m_pcSeparators);
        if (lStart < lEnd) {
            cValue = pcRow.substr(static_cast<std::size_t>(lStart), static_cast<std::size_t>(lEnd - lStart));
        }
    }
}

double CsvFile::ParseValue(const std::string& pcRow, int32_t lColumnIndex, bool bTreatAsOne) const
{
    std::string sField;
    ExtractField(pcRow, lColumnIndex, bTreatAsOne, sField);
    StringTools::ReplaceChar(sField, ',', '.');
    StringTools::KeepMaskRun(sField, kNumberMask);
    double fValue = 0.0;
    quandrel::ParseLeadingDouble(sField, fValue);
    return fValue;
}

int CsvFile::FindSeparator(int32_t n, const std::string& pcRow, const std::string& mask)
{
    if (n <= 0) {
        return -1;
    }
    int32_t lFound = 0;
    for (std::size_t i = 0; i < pcRow.size(); ++i) {
        if (StringTools::IsInMask(pcRow[i], mask) && ++lFound == n) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(pcRow.size());
}

void CsvFile::CollapseSeparators(bool bFlag, std::string& pcRow, const std::string& mask)
{
    if (!bFlag) {
        return;
    }
    std::string sCollapsed;
    sCollapsed.reserve(pcRow.size());
    for (const char c : pcRow) {
        if (!sCollapsed.empty() && sCollapsed.back() == c && StringTools::IsInMask(c, mask)) {
            continue;
        }
        sCollapsed.push_back(c);
    }
    pcRow = std::move(sCollapsed);
}

int CsvFile::WriteColumns(const std::string& sFilePathAndName, int32_t lRows, const std::string& sSeparator,
                           const std::vector<std::span<const double>>& vColumns)
{
    QASSERT(lRows>=0);
    for (const auto& vColumn : vColumns) {
        QASSERT(vColumn.size()>=static_cast<std::size_t>(lRows));
    }
    std::string sText;
    for (int32_t lRow = 0; lRow < lRows; ++lRow) {
        for (std::size_t lColumn = 0; lColumn < vColumns.size(); ++lColumn) {
            if (lColumn > 0) {
                sText += sSeparator;
            }
            sText += quandrel::FormatFixed(vColumns[lColumn][static_cast<std::size_t>(lRow)], 6);
        }
        sText += '\n';
    }
    return quandrel::WriteFileAtomically(sFilePathAndName, sText) ? 0 : -1;
}
