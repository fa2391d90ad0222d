#include "VerbOrbit.h"

#include "core/AtomicFile.h"
#include "core/NumberText.h"
#include "session/Session.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace quandrel::cli {

namespace {

// The option names of the six searched elements, in parameter order.
const char* const kElementNames[6] = {"p", "t0", "e", "omega", "a1sini", "gamma"};

double* Field(OrbitElements& o, int lIndex)
{
    double* apFields[6] = {&o.fPeriod, &o.fT0, &o.fEccentricity, &o.fOmega, &o.fA1SinI, &o.fGamma};
    return apFields[lIndex];
}

double Number(const std::string& sText, const std::string& sOption)
{
    double fValue = 0.0;
    if (!ParseWholeDouble(sText, fValue)) {
        throw UsageError("Option " + sOption + " needs numbers, not '" + sText + "'.");
    }
    return fValue;
}

// The series of the verb's one file (the options are taken before) into the session; false, with the
// reason on oErr, when it cannot be read.
// The measurement file, its times turned into another time scale when --time-scale asks for it (and
// then a time_scale= line first).
bool ReadSeries(Arguments& oArguments, const char* pcVerb, Session& oSession, std::ostream& oOut, std::ostream& oErr)
{
    const std::string sScale = oArguments.TakeValue("--time-scale").value_or("jd");
    const auto oPlace = TakeObjectAndSite(oArguments, pcVerb);
    const auto vFiles = oArguments.Positionals();
    if (vFiles.empty()) {
        throw UsageError(std::string(pcVerb) + " needs an RV file (or several, each a data set).");
    }
    if (sScale != "jd" && sScale != "hjd" && sScale != "bjd") {
        throw UsageError("--time-scale is jd, hjd or bjd.");
    }
    if (sScale != "jd" && !oPlace) {
        throw UsageError(std::string(pcVerb) + " --time-scale " + sScale + " needs --ra, --dec, --lon and --lat.");
    }
    if (const Outcome oRefused = oSession.Orbit().ImportMeasurementFiles(vFiles)) {
        oErr << oRefused->sText << (vFiles.size() == 1 ? " (" + vFiles[0] + ")" : std::string()) << "\n";
        return false;
    }
    if (sScale != "jd") {
        const TimeScale eScale = sScale == "bjd" ? TimeScale::kBjdTdb : TimeScale::kHjd;
        if (const Outcome oRefused =
                oSession.Orbit().ConvertTimes(eScale, oPlace->oObject, oPlace->oSite, oPlace->fHeightMetres)) {
            oErr << oRefused->sText << " (" << vFiles[0] << ")\n";
            return false;
        }
        oOut << "time_scale=" << TimeScaleName(eScale) << "\n";
    }
    return true;
}

constexpr const char* kDataSetHelp =
    "Several RV files are pooled, each a data set named by its file; a fourth and last field of a line\n"
    "(after the uncertainty) that is no number names the line's data set instead.\n";

constexpr const char* kTimeScaleHelp =
    "--time-scale jd|hjd|bjd with --ra H M --dec D M --lon D M --lat D M [--height M] turns the file's\n"
    "Julian dates (UTC) into HJD or BJD_TDB first (longitude positive west) and prints time_scale= first.\n";

// A refusal of the session as one sentence: a usage error when the options are at fault.
int Refused(const Message& oMessage, std::ostream& oErr)
{
    std::string sText = oMessage.sText;
    std::replace(sText.begin(), sText.end(), '\n', ' ');
    std::erase(sText, '\r');
    if (oMessage.bParameters) {
        throw UsageError(sText);
    }
    oErr << sText << "\n";
    return kExitInput;
}

} // namespace

std::string OrbitHelp()
{
    return "usage: quandrel-cli orbit RVFILE... [--p A B] [--t0 A B] [--e A B] [--omega A B] [--a1sini A B]\n"
           "                          [--gamma A B] [--steps N] [--steps-p N ...] [--fix-p V ...] [--residuals]\n"
           "                          [--no-lsq] [--auto] [--jitter] [--mcmc [--walkers W] [--mcmc-steps N]\n"
           "                          [--seed S] [--chain OUT]] [--sparse [--prior-samples N]]\n"
           "Fits the orbit of a single-lined binary to the Julian date / velocity pairs of RVFILE (';' or TAB)\n"
           "by the grid search and refinement of \"Calculate elements\" and prints P, T0, e, omega, a1Sini,\n"
           "gamma, K1 and RMS as name=value lines; with --residuals also jd<TAB>measured<TAB>residual.\n"
           "Then a least-squares fit of all six elements from the search's best point adds lsq.P=,\n"
           "lsq.P.err= and likewise T0, e, omega, K1, gamma, a1sini (km), a1sini_au, f_M (solar masses),\n"
           "then lsq.RMS=, lsq.chi2r= (lsq.residual_variance= in (km/s)^2 without uncertainties) and lsq.n=\n"
           "(--no-lsq leaves them out); a doubtful fit is named on standard error. A third column of RVFILE on\n"
           "every line is the velocity's uncertainty in km/s and weighs the fit. --auto takes the ranges\n"
           "from the data (P around the Lomb-Scargle periodogram's strongest peak, K from the velocities'\n"
           "half-range, gamma around their mean, T0 over one period) before the options.\n"
           "Ranges default to those of the dialog: P 0.5 days to the time span, T0 over the time span,\n"
           "e 0 .. 0.9, omega 0 .. 360 degrees, a1sini 1000 .. 1e10 km, gamma over the velocities;\n"
           "10 steps each. --fix-X V holds element X at V (X: p, t0, e, omega, a1sini, gamma).\n"
           "With several data sets the least squares fit gamma's offset of each after the first\n"
           "(lsq.offset.NAME= and .err=), and with --jitter a jitter per data set added in quadrature to\n"
           "the uncertainties by maximum likelihood (lsq.jitter.NAME= and .err=; the errors then not scaled\n"
           "by the reduced chi-square). The residuals are those less each data set's offset.\n"
           "--mcmc then samples the posterior around the least-squares orbit with an ensemble sampler (one\n"
           "ensemble per core, --walkers W each, at most --mcmc-steps N steps (5000), stopping once the chains\n"
           "are 50 autocorrelation times long; --seed S) and prints mcmc.NAME=, .lo= and .hi= (median, 16th\n"
           "and 84th percentiles) of every element and derived quantity, mcmc.acceptance=, mcmc.tau=,\n"
           "mcmc.n_eff=, mcmc.steps= and mcmc.calls=; --chain OUT writes the kept samples.\n"
           "--sparse instead samples orbits for few epochs by rejection (--prior-samples N, 2^20; P log-uniform\n"
           "over --p A B, 0.5 to 1000 days; e from Beta(0.867, 3.03); K1 and gamma marginalised; uncertainties\n"
           "needed) and prints sparse.drawn=, sparse.accepted= and mode.K.P=, mode.K.prob= of the period modes\n"
           "holding 1 % or more of the kept samples.\n" +
           std::string(kDataSetHelp) + kTimeScaleHelp;
}

std::string PdmHelp()
{
    return "usage: quandrel-cli pdm RVFILE... [--bins B] [--from P] [--to P]\n"
           "Estimates the period by phase dispersion minimisation over periods from P to P (0.5 days to the\n"
           "time span) in steps of 0.01 days with B phase bins (a third of the number of points) and prints\n"
           "T = %8.3f. A period at an end of the range or beyond half the time span is named on standard error.\n"
           "With several data sets each is taken less its own mean.\n" +
           std::string(kDataSetHelp) + kTimeScaleHelp;
}

int RunOrbit(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    struct Given {
        std::optional<std::pair<double, double>> oRange;
        std::optional<int32_t> lSteps;
    };
    std::array<Given, 6> aoGiven;
    std::array<bool, 6> abUse{true, true, true, true, true, true};
    const auto lAllSteps = oArguments.TakeInt("--steps");
    for (int i = 0; i < 6; ++i) {
        const std::string sName = kElementNames[i];
        if (const auto vRange = oArguments.TakeValues("--" + sName, 2)) {
            aoGiven[i].oRange = std::make_pair(Number((*vRange)[0], "--" + sName), Number((*vRange)[1], "--" + sName));
        }
        aoGiven[i].lSteps = oArguments.TakeInt("--steps-" + sName);
        if (const auto fFixed = oArguments.TakeDouble("--fix-" + sName)) {
            aoGiven[i].oRange = std::make_pair(*fFixed, *fFixed);
            abUse[i] = false;
        }
    }
    const bool bResiduals = oArguments.TakeFlag("--residuals");
    const bool bLeastSquares = !oArguments.TakeFlag("--no-lsq");
    const bool bAuto = oArguments.TakeFlag("--auto");
    const bool bJitter = oArguments.TakeFlag("--jitter");
    const bool bPosterior = oArguments.TakeFlag("--mcmc");
    const bool bSparse = oArguments.TakeFlag("--sparse");
    const auto lPriorSamples = oArguments.TakeInt("--prior-samples");
    PosteriorOptions oPosteriorOptions;
    oPosteriorOptions.lWalkers = oArguments.TakeInt("--walkers").value_or(0);
    // --steps is the grid's: the sampler's steps have their own option.
    oPosteriorOptions.lSteps = oArguments.TakeInt("--mcmc-steps").value_or(5000);
    oPosteriorOptions.lSeed = static_cast<uint64_t>(oArguments.TakeInt("--seed").value_or(1));
    const std::optional<std::string> oChainFile = oArguments.TakeValue("--chain");
    oPosteriorOptions.bKeepChain = oChainFile.has_value();
    if (!bPosterior && (oChainFile || oPosteriorOptions.lWalkers != 0)) {
        throw UsageError("--walkers and --chain go with --mcmc.");
    }
    if (bPosterior && !bLeastSquares) {
        throw UsageError("--mcmc samples around the least-squares orbit: it does not go with --no-lsq.");
    }
    Session oSession("");
    if (!ReadSeries(oArguments, "orbit", oSession, oOut, oErr)) {
        return kExitInput;
    }
    if (bSparse) {
        SparseOptions oSparseOptions;
        oSparseOptions.lPriorSamples = lPriorSamples.value_or(oSparseOptions.lPriorSamples);
        oSparseOptions.lSeed = oPosteriorOptions.lSeed;
        if (aoGiven[0].oRange) {
            oSparseOptions.fShortest = aoGiven[0].oRange->first;
            oSparseOptions.fLongest = aoGiven[0].oRange->second;
        }
        const SessionResult<SparsePosterior> oSparse = oSession.Orbit().SampleSparse(oSparseOptions);
        if (!oSparse) {
            return Refused(oSparse.Error(), oErr);
        }
        oOut << "sparse.drawn=" << oSparse->lDrawn << "\nsparse.accepted=" << oSparse->lAccepted << "\n";
        for (std::size_t k = 0; k < oSparse->vModes.size(); ++k) {
            oOut << "mode." << k + 1 << ".P=" << FormatGeneral(oSparse->vModes[k].fPeriod, 8) << "\n"
                 << "mode." << k + 1 << ".prob=" << FormatGeneral(oSparse->vModes[k].fShare, 4) << "\n";
        }
        return kExitOk;
    }
    // The dialog's first proposal (or, with --auto, its "Suggest"), with what the options give.
    OrbitSearch oSearch = oSession.Orbit().OrbitSearchProposal();
    if (bAuto) {
        const SessionResult<OrbitSearch> oSuggested = oSession.Orbit().SuggestOrbitSearch(oSearch);
        if (!oSuggested) {
            return Refused(oSuggested.Error(), oErr);
        }
        oSearch = *oSuggested;
    }
    for (int i = 0; i < 6; ++i) {
        const auto lIndex = static_cast<std::size_t>(i);
        if (aoGiven[lIndex].oRange) {
            *Field(oSearch.oLower, i) = aoGiven[lIndex].oRange->first;
            *Field(oSearch.oUpper, i) = aoGiven[lIndex].oRange->second;
        }
        oSearch.alSteps[lIndex] = aoGiven[lIndex].lSteps.value_or(lAllSteps.value_or(10));
        oSearch.abUse[lIndex] = abUse[lIndex];
    }
    oSearch.bLeastSquares = bLeastSquares;
    oSearch.bJitter = bJitter;
    if (const Outcome oRefused = oSession.Orbit().FitOrbit(oSearch)) {
        if (oSession.Orbit().IsOrbitFitted()) {
            // The search stands; only the least-squares fit was not possible, or is doubtful.
            std::string sText = oRefused->sText;
            std::replace(sText.begin(), sText.end(), '\n', ' ');
            oErr << "Warning: " << sText << "\n";
        } else {
            return Refused(*oRefused, oErr);
        }
    }
    const OrbitElements& oBest = oSession.Orbit().Elements();
    const std::pair<const char*, double> aoLines[] = {
        {"P", oBest.fPeriod}, {"T0", oBest.fT0},         {"e", oBest.fEccentricity}, {"omega", oBest.fOmega},
        {"a1Sini", oBest.fA1SinI}, {"gamma", oBest.fGamma}, {"K1", oBest.fK1},         {"RMS", oBest.fRMS}};
    for (const auto& [pcName, fValue] : aoLines) {
        oOut << pcName << "=" << FormatFixed(fValue, 6) << "\n";
    }
    if (const auto& oLeastSquares = oSession.Orbit().LeastSquaresFit()) {
        oOut << LeastSquaresText(*oLeastSquares, "\n");
    }
    if (bPosterior) {
        const SessionResult<OrbitPosterior> oPosterior = oSession.Orbit().SamplePosterior(oPosteriorOptions);
        if (!oPosterior) {
            return Refused(oPosterior.Error(), oErr);
        }
        for (const PosteriorSummary& o : oPosterior->vSummaries) {
            oOut << "mcmc." << o.sName << "=" << FormatGeneral(o.fMedian, 10) << "\n"
                 << "mcmc." << o.sName << ".lo=" << FormatGeneral(o.fLow, 10) << "\n"
                 << "mcmc." << o.sName << ".hi=" << FormatGeneral(o.fHigh, 10) << "\n";
        }
        oOut << "mcmc.acceptance=" << FormatGeneral(oPosterior->fAcceptance, 4) << "\n"
             << "mcmc.tau=" << FormatGeneral(oPosterior->fTau, 4) << "\n"
             << "mcmc.n_eff=" << FormatGeneral(oPosterior->fEffective, 6) << "\n"
             << "mcmc.steps=" << oPosterior->lSteps << "\n"
             << "mcmc.calls=" << oPosterior->lLikelihoodCalls << "\n";
        if (!oPosterior->bConverged) {
            oErr << "Warning: the chains are shorter than 50 autocorrelation times (tau " << FormatGeneral(oPosterior->fTau, 4)
                 << " steps after " << oPosterior->lSteps << "): take more steps.\n";
        }
        if (oChainFile) {
            std::string sText = "#";
            for (const std::string& sName : oPosterior->vChainNames) {
                sText += " " + sName;
            }
            sText += "\n";
            for (const auto& vRow : oPosterior->vvChain) {
                for (std::size_t c = 0; c < vRow.size(); ++c) {
                    sText += (c == 0 ? "" : "\t") + FormatGeneral(vRow[c], 12);
                }
                sText += "\n";
            }
            if (!WriteFileAtomically(*oChainFile, sText)) {
                oErr << "The chain cannot be written to " << *oChainFile << ".\n";
                return kExitInput;
            }
        }
    }
    if (bResiduals) {
        std::vector<double> vJd;
        std::vector<double> vResidual;
        oSession.Orbit().AlignedResiduals(vJd, vResidual);
        const DataSeries& oSeries = oSession.Orbit().GridSearch().GetData();
        for (std::size_t k = 0; k < vJd.size(); ++k) {
            oOut << FormatFixed(vJd[k], 6) << "\t" << FormatResult(oSeries.GetY(static_cast<int32_t>(k))) << "\t"
                 << FormatResult(vResidual[k]) << "\n";
        }
    }
    return kExitOk;
}

int RunPdm(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const auto lBins = oArguments.TakeInt("--bins");
    const auto fFrom = oArguments.TakeDouble("--from");
    const auto fTo = oArguments.TakeDouble("--to");
    Session oSession("");
    if (!ReadSeries(oArguments, "pdm", oSession, oOut, oErr)) {
        return kExitInput;
    }
    PeriodSearch oSearch = oSession.Periods().PeriodSearchProposal();
    oSearch.lBins = lBins.value_or(oSearch.lBins);
    oSearch.fFrom = fFrom.value_or(oSearch.fFrom);
    oSearch.fTo = fTo.value_or(oSearch.fTo);
    const SessionResult<double> oPeriod = oSession.Periods().EstimatePeriod(oSearch);
    if (!oPeriod) {
        return Refused(oPeriod.Error(), oErr);
    }
    const double fPeriod = *oPeriod;
    if (!oSession.Periods().PeriodWarning().empty()) {
        oErr << "Warning: " << oSession.Periods().PeriodWarning() << "\n";
    }
    oOut << "T = " << FormatFixedWidth(fPeriod, 8, 3) << "\n";
    return kExitOk;
}

std::string LsHelp()
{
    return "usage: quandrel-cli ls RVFILE [--from A --to B] [--samples N] [--curve]\n"
           "The generalised Lomb-Scargle periodogram (floating mean) of the Julian date / velocity pairs\n"
           "of RVFILE between the periods A and B days (0.5 to the time span) on N frequencies evenly\n"
           "spaced from 1/B to 1/A (enough to resolve every peak). Prints P= and power= of the strongest\n"
           "peak and fap1= (the power noise exceeds with 1 % probability); with --curve also\n"
           "frequency<TAB>period<TAB>power per frequency.\n" +
           std::string(kTimeScaleHelp);
}

int RunLs(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const auto fFrom = oArguments.TakeDouble("--from");
    const auto fTo = oArguments.TakeDouble("--to");
    const auto lSamples = oArguments.TakeInt("--samples");
    const bool bCurve = oArguments.TakeFlag("--curve");
    if (fFrom.has_value() != fTo.has_value()) {
        throw UsageError("ls needs both --from and --to, or neither.");
    }
    Session oSession("");
    if (!ReadSeries(oArguments, "ls", oSession, oOut, oErr)) {
        return kExitInput;
    }
    const SessionResult<PeriodogramResult> oPeriodogram =
        oSession.Periods().ComputePeriodogram(fFrom.value_or(0.0), fTo.value_or(0.0), lSamples.value_or(0));
    if (!oPeriodogram) {
        return Refused(oPeriodogram.Error(), oErr);
    }
    const PeriodogramResult& o = *oPeriodogram;
    oOut << "P=" << FormatGeneral(o.BestPeriod(), 10) << "\npower=" << FormatGeneral(o.fBestPower, 10)
         << "\nfap1=" << FormatGeneral(o.fFalseAlarm1Percent, 10) << "\n";
    if (bCurve) {
        std::string sLine;
        for (std::size_t k = 0; k < o.vFrequency.size(); ++k) {
            sLine = FormatGeneral(o.vFrequency[k], 10) + "\t" + FormatGeneral(1.0 / o.vFrequency[k], 10) + "\t" +
                    FormatGeneral(o.vPower[k], 10) + "\n";
            oOut << sLine;
        }
    }
    return kExitOk;
}

} // namespace quandrel::cli
