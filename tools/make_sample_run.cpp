// Generates a sample observing run of a single-lined spectroscopic binary:
//   make_sample_run OUTPUT_FOLDER
// 20 spectra over 90 days (nm wavelengths, H-alpha, H-beta, Na D and He I
// 5876 at a signal-to-noise ratio of 100), each Doppler shifted by the
// orbit's velocity at the light's arrival at the barycentre (BJD_TDB) and
// taken back by the observer's motion at the stated site (the precise
// barycentric correction), so the program's correction and times have to
// put it back; a list of their observation
// times; a neon lamp in pixels with the list of its lines' wavelengths, and
// the first epoch also in pixels of the same detector; and the true elements
// and velocities. Deterministic: the same files every run.
#include "astro/ObservationCoordinates.h"
#include "core/NumberText.h"
#include "io/FitsSpectrum.h"
#include "orbit/OrbitGridSearch.h"
#include "support/Generators.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using quandrel::FormatFixed;

// The site and the target: the program's default observer (9 deg 0 min west, 52 deg 0 min north) and an object
// at RA 5 h 55 min, Dec +7 deg 24 min.
constexpr double kLongitude[2] = {9.0, 0.0};
constexpr double kLatitude[2] = {52.0, 0.0};
constexpr double kRightAscension[2] = {5.0, 55.0};
constexpr double kDeclination[2] = {7.0, 24.0};

// The detector: pixel to wavelength (angstrom) of the lamp and of the pixel spectrum.
double PixelLambda(double p)
{
    return 6300.0 + 0.25 * p + 5e-6 * p * p - 1e-9 * p * p * p;
}

double PixelOf(double fLambda)
{
    double p = (fLambda - 6300.0) / 0.25;
    for (int k = 0; k < 40; ++k) {
        p -= (PixelLambda(p) - fLambda) / (0.25 + 1e-5 * p - 3e-9 * p * p);
    }
    return p;
}

struct Line {
    double fLambda; // air wavelength, angstrom
    double fSigma;  // angstrom
    double fDepth;
};

const std::vector<Line> kStellarLines = {
    {4861.33, 1.2, 0.45}, {5875.62, 0.5, 0.25}, {5889.950, 0.35, 0.5}, {5895.924, 0.35, 0.4}, {6562.80, 1.5, 0.5}};

double Stellar(double fAngstrom, double fFactor)
{
    double y = 1.0;
    for (const Line& o : kStellarLines) {
        const double c = o.fLambda * fFactor;
        y -= o.fDepth * std::exp(-(fAngstrom - c) * (fAngstrom - c) / (2 * o.fSigma * o.fSigma));
    }
    return y;
}

bool Write(const std::filesystem::path& oPath, const std::string& sText)
{
    std::ofstream oFile(oPath, std::ios::binary);
    oFile << sText;
    return static_cast<bool>(oFile);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_run OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path oFolder(argv[1]);
    std::filesystem::create_directories(oFolder);
    std::filesystem::create_directories(oFolder / "fits");

    const OrbitElements oTruth = quandrel::testing::Orbit(12.5, 2459003.1, 0.3, 60.0, 35.0, -12.0);

    ObservationCoordinates oSite;
    oSite.SetObjectCoordinates(kRightAscension[0], kRightAscension[1], kDeclination[0], kDeclination[1]);
    oSite.SetObserverCoordinates(kLongitude[0], kLongitude[1], kLatitude[0], kLatitude[1]);
    oSite.SetCorrectionKind(CorrectionKind::kBarycentric);

    std::mt19937 oRandom(2459000);
    std::normal_distribution<double> oNoise(0.0, 0.01);
    std::uniform_real_distribution<double> oNight(-1.6, 1.6);
    std::string sEpochs;
    std::string sVelocities;
    for (int k = 0; k < 20; ++k) {
        const double fJd = 2459001.9 + 4.5 * k + oNight(oRandom);
        const double fBjd = ComputeBarycentric(oSite.ObservationAt(fJd))->fBjdTdb;
        const double fTrue = OrbitGridSearch::ModelVelocity(fBjd, oTruth);
        // What a spectrograph on the moving Earth sees: combined with the correction it gives the true
        // velocity (v + c_v + v c_v / c).
        const double fCorrection = oSite.CorrectVelocity(0.0, fJd);
        const double fObserved = (fTrue - fCorrection) / (1.0 + fCorrection / 299792.458);
        const double fFactor = 1.0 + fObserved / 299792.458;
        std::string sText;
        sText.reserve(600000);
        std::vector<double> vWavelength;
        std::vector<double> vIntensity;
        for (int i = 0; i <= 22500; ++i) {
            const double fAngstrom = 4800.0 + 0.08 * i;
            const double fIntensity = std::round((Stellar(fAngstrom, fFactor) + oNoise(oRandom)) * 1e5) / 1e5;
            sText += FormatFixed(fAngstrom / 10.0, 4) + "\t" + FormatFixed(fIntensity, 5) + "\n";
            vWavelength.push_back(fAngstrom);
            vIntensity.push_back(fIntensity);
        }
        char acName[32];
        std::snprintf(acName, sizeof acName, "star_%02d.txt", k);
        if (!Write(oFolder / acName, sText)) {
            return 1;
        }
        // The same exposure as a pipeline writes it: FITS in angstrom, the observation in the header.
        SpectrumMetadata oHeader;
        oHeader.oJulianDateMid = fJd;
        oHeader.sObject = "Sample binary";
        oHeader.oRightAscensionHours = kRightAscension[0] + kRightAscension[1] / 60.0;
        oHeader.oDeclinationDegrees = kDeclination[0] + kDeclination[1] / 60.0;
        oHeader.oEquinox = 2000.0;
        oHeader.oLongitudeWestDegrees = kLongitude[0] + kLongitude[1] / 60.0;
        oHeader.oLatitudeDegrees = kLatitude[0] + kLatitude[1] / 60.0;
        std::snprintf(acName, sizeof acName, "star_%02d.fits", k);
        std::string sError;
        if (!WriteFitsSpectrum((oFolder / "fits" / acName).string(), vWavelength, vIntensity, oHeader, sError)) {
            std::fprintf(stderr, "%s\n", sError.c_str());
            return 1;
        }
        std::snprintf(acName, sizeof acName, "star_%02d.txt", k);
        sEpochs += std::string(acName) + ";" + FormatFixed(fJd, 6) + "\n";
        sVelocities += FormatFixed(fJd, 6) + ";" + FormatFixed(fTrue, 4) + ";" + FormatFixed(fObserved, 4) + ";" +
                       FormatFixed(fBjd, 6) + "\n";
        if (k == 0) {
            // The same exposure in pixels of the detector, single column.
            std::string sPixels;
            for (int p = 0; p < 2048; ++p) {
                sPixels += FormatFixed(Stellar(PixelLambda(p), fFactor) + oNoise(oRandom), 5) + "\n";
            }
            if (!Write(oFolder / "star_00_pixels.txt", sPixels)) {
                return 1;
            }
        }
    }
    // The neon lamp in pixels: isolated lines of the calibration table, single column.
    std::string sLamp;
    std::string sLampLines;
    {
        const std::vector<double> vNeon = {6334.4276, 6382.9914, 6402.248, 6506.5277, 6532.8824,
                                           6598.9528, 6678.2766, 6717.0430, 6929.4672};
        std::vector<double> vIntensity(2048, 0.02);
        for (const double fLambda : vNeon) {
            const double c = PixelOf(fLambda);
            if (c > 10.0 && c < 2037.0) {
                // What the observer identifies: the lamp lines along the detector.
                sLampLines += FormatFixed(fLambda, 4) + "\n";
            }
            for (int p = 0; p < 2048; ++p) {
                vIntensity[static_cast<std::size_t>(p)] += 0.8 * std::exp(-(p - c) * (p - c) / (2 * 1.6 * 1.6));
            }
        }
        for (const double f : vIntensity) {
            sLamp += FormatFixed(f + 0.2 * oNoise(oRandom), 5) + "\n";
        }
    }
    const std::string sTruth =
        "# The orbit of the sample run; site 9 deg 0 min W, 52 deg 0 min N; object RA 5 h 55 min, Dec +7 deg 24 min;\n"
        "# T0 in BJD_TDB\n"
        "P=" + FormatFixed(oTruth.fPeriod, 6) + "\nT0=" + FormatFixed(oTruth.fT0, 6) + "\ne=" +
        FormatFixed(oTruth.fEccentricity, 6) + "\nomega=" + FormatFixed(oTruth.fOmega, 6) + "\na1Sini=" +
        FormatFixed(oTruth.fA1SinI, 6) + "\ngamma=" + FormatFixed(oTruth.fGamma, 6) + "\nK1=" +
        FormatFixed(oTruth.fK1, 6) + "\n";
    const bool bWritten = Write(oFolder / "lamp_pixels.txt", sLamp) && Write(oFolder / "lamp_lines.txt", sLampLines) &&
                          Write(oFolder / "epochs.txt", sEpochs) &&
                          Write(oFolder / "velocities.txt", sVelocities) && Write(oFolder / "truth.txt", sTruth);
    return bWritten ? 0 : 1;
}
