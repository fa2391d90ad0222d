// The session's work with spectrum files: text files read with the import settings, FITS files read
// with their headers, the header's object set against the table's, and the current spectrum written
// as FITS with its metadata.
#include "Session.h"

#include "core/NumberText.h"
#include "io/FitsSpectrum.h"

#include <algorithm>
#include <cmath>

namespace {

// Hours or degrees with signed minutes, as the coordinate dialogs take them (minutes carry the sign).
std::pair<double, double> WholeAndMinutes(double fValue)
{
    const double fWhole = std::trunc(fValue);
    return {fWhole, (fValue - fWhole) * 60.0};
}

double Radians(double fDegrees)
{
    return fDegrees * quandrel::kPi / 180.0;
}

} // namespace

std::unique_ptr<Spectrum> Session::ReadTextSpectrum(const std::string& sPath, Canvas* pCanvas, Outcome& oMessage) const
{
    ImportSettings oSettings = m_oSettings.ReadImportSettings();
    oSettings.lLinesToSkip = LinesToSkipAtLeastHeaders(sPath, oSettings.lLinesToSkip);
    CsvFile oReader;
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    if (SpectrumFileImport(oReader, sPath, oSettings, vWavelength, vIntensity) != 0 || vWavelength.empty()) {
        oMessage = Message{"Error!", "The file " + sPath + " cannot be read or holds no data lines."};
        return nullptr;
    }
    auto pSpectrum = std::make_unique<Spectrum>(pCanvas);
    pSpectrum->TakeValues(std::move(vWavelength), std::move(vIntensity));
    pSpectrum->SetKeepYAxisFixed(m_oSettings.ReadBool(Setting::KeepYAxisFixed));
    return pSpectrum;
}

std::unique_ptr<Spectrum> Session::ReadFitsSpectrum(const std::string& sPath, Canvas* pCanvas, Outcome& oMessage) const
{
    std::string sError;
    auto oFits = ::ReadFitsSpectrum(sPath, sError);
    if (!oFits) {
        oMessage = Message{"Error!", sError};
        return nullptr;
    }
    auto pSpectrum = std::make_unique<Spectrum>(pCanvas);
    pSpectrum->TakeValues(std::move(oFits->vWavelength), std::move(oFits->vIntensity));
    if (oFits->oMetadata.oJulianDateMid) {
        pSpectrum->SetObservationTime(*oFits->oMetadata.oJulianDateMid);
    }
    pSpectrum->SetMetadata(std::move(oFits->oMetadata));
    pSpectrum->SetKeepYAxisFixed(m_oSettings.ReadBool(Setting::KeepYAxisFixed));
    if (!oFits->vWarnings.empty()) {
        std::string sText = "The header of " + sPath + " holds values the program cannot read:";
        for (const std::string& s : oFits->vWarnings) {
            sText += "\n" + s;
        }
        oMessage = Message{"Warning!", sText};
    }
    return pSpectrum;
}

std::optional<EquatorialPosition> Session::HeaderCoordinates() const
{
    if (m_pCurrentSpectrum == nullptr || !m_pCurrentSpectrum->GetMetadata().HasCoordinates()) {
        return std::nullopt;
    }
    const SpectrumMetadata& m = m_pCurrentSpectrum->GetMetadata();
    const auto [fHours, fHourMinutes] = WholeAndMinutes(*m.oRightAscensionHours);
    const auto [fDegrees, fDegreeMinutes] = WholeAndMinutes(*m.oDeclinationDegrees);
    return EquatorialPosition{fHours, fHourMinutes, fDegrees, fDegreeMinutes};
}

std::string Session::HeaderCoordinatesMismatch() const
{
    const auto oHeader = HeaderCoordinates();
    const auto oTable = ObjectPosition();
    if (!oHeader || !oTable) {
        return std::string();
    }
    const auto Position = [](const EquatorialPosition& o) {
        return std::pair{Radians((o.fRightAscensionHours + o.fRightAscensionMinutes / 60.0) * 15.0),
                         Radians(o.fDeclinationDegrees + o.fDeclinationMinutes / 60.0)};
    };
    const auto [a1, d1] = Position(*oHeader);
    const auto [a2, d2] = Position(*oTable);
    // The haversine formula, exact for small separations too.
    const double h = std::pow(std::sin((d2 - d1) / 2), 2) + std::cos(d1) * std::cos(d2) * std::pow(std::sin((a2 - a1) / 2), 2);
    const double fArcminutes = 2.0 * std::asin(std::min(1.0, std::sqrt(h))) * 180.0 / quandrel::kPi * 60.0;
    if (fArcminutes <= 1.0) {
        return std::string();
    }
    const std::string& sObject = m_pCurrentSpectrum->GetMetadata().sObject;
    return "The header of this spectrum places its object" + (sObject.empty() ? std::string() : " (" + sObject + ")") +
           " " + quandrel::FormatFixed(fArcminutes, 1) + "' away from the object of the table of radial velocities.";
}

Outcome Session::SaveSpectrumAsFits(const std::string& sPath) const
{
    if (m_pCurrentSpectrum == nullptr || m_pCurrentSpectrum->GetNumberValues() == 0) {
        return Message{"Error!", "No spectrum is loaded."};
    }
    SpectrumMetadata oMetadata = m_pCurrentSpectrum->GetMetadata();
    double fJulianDate = 0.0;
    if (m_pCurrentSpectrum->GetObservationTime(fJulianDate)) {
        oMetadata.oJulianDateMid = fJulianDate;
    }
    if (const auto oObject = ObjectPosition()) {
        oMetadata.oRightAscensionHours = oObject->fRightAscensionHours + oObject->fRightAscensionMinutes / 60.0;
        oMetadata.oDeclinationDegrees = oObject->fDeclinationDegrees + oObject->fDeclinationMinutes / 60.0;
    }
    if (m_oTable.Coordinates().AreObserverCoordinatesSet()) {
        double fLongitude = 0.0;
        double fLongitudeMinutes = 0.0;
        double fLatitude = 0.0;
        double fLatitudeMinutes = 0.0;
        m_oTable.Coordinates().GetObserverCoordinates(fLongitude, fLongitudeMinutes, fLatitude, fLatitudeMinutes);
        oMetadata.oLongitudeWestDegrees = fLongitude + fLongitudeMinutes / 60.0;
        oMetadata.oLatitudeDegrees = fLatitude + fLatitudeMinutes / 60.0;
    }
    if (const auto oCorrection = CurrentCorrection()) {
        oMetadata.oVelocityCorrection = *oCorrection;
    }
    std::string sError;
    if (!WriteFitsSpectrum(sPath, m_pCurrentSpectrum->GetWavelengths(), m_pCurrentSpectrum->GetIntensities(), oMetadata,
                           sError)) {
        return Message{"Error!", sError};
    }
    return std::nullopt;
}
