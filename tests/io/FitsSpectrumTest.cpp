// FITS spectra: the layouts of files written by an independent writer (tests/data/fits, made by
// make_fits_tests.py with astropy), their header metadata, damaged files, and the program's own
// files read back.
#include "astro/JulianDate.h"
#include "io/FitsHeader.h"
#include "io/FitsSpectrum.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace {

const std::string kDir = std::string(QUANDREL_TEST_DATA_DIR) + "/fits/";

struct Layout {
    const char* pcFile;
    std::size_t lSamples;
    std::function<double(int)> fnWavelength; // of sample i of the file (0-based, before any is dropped)
    std::function<double(int)> fnIntensity;
    int lDropped;                            // the undefined sample, -1 when none
    double fJulianDateMid;
    double fLongitudeWest;                   // NAN: no site
    double fLatitude;
};

std::string Show(const ::testing::TestParamInfo<Layout>& o)
{
    std::string s = o.param.pcFile;
    for (char& c : s) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return s;
}

double Jd(int lYear, int lMonth, int lDay, double fHours)
{
    return JulianDate::FromCalendar(lYear, lMonth, lDay, fHours, 0.0);
}

double Linear(int i) { return 1.0 + 0.01 * i; }

class FitsLayouts : public ::testing::TestWithParam<Layout> {};

} // namespace

TEST_P(FitsLayouts, SamplesAndTimeAreThoseTheWriterWasGiven)
{
    const Layout& o = GetParam();
    ASSERT_TRUE(IsFitsFile(kDir + o.pcFile));
    const auto oSpectrum = ReadFitsSpectrum(kDir + o.pcFile);
    ASSERT_TRUE(oSpectrum) << oSpectrum.Error();
    EXPECT_TRUE(oSpectrum->vWarnings.empty());
    ASSERT_EQ(oSpectrum->vWavelength.size(), o.lSamples);
    std::size_t k = 0;
    for (int i = 0; k < o.lSamples; ++i) {
        if (i == o.lDropped) {
            continue;
        }
        EXPECT_NEAR(oSpectrum->vWavelength[k], o.fnWavelength(i), 1e-9 * o.fnWavelength(i)) << i;
        EXPECT_NEAR(oSpectrum->vIntensity[k], o.fnIntensity(i), 1e-6) << i;
        ++k;
    }
    const SpectrumMetadata& m = oSpectrum->oMetadata;
    ASSERT_TRUE(m.oJulianDateMid);
    EXPECT_NEAR(*m.oJulianDateMid, o.fJulianDateMid, 1e-8);
    EXPECT_EQ(m.HasSite(), !std::isnan(o.fLongitudeWest));
    if (m.HasSite()) {
        EXPECT_NEAR(*m.oLongitudeWestDegrees, o.fLongitudeWest, 1e-9);
        EXPECT_NEAR(*m.oLatitudeDegrees, o.fLatitude, 1e-9);
    }
    EXPECT_FALSE(m.vHeaderCards.empty());
}

INSTANTIATE_TEST_SUITE_P(
    AstropyFiles, FitsLayouts,
    ::testing::Values(
        // Fractional reference pixel 3.5; a NaN sample; DATE-OBS start + EXPTIME/2; GEOLONG east.
        Layout{"image_linear.fits", 19, [](int i) { return 6500.0 + (i + 1 - 3.5) * 0.25; }, Linear, 5,
                Jd(2022, 6, 8, 21.5) + 300.0 / 86400.0, -10.5, 52.25},
        // Empty primary, 20 x 1 image extension, CD1_1 in nm, gzip; MJD-OBS + EXPOSURE/2; sexagesimal site.
        Layout{"image_nm.fits.gz", 20, [](int i) { return (650.0 + 0.01 * i) * 10.0; }, Linear, -1,
                2459739.0 + 600.0 / 86400.0, 5.5, 40.25},
        // 16-bit integers with BSCALE/BZERO and BLANK; WAVE-LOG axis; JD-MID.
        Layout{"image_log.fits", 19, [](int i) { return 6000.0 * std::exp(i * 0.1 / 6000.0); }, Linear, 7,
                2459739.3937, NAN, NAN},
        // DC-FLAG = 1 (log10 of the wavelength); DATE-OBS + TIME-OBS; LONG-OBS.
        Layout{"image_dcflag.fits", 20, [](int i) { return std::pow(10.0, std::log10(6500.0) + i * 1e-5); }, Linear,
                -1, Jd(2022, 6, 8, 21.5), 80.0, 30.5},
        // One row per sample, TUNIT nm; JD-OBS; OBSGEO-L 350 east is 10 west.
        Layout{"table_rows.fits", 20, [](int i) { return (650.0 + 0.02 * std::pow(i, 1.5)) * 10.0; }, Linear, -1,
                2459739.25, 10.0, -30.0},
        // One row of arrays, lower-case names; DATE-BEG.
        Layout{"table_arrays.fits", 20, [](int i) { return 6500.0 + 0.5 * i; }, Linear, -1, Jd(2022, 6, 8, 21.0), NAN,
                NAN}),
    Show);

TEST(FitsHeader, ObjectAndCoordinatesInDegreesOrSexagesimal)
{
    const auto oLinear = ReadFitsSpectrum(kDir + "image_linear.fits");
    ASSERT_TRUE(oLinear) << oLinear.Error();
    EXPECT_EQ(oLinear->oMetadata.sObject, "alf Dra");
    EXPECT_NEAR(*oLinear->oMetadata.oRightAscensionHours, 211.0975 / 15.0, 1e-12);
    EXPECT_NEAR(*oLinear->oMetadata.oDeclinationDegrees, 64.3758, 1e-12);
    EXPECT_EQ(*oLinear->oMetadata.oEquinox, 2000.0);
    const auto oNm = ReadFitsSpectrum(kDir + "image_nm.fits.gz");
    ASSERT_TRUE(oNm) << oNm.Error();
    EXPECT_EQ(oNm->oMetadata.sObject, "HD 123299") << "from the primary header";
    EXPECT_NEAR(*oNm->oMetadata.oRightAscensionHours, 14 + 4 / 60.0 + 23.4 / 3600.0, 1e-12);
    EXPECT_NEAR(*oNm->oMetadata.oDeclinationDegrees, 64 + 22 / 60.0 + 33.0 / 3600.0, 1e-12);

    for (const auto& [pcText, fValue] : {std::pair{"-00 30 00", -0.5}, {"+12:34:56.7", 12 + 34 / 60.0 + 56.7 / 3600},
                                         {"12h30m", 12.5}, {"7.25", 7.25}}) {
        ASSERT_TRUE(ParseSexagesimal(pcText)) << pcText;
        EXPECT_NEAR(*ParseSexagesimal(pcText), fValue, 1e-12) << pcText;
    }
    for (const char* pcBad : {"", "12:61:00", "ab", "1 2 3 4", "12::30"}) {
        EXPECT_FALSE(ParseSexagesimal(pcBad)) << pcBad;
    }
    EXPECT_NEAR(*JulianDateOfFitsDate("08/06/98", "12:00:00"), Jd(1998, 6, 8, 12.0), 1e-9);
    for (const char* pcBad : {"2022-02-30", "2022-6-8", "2022-06-08T24:00:00", "08.06.1998", "2022-06-08x"}) {
        EXPECT_FALSE(JulianDateOfFitsDate(pcBad, "")) << pcBad;
    }
}

TEST(FitsSpectrum, DamagedAndUnsuitableFilesAreRefusedWithAReason)
{
    TempDir oDir;
    const auto Refused = [&](const std::string& sPath, const std::string& sReason) {
        const auto oRead = ReadFitsSpectrum(sPath);
        ASSERT_FALSE(oRead) << sPath;
        EXPECT_NE(oRead.Error().find(sPath), std::string::npos) << oRead.Error();
        EXPECT_NE(oRead.Error().find(sReason), std::string::npos) << oRead.Error();
    };
    Refused(kDir + "image_2d.fits", "2-dimensional image (10 x 5) without a dispersion for each row");
    Refused(kDir + "table_nocols.fits", "no wavelength column");

    std::ifstream oIn(kDir + "image_linear.fits", std::ios::binary);
    const std::string sWhole((std::istreambuf_iterator<char>(oIn)), std::istreambuf_iterator<char>());
    Refused(oDir.Write("truncated.fits", sWhole.substr(0, 3000)), "");
    Refused(oDir.Write("header_only.fits", sWhole.substr(0, 2880)), "");

    // Hand-written headers: a huge NAXIS1, and no END card.
    const auto Card = [](const std::string& s) { return s + std::string(80 - s.size(), ' '); };
    std::string sHuge = Card("SIMPLE  =                    T") + Card("BITPIX  =                  -64") +
                        Card("NAXIS   =                    1") + Card("NAXIS1  =        1000000000000") + Card("END");
    sHuge += std::string(2880 - sHuge.size(), ' ') + std::string(2880, '\0');
    Refused(oDir.Write("huge.fits", sHuge), "");
    std::string sNoEnd = Card("SIMPLE  =                    T") + Card("BITPIX  =                  -64") +
                         Card("NAXIS   =                    1") + Card("NAXIS1  =                    3");
    sNoEnd += std::string(2880 - sNoEnd.size(), ' ');
    Refused(oDir.Write("noend.fits", sNoEnd), "no END card");
    // A table extension whose column count is no number: CFITSIO would size its tables from it.
    std::ifstream oTable(kDir + "table_rows.fits", std::ios::binary);
    const std::string sGoodTable((std::istreambuf_iterator<char>(oTable)), std::istreambuf_iterator<char>());
    std::string sTable = sGoodTable;
    const auto lFields = sTable.find("TFIELDS =");
    ASSERT_NE(lFields, std::string::npos);
    sTable.replace(lFields + 10, 20, std::string(19, ' ') + "\x8b");
    Refused(oDir.Write("fields.fits", sTable), "header 2 has no valid TFIELDS");
    // A count CFITSIO would read as some number of its own.
    sTable = sGoodTable;
    sTable.replace(sTable.find("PCOUNT  =") + 10, 20, "               (   0");
    Refused(oDir.Write("pcount.fits", sTable), "header 2 has no valid PCOUNT");
    // A mandatory card overwritten: CFITSIO reads them by position.
    sTable = sGoodTable;
    sTable.replace(sTable.find("GCOUNT  ="), 8, std::string(8, '\xff'));
    Refused(oDir.Write("gcount.fits", sTable), "header 2 does not hold GCOUNT as card 7");
    sTable = sGoodTable;
    const auto lRows = sTable.find("NAXIS2  =");
    sTable.replace(lRows + 10, 20, "   99999999999999999");
    Refused(oDir.Write("rows.fits", sTable), "header 2 declares more data than the file holds");
    // Tile-compressed images are checked before CFITSIO unpacks a tile: a damaged gzip tile, a tile
    // whose bytes lie beyond the heap, more rows than tiles.
    std::ifstream oPacked(kDir + "z_gzip2.fits", std::ios::binary);
    const std::string sGoodPacked((std::istreambuf_iterator<char>(oPacked)), std::istreambuf_iterator<char>());
    std::string sPacked = sGoodPacked;
    sPacked[5806] = static_cast<char>(sPacked[5806] ^ 1);
    Refused(oDir.Write("tile.fits", sPacked), "header 2's compressed tile 1 is damaged");
    sPacked = sGoodPacked;
    sPacked[5760 + 7] = 100; // the first tile's offset into the heap
    Refused(oDir.Write("heap.fits", sPacked), "header 2's compressed tile 1 lies outside the file's heap");
    sPacked = sGoodPacked;
    sPacked.replace(sPacked.find("ZNAXIS1 =") + 10, 20, "                  30");
    Refused(oDir.Write("tiles.fits", sPacked), "header 2's compressed image has 3 rows for 4 tiles");
    std::ifstream oGz(kDir + "image_nm.fits.gz", std::ios::binary);
    const std::string sGz((std::istreambuf_iterator<char>(oGz)), std::istreambuf_iterator<char>());
    Refused(oDir.Write("cut.fits.gz", sGz.substr(0, sGz.size() / 2)), "");
    Refused(oDir.File("missing.fits"), "");
    // A packed file whose last block ends early: read in whole blocks, it must not be read past its
    // end (AddressSanitizer builds report such a read).
    ReadFitsSpectrum(kDir + "short_last_block.fits.gz");
    Refused("/dev/zero", "no regular file");
    EXPECT_FALSE(IsFitsFile(oDir.Write("text.txt", "6562.8;1\n")));

    // A date that does not parse: the spectrum opens without a time, and says why.
    const auto oBadDate = ReadFitsSpectrum(kDir + "bad_date.fits");
    ASSERT_TRUE(oBadDate) << oBadDate.Error();
    EXPECT_FALSE(oBadDate->oMetadata.oJulianDateMid);
    ASSERT_EQ(oBadDate->vWarnings.size(), 1U);
    EXPECT_NE(oBadDate->vWarnings[0].find("DATE-OBS"), std::string::npos);
}

TEST(FitsSpectrum, TheProgramsOwnFilesReadBackWithTheirMetadata)
{
    TempDir oDir;
    SpectrumMetadata oMetadata;
    oMetadata.oJulianDateMid = 2459739.3993055556;
    oMetadata.sObject = "alf Dra";
    oMetadata.oRightAscensionHours = 14.0731;
    oMetadata.oDeclinationDegrees = -64.3758;
    oMetadata.oEquinox = 2000.0;
    oMetadata.oLongitudeWestDegrees = -10.5;
    oMetadata.oLatitudeDegrees = 52.25;
    oMetadata.oVelocityCorrection = -12.345;
    // What the amateur databases ask for: names, height, exposure, the corrections and the flags.
    oMetadata.oExposureSeconds = 1800.0;
    oMetadata.oHeightMetres = 31.0;
    oMetadata.sObserver = "A. Amateur";
    oMetadata.sInstrument = "LHIRES III 2400";
    oMetadata.sSite = "Backyard";
    oMetadata.sTelluric = "None";
    oMetadata.eFrame = WavelengthFrame::kHeliocentric;
    oMetadata.oCorrectionApplied = -11.25;
    oMetadata.oResolvingPower = 14000.0;
    std::vector<double> vEven;
    std::vector<double> vUneven;
    std::vector<double> vIntensity;
    for (int i = 0; i < 1000; ++i) {
        vEven.push_back(6400.0 + 0.1 * i);
        vUneven.push_back(6400.0 + 0.1 * i + 1e-4 * i * i);
        vIntensity.push_back(1.0 - 0.5 * std::exp(-0.01 * (i - 500) * (i - 500)));
    }
    for (const auto* pvWavelength : {&vEven, &vUneven}) {
        const std::string sPath = oDir.File(pvWavelength == &vEven ? "even.fits" : "uneven.fits");
        std::string sError;
        ASSERT_TRUE(WriteFitsSpectrum(sPath, *pvWavelength, vIntensity, oMetadata, sError)) << sError;
        const auto oBack = ReadFitsSpectrum(sPath);
        ASSERT_TRUE(oBack) << oBack.Error();
        EXPECT_EQ(oBack->vIntensity, vIntensity);
        ASSERT_EQ(oBack->vWavelength.size(), pvWavelength->size());
        for (std::size_t i = 0; i < vIntensity.size(); ++i) {
            EXPECT_NEAR(oBack->vWavelength[i], (*pvWavelength)[i], 1e-6 * 0.1) << i;
        }
        const SpectrumMetadata& m = oBack->oMetadata;
        EXPECT_NEAR(*m.oJulianDateMid, *oMetadata.oJulianDateMid, 1e-9);
        EXPECT_EQ(m.sObject, oMetadata.sObject);
        EXPECT_NEAR(*m.oRightAscensionHours, *oMetadata.oRightAscensionHours, 1e-12);
        EXPECT_EQ(*m.oDeclinationDegrees, *oMetadata.oDeclinationDegrees);
        EXPECT_EQ(*m.oLongitudeWestDegrees, *oMetadata.oLongitudeWestDegrees);
        EXPECT_EQ(*m.oLatitudeDegrees, *oMetadata.oLatitudeDegrees);
        EXPECT_EQ(*m.oVelocityCorrection, *oMetadata.oVelocityCorrection);
        EXPECT_EQ(m.oExposureSeconds, oMetadata.oExposureSeconds);
        EXPECT_EQ(m.oHeightMetres, oMetadata.oHeightMetres);
        EXPECT_EQ(std::tie(m.sObserver, m.sInstrument, m.sSite, m.sTelluric),
                  std::tie(oMetadata.sObserver, oMetadata.sInstrument, oMetadata.sSite, oMetadata.sTelluric));
        EXPECT_EQ(m.eFrame, WavelengthFrame::kHeliocentric);
        EXPECT_EQ(m.oCorrectionApplied, oMetadata.oCorrectionApplied);
        EXPECT_EQ(m.oResolvingPower, oMetadata.oResolvingPower);
        EXPECT_TRUE(oBack->vWarnings.empty());
        // BeSS and ISIS define DATE-OBS as the start of the exposure; OBJNAME is the BAA's name.
        for (const char* pcCard : {"DATE-OBS= '2022-06-08T21:20:00.000'", "DATE-END= '2022-06-08T21:50:00.000'",
                                   "OBJNAME = 'alf Dra", "GEO_LONG=", "BSS_VHEL="}) {
            EXPECT_NE(std::find_if(m.vHeaderCards.begin(), m.vHeaderCards.end(),
                                   [&](const std::string& s) { return s.starts_with(pcCard); }),
                      m.vHeaderCards.end())
                << pcCard;
        }
    }
    oMetadata.oExposureSeconds.reset();
    // DATE-OBS keeps the time of day, as astropy's Time(jd).isot gives it (a millisecond that rounds up
    // carries into the next day).
    for (const auto& [fJd, pcIso] : {std::pair{2459087.989895833, "2020-08-26T11:45:27.000"},
                                     {2459739.3993055555, "2022-06-08T21:35:00.000"},
                                     {2459740.4999999999, "2022-06-10T00:00:00.000"}}) {
        oMetadata.oJulianDateMid = fJd;
        std::string sError;
        ASSERT_TRUE(WriteFitsSpectrum(oDir.File("t.fits"), vEven, vIntensity, oMetadata, sError)) << sError;
        const auto oBack = ReadFitsSpectrum(oDir.File("t.fits"));
        ASSERT_TRUE(oBack) << oBack.Error();
        const auto& vCards = oBack->oMetadata.vHeaderCards;
        EXPECT_NE(std::find_if(vCards.begin(), vCards.end(),
                               [&](const std::string& s) { return s.starts_with("DATE-OBS= '" + std::string(pcIso)); }),
                  vCards.end())
            << pcIso;
    }
    EXPECT_EQ(EvenStep(vEven), (vEven.back() - vEven.front()) / 999.0);
    EXPECT_EQ(EvenStep(vUneven), 0.0);
    std::string sError;
    EXPECT_FALSE(WriteFitsSpectrum(oDir.File("no/such/folder/x.fits"), vEven, vIntensity, oMetadata, sError));
    EXPECT_FALSE(sError.empty());
}

TEST(FitsSpectrum, HeaderConventionsAxesExtensionsAndCompressionAsAstropyReadsThem)
{
    // tests/data/fits/expected_cases.txt: "file key value", written by make_fits_cases.py with astropy.
    std::ifstream oExpected(kDir + "expected_cases.txt");
    std::string sLine;
    int lChecked = 0;
    while (std::getline(oExpected, sLine)) {
        if (sLine.empty() || sLine[0] == '#') {
            continue;
        }
        std::istringstream oFields(sLine);
        std::string sFile;
        std::string sKey;
        std::string sValue;
        oFields >> sFile >> sKey >> sValue;
        SCOPED_TRACE(sLine);
        std::string sError;
        const auto oSpectrum = ReadFitsSpectrum(kDir + sFile);
        ASSERT_TRUE(oSpectrum) << oSpectrum.Error();
        std::string sWarnings;
        for (const std::string& s : oSpectrum->vWarnings) {
            sWarnings += s + "\n";
        }
        const SpectrumMetadata& m = oSpectrum->oMetadata;
        if (sKey == "warning") {
            if (sValue == "-") {
                EXPECT_TRUE(sWarnings.empty()) << sWarnings;
            } else {
                EXPECT_NE(sWarnings.find(sValue), std::string::npos) << sWarnings;
            }
            continue;
        }
        if (sKey == "helio_correction" || sKey == "first_line_velocity") {
            continue; // velocities: the session's test of frames measures them
        }
        // Texts are written with '_' for ' '.
        const std::string sFrame = m.eFrame == WavelengthFrame::kTopocentric    ? "topocentric"
                                   : m.eFrame == WavelengthFrame::kHeliocentric ? "heliocentric"
                                                                                : "barycentric";
        const std::map<std::string, const std::string*> mTexts{
            {"observer", &m.sObserver}, {"instrument", &m.sInstrument}, {"site", &m.sSite}, {"frame", &sFrame},
            {"telluric", &m.sTelluric}, {"normalised", &m.sNormalised}, {"cosmics", &m.sCosmics}};
        if (const auto it = mTexts.find(sKey); it != mTexts.end()) {
            std::string sRead = *it->second;
            std::replace(sRead.begin(), sRead.end(), ' ', '_');
            EXPECT_EQ(sRead, sValue);
            ++lChecked;
            continue;
        }
        const double fValue = std::stod(sValue);
        if (sKey == "jd" || sKey == "jd_hel") {
            const auto& oRead = sKey == "jd" ? m.oJulianDateMid : m.oHeliocentricJulianDate;
            ASSERT_TRUE(oRead);
            EXPECT_NEAR(*oRead, fValue, 2e-9); // 0.2 ms
        } else if (sKey == "ra_hours") {
            EXPECT_NEAR(m.oRightAscensionHours.value_or(NAN), fValue, 1e-9 / 15.0);
            EXPECT_EQ(m.oEquinox.value_or(2000.0), 2000.0);
        } else if (sKey == "dec_degrees") {
            EXPECT_NEAR(m.oDeclinationDegrees.value_or(NAN), fValue, 1e-9);
        } else if (sKey == "lon_west_deg" || sKey == "lat_deg") {
            const auto& oRead = sKey == "lat_deg" ? m.oLatitudeDegrees : m.oLongitudeWestDegrees;
            EXPECT_NEAR(oRead.value_or(NAN), fValue, 1e-9);
        } else if (sKey == "height_m") {
            EXPECT_NEAR(m.oHeightMetres.value_or(NAN), fValue, 1e-6);
        } else if (sKey == "resolving_power" || sKey == "vhel_applied" || sKey == "rqvh") {
            const auto& oRead = sKey == "resolving_power" ? m.oResolvingPower
                                                          : (sKey == "rqvh" ? m.oCorrectionToApply : m.oCorrectionApplied);
            EXPECT_EQ(oRead.value_or(NAN), fValue);
        } else if (sKey == "first_wavelength" || sKey == "last_wavelength") {
            const double fRead = sKey == "first_wavelength" ? oSpectrum->vWavelength.front() : oSpectrum->vWavelength.back();
            EXPECT_NEAR(fRead, fValue, 1e-9 * fValue);
            ASSERT_EQ(oSpectrum->vIntensity.size(), 20U);
            EXPECT_EQ(oSpectrum->vIntensity.front(), 100.0);
            EXPECT_EQ(oSpectrum->vIntensity.back(), 119.0);
        } else {
            ADD_FAILURE() << "unknown key";
        }
        ++lChecked;
    }
    EXPECT_GE(lChecked, 48);

    // The first extension that is a spectrum is read, and the note says which.
    for (const char* pcFile : {"e_sky_first.fits", "e_table_first.fits"}) {
        std::string sError;
        const auto oSpectrum = ReadFitsSpectrum(kDir + pcFile);
        ASSERT_TRUE(oSpectrum) << pcFile << ": " << oSpectrum.Error();
        EXPECT_EQ(oSpectrum->vIntensity, (std::vector<double>{100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110,
                                                              111, 112, 113, 114, 115, 116, 117, 118, 119}));
        ASSERT_FALSE(oSpectrum->vWarnings.empty()) << pcFile;
        EXPECT_NE(oSpectrum->vWarnings.back().find("read from HDU 3"), std::string::npos) << oSpectrum->vWarnings.back();
    }
    // Refused, naming why: multispec, no spectrum among the extensions, more samples than the program takes.
    for (const auto& [pcFile, pcWhy] : {std::pair{"a_multispec.fits", "WAT2 cards give no dispersion for image row 1"},
                                        {"e_none.fits", "holds no spectrum: HDU 2: its table has no wavelength column"},
                                        {"e_none.fits", "HDU 3: it holds a 2-dimensional image (10 x 5)"},
                                        {"big_8bit.fits.gz", "more than the 33554432 the program takes"}}) {
        const auto oRead = ReadFitsSpectrum(kDir + pcFile);
        ASSERT_FALSE(oRead) << pcFile;
        EXPECT_NE(oRead.Error().find(pcWhy), std::string::npos) << oRead.Error();
    }
}

TEST(FitsSpectrum, EchelleOrdersAndMultispecRowsAreReadAsAstropyAndNumpyGiveThem)
{
    // tests/data/fits/expected_orders.txt: "file choice first last" or "file choice refused:reason"
    // (make_fits_cases.py); a choice is an order number, an HDU's name, or - for none.
    std::ifstream oExpected(kDir + "expected_orders.txt");
    std::string sLine;
    int lChecked = 0;
    while (std::getline(oExpected, sLine)) {
        if (sLine.empty() || sLine[0] == '#') {
            continue;
        }
        SCOPED_TRACE(sLine);
        std::istringstream oFields(sLine);
        std::string sFile;
        std::string sChoice;
        std::string sFirst;
        std::string sLast;
        oFields >> sFile >> sChoice >> sFirst >> sLast;
        SpectrumChoice oChoice;
        if (sChoice != "-") {
            if (std::isdigit(static_cast<unsigned char>(sChoice[0])) != 0) {
                oChoice.oOrder = std::stoi(sChoice);
            } else {
                oChoice.sHdu = sChoice;
            }
        }
        const auto oRead = ReadFitsSpectrum(kDir + sFile, oChoice);
        ++lChecked;
        if (sFirst.starts_with("refused:")) {
            std::string sReason = sFirst.substr(8);
            std::replace(sReason.begin(), sReason.end(), '_', ' ');
            ASSERT_FALSE(oRead);
            EXPECT_NE(oRead.Error().find(sReason), std::string::npos) << oRead.Error();
            continue;
        }
        ASSERT_TRUE(oRead) << oRead.Error();
        ASSERT_EQ(oRead->vWavelength.size(), 20U);
        EXPECT_NEAR(oRead->vWavelength.front(), std::stod(sFirst), 1e-9 * std::stod(sFirst));
        EXPECT_NEAR(oRead->vWavelength.back(), std::stod(sLast), 1e-9 * std::stod(sLast));
    }
    EXPECT_EQ(lChecked, 10);
    // The listing names every spectrum with its range; the merged one is marked.
    const auto oList = ListFitsSpectra(kDir + "o_eshel.fits");
    ASSERT_TRUE(oList) << oList.Error();
    ASSERT_EQ(oList->size(), 3U);
    EXPECT_TRUE((*oList)[0].bMerged);
    EXPECT_EQ((*oList)[2].sName, "P_1C_31");
    EXPECT_EQ((*oList)[2].oOrder, 31);
    EXPECT_EQ((*oList)[2].lSamples, 20U);
    // The primary header's observation goes with every order.
    EXPECT_TRUE(ReadFitsSpectrum(kDir + "o_eshel.fits", {31, ""})->oMetadata.oJulianDateMid.has_value());
}
