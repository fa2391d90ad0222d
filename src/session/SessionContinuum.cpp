// The session's continuum normalisation of the current spectrum.
#include "Session.h"

std::optional<SContinuumFit> CSession::FitCurrentContinuum(const SContinuumOptions& oOptions, Outcome& oMessage) const
{
    if (m_pCurrentSpectrum == nullptr || m_pCurrentSpectrum->GetNumberValues() == 0) {
        oMessage = SMessage{"Error!", "No spectrum is loaded."};
        return std::nullopt;
    }
    std::string sError;
    auto oFit = FitContinuum(m_pCurrentSpectrum->GetWavelengths(), m_pCurrentSpectrum->GetIntensities(), oOptions, sError);
    if (!oFit) {
        oMessage = SMessage{"Error!", sError, true};
    }
    return oFit;
}

Outcome CSession::NormalizeCurrentSpectrum(const SContinuumOptions& oOptions)
{
    if (m_pCurrentSpectrum != nullptr && m_oMatrix.ContainsSpectrum(m_pCurrentSpectrum)) {
        return SMessage{"Error!", "This spectrum is in the table of radial velocities, which knows it by its "
                                  "intensities. Remove it from the table before normalising it."};
    }
    Outcome oMessage;
    const auto oFit = FitCurrentContinuum(oOptions, oMessage);
    if (!oFit) {
        return oMessage;
    }
    m_pCurrentSpectrum->DivideByContinuum(oFit->vContinuum);
    Announce(change::kSpectrumValues | change::kLines);
    return std::nullopt;
}

bool CSession::CanRestoreCurrentSpectrum() const
{
    return m_pCurrentSpectrum != nullptr && m_pCurrentSpectrum->HasOriginalIntensities() &&
           !m_oMatrix.ContainsSpectrum(m_pCurrentSpectrum);
}

Outcome CSession::RestoreCurrentSpectrum()
{
    if (!CanRestoreCurrentSpectrum()) {
        return SMessage{"Error!", "This spectrum has no other intensities to go back to, or it is in the table of "
                                  "radial velocities."};
    }
    m_pCurrentSpectrum->RestoreIntensities();
    Announce(change::kSpectrumValues | change::kLines);
    return std::nullopt;
}
