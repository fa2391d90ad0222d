#include "ObservationCoordinates.h"

#include "Doppler.h"
#include "BarycentricCorrection.h"
#include "HeliocentricCorrection.h"

#include "core/NumberText.h"

#include <cmath>

void ObservationCoordinates::Clear()
{
    const CorrectionKind eKind = m_eKind;
    *this = ObservationCoordinates();
    m_eKind = eKind;
}

void ObservationCoordinates::ClearObjectCoordinates()
{
    m_fRightAscensionHours = m_fRightAscensionMinutes = m_fDeclinationDegrees = m_fDeclinationMinutes = 0.0;
    m_bObjectCoordinatesSet = false;
}

void ObservationCoordinates::SetObserverCoordinates(double fLongitudeDegrees, double fLongitudeMinutes,
                                             double fLatitudeDegrees, double fLatitudeMinutes)
{
    m_fLongitudeDegrees = fLongitudeDegrees;
    m_fLongitudeMinutes = fLongitudeMinutes;
    m_fLatitudeDegrees = fLatitudeDegrees;
    m_fLatitudeMinutes = fLatitudeMinutes;
    m_bObserverCoordinatesSet = true;
}

void ObservationCoordinates::SetObjectCoordinates(double fRightAscensionHours, double fRightAscensionMinutes,
                                           double fDeclinationDegrees, double fDeclinationMinutes)
{
    m_fRightAscensionHours = fRightAscensionHours;
    m_fRightAscensionMinutes = fRightAscensionMinutes;
    m_fDeclinationDegrees = fDeclinationDegrees;
    m_fDeclinationMinutes = fDeclinationMinutes;
    m_bObjectCoordinatesSet = true;
}

bool ObservationCoordinates::GetObjectCoordinates(double& fRightAscensionHours, double& fRightAscensionMinutes,
                                           double& fDeclinationDegrees, double& fDeclinationMinutes) const
{
    fRightAscensionHours = m_fRightAscensionHours;
    fRightAscensionMinutes = m_fRightAscensionMinutes;
    fDeclinationDegrees = m_fDeclinationDegrees;
    fDeclinationMinutes = m_fDeclinationMinutes;
    return m_bObjectCoordinatesSet;
}

void ObservationCoordinates::GetObserverCoordinates(double& fLongitudeDegrees, double& fLongitudeMinutes,
                                             double& fLatitudeDegrees, double& fLatitudeMinutes) const
{
    fLongitudeDegrees = m_fLongitudeDegrees;
    fLongitudeMinutes = m_fLongitudeMinutes;
    fLatitudeDegrees = m_fLatitudeDegrees;
    fLatitudeMinutes = m_fLatitudeMinutes;
}

void ObservationCoordinates::SetCoordinateFlags(bool bObserverSet, bool bObjectSet)
{
    m_bObserverCoordinatesSet = bObserverSet;
    m_bObjectCoordinatesSet = bObjectSet;
}

double ObservationCoordinates::RadialVelocity(double fLaboratoryWavelength, double fObservedWavelength,
                                       double fJulianDate) const
{
    return CorrectVelocity(quandrel::DopplerVelocity(fLaboratoryWavelength, fObservedWavelength), fJulianDate);
}

BarycentricInput ObservationCoordinates::ObservationAt(double fJulianDate) const
{
    BarycentricInput o;
    o.fJulianDateUtc = fJulianDate;
    o.fRightAscensionDegrees = (m_fRightAscensionHours + m_fRightAscensionMinutes / 60.0) * 15.0;
    o.fDeclinationDegrees = m_fDeclinationDegrees + m_fDeclinationMinutes / 60.0;
    o.fLongitudeEastDegrees = -(m_fLongitudeDegrees + m_fLongitudeMinutes / 60.0);
    o.fLatitudeDegrees = m_fLatitudeDegrees + m_fLatitudeMinutes / 60.0;
    o.fHeightMetres = m_fHeightMetres;
    return o;
}

double ObservationCoordinates::CorrectVelocity(double fVelocity, double fJulianDate) const
{
    if (m_eKind == CorrectionKind::kBarycentric) {
        if (const auto oResult = ComputeBarycentric(ObservationAt(fJulianDate))) {
            return CombineVelocity(fVelocity, oResult->fCorrectionKms);
        }
    }
    HeliocentricCorrection oCorrection;
    oCorrection.SetObjectCoordinates(m_fRightAscensionHours, m_fRightAscensionMinutes, m_fDeclinationDegrees,
                                     m_fDeclinationMinutes);
    oCorrection.SetObserverCoordinates(static_cast<long double>(m_fLongitudeDegrees) + m_fLongitudeMinutes / 60.0L,
                                       static_cast<long double>(m_fLatitudeDegrees) + m_fLatitudeMinutes / 60.0L);
    oCorrection.SetJulianDate(fJulianDate);
    long double v = fVelocity;
    oCorrection.AddCorrection(v);
    return static_cast<double>(v);
}

double ObservationCoordinates::RadialVelocity(double fLaboratoryWavelength, double fObservedWavelength,
                                              double fJulianDate, WavelengthFrame eFrame) const
{
    if (eFrame != WavelengthFrame::kTopocentric) {
        return quandrel::DopplerVelocity(fLaboratoryWavelength, fObservedWavelength);
    }
    return RadialVelocity(fLaboratoryWavelength, fObservedWavelength, fJulianDate);
}

double ObservationCoordinates::CorrectVelocityIn(WavelengthFrame eFrame, double fVelocity, double fJulianDate) const
{
    return eFrame == WavelengthFrame::kTopocentric ? CorrectVelocity(fVelocity, fJulianDate) : fVelocity;
}

namespace quandrel {

std::string RequestedCorrectionWarning(double fRequested, double fComputed)
{
    constexpr double kToleranceKms = 1.0;
    const double fHeader = CorrectionOfRequested(fRequested);
    if (std::fabs(fHeader - fComputed) <= kToleranceKms) {
        return {};
    }
    std::string s = "The header's BSS_RQVH = " + FormatFixed(fRequested, 3) + " km/s (a correction of " +
                    FormatFixed(fHeader, 3) + " km/s) differs from the program's correction of " +
                    FormatFixed(fComputed, 3) + " km/s by " + FormatFixed(std::fabs(fHeader - fComputed), 3) + " km/s";
    if (std::fabs(fRequested - fComputed) <= kToleranceKms) {
        s += "; the header counts it with the opposite sign";
    }
    return s + ". The program's correction is used.";
}

} // namespace quandrel
