// The session's cross-correlation: the template, the parameters, the template's velocity and the
// correlation of the current spectrum, run as a job.
#include "Session.h"
#include "SessionMessages.h"

#include <cmath>

using quandrel::session::Written;
using quandrel::session::WriteFailure;

void Session::SetTemplate(std::unique_ptr<Spectrum> pTemplate)
{
    m_pTemplate = std::move(pTemplate);
    m_oCrossCorrelation.SetTemplate(m_pTemplate.get());
    Announce(change::kCorrelation);
}

std::optional<CorrelationOptions> Session::CorrelationSettings() const
{
    if (!m_oCrossCorrelation.AreParametersSet()) {
        return std::nullopt;
    }
    CorrelationOptions o;
    m_oCrossCorrelation.GetParameters(o.fFrom, o.fTo, o.lSupportingPoints, o.lSpan, o.fAccuracy);
    return o;
}

void Session::SetCorrelationParameters(const CorrelationOptions& o, const TemplateCorrection& oCorrection)
{
    if (oCorrection.bTyped) {
        m_oCrossCorrelation.SetHeliocentricCorrection(oCorrection.fTyped);
    } else {
        // The template's own object at the observer's site, corrected as the table corrects.
        const GeographicSite oSite = Site();
        const EquatorialPosition& o = oCorrection.oObject;
        ObservationCoordinates oTemplate;
        oTemplate.SetObjectCoordinates(o.fRightAscensionHours, o.fRightAscensionMinutes, o.fDeclinationDegrees,
                                       o.fDeclinationMinutes);
        oTemplate.SetObserverCoordinates(oSite.fLongitudeDegrees, oSite.fLongitudeMinutes, oSite.fLatitudeDegrees,
                                         oSite.fLatitudeMinutes);
        m_oCrossCorrelation.SetHeliocentricCorrection(oTemplate.CorrectVelocity(0.0, oCorrection.fJulianDate));
    }
    m_oCrossCorrelation.SetParameters(o.fFrom, o.fTo, o.lSupportingPoints, o.lSpan, o.fAccuracy);
    Announce(change::kCorrelation);
}

double Session::TemplateVelocity() const
{
    if (!m_oTemplateVelocity) {
        const double f = m_oSettings.ReadFloat(Setting::TemplateVelocity);
        return std::isfinite(f) ? f : 0.0;
    }
    return *m_oTemplateVelocity;
}

void Session::SetTemplateVelocity(double fVelocity)
{
    m_oTemplateVelocity = std::isfinite(fVelocity) ? fVelocity : 0.0;
    m_oSettings.Write(Setting::TemplateVelocity, *m_oTemplateVelocity);
    Announce(change::kCorrelation);
}

Outcome Session::LoadCorrelationParameters(const std::string& sPath)
{
    // A file that is no parameter file leaves the parameters as they were.
    if (!m_oCrossCorrelation.LoadParameters(sPath)) {
        return Message{"Error!", "The file " + sPath + " holds no correlation parameters. The parameters are kept."};
    }
    Announce(change::kCorrelation);
    return std::nullopt;
}

Outcome Session::SaveCorrelationParameters(const std::string& sPath) const
{
    return Written(m_oCrossCorrelation.SaveParameters(sPath), sPath);
}

bool Session::CanRunCorrelation() const
{
    return m_oCrossCorrelation.AreParametersSet() && m_pCurrentSpectrum != nullptr && m_pTemplate != nullptr;
}

double Session::CorrelationReach(const CorrelationOptions& oParameters) const
{
    if (m_pCurrentSpectrum == nullptr) {
        return 0.0;
    }
    return CrossCorrelation::VelocityReach(m_pCurrentSpectrum->GetWavelengths(), oParameters.fFrom, oParameters.fTo,
                                            oParameters.lSupportingPoints, oParameters.lSpan);
}

Outcome Session::RunCrossCorrelation()
{
    CorrelationJob oJob;
    if (Outcome oRefused = PrepareCrossCorrelation(oJob)) {
        return oRefused;
    }
    oJob.Run(nullptr);
    return FinishCrossCorrelation(std::move(oJob));
}

Outcome Session::PrepareCrossCorrelation(CorrelationJob& oJob, bool bForTable) const
{
    if (m_pCurrentSpectrum == nullptr || !m_pTemplate) {
        return Message{"Error!", "The correlation needs a spectrum and a template."};
    }
    double fJulianDate = 0.0;
    if (!m_pCurrentSpectrum->GetObservationTime(fJulianDate) && bForTable) {
        // Without an observation time there is no correction and no row for the table.
        return Message{"No time stamp specified!", "Please specify date and time before evaluating!"};
    }
    oJob.oCorrelation = m_oCrossCorrelation;
    oJob.oCorrelation.SetSpectrum(m_pCurrentSpectrum);
    oJob.fKey = m_pCurrentSpectrum->Key();
    oJob.pTemplate = m_pTemplate.get();
    oJob.bForTable = bForTable;
    oJob.bCalculated = false;
    return std::nullopt;
}

Outcome Session::FinishCrossCorrelation(CorrelationJob&& oJob)
{
    double fJulianDate = 0.0;
    const bool bTimed = m_pCurrentSpectrum != nullptr && m_pCurrentSpectrum->GetObservationTime(fJulianDate);
    if (m_pCurrentSpectrum == nullptr || (!bTimed && oJob.bForTable)) {
        return Message{"No time stamp specified!", "Please specify date and time before evaluating!"};
    }
    if (m_pCurrentSpectrum->Key() != oJob.fKey || m_pTemplate.get() != oJob.pTemplate) {
        return Message{"Error!", "The spectrum or the template changed while the correlation ran; nothing was taken."};
    }
    if (oJob.bForTable) {
        EnsureObserverSite();
    }
    m_oLastCorrelation.reset();
    m_oCrossCorrelation = std::move(oJob.oCorrelation);
    if (!oJob.bCalculated) {
        return Message{"Error!", m_oCrossCorrelation.GetLastError()};
    }
    m_pCorrelationFunction = std::make_unique<Spectrum>(m_oCanvases.pCorrelationFunction);
    m_pCorrelationFunction->SetValues(m_oCrossCorrelation.GetCorrelationFunction());
    if (bTimed) {
        m_pCorrelationFunction->SetObservationTime(fJulianDate);
    }
    m_pCorrelationFunction->SetXAxisLabel("RV [km/s]");
    m_pCorrelationFunction->SetYAxisLabel("Correlation");
    m_pCorrelationDetail = std::make_unique<Spectrum>(m_oCanvases.pCorrelationDetail);
    if (m_oCrossCorrelation.GetSpectrumWindow().GetArraySize() > 0) {
        m_pCorrelationDetail->SetValues(m_oCrossCorrelation.GetSpectrumWindow());
    }
    if (const std::string sEdge = m_oCrossCorrelation.PeakAtEdgeMessage(); !sEdge.empty()) {
        // The function shows where the peak would be; no velocity goes into the table.
        Announce(change::kCorrelation);
        return Message{"Error!", sEdge};
    }
    // The template's own velocity makes the shift against it an absolute velocity, as the lines give.
    CorrelationResult oResult;
    oResult.fVelocity =
        m_oCrossCorrelation.GetPeakVelocity() - m_oCrossCorrelation.GetHeliocentricCorrection() + TemplateVelocity();
    if (!oJob.bForTable) {
        m_oLastCorrelation = oResult;
        Announce(change::kCorrelation);
        return std::nullopt;
    }
    const double fVelocity = m_oTable.Coordinates().CorrectVelocity(0.0, fJulianDate) -
                             m_oCrossCorrelation.GetHeliocentricCorrection() + m_oCrossCorrelation.GetPeakVelocity() +
                             TemplateVelocity();
    oResult.oCorrected = fVelocity;
    m_oLastCorrelation = oResult;
    m_oTable.AddVelocity(m_pCorrelationFunction.get(), fVelocity);
    Announce(change::kCorrelation | change::kTable);
    return std::nullopt;
}
