// The program's settings file, reached through one table of sections, keys and defaults and read
// and written through typed functions, so every setting has one name and one default.
#pragma once

#include "core/IniFile.h"
#include "core/SpectrumFileImport.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Every setting of the file.
enum class Setting {
    FormTop, FormLeft, FormHeight, FormWidth, FormSplitter,
    WidthIndex, WidthMaximum, SensitivityIndex,
    KeepYAxisFixed,
    TimeThreshold, DefTimeZone, OtherTimeZone, UseJulianDate,
    LongitudeDegrees, LongitudeMinutes, LatitudeDegrees, LatitudeMinutes,
    PeriodMin, PeriodMax,
    EccentricityMin, EccentricityMax, OmegaMin, OmegaMax, A1SinIMin, A1SinIMax,
    PSteps, T0Steps, ESteps, OmegaSteps, A1SinISteps, GammaSteps,
    PolynomialOrder, UsePolynomialRegression,
    ImportUseDelimiters, ImportSingleColumn, ImportNmConversion, ImportLinesToSkip, ImportUseTab, ImportUseSemicolon,
    ImportUseComma, ImportUseSpace, ImportUseOther, ImportOtherString, ImportTreatConsecutiveAsOne,
    ImportStartValue1, ImportNumberChars1, ImportStartValue2, ImportNumberChars2,
    SpectraPath, BitmapPath, TablePath, TableDumpPath, ExportPath, ElementsExportPath, ImportRVPath,
    LaboratoryLinesFilePath, CalibrationFilePath, CorrelationTemplatePath, CorrelationParametersPath,
    IdentifyAllVelocity, MinDepthSigma, LampLineTolerance, TemplateVelocity,
    ObserverName, InstrumentName, SiteName, PreciseCorrection, OrbitTimeScale,
    Count
};

struct SettingKey {
    const char* pcSection;
    const char* pcKey;
    const char* pcDefault;
};

// The observer's site: longitude (positive west) and latitude in degrees and minutes.
struct GeographicSite {
    double fLongitudeDegrees = 9.0;
    double fLongitudeMinutes = 0.0;
    double fLatitudeDegrees = 52.0;
    double fLatitudeMinutes = 0.0;
};

// Who observes, with what and where, as written into the FITS headers the program saves.
struct ObserverIdentity {
    std::string sObserver;
    std::string sInstrument;
    std::string sSite;
};

// A time zone offset in hours the program accepts: whole, half or quarter hours from -12 to +14.
inline bool IsZoneOffset(double fHours)
{
    return fHours >= -12.0 && fHours <= 14.0 && fHours * 4.0 == static_cast<double>(static_cast<int>(fHours * 4.0));
}

// The time zone the time dialogs start with: 0 UT, 1 MET, 2 MEST, 3 another of OtherHours (whole,
// half or quarter hours).
struct TimeZoneSetting {
    int lZone = 1;
    double fOtherHours = 0.0;
    bool bUseJulianDate = false;
};

// What the orbit ranges dialog keeps between runs: e, omega and a1 sin i limits and the steps.
struct OrbitRangeSetting {
    double fEccentricityMin = 0.0;
    double fEccentricityMax = 0.9;
    double fOmegaMin = 0.0;
    double fOmegaMax = 360.0;
    double fA1SinIMin = 1000.0;
    double fA1SinIMax = 1e10;
    std::array<int32_t, 6> alSteps{10, 10, 10, 10, 10, 10};
};

class SettingsGateway {
public:
    // Without a file name (the command line) every setting reads its default and nothing is written.
    explicit SettingsGateway(std::string sFile) : m_oFile(std::move(sFile)) {}

    // The section, key and default text of a setting.
    static const SettingKey& Key(Setting eSetting);

    // The raw file, for the dialogs that keep settings of their own.
    const IniFile& File() const { return m_oFile; }

    std::string ReadString(Setting eSetting) const;
    int ReadInteger(Setting eSetting) const;
    bool ReadBool(Setting eSetting) const;
    double ReadFloat(Setting eSetting) const;
    // Each false when the file could not be written.
    bool Write(Setting eSetting, const std::string& sValue) const;
    bool Write(Setting eSetting, const char* pcValue) const { return Write(eSetting, std::string(pcValue)); }
    bool Write(Setting eSetting, int lValue) const;
    bool Write(Setting eSetting, bool bValue) const;
    bool Write(Setting eSetting, double fValue) const;

    // A folder or file remembered by a file dialog; the laboratory lines default to "LinesX.txt".
    std::string ReadPath(Setting eSetting) const;

    ObserverIdentity ReadObserverIdentity() const;
    void WriteObserverIdentity(const ObserverIdentity& oIdentity) const;
    GeographicSite ReadObserverSite() const;
    bool WriteObserverSite(const GeographicSite& oSite) const;
    TimeZoneSetting ReadTimeZone() const;
    void WriteTimeZone(const TimeZoneSetting& oZone) const;
    // The period range of the last PDM run.
    void ReadPeriodRange(double& fFrom, double& fTo) const;
    void WritePeriodRange(double fFrom, double fTo) const;
    OrbitRangeSetting ReadOrbitRanges() const;
    void WriteOrbitRanges(const OrbitRangeSetting& oRanges) const;
    // The text import as the import dialog last confirmed it.
    ImportSettings ReadImportSettings() const;

    // The spectra and projects opened last, the newest first (at most kRecentFiles).
    static constexpr int kRecentFiles = 8;
    std::vector<std::string> ReadRecentFiles() const;
    void AddRecentFile(const std::string& sPath) const;

private:
    template <typename T, typename Writer>
    bool WriteWith(Setting eSetting, T value, Writer fnWrite) const;

    IniFile m_oFile;
};
