// Reading a spectrum text file with the import filter settings: the one
// import used by the import dialog and by the command line.
#pragma once

#include "CsvFile.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The import filter settings.
// Which spectrum of a file that holds several (the orders of an echelle file, beside a merged one):
// an order number, or an HDU by its name; neither: the merged spectrum, or the only one.
struct SpectrumChoice {
    std::optional<int> oOrder;
    std::string sHdu;
    bool IsMade() const { return oOrder.has_value() || !sHdu.empty(); }
};

struct ImportSettings {
    int32_t lLinesToSkip = 0;
    bool bUseDelimiters = true;         // false: fixed columns
    std::string sSeparators = ";\t";    // each character separates fields
    bool bTreatConsecutiveAsOne = false;
    int32_t lStartValue1 = 0;           // fixed columns: first character of value 1
    int32_t lStartValue2 = 5;           // fixed columns: first character of value 2 (it spans 20)
    bool bSingleColumn = false;         // intensities only; wavelength = line number from 0
    bool bAutomNmConversion = true;     // a first wavelength below 2500 means nm: all times 10
    SpectrumChoice oChoice;             // FITS files: which of several spectra
};

// Characters of value 2 in fixed column mode.
constexpr int32_t kValue2Chars = 20;

// The separator string of the dialog's check boxes, in the order ";", ",",
// " ", the others text, TAB.
std::string BuildSeparatorString(bool bSemicolon, bool bComma, bool bSpace, bool bOthers, const std::string& sOthers,
                                 bool bTabulator);

// The number of lines at the head of a file that hold no number (no decimal digit) or start with
// '#': headers and comments, which read as data would give a sample (0, 0) and turn the file into
// nanometres. Looks at most at lMaxLines lines and the first MiB; 0 when the file cannot be read.
int32_t CountLeadingTextLines(const std::string& sFilePathAndName, int32_t lMaxLines = 1000);

// The lines to skip at the head of a file when lLinesToSkip were asked for: at least its header lines.
// Whether the first data lines of the file (after lLinesToSkip lines) hold one number each (true) or
// two or more (false), cut at the separators of oSettings; nothing when they do not agree or the file
// shows no data line.
std::optional<bool> LooksSingleColumn(const std::string& sFilePathAndName, const ImportSettings& oSettings);

int32_t LinesToSkipAtLeastHeaders(const std::string& sFilePathAndName, int32_t lLinesToSkip);

// The character positions that cut the fixed columns: value 1 from its start, value 2 from its start
// for 20 characters.
std::array<int32_t, 3> FixedColumnBorders(const ImportSettings& oSettings);

// Makes the reader cut fields as the settings say: at the separators or at the fixed columns.
void SetFieldCutting(CsvFile& oReader, const ImportSettings& oSettings);

// Reads the file into vWavelength and vIntensity (one entry per data line).
// Returns -1 if the file cannot be read (both left empty), else 0.
int SpectrumFileImport(CsvFile& oReader, const std::string& sFilePathAndName, const ImportSettings& oSettings,
                       std::vector<double>& vWavelength, std::vector<double>& vIntensity);
