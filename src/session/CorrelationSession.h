// The session's cross-correlation: the template, the parameters and the template's velocity and
// correction, and the correlation of the current spectrum, run as a job, whose velocity corrected for
// the observer's motion goes into the table.
#pragma once

#include "SessionTypes.h"
#include "core/Progress.h"
#include "crosscorr/CrossCorrelation.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class Session;
class SessionState;

namespace change {
inline constexpr uint32_t kCorrelation = 1U << 11;    // template, parameters or result of the correlation
} // namespace change

// What a correlation gave (km/s): the spectrum's velocity against the template (its peak, less the
// template's correction, plus the template's own velocity) and, for the table, corrected for the
// observer's motion.
struct CorrelationResult {
    double fVelocity = 0.0;
    std::optional<double> oVelocityError; // the standard error of both velocities (Zucker 2003)
    std::optional<double> oCorrected;
};

// A cross-correlation prepared by the session (a copy of its correlation with the current spectrum and
// the template), run anywhere, taken back.
struct CorrelationJob {
    CrossCorrelation oCorrelation;
    double fKey = 0.0;         // the spectrum's key when the job was prepared
    const Spectrum* pTemplate = nullptr;
    bool bForTable = true;
    bool bCalculated = false;
    void Run(Progress* pProgress) { bCalculated = oCorrelation.Calculate(pProgress); }
};

// The window, grid and search of the cross-correlation.
struct CorrelationOptions {
    double fFrom = 0.0; // angstrom
    double fTo = 0.0;   // angstrom
    int32_t lSupportingPoints = 0;
    int32_t lSpan = 0;
    double fAccuracy = 0.0; // km/s
};

// The template's correction for the observer's motion: typed in km/s, or computed for the template's
// object and observation time at the observer's site.
struct TemplateCorrection {
    bool bTyped = false;
    double fTyped = 0.0;
    EquatorialPosition oObject;
    double fJulianDate = 0.0;
};

class CorrelationSession {
public:
    CorrelationSession(SessionState& rState, Session& rSession) : m_rState(rState), m_rSession(rSession) {}
    CorrelationSession(const CorrelationSession&) = delete;

    // The parameters, the template's correction and the last correlation function.
    const CrossCorrelation& Calculation() const { return m_oCrossCorrelation; }
    const Spectrum* Template() const { return m_pTemplate.get(); }
    const Spectrum* CorrelationDetail() const { return m_pCorrelationDetail.get(); }
    const Spectrum* CorrelationFunction() const { return m_pCorrelationFunction.get(); }
    void SetTemplate(std::unique_ptr<Spectrum> pTemplate);
    std::optional<CorrelationOptions> CorrelationSettings() const;
    // New parameters and the template's correction (the parameters dialog).
    void SetCorrelationParameters(const CorrelationOptions& oParameters, const TemplateCorrection& oCorrection);
    // The template's radial velocity (km/s, kept in the settings file): added to the correlation's
    // shift, so the table holds absolute velocities.
    double TemplateVelocity() const;
    void SetTemplateVelocity(double fVelocity);
    Outcome LoadCorrelationParameters(const std::string& sPath);
    Outcome SaveCorrelationParameters(const std::string& sPath) const;
    bool CanRunCorrelation() const;
    bool CanSaveCorrelationParameters() const { return m_oCrossCorrelation.AreParametersSet(); }
    bool CanLoadCorrelationParameters() const { return m_pTemplate != nullptr; }
    // The velocity the parameters search on either side of 0 km/s with the current spectrum; 0
    // without one or when its window holds fewer than 2 samples.
    double CorrelationReach(const CorrelationOptions& oParameters) const;
    // The current spectrum against the template; its corrected velocity goes into the table. The
    // spectrum needs an observation time.
    Outcome RunCrossCorrelation();
    // RunCrossCorrelation in three steps, as the orbit search: the checks and the job (on the session's
    // thread), CorrelationJob::Run (anywhere), and taking its result (on the session's thread; a job whose
    // spectrum or template changed meanwhile leaves everything as it was).
    // Without bForTable the correlation needs no observation time and enters nothing in the table.
    Outcome PrepareCrossCorrelation(CorrelationJob& oJob, bool bForTable = true) const;
    Outcome FinishCrossCorrelation(CorrelationJob&& oJob);
    // The velocities of the last correlation that went through.
    const std::optional<CorrelationResult>& LastCorrelation() const { return m_oLastCorrelation; }

private:
    SessionState& m_rState;
    Session& m_rSession;
    CrossCorrelation m_oCrossCorrelation;
    std::unique_ptr<Spectrum> m_pTemplate;
    std::unique_ptr<Spectrum> m_pCorrelationDetail;
    std::unique_ptr<Spectrum> m_pCorrelationFunction;
    std::optional<CorrelationResult> m_oLastCorrelation;
    // The template's velocity once set in this session (the settings' until then).
    std::optional<double> m_oTemplateVelocity;
};
