// A table of named laboratory ("inertial") wavelengths read from a text file
// of "name;wavelength" lines. The program holds two: the laboratory lines of
// stellar spectra and the calibration reference lines of lamp spectra.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class BinaryReader;
class BinaryWriter;

class LaboratoryLines {
public:
    // Names and the file name keep at most this many characters.
    static constexpr std::size_t kMaxNameLength = 31;

    // Reads the file (fields separated by ';' or TAB: name, wavelength; a
    // first wavelength below 2500 means nm, all are then converted to
    // angstrom). False, with an empty table, when the file cannot be read or
    // holds no line.
    bool Load(const std::string& cFileName);

    // The laboratory line nearest to fWavelength (the earlier one on a tie); false for an empty table.
    bool FindNearestLine(double fWavelength, int32_t& lIndex, double& fLaboratoryWavelength,
                         std::string* cLineName) const;
    // Line Index; false for an empty table.
    bool GetLine(int32_t Index, double& fLaboratoryWavelength, std::string* cLineName) const;

    int32_t GetLineCount() const { return m_lNumberSpectralLines; }

    // The name of the loaded file without its directory.
    void SetFileName(const std::string& cFileName);
    const std::string& GetFileName() const { return m_cFileName; }

    // The table's block of the project file.
    void WriteBlock(BinaryWriter& oWriter) const;
    // Replaces the table by a block; false, leaving the table as it was, when
    // the block is damaged or ends early.
    bool ReadBlock(BinaryReader& oReader);

private:
    int32_t m_lNumberSpectralLines = 0;
    std::vector<std::string> m_asSpectralLineName;
    std::vector<double> m_afLaboratoryWavelength;
    std::string m_cFileName;
};
