#include "VerbSpectrumFile.h"

#include "session/Session.h"

#include "calibration/ContinuumFit.h"
#include "core/AtomicFile.h"
#include "core/NumberText.h"
#include "io/FitsSpectrum.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <utility>

namespace quandrel::cli {

namespace {

bool IsFitsName(const std::string& sPath)
{
    std::string sLower = sPath;
    std::transform(sLower.begin(), sLower.end(), sLower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* pcEnd : {".fits", ".fit", ".fts"}) {
        const std::string sEnd = pcEnd;
        if (sLower.size() > sEnd.size() && sLower.compare(sLower.size() - sEnd.size(), sEnd.size(), sEnd) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string InfoHelp()
{
    return std::string("usage: quandrel-cli info FILE [--sources] [import options]\n"
                       "Prints what a spectrum file holds. A FITS file of several spectra (echelle orders,\n"
                       "multispec rows) lists them first, one spectrum=NAME<TAB>from<TAB>to<TAB>samples\n"
                       "line each (\"merged\" after the merged one); without a merged one and without\n"
                       "--order or --hdu nothing more. Then, of the spectrum read: samples=, from=,\n"
                       "to=, step= (0 when the wavelengths are not evenly spaced), and from a FITS\n"
                       "header frame= (topocentric,\n"
                       "heliocentric or barycentric: whether the wavelengths already carry a correction\n"
                       "for the observer's motion), jd_mid=, jd_hel=, object=, ra_h=, dec_deg=,\n"
                       "lon_west_deg=, lat_deg=, height_m=, observer=, instrument=, site=,\n"
                       "resolving_power=, vhel_applied=, rqvh=, telluric=, normalised=, cosmics= (each\n"
                       "only when the file has it), and correction= (km/s), the correction the program\n"
                       "applies, computed from the header's time, object and site, when it has them and\n"
                       "the wavelengths are topocentric. A BSS_RQVH that differs from it by more than\n"
                       "1 km/s is warned about.\n"
                       "  --sources   after the items, source.ITEM= lines naming the keywords each came from\n") +
           ImportOptionsHelp();
}

int RunInfo(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const ImportSettings oSettings = TakeImportOptions(oArguments);
    const bool bSources = oArguments.TakeFlag("--sources");
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 1) {
        throw UsageError("info needs exactly one spectrum file.");
    }
    // A file of several spectra lists them first; the one read follows (the merged one, or the one named).
    const std::vector<FitsEntry> vSpectra = SpectraSession::SpectraInFile(vFiles[0]);
    if (vSpectra.size() > 1) {
        for (const FitsEntry& o : vSpectra) {
            oOut << "spectrum=" << o.sName << '\t'
                 << (o.sProblem.empty() ? FormatGeneral(o.fFrom, 10) + '\t' + FormatGeneral(o.fTo, 10) + '\t' +
                                              std::to_string(o.lSamples) + (o.bMerged ? "\tmerged" : "")
                                        : "error: " + o.sProblem)
                 << '\n';
        }
        if (SpectraSession::MustChoose(vSpectra) && !oSettings.oChoice.IsMade()) {
            oErr << vFiles[0] << " holds " << vSpectra.size()
                 << " spectra and none of them merged: name one with --order N or --hdu NAME.\n";
            return kExitOk;
        }
    }
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    SpectrumMetadata m;
    if (!ReadSpectrumFile(vFiles[0], oSettings, vWavelength, vIntensity, oErr, &m)) {
        return kExitInput;
    }
    const auto Line = [&oOut](const char* pcName, double f) { oOut << pcName << '=' << FormatGeneral(f, 10) << '\n'; };
    oOut << "samples=" << vWavelength.size() << '\n';
    Line("from", vWavelength.front());
    Line("to", vWavelength.back());
    Line("step", EvenStep(vWavelength));
    const bool bHeader = !m.vHeaderCards.empty();
    const SpectrumCorrection oCorrection = ProjectSession::HeaderCorrection(m);
    if (bHeader) {
        oOut << "frame=" << FrameName(m.eFrame) << '\n';
    }
    if (m.oJulianDateMid) {
        oOut << "jd_mid=" << FormatFixed(*m.oJulianDateMid, 6) << '\n';
    }
    if (m.oHeliocentricJulianDate) {
        oOut << "jd_hel=" << FormatFixed(*m.oHeliocentricJulianDate, 6) << '\n';
    }
    // Each item only when the file has it.
    const auto Texts = [&oOut](std::initializer_list<std::pair<const char*, const std::string*>> lItems) {
        for (const auto& [pcName, psText] : lItems) {
            if (!psText->empty()) {
                oOut << pcName << '=' << *psText << '\n';
            }
        }
    };
    using Item = std::pair<const char*, const std::optional<double>*>;
    const auto Items = [&Line](std::initializer_list<Item> lItems) {
        for (const auto& [pcName, pValue] : lItems) {
            if (*pValue) {
                Line(pcName, **pValue);
            }
        }
    };
    Texts({{"object", &m.sObject}});
    Items({{"ra_h", &m.oRightAscensionHours}, {"dec_deg", &m.oDeclinationDegrees}, {"lon_west_deg", &m.oLongitudeWestDegrees},
           {"lat_deg", &m.oLatitudeDegrees}, {"height_m", &m.oHeightMetres}});
    Texts({{"observer", &m.sObserver}, {"instrument", &m.sInstrument}, {"site", &m.sSite}});
    Items({{"resolving_power", &m.oResolvingPower}, {"vhel_applied", &m.oCorrectionApplied},
           {"rqvh", &m.oCorrectionToApply}});
    Texts({{"telluric", &m.sTelluric}, {"normalised", &m.sNormalised}, {"cosmics", &m.sCosmics}});
    if (oCorrection.oComputed && !m.IsCorrected()) {
        oOut << "correction=" << FormatFixed(*oCorrection.oComputed, 3) << '\n';
    }
    if (!oCorrection.sWarning.empty()) {
        oErr << "Warning: " << vFiles[0] << ": " << oCorrection.sWarning << '\n';
    }
    if (bSources) {
        for (const auto& [sItem, sKeys] : m.mSources) {
            oOut << "source." << sItem << '=' << sKeys << '\n';
        }
    }
    return kExitOk;
}

std::string ConvertHelp()
{
    return std::string("usage: quandrel-cli convert IN OUT [--observer NAME] [--instrument NAME] [--site NAME]\n"
                       "                           [import options]\n"
                       "Writes the spectrum of IN (text or FITS) to OUT: a FITS file with the header's\n"
                       "metadata when OUT ends in .fits, .fit or .fts, else a text file of\n"
                       "wavelength<TAB>intensity lines (%.17g). The FITS header holds the keywords the\n"
                       "amateur databases ask for: OBJNAME, DATE-OBS (start) and DATE-END, EXPTIME,\n"
                       "JD-MID, GEO_LONG/GEO_LAT/GEO_ELEV, OBSERVER, BSS_INST, BSS_SITE, BSS_VHEL and\n"
                       "BSS_RQVH (the program's correction, when the header gives time, object and site).\n"
                       "  --observer, --instrument, --site   names for a header that has none\n") +
           ImportOptionsHelp();
}

int WriteSpectrum(const std::string& sOut, const std::vector<double>& vWavelength, const std::vector<double>& vIntensity,
                  const SpectrumMetadata& oMetadata, std::ostream& oOut, std::ostream& oErr)
{
    if (!sOut.empty() && IsFitsName(sOut)) {
        std::string sError;
        if (!WriteFitsSpectrum(sOut, vWavelength, vIntensity, oMetadata, sError)) {
            oErr << sError << '\n';
            return kExitInput;
        }
        return kExitOk;
    }
    std::string sText;
    std::string sLine;
    for (std::size_t i = 0; i < vWavelength.size(); ++i) {
        sLine = FormatGeneral(vWavelength[i], 17);
        sLine += '\t';
        sLine += FormatGeneral(vIntensity[i], 17);
        sLine += '\n';
        if (sOut.empty()) {
            oOut << sLine;
        } else {
            sText += sLine;
        }
    }
    if (!sOut.empty() && !WriteFileAtomically(sOut, sText)) {
        oErr << "The file " << sOut << " cannot be written (" << LastWriteFailure() << ").\n";
        return kExitInput;
    }
    return kExitOk;
}

int RunConvert(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const ImportSettings oSettings = TakeImportOptions(oArguments);
    ObserverIdentity oIdentity;
    oIdentity.sObserver = oArguments.TakeValue("--observer").value_or("");
    oIdentity.sInstrument = oArguments.TakeValue("--instrument").value_or("");
    oIdentity.sSite = oArguments.TakeValue("--site").value_or("");
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 2) {
        throw UsageError("convert needs a spectrum file and the file to write.");
    }
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    SpectrumMetadata oMetadata;
    if (!ReadSpectrumFile(vFiles[0], oSettings, vWavelength, vIntensity, oErr, &oMetadata)) {
        return kExitInput;
    }
    const std::optional<double> oComputed = ProjectSession::HeaderCorrection(oMetadata).oComputed;
    return WriteSpectrum(vFiles[1], vWavelength, vIntensity, ProjectSession::HeaderForWriting(oMetadata, oIdentity, oComputed),
                         oOut, oErr);
}

std::string NormalizeHelp()
{
    return std::string("usage: quandrel-cli normalize FILE [--order N] [--sigma K] [--emission] [--out FILE]\n"
                       "Divides the spectrum by its continuum: a polynomial of order N (3) fitted again\n"
                       "and again without the samples more than K (2) standard deviations below it (above\n"
                       "it with --emission). Prints the result as import does, or writes it to the --out\n"
                       "file (FITS when its name ends in .fits, .fit or .fts). In a FITS file of several\n"
                       "spectra --spectrum-order N chooses the echelle order.\n") +
           ImportOptionsHelp();
}

int RunNormalize(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    // --order is the polynomial's here: an echelle order is --spectrum-order.
    const ImportSettings oSettings = TakeImportOptions(oArguments, "--spectrum-order");
    ContinuumOptions oOptions;
    if (const auto lOrder = oArguments.TakeInt("--order")) {
        oOptions.lOrder = *lOrder;
    }
    if (const auto fSigma = oArguments.TakeDouble("--sigma")) {
        oOptions.fSigma = *fSigma;
    }
    oOptions.bEmission = oArguments.TakeFlag("--emission");
    const std::string sOut = oArguments.TakeValue("--out").value_or("");
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 1) {
        throw UsageError("normalize needs exactly one spectrum file.");
    }
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    SpectrumMetadata oMetadata;
    if (!ReadSpectrumFile(vFiles[0], oSettings, vWavelength, vIntensity, oErr, &oMetadata)) {
        return kExitInput;
    }
    auto pSpectrum = std::make_unique<Spectrum>();
    pSpectrum->TakeValues(std::move(vWavelength), std::move(vIntensity));
    Session oSession("");
    oSession.Spectra().AddSpectrum(std::move(pSpectrum), vFiles[0]);
    if (const Outcome oRefused = oSession.Spectra().NormalizeCurrentSpectrum(oOptions)) {
        oErr << oRefused->sText << '\n';
        // The options' ranges are usage errors.
        return oRefused->sText.find("must") != std::string::npos ? kExitUsage : kExitInput;
    }
    const Spectrum& oNormalised = *oSession.Spectra().CurrentSpectrum();
    return WriteSpectrum(sOut, oNormalised.GetWavelengths(), oNormalised.GetIntensities(), oMetadata, oOut, oErr);
}

} // namespace quandrel::cli
