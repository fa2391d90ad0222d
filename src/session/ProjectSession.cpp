// The session's project: the table's rows, the coordinates and the correction, the project's files.
#include "Session.h"
#include "SessionMessages.h"

#include "core/AtomicFile.h"
#include "core/NumberText.h"
#include "core/Utils.h"

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

const RvTable& ProjectSession::Table() const
{
    return m_rState.oTable;
}

const std::string& ProjectSession::ProjectPath() const
{
    return m_rState.sProjectPath;
}

std::optional<int32_t> ProjectSession::CurrentRow() const
{
    return m_rState.oTable.RowOf(m_rState.pCurrentSpectrum);
}

// --- Coordinates ---

bool ProjectSession::AreObjectCoordinatesSet() const
{
    return m_rState.oTable.Coordinates().AreObjectCoordinatesSet();
}

GeographicSite ProjectSession::Site() const
{
    return m_rState.oSettings.ReadObserverSite();
}

double ProjectSession::CorrectionAt(double fJulianDate) const
{
    return m_rState.oTable.Coordinates().CorrectVelocity(0.0, fJulianDate);
}

std::optional<double> ProjectSession::TimeIn(TimeScale eScale, double fJulianDate) const
{
    if (eScale == TimeScale::kJulianDateUtc) {
        return fJulianDate;
    }
    const auto oTimes = TimesAt(fJulianDate);
    if (!oTimes) {
        return std::nullopt;
    }
    return eScale == TimeScale::kBjdTdb ? oTimes->fBjdTdb : oTimes->fHjd;
}

std::optional<BarycentricResult> ProjectSession::TimesAt(double fJulianDate) const
{
    if (!AreObjectCoordinatesSet()) {
        return std::nullopt;
    }
    auto oTimes = ComputeBarycentric(m_rState.oTable.Coordinates().ObservationAt(fJulianDate));
    return oTimes ? std::optional<BarycentricResult>(std::move(*oTimes)) : std::nullopt;
}

CorrectionKind ProjectSession::Correction() const
{
    return m_rState.oTable.Coordinates().Kind();
}

CorrectionKind ProjectSession::CorrectionOfSettings() const
{
    return m_rState.oSettings.ReadBool(Setting::PreciseCorrection) ? CorrectionKind::kBarycentric
                                                                   : CorrectionKind::kHeliocentric;
}

void ProjectSession::SetCorrection(CorrectionKind eKind)
{
    m_rState.oSettings.Write(Setting::PreciseCorrection, eKind == CorrectionKind::kBarycentric);
    m_rState.oTable.Coordinates().SetCorrectionKind(eKind);
    m_rState.Announce(change::kCoordinates);
}

std::optional<EquatorialPosition> ProjectSession::ObjectPosition() const
{
    EquatorialPosition o;
    if (!m_rState.oTable.Coordinates().GetObjectCoordinates(o.fRightAscensionHours, o.fRightAscensionMinutes, o.fDeclinationDegrees,
                                        o.fDeclinationMinutes)) {
        return std::nullopt;
    }
    return o;
}

void ProjectSession::SetObjectCoordinates(const EquatorialPosition& o)
{
    m_rState.oTable.Coordinates().SetObjectCoordinates(o.fRightAscensionHours, o.fRightAscensionMinutes, o.fDeclinationDegrees,
                                   o.fDeclinationMinutes);
    m_rState.Announce(change::kCoordinates);
}

void ProjectSession::SetObserverSite(const GeographicSite& o)
{
    m_rState.oSettings.WriteObserverSite(o);
    m_rState.oTable.Coordinates().SetObserverCoordinates(o.fLongitudeDegrees, o.fLongitudeMinutes, o.fLatitudeDegrees,
                                     o.fLatitudeMinutes);
    m_rState.Announce(change::kCoordinates);
}

const char* FrameName(WavelengthFrame eFrame)
{
    switch (eFrame) {
    case WavelengthFrame::kHeliocentric:
        return "heliocentric";
    case WavelengthFrame::kBarycentric:
        return "barycentric";
    case WavelengthFrame::kTopocentric:
        break;
    }
    return "topocentric";
}

std::string DescribeFrame(const SpectrumCorrection& o)
{
    if (o.eFrame == WavelengthFrame::kTopocentric) {
        return "wavelengths as observed (topocentric)";
    }
    std::string s = std::string("wavelengths ") + FrameName(o.eFrame) + " in the file";
    if (o.oApplied) {
        s += " (BSS_VHEL = " + quandrel::FormatFixed(*o.oApplied, 3) + " km/s)";
    }
    return s + ", not corrected again";
}

namespace {

// The header's side of a correction, with the program's own when it is known.
SpectrumCorrection CorrectionOf(const SpectrumMetadata& m, std::optional<double> oComputed)
{
    SpectrumCorrection o;
    o.eFrame = m.eFrame;
    o.oApplied = m.oCorrectionApplied;
    o.oRequested = m.oCorrectionToApply;
    o.oComputed = oComputed;
    if (o.oRequested && o.oComputed && !m.IsCorrected()) {
        o.sWarning = quandrel::RequestedCorrectionWarning(*o.oRequested, *o.oComputed);
    }
    return o;
}

} // namespace

std::optional<SpectrumCorrection> ProjectSession::CurrentCorrection() const
{
    if (m_rState.pCurrentSpectrum == nullptr) {
        return std::nullopt;
    }
    const std::optional<double> oJulianDate = m_rSession.Spectra().CurrentObservationTime();
    std::optional<double> oComputed;
    if (oJulianDate && m_rState.oTable.Coordinates().AreObjectCoordinatesSet()) {
        oComputed = m_rState.oTable.Coordinates().CorrectVelocity(0.0, *oJulianDate);
    }
    return CorrectionOf(m_rState.pCurrentSpectrum->GetMetadata(), oComputed);
}

SpectrumCorrection ProjectSession::HeaderCorrection(const SpectrumMetadata& m, CorrectionKind eKind)
{
    std::optional<double> oComputed;
    if (m.oJulianDateMid && m.HasCoordinates() && m.HasSite()) {
        ObservationCoordinates oCoordinates;
        oCoordinates.SetCorrectionKind(eKind);
        oCoordinates.SetObserverHeight(m.oHeightMetres.value_or(0.0));
        oCoordinates.SetObjectCoordinates(*m.oRightAscensionHours, 0.0, *m.oDeclinationDegrees, 0.0);
        oCoordinates.SetObserverCoordinates(*m.oLongitudeWestDegrees, 0.0, *m.oLatitudeDegrees, 0.0);
        oComputed = oCoordinates.CorrectVelocity(0.0, *m.oJulianDateMid);
    }
    return CorrectionOf(m, oComputed);
}

SessionResult<BarycentricResult> ProjectSession::Barycentric(double fJulianDate, const EquatorialPosition& oObject,
                                                             const GeographicSite& oSite, double fHeightMetres,
                                                             double fDeltaUt1Seconds)
{
    ObservationCoordinates oCoordinates;
    oCoordinates.SetObjectCoordinates(oObject.fRightAscensionHours, oObject.fRightAscensionMinutes,
                                      oObject.fDeclinationDegrees, oObject.fDeclinationMinutes);
    oCoordinates.SetObserverCoordinates(oSite.fLongitudeDegrees, oSite.fLongitudeMinutes, oSite.fLatitudeDegrees,
                                        oSite.fLatitudeMinutes);
    oCoordinates.SetObserverHeight(fHeightMetres);
    BarycentricInput o = oCoordinates.ObservationAt(fJulianDate);
    o.fDeltaUt1Seconds = fDeltaUt1Seconds;
    auto oResult = ComputeBarycentric(o);
    if (!oResult) {
        return quandrel::Failure(Message{"Error!", oResult.Error()});
    }
    return std::move(*oResult);
}

SpectrumMetadata ProjectSession::HeaderForWriting(SpectrumMetadata m, const ObserverIdentity& oIdentity,
                                                 std::optional<double> oComputed)
{
    for (const auto& [psHeader, psIdentity] : {std::pair{&m.sObserver, &oIdentity.sObserver},
                                               {&m.sInstrument, &oIdentity.sInstrument}, {&m.sSite, &oIdentity.sSite}}) {
        if (psHeader->empty()) {
            *psHeader = *psIdentity;
        }
    }
    if (oComputed && !m.IsCorrected()) {
        m.oCorrectionToApply = quandrel::RequestedOfCorrection(*oComputed);
    }
    return m;
}

ObserverIdentity ProjectSession::Identity() const
{
    return m_rState.oSettings.ReadObserverIdentity();
}

void ProjectSession::SetIdentity(const ObserverIdentity& oIdentity)
{
    m_rState.oSettings.WriteObserverIdentity(oIdentity);
}

// --- Table ---

Outcome ProjectSession::AddMeasurement()
{
    double fJulianDate = 0.0;
    if (m_rState.pCurrentSpectrum == nullptr) {
        return Message{"Error!", "No spectrum is loaded."};
    }
    if (!m_rState.pCurrentSpectrum->GetObservationTime(fJulianDate)) {
        return Message{"No time stamp specified!", "Please specify date and time before evaluating!"};
    }
    if (!HasIdentifiedLine(*m_rState.pCurrentSpectrum)) {
        // Its row would be empty, and would replace a row the spectrum may have.
        return Message{"No identified lines!",
                        "Identify at least one spectral line of the spectrum before adding it as a measurement."};
    }
    m_rState.EnsureObserverSite();
    m_rState.oTable.AddSpectrumRow(m_rState.pCurrentSpectrum);
    m_rState.Announce(change::kTable | change::kCoordinates);
    return std::nullopt;
}

std::optional<int32_t> ProjectSession::OtherRowAtCurrentTime() const
{
    double fJulianDate = 0.0;
    if (m_rState.pCurrentSpectrum == nullptr || !m_rState.pCurrentSpectrum->GetObservationTime(fJulianDate)) {
        return std::nullopt;
    }
    // Within half a second: times typed to the minute or taken over from another spectrum.
    constexpr double kSameDays = 0.5 / 86400.0;
    const double fKey = m_rState.pCurrentSpectrum->Key();
    const auto& vRows = m_rState.oTable.Rows();
    for (std::size_t r = 0; r < vRows.size(); ++r) {
        if (vRows[r].fSpectrumKey != fKey && std::fabs(vRows[r].fJulianDate - fJulianDate) < kSameDays) {
            return static_cast<int32_t>(r);
        }
    }
    return std::nullopt;
}

void ProjectSession::ClearCell(int32_t lRow, int32_t lColumn)
{
    UndoStep oStep = m_rState.TableStep("clear a cell");
    m_rState.oTable.ClearCell(lRow, lColumn);
    m_rState.PushTableUndo(std::move(oStep));
    m_rState.Announce(change::kTable);
}

void ProjectSession::SetRowDataSet(int32_t lRow, const std::string& sDataSet)
{
    UndoStep oStep = m_rState.TableStep("set the data set of row " + std::to_string(lRow + 1));
    if (!m_rState.oTable.SetRowDataSet(lRow, sDataSet)) {
        return;
    }
    m_rState.PushUndo(std::move(oStep));
    m_rState.Announce(change::kTable);
}

void ProjectSession::RemoveRow(int32_t lRow)
{
    UndoStep oStep = m_rState.TableStep("remove row " + std::to_string(lRow + 1));
    if (!m_rState.oTable.RemoveRow(lRow)) {
        // No such row: nothing changes.
        return;
    }
    m_rState.PushUndo(std::move(oStep));
    m_rState.Announce(change::kTable);
}

void ProjectSession::ClearColumn(int32_t lColumn)
{
    UndoStep oStep = m_rState.TableStep("clear a column");
    m_rState.oTable.ClearColumn(lColumn);
    m_rState.PushTableUndo(std::move(oStep));
    m_rState.Announce(change::kTable);
}

void ProjectSession::RemoveCurrentFromTable()
{
    if (m_rState.pCurrentSpectrum == nullptr) {
        return;
    }
    // One step for the row and the spectrum.
    UndoStep oStep = m_rState.TableStep("remove from RV table");
    m_rState.oTable.RemoveSpectrumRow(m_rState.pCurrentSpectrum);
    m_rState.TakeSpectraInto({m_rSession.Spectra().CurrentIndex()}, oStep);
    m_rState.PushUndo(std::move(oStep));
    m_rState.pCurrentSpectrum = m_rState.SpectrumAt(0);
    m_rState.Announce(change::kTable | change::kSpectra | change::kCurrentSpectrum | change::kSpectrumKind | change::kLines |
             change::kTime);
}

void ProjectSession::CloseProject()
{
    m_rState.ForgetUndo();
    m_rState.sProjectPath.clear();
    m_rState.oTable.ClearRows();
    // The next project's star is another: its velocities are not corrected for this one's position.
    m_rState.oTable.Coordinates().ClearObjectCoordinates();
    m_rState.oTable.Coordinates().SetCorrectionKind(CorrectionOfSettings());
    m_rSession.Orbit().Forget();
    m_rState.Announce(change::kTable | change::kElements | change::kCoordinates);
    m_rSession.Spectra().ClearSpectra();
}

Outcome ProjectSession::OpenProject(const std::string& sPath)
{
    bool bFormatError = false;
    std::string sReason;
    if (!m_rState.oTable.LoadFromFile(sPath, &bFormatError, &sReason)) {
        m_rState.Announce(change::kTable);
        return Message{bFormatError ? "File format error!" : "Error!",
                        "Unable to load matrix file!\n\n" + sPath + "\n" + sReason};
    }
    m_rState.sProjectPath = sPath;
    m_rState.ForgetUndo();
    // New rows get the correction the project's rows have, so that they stay comparable; a project
    // without rows, or with both kinds, gets the one the settings choose.
    m_rState.oTable.Coordinates().SetCorrectionKind(m_rState.oTable.RowsCorrection().value_or(CorrectionOfSettings()));
    m_rState.oSettings.Write(Setting::TablePath, ExtractDirectory(sPath));
    m_rState.Announce(change::kTable | change::kCoordinates | change::kLaboratoryLines | change::kLines);
    return std::nullopt;
}

Outcome ProjectSession::SaveProject(const std::string& sPath)
{
    const bool bSaved = m_rState.oTable.SaveToFile(sPath);
    const std::string sCause = quandrel::LastWriteFailure(); // before the settings write, which has its own
    m_rState.oSettings.Write(Setting::TablePath, ExtractDirectory(sPath));
    if (!bSaved) {
        return Message{"Error!", "Unable to write the project file " + sPath + "!" +
                                      (sCause.empty() ? std::string() : " (" + sCause + ")")};
    }
    m_rState.sProjectPath = sPath;
    m_rState.Announce(change::kProjectFile);
    return std::nullopt;
}

Outcome ProjectSession::DumpMeasurements(const std::string& sPath) const
{
    const bool bWritten = m_rState.oTable.DumpToFile(sPath);
    const Outcome oWritten = Written(bWritten, sPath); // before the settings write, which has its own cause
    m_rState.oSettings.Write(Setting::TableDumpPath, ExtractDirectory(sPath));
    return oWritten;
}

Outcome ProjectSession::ExportResults(const std::string& sPath, std::optional<double> fThreshold)
{
    m_rState.EnsureObserverSite();
    const bool bWritten =
        m_rState.oTable.ExportResults(fThreshold.value_or(m_rState.oSettings.ReadFloat(Setting::TimeThreshold)), sPath);
    const Outcome oWritten = Written(bWritten, sPath); // before the settings write, which has its own cause
    m_rState.oSettings.Write(Setting::ExportPath, sPath);
    return oWritten;
}
