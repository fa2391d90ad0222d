// The session's continuum normalisation of the current spectrum.
#include "Session.h"

std::optional<ContinuumFit> Session::FitCurrentContinuum(const ContinuumOptions& oOptions, Outcome& oMessage) const
{
    if (m_pCurrentSpectrum == nullptr || m_pCurrentSpectrum->GetNumberValues() == 0) {
        oMessage = Message{"Error!", "No spectrum is loaded."};
        return std::nullopt;
    }
    std::string sError;
    auto oFit = FitContinuum(m_pCurrentSpectrum->GetWavelengths(), m_pCurrentSpectrum->GetIntensities(), oOptions, sError);
    if (!oFit) {
        oMessage = Message{"Error!", sError, true};
    }
    return oFit;
}

Outcome Session::NormalizeCurrentSpectrum(const ContinuumOptions& oOptions)
{
    Outcome oMessage;
    const auto oFit = FitCurrentContinuum(oOptions, oMessage);
    if (!oFit) {
        return oMessage;
    }
    m_pCurrentSpectrum->DivideByContinuum(oFit->vContinuum);
    Announce(change::kSpectrumValues | change::kLines);
    return std::nullopt;
}

bool Session::CanRestoreCurrentSpectrum() const
{
    return m_pCurrentSpectrum != nullptr && m_pCurrentSpectrum->HasOriginalIntensities();
}

Outcome Session::RestoreCurrentSpectrum()
{
    if (!CanRestoreCurrentSpectrum()) {
        return Message{"Error!", "This spectrum has no other intensities to go back to."};
    }
    m_pCurrentSpectrum->RestoreIntensities();
    Announce(change::kSpectrumValues | change::kLines);
    return std::nullopt;
}
