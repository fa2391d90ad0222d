// Line-oriented reader of text tables (fields cut at separator characters or
// at fixed character positions) and writer of columns of numbers. Every file
// operation opens the file, works and closes it again.
#pragma once

#include "StringTools.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CsvFile {
public:
    // The characters a number field may consist of.
    static constexpr const char* kNumberMask = "0123456789+-Ee.";

    CsvFile() = default;

    // Number of data lines after lLinesToSkip lines: every line feed ends a
    // line, a last line without line feed counts too, an empty file has 0.
    // Returns -1 if the file cannot be read (or holds more lines than a
    // spectrum can), else 0.
    int CountLines(int32_t lLinesToSkip, const std::string& FilePathAndName, int32_t& lCount) const;

    // Fields are cut at any of these characters from now on (mode 2).
    int SetSeparators(const std::string& pcSeparators);

    // Fields are cut at these start positions from now on (mode 1); border
    // k + 1 is one past the end of column k.
    int SetColumnBorders(int32_t lCount, const int32_t* plColumns);

    // Parses column lColumnIndex of up to lNumberLines lines after the skipped
    // ones into pfValues[0 ..]. Returns -1 if the file cannot be read, else 0.
    int ReadColumn(int32_t lNumberLines, int32_t lColumnIndex, int32_t lLinesToSkip, std::span<double> pfValues,
                   const std::string& pcFilePathAndName, bool bTreatAsOne) const;

    // The text of column lColumnIndex of the first line after the skipped
    // ones (empty when the file ends before). Returns -1 if the file cannot be
    // read, else 0.
    int ReadField(std::string& text, int32_t lColumnIndex, int32_t lLinesToSkip, bool bTreatAsOne,
                  const std::string& pcFilePathAndName) const;

    // The text of column lColumnIndex of one line; untouched while neither
    // separators nor borders are set.
    void ExtractField(std::string pcRow, int32_t lColumnIndex, bool bTreatAsOne, std::string& cValue) const;

    // The number in column lColumnIndex of one line: ',' reads as '.', the
    // first run of number characters is converted, anything unusable gives 0.
    double ParseValue(const std::string& pcRow, int32_t lColumnIndex, bool bTreatAsOne) const;

    // -1 for n = 0, else the index of the n-th mask character of the row, or
    // the row length when it has fewer.
    static int FindSeparator(int32_t n, const std::string& pcRow, const std::string& mask);

    // With bFlag set, runs of one and the same mask character shrink to one.
    static void CollapseSeparators(bool bFlag, std::string& pcRow, const std::string& mask);

    // Writes lRows rows; each row holds the values of every column ("%f"),
    // joined by sSeparator and ended by "\n". Returns -1 if the file cannot be
    // written completely, else 0.
    static int WriteColumns(const std::string& sFilePathAndName, int32_t lRows, const std::string& sSeparator,
                            const std::vector<std::span<const double>>& vColumns);

    int32_t GetMode() const { return m_lMode; }

private:
    std::string m_pcSeparators;
    std::vector<int32_t> m_plColumnBorders;
    int32_t m_lMode = 0; // 0: nothing set, 1: fixed columns, 2: separators
};
