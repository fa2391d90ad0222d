// The session's cross-correlation: the template, the parameters, the template's velocity and the
// correlation of the current spectrum, run as a job.
#include "Session.h"
#include "SessionMessages.h"

#include <cmath>

using quandrel::session::Written;
using quandrel::session::WriteFailure;

void CorrelationSession::SetTemplate(std::unique_ptr<Spectrum> pTemplate)
{
    m_pTemplate = std::move(pTemplate);
    m_oCrossCorrelation.SetTemplate(m_pTemplate.get());
    m_rState.Announce(change::kCorrelation);
}

std::optional<CorrelationOptions> CorrelationSession::CorrelationSettings() const
{
    if (!m_oCrossCorrelation.AreParametersSet()) {
        return std::nullopt;
    }
    CorrelationOptions o;
    m_oCrossCorrelation.GetParameters(o.fFrom, o.fTo, o.lSupportingPoints, o.lSpan, o.fAccuracy);
    return o;
}

void CorrelationSession::SetCorrelationParameters(const CorrelationOptions& o, const TemplateCorrection& oCorrection)
{
    if (oCorrection.bTyped) {
        m_oCrossCorrelation.SetHeliocentricCorrection(oCorrection.fTyped);
    } else {
        // The template's own object at the observer's site, corrected as the table corrects.
        const GeographicSite oSite = m_rSession.Project().Site();
        const EquatorialPosition& o = oCorrection.oObject;
        ObservationCoordinates oTemplate;
        oTemplate.SetCorrectionKind(m_rSession.Project().Correction());
        oTemplate.SetObjectCoordinates(o.fRightAscensionHours, o.fRightAscensionMinutes, o.fDeclinationDegrees,
                                       o.fDeclinationMinutes);
        oTemplate.SetObserverCoordinates(oSite.fLongitudeDegrees, oSite.fLongitudeMinutes, oSite.fLatitudeDegrees,
                                         oSite.fLatitudeMinutes);
        m_oCrossCorrelation.SetHeliocentricCorrection(oTemplate.CorrectVelocity(0.0, oCorrection.fJulianDate));
    }
    m_oCrossCorrelation.SetParameters(o.fFrom, o.fTo, o.lSupportingPoints, o.lSpan, o.fAccuracy);
    m_rState.Announce(change::kCorrelation);
}

double CorrelationSession::TemplateVelocity() const
{
    if (!m_oTemplateVelocity) {
        const double f = m_rState.oSettings.ReadFloat(Setting::TemplateVelocity);
        return std::isfinite(f) ? f : 0.0;
    }
    return *m_oTemplateVelocity;
}

void CorrelationSession::SetTemplateVelocity(double fVelocity)
{
    m_oTemplateVelocity = std::isfinite(fVelocity) ? fVelocity : 0.0;
    m_rState.oSettings.Write(Setting::TemplateVelocity, *m_oTemplateVelocity);
    m_rState.Announce(change::kCorrelation);
}

Outcome CorrelationSession::LoadCorrelationParameters(const std::string& sPath)
{
    // A file that is no parameter file leaves the parameters as they were.
    if (!m_oCrossCorrelation.LoadParameters(sPath)) {
        return Message{"Error!", "The file " + sPath + " holds no correlation parameters. The parameters are kept."};
    }
    m_rState.Announce(change::kCorrelation);
    return std::nullopt;
}

Outcome CorrelationSession::SaveCorrelationParameters(const std::string& sPath) const
{
    return Written(m_oCrossCorrelation.SaveParameters(sPath), sPath);
}

bool CorrelationSession::CanRunCorrelation() const
{
    return m_oCrossCorrelation.AreParametersSet() && m_rState.pCurrentSpectrum != nullptr && m_pTemplate != nullptr;
}

double CorrelationSession::CorrelationReach(const CorrelationOptions& oParameters) const
{
    if (m_rState.pCurrentSpectrum == nullptr) {
        return 0.0;
    }
    return CrossCorrelation::VelocityReach(m_rState.pCurrentSpectrum->GetWavelengths(), oParameters.fFrom, oParameters.fTo,
                                            oParameters.lSupportingPoints, oParameters.lSpan);
}

Outcome CorrelationSession::RunCrossCorrelation()
{
    CorrelationJob oJob;
    if (Outcome oRefused = PrepareCrossCorrelation(oJob)) {
        return oRefused;
    }
    oJob.Run(nullptr);
    return FinishCrossCorrelation(std::move(oJob));
}

Outcome CorrelationSession::PrepareCrossCorrelation(CorrelationJob& oJob, bool bForTable) const
{
    if (m_rState.pCurrentSpectrum == nullptr || !m_pTemplate) {
        return Message{"Error!", "The correlation needs a spectrum and a template."};
    }
    double fJulianDate = 0.0;
    if (!m_rState.pCurrentSpectrum->GetObservationTime(fJulianDate) && bForTable) {
        // Without an observation time there is no correction and no row for the table.
        return Message{"No time stamp specified!", "Please specify date and time before evaluating!"};
    }
    oJob.oCorrelation = m_oCrossCorrelation;
    oJob.oCorrelation.SetSpectrum(m_rState.pCurrentSpectrum);
    oJob.fKey = m_rState.pCurrentSpectrum->Key();
    oJob.pTemplate = m_pTemplate.get();
    oJob.bForTable = bForTable;
    oJob.bCalculated = false;
    return std::nullopt;
}

Outcome CorrelationSession::FinishCrossCorrelation(CorrelationJob&& oJob)
{
    double fJulianDate = 0.0;
    const bool bTimed = m_rState.pCurrentSpectrum != nullptr && m_rState.pCurrentSpectrum->GetObservationTime(fJulianDate);
    if (m_rState.pCurrentSpectrum == nullptr || (!bTimed && oJob.bForTable)) {
        return Message{"No time stamp specified!", "Please specify date and time before evaluating!"};
    }
    if (m_rState.pCurrentSpectrum->Key() != oJob.fKey || m_pTemplate.get() != oJob.pTemplate) {
        return Message{"Error!", "The spectrum or the template changed while the correlation ran; nothing was taken."};
    }
    if (oJob.bForTable) {
        m_rState.EnsureObserverSite();
    }
    m_oLastCorrelation.reset();
    m_oCrossCorrelation = std::move(oJob.oCorrelation);
    if (!oJob.bCalculated) {
        return Message{"Error!", m_oCrossCorrelation.GetLastError()};
    }
    m_pCorrelationFunction = std::make_unique<Spectrum>();
    m_pCorrelationFunction->SetValues(m_oCrossCorrelation.GetCorrelationFunction());
    if (bTimed) {
        m_pCorrelationFunction->SetObservationTime(fJulianDate);
    }
    m_pCorrelationDetail = std::make_unique<Spectrum>();
    if (m_oCrossCorrelation.GetSpectrumWindow().GetArraySize() > 0) {
        m_pCorrelationDetail->SetValues(m_oCrossCorrelation.GetSpectrumWindow());
    }
    if (const std::string sEdge = m_oCrossCorrelation.PeakAtEdgeMessage(); !sEdge.empty()) {
        // The function shows where the peak would be; no velocity goes into the table.
        m_rState.Announce(change::kCorrelation);
        return Message{"Error!", sEdge};
    }
    // The template's own velocity makes the shift against it an absolute velocity, as the lines give.
    CorrelationResult oResult;
    oResult.fVelocity =
        m_oCrossCorrelation.GetPeakVelocity() - m_oCrossCorrelation.GetHeliocentricCorrection() + TemplateVelocity();
    oResult.oVelocityError = m_oCrossCorrelation.GetPeakVelocityError();
    if (!oJob.bForTable) {
        m_oLastCorrelation = oResult;
        m_rState.Announce(change::kCorrelation);
        return std::nullopt;
    }
    const WavelengthFrame eFrame = m_rState.pCurrentSpectrum->GetMetadata().eFrame;
    const double fVelocity = m_rState.oTable.Coordinates().CorrectVelocityIn(
        eFrame, m_oCrossCorrelation.GetPeakVelocity() - m_oCrossCorrelation.GetHeliocentricCorrection() + TemplateVelocity(),
        fJulianDate);
    oResult.oCorrected = fVelocity;
    m_oLastCorrelation = oResult;
    m_rState.oTable.AddVelocity(m_pCorrelationFunction.get(), fVelocity, oResult.oVelocityError.value_or(0.0));
    m_rState.Announce(change::kCorrelation | change::kTable);
    return std::nullopt;
}
