#include "Session.h"
#include "SessionMessages.h"

#include "core/AtomicFile.h"
#include "core/CsvFile.h"
#include "core/NumberText.h"
#include "core/Utils.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// True when at least one line of the spectrum is identified with a laboratory line.
bool HasIdentifiedLine(const Spectrum& oSpectrum)
{
    for (int32_t i = 0; i < oSpectrum.GetSpectralLineCount(); ++i) {
        if (oSpectrum.GetLineLaboratoryIndex(i) >= 0) {
            return true;
        }
    }
    return false;
}

} // namespace

using quandrel::session::Written;
using quandrel::session::WriteFailure;

Session::Session(std::string sSettingsFile, Canvases oCanvases)
    : m_oSettings(std::move(sSettingsFile)), m_oCanvases(oCanvases)
{
}

void Session::AddListener(SessionListener* pListener)
{
    m_vListeners.push_back(pListener);
}

void Session::RemoveListener(SessionListener* pListener)
{
    std::erase(m_vListeners, pListener);
}

void Session::Announce(uint32_t lChanges)
{
    if ((lChanges & change::kTable) != 0) {
        TakeSeriesFromTable();
        lChanges |= change::kSeries;
    }
    // A copy: a listener may add or remove listeners while it is told.
    const std::vector<SessionListener*> vListeners = m_vListeners;
    for (SessionListener* pListener : vListeners) {
        pListener->SessionChanged(lChanges);
    }
}

// --- Spectra ---

Spectrum* Session::SpectrumAt(int32_t lIndex) const
{
    bool bFound = false;
    return m_oSpectra.GetSpectrum(lIndex, bFound);
}

int32_t Session::CurrentIndex() const
{
    for (int32_t i = 0; i < SpectrumCount(); ++i) {
        if (SpectrumAt(i) == m_pCurrentSpectrum) {
            return i;
        }
    }
    return -1;
}

void Session::AddSpectrum(std::unique_ptr<Spectrum> pSpectrum, const std::string& sName)
{
    m_pCurrentSpectrum = pSpectrum.get();
    pSpectrum->SetActiveLineMark(&m_oActiveLine);
    m_oSpectra.AddSpectrum(std::move(pSpectrum));
    m_vNames.push_back(sName);
    Announce(change::kSpectra | change::kCurrentSpectrum | change::kSpectrumKind | change::kLines | change::kTime);
}

void Session::SetCurrentSpectrum(int32_t lIndex)
{
    Spectrum* pSpectrum = lIndex >= 0 ? SpectrumAt(lIndex) : nullptr;
    if (pSpectrum == nullptr && lIndex >= 0) {
        return;
    }
    m_pCurrentSpectrum = pSpectrum;
    Announce(change::kCurrentSpectrum | change::kSpectrumKind | change::kLines | change::kTime);
}

void Session::RemoveSpectra(std::vector<int32_t> vIndices)
{
    UndoStep oStep;
    TakeSpectraInto(std::move(vIndices), oStep);
    if (oStep.vSpectra.empty()) {
        return;
    }
    oStep.sWhat = oStep.vSpectra.size() == 1 ? "remove spectrum " + oStep.vNames.front()
                                             : "remove " + std::to_string(oStep.vSpectra.size()) + " spectra";
    PushUndo(std::move(oStep));
    m_pCurrentSpectrum = SpectrumAt(0);
    Announce(change::kSpectra | change::kCurrentSpectrum | change::kSpectrumKind | change::kLines | change::kTime);
}

void Session::ClearSpectra()
{
    m_pCurrentSpectrum = nullptr;
    while (!m_oSpectra.IsEmpty()) {
        m_oSpectra.RemoveSpectrum(m_oSpectra.GetSpectrumCount() - 1);
    }
    m_vNames.clear();
    Announce(change::kSpectra | change::kCurrentSpectrum | change::kSpectrumKind | change::kLines | change::kTime);
}

void Session::SetSpectrumKind(bool bReference, bool bEmission)
{
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    m_pCurrentSpectrum->SetReferenceSpectrum(bReference);
    m_pCurrentSpectrum->SetEmissionSpectrum(bEmission);
    Announce(change::kSpectrumKind);
}

void Session::SetObservationTime(double fJulianDate)
{
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    m_pCurrentSpectrum->SetObservationTime(fJulianDate);
    Announce(change::kTime);
}

std::string Session::DoubtfulJulianDate(double fJulianDate)
{
    // 3000 January 1, 0h UT; every date before 2,400,000 (the year 1858) is doubtful, those before the
    // year 1582 with it.
    constexpr double kEnd = 2816787.5;
    const std::string sDate = quandrel::FormatFixed(fJulianDate, 5);
    if (!(fJulianDate >= 2400000.0)) {
        return "The Julian date " + sDate + " lies below 2400000: is it a reduced or modified Julian date "
               "(JD - 2400000 or JD - 2400000.5)? The full Julian date is needed.";
    }
    if (!(fJulianDate < kEnd)) {
        return "The Julian date " + sDate + " lies after the year 2999.";
    }
    return std::string();
}

bool Session::CurrentObservationTime(double& fJulianDate) const
{
    return m_pCurrentSpectrum != nullptr && m_pCurrentSpectrum->GetObservationTime(fJulianDate);
}

// --- Lines ---

Outcome Session::FindSpectralLines(const LineSearch& oSearch, std::optional<double> oMinSigma)
{
    if (oSearch.lWindow < 1 || !(oSearch.fMinDepth > 0.0 && std::isfinite(oSearch.fMinDepth)) ||
        (oMinSigma && !(*oMinSigma >= 0.0 && std::isfinite(*oMinSigma)))) {
        return Message{"Find spectral lines", "The line search needs a window of 1 sample or more, a depth above 0 "
                                              "and a noise threshold of 0 or more.", true};
    }
    uint32_t lChanges = change::kLines;
    if (m_pCurrentSpectrum != nullptr && m_pCurrentSpectrum->GetNumberValues() > 0 &&
        SpectralLine::FitScale(m_pCurrentSpectrum->GetIntensities(), m_pCurrentSpectrum->IsEmissionSpectrum()) == 0.0) {
        return Message{"Find spectral lines", "The spectrum cannot be searched: its intensities are all 0 or no numbers."};
    }
    if (m_pCurrentSpectrum != nullptr) {
        // A lamp shows emission lines: a reference spectrum is searched for them without being told.
        if (m_pCurrentSpectrum->IsReferenceSpectrum() && !m_pCurrentSpectrum->IsEmissionSpectrum()) {
            m_pCurrentSpectrum->SetEmissionSpectrum(true);
            lChanges |= change::kSpectrumKind;
        }
        // A search replaces the lines: identified ones can be had back.
        bool bIdentified = false;
        for (int32_t i = 0; i < m_pCurrentSpectrum->GetSpectralLineCount() && !bIdentified; ++i) {
            bIdentified = m_pCurrentSpectrum->GetLineLaboratoryIndex(i) >= 0;
        }
        UndoStep oStep;
        if (bIdentified) {
            oStep.sWhat = "find spectral lines";
            oStep.pSearched = m_pCurrentSpectrum;
            oStep.vLines = m_pCurrentSpectrum->CopyLines();
        }
        m_pCurrentSpectrum->FindSpectralLines(oSearch.lWindow, oSearch.fMinDepth,
                                              oMinSigma.value_or(m_oSettings.ReadFloat(Setting::MinDepthSigma)));
        if (bIdentified) {
            PushUndo(std::move(oStep));
        }
    }
    Announce(lChanges);
    return std::nullopt;
}

void Session::OptimizeFit(double fLevel)
{
    if (m_pCurrentSpectrum == nullptr || !std::isfinite(fLevel)) {
        return;
    }
    m_pCurrentSpectrum->OptimizeFit(fLevel);
    Announce(change::kLines);
}

bool Session::ChooseLine(int32_t lLine, bool bToggle)
{
    if (m_pCurrentSpectrum == nullptr || lLine < 0 || lLine >= m_pCurrentSpectrum->GetSpectralLineCount()) {
        return false;
    }
    if (bToggle || !m_pCurrentSpectrum->IsActiveLine(lLine)) {
        m_pCurrentSpectrum->ToggleActiveLine(lLine);
    }
    Announce(change::kLines);
    return true;
}

int32_t Session::ActiveLineIndex() const
{
    return m_pCurrentSpectrum != nullptr ? m_pCurrentSpectrum->GetActiveLineIndex() : -2;
}

std::optional<ReferenceLine> Session::NearestLaboratoryLine() const
{
    const int32_t lActive = ActiveLineIndex();
    if (lActive < 0) {
        return std::nullopt;
    }
    ReferenceLine oLine;
    if (!LaboratoryLineTable().FindNearestLine(m_pCurrentSpectrum->GetLineCenter(lActive), oLine.lIndex,
                                           oLine.fWavelength, &oLine.sName)) {
        return std::nullopt;
    }
    return oLine;
}

void Session::IdentifyActiveLineWithNearest()
{
    if (const auto oLine = NearestLaboratoryLine()) {
        PushUndo(IdentificationStep("identify with " + oLine->sName));
        m_pCurrentSpectrum->SetLineIdentification(ActiveLineIndex(), oLine->lIndex, oLine->fWavelength,
                                                  oLine->sName.c_str());
        Announce(change::kLines);
    }
}

bool Session::IdentifyActiveLine(int32_t lIndex)
{
    const int32_t lActive = ActiveLineIndex();
    double fWavelength = 0.0;
    std::string sName;
    if (lActive < 0 || lIndex < 0 || lIndex >= LaboratoryLineTable().GetLineCount() ||
        !LaboratoryLineTable().GetLine(lIndex, fWavelength, &sName)) {
        return false;
    }
    PushUndo(IdentificationStep("identify with " + sName));
    m_pCurrentSpectrum->SetLineIdentification(lActive, lIndex, fWavelength, sName.c_str());
    Announce(change::kLines);
    return true;
}

void Session::CombineActiveLine(bool bWithRight)
{
    const int32_t i = ActiveLineIndex();
    if (bWithRight) {
        if (i >= 0 && i + 1 < m_pCurrentSpectrum->GetSpectralLineCount()) {
            m_pCurrentSpectrum->SetCombination(i, 1);
            m_pCurrentSpectrum->SetCombination(i + 1, 0);
        }
    } else if (i > 0) {
        m_pCurrentSpectrum->SetCombination(i, 0);
        m_pCurrentSpectrum->SetCombination(i - 1, 1);
    }
    Announce(change::kLines);
}

void Session::UncombineActiveLine()
{
    const int32_t i = ActiveLineIndex();
    if (i < 0) {
        return;
    }
    const char c = m_pCurrentSpectrum->GetCombination(i);
    if (c == 1 && i + 1 < m_pCurrentSpectrum->GetSpectralLineCount()) {
        m_pCurrentSpectrum->SetCombination(i + 1, 2);
    } else if (c == 0 && i > 0) {
        m_pCurrentSpectrum->SetCombination(i - 1, 2);
    }
    m_pCurrentSpectrum->SetCombination(i, 2);
    Announce(change::kLines);
}

void Session::SetActiveGaussianType(bool bDouble)
{
    const int32_t i = ActiveLineIndex();
    if (i >= 0) {
        m_pCurrentSpectrum->SetGaussianType(i, bDouble);
        Announce(change::kLines);
    }
}

// --- Laboratory lines ---

bool Session::LoadLaboratoryLinesAtStartUp()
{
    const std::string sPath = m_oSettings.ReadPath(Setting::LaboratoryLinesFilePath);
    if (!m_oTable.LaboratoryLineTable().Load(sPath)) {
        return false;
    }
    m_oTable.LaboratoryLineTable().SetFileName(ExtractFileName(sPath));
    Announce(change::kLaboratoryLines);
    return true;
}

Outcome Session::LoadLaboratoryLines(const std::string& sPath)
{
    m_oTable.ClearRows();
    Outcome oOutcome;
    if (!m_oTable.LaboratoryLineTable().Load(sPath)) {
        oOutcome = Message{"File not found error!", "Unable to load laboratory wavelengths!"};
    }
    m_oTable.LaboratoryLineTable().SetFileName(ExtractFileName(sPath));
    m_oSettings.Write(Setting::LaboratoryLinesFilePath, sPath);
    Announce(change::kTable | change::kLaboratoryLines | change::kLines);
    return oOutcome;
}

// --- Coordinates ---

std::optional<EquatorialPosition> Session::ObjectPosition() const
{
    EquatorialPosition o;
    if (!m_oTable.Coordinates().GetObjectCoordinates(o.fRightAscensionHours, o.fRightAscensionMinutes, o.fDeclinationDegrees,
                                        o.fDeclinationMinutes)) {
        return std::nullopt;
    }
    return o;
}

void Session::SetObjectCoordinates(const EquatorialPosition& o)
{
    m_oTable.Coordinates().SetObjectCoordinates(o.fRightAscensionHours, o.fRightAscensionMinutes, o.fDeclinationDegrees,
                                   o.fDeclinationMinutes);
    Announce(change::kCoordinates);
}

void Session::SetObserverSite(const GeographicSite& o)
{
    m_oSettings.WriteObserverSite(o);
    m_oTable.Coordinates().SetObserverCoordinates(o.fLongitudeDegrees, o.fLongitudeMinutes, o.fLatitudeDegrees,
                                     o.fLatitudeMinutes);
    Announce(change::kCoordinates);
}

void Session::EnsureObserverSite()
{
    if (!m_oTable.Coordinates().AreObserverCoordinatesSet() && m_pCurrentSpectrum != nullptr &&
        m_pCurrentSpectrum->GetMetadata().HasSite()) {
        // The site the spectrum's file names.
        const SpectrumMetadata& m = m_pCurrentSpectrum->GetMetadata();
        m_oTable.Coordinates().SetObserverCoordinates(*m.oLongitudeWestDegrees, 0.0, *m.oLatitudeDegrees, 0.0);
    } else if (!m_oTable.Coordinates().AreObserverCoordinatesSet()) {
        const GeographicSite o = Site();
        m_oTable.Coordinates().SetObserverCoordinates(o.fLongitudeDegrees, o.fLongitudeMinutes, o.fLatitudeDegrees,
                                         o.fLatitudeMinutes);
    }
}

std::optional<double> Session::CurrentCorrection() const
{
    double fJulianDate = 0.0;
    if (!CurrentObservationTime(fJulianDate) || !m_oTable.Coordinates().AreObjectCoordinatesSet()) {
        return std::nullopt;
    }
    return m_oTable.Coordinates().CorrectVelocity(0.0, fJulianDate);
}

// --- Table ---

void Session::TakeSeriesFromTable()
{
    DataSeries oCurve;
    m_oTable.GetRVCurve(oCurve);
    m_oOrbit.SetDataArray(oCurve);
    m_vSigma.clear();
}

Outcome Session::AddMeasurement()
{
    double fJulianDate = 0.0;
    if (m_pCurrentSpectrum == nullptr) {
        return Message{"Error!", "No spectrum is loaded."};
    }
    if (!m_pCurrentSpectrum->GetObservationTime(fJulianDate)) {
        return Message{"No time stamp specified!", "Please specify date and time before evaluating!"};
    }
    if (!HasIdentifiedLine(*m_pCurrentSpectrum)) {
        // Its row would be empty, and would replace a row the spectrum may have.
        return Message{"No identified lines!",
                        "Identify at least one spectral line of the spectrum before adding it as a measurement."};
    }
    EnsureObserverSite();
    m_oTable.AddSpectrumRow(m_pCurrentSpectrum);
    Announce(change::kTable | change::kCoordinates);
    return std::nullopt;
}

std::optional<int32_t> Session::OtherRowAtCurrentTime() const
{
    double fJulianDate = 0.0;
    if (m_pCurrentSpectrum == nullptr || !m_pCurrentSpectrum->GetObservationTime(fJulianDate)) {
        return std::nullopt;
    }
    // Within half a second: times typed to the minute or taken over from another spectrum.
    constexpr double kSameDays = 0.5 / 86400.0;
    const double fKey = m_pCurrentSpectrum->Key();
    const auto& vRows = m_oTable.Rows();
    for (std::size_t r = 0; r < vRows.size(); ++r) {
        if (vRows[r].fSpectrumKey != fKey && std::fabs(vRows[r].fJulianDate - fJulianDate) < kSameDays) {
            return static_cast<int32_t>(r);
        }
    }
    return std::nullopt;
}

void Session::ClearCell(int32_t lRow, int32_t lColumn)
{
    UndoStep oStep = TableStep("clear a cell");
    m_oTable.ClearCell(lRow, lColumn);
    PushTableUndo(std::move(oStep));
    Announce(change::kTable);
}

void Session::RemoveRow(int32_t lRow)
{
    UndoStep oStep = TableStep("remove row " + std::to_string(lRow + 1));
    if (!m_oTable.RemoveRow(lRow)) {
        // No such row: nothing changes.
        return;
    }
    PushUndo(std::move(oStep));
    Announce(change::kTable);
}

void Session::ClearColumn(int32_t lColumn)
{
    UndoStep oStep = TableStep("clear a column");
    m_oTable.ClearColumn(lColumn);
    PushTableUndo(std::move(oStep));
    Announce(change::kTable);
}

void Session::RemoveCurrentFromTable()
{
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    // One step for the row and the spectrum.
    UndoStep oStep = TableStep("remove from RV table");
    m_oTable.RemoveSpectrumRow(m_pCurrentSpectrum);
    TakeSpectraInto({CurrentIndex()}, oStep);
    PushUndo(std::move(oStep));
    m_pCurrentSpectrum = SpectrumAt(0);
    Announce(change::kTable | change::kSpectra | change::kCurrentSpectrum | change::kSpectrumKind | change::kLines |
             change::kTime);
}

void Session::CloseProject()
{
    m_vUndo.clear();
    m_sProjectPath.clear();
    m_oTable.ClearRows();
    // The next project's star is another: its velocities are not corrected for this one's position.
    m_oTable.Coordinates().ClearObjectCoordinates();
    m_oOrbit.ResetOptimized();
    m_oElements = OrbitElements();
    m_oLeastSquares.reset();
    Announce(change::kTable | change::kElements | change::kCoordinates);
    ClearSpectra();
}

Outcome Session::OpenProject(const std::string& sPath)
{
    bool bFormatError = false;
    std::string sReason;
    if (!m_oTable.LoadFromFile(sPath, &bFormatError, &sReason)) {
        Announce(change::kTable);
        return Message{bFormatError ? "File format error!" : "Error!",
                        "Unable to load matrix file!\n\n" + sPath + "\n" + sReason};
    }
    m_sProjectPath = sPath;
    m_vUndo.clear();
    m_oSettings.Write(Setting::TablePath, ExtractDirectory(sPath));
    Announce(change::kTable | change::kCoordinates | change::kLaboratoryLines | change::kLines);
    return std::nullopt;
}

Outcome Session::SaveProject(const std::string& sPath)
{
    const bool bSaved = m_oTable.SaveToFile(sPath);
    const std::string sCause = quandrel::LastWriteFailure(); // before the settings write, which has its own
    m_oSettings.Write(Setting::TablePath, ExtractDirectory(sPath));
    if (!bSaved) {
        return Message{"Error!", "Unable to write the project file " + sPath + "!" +
                                      (sCause.empty() ? std::string() : " (" + sCause + ")")};
    }
    m_sProjectPath = sPath;
    Announce(change::kProjectFile);
    return std::nullopt;
}

Outcome Session::DumpMeasurements(const std::string& sPath) const
{
    const bool bWritten = m_oTable.DumpToFile(sPath);
    const Outcome oWritten = Written(bWritten, sPath); // before the settings write, which has its own cause
    m_oSettings.Write(Setting::TableDumpPath, ExtractDirectory(sPath));
    return oWritten;
}

Outcome Session::ExportResults(const std::string& sPath, std::optional<double> fThreshold)
{
    EnsureObserverSite();
    const bool bWritten =
        m_oTable.ExportResults(fThreshold.value_or(m_oSettings.ReadFloat(Setting::TimeThreshold)), sPath);
    const Outcome oWritten = Written(bWritten, sPath); // before the settings write, which has its own cause
    m_oSettings.Write(Setting::ExportPath, sPath);
    return oWritten;
}
