// The session's campaign: many spectra measured at once.
#include "Session.h"

#include "LineMatching.h"

#include "core/NumberText.h"
#include "core/ParallelFor.h"
#include "rvtable/VelocityStatistics.h"

#include <algorithm>
#include <cmath>

namespace {

// Finds and identifies the spectrum's lines; empty, or why it has no identified line.
std::string MeasureLines(Spectrum& oSpectrum, const CampaignOptions& o, const LaboratoryLines& oLaboratory)
{
    if (SpectralLine::FitScale(oSpectrum.GetIntensities(), oSpectrum.IsEmissionSpectrum()) == 0.0) {
        return "its intensities are all 0 or no numbers";
    }
    oSpectrum.FindSpectralLines(o.oSearch.lWindow, o.oSearch.fMinDepth, o.fMinSigma);
    const int32_t lLines = oSpectrum.GetSpectralLineCount();
    if (lLines == 0) {
        return "no line stands out of its noise";
    }
    const std::vector<int32_t> vNone(static_cast<std::size_t>(lLines), -1);
    const std::vector<int32_t> vMatch = MatchLaboratoryLines(FoundLines(oSpectrum), vNone, oLaboratory, o.fIdentifyWindow);
    int32_t lMatched = 0;
    for (std::size_t i = 0; i < vMatch.size(); ++i) {
        if (vMatch[i] >= 0) {
            double fLaboratory = 0.0;
            std::string sName;
            oLaboratory.GetLine(vMatch[i], fLaboratory, &sName);
            oSpectrum.SetLineIdentification(static_cast<int32_t>(i), vMatch[i], fLaboratory, sName.c_str());
            ++lMatched;
        }
    }
    if (lMatched == 0) {
        return "none of its " + std::to_string(lLines) + " lines lies within " + quandrel::FormatGeneral(o.fIdentifyWindow, 6) +
               " km/s of a laboratory line";
    }
    return {};
}

// A copy of an open spectrum's samples and observation, without its lines.
std::unique_ptr<Spectrum> CopyForMeasuring(const Spectrum& oSpectrum)
{
    auto pCopy = std::make_unique<Spectrum>();
    pCopy->TakeValues(std::vector<double>(oSpectrum.GetWavelengths()), std::vector<double>(oSpectrum.GetIntensities()));
    pCopy->SetMetadata(oSpectrum.GetMetadata());
    pCopy->SetEmissionSpectrum(oSpectrum.IsEmissionSpectrum());
    if (double fJulianDate = 0.0; oSpectrum.GetObservationTime(fJulianDate)) {
        pCopy->SetObservationTime(fJulianDate);
    }
    return pCopy;
}

} // namespace

void CampaignJob::Run(Progress* pProgress)
{
    quandrel::ParallelFor(vItems.size(), oOptions.lThreads, pProgress, [this](std::size_t i) {
        Item& o = vItems[i];
        if (!o.sPath.empty()) {
            auto oFile = SpectraSession::ReadSpectrumFile(o.sPath, oImport);
            if (!oFile) {
                o.sFailure = oFile.Error().sText;
                return;
            }
            o.pSpectrum = std::make_unique<Spectrum>();
            o.pSpectrum->TakeValues(std::move(oFile->vWavelength), std::move(oFile->vIntensity));
            if (oFile->oMetadata.oJulianDateMid) {
                o.pSpectrum->SetObservationTime(*oFile->oMetadata.oJulianDateMid);
            }
            o.pSpectrum->SetMetadata(std::move(oFile->oMetadata));
        }
        o.sFailure = MeasureLines(*o.pSpectrum, oOptions, oLaboratory);
    });
}

Outcome CampaignSession::CheckOptions(const CampaignOptions& o) const
{
    if (m_rSession.Lines().LaboratoryLineTable().GetLineCount() == 0) {
        return Message{"Measure", "No laboratory lines are loaded: the lines cannot be identified."};
    }
    if (o.oSearch.lWindow < 1 || !(o.oSearch.fMinDepth > 0.0 && std::isfinite(o.oSearch.fMinDepth)) ||
        !(o.fMinSigma >= 0.0 && std::isfinite(o.fMinSigma)) ||
        !(o.fIdentifyWindow > 0.0 && std::isfinite(o.fIdentifyWindow))) {
        return Message{"Measure", "The measurement needs a window of 1 sample or more, a depth above 0, a noise "
                                  "threshold of 0 or more and an identification window above 0 km/s.", true};
    }
    return std::nullopt;
}

SessionResult<CampaignJob> CampaignSession::PrepareFiles(const std::vector<std::string>& vFiles,
                                                         const CampaignOptions& oOptions) const
{
    if (Outcome oRefused = CheckOptions(oOptions)) {
        return quandrel::Failure(*oRefused);
    }
    if (vFiles.empty()) {
        return quandrel::Failure(Message{"Measure", "No spectrum files to measure."});
    }
    CampaignJob oJob;
    oJob.oOptions = oOptions;
    oJob.oLaboratory = m_rSession.Lines().LaboratoryLineTable();
    oJob.oImport = m_rState.oSettings.ReadImportSettings();
    for (const std::string& sFile : vFiles) {
        oJob.vItems.push_back({sFile, sFile, nullptr, nullptr, {}});
    }
    return oJob;
}

SessionResult<CampaignJob> CampaignSession::PrepareOpenSpectra(const CampaignOptions& oOptions) const
{
    if (Outcome oRefused = CheckOptions(oOptions)) {
        return quandrel::Failure(*oRefused);
    }
    CampaignJob oJob;
    oJob.oOptions = oOptions;
    oJob.oLaboratory = m_rSession.Lines().LaboratoryLineTable();
    for (int32_t i = 0; i < m_rState.SpectrumCount(); ++i) {
        const Spectrum* pSpectrum = m_rState.SpectrumAt(i);
        if (pSpectrum->IsReferenceSpectrum() || pSpectrum->GetNumberValues() == 0) {
            continue; // lamps are calibrated, not measured
        }
        oJob.vItems.push_back({m_rState.vNames[static_cast<std::size_t>(i)], {}, pSpectrum, CopyForMeasuring(*pSpectrum), {}});
    }
    if (oJob.vItems.empty()) {
        return quandrel::Failure(Message{"Measure", "No spectrum of a star is open."});
    }
    return oJob;
}

std::vector<CampaignRow> CampaignSession::Finish(CampaignJob&& oJob)
{
    UndoStep oStep = m_rState.TableStep("measure " + std::to_string(oJob.vItems.size()) + " spectra");
    // The object from the first header that names it, when the table has none.
    if (!m_rState.oTable.Coordinates().AreObjectCoordinatesSet()) {
        for (const CampaignJob::Item& o : oJob.vItems) {
            if (o.pSpectrum != nullptr && o.pSpectrum->GetMetadata().HasCoordinates()) {
                const SpectrumMetadata& m = o.pSpectrum->GetMetadata();
                m_rState.oTable.Coordinates().SetObjectCoordinates(*m.oRightAscensionHours, 0.0, *m.oDeclinationDegrees, 0.0);
                break;
            }
        }
    }
    const bool bObject = m_rState.oTable.Coordinates().AreObjectCoordinatesSet();
    Spectrum* const pWasCurrent = m_rState.pCurrentSpectrum;
    const bool bFiles = std::any_of(oJob.vItems.begin(), oJob.vItems.end(),
                                    [](const CampaignJob::Item& o) { return !o.sPath.empty(); });
    std::vector<CampaignRow> vRows;
    bool bAdded = false;
    for (CampaignJob::Item& o : oJob.vItems) {
        CampaignRow oRow;
        oRow.sName = o.sName;
        oRow.sFailure = o.sFailure;
        Spectrum* pSpectrum = nullptr;
        if (o.pOriginal != nullptr) {
            // The open spectrum takes the lines found in its copy, if it is still open.
            for (int32_t i = 0; i < m_rState.SpectrumCount() && pSpectrum == nullptr; ++i) {
                pSpectrum = m_rState.SpectrumAt(i) == o.pOriginal ? m_rState.SpectrumAt(i) : nullptr;
            }
            if (pSpectrum == nullptr) {
                oRow.sFailure = "it was closed while it was measured";
            } else {
                pSpectrum->RestoreLines(o.pSpectrum->CopyLines());
            }
        } else if (o.pSpectrum != nullptr) {
            pSpectrum = o.pSpectrum.get();
            m_rSession.Spectra().AddSpectrum(std::move(o.pSpectrum), o.sName);
        }
        double fJulianDate = 0.0;
        if (pSpectrum != nullptr && pSpectrum->GetObservationTime(fJulianDate)) {
            oRow.oJulianDate = fJulianDate;
        }
        if (oRow.sFailure.empty() && !oRow.oJulianDate) {
            oRow.sFailure = "it has no observation time";
        }
        if (oRow.sFailure.empty() && !bObject && !pSpectrum->GetMetadata().IsCorrected()) {
            oRow.sFailure = "the object's coordinates are not known, so its velocities cannot be corrected";
        }
        if (oRow.sFailure.empty()) {
            m_rState.pCurrentSpectrum = pSpectrum;
            m_rState.EnsureObserverSite();
            m_rState.oTable.AddSpectrumRow(pSpectrum);
            bAdded = true;
            std::vector<double> vVelocities;
            const MeasurementRow& oTableRow = m_rState.oTable.Rows()[*m_rState.oTable.RowOf(pSpectrum)];
            for (const LineMeasurement& oLine : oTableRow.measurements) {
                oRow.vVelocities.emplace_back(oLine.lLaboratoryLineIndex, oLine.fVelocity1);
                vVelocities.push_back(oLine.fVelocity1);
            }
            // The velocity the orbit takes: weighted by the lines' errors when all have one.
            const RowVelocity oVelocity = VelocityOfRow(oTableRow);
            oRow.fMean = oVelocity.fMean;
            oRow.fStandardError = oVelocity.oError.value_or(ComputeVelocityStatistics(vVelocities).fStandardError);
        }
        vRows.push_back(std::move(oRow));
    }
    if (bAdded) {
        m_rState.PushUndo(std::move(oStep));
    }
    if (!bFiles) {
        m_rState.pCurrentSpectrum = pWasCurrent;
    }
    m_rState.Announce(change::kTable | change::kCoordinates | change::kLines | change::kCurrentSpectrum);
    return vRows;
}

SessionResult<std::vector<CampaignRow>> CampaignSession::MeasureFiles(const std::vector<std::string>& vFiles,
                                                                      const CampaignOptions& oOptions)
{
    auto oJob = PrepareFiles(vFiles, oOptions);
    if (!oJob) {
        return quandrel::Failure(oJob.Error());
    }
    oJob->Run(nullptr);
    return Finish(std::move(*oJob));
}
