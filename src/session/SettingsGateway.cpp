#include "SettingsGateway.h"

#include "core/Assert.h"
#include "core/Utils.h"

#include <algorithm>

namespace {

using E = Setting;

// In the order of Setting.
constexpr SettingKey kKeys[] = {
    {"FormSettings", "Top", "99"},
    {"FormSettings", "Left", "125"},
    {"FormSettings", "Height", "582"},
    {"FormSettings", "Width", "882"},
    {"FormSettings", "ControlsHeight", "0"}, // 0: the layout's own
    {"ExtremaDeterminationSettings", "IntervallWidth", "10"},
    {"ExtremaDeterminationSettings", "MaxIntervallWidth", "20"},
    {"ExtremaDeterminationSettings", "Sensitivity", "20"},
    {"GraphicsSettings", "KeepYAxisFixed", "1"},
    {"Settings", "TimeThreshold", "0.2"},
    {"Settings", "DefTimeZone", "1"},
    {"Settings", "OtherTimeZone", "0"},
    {"Settings", "UseJulianDate", "0"},
    {"GeographicCoordinates", "LongDeg", "9"},
    {"GeographicCoordinates", "LongMin", "0"},
    {"GeographicCoordinates", "LatDeg", "52"},
    {"GeographicCoordinates", "LatMin", "0"},
    {"PeriodRange", "PeriodMin", "20"},
    {"PeriodRange", "PeriodMax", "300"},
    {"OrbitalElementsRange", "OrbElemEMin", "0"},
    {"OrbitalElementsRange", "OrbElemEMax", "0.9"},
    {"OrbitalElementsRange", "OrbElemOmegaMin", "0"},
    {"OrbitalElementsRange", "OrbElemOmegaMax", "360"},
    {"OrbitalElementsRange", "OrbElemA1SinIMin", "1000"},
    {"OrbitalElementsRange", "OrbElemA1SinIMax", "1e10"},
    {"OrbitalElementsRange", "OrbElemPSteps", "10"},
    {"OrbitalElementsRange", "OrbElemT0Steps", "10"},
    {"OrbitalElementsRange", "OrbElemESteps", "10"},
    {"OrbitalElementsRange", "OrbElemOmegaSteps", "10"},
    {"OrbitalElementsRange", "OrbElemA1SinISteps", "10"},
    {"OrbitalElementsRange", "OrbElemGammaSteps", "10"},
    {"Calibration", "PolynomialRegressionOrder", "2"},
    {"Calibration", "UsePolynomialRegression", "1"},
    {"FilterSettings", "UseDelimiters", "1"},
    {"FilterSettings", "SingleCol", "0"},
    {"FilterSettings", "AutomNmAngstromConversion", "1"},
    {"FilterSettings", "LinesToSkip", "0"},
    {"FilterSettings", "UseTab", "1"},
    {"FilterSettings", "UseSem", "1"},
    {"FilterSettings", "UseComma", "0"},
    {"FilterSettings", "UseSpace", "0"},
    {"FilterSettings", "UseOther", "0"},
    {"FilterSettings", "OtherString", ""},
    {"FilterSettings", "TreatConsecutiveAsOne", "0"},
    {"FilterSettings", "StartValue1", "0"},
    {"FilterSettings", "NumberCharValue1", "5"},
    {"FilterSettings", "StartValue2", "5"},
    {"FilterSettings", "NumberCharValue2", "5"},
    {"Paths", "SpectraPath", "."},
    {"Paths", "BitmapPath", "."},
    {"Paths", "MatrixPath", "."},
    {"Paths", "MatrixDumpPath", "."},
    {"Paths", "ExportPath", "."},
    {"Paths", "ElementsExportPath", "."},
    {"Paths", "ImportRVPath", "."},
    {"Paths", "InertialLinesFilePath", "."},
    {"Paths", "CalibrationFilePath", "."},
    {"Paths", "CCTemplatePath", "."},
    {"Paths", "CCParamsPath", "."},
    {"ExtremaDeterminationSettings", "IdentifyAllVelocity", "50"}, // km/s either side of a laboratory line
    {"ExtremaDeterminationSettings", "MinDepthSigma", "3"},        // depth of a found line in noise sigmas
    {"Calibration", "LampLineTolerance", "3"},                     // samples of the lamp spectrum
    {"CrossCorrelation", "TemplateVelocity", "0"},                 // km/s
    {"Observer", "Name", ""},                                      // written into FITS headers
    {"Observer", "Instrument", ""},
    {"Observer", "Site", ""},
    {"Correction", "Barycentric", "1"},                            // 0: the classic heliocentric formula
    {"Correction", "TimeScale", "2"},                              // of the orbit: 0 JD (UTC), 1 HJD, 2 BJD_TDB
};
static_assert(std::size(kKeys) == static_cast<std::size_t>(E::Count), "one key per setting");

constexpr E kStepSettings[6] = {E::PSteps, E::T0Steps, E::ESteps, E::OmegaSteps, E::A1SinISteps, E::GammaSteps};

} // namespace

const SettingKey& SettingsGateway::Key(Setting eSetting)
{
    const auto lIndex = static_cast<std::size_t>(eSetting);
    QASSERT(lIndex < std::size(kKeys));
    return kKeys[lIndex];
}

std::string SettingsGateway::ReadString(Setting eSetting) const
{
    const SettingKey& o = Key(eSetting);
    return m_oFile.ReadString(o.pcSection, o.pcKey, o.pcDefault);
}

int SettingsGateway::ReadInteger(Setting eSetting) const
{
    const SettingKey& o = Key(eSetting);
    return m_oFile.ReadInteger(o.pcSection, o.pcKey, std::stoi(o.pcDefault));
}

bool SettingsGateway::ReadBool(Setting eSetting) const
{
    const SettingKey& o = Key(eSetting);
    return m_oFile.ReadBool(o.pcSection, o.pcKey, std::string(o.pcDefault) != "0");
}

double SettingsGateway::ReadFloat(Setting eSetting) const
{
    const SettingKey& o = Key(eSetting);
    return m_oFile.ReadFloat(o.pcSection, o.pcKey, std::stod(o.pcDefault));
}

template <typename T, typename Writer>
bool SettingsGateway::WriteWith(Setting eSetting, T value, Writer fnWrite) const
{
    if (m_oFile.GetFileName().empty()) {
        return false;
    }
    const SettingKey& o = Key(eSetting);
    return (m_oFile.*fnWrite)(o.pcSection, o.pcKey, value);
}

bool SettingsGateway::Write(Setting eSetting, const std::string& sValue) const
{
    return WriteWith(eSetting, sValue, &IniFile::WriteString);
}

bool SettingsGateway::Write(Setting eSetting, int lValue) const
{
    return WriteWith(eSetting, lValue, &IniFile::WriteInteger);
}

bool SettingsGateway::Write(Setting eSetting, bool bValue) const
{
    return WriteWith(eSetting, bValue, &IniFile::WriteBool);
}

bool SettingsGateway::Write(Setting eSetting, double fValue) const
{
    return WriteWith(eSetting, fValue, &IniFile::WriteFloat);
}

std::string SettingsGateway::ReadPath(Setting eSetting) const
{
    const std::string sPath = ReadString(eSetting);
    if (eSetting == E::LaboratoryLinesFilePath && sPath == ".") {
        return "LinesX.txt";
    }
    return sPath;
}

ObserverIdentity SettingsGateway::ReadObserverIdentity() const
{
    return {ReadString(Setting::ObserverName), ReadString(Setting::InstrumentName), ReadString(Setting::SiteName)};
}

void SettingsGateway::WriteObserverIdentity(const ObserverIdentity& o) const
{
    Write(Setting::ObserverName, o.sObserver);
    Write(Setting::InstrumentName, o.sInstrument);
    Write(Setting::SiteName, o.sSite);
}

GeographicSite SettingsGateway::ReadObserverSite() const
{
    return {ReadFloat(E::LongitudeDegrees), ReadFloat(E::LongitudeMinutes), ReadFloat(E::LatitudeDegrees),
            ReadFloat(E::LatitudeMinutes)};
}

bool SettingsGateway::WriteObserverSite(const GeographicSite& o) const
{
    return Write(E::LongitudeDegrees, o.fLongitudeDegrees) && Write(E::LongitudeMinutes, o.fLongitudeMinutes) &&
           Write(E::LatitudeDegrees, o.fLatitudeDegrees) && Write(E::LatitudeMinutes, o.fLatitudeMinutes);
}

TimeZoneSetting SettingsGateway::ReadTimeZone() const
{
    double fOtherHours = ReadFloat(E::OtherTimeZone);
    if (!IsZoneOffset(fOtherHours)) {
        fOtherHours = 0.0;
    }
    return {ReadInteger(E::DefTimeZone), fOtherHours, ReadBool(E::UseJulianDate)};
}

void SettingsGateway::WriteTimeZone(const TimeZoneSetting& o) const
{
    Write(E::DefTimeZone, o.lZone);
    Write(E::OtherTimeZone, o.fOtherHours);
    Write(E::UseJulianDate, o.bUseJulianDate);
}

void SettingsGateway::ReadPeriodRange(double& fFrom, double& fTo) const
{
    fFrom = ReadFloat(E::PeriodMin);
    fTo = ReadFloat(E::PeriodMax);
}

void SettingsGateway::WritePeriodRange(double fFrom, double fTo) const
{
    Write(E::PeriodMin, fFrom);
    Write(E::PeriodMax, fTo);
}

OrbitRangeSetting SettingsGateway::ReadOrbitRanges() const
{
    OrbitRangeSetting o;
    o.fEccentricityMin = ReadFloat(E::EccentricityMin);
    o.fEccentricityMax = ReadFloat(E::EccentricityMax);
    o.fOmegaMin = ReadFloat(E::OmegaMin);
    o.fOmegaMax = ReadFloat(E::OmegaMax);
    o.fA1SinIMin = ReadFloat(E::A1SinIMin);
    o.fA1SinIMax = ReadFloat(E::A1SinIMax);
    for (std::size_t i = 0; i < 6; ++i) {
        o.alSteps[i] = ReadInteger(kStepSettings[i]);
    }
    return o;
}

void SettingsGateway::WriteOrbitRanges(const OrbitRangeSetting& o) const
{
    Write(E::EccentricityMin, o.fEccentricityMin);
    Write(E::EccentricityMax, o.fEccentricityMax);
    Write(E::OmegaMin, o.fOmegaMin);
    Write(E::OmegaMax, o.fOmegaMax);
    Write(E::A1SinIMin, o.fA1SinIMin);
    Write(E::A1SinIMax, o.fA1SinIMax);
    for (std::size_t i = 0; i < 6; ++i) {
        Write(kStepSettings[i], static_cast<int>(o.alSteps[i]));
    }
}

ImportSettings SettingsGateway::ReadImportSettings() const
{
    ImportSettings o;
    o.lLinesToSkip = std::max(0, ReadInteger(E::ImportLinesToSkip));
    o.bUseDelimiters = ReadBool(E::ImportUseDelimiters);
    o.sSeparators = BuildSeparatorString(ReadBool(E::ImportUseSemicolon), ReadBool(E::ImportUseComma),
                                         ReadBool(E::ImportUseSpace), ReadBool(E::ImportUseOther),
                                         ReadString(E::ImportOtherString), ReadBool(E::ImportUseTab));
    o.bTreatConsecutiveAsOne = ReadBool(E::ImportTreatConsecutiveAsOne);
    o.lStartValue1 = std::max(0, TextToInt(ReadString(E::ImportStartValue1), 0));
    o.lStartValue2 = std::max(0, TextToInt(ReadString(E::ImportStartValue2), 5));
    o.bSingleColumn = ReadBool(E::ImportSingleColumn);
    o.bAutomNmConversion = ReadBool(E::ImportNmConversion);
    return o;
}

std::vector<std::string> SettingsGateway::ReadRecentFiles() const
{
    std::vector<std::string> vFiles;
    for (int i = 1; i <= kRecentFiles; ++i) {
        const std::string sFile = m_oFile.ReadString("RecentFiles", "File" + std::to_string(i), "");
        if (!sFile.empty()) {
            vFiles.push_back(sFile);
        }
    }
    return vFiles;
}

void SettingsGateway::AddRecentFile(const std::string& sPath) const
{
    if (m_oFile.GetFileName().empty() || sPath.empty()) {
        return;
    }
    std::vector<std::string> vFiles = ReadRecentFiles();
    std::erase(vFiles, sPath);
    vFiles.insert(vFiles.begin(), sPath);
    vFiles.resize(std::min<std::size_t>(vFiles.size(), kRecentFiles));
    for (std::size_t i = 0; i < static_cast<std::size_t>(kRecentFiles); ++i) {
        m_oFile.WriteString("RecentFiles", "File" + std::to_string(i + 1), i < vFiles.size() ? vFiles[i] : "");
    }
}
