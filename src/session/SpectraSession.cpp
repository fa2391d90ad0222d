// The session's spectra: the list and the current one, spectrum files (text files read with the import
// settings, FITS files read with their headers, the header's object set against the table's, the
// current spectrum written as FITS with its metadata) and the continuum normalisation.
#include "Session.h"

#include "core/NumberText.h"
#include "io/FitsSpectrum.h"

#include <algorithm>
#include <cmath>

namespace {

// Hours or degrees with signed minutes, as the coordinate dialogs take them (minutes carry the sign).
std::pair<double, double> WholeAndMinutes(double fValue)
{
    const double fWhole = std::trunc(fValue);
    return {fWhole, (fValue - fWhole) * 60.0};
}

double Radians(double fDegrees)
{
    return fDegrees * quandrel::kPi / 180.0;
}

} // namespace

int32_t SpectraSession::SpectrumCount() const
{
    return m_rState.SpectrumCount();
}

const Spectrum* SpectraSession::SpectrumAt(int32_t lIndex) const
{
    return m_rState.SpectrumAt(lIndex);
}

const std::string& SpectraSession::SpectrumName(int32_t lIndex) const
{
    return m_rState.vNames.at(static_cast<std::size_t>(lIndex));
}

const Spectrum* SpectraSession::CurrentSpectrum() const
{
    return m_rState.pCurrentSpectrum;
}

void SpectraSession::SpectrumValuesChanged()
{
    m_rState.Announce(change::kSpectrumValues);
}

int32_t SpectraSession::CurrentIndex() const
{
    for (int32_t i = 0; i < SpectrumCount(); ++i) {
        if (SpectrumAt(i) == m_rState.pCurrentSpectrum) {
            return i;
        }
    }
    return -1;
}

void SpectraSession::AddSpectrum(std::unique_ptr<Spectrum> pSpectrum, const std::string& sName)
{
    m_rState.pCurrentSpectrum = pSpectrum.get();
    pSpectrum->SetActiveLineMark(&m_rState.oActiveLine);
    m_rState.oSpectra.AddSpectrum(std::move(pSpectrum));
    m_rState.vNames.push_back(sName);
    m_rState.Announce(change::kSpectra | change::kCurrentSpectrum | change::kSpectrumKind | change::kLines | change::kTime);
}

void SpectraSession::SetCurrentSpectrum(int32_t lIndex)
{
    Spectrum* pSpectrum = lIndex >= 0 ? m_rState.SpectrumAt(lIndex) : nullptr;
    if (pSpectrum == nullptr && lIndex >= 0) {
        return;
    }
    m_rState.pCurrentSpectrum = pSpectrum;
    m_rState.Announce(change::kCurrentSpectrum | change::kSpectrumKind | change::kLines | change::kTime);
}

void SpectraSession::RemoveSpectra(std::vector<int32_t> vIndices)
{
    UndoStep oStep;
    m_rState.TakeSpectraInto(std::move(vIndices), oStep);
    if (oStep.vSpectra.empty()) {
        return;
    }
    oStep.sWhat = oStep.vSpectra.size() == 1 ? "remove spectrum " + oStep.vNames.front()
                                             : "remove " + std::to_string(oStep.vSpectra.size()) + " spectra";
    m_rState.PushUndo(std::move(oStep));
    m_rState.pCurrentSpectrum = m_rState.SpectrumAt(0);
    m_rState.Announce(change::kSpectra | change::kCurrentSpectrum | change::kSpectrumKind | change::kLines | change::kTime);
}

void SpectraSession::ClearSpectra()
{
    m_rState.pCurrentSpectrum = nullptr;
    while (!m_rState.oSpectra.IsEmpty()) {
        m_rState.oSpectra.RemoveSpectrum(m_rState.oSpectra.GetSpectrumCount() - 1);
    }
    m_rState.vNames.clear();
    m_rState.Announce(change::kSpectra | change::kCurrentSpectrum | change::kSpectrumKind | change::kLines | change::kTime);
}

void SpectraSession::SetSpectrumKind(bool bReference, bool bEmission)
{
    if (m_rState.pCurrentSpectrum == nullptr) {
        return;
    }
    m_rState.pCurrentSpectrum->SetReferenceSpectrum(bReference);
    m_rState.pCurrentSpectrum->SetEmissionSpectrum(bEmission);
    m_rState.Announce(change::kSpectrumKind);
}

void SpectraSession::SetObservationTime(double fJulianDate)
{
    if (m_rState.pCurrentSpectrum == nullptr) {
        return;
    }
    m_rState.pCurrentSpectrum->SetObservationTime(fJulianDate);
    m_rState.Announce(change::kTime);
}

std::string SpectraSession::DoubtfulJulianDate(double fJulianDate)
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

std::optional<double> SpectraSession::CurrentObservationTime() const
{
    double fJulianDate = 0.0;
    if (m_rState.pCurrentSpectrum == nullptr || !m_rState.pCurrentSpectrum->GetObservationTime(fJulianDate)) {
        return std::nullopt;
    }
    return fJulianDate;
}

SessionResult<SpectraSession::SpectrumFile> SpectraSession::ReadSpectrumFile(const std::string& sPath,
                                                                             const ImportSettings& oSettings)
{
    SpectrumFile oFile;
    if (IsFitsFile(sPath)) {
        auto oFits = ::ReadFitsSpectrum(sPath, oSettings.oChoice);
        if (!oFits) {
            return quandrel::Failure(Message{"Error!", oFits.Error()});
        }
        oFile.vWavelength = std::move(oFits->vWavelength);
        oFile.vIntensity = std::move(oFits->vIntensity);
        oFile.oMetadata = std::move(oFits->oMetadata);
        oFile.vWarnings = std::move(oFits->vWarnings);
        return oFile;
    }
    ImportSettings oSkipping = oSettings;
    oSkipping.lLinesToSkip = LinesToSkipAtLeastHeaders(sPath, oSkipping.lLinesToSkip);
    CsvFile oReader;
    if (SpectrumFileImport(oReader, sPath, oSkipping, oFile.vWavelength, oFile.vIntensity) != 0) {
        return quandrel::Failure(Message{"Error!", "Unable to read the file " + sPath + "."});
    }
    if (oFile.vWavelength.empty()) {
        return quandrel::Failure(Message{"Error!", "The file " + sPath + " holds no data lines."});
    }
    return oFile;
}

SessionResult<std::unique_ptr<Spectrum>> SpectraSession::ReadTextSpectrum(const std::string& sPath) const
{
    const Message oUnreadable{"Error!", "The file " + sPath + " cannot be read or holds no data lines."};
    if (IsFitsFile(sPath)) {
        return quandrel::Failure(oUnreadable);
    }
    auto oFile = ReadSpectrumFile(sPath, m_rState.oSettings.ReadImportSettings());
    if (!oFile) {
        return quandrel::Failure(oUnreadable);
    }
    auto pSpectrum = std::make_unique<Spectrum>();
    pSpectrum->TakeValues(std::move(oFile->vWavelength), std::move(oFile->vIntensity));
    return pSpectrum;
}

std::vector<FitsEntry> SpectraSession::SpectraInFile(const std::string& sPath)
{
    if (!IsFitsFile(sPath)) {
        return {};
    }
    auto oEntries = ListFitsSpectra(sPath);
    return oEntries ? std::move(*oEntries) : std::vector<FitsEntry>();
}

bool SpectraSession::MustChoose(const std::vector<FitsEntry>& v)
{
    return v.size() > 1 && std::none_of(v.begin(), v.end(), [](const FitsEntry& o) { return o.bMerged; });
}

SessionResult<SpectraSession::FitsRead> SpectraSession::ReadFitsSpectrum(const std::string& sPath,
                                                                         const SpectrumChoice& oChoice) const
{
    if (!IsFitsFile(sPath)) {
        return quandrel::Failure(Message{"Error!", "The file " + sPath + " is no FITS file."});
    }
    ImportSettings oSettings;
    oSettings.oChoice = oChoice;
    auto oFits = ReadSpectrumFile(sPath, oSettings);
    if (!oFits) {
        return quandrel::Failure(oFits.Error());
    }
    FitsRead oRead;
    oRead.pSpectrum = std::make_unique<Spectrum>();
    Spectrum* pSpectrum = oRead.pSpectrum.get();
    pSpectrum->TakeValues(std::move(oFits->vWavelength), std::move(oFits->vIntensity));
    if (oFits->oMetadata.oJulianDateMid) {
        pSpectrum->SetObservationTime(*oFits->oMetadata.oJulianDateMid);
    }
    pSpectrum->SetMetadata(std::move(oFits->oMetadata));
    if (!oFits->vWarnings.empty()) {
        std::string sText = "The header of " + sPath + " holds values the program cannot read:";
        for (const std::string& s : oFits->vWarnings) {
            sText += "\n" + s;
        }
        oRead.oWarning = Message{"Warning!", sText};
    }
    return oRead;
}

std::optional<EquatorialPosition> SpectraSession::HeaderCoordinates() const
{
    if (m_rState.pCurrentSpectrum == nullptr || !m_rState.pCurrentSpectrum->GetMetadata().HasCoordinates()) {
        return std::nullopt;
    }
    const SpectrumMetadata& m = m_rState.pCurrentSpectrum->GetMetadata();
    const auto [fHours, fHourMinutes] = WholeAndMinutes(*m.oRightAscensionHours);
    const auto [fDegrees, fDegreeMinutes] = WholeAndMinutes(*m.oDeclinationDegrees);
    return EquatorialPosition{fHours, fHourMinutes, fDegrees, fDegreeMinutes};
}

std::string SpectraSession::HeaderCoordinatesMismatch() const
{
    const auto oHeader = HeaderCoordinates();
    const auto oTable = m_rSession.Project().ObjectPosition();
    if (!oHeader || !oTable) {
        return std::string();
    }
    const auto Position = [](const EquatorialPosition& o) {
        return std::pair{Radians((o.fRightAscensionHours + o.fRightAscensionMinutes / 60.0) * 15.0),
                         Radians(o.fDeclinationDegrees + o.fDeclinationMinutes / 60.0)};
    };
    const auto [a1, d1] = Position(*oHeader);
    const auto [a2, d2] = Position(*oTable);
    // The haversine formula, exact for small separations too.
    const double h = std::pow(std::sin((d2 - d1) / 2), 2) + std::cos(d1) * std::cos(d2) * std::pow(std::sin((a2 - a1) / 2), 2);
    const double fArcminutes = 2.0 * std::asin(std::min(1.0, std::sqrt(h))) * 180.0 / quandrel::kPi * 60.0;
    if (fArcminutes <= 1.0) {
        return std::string();
    }
    const std::string& sObject = m_rState.pCurrentSpectrum->GetMetadata().sObject;
    return "The header of this spectrum places its object" + (sObject.empty() ? std::string() : " (" + sObject + ")") +
           " " + quandrel::FormatFixed(fArcminutes, 1) + "' away from the object of the table of radial velocities.";
}

Outcome SpectraSession::SaveSpectrumAsFits(const std::string& sPath) const
{
    if (m_rState.pCurrentSpectrum == nullptr || m_rState.pCurrentSpectrum->GetNumberValues() == 0) {
        return Message{"Error!", "No spectrum is loaded."};
    }
    SpectrumMetadata oMetadata = m_rState.pCurrentSpectrum->GetMetadata();
    double fJulianDate = 0.0;
    if (m_rState.pCurrentSpectrum->GetObservationTime(fJulianDate)) {
        oMetadata.oJulianDateMid = fJulianDate;
    }
    if (const auto oObject = m_rSession.Project().ObjectPosition()) {
        oMetadata.oRightAscensionHours = oObject->fRightAscensionHours + oObject->fRightAscensionMinutes / 60.0;
        oMetadata.oDeclinationDegrees = oObject->fDeclinationDegrees + oObject->fDeclinationMinutes / 60.0;
    }
    if (m_rState.oTable.Coordinates().AreObserverCoordinatesSet()) {
        double fLongitude = 0.0;
        double fLongitudeMinutes = 0.0;
        double fLatitude = 0.0;
        double fLatitudeMinutes = 0.0;
        m_rState.oTable.Coordinates().GetObserverCoordinates(fLongitude, fLongitudeMinutes, fLatitude, fLatitudeMinutes);
        oMetadata.oLongitudeWestDegrees = fLongitude + fLongitudeMinutes / 60.0;
        oMetadata.oLatitudeDegrees = fLatitude + fLatitudeMinutes / 60.0;
    }
    const auto oCorrection = m_rSession.Project().CurrentCorrection();
    if (oCorrection && oCorrection->ToAdd()) {
        oMetadata.oVelocityCorrection = *oCorrection->ToAdd();
    }
    oMetadata = ProjectSession::HeaderForWriting(std::move(oMetadata), m_rSession.Project().Identity(),
                                                 oCorrection ? oCorrection->oComputed : std::nullopt);
    std::string sError;
    if (!WriteFitsSpectrum(sPath, m_rState.pCurrentSpectrum->GetWavelengths(), m_rState.pCurrentSpectrum->GetIntensities(), oMetadata,
                           sError)) {
        return Message{"Error!", sError};
    }
    return std::nullopt;
}

SessionResult<ContinuumFit> SpectraSession::FitCurrentContinuum(const ContinuumOptions& oOptions) const
{
    if (m_rState.pCurrentSpectrum == nullptr || m_rState.pCurrentSpectrum->GetNumberValues() == 0) {
        return quandrel::Failure(Message{"Error!", "No spectrum is loaded."});
    }
    auto oFit = FitContinuum(m_rState.pCurrentSpectrum->GetWavelengths(), m_rState.pCurrentSpectrum->GetIntensities(), oOptions);
    if (!oFit) {
        return quandrel::Failure(Message{"Error!", oFit.Error(), true});
    }
    return std::move(*oFit);
}

Outcome SpectraSession::NormalizeCurrentSpectrum(const ContinuumOptions& oOptions)
{
    const auto oFit = FitCurrentContinuum(oOptions);
    if (!oFit) {
        return oFit.Error();
    }
    m_rState.pCurrentSpectrum->DivideByContinuum(oFit->vContinuum);
    m_rState.Announce(change::kSpectrumValues | change::kLines);
    return std::nullopt;
}

bool SpectraSession::CanRestoreCurrentSpectrum() const
{
    return m_rState.pCurrentSpectrum != nullptr && m_rState.pCurrentSpectrum->HasOriginalIntensities();
}

Outcome SpectraSession::RestoreCurrentSpectrum()
{
    if (!CanRestoreCurrentSpectrum()) {
        return Message{"Error!", "This spectrum has no other intensities to go back to."};
    }
    m_rState.pCurrentSpectrum->RestoreIntensities();
    m_rState.Announce(change::kSpectrumValues | change::kLines);
    return std::nullopt;
}
