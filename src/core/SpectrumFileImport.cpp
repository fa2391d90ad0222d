#include "SpectrumFileImport.h"

#include "ByteOrderMark.h"
#include "LargeArray.h"
#include "NumberText.h"
#include "TextLineReader.h"
#include "WavelengthUnits.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

std::string BuildSeparatorString(bool bSemicolon, bool bComma, bool bSpace, bool bOthers, const std::string& sOthers,
                                 bool bTabulator)
{
    std::string sSeparators;
    if (bSemicolon) {
        sSeparators += ';';
    }
    if (bComma) {
        sSeparators += ',';
    }
    if (bSpace) {
        sSeparators += ' ';
    }
    if (bOthers) {
        sSeparators += sOthers;
    }
    if (bTabulator) {
        sSeparators += '\t';
    }
    return sSeparators;
}

int32_t CountLeadingTextLines(const std::string& sFilePathAndName, int32_t lMaxLines)
{
    constexpr std::size_t kMaxBytes = std::size_t{1} << 20;
    std::error_code oError;
    if (!std::filesystem::is_regular_file(sFilePathAndName, oError)) {
        // A pipe would block the opening, a device read without end.
        return 0;
    }
    std::ifstream oFile(sFilePathAndName, std::ios::binary);
    int32_t lCount = 0;
    bool bLineStart = true;
    bool bComment = false;
    bool bDigit = false;
    std::size_t lBytes = 0;
    for (char c = 0; lCount < lMaxLines && lBytes < kMaxBytes && oFile.get(c); ++lBytes) {
        if (lBytes < 3 && static_cast<unsigned char>(c) == static_cast<unsigned char>("\xEF\xBB\xBF"[lBytes]) &&
            bLineStart) {
            continue; // a byte-order mark is no character of the first line
        }
        if (bLineStart) {
            bComment = c == '#';
            bDigit = false;
            bLineStart = false;
        }
        if (c == '\n') {
            if (bDigit && !bComment) {
                return lCount;
            }
            ++lCount;
            bLineStart = true;
        } else if (c >= '0' && c <= '9') {
            bDigit = true;
        }
    }
    return lCount;
}

std::optional<bool> LooksSingleColumn(const std::string& sFilePathAndName, const ImportSettings& oSettings)
{
    TextLineReader oReader;
    if (!oSettings.bUseDelimiters || oSettings.sSeparators.empty() || !oReader.Open(sFilePathAndName)) {
        return std::nullopt;
    }
    std::string sLine;
    for (int32_t i = 0; i < oSettings.lLinesToSkip && oReader.ReadLine(sLine); ++i) {
    }
    std::optional<bool> oSingle;
    // The first twenty lines with a digit, at most a thousand lines read.
    for (int lLines = 0, lData = 0; lData < 20 && lLines < 1000 && oReader.ReadLine(sLine); ++lLines) {
        int lFields = 0;
        bool bDigit = false;
        bool bPlain = true; // the fields hold nothing but numbers (no other separator among them)
        for (const char c : sLine) {
            if (oSettings.sSeparators.find(c) != std::string::npos || c == '\n' || c == '\r') {
                lFields += bDigit ? 1 : 0;
                bDigit = false;
            } else if (c >= '0' && c <= '9') {
                bDigit = true;
            } else if (std::string_view("+-.,eE").find(c) == std::string_view::npos) {
                bPlain = false;
            }
        }
        lFields += bDigit ? 1 : 0;
        if (lFields == 0) {
            continue;
        }
        ++lData;
        // One number a line says single column only where nothing else stands beside it.
        if (lFields == 1 && !bPlain) {
            return std::nullopt;
        }
        if (oSingle && *oSingle != (lFields == 1)) {
            return std::nullopt;
        }
        oSingle = lFields == 1;
    }
    return oSingle;
}

int32_t LinesToSkipAtLeastHeaders(const std::string& sFilePathAndName, int32_t lLinesToSkip)
{
    return std::max(lLinesToSkip, CountLeadingTextLines(sFilePathAndName));
}

namespace {

// A set of bytes to search text for: sixteen bytes at a time for a set of up to four (the separators
// of nearly every setting, and line feed, CR and NUL), one at a time for any other.
class ByteSet {
public:
    explicit ByteSet(std::string_view sBytes)
    {
        for (const char c : sBytes) {
            m_abMember[static_cast<unsigned char>(c)] = true;
        }
        std::string sDistinct;
        for (int c = 0; c < 256; ++c) {
            if (m_abMember[static_cast<std::size_t>(c)]) {
                sDistinct += static_cast<char>(c);
            }
        }
#if defined(__SSE2__)
        m_bWide = !sDistinct.empty() && sDistinct.size() <= std::size(m_aoWide);
        for (std::size_t k = 0; m_bWide && k < std::size(m_aoWide); ++k) {
            // Unused places repeat the first member.
            m_aoWide[k] = _mm_set1_epi8(sDistinct[k < sDistinct.size() ? k : 0]);
        }
#endif
    }

    // The position of the first member in [pc, pc + lCount); lCount when there is none.
    std::size_t Find(const char* pc, std::size_t lCount) const
    {
        std::size_t i = 0;
#if defined(__SSE2__)
        if (m_bWide) {
            for (; i + 16 <= lCount; i += 16) {
                const __m128i oBytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pc + i));
                const __m128i oHits =
                    _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(oBytes, m_aoWide[0]), _mm_cmpeq_epi8(oBytes, m_aoWide[1])),
                                 _mm_or_si128(_mm_cmpeq_epi8(oBytes, m_aoWide[2]), _mm_cmpeq_epi8(oBytes, m_aoWide[3])));
                const int lMask = _mm_movemask_epi8(oHits);
                if (lMask != 0) {
                    return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(lMask)));
                }
            }
        }
#endif
        while (i < lCount && !m_abMember[static_cast<unsigned char>(pc[i])]) {
            ++i;
        }
        return i;
    }

private:
    std::array<bool, 256> m_abMember{};
#if defined(__SSE2__)
    bool m_bWide = false;
    __m128i m_aoWide[4] = {};
#endif
};

// The file in the lines the program's line reader delivers (whole lines, however long; a byte-order
// mark at the start skipped; CR LF read as LF; nothing kept after a NUL byte), read once in large blocks.
class PieceReader {
public:
    bool Open(const std::string& sPath)
    {
        std::error_code oError;
        if (!std::filesystem::is_regular_file(sPath, oError)) {
            return false;
        }
        const std::uintmax_t lBytes = std::filesystem::file_size(sPath, oError);
        if (oError || lBytes > TextLineReader::kMaxFileBytes) {
            return false;
        }
        m_pFile.reset(std::fopen(sPath.c_str(), "rb"));
        // A block of the file's size for a small file (one that grows while it is read is read on in such
        // blocks), never filled with zeros first. A block stays in the cache while it is parsed.
        m_lSize = static_cast<std::size_t>(std::clamp<std::uintmax_t>(lBytes + 1, kMinBlockBytes, kBlockBytes));
        m_pBuffer = std::make_unique_for_overwrite<char[]>(m_lSize);
        if (m_pFile == nullptr) {
            return false;
        }
        Refill();
        m_lPos += quandrel::ByteOrderMarkLength(std::string_view(m_pBuffer.get(), m_lEnd));
        return true;
    }

    // The next line; false at the end of the file. The view lasts until the next call; it is into
    // the block itself for the common line (without its line feed then, which no field needs) and into
    // sScratch for any other.
    bool Next(std::string& sScratch, std::string_view& sPiece)
    {
        // The common line fits in what is at hand, and a CR needs the byte after it.
        if (m_lEnd - m_lPos < kMinBlockBytes / 2) {
            Refill();
        }
        if (m_lPos == m_lEnd) {
            sPiece = std::string_view();
            return false;
        }
        const char* pcStart = m_pBuffer.get() + m_lPos;
        const std::size_t lAvailable = m_lEnd - m_lPos;
        // The common line: a line feed within the bytes at hand, no NUL, no CR but one before the line feed.
        const std::size_t lText = kSpecial.Find(pcStart, lAvailable);
        if (lText < lAvailable && (pcStart[lText] == '\n' ||
                                   (pcStart[lText] == '\r' && lText + 1 < lAvailable && pcStart[lText + 1] == '\n'))) {
            sPiece = std::string_view(pcStart, lText);
            m_lPos += lText + (pcStart[lText] == '\n' ? 1 : 2);
            return true;
        }
        std::string& sText = sScratch;
        sText.clear();
        // Anything else character by character, as the line reader takes it, across as many blocks as
        // the line takes.
        bool bAfterNul = false;
        bool bFeed = false;
        while (!bFeed && (m_lPos < m_lEnd || (Refill(), m_lPos < m_lEnd))) {
            char c = m_pBuffer[m_lPos++];
            if (c == '\r' && (m_lPos < m_lEnd || (Refill(), m_lPos < m_lEnd)) && m_pBuffer[m_lPos] == '\n') {
                ++m_lPos;
                c = '\n';
            }
            bAfterNul = bAfterNul || c == '\0';
            if (!bAfterNul) {
                sText.push_back(c);
            }
            bFeed = c == '\n';
        }
        sPiece = sText;
        // A last line the end of the file cut short with nothing kept of it (it began with a NUL byte)
        // is no line.
        return !(sText.empty() && !bFeed);
    }

    // The bytes read so far and the size of the file, for an estimate of the samples to come.
    std::size_t BytesTaken() const { return m_lTaken - (m_lEnd - m_lPos); }

private:
    static constexpr std::size_t kMinBlockBytes = 4096;
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 18;
    // The bytes that end the common line or take it off the fast way: line feed, CR and NUL.
    inline static const ByteSet kSpecial{std::string_view("\n\r\0", 3)};

    void Refill()
    {
        std::memmove(m_pBuffer.get(), m_pBuffer.get() + m_lPos, m_lEnd - m_lPos);
        m_lEnd -= m_lPos;
        m_lPos = 0;
        if (m_pFile) {
            const std::size_t lRead = std::fread(m_pBuffer.get() + m_lEnd, 1, m_lSize - m_lEnd, m_pFile.get());
            m_lEnd += lRead;
            m_lTaken += lRead;
        }
    }

    quandrel::UniqueFile m_pFile;
    std::unique_ptr<char[]> m_pBuffer;
    std::size_t m_lSize = 0;
    std::size_t m_lPos = 0;
    std::size_t m_lEnd = 0;
    std::size_t m_lTaken = 0;
};

// How the fields of a piece are cut: at separator characters (runs of one and the same separator
// counting as one when asked) or at fixed character positions.
class FieldCutter {
public:
    explicit FieldCutter(const ImportSettings& oSettings)
        : m_bFixed(!oSettings.bUseDelimiters), m_bCollapse(oSettings.bTreatConsecutiveAsOne),
          m_oSeparators(oSettings.sSeparators)
    {
        const std::array<int32_t, 3> alBorders = FixedColumnBorders(oSettings);
        std::copy(alBorders.begin(), alBorders.end(), m_alBorders.begin());
    }

    // The text of column 0 and column 1 of a piece.
    void Cut(std::string_view sRow, std::string_view& sField0, std::string_view& sField1) const
    {
        if (m_bFixed) {
            sField0 = Fixed(sRow, 0);
            sField1 = Fixed(sRow, 1);
            return;
        }
        // The first two separators (starts of separator runs) and where the runs end.
        std::size_t alSeparator[2] = {sRow.size(), sRow.size()};
        std::size_t alAfter[2] = {sRow.size(), sRow.size()};
        std::size_t i = 0;
        for (int lFound = 0; lFound < 2; ++lFound, ++i) {
            i += m_oSeparators.Find(sRow.data() + i, sRow.size() - i);
            if (i >= sRow.size()) {
                break;
            }
            alSeparator[lFound] = i;
            if (m_bCollapse) {
                while (i + 1 < sRow.size() && sRow[i + 1] == sRow[alSeparator[lFound]]) {
                    ++i;
                }
            }
            alAfter[lFound] = i + 1;
        }
        sField0 = sRow.substr(0, alSeparator[0]);
        sField1 = alAfter[0] < alSeparator[1] ? sRow.substr(alAfter[0], alSeparator[1] - alAfter[0]) : std::string_view();
    }

private:
    std::string_view Fixed(std::string_view sRow, std::size_t lColumn) const
    {
        const int64_t lStart = m_alBorders[lColumn];
        const int64_t lEnd = std::min<int64_t>(m_alBorders[lColumn + 1], static_cast<int64_t>(sRow.size()));
        if (lStart < 0 || lStart >= lEnd) {
            return std::string_view();
        }
        return sRow.substr(static_cast<std::size_t>(lStart), static_cast<std::size_t>(lEnd - lStart));
    }

    bool m_bFixed;
    bool m_bCollapse;
    ByteSet m_oSeparators;
    std::array<int64_t, 3> m_alBorders{};
};

// The number at the start of a run of number characters as quandrel::ParseLeadingDouble reads it
// (a '+' is taken when no second sign follows; a magnitude beyond the double range is none), here
// where the call is inlined into the loop over a million lines; 0 when there is none.
inline double LeadingNumber(const char* pcBegin, const char* pcEnd)
{
    if (pcBegin != pcEnd && *pcBegin == '+') {
        ++pcBegin;
        if (pcBegin != pcEnd && (*pcBegin == '+' || *pcBegin == '-')) {
            return 0.0;
        }
    }
    double fValue = 0.0;
    const auto oResult = std::from_chars(pcBegin, pcEnd, fValue, std::chars_format::general);
    return oResult.ec == std::errc() && std::isfinite(fValue) ? fValue : 0.0;
}

// The common field: a plain decimal number ("-12.5", "6562.8123") from its first character to its end
// or to a character that is no number character, with at most 15 significant digits. Its value is
// then an exact integer divided by an exact power of ten, and that one division rounds as the
// conversion of the whole text does. False for anything else.
inline bool PlainDecimal(std::string_view sField, bool (*IsNumberChar)(char), double& fValue)
{
    static constexpr std::array<double, 16> kPowers = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    const bool bNegative = !sField.empty() && sField[0] == '-';
    i += bNegative ? 1 : 0;
    uint64_t lMantissa = 0;
    int lDigits = 0;
    int lDecimals = 0;
    for (; i < sField.size() && sField[i] >= '0' && sField[i] <= '9'; ++i, ++lDigits) {
        lMantissa = lMantissa * 10 + static_cast<uint64_t>(sField[i] - '0');
    }
    if (i < sField.size() && sField[i] == '.') {
        for (++i; i < sField.size() && sField[i] >= '0' && sField[i] <= '9'; ++i, ++lDigits, ++lDecimals) {
            lMantissa = lMantissa * 10 + static_cast<uint64_t>(sField[i] - '0');
        }
    }
    if (lDigits == 0 || lDigits > 15 || (i < sField.size() && IsNumberChar(sField[i]))) {
        return false;
    }
    const double fMagnitude = static_cast<double>(lMantissa) / kPowers[static_cast<std::size_t>(lDecimals)];
    fValue = bNegative ? -fMagnitude : fMagnitude;
    return true;
}

// The number of a field: ',' reads as '.', the first run of number characters is converted, and
// anything unusable gives 0.
double FieldValue(std::string_view sField)
{
    // 1: a number character, 2: the comma among them.
    static constexpr auto kClass = [] {
        std::array<unsigned char, 256> ac{};
        for (const char c : std::string_view("0123456789+-Ee.")) {
            ac[static_cast<unsigned char>(c)] = 1;
        }
        ac[static_cast<unsigned char>(',')] = 2;
        return ac;
    }();
    const auto Class = [](char c) { return kClass[static_cast<unsigned char>(c)]; };
    double fPlain = 0.0;
    if (PlainDecimal(sField, [](char c) { return kClass[static_cast<unsigned char>(c)] != 0; }, fPlain)) {
        return fPlain;
    }
    std::size_t lFirst = 0;
    while (lFirst < sField.size() && Class(sField[lFirst]) == 0) {
        ++lFirst;
    }
    std::size_t lEnd = lFirst;
    bool bComma = false;
    while (lEnd < sField.size() && Class(sField[lEnd]) != 0) {
        bComma = bComma || Class(sField[lEnd]) == 2;
        ++lEnd;
    }
    if (!bComma) {
        return LeadingNumber(sField.data() + lFirst, sField.data() + lEnd);
    }
    std::string sRun(sField.substr(lFirst, lEnd - lFirst));
    std::replace(sRun.begin(), sRun.end(), ',', '.');
    return LeadingNumber(sRun.data(), sRun.data() + sRun.size());
}

// The samples of the pieces from the reader's position to its end; fExpectedBytes, the size of what
// is still to come, gives the room kept in the arrays. In one-column files the wavelength is the
// line's number counted from the first piece read here.
void ReadSamples(PieceReader& oPieces, const FieldCutter& oCutter, bool bSingleColumn, double fExpectedBytes,
                 std::vector<double>& vWavelength, std::vector<double>& vIntensity)
{
    std::string sScratch;
    std::string_view sPiece;
    std::string_view sField0;
    std::string_view sField1;
    const std::size_t lStart = oPieces.BytesTaken();
    while (oPieces.Next(sScratch, sPiece)) {
        if (vWavelength.size() == vWavelength.capacity() && vWavelength.size() >= 1024) {
            // Room for what the rest holds at the line length seen so far, and a little more.
            const auto fTaken = static_cast<double>(oPieces.BytesTaken() - lStart);
            const double fPerLine = fTaken / static_cast<double>(vWavelength.size());
            const auto lMore =
                static_cast<std::size_t>(std::max(0.0, fExpectedBytes - fTaken) / std::max(fPerLine, 1.0) * 1.05) + 1024;
            vWavelength.reserve(vWavelength.size() + lMore);
            vIntensity.reserve(vWavelength.size() + lMore);
            quandrel::MakeCapacityResident(vWavelength);
            quandrel::MakeCapacityResident(vIntensity);
        }
        oCutter.Cut(sPiece, sField0, sField1);
        if (bSingleColumn) {
            vWavelength.push_back(static_cast<double>(vWavelength.size()));
            vIntensity.push_back(FieldValue(sField0));
        } else {
            vWavelength.push_back(FieldValue(sField0));
            vIntensity.push_back(FieldValue(sField1));
        }
    }
}

} // namespace

std::array<int32_t, 3> FixedColumnBorders(const ImportSettings& oSettings)
{
    const int64_t lEnd2 = static_cast<int64_t>(oSettings.lStartValue2) + kValue2Chars;
    return {oSettings.lStartValue1, oSettings.lStartValue2, static_cast<int32_t>(std::min<int64_t>(lEnd2, INT32_MAX))};
}

void SetFieldCutting(CsvFile& oReader, const ImportSettings& oSettings)
{
    if (oSettings.bUseDelimiters) {
        oReader.SetSeparators(oSettings.sSeparators);
    } else {
        const std::array<int32_t, 3> alBorders = FixedColumnBorders(oSettings);
        oReader.SetColumnBorders(static_cast<int32_t>(alBorders.size()), alBorders.data());
    }
}

int SpectrumFileImport(CsvFile& oReader, const std::string& sFilePathAndName, const ImportSettings& oSettings,
                       std::vector<double>& vWavelength, std::vector<double>& vIntensity)
{
    vWavelength.clear();
    vIntensity.clear();
    // The reader keeps the cutting for the callers that read single fields afterwards.
    SetFieldCutting(oReader, oSettings);
    PieceReader oPieces;
    if (!oPieces.Open(sFilePathAndName)) {
        return -1;
    }
    {
        std::string sScratch;
        std::string_view sPiece;
        for (int32_t i = 0; i < oSettings.lLinesToSkip && oPieces.Next(sScratch, sPiece); ++i) {
        }
    }
    const FieldCutter oCutter(oSettings);
    std::error_code oError;
    const std::uintmax_t lSize = std::filesystem::file_size(sFilePathAndName, oError);
    // The bytes still to read, as far as the size tells (a file may grow while it is read).
    const std::size_t lFirst = oPieces.BytesTaken();
    const double fRest = oError || lSize < lFirst ? 0.0 : static_cast<double>(lSize - lFirst);
    ReadSamples(oPieces, oCutter, oSettings.bSingleColumn, fRest, vWavelength, vIntensity);
    if (oSettings.bAutomNmConversion && !oSettings.bSingleColumn && !vWavelength.empty() &&
        WavelengthUnits::IsNanometer(vWavelength.front())) {
        WavelengthUnits::ConvertNmToAngstrom(vWavelength.data(), static_cast<int32_t>(vWavelength.size()));
    }
    return 0;
}
