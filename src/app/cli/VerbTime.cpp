#include "VerbTime.h"

#include "session/Session.h"

#include "astro/JulianDate.h"
#include "astro/ObservationCoordinates.h"
#include "core/NumberText.h"

#include <cmath>
#include <ostream>

namespace quandrel::cli {

namespace {

int Integer(const std::string& sText, const std::string& sWhat)
{
    int lValue = 0;
    if (!ParseWholeInt(sText, lValue)) {
        throw UsageError(sWhat + " must be a whole number, not '" + sText + "'.");
    }
    return lValue;
}

} // namespace

std::string JdHelp()
{
    return "usage: quandrel-cli jd YEAR MONTH DAY [HOURS [MINUTES]]\n"
           "Prints the Julian date (UT) of a calendar date and time, %.8f.\n";
}

std::string CaldateHelp()
{
    return "usage: quandrel-cli caldate JD\n"
           "Prints the calendar date of a Julian date: year month day hours minutes (minutes %.6f).\n";
}

std::string CorrectionHelp()
{
    return "usage: quandrel-cli correction --jd JD --ra H M --dec D M --lon D M --lat D M\n"
           "Prints the classic heliocentric velocity correction for the observer's motion in km/s\n"
           "(%.6f; barycorr gives the precise one): add it to a measured Doppler velocity. Longitude positive west; minutes carry their own sign\n"
           "(-5 deg 30 min is --dec -5 -30).\n";
}

std::string BarycorrHelp()
{
    return "usage: quandrel-cli barycorr --jd JD --ra H M --dec D M --lon D M --lat D M [--height M]\n"
           "                             [--dut1 S]\n"
           "Prints the precise correction for the observer's motion and the times of the observation seen\n"
           "from the barycentre and the Sun, as astropy computes them (Wright & Eastman 2014):\n"
           "vcorr= (km/s; the measured velocity v becomes v + vcorr + v vcorr / c), bjd_tdb=, hjd= (UTC)\n"
           "and jd_tdb= (days). JD is UTC; angles as correction takes them, longitude positive west;\n"
           "--height the site's height above the WGS84 ellipsoid in metres (0), --dut1 UT1 - UTC in\n"
           "seconds (0). Dates from 1960 to 2100; nothing is downloaded.\n";
}

int RunBarycorr(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const auto oObservation = TakeObservation(oArguments, "barycorr", true);
    const double fHeight = oArguments.TakeDouble("--height").value_or(0.0);
    const double fDut1 = oArguments.TakeDouble("--dut1").value_or(0.0);
    if (!oArguments.Positionals().empty()) {
        throw UsageError("barycorr takes no further arguments.");
    }
    CheckObservation(*oObservation, "barycorr");
    const auto oResult = ProjectSession::Barycentric(oObservation->fJulianDate, oObservation->oObject,
                                                     oObservation->oSite, fHeight, fDut1);
    if (!oResult) {
        oErr << oResult.Error().sText << "\n";
        return kExitInput;
    }
    if (!oResult->sWarning.empty()) {
        oErr << "Warning: " << oResult->sWarning << "\n";
    }
    oOut << "vcorr=" << FormatGeneral(oResult->fCorrectionKms, 13) << "\n"
         << "bjd_tdb=" << FormatFixed(oResult->fBjdTdb, 10) << "\n"
         << "hjd=" << FormatFixed(oResult->fHjd, 10) << "\n"
         << "jd_tdb=" << FormatFixed(oResult->fJulianDateTdb, 10) << "\n";
    return kExitOk;
}

int RunJd(Arguments& oArguments, std::ostream& oOut, std::ostream&)
{
    const auto v = oArguments.Positionals();
    if (v.size() < 3 || v.size() > 5) {
        throw UsageError("jd needs YEAR MONTH DAY and optionally HOURS and MINUTES.");
    }
    const int lYear = Integer(v[0], "YEAR");
    const int lMonth = Integer(v[1], "MONTH");
    const double fDay = NumberArgument(v[2], "DAY");
    const double fHours = v.size() > 3 ? NumberArgument(v[3], "HOURS") : 0.0;
    const double fMinutes = v.size() > 4 ? NumberArgument(v[4], "MINUTES") : 0.0;
    // A date the calendar does not have (30 February) gives a Julian date of another day without a word.
    const int lDays = JulianDate::DaysInMonth(lYear, lMonth);
    if (lDays == 0 || !(fDay >= 1.0) || !(fDay < lDays + 1.0) || !(fHours >= 0.0) || !(fHours <= 24.0) ||
        !(fMinutes >= 0.0) || !(fMinutes <= 60.0)) {
        throw UsageError("jd needs a month of 1 to 12, a day of that month (" +
                          (lDays == 0 ? std::string("1 to 31") : "1 to " + std::to_string(lDays)) +
                          "), hours of 0 to 24 and minutes of 0 to 60.");
    }
    const double fJd = JulianDate::FromCalendar(lYear, lMonth, fDay, fHours, fMinutes);
    oOut << FormatFixed(fJd, 8) << "\n";
    return kExitOk;
}

int RunCaldate(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const auto v = oArguments.Positionals();
    if (v.size() != 1) {
        throw UsageError("caldate needs one Julian date.");
    }
    const CalendarDate o = JulianDate::ToCalendar(NumberArgument(v[0], "JD"));
    if (o.month == 0) {
        oErr << "The Julian date " << v[0] << " lies outside the calendar.\n";
        return kExitInput;
    }
    oOut << o.year << "\t" << o.month << "\t" << FormatResult(o.day) << "\t" << FormatResult(o.hours) << "\t"
         << FormatFixed(o.minutes, 6) << "\n";
    return kExitOk;
}

int RunCorrection(Arguments& oArguments, std::ostream& oOut, std::ostream&)
{
    const auto oObservation = TakeObservation(oArguments, "correction", true);
    if (!oArguments.Positionals().empty()) {
        throw UsageError("correction takes no further arguments.");
    }
    CheckObservation(*oObservation, "correction");
    Session oSession("");
    // The classic correction, as it always printed; barycorr gives the precise one.
    oSession.Project().SetCorrection(CorrectionKind::kHeliocentric);
    oSession.Project().SetObjectCoordinates(oObservation->oObject);
    oSession.Project().SetObserverSite(oObservation->oSite);
    oOut << FormatFixed(oSession.Project().CorrectionAt(oObservation->fJulianDate), 6) << "\n";
    return kExitOk;
}

} // namespace quandrel::cli
