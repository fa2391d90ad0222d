// The rules of the program's operations, checked once here where they live: what the window and the
// command line both call.
#include "session/Session.h"
#include "io/FitsSpectrum.h"
#include "core/NumberText.h"
#include "support/Generators.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace {

using quandrel::testing::CadenceOrbit;
using quandrel::testing::CadenceSeries;

// Records every announcement.
struct Recorder : SessionListener {
    std::vector<uint32_t> vChanges;
    void SessionChanged(uint32_t lChanges) override { vChanges.push_back(lChanges); }
    uint32_t All() const
    {
        uint32_t l = 0;
        for (const uint32_t c : vChanges) {
            l |= c;
        }
        return l;
    }
};

// A series of measurements written as a text file and read into the session.
std::string WriteSeries(const TempDir& oDir, const DataSeries& oSeries)
{
    std::string sText;
    for (int32_t k = 0; k < oSeries.GetArraySize(); ++k) {
        sText += quandrel::FormatFixed(oSeries.GetX(k), 6) + ";" + quandrel::FormatFixed(oSeries.GetY(k), 6) + "\n";
    }
    return oDir.Write("rv.txt", sText);
}

// A spectrum with one absorption line at fCenter, observed at fJulianDate (0: no time). The table tells
// spectra apart by the sum of their intensities, so the depth differs with the centre.
std::unique_ptr<Spectrum> LineSpectrum(double fCenter, double fJulianDate)
{
    std::vector<double> vW;
    std::vector<double> vI;
    for (int k = 0; k < 400; ++k) {
        const double x = 6500.0 + 0.25 * k;
        vW.push_back(x);
        vI.push_back(1.0 - (0.5 + 0.01 * (fCenter - 6563.0)) * std::exp(-(x - fCenter) * (x - fCenter) / 2.0));
    }
    auto pSpectrum = std::make_unique<Spectrum>();
    pSpectrum->SetValues(static_cast<int32_t>(vW.size()), vW.data(), vI.data());
    if (fJulianDate > 0) {
        pSpectrum->SetObservationTime(fJulianDate);
    }
    return pSpectrum;
}

std::map<std::string, double> NameValues(const std::string& sText)
{
    std::map<std::string, double> m;
    std::istringstream oIn(sText);
    for (std::string sLine; std::getline(oIn, sLine);) {
        if (sLine.starts_with('#')) {
            continue;
        }
        const auto lEquals = sLine.find('=');
        m[sLine.substr(0, lEquals)] = std::stod(sLine.substr(lEquals + 1));
    }
    return m;
}

class SessionTest : public ::testing::Test {
protected:
    TempDir m_oDir;
    Session m_oSession{m_oDir.File("quandrel.ini")};
    Recorder m_oRecorder;
    void SetUp() override { m_oSession.AddListener(&m_oRecorder); }
};

} // namespace

TEST_F(SessionTest, TheTableFeedsTheOrbitAndEveryChangeIsAnnounced)
{
    m_oDir.Write("lab.txt", "H-alpha;6562.8\n");
    m_oSession.Settings().Write(Setting::LaboratoryLinesFilePath, m_oDir.File("lab.txt"));
    ASSERT_TRUE(m_oSession.Lines().LoadLaboratoryLinesAtStartUp());
    m_oSession.Project().SetObjectCoordinates({5, 55, 7, 24});

    for (int k = 0; k < 3; ++k) {
        m_oSession.Spectra().AddSpectrum(LineSpectrum(6563.0 + k, k == 1 ? 0.0 : 2459000.5 + k), "s" + std::to_string(k));
        ASSERT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
        ASSERT_GT(m_oSession.Spectra().CurrentSpectrum()->GetSpectralLineCount(), 0);
        m_oSession.Lines().ActivateLine(0);
        m_oSession.Lines().IdentifyActiveLineWithNearest();
        m_oRecorder.vChanges.clear();
        const Outcome oAdded = m_oSession.Project().AddMeasurement();
        if (k == 1) {
            // No observation time: refused, nothing changes.
            ASSERT_TRUE(oAdded);
            EXPECT_EQ(oAdded->sTitle, "No time stamp specified!");
            EXPECT_TRUE(m_oRecorder.vChanges.empty());
            continue;
        }
        ASSERT_FALSE(oAdded);
        EXPECT_NE(m_oRecorder.All() & change::kTable, 0U);
        EXPECT_NE(m_oRecorder.All() & change::kSeries, 0U);
    }
    // The series of the orbit is the table's curve: one point per row, corrected velocities.
    ASSERT_EQ(m_oSession.Orbit().GridSearch().GetData().GetArraySize(), 2);
    // In BJD_TDB unless chosen otherwise; the JD (UTC) of the table when chosen.
    EXPECT_EQ(m_oSession.Orbit().SeriesTimeScale(), TimeScale::kBjdTdb);
    EXPECT_DOUBLE_EQ(m_oSession.Orbit().GridSearch().GetData().GetX(1),
                     *m_oSession.Project().TimeIn(TimeScale::kBjdTdb, 2459002.5));
    m_oSession.Orbit().SetTimeScale(TimeScale::kJulianDateUtc);
    EXPECT_DOUBLE_EQ(m_oSession.Orbit().GridSearch().GetData().GetX(1), 2459002.5);
    const double fExpected = (6565.0 - 6562.8) / 6562.8 * quandrel::kSpeedOfLight +
                             *m_oSession.Project().CurrentCorrection()->ToAdd();
    EXPECT_NEAR(m_oSession.Orbit().GridSearch().GetData().GetY(1), fExpected, 0.05);
    // The observer's site came from the settings' defaults.
    double a = 0, b = 0, c = 0, d = 0;
    m_oSession.Project().Table().Coordinates().GetObserverCoordinates(a, b, c, d);
    EXPECT_EQ(a, 9.0);
    EXPECT_EQ(c, 52.0);

    // Removing the current spectrum from the table takes its row and the spectrum.
    m_oSession.Project().RemoveCurrentFromTable();
    EXPECT_EQ(m_oSession.Project().Table().Rows().size(), 1U);
    EXPECT_EQ(m_oSession.Spectra().SpectrumCount(), 2);
    EXPECT_EQ(m_oSession.Spectra().CurrentIndex(), 0);
    EXPECT_EQ(m_oSession.Orbit().GridSearch().GetData().GetArraySize(), 1);
}

TEST_F(SessionTest, ARowNeedsAnIdentifiedLineAndAnotherRowAtTheSameTimeIsFound)
{
    m_oDir.Write("lab.txt", "H-alpha;6562.8\n");
    m_oSession.Settings().Write(Setting::LaboratoryLinesFilePath, m_oDir.File("lab.txt"));
    ASSERT_TRUE(m_oSession.Lines().LoadLaboratoryLinesAtStartUp());
    m_oSession.Project().SetObjectCoordinates({5, 55, 7, 24});
    const auto AddIdentified = [this](double fCenter, double fJulianDate) {
        m_oSession.Spectra().AddSpectrum(LineSpectrum(fCenter, fJulianDate), "s");
        ASSERT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
        m_oSession.Lines().ActivateLine(0);
        m_oSession.Lines().IdentifyActiveLineWithNearest();
    };
    AddIdentified(6563.0, 2459000.5);
    EXPECT_FALSE(m_oSession.Project().OtherRowAtCurrentTime()) << "no rows yet";
    ASSERT_FALSE(m_oSession.Project().AddMeasurement());
    EXPECT_FALSE(m_oSession.Project().OtherRowAtCurrentTime()) << "its own row is no other";
    const double fVelocity = m_oSession.Project().Table().Rows()[0].measurements[0].fVelocity1;

    // Its lines found anew (none identified): the row it has is kept as it is, not emptied.
    ASSERT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
    const Outcome oRefused = m_oSession.Project().AddMeasurement();
    ASSERT_TRUE(oRefused);
    EXPECT_EQ(oRefused->sTitle, "No identified lines!");
    ASSERT_EQ(m_oSession.Project().Table().Rows().size(), 1U);
    ASSERT_EQ(m_oSession.Project().Table().Rows()[0].measurements.size(), 1U);
    EXPECT_EQ(m_oSession.Project().Table().Rows()[0].measurements[0].fVelocity1, fVelocity);

    // Another spectrum at the same time (to the second) is found; one a minute later is not.
    AddIdentified(6564.0, 2459000.5 + 0.2 / 86400.0);
    EXPECT_EQ(m_oSession.Project().OtherRowAtCurrentTime(), 0);
    AddIdentified(6565.0, 2459000.5 + 60.0 / 86400.0);
    EXPECT_FALSE(m_oSession.Project().OtherRowAtCurrentTime());
}

TEST_F(SessionTest, RemovalsAndIdentificationsAreUndoneNewestFirst)
{
    m_oDir.Write("lab.txt", "H-alpha;6562.8\n");
    m_oSession.Settings().Write(Setting::LaboratoryLinesFilePath, m_oDir.File("lab.txt"));
    ASSERT_TRUE(m_oSession.Lines().LoadLaboratoryLinesAtStartUp());
    m_oSession.Project().SetObjectCoordinates({5, 55, 7, 24});
    for (int k = 0; k < 3; ++k) {
        m_oSession.Spectra().AddSpectrum(LineSpectrum(6563.0 + k, 2459000.5 + k), "s" + std::to_string(k));
        ASSERT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
        m_oSession.Lines().ActivateLine(0);
        m_oSession.Lines().IdentifyActiveLineWithNearest();
        ASSERT_FALSE(m_oSession.Project().AddMeasurement());
    }
    const std::vector<MeasurementRow> vRows = m_oSession.Project().Table().Rows();
    const auto SameRows = [&] {
        const auto& v = m_oSession.Project().Table().Rows();
        return v.size() == vRows.size() &&
               std::equal(v.begin(), v.end(), vRows.begin(), [](const MeasurementRow& a, const MeasurementRow& b) {
                   return a.fJulianDate == b.fJulianDate && a.measurements.size() == b.measurements.size() &&
                          a.measurements[0].fVelocity1 == b.measurements[0].fVelocity1;
               });
    };
    const Spectrum* pFirst = m_oSession.Spectra().SpectrumAt(0);
    const Spectrum* pLast = m_oSession.Spectra().SpectrumAt(2);
    // Clearing what is not there is no step.
    m_oSession.Project().ClearCell(-2, 0);
    m_oSession.Project().ClearColumn(5);
    EXPECT_EQ(m_oSession.UndoCaption(), "identify with H-alpha");

    // A row (the first spectrum's), then two spectra (the first and the last), then the current
    // spectrum with its row.
    m_oSession.Project().RemoveRow(0);
    m_oSession.Spectra().RemoveSpectra({2, 0});
    ASSERT_EQ(m_oSession.Spectra().SpectrumCount(), 1);
    EXPECT_EQ(m_oSession.UndoCaption(), "remove 2 spectra");
    m_oSession.Project().RemoveCurrentFromTable();
    EXPECT_EQ(m_oSession.Spectra().SpectrumCount(), 0);
    EXPECT_EQ(m_oSession.Project().Table().Rows().size(), 1U);

    ASSERT_TRUE(m_oSession.Undo()); // the current spectrum and its row
    EXPECT_EQ(m_oSession.Spectra().SpectrumCount(), 1);
    EXPECT_EQ(m_oSession.Project().Table().Rows().size(), 2U);
    ASSERT_TRUE(m_oSession.Undo()); // the two spectra, at their places with their names
    ASSERT_EQ(m_oSession.Spectra().SpectrumCount(), 3);
    EXPECT_EQ(m_oSession.Spectra().SpectrumAt(0), pFirst);
    EXPECT_EQ(m_oSession.Spectra().SpectrumAt(2), pLast);
    EXPECT_EQ(m_oSession.Spectra().SpectrumName(0), "s0");
    EXPECT_EQ(m_oSession.Spectra().SpectrumName(2), "s2");
    EXPECT_EQ(m_oSession.UndoCaption(), "remove row 1");
    ASSERT_TRUE(m_oSession.Undo());
    EXPECT_TRUE(SameRows());
    EXPECT_EQ(m_oSession.UndoCaption(), "identify with H-alpha") << "the identifications before";

    // An identification is undone onto the same lines; after a new search it is not.
    m_oSession.Spectra().SetCurrentSpectrum(0);
    ASSERT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
    m_oSession.Lines().ActivateLine(0);
    m_oSession.Lines().IdentifyActiveLineWithNearest();
    EXPECT_GE(m_oSession.Spectra().CurrentSpectrum()->GetLineLaboratoryIndex(0), 0);
    ASSERT_TRUE(m_oSession.Undo());
    EXPECT_LT(m_oSession.Spectra().CurrentSpectrum()->GetLineLaboratoryIndex(0), 0);

    // A project opened or closed forgets what could be undone.
    m_oSession.Project().RemoveRow(0);
    m_oSession.Project().CloseProject();
    EXPECT_FALSE(m_oSession.CanUndo());
}

TEST_F(SessionTest, OrbitFitRefusesTooFewPointsAndBadRangesAndRecoversAGeneratedOrbit)
{
    // One point: refused before anything is searched.
    DataSeries oOne;
    const double t = 2455000.0;
    const double v = 1.0;
    oOne.SetValues(&t, &v, 1);
    const Outcome oOnePoint = m_oSession.Orbit().ImportMeasurements(WriteSeries(m_oDir, oOne));
    ASSERT_TRUE(oOnePoint);
    EXPECT_NE(oOnePoint->sText.find("holds 1 lines"), std::string::npos) << oOnePoint->sText;
    EXPECT_EQ(m_oSession.Orbit().FitOrbit(m_oSession.Orbit().OrbitSearchProposal())->sTitle, "Invalid data");
    EXPECT_FALSE(m_oSession.Orbit().DefaultOrbitSearch(OrbitSearch()));

    const OrbitElements oTruth = CadenceOrbit();
    ASSERT_FALSE(m_oSession.Orbit().ImportMeasurements(WriteSeries(m_oDir, CadenceSeries(oTruth, 30))));
    OrbitSearch o = m_oSession.Orbit().OrbitSearchProposal();
    // Until a search was run, P reaches from 0.5 days to the time span of the series.
    EXPECT_EQ(o.oLower.fPeriod, 0.5);
    EXPECT_NEAR(o.oUpper.fPeriod, m_oSession.Orbit().GridSearch().GetData().GetX(29) - m_oSession.Orbit().GridSearch().GetData().GetX(0), 1e-9);
    for (const auto& [fLower, fUpper] : {std::pair{0.0, 13.0}, {13.0, 12.0}, {12.0, 12.0}}) {
        OrbitSearch oPeriod = o;
        oPeriod.oLower.fPeriod = fLower;
        oPeriod.oUpper.fPeriod = fUpper;
        const Outcome oRefused = m_oSession.Orbit().CheckOrbitSearch(oPeriod);
        ASSERT_TRUE(oRefused) << fLower << " .. " << fUpper;
        EXPECT_NE(oRefused->sText.find("greater than 0 days"), std::string::npos);
    }
    // The first P range kept from before stays; T0 and gamma follow the series.
    EXPECT_DOUBLE_EQ(o.oLower.fT0, m_oSession.Orbit().GridSearch().GetData().GetX(0));
    // An eccentricity of 1 is out of range.
    OrbitSearch oBad = o;
    oBad.oUpper.fEccentricity = 1.0;
    EXPECT_TRUE(m_oSession.Orbit().FitOrbit(oBad));
    EXPECT_FALSE(m_oSession.Orbit().IsOrbitFitted());

    o.oLower.fPeriod = 12.0;
    o.oUpper.fPeriod = 13.0;
    o.oLower.fT0 = 2455000.0;
    o.oUpper.fT0 = 2455012.5;
    o.oLower.fA1SinI = 5e6;
    o.oUpper.fA1SinI = 7e6;
    o.oLower.fGamma = -20.0;
    o.oUpper.fGamma = 0.0;
    m_oRecorder.vChanges.clear();
    ASSERT_FALSE(m_oSession.Orbit().FitOrbit(o));
    EXPECT_NE(m_oRecorder.All() & change::kElements, 0U);
    const auto mElements = NameValues(m_oSession.Orbit().ElementsText());
    EXPECT_NEAR(mElements.at("P"), 12.5, 0.05);
    EXPECT_NEAR(mElements.at("e"), 0.3, 0.03);
    EXPECT_NEAR(mElements.at("K1"), 35.0, 1.0);
    EXPECT_NEAR(mElements.at("gamma"), -12.0, 1.0);
    // The next proposal keeps the P range given, and the settings keep e and the steps.
    const OrbitSearch oNext = m_oSession.Orbit().OrbitSearchProposal();
    EXPECT_EQ(oNext.oLower.fPeriod, 12.0);
    EXPECT_EQ(oNext.oUpper.fPeriod, 13.0);
    EXPECT_EQ(oNext.oUpper.fA1SinI, 7e6);
    // The residuals: a line naming the elements, then one date;velocity;residual line per point. They
    // are those of the least-squares orbit, which an exact series meets to rounding (the grid's best
    // point misses it by up to 2 km/s).
    ASSERT_TRUE(m_oSession.Orbit().LeastSquaresFit());
    std::istringstream oResiduals(m_oSession.Orbit().ResidualsText());
    std::string sHead;
    std::getline(oResiduals, sHead);
    EXPECT_EQ(sHead, "# JD (UTC);velocity;residual of the least-squares elements\r");
    int lLines = 0;
    for (std::string sLine; std::getline(oResiduals, sLine); ++lLines) {
        EXPECT_LT(std::abs(std::stod(sLine.substr(sLine.rfind(';') + 1))), 1e-4) << sLine;
    }
    EXPECT_EQ(lLines, 30);
}

TEST_F(SessionTest, PeriodSearchChecksItsRangeAndKeepsIt)
{
    const OrbitElements oTruth = CadenceOrbit();
    ASSERT_FALSE(m_oSession.Orbit().ImportMeasurements(WriteSeries(m_oDir, CadenceSeries(oTruth, 30))));
    PeriodSearch oProposal = m_oSession.Periods().PeriodSearchProposal();
    EXPECT_EQ(oProposal.lNumberDataPoints, 30);
    EXPECT_EQ(oProposal.lBins, 10);
    // The range comes from the data (0.5 days to the time span) until one was given.
    const std::vector<double>& vT = m_oSession.Orbit().GridSearch().GetData().GetXValues();
    EXPECT_EQ(oProposal.fFrom, 0.5);
    EXPECT_EQ(oProposal.fTo, std::ceil(vT.back() - vT.front()));
    // A period beyond half the span (or at an end of the range) is said to be doubtful; 12.5 d is not.
    const SessionResult<double> oLong = m_oSession.Periods().EstimatePeriod({30, 10, 50.0, oProposal.fTo});
    ASSERT_TRUE(oLong);
    EXPECT_FALSE(m_oSession.Periods().PeriodWarning().empty()) << *oLong;
    struct Case {
        int32_t lBins;
        double fFrom;
        double fTo;
        const char* pcRefusal; // nullptr: accepted
    };
    const Case aoCases[] = {
        {0, 2, 30, "bins must be 1 or more"},
        {10, 0, 30, "greater than 0"},
        {10, 2, -1, "greater than 0"},
        {10, 1, 2e6, "100 million"},
        {10, 2, 30, nullptr},
    };
    for (const Case& c : aoCases) {
        const SessionResult<double> o = m_oSession.Periods().EstimatePeriod({30, c.lBins, c.fFrom, c.fTo});
        if (c.pcRefusal != nullptr) {
            ASSERT_FALSE(o) << c.lBins << " " << c.fFrom << " " << c.fTo;
            EXPECT_NE(o.Error().sText.find(c.pcRefusal), std::string::npos) << o.Error().sText;
        } else {
            ASSERT_TRUE(o);
            EXPECT_NEAR(*o, 12.5, 0.2);
            EXPECT_EQ(m_oSession.Periods().PeriodWarning(), "");
        }
    }
    oProposal = m_oSession.Periods().PeriodSearchProposal();
    EXPECT_EQ(oProposal.fFrom, 2.0);
    EXPECT_EQ(oProposal.fTo, 30.0);
}

TEST_F(SessionTest, CalibrationIsTriedOnTheKeptValuesAndReportsTheRootMeanSquare)
{
    m_oSession.Spectra().AddSpectrum(LineSpectrum(6563.0, 0.0), "lamp");
    const std::vector<double> vBefore = m_oSession.Spectra().CurrentSpectrum()->GetWavelengths();
    // Positions 0, 100, 200 at 6000, 6100, 6203 A: the straight line 5999.5 + 1.015 x leaves
    // residuals -0.5, 1 and -0.5 A, a mean square of 0.5.
    for (const auto& [fMeasured, fLambda] : {std::pair{0.0, 6000.0}, {100.0, 6100.0}, {200.0, 6203.0}}) {
        m_oSession.Calibration().AddCalibrationPoint(fMeasured, fLambda);
    }
    m_oSession.Calibration().BeginCalibration();
    for (int lTry = 0; lTry < 2; ++lTry) {
        const SessionResult<CalibrationFit> oTried = m_oSession.Calibration().TryCalibration({true, 1});
        ASSERT_TRUE(oTried);
        const CalibrationFit& oFit = *oTried;
        ASSERT_TRUE(oFit.bHaveResiduals);
        EXPECT_NEAR(oFit.fRms, std::sqrt(0.5), 1e-9) << "the root of the mean square, not the mean square";
        EXPECT_NEAR(oFit.fMaxAbs, 1.0, 1e-9);
        // Every try starts from the values the calibration began with.
        EXPECT_NEAR(m_oSession.Spectra().CurrentSpectrum()->GetWavelengths()[0], 5999.5 + 1.015 * vBefore[0], 1e-6);
    }
    m_oSession.Calibration().EndCalibration(std::nullopt);
    EXPECT_EQ(m_oSession.Spectra().CurrentSpectrum()->GetWavelengths(), vBefore) << "cancel restores the values exactly";
}

TEST_F(SessionTest, FilesThatCannotBeReadOrWrittenAreReportedAndChangeNothing)
{
    m_oSession.Project().SetObjectCoordinates({1, 2, 3, 4});
    const std::string sMissingFolder = m_oDir.File("no/such/folder/x.txt");
    EXPECT_EQ(m_oSession.Project().SaveProject(sMissingFolder)->sTitle, "Error!");
    EXPECT_EQ(m_oSession.Project().SaveProject(sMissingFolder)->sText,
              "Unable to write the project file " + sMissingFolder + "! (No such file or directory)") << "the cause is named";
    EXPECT_TRUE(m_oSession.Project().DumpMeasurements(sMissingFolder));
    EXPECT_TRUE(m_oSession.Orbit().ExportElements(sMissingFolder));
    EXPECT_TRUE(m_oSession.Orbit().ExportResiduals(sMissingFolder));
    // A project that cannot be opened: the message names the file and the reason.
    const Outcome oForeign = m_oSession.Project().OpenProject(m_oDir.Write("foreign.mtx", "not a project"));
    ASSERT_TRUE(oForeign);
    EXPECT_EQ(oForeign->sTitle, "File format error!");
    EXPECT_EQ(oForeign->sText.rfind("Unable to load matrix file!", 0), 0U);
    EXPECT_NE(oForeign->sText.find(m_oDir.File("foreign.mtx")), std::string::npos);
    EXPECT_NE(oForeign->sText.find("no intact project file"), std::string::npos);
    const Outcome oAbsent = m_oSession.Project().OpenProject(m_oDir.File("absent.mtx"));
    ASSERT_TRUE(oAbsent);
    EXPECT_EQ(oAbsent->sTitle, "Error!");
    EXPECT_NE(oAbsent->sText.find("no such file"), std::string::npos);
    EXPECT_TRUE(m_oSession.Project().ProjectPath().empty());
    EXPECT_TRUE(m_oSession.Project().ObjectPosition());
    EXPECT_EQ(m_oSession.Orbit().ImportMeasurements(m_oDir.File("absent.txt"))->sTitle, "File format error!");
    // An export that works leaves no temporary file behind.
    const auto nBefore = std::distance(std::filesystem::directory_iterator(m_oDir.File("")), {});
    ASSERT_FALSE(m_oSession.Orbit().ExportElements(m_oDir.File("elements.txt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_oDir.File("")), {}), nBefore + 1);
}

TEST(SettingsGateway, EveryKeyReadsItsDefaultAndWritesBack)
{
    TempDir oDir;
    const SettingsGateway oSettings(oDir.File("q.ini"));
    const GeographicSite oSite = oSettings.ReadObserverSite();
    EXPECT_EQ(oSite.fLongitudeDegrees, 9.0);
    EXPECT_EQ(oSite.fLatitudeDegrees, 52.0);
    EXPECT_EQ(oSettings.ReadPath(Setting::LaboratoryLinesFilePath), "LinesX.txt");
    EXPECT_EQ(oSettings.ReadPath(Setting::SpectraPath), ".");
    EXPECT_TRUE(oSettings.ReadBool(Setting::KeepYAxisFixed));
    EXPECT_EQ(oSettings.ReadOrbitRanges().fA1SinIMax, 1e10);
    // No two settings share a key: one would overwrite the other in the file.
    std::set<std::pair<std::string, std::string>> vKeys;
    for (int i = 0; i < static_cast<int>(Setting::Count); ++i) {
        const SettingKey& o = SettingsGateway::Key(static_cast<Setting>(i));
        EXPECT_TRUE(vKeys.emplace(o.pcSection, o.pcKey).second) << o.pcSection << "/" << o.pcKey;
    }
    ASSERT_TRUE(oSettings.WriteObserverSite({-80.5, 0, -33.0, 30.0}));
    EXPECT_EQ(oSettings.ReadObserverSite().fLongitudeDegrees, -80.5);
    EXPECT_EQ(oSettings.File().ReadFloat("GeographicCoordinates", "LatMin", 0), 30.0);
}

TEST_F(SessionTest, AFitsSpectrumGivesTheTableItsSiteAndKeepsItsRowWhenNormalised)
{
    SpectrumMetadata oHeader;
    oHeader.oJulianDateMid = 2459739.4;
    oHeader.oLongitudeWestDegrees = 80.25; // a site far from the settings' 9 deg W
    oHeader.oLatitudeDegrees = -30.5;
    oHeader.oRightAscensionHours = 5.5;
    oHeader.oDeclinationDegrees = -7.25;
    const std::unique_ptr<Spectrum> pLine = LineSpectrum(6563.0, 0.0);
    // On a sloping continuum, so that normalising changes every intensity.
    std::vector<double> vCounts = pLine->GetIntensities();
    for (std::size_t i = 0; i < vCounts.size(); ++i) {
        vCounts[i] *= 2.0 + 0.001 * static_cast<double>(i);
    }
    std::string sError;
    ASSERT_TRUE(WriteFitsSpectrum(m_oDir.File("s.fits"), pLine->GetWavelengths(), vCounts, oHeader, sError));
    auto oRead = m_oSession.Spectra().ReadFitsSpectrum(m_oDir.File("s.fits"));
    ASSERT_TRUE(oRead) << oRead.Error().sText;
    m_oSession.Spectra().AddSpectrum(std::move(oRead->pSpectrum), "s.fits");
    const auto oObject = m_oSession.Spectra().HeaderCoordinates();
    ASSERT_TRUE(oObject);
    EXPECT_EQ(oObject->fRightAscensionHours, 5.0);
    EXPECT_EQ(oObject->fRightAscensionMinutes, 30.0);
    EXPECT_EQ(oObject->fDeclinationDegrees, -7.0);
    EXPECT_EQ(oObject->fDeclinationMinutes, -15.0) << "the minutes carry the sign";
    m_oSession.Project().SetObjectCoordinates({5, 30, -7, -15.5});
    EXPECT_TRUE(m_oSession.Spectra().HeaderCoordinatesMismatch().empty()) << "half an arcminute apart";
    m_oSession.Project().SetObjectCoordinates(*oObject);

    // Without an identified line the spectrum gives no row.
    const Outcome oNoLines = m_oSession.Project().AddMeasurement();
    ASSERT_TRUE(oNoLines);
    EXPECT_EQ(oNoLines->sTitle, "No identified lines!");
    EXPECT_TRUE(m_oSession.Project().Table().Rows().empty());
    m_oDir.Write("lab.txt", "H-alpha;6562.8\n");
    m_oSession.Settings().Write(Setting::LaboratoryLinesFilePath, m_oDir.File("lab.txt"));
    ASSERT_TRUE(m_oSession.Lines().LoadLaboratoryLinesAtStartUp());
    ASSERT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
    m_oSession.Lines().ActivateLine(0);
    m_oSession.Lines().IdentifyActiveLineWithNearest();
    ASSERT_FALSE(m_oSession.Project().AddMeasurement());
    double fLongitude = 0, fLongitudeMinutes = 0, fLatitude = 0, fLatitudeMinutes = 0;
    m_oSession.Project().Table().Coordinates().GetObserverCoordinates(fLongitude, fLongitudeMinutes, fLatitude, fLatitudeMinutes);
    EXPECT_EQ(fLongitude + fLongitudeMinutes / 60.0, 80.25);
    EXPECT_EQ(fLatitude + fLatitudeMinutes / 60.0, -30.5);

    // Normalised, restored and measured again, the spectrum keeps its one row.
    ASSERT_EQ(m_oSession.Project().CurrentRow(), 0);
    const double fVelocity = m_oSession.Project().Table().Rows()[0].measurements[0].fVelocity1;
    ASSERT_FALSE(m_oSession.Spectra().NormalizeCurrentSpectrum(ContinuumOptions{}));
    EXPECT_EQ(m_oSession.Project().CurrentRow(), 0);
    EXPECT_EQ(m_oSession.Project().Table().Rows()[0].measurements[0].fVelocity1, fVelocity) << "measured before normalising";
    ASSERT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
    m_oSession.Lines().ActivateLine(0);
    m_oSession.Lines().IdentifyActiveLineWithNearest();
    ASSERT_FALSE(m_oSession.Project().AddMeasurement());
    EXPECT_EQ(m_oSession.Project().Table().Rows().size(), 1U);
    ASSERT_FALSE(m_oSession.Spectra().RestoreCurrentSpectrum());
    EXPECT_EQ(m_oSession.Project().CurrentRow(), 0);
    // Normalised and calibrated (its wavelengths shifted by 1 A), and the calibration undone: still its row.
    ASSERT_FALSE(m_oSession.Spectra().NormalizeCurrentSpectrum(ContinuumOptions{}));
    const std::vector<double> vWavelength = m_oSession.Spectra().CurrentSpectrum()->GetWavelengths();
    m_oSession.Calibration().AddCalibrationPoint(vWavelength.front(), vWavelength.front() + 1.0);
    m_oSession.Calibration().AddCalibrationPoint(vWavelength.back(), vWavelength.back() + 1.0);
    m_oSession.Calibration().BeginCalibration();
    ASSERT_TRUE(m_oSession.Calibration().TryCalibration({true, 1}));
    m_oSession.Calibration().EndCalibration(CalibrationMode{true, 1});
    EXPECT_NEAR(m_oSession.Spectra().CurrentSpectrum()->GetWavelengths().front(), vWavelength.front() + 1.0, 1e-6);
    EXPECT_EQ(m_oSession.Project().CurrentRow(), 0);
    ASSERT_TRUE(m_oSession.Undo());
    EXPECT_EQ(m_oSession.Project().CurrentRow(), 0);
}

namespace {

struct AutoCase {
    const char* pcName;
    OrbitElements oTruth;
    double fNightly;   // > 0: one point a night near this hour fraction of the day; 0: random times
    bool bPeakMisses;  // the periodogram's strongest peak lies away from the period
};

class SuggestedSearch : public ::testing::TestWithParam<AutoCase> {};

} // namespace

// "Suggest" (and --auto) tries the highest peaks, their aliases and twice the best period, and keeps
// the one whose orbit fits best: it finds orbits whose strongest peak is an alias or the half period.
TEST_P(SuggestedSearch, FindsThePeriodWhereTheStrongestPeakMissesIt)
{
    const AutoCase& c = GetParam();
    TempDir oDir;
    std::mt19937 oRandom(17);
    std::uniform_real_distribution<double> oDay(0.0, 120.0);
    std::normal_distribution<double> oNoise(0.0, 0.5);
    std::vector<double> vT;
    for (int k = 0; k < 40; ++k) {
        vT.push_back(2459000.0 + (c.fNightly > 0 ? 3.0 * k + c.fNightly + 0.02 * oNoise(oRandom) : oDay(oRandom)));
    }
    std::sort(vT.begin(), vT.end());
    std::string sText;
    for (const double t : vT) {
        sText += quandrel::FormatFixed(t, 6) + ";" +
                 quandrel::FormatFixed(OrbitGridSearch::ModelVelocity(t, c.oTruth) + oNoise(oRandom), 4) + "\n";
    }
    Session oSession(oDir.File("q.ini"));
    ASSERT_FALSE(oSession.Orbit().ImportMeasurements(oDir.Write("rv.txt", sText)));
    const SessionResult<PeriodogramResult> oComputed = oSession.Periods().ComputePeriodogram(0.0, 0.0, 0);
    ASSERT_TRUE(oComputed);
    const PeriodogramResult& oPeriodogram = *oComputed;
    EXPECT_EQ(std::fabs(oPeriodogram.BestPeriod() / c.oTruth.fPeriod - 1.0) > 0.05, c.bPeakMisses)
        << "the periodogram's peak: " << oPeriodogram.BestPeriod();
    const SessionResult<OrbitSearch> oSearch = oSession.Orbit().SuggestOrbitSearch(oSession.Orbit().OrbitSearchProposal());
    ASSERT_TRUE(oSearch);
    oSession.Orbit().FitOrbit(*oSearch);
    ASSERT_TRUE(oSession.Orbit().LeastSquaresFit());
    const LeastSquaresElements& o = *oSession.Orbit().LeastSquaresFit();
    EXPECT_NEAR(o.afValue[LeastSquaresElements::kPeriod], c.oTruth.fPeriod, 4.0 * o.afError[LeastSquaresElements::kPeriod] + 1e-4);
    EXPECT_NEAR(o.afValue[LeastSquaresElements::kK1], c.oTruth.fK1, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    GeneratedOrbits, SuggestedSearch,
    ::testing::Values(AutoCase{"daily_alias", quandrel::testing::Orbit(1.17, 2459000.3, 0.05, 40.0, 25.0, -3.0), 0.7, true},
                      AutoCase{"plain", quandrel::testing::Orbit(12.5, 2459003.1, 0.3, 60.0, 35.0, -12.0), 0.0, false}),
    [](const ::testing::TestParamInfo<AutoCase>& o) { return std::string(o.param.pcName); });

TEST_F(SessionTest, WavelengthsTheHeaderSaysAreCorrectedAreNotCorrectedAgain)
{
    // tests/data/fits/v_*.fits (make_fits_cases.py): a star at -30 km/s observed on 2022-06-08 from
    // 1.68 deg W; v_helio.fits holds the same spectrum with its wavelengths corrected by astropy's
    // heliocentric correction of -11.6028 km/s, and says so in BSS_VHEL.
    m_oDir.Write("lab.txt", "H-alpha;6562.8\n");
    m_oSession.Settings().Write(Setting::LaboratoryLinesFilePath, m_oDir.File("lab.txt"));
    ASSERT_TRUE(m_oSession.Lines().LoadLaboratoryLinesAtStartUp());
    std::map<std::string, double> mRowVelocity;
    std::map<std::string, SpectrumCorrection> mCorrection;
    for (const char* pcFile : {"v_topo.fits", "v_helio.fits", "v_rqvh_sign.fits"}) {
        SCOPED_TRACE(pcFile);
        auto oRead = m_oSession.Spectra().ReadFitsSpectrum(std::string(QUANDREL_TEST_DATA_DIR) + "/fits/" + pcFile);
        ASSERT_TRUE(oRead) << oRead.Error().sText;
        m_oSession.Spectra().AddSpectrum(std::move(oRead->pSpectrum), pcFile);
        m_oSession.Project().SetObjectCoordinates(*m_oSession.Spectra().HeaderCoordinates());
        ASSERT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
        ASSERT_EQ(m_oSession.Lines().IdentifyAllLines(100.0), 1);
        ASSERT_FALSE(m_oSession.Project().AddMeasurement());
        const MeasurementRow& oRow = m_oSession.Project().Table().Rows()[*m_oSession.Project().CurrentRow()];
        mRowVelocity[pcFile] = oRow.measurements.at(0).fVelocity1;
        EXPECT_NEAR(*m_oSession.Lines().LineTable().at(0).oCorrected, mRowVelocity[pcFile], 1e-9)
            << "the line table shows what the row holds";
        mCorrection[pcFile] = *m_oSession.Project().CurrentCorrection();
    }
    // The program's low-precision correction is within 0.02 km/s of astropy's.
    EXPECT_NEAR(mRowVelocity["v_topo.fits"], -30.0, 0.03);
    EXPECT_NEAR(mRowVelocity["v_helio.fits"], mRowVelocity["v_topo.fits"], 0.01) << "corrected once, not twice";
    EXPECT_EQ(mCorrection["v_helio.fits"].ToAdd(), 0.0);
    EXPECT_EQ(DescribeFrame(mCorrection["v_helio.fits"]),
              "wavelengths heliocentric in the file (BSS_VHEL = -11.603 km/s), not corrected again");
    EXPECT_NEAR(*mCorrection["v_topo.fits"].ToAdd(), -11.6028, 0.02);
    // BSS_RQVH as BeSS counts it agrees with the program's correction; with the other sign it is warned about.
    EXPECT_EQ(mCorrection["v_topo.fits"].sWarning, "");
    EXPECT_NE(mCorrection["v_rqvh_sign.fits"].sWarning.find("BSS_RQVH = -11.603 km/s"), std::string::npos)
        << mCorrection["v_rqvh_sign.fits"].sWarning;
    EXPECT_NE(mCorrection["v_rqvh_sign.fits"].sWarning.find("opposite sign"), std::string::npos);
}

TEST_F(SessionTest, TheChosenCorrectionGoesToNewMeasurementsWhileRowsKeepTheirVelocities)
{
    m_oDir.Write("lab.txt", "H-alpha;6562.8\n");
    m_oSession.Settings().Write(Setting::LaboratoryLinesFilePath, m_oDir.File("lab.txt"));
    ASSERT_TRUE(m_oSession.Lines().LoadLaboratoryLinesAtStartUp());
    auto oRead = m_oSession.Spectra().ReadFitsSpectrum(std::string(QUANDREL_TEST_DATA_DIR) + "/fits/v_topo.fits");
    ASSERT_TRUE(oRead);
    m_oSession.Spectra().AddSpectrum(std::move(oRead->pSpectrum), "v_topo.fits");
    m_oSession.Project().SetObjectCoordinates(*m_oSession.Spectra().HeaderCoordinates());
    ASSERT_FALSE(m_oSession.Lines().FindSpectralLines(*SliderScale::SearchOf(20, 10, 0)));
    ASSERT_EQ(m_oSession.Lines().IdentifyAllLines(100.0), 1);
    EXPECT_EQ(m_oSession.Project().Correction(), CorrectionKind::kBarycentric) << "the precise one unless chosen";
    ASSERT_FALSE(m_oSession.Project().AddMeasurement());
    const double fPrecise = m_oSession.Project().Table().Rows()[0].measurements[0].fVelocity1;
    m_oSession.Project().SetCorrection(CorrectionKind::kHeliocentric);
    EXPECT_EQ(m_oSession.Project().Table().Rows()[0].measurements[0].fVelocity1, fPrecise) << "the row keeps its velocity";
    ASSERT_FALSE(m_oSession.Project().AddMeasurement());
    const double fClassic = m_oSession.Project().Table().Rows()[0].measurements[0].fVelocity1;
    // The two corrections differ by the Sun's motion about the barycentre and the approximations of
    // the classic formula: metres per second.
    EXPECT_GT(std::fabs(fPrecise - fClassic), 1e-4);
    EXPECT_LT(std::fabs(fPrecise - fClassic), 0.03);
    EXPECT_EQ(Session(m_oDir.File("quandrel.ini")).Project().Correction(), CorrectionKind::kHeliocentric)
        << "the choice is kept in the settings";

    // A project keeps its rows' correction: reopened under the other setting, new rows get the same.
    ASSERT_FALSE(m_oSession.Project().SaveProject(m_oDir.File("classic.mtx")));
    m_oSession.Project().SetCorrection(CorrectionKind::kBarycentric);
    ASSERT_FALSE(m_oSession.Project().AddMeasurement());
    ASSERT_FALSE(m_oSession.Project().SaveProject(m_oDir.File("precise.mtx")));
    ASSERT_FALSE(m_oSession.Project().OpenProject(m_oDir.File("classic.mtx")));
    EXPECT_EQ(m_oSession.Project().Correction(), CorrectionKind::kHeliocentric);
    EXPECT_EQ(m_oSession.Project().Table().Rows()[0].measurements[0].fVelocity1, fClassic);
    m_oSession.Project().CloseProject();
    EXPECT_EQ(m_oSession.Project().Correction(), CorrectionKind::kBarycentric) << "back to the settings' choice";
    m_oSession.Project().SetCorrection(CorrectionKind::kHeliocentric);
    ASSERT_FALSE(m_oSession.Project().OpenProject(m_oDir.File("precise.mtx")));
    EXPECT_EQ(m_oSession.Project().Correction(), CorrectionKind::kBarycentric);
    EXPECT_EQ(m_oSession.Project().Table().Rows()[0].measurements[0].fVelocity1, fPrecise);
}
