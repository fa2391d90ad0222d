// The table of radial velocities: rows, columns and cells, the curve, and
// the text files.
#include "core/BinaryStream.h"
#include "core/DataSeries.h"
#include "core/NumberText.h"
#include "spectrum/Spectrum.h"
#include "rvtable/RvTable.h"
#include "rvtable/VelocityStatistics.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// A spectrum with absorption lines at the given wavelengths, found and identified with the given laboratory indices.
std::unique_ptr<Spectrum> MakeSpectrum(double fJd, const std::vector<std::pair<double, int32_t>>& vLines,
                                        double fSalt = 0.0)
{
    auto pSpectrum = std::make_unique<Spectrum>();
    std::vector<double> vW(4000);
    std::vector<double> vI(4000);
    for (int k = 0; k < 4000; ++k) {
        vW[static_cast<std::size_t>(k)] = 6000.0 + 0.25 * k;
        double y = 1.0 + fSalt * k * 1e-9;
        for (const auto& [fCentre, lIndex] : vLines) {
            y -= 0.5 * std::exp(-std::pow(vW[static_cast<std::size_t>(k)] - fCentre, 2) / 2.0);
        }
        vI[static_cast<std::size_t>(k)] = y;
    }
    pSpectrum->SetValues(4000, vW.data(), vI.data());
    pSpectrum->FindSpectralLines(40, 0.1);
    EXPECT_EQ(pSpectrum->GetSpectralLineCount(), static_cast<int32_t>(vLines.size()));
    for (int32_t i = 0; i < pSpectrum->GetSpectralLineCount(); ++i) {
        const auto& [fCentre, lIndex] = vLines[static_cast<std::size_t>(i)];
        if (lIndex >= 0) {
            pSpectrum->SetLineIdentification(i, lIndex, fCentre - 1.0, "lab");
        }
    }
    pSpectrum->SetObservationTime(fJd);
    return pSpectrum;
}

std::string Cell(const RvTable& oTable, int32_t r, int32_t c)
{
    std::string s;
    bool bRow = false;
    bool bFilled = false;
    oTable.GetCellText(r, c, s, bRow, bFilled);
    return s;
}

} // namespace

TEST(RvTable, RowsFollowTheJulianDateAndReplaceTheSameSpectrum)
{
    RvTable oTable;
    EXPECT_TRUE(oTable.IsSaved());
    auto pA = MakeSpectrum(2455000.5, {{6200.0, 2}, {6500.0, 5}});
    auto pB = MakeSpectrum(2455000.2, {{6500.0, 5}, {6700.0, 7}}, 1.0);
    auto pC = MakeSpectrum(2455000.2, {{6300.0, -1}}, 2.0);
    oTable.AddSpectrumRow(pA.get());
    oTable.AddSpectrumRow(pB.get());
    EXPECT_FALSE(oTable.IsSaved());
    oTable.AddSpectrumRow(pC.get());
    int32_t lRows = 0;
    int32_t lColumns = 0;
    oTable.GetDimensions(lRows, lColumns);
    EXPECT_EQ(lRows, 3);
    EXPECT_EQ(lColumns, 3) << "indices 2, 5 and 7";
    // Equal dates: the later addition goes first.
    EXPECT_EQ(oTable.Rows()[0].fSpectrumKey, pC->Key());
    EXPECT_EQ(oTable.Rows()[0].Count(), 0) << "no identified line: a row without measurements";
    EXPECT_EQ(oTable.GetRowJulianDate(2), 2455000.5);

    // The same spectrum again replaces its row.
    pA->SetLineIdentification(1, 7, 6499.0, "lab");
    oTable.AddSpectrumRow(pA.get());
    oTable.GetDimensions(lRows, lColumns);
    EXPECT_EQ(lRows, 3);
    EXPECT_EQ(lColumns, 3);
    EXPECT_TRUE(oTable.ContainsSpectrum(pA.get()));
    EXPECT_FALSE(oTable.ContainsSpectrum(nullptr));
    oTable.RemoveSpectrumRow(pA.get());
    EXPECT_FALSE(oTable.ContainsSpectrum(pA.get()));
    EXPECT_FALSE(oTable.RemoveRow(5));
}

TEST(RvTable, ColumnsAndCellsClearAsTheTableSays)
{
    RvTable oTable;
    auto pA = MakeSpectrum(2455000.1, {{6200.0, 2}, {6500.0, 5}});
    auto pB = MakeSpectrum(2455000.2, {{6500.0, 5}, {6700.0, 7}}, 1.0);
    oTable.AddSpectrumRow(pA.get());
    oTable.AddSpectrumRow(pB.get());
    int32_t lMin = 0;
    int32_t lMax = 0;
    EXPECT_EQ(oTable.GetLaboratoryLineRange(lMin, lMax), 6);
    EXPECT_TRUE(oTable.IsLaboratoryLineUsed(5));
    EXPECT_FALSE(oTable.IsLaboratoryLineUsed(3));
    EXPECT_EQ(Cell(oTable, 0, 2), "");
    EXPECT_FALSE(Cell(oTable, 1, 2).empty());

    oTable.ClearColumn(1); // index 5 in both rows
    int32_t lRows = 0;
    int32_t lColumns = 0;
    oTable.GetDimensions(lRows, lColumns);
    EXPECT_EQ(lRows, 2);
    EXPECT_EQ(lColumns, 2);
    oTable.ClearCell(0, 0); // the only measurement of row 0: the row goes
    oTable.GetDimensions(lRows, lColumns);
    EXPECT_EQ(lRows, 1);
    oTable.ClearCell(0, 1); // no column 1 any more: nothing changes
    oTable.GetDimensions(lRows, lColumns);
    EXPECT_EQ(lRows, 1);
    EXPECT_EQ(lColumns, 1) << "index 7 of the remaining row";
    oTable.ClearCell(7, 0);
    oTable.ClearRows();
    EXPECT_TRUE(oTable.IsSaved());
    EXPECT_EQ(oTable.GetLaboratoryLineRange(lMin, lMax), 0);
}

TEST(RvTable, ARowWithoutMeasurementsGivesNoVelocity)
{
    // A spectrum added without identified lines gives a row without measurements.
    RvTable oTable;
    auto pA = MakeSpectrum(2455000.1, {});
    auto pB = MakeSpectrum(2455000.2, {{6500.0, 5}, {6700.0, 7}}, 1.0);
    oTable.AddSpectrumRow(pA.get());
    oTable.AddSpectrumRow(pB.get());
    ASSERT_EQ(oTable.Rows().size(), 2U);
    DataSeries oCurve;
    oTable.GetRVCurve(oCurve);
    ASSERT_EQ(oCurve.GetArraySize(), 1) << "an empty row is no velocity of 0 km/s";
    EXPECT_EQ(oCurve.GetX(0), 2455000.2);
    oTable.RemoveSpectrumRow(pB.get());
    oTable.GetRVCurve(oCurve);
    EXPECT_EQ(oCurve.GetArraySize(), 0);
}

TEST(RvTable, CombinedLinesGiveOneDoubleMeasurement)
{
    RvTable oTable;
    // Combining with the right neighbour takes the neighbour's identification.
    auto p = MakeSpectrum(2455000.5, {{6200.0, -1}, {6210.0, 3}, {6500.0, 4}});
    p->SetCombination(0, 1);
    p->SetCombination(1, 0);
    oTable.AddSpectrumRow(p.get());
    ASSERT_EQ(oTable.Rows().size(), 1U);
    const auto& vMeasurements = oTable.Rows()[0].measurements;
    ASSERT_EQ(vMeasurements.size(), 2U) << "the neighbour gives no measurement of its own";
    EXPECT_TRUE(vMeasurements[0].bDouble);
    EXPECT_NEAR(vMeasurements[0].fCenter2, 6210.0, 0.01);
    // No coordinates set: the correction of the stored zeros is the same for both components.
    const double fCorrection = oTable.Coordinates().CorrectVelocity(0.0, 2455000.5);
    EXPECT_EQ(vMeasurements[0].lLaboratoryLineIndex, 3);
    EXPECT_EQ(vMeasurements[0].fLaboratoryWavelength, 6209.0);
    EXPECT_NEAR(vMeasurements[0].fVelocity1 - fCorrection, (6200.0 - 6209.0) / 6209.0 * 299792.458, 1.0);
    EXPECT_NEAR(vMeasurements[0].fVelocity2 - fCorrection, (6210.0 - 6209.0) / 6209.0 * 299792.458, 1.0);
    EXPECT_FALSE(vMeasurements[1].bDouble);
}

TEST(RvTable, CellTextAndCurve)
{
    RvTable oTable;
    Spectrum oSpectrum;
    const double afW[] = {1, 2};
    const double afI[] = {3, 4};
    oSpectrum.SetValues(2, afW, afI);
    oSpectrum.SetObservationTime(2455000.0);
    oTable.AddVelocity(&oSpectrum, -35.5);
    EXPECT_EQ(Cell(oTable, 0, 0), "-35.50");
    oTable.ClearRows();
    // A double measurement reads " 10.12/-35.50".
    oTable.AddVelocity(&oSpectrum, 10.123);
    RvTable oCopy;
    TempDir oDir;
    ASSERT_TRUE(oTable.SaveToFile(oDir.File("p.mtx")));
    std::string sBytes = ReadWholeFile(oDir.File("p.mtx"));
    sBytes[93 + 24 + 44] = 1;                          // bDouble
    const double fSecond = -35.5;
    std::memcpy(&sBytes[93 + 24 + 32], &fSecond, 8); // fVelocity2
    oDir.Write("d.mtx", sBytes);
    ASSERT_TRUE(oCopy.LoadFromFile(oDir.File("d.mtx")));
    EXPECT_EQ(Cell(oCopy, 0, 0), " 10.12/-35.50");

    DataSeries oCurve;
    oCopy.GetRVCurve(oCurve);
    ASSERT_EQ(oCurve.GetArraySize(), 1);
    EXPECT_EQ(oCurve.GetX(0), 2455000.0);
    EXPECT_EQ(oCurve.GetY(0), 10.123);
}

TEST(RvTable, DumpHasAColumnForEveryIndexBetweenTheExtremes)
{
    TempDir oDir;
    RvTable oTable;
    ASSERT_TRUE(oTable.LaboratoryLineTable().Load(
        oDir.Write("lab.txt", "L0;6000\nL1;6100\nL2;6200\nHalpha3;6199\nL4;6300\nNa5;6499\n")));
    auto p = MakeSpectrum(2455000.25, {{6200.0, 3}, {6500.0, 5}});
    oTable.AddSpectrumRow(p.get());
    ASSERT_TRUE(oTable.DumpToFile(oDir.File("dump.txt")));
    const std::string sDump = ReadWholeFile(oDir.File("dump.txt"));
    const std::string sV1 = quandrel::FormatFixedWidth(oTable.Rows()[0].measurements[0].fVelocity1, 11, 2);
    const std::string sV2 = quandrel::FormatFixedWidth(oTable.Rows()[0].measurements[1].fVelocity1, 11, 2);
    EXPECT_EQ(sDump, "              ;    Halpha3    ;               ;        Na5    \r\n"
                     "              ;    6199.00    ;               ;    6499.00    \r\n"
                     " 2455000.250  ;" + sV1 + "    ;               ;" + sV2 + "    \r\n");
}

TEST(RvTable, ExportAveragesLinesPerEpochGroup)
{
    TempDir oDir;
    RvTable oTable;
    std::vector<std::unique_ptr<Spectrum>> vSpectra;
    // Rows at .10, .25 and .31: two groups with threshold 0.2.
    const auto Add = [&](double fJd, std::vector<std::pair<int32_t, double>> vVelocities) {
        auto p = std::make_unique<Spectrum>();
        const double afW[] = {1, 2};
        const double afI[] = {fJd, 1};
        p->SetValues(2, afW, afI);
        p->SetObservationTime(fJd);
        oTable.AddVelocity(p.get(), 0.0);
        vSpectra.push_back(std::move(p));
        return vVelocities;
    };
    Add(2455000.10, {});
    Add(2455000.25, {});
    Add(2455000.31, {});
    ASSERT_TRUE(oTable.ExportResults(0.2, oDir.File("rv.txt")));
    EXPECT_EQ(ReadWholeFile(oDir.File("rv.txt")), " 2455000.100\t   0.000\t  0.000\r\n 2455000.310\t   0.000\t  0.000\r\n");

    // One line measured twice (10 and 12 km/s) and another once (20): M1 = 15.5, s1 = 6.364.
    std::string sProject;
    {
        RvTable oBuilt;
        ASSERT_TRUE(oBuilt.LaboratoryLineTable().Load(oDir.Write("lab.txt", "A;6000\nB;6100\n")));
        ASSERT_TRUE(oBuilt.SaveToFile(oDir.File("empty.mtx")));
        sProject = ReadWholeFile(oDir.File("empty.mtx"));
    }
    // Two rows of the same group: row 1 with (A 10, B 20), row 2 with (A 12).
    BinaryWriter oRows;
    const auto Measurement = [&](double fVelocity, int32_t lIndex) {
        for (double f : {0.0, 0.0, 6000.0, fVelocity, 0.0}) {
            oRows.WriteDouble(f);
        }
        oRows.WriteInt32(lIndex);
        oRows.WriteBytes(std::string(4, '\0'));
    };
    oRows.WriteInt32(0);
    oRows.WriteInt32(2);
    oRows.WriteDouble(2455000.1);
    oRows.WriteDouble(1.0);
    Measurement(10.0, 0);
    Measurement(20.0, 1);
    oRows.WriteInt32(0);
    oRows.WriteInt32(1);
    oRows.WriteDouble(2455000.2);
    oRows.WriteDouble(2.0);
    Measurement(12.0, 0);
    std::string sWithRows = sProject.substr(0, 89) + std::string("\x02\0\0\0", 4) + oRows.Bytes() + sProject.substr(93);
    oDir.Write("rows.mtx", sWithRows);
    RvTable oLoaded;
    ASSERT_TRUE(oLoaded.LoadFromFile(oDir.File("rows.mtx")));
    ASSERT_TRUE(oLoaded.ExportResults(0.2, oDir.File("rv2.txt")));
    EXPECT_EQ(ReadWholeFile(oDir.File("rv2.txt")), " 2455000.100\t  15.500\t  6.364\r\n");

    RvTable oEmpty;
    ASSERT_TRUE(oEmpty.ExportResults(0.2, oDir.File("none.txt")));
    EXPECT_EQ(ReadWholeFile(oDir.File("none.txt")), "");
    EXPECT_FALSE(oEmpty.ExportResults(0.2, oDir.File("no/such/dir/rv.txt")));
}

TEST(RvTable, ImportsTheLinesThatStartWithTwoNumbers)
{
    TempDir oDir;
    DataSeries oCurve;
    // The head of the amateur alpha Dra series (see tests/data/README.md): comment lines, then columns
    // separated by runs of spaces, more columns than two.
    const std::string sAlphaDra =
        "# Dataset: alpha Draconis (HD 123299) -- amateur H-alpha radial velocities\n"
        "# Columns: JD_UTC_start  RV_kms  ERR_kms  EXPTIME_s  CENTER_A  observer  instrument  file\n"
        "2459713.479477    15.8331   0.8212   2000.0  6563.41650 gbertrand 72ED alphadra_1.fits\n"
        "2459727.398554   -21.3108   1.1502   2400.0  6562.61116 gbertrand 72ED alphadra_2.fits\n";
    std::vector<std::string> vDataSet;
    ASSERT_TRUE(RvTable::ImportMeasurements(oDir.Write("alphaDra.txt", sAlphaDra), oCurve, nullptr, nullptr, &vDataSet));
    ASSERT_EQ(oCurve.GetArraySize(), 2) << "the header lines are no measurements";
    EXPECT_TRUE(vDataSet.empty()) << "the columns after the uncertainty name no data set";
    DataSeries oSets;
    ASSERT_TRUE(RvTable::ImportMeasurements(oDir.Write("sets.txt", "1;2;0.5;A\n2;3;0.5;B\n3;4;0.5;7\n"), oSets, nullptr,
                                            nullptr, &vDataSet));
    EXPECT_EQ(vDataSet, (std::vector<std::string>{"A", "B", ""})) << "a fourth field that is a number names none";
    EXPECT_EQ(oCurve.GetX(1), 2459727.398554);
    EXPECT_EQ(oCurve.GetY(1), -21.3108);

    ASSERT_TRUE(RvTable::ImportMeasurements(
        oDir.Write("rv.txt", "JD;RV\r\n\r\n2455000.1;10,5\r\n 2455001.2\t\t-3\nno number\n2455002;x\n2455003 7"), oCurve));
    ASSERT_EQ(oCurve.GetArraySize(), 3);
    EXPECT_EQ(oCurve.GetX(0), 2455000.1);
    EXPECT_EQ(oCurve.GetY(0), 10.5);
    EXPECT_EQ(oCurve.GetY(1), -3.0) << "runs of separators count as one";
    EXPECT_EQ(oCurve.GetY(2), 7.0) << "the last line needs no line end";
    EXPECT_FALSE(RvTable::ImportMeasurements(oDir.File("none.txt"), oCurve));
    ASSERT_TRUE(RvTable::ImportMeasurements(oDir.Write("bom.txt", "\xEF\xBB\xBF" "2455000.1 10.5\n2455001 3\n"), oCurve));
    EXPECT_EQ(oCurve.GetArraySize(), 2) << "a byte-order mark keeps the first measurement";
    // Uncertainties on every line weigh; one of 0 (or a line without one) among them is refused by name.
    std::vector<double> vSigma;
    std::string sProblem;
    ASSERT_TRUE(RvTable::ImportMeasurements(oDir.Write("s.txt", "1 2 0.5\n2 3 0.7\n"), oCurve, &vSigma, &sProblem));
    EXPECT_EQ(vSigma, (std::vector<double>{0.5, 0.7}));
    for (const auto& [pcText, pcProblem] : {std::pair{"# JD RV err\n1 2 0.5\n2 3 0\n", "Line 3 (JD 2.00000) gives the uncertainty 0,"},
                                            {"1 2 0.5\n2 3\n", "Line 2 (JD 2.00000) gives no uncertainty,"}}) {
        EXPECT_FALSE(RvTable::ImportMeasurements(oDir.Write("s.txt", pcText), oCurve, &vSigma, &sProblem));
        EXPECT_EQ(sProblem.substr(0, std::string(pcProblem).size()), pcProblem) << sProblem;
    }
    // A line longer than any measurement is skipped, not read without end.
    ASSERT_TRUE(RvTable::ImportMeasurements(oDir.Write("long.txt", std::string(100000, '1') + "\n1;2\n"), oCurve));
    EXPECT_EQ(oCurve.GetArraySize(), 1);
}

struct StatisticsCase {
    std::vector<double> vVelocity;
    double fMean;
    double fStandardError;
    int32_t lOutlier;
};

class VelocityStatisticsTest : public ::testing::TestWithParam<StatisticsCase> {};

TEST_P(VelocityStatisticsTest, MeanStandardErrorAndTheLineThatDisagrees)
{
    const StatisticsCase& o = GetParam();
    const VelocityStatistics oStatistics = ComputeVelocityStatistics(o.vVelocity);
    EXPECT_EQ(oStatistics.lCount, static_cast<int32_t>(o.vVelocity.size()));
    EXPECT_NEAR(oStatistics.fMean, o.fMean, 1e-9);
    EXPECT_NEAR(oStatistics.fStandardError, o.fStandardError, 1e-9);
    EXPECT_EQ(oStatistics.lOutlier, o.lOutlier);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VelocityStatisticsTest,
    ::testing::Values(StatisticsCase{{}, 0.0, 0.0, -1}, StatisticsCase{{12.5}, 12.5, 0.0, -1},
                      // s = sqrt(2), s / sqrt(2) = 1
                      StatisticsCase{{35.0, 37.0}, 36.0, 1.0, -1},
                      // Scatter of 0.2 km/s: nobody disagrees.
                      StatisticsCase{{36.0, 36.2, 35.8, 36.1}, 36.025, std::sqrt(0.0875 / 3 / 4), -1},
                      // One line 9 km/s off four that agree to 0.2 km/s.
                      StatisticsCase{{36.0, 36.2, 35.8, 36.1, 45.0}, 37.82, std::sqrt(64.528 / 4 / 5), 4},
                      // Three equal and one different: infinitely many standard errors off.
                      StatisticsCase{{1.0, 1.0, 1.0, 2.0}, 1.25, std::sqrt(0.75 / 3 / 4), 3}));

TEST(VelocityStatistics, ALineIsMarkedOnlyWhenStudentsTSaysItIsUnlikely)
{
    // Five lines, one 2.3 km/s off four that agree to 0.3: 7 standard errors, but with 3 degrees of
    // freedom that happens in 0.6 % of rows; 9.2 are needed. Twice as far it is marked.
    const std::vector<double> vNear = {-19.04, -21.70, -21.02, -21.11, -21.48};
    const VelocityStatistics oNear = ComputeVelocityStatistics(vNear);
    EXPECT_EQ(oNear.lOutlier, -1);
    const std::vector<double> vFar = {-16.7, -21.70, -21.02, -21.11, -21.48};
    EXPECT_EQ(ComputeVelocityStatistics(vFar).lOutlier, 0);
    // Many lines: close to three standard errors.
    std::vector<double> vMany(40, 0.0);
    for (std::size_t i = 0; i < vMany.size(); ++i) {
        vMany[i] = (i % 2 == 0 ? 1.0 : -1.0);
    }
    vMany[7] = 3.6;
    EXPECT_EQ(ComputeVelocityStatistics(vMany).lOutlier, 7);
    vMany[7] = 3.2;
    EXPECT_EQ(ComputeVelocityStatistics(vMany).lOutlier, -1);
}

// The weighted mean takes the larger of the error its errors give and the one its scatter gives.
TEST(VelocityStatistics, TheWeightedMeansErrorIsTheLargerOfTheQuotedAndTheScatter)
{
    struct Case {
        std::vector<double> vVelocity;
        std::vector<double> vError;
        double fMean;
        double fError;
    };
    for (const Case& o : {Case{{10.0}, {0.3}, 10.0, 0.3},
                          // w = 1, 0.25: internal 1 / sqrt(1.25) beats the scatter's sqrt(0.8 / 1.25).
                          Case{{10.0, 12.0}, {1.0, 2.0}, 10.4, 1.0 / std::sqrt(1.25)},
                          // Lines 10 km/s apart with errors of 1: the scatter's 5 km/s.
                          Case{{10.0, 20.0}, {1.0, 1.0}, 15.0, 5.0}}) {
        const auto oWeighted = WeightedMeanVelocity(o.vVelocity, o.vError);
        ASSERT_TRUE(oWeighted);
        EXPECT_NEAR(oWeighted->fMean, o.fMean, 1e-12);
        EXPECT_NEAR(oWeighted->fError, o.fError, 1e-12);
    }
    EXPECT_FALSE(WeightedMeanVelocity(std::vector<double>{1.0, 2.0}, std::vector<double>{1.0, 0.0}));
    EXPECT_FALSE(WeightedMeanVelocity(std::vector<double>{}, std::vector<double>{}));
}
