// The table of radial velocities: one row per spectrum and observation time,
// one measurement per identified line, columns named by the laboratory
// lines. It is the user's project: saved and reopened as a binary file,
// dumped and exported as text, and reduced to a Julian date / velocity
// curve for the orbit analysis. It carries the object's and observer's
// coordinates and the laboratory line table its columns refer to.
#pragma once

#include "astro/ObservationCoordinates.h"
#include "lines/LaboratoryLines.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class DataSeries;
class Spectrum;

// One line of one spectrum.
struct LineMeasurement {
    double fCenter1 = 0.0;
    double fCenter2 = 0.0;
    double fLaboratoryWavelength = 0.0;
    double fVelocity1 = 0.0; // km/s, corrected
    double fVelocity2 = 0.0; // km/s, corrected; only with bDouble
    // Their standard errors (km/s) from the line fit or the correlation; 0 when not known. The project
    // file keeps them to about 0.2 % between 1 m/s and 1000 km/s.
    double fVelocityError1 = 0.0;
    double fVelocityError2 = 0.0;
    int32_t lLaboratoryLineIndex = 0;
    bool bDouble = false;
};

// One spectrum: its measurements, observation time and key (sum of its intensities).
struct MeasurementRow {
    std::vector<LineMeasurement> measurements;
    double fJulianDate = 0.0;
    double fSpectrumKey = 0.0;
    // The correction its velocities got. Rows of files that do not record it count as classic.
    CorrectionKind eCorrection = CorrectionKind::kHeliocentric;
    // Written by this program with its correction and errors; a row of an older file is written back
    // as it was read.
    bool bRecorded = true;
    // The data set (observer, instrument) it belongs to; empty when none is named.
    std::string sDataSet;
    int32_t Count() const { return static_cast<int32_t>(measurements.size()); }
};

// The velocity of a row: the mean of its first velocities, weighted by their errors when every one has
// an error (then with the error of that mean, see WeightedMeanVelocity); the plain mean otherwise.
struct RowVelocity {
    double fMean = 0.0;
    std::optional<double> oError;
};
RowVelocity VelocityOfRow(const MeasurementRow& oRow);

class RvTable {
public:
    // The object's and the observer's coordinates the measurements are corrected with (saved with the
    // project).
    const ObservationCoordinates& Coordinates() const { return m_oCoordinates; }
    ObservationCoordinates& Coordinates() { return m_oCoordinates; }

    // The project file begins with these 23 bytes.
    static constexpr const char* kMagic = "Quandrel matrix file1.2";

    LaboratoryLines& LaboratoryLineTable() { return m_oLaboratoryLines; }
    const LaboratoryLines& LaboratoryLineTable() const { return m_oLaboratoryLines; }

    // The spectrum's row from its identified lines (replacing an earlier row of the same spectrum).
    void AddSpectrumRow(const Spectrum* pSpectrum);
    // A row with one measurement of the given velocity (and its error, 0 when not known), in the column
    // of laboratory index 0.
    void AddVelocity(const Spectrum* pSpectrum, double fVelocity, double fError = 0.0);
    bool ContainsSpectrum(const Spectrum* pSpectrum) const;
    // The row of the spectrum (found by its key), if it has one.
    std::optional<int32_t> RowOf(const Spectrum* pSpectrum) const;
    void RemoveSpectrumRow(const Spectrum* pSpectrum);

    // Row r; false (nothing changes) when there is no such row.
    bool RemoveRow(int32_t r);
    // The data set of row r (blanks at the ends taken off, at most 64 characters); false when there is no
    // such row.
    bool SetRowDataSet(int32_t r, const std::string& sDataSet);
    void ClearColumn(int32_t c);
    void ClearCell(int32_t r, int32_t c);
    void ClearRows();
    // The rows as they were before (a change undone), with their saved state.
    void RestoreRows(std::vector<MeasurementRow> vRows, bool bSaved)
    {
        m_vMeasurementRow = std::move(vRows);
        m_bIsSaved = bSaved;
    }

    void GetDimensions(int32_t& lRows, int32_t& lColumns) const;
    // max - min + 1 of the laboratory indices in use (min 0, max -1 without measurements).
    int32_t GetLaboratoryLineRange(int32_t& lMin, int32_t& lMax) const;
    bool IsLaboratoryLineUsed(int32_t lIndex) const;
    // The laboratory index of column c, or -1.
    int32_t ColumnIndex(int32_t c) const;
    // The laboratory indices of all columns, in the order of the columns (one pass over the rows).
    std::vector<int32_t> ColumnIndices() const { return UsedIndices(); }
    // "%6.2f" or "%6.2f/%6.2f" of the row's measurement in column c; empty (bFilled false) without one.
    void GetCellText(int32_t r, int32_t c, std::string& cValue, bool& bRowExists, bool& bFilled) const;
    // The same for row r (which must exist) and the column of laboratory index lIndex.
    std::string CellText(int32_t r, int32_t lIndex) const;
    double GetRowJulianDate(int32_t r) const;
    const std::vector<MeasurementRow>& Rows() const { return m_vMeasurementRow; }
    // One pair per row with measurements: Julian date and its velocity (VelocityOfRow). pvSigma, when
    // given, gets the velocities' errors when every row has one, and is left empty otherwise; pvDataSet
    // the rows' data sets.
    void GetRVCurve(DataSeries& oCurve, std::vector<double>* pvSigma = nullptr,
                    std::vector<std::string>* pvDataSet = nullptr) const;
    // The correction every row got, when they agree (none for an empty or a mixed table).
    std::optional<CorrectionKind> RowsCorrection() const;
    bool IsSaved() const { return m_bIsSaved; }

    // The binary project file. Saving writes a new file beside the old one
    // and replaces it only when complete; false when that fails.
    bool SaveToFile(const std::string& sPath);
    // False when the file cannot be read or is no intact project; then nothing changes. pbFormatError
    // is set for a file that is no intact project; psReason, when given, says in a sentence why it
    // could not be loaded.
    bool LoadFromFile(const std::string& sPath, bool* pbFormatError = nullptr, std::string* psReason = nullptr);
    // Fixed-width text of all measurements; false when the file cannot be written.
    bool DumpToFile(const std::string& sPath) const;
    // Averaged velocities per group of rows within fThreshold days of the
    // group's first row; false when the file cannot be written.
    bool ExportResults(double fThreshold, const std::string& sPath) const;

    // Julian date / velocity pairs from the lines of a text file that start with two numbers (';', TAB
    // or spaces between them, runs counting as one, ',' read as '.'); other lines (comments, headers,
    // blank lines) are skipped. A third number on every line is the velocity's uncertainty (km/s), given
    // in pvSigma (empty when no line has one). False when the file cannot be read or is larger than
    // 256 MiB, and when some lines give an uncertainty but one is missing or not a positive number:
    // psProblem then names that line. A fourth and last field that is no number names the line's data
    // set (observer, instrument; no blanks), given in pvDataSet in the order of the curve (empty when no
    // line names one).
    static bool ImportMeasurements(const std::string& sPath, DataSeries& oCurve,
                                   std::vector<double>* pvSigma = nullptr, std::string* psProblem = nullptr,
                                   std::vector<std::string>* pvDataSet = nullptr);

private:
    void InsertRow(MeasurementRow oRow);
    std::vector<int32_t> UsedIndices() const;
    std::string ProjectBytes() const;
    bool ParseProject(const std::string& sBytes);

    ObservationCoordinates m_oCoordinates;
    LaboratoryLines m_oLaboratoryLines;
    std::vector<MeasurementRow> m_vMeasurementRow;
    bool m_bIsSaved = true;
};
