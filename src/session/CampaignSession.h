// The session's campaign: a whole season measured at once. Every spectrum (files opened for it, or
// the spectra already open) has its lines found and identified as "Find spectral lines" and "Identify
// all" do, on all cores, and gets its row in the table of radial velocities; a spectrum that cannot be
// measured says why, and the others go on.
#pragma once

#include "SessionTypes.h"
#include "lines/LaboratoryLines.h"
#include "lines/SliderScale.h"
#include "core/SpectrumFileImport.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Progress;
class Session;
class SessionState;
class Spectrum;

// How each spectrum is measured.
struct CampaignOptions {
    LineSearch oSearch;            // windows of samples and the depth a line needs
    double fMinSigma = 3.0;        // depth in noise sigmas a line needs
    double fIdentifyWindow = 50.0; // km/s between a line and its laboratory line
    unsigned lThreads = 0;         // 0: one per core
};

// One spectrum of a campaign: its corrected velocities, or why it has none.
struct CampaignRow {
    std::string sName;                       // the file, or the spectrum's name in the list
    std::optional<double> oJulianDate;       // UT, the middle of the exposure
    std::vector<std::pair<int32_t, double>> vVelocities; // laboratory index, corrected velocity (km/s)
    double fMean = 0.0;                      // km/s, weighted by the lines' errors when all have one
    double fStandardError = 0.0;             // km/s: of the weighted mean, else the lines' scatter (0 for one)
    std::string sFailure;                    // empty when measured
};

// The measuring itself, away from the session's state: what Run needs is copied in.
struct CampaignJob {
    struct Item {
        std::string sName;
        std::string sPath;                   // a file to open; empty for a spectrum already open
        const Spectrum* pOriginal = nullptr; // the open spectrum measured
        std::unique_ptr<Spectrum> pSpectrum; // the copy (or the file's spectrum) the lines are found in
        std::string sFailure;
    };
    std::vector<Item> vItems;
    CampaignOptions oOptions;
    LaboratoryLines oLaboratory;
    ImportSettings oImport;
    void Run(Progress* pProgress);
};

class CampaignSession {
public:
    CampaignSession(SessionState& rState, Session& rSession) : m_rState(rState), m_rSession(rSession) {}
    CampaignSession(const CampaignSession&) = delete;

    // A job for files to open (FITS, or text with the import settings last confirmed), or for every open
    // spectrum that is no lamp spectrum; refused without laboratory lines, files or spectra, or with
    // options out of range.
    SessionResult<CampaignJob> PrepareFiles(const std::vector<std::string>& vFiles, const CampaignOptions& oOptions) const;
    SessionResult<CampaignJob> PrepareOpenSpectra(const CampaignOptions& oOptions) const;
    // The job's results into the session: files become open spectra, the lines found replace those of
    // the open spectra (which must still be open), and every spectrum with identified lines and a time
    // gets its row (one undo step). The object's coordinates, when the table has none, come from the
    // first header that gives them. One row per item, in the order of the job.
    std::vector<CampaignRow> Finish(CampaignJob&& oJob);
    // PrepareFiles, Run and Finish in one.
    SessionResult<std::vector<CampaignRow>> MeasureFiles(const std::vector<std::string>& vFiles,
                                                         const CampaignOptions& oOptions);

private:
    Outcome CheckOptions(const CampaignOptions& oOptions) const;

    SessionState& m_rState;
    Session& m_rSession;
};
