// Cross-correlation of generated spectra with known shifts, the checks of
// the parameters, and the parameter file.
#include "spectrum/Spectrum.h"
#include "crosscorr/CrossCorrelation.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

// Absorption lines on a continuum, sampled every 0.1 A from 6000 to 6700 A, Doppler shifted by fVelocity.
void FillSpectrum(Spectrum& oSpectrum, double fVelocity, double fNoise = 0.0, unsigned lNoiseSeed = 0)
{
    std::mt19937 oNoiseRandom(lNoiseSeed);
    std::normal_distribution<double> oNoise(0.0, fNoise > 0.0 ? fNoise : 1.0);
    std::mt19937 oRandom(17);
    std::uniform_real_distribution<double> oUnit(0.0, 1.0);
    std::vector<std::pair<double, double>> vLines;
    for (int i = 0; i < 40; ++i) {
        vLines.emplace_back(6010.0 + 680.0 * oUnit(oRandom), 0.1 + 0.5 * oUnit(oRandom));
    }
    const double fFactor = 1.0 + fVelocity / 299792.458;
    std::vector<double> vW(7001);
    std::vector<double> vI(7001);
    for (int k = 0; k <= 7000; ++k) {
        const double x = 6000.0 + 0.1 * k;
        double y = 1.0 - 0.00002 * (x - 6000.0);
        for (const auto& [fCentre, fDepth] : vLines) {
            const double c = fCentre * fFactor;
            y -= fDepth * std::exp(-(x - c) * (x - c) / (2 * 0.4 * 0.4));
        }
        vW[static_cast<std::size_t>(k)] = x;
        vI[static_cast<std::size_t>(k)] = y + (fNoise > 0.0 ? oNoise(oNoiseRandom) : 0.0);
    }
    oSpectrum.SetValues(7001, vW.data(), vI.data());
}

} // namespace

TEST(CrossCorrelation, FindsKnownShiftsWithinHalfAKilometrePerSecond)
{
    Spectrum oTemplate;
    FillSpectrum(oTemplate, 0.0);
    CrossCorrelation oCorrelation;
    oCorrelation.SetTemplate(&oTemplate);
    // 2 points per 0.1 A pixel: 2.36 km/s per lag; a span of 80 lags reaches +-189 km/s.
    oCorrelation.SetParameters(6050, 6650, 2, 80, 0.01);
    for (double fVelocity : {-150.0, -73.4, 0.0, 12.5, 98.0, 150.0}) {
        Spectrum oSpectrum;
        FillSpectrum(oSpectrum, fVelocity);
        oCorrelation.SetSpectrum(&oSpectrum);
        ASSERT_TRUE(oCorrelation.Calculate()) << oCorrelation.GetLastError();
        EXPECT_NEAR(oCorrelation.GetPeakVelocity(), fVelocity, 0.5) << fVelocity;
        EXPECT_EQ(oCorrelation.PeakAtEdgeMessage(), "") << fVelocity;
    }
    // A shift beyond the reach of a span of 30 lags (+-71 km/s) peaks on the edge: no velocity.
    CrossCorrelation oShort;
    oShort.SetTemplate(&oTemplate);
    oShort.SetParameters(6050, 6650, 2, 30, 0.01);
    for (double fVelocity : {-150.0, 98.0}) {
        Spectrum oSpectrum;
        FillSpectrum(oSpectrum, fVelocity);
        oShort.SetSpectrum(&oSpectrum);
        ASSERT_TRUE(oShort.Calculate());
        EXPECT_NE(oShort.PeakAtEdgeMessage().find("edge of the searched range (\u00B170.9 km/s)"), std::string::npos)
            << fVelocity << ": " << oShort.PeakAtEdgeMessage();
    }
    // Again with the same inputs: the same result to the bit.
    const double fFirst = oCorrelation.GetPeakVelocity();
    const DataSeries oFunction = oCorrelation.GetCorrelationFunction();
    ASSERT_TRUE(oCorrelation.Calculate());
    EXPECT_EQ(oCorrelation.GetPeakVelocity(), fFirst);
    EXPECT_EQ(oCorrelation.GetCorrelationFunction().GetYValues(), oFunction.GetYValues());
    // The fine grid starts at -m dv and stops one step short of +m dv; the reach the parameters dialog
    // shows before a run is that m dv.
    const double fStart = oCorrelation.GetCorrelationFunction().GetX(0);
    EXPECT_LT(fStart, 0.0);
    Spectrum oLast;
    FillSpectrum(oLast, 150.0);
    EXPECT_EQ(CrossCorrelation::VelocityReach(oLast.GetWavelengths(), 6050, 6650, 2, 80), -fStart);
    EXPECT_EQ(CrossCorrelation::VelocityReach(oLast.GetWavelengths(), 6050, 6050.01, 2, 80), 0.0) << "one sample";
    EXPECT_EQ(CrossCorrelation::VelocityReach(oLast.GetWavelengths(), 6650, 6050, 2, 80), 0.0) << "an empty window";
    EXPECT_LT(oCorrelation.GetCorrelationFunction().GetXValues().back(), -fStart);
    EXPECT_NEAR(oCorrelation.GetSpectrumWindow().GetX(0), 6050.0, 0.05);
}

TEST(CrossCorrelation, RefusesUnusableParametersAndKeepsThePreviousResult)
{
    Spectrum oTemplate;
    FillSpectrum(oTemplate, 0.0);
    Spectrum oSpectrum;
    FillSpectrum(oSpectrum, 20.0);
    CrossCorrelation oCorrelation;
    oCorrelation.SetTemplate(&oTemplate);
    oCorrelation.SetSpectrum(&oSpectrum);
    EXPECT_FALSE(oCorrelation.Calculate());
    EXPECT_EQ(oCorrelation.GetLastError(), "Please specify CC parameters first before running cross correlation.");
    oCorrelation.SetParameters(6050, 6650, 2, 30, 0.01);
    ASSERT_TRUE(oCorrelation.Calculate());
    const double fPeak = oCorrelation.GetPeakVelocity();
    struct Bad {
        double fFrom, fTo;
        int32_t f, m;
        double fAccuracy;
    };
    for (const Bad& o : {Bad{6300, 6300, 2, 30, 0.01}, Bad{6050, 6650, 0, 30, 0.01}, Bad{6050, 6650, 2, 0, 0.01},
                          Bad{6050, 6060, 2, 500, 0.01}, Bad{6050, 6650, 2, 30, 0.0},
                          Bad{6050, 6650, 2, 30, 1e9}, Bad{6050, 6650, 2, 30, NAN},
                          // About 10^11 products: minutes of work, refused at once with the limit named.
                          Bad{6050, 6650, 100, 100000, 0.01}}) {
        oCorrelation.SetParameters(o.fFrom, o.fTo, o.f, o.m, o.fAccuracy);
        EXPECT_FALSE(oCorrelation.Calculate()) << o.fFrom << " " << o.fTo << " " << o.f << " " << o.m;
        EXPECT_FALSE(oCorrelation.GetLastError().empty());
        EXPECT_EQ(oCorrelation.GetPeakVelocity(), fPeak) << "the previous result stays";
    }
    // A flat spectrum has no variance.
    Spectrum oFlat;
    const std::vector<double> vW = {6000, 6100, 6200, 6300, 6400, 6500, 6600, 6700};
    const std::vector<double> vI(8, 1.0);
    oFlat.SetValues(8, vW.data(), vI.data());
    oCorrelation.SetSpectrum(&oFlat);
    oCorrelation.SetParameters(6000, 6700, 2, 2, 0.01);
    EXPECT_FALSE(oCorrelation.Calculate());
    EXPECT_EQ(oCorrelation.GetLastError(), "The spectrum has no variance in the wavelength window.");
}

TEST(CrossCorrelation, ParameterFileRoundTripsAndShortFilesAreRefused)
{
    TempDir oDir;
    CrossCorrelation oCorrelation;
    oCorrelation.SetParameters(6050.5, 6650.25, 3, 40, 0.02);
    oCorrelation.SetHeliocentricCorrection(-12.0);
    ASSERT_TRUE(oCorrelation.SaveParameters(oDir.File("cc.par")));
    const std::string sBytes = ReadWholeFile(oDir.File("cc.par"));
    ASSERT_EQ(sBytes.size(), 32U);
    double fAccuracy = 0;
    std::memcpy(&fAccuracy, sBytes.data() + 16, 8);
    EXPECT_EQ(fAccuracy, 0.02) << "the accuracy comes third";
    int32_t lSpan = 0;
    std::memcpy(&lSpan, sBytes.data() + 28, 4);
    EXPECT_EQ(lSpan, 40);

    CrossCorrelation oLoaded;
    ASSERT_TRUE(oLoaded.LoadParameters(oDir.File("cc.par")));
    EXPECT_TRUE(oLoaded.AreParametersSet());
    double fFrom = 0, fTo = 0, fStep = 0;
    int32_t f = 0, m = 0;
    oLoaded.GetParameters(fFrom, fTo, f, m, fStep);
    EXPECT_EQ(fFrom, 6050.5);
    EXPECT_EQ(fTo, 6650.25);
    EXPECT_EQ(f, 3);
    EXPECT_EQ(m, 40);
    EXPECT_EQ(fStep, 0.02);
    EXPECT_EQ(oLoaded.GetHeliocentricCorrection(), 0.0) << "the template correction is no part of the file";

    CrossCorrelation oShort;
    EXPECT_FALSE(oShort.LoadParameters(oDir.Write("short.par", sBytes.substr(0, 20))));
    EXPECT_FALSE(oShort.AreParametersSet());
    EXPECT_FALSE(oShort.LoadParameters(oDir.File("missing.par")));
    // Values no dialog takes, and files that are no regular files (a pipe would block the open).
    for (const auto& [lOffset, sValue] : {std::pair{0, std::string("\x00\x00\x00\x00\x00\x00\xf8\x7f", 8)},
                                          {24, std::string("\0\0\0\0", 4)}, {28, std::string("\xff\xff\xff\xff", 4)}}) {
        std::string sDamaged = sBytes;
        sDamaged.replace(static_cast<std::size_t>(lOffset), sValue.size(), sValue);
        EXPECT_FALSE(oShort.LoadParameters(oDir.Write("damaged.par", sDamaged))) << lOffset;
    }
    ASSERT_EQ(::mkfifo(oDir.File("pipe.par").c_str(), 0600), 0);
    EXPECT_FALSE(oShort.LoadParameters(oDir.File("pipe.par")));
    EXPECT_FALSE(oShort.AreParametersSet());
    EXPECT_FALSE(oCorrelation.SaveParameters(oDir.File("no/folder/cc.par")));
}

// The velocity's standard error describes the scatter of the velocities that noise gives: over 80
// noisy copies of a spectrum (S/N 50 and 25) the quoted errors and the measured scatter agree within
// the precision 80 draws give a standard deviation (8 %), with a margin.
TEST(CrossCorrelation, TheVelocityErrorIsTheScatterNoiseGives)
{
    Spectrum oTemplate;
    FillSpectrum(oTemplate, 0.0);
    CrossCorrelation oCorrelation;
    oCorrelation.SetTemplate(&oTemplate);
    oCorrelation.SetParameters(6200, 6400, 2, 20, 0.005);
    for (const double fNoise : {0.02, 0.04}) {
        double fSum = 0.0;
        double fSquares = 0.0;
        double fQuoted = 0.0;
        constexpr int kDraws = 80;
        for (int k = 0; k < kDraws; ++k) {
            Spectrum oSpectrum;
            FillSpectrum(oSpectrum, 12.5, fNoise, static_cast<unsigned>(1000 + k));
            oCorrelation.SetSpectrum(&oSpectrum);
            ASSERT_TRUE(oCorrelation.Calculate()) << oCorrelation.GetLastError();
            const auto oError = oCorrelation.GetPeakVelocityError();
            ASSERT_TRUE(oError);
            fQuoted += *oError / kDraws;
            fSum += oCorrelation.GetPeakVelocity();
            fSquares += oCorrelation.GetPeakVelocity() * oCorrelation.GetPeakVelocity();
        }
        const double fMean = fSum / kDraws;
        const double fScatter = std::sqrt((fSquares - kDraws * fMean * fMean) / (kDraws - 1));
        EXPECT_NEAR(fMean, 12.5, 3 * fScatter / std::sqrt(kDraws)) << fNoise;
        RecordProperty("quoted_over_scatter_" + std::to_string(fNoise), std::to_string(fQuoted / fScatter));
        EXPECT_GT(fQuoted / fScatter, 0.75) << fNoise << ": quoted " << fQuoted << ", scatter " << fScatter;
        EXPECT_LT(fQuoted / fScatter, 1.33) << fNoise << ": quoted " << fQuoted << ", scatter " << fScatter;
    }
    // Without noise the peak is all but 1 and the error all but 0.
    Spectrum oSame;
    FillSpectrum(oSame, 0.0);
    oCorrelation.SetSpectrum(&oSame);
    ASSERT_TRUE(oCorrelation.Calculate());
    EXPECT_LT(*oCorrelation.GetPeakVelocityError(), 0.01);
}
