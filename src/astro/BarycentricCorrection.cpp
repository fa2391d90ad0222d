#include "BarycentricCorrection.h"

#include "core/NumberText.h"

#include <erfa.h>
#include <erfam.h>

#include <array>
#include <cmath>
#include <mutex>
#include <unordered_map>

namespace {

using Vector = std::array<double, 3>;

constexpr double kC = 299792458.0;                 // m/s
constexpr double kAu = 149597870700.0;             // m
constexpr double kDay = 86400.0;                   // s
constexpr double kEarthRotation = 7.292115855306589e-5; // rad per SI second (IERS conventions)
// Gravitational parameters (m^3/s^2) as astropy takes them: IAU 2015 nominal values for the Sun, the
// Earth and Jupiter; the Moon's mass times G (CODATA 2018).
constexpr double kGmSun = 1.3271244e20;
constexpr double kGmEarth = 3.986004e14;
constexpr double kGmJupiter = 1.2668653e17;
constexpr double kGmMoon = 6.6743e-11 * 7.34767309e22;

double Dot(const Vector& a, const Vector& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double Norm(const Vector& a)
{
    return std::sqrt(Dot(a, a));
}

Vector Minus(const Vector& a, const Vector& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

Vector Scaled(const double* p, double f)
{
    return {p[0] * f, p[1] * f, p[2] * f};
}

// The Earth's ephemeris (eraEpv00) and TDB - TT at the Earth's centre (eraDtdb) are the costly part of
// an observation's correction; both are smooth, so they are computed on a grid of half days and taken
// between its nodes: the position by cubic Hermite interpolation with the velocities (within 5 m), the
// velocity as its derivative (within 0.3 mm/s), TDB - TT linearly (within 0.1 microsecond; the site's
// own term, under 3 microseconds, is left out). The nodes are kept for the next observations.
struct EphemerisNode {
    double aaHelio[2][3];
    double aaBary[2][3];
    double fTdbMinusTt; // seconds
};

constexpr double kNodeDays = 0.5;

class EphemerisNodes {
public:
    EphemerisNode At(long long lNode)
    {
        {
            const std::lock_guard<std::mutex> oLock(m_oMutex);
            if (const auto it = m_mNodes.find(lNode); it != m_mNodes.end()) {
                return it->second;
            }
        }
        EphemerisNode o{};
        const double fDays = static_cast<double>(lNode) * kNodeDays;
        eraEpv00(2451545.0, fDays, o.aaHelio, o.aaBary);
        o.fTdbMinusTt = eraDtdb(2451545.0, fDays, 0.0, 0.0, 0.0, 0.0);
        const std::lock_guard<std::mutex> oLock(m_oMutex);
        if (m_mNodes.size() >= kMaxNodes) {
            m_mNodes.clear();
        }
        m_mNodes.emplace(lNode, o);
        return o;
    }

private:
    static constexpr std::size_t kMaxNodes = 1 << 14; // 22 years of half days
    std::mutex m_oMutex;
    std::unordered_map<long long, EphemerisNode> m_mNodes;
};

EphemerisNodes& Nodes()
{
    static EphemerisNodes oNodes;
    return oNodes;
}

// Position and velocity (au, au/day) at fDays past J2000 between the nodes a (at fStart) and b.
void Hermite(const double (&aaA)[2][3], const double (&aaB)[2][3], double fStart, double fDays, double (&aaOut)[2][3])
{
    const double h = kNodeDays;
    const double s = (fDays - fStart) / h;
    const double h00 = (1 + 2 * s) * (1 - s) * (1 - s);
    const double h10 = s * (1 - s) * (1 - s);
    const double h01 = s * s * (3 - 2 * s);
    const double h11 = s * s * (s - 1);
    const double d00 = 6 * s * s - 6 * s;
    const double d10 = 3 * s * s - 4 * s + 1;
    const double d01 = -d00;
    const double d11 = 3 * s * s - 2 * s;
    for (int i = 0; i < 3; ++i) {
        aaOut[0][i] = h00 * aaA[0][i] + h10 * h * aaA[1][i] + h01 * aaB[0][i] + h11 * h * aaB[1][i];
        aaOut[1][i] = (d00 * aaA[0][i] + d01 * aaB[0][i]) / h + d10 * aaA[1][i] + d11 * aaB[1][i];
    }
}

// The first year ERFA no longer vouches for its table of leap seconds (five years after its release).
int LeapSecondTableEnd()
{
    static const int lEnd = [] {
        for (int lYear = 2000; lYear < 2200; ++lYear) {
            double fDeltaAt = 0.0;
            if (eraDat(lYear, 1, 1, 0.0, &fDeltaAt) == 1) {
                return lYear;
            }
        }
        return 2200;
    }();
    return lEnd;
}

} // namespace

const char* TimeScaleName(TimeScale eScale)
{
    switch (eScale) {
    case TimeScale::kHjd:
        return "HJD";
    case TimeScale::kBjdTdb:
        return "BJD_TDB";
    case TimeScale::kJulianDateUtc:
        break;
    }
    return "JD (UTC)";
}

double CombineVelocity(double fMeasuredKms, double fCorrectionKms)
{
    return fMeasuredKms + fCorrectionKms + fMeasuredKms * fCorrectionKms / (kC / 1000.0);
}

quandrel::Result<BarycentricResult> ComputeBarycentric(const BarycentricInput& o)
{
    const double aInputs[] = {o.fJulianDateUtc, o.fRightAscensionDegrees, o.fDeclinationDegrees, o.fLongitudeEastDegrees,
                              o.fLatitudeDegrees, o.fHeightMetres, o.fDeltaUt1Seconds};
    for (const double f : aInputs) {
        if (!std::isfinite(f)) {
            return quandrel::Failure(std::string("The observation holds a value that is no finite number."));
        }
    }
    // 1960-01-01 and 2101-01-01.
    if (o.fJulianDateUtc < 2436934.5 || o.fJulianDateUtc >= 2488434.5) {
        return quandrel::Failure("The Julian date " + quandrel::FormatFixed(o.fJulianDateUtc, 5) +
                                 " lies outside 1960 to 2100, where the program computes barycentric times.");
    }
    if (std::fabs(o.fDeclinationDegrees) > 90.0 || std::fabs(o.fLatitudeDegrees) > 90.0 ||
        std::fabs(o.fHeightMetres) > 1e5 || std::fabs(o.fDeltaUt1Seconds) > 1.0) {
        return quandrel::Failure(std::string("The declination and the latitude must lie within 90 degrees, the height "
                                             "within 100 km and UT1 - UTC within a second."));
    }
    BarycentricResult oResult;
    // Time scales: UTC -> TAI -> TT, UT1, and TDB with the site's own term.
    const double fUtc1 = 2400000.5;
    const double fUtc2 = o.fJulianDateUtc - 2400000.5;
    double fTai1 = 0.0;
    double fTai2 = 0.0;
    const int lLeap = eraUtctai(fUtc1, fUtc2, &fTai1, &fTai2);
    if (lLeap < 0) {
        return quandrel::Failure("ERFA cannot place the Julian date " + quandrel::FormatFixed(o.fJulianDateUtc, 5) + ".");
    }
    if (lLeap == 1) {
        oResult.sWarning = "The date lies beyond the end of ERFA's table of leap seconds (" +
                           std::to_string(LeapSecondTableEnd()) +
                           "): UTC - TAI is taken as it was then, and times may be off by leap seconds added since.";
    }
    double fTt1 = 0.0;
    double fTt2 = 0.0;
    eraTaitt(fTai1, fTai2, &fTt1, &fTt2);
    double fUt11 = 0.0;
    double fUt12 = 0.0;
    eraUtcut1(fUtc1, fUtc2, o.fDeltaUt1Seconds, &fUt11, &fUt12);
    const double fLongitude = o.fLongitudeEastDegrees * ERFA_DD2R;
    std::array<double, 3> aSite{};
    if (eraGd2gc(ERFA_WGS84, fLongitude, o.fLatitudeDegrees * ERFA_DD2R, o.fHeightMetres, aSite.data()) != 0) {
        return quandrel::Failure(std::string("The site cannot be placed on the Earth."));
    }
    // TDB and the Earth's position and velocity (heliocentric and barycentric, au and au/day).
    const double fTtDays = (fTt1 - 2451545.0) + fTt2;
    const auto lNode = static_cast<long long>(std::floor(fTtDays / kNodeDays));
    const EphemerisNode oA = Nodes().At(lNode);
    const EphemerisNode oB = Nodes().At(lNode + 1);
    const double fStart = static_cast<double>(lNode) * kNodeDays;
    const double fShare = (fTtDays - fStart) / kNodeDays;
    const double fDtdb = oA.fTdbMinusTt + (oB.fTdbMinusTt - oA.fTdbMinusTt) * fShare;
    const double fTdb1 = fTt1;
    const double fTdb2 = fTt2 + fDtdb / kDay;
    oResult.fJulianDateTdb = fTdb1 + fTdb2;
    const double fTdbDays = fTtDays + fDtdb / kDay;
    double aaHelio[2][3];
    double aaBary[2][3];
    Hermite(oA.aaHelio, oB.aaHelio, fStart, fTdbDays, aaHelio);
    Hermite(oA.aaBary, oB.aaBary, fStart, fTdbDays, aaBary);
    // The site in the GCRS: the celestial-to-terrestrial rotation (the CIP of IAU 2000B, within a
    // milliarcsecond of IAU 2006/2000A, which moves the site's velocity by less than 0.01 mm/s; no polar
    // motion); it turns about the pole of the intermediate system.
    double fX = 0.0;
    double fY = 0.0;
    double fS = 0.0;
    eraXys00b(fTt1, fTt2, &fX, &fY, &fS);
    double aaC2i[3][3];
    eraC2ixys(fX, fY, fS, aaC2i);
    double aaPolar[3][3];
    eraPom00(0.0, 0.0, eraSp00(fTt1, fTt2), aaPolar);
    double aaC2t[3][3];
    eraC2tcio(aaC2i, eraEra00(fUt11, fUt12), aaPolar, aaC2t);
    Vector aPosition{};
    eraTrxp(aaC2t, aSite.data(), aPosition.data());
    const Vector aAxis{aaC2i[2][0], aaC2i[2][1], aaC2i[2][2]};
    const Vector aRotation{kEarthRotation * (aAxis[1] * aPosition[2] - aAxis[2] * aPosition[1]),
                           kEarthRotation * (aAxis[2] * aPosition[0] - aAxis[0] * aPosition[2]),
                           kEarthRotation * (aAxis[0] * aPosition[1] - aAxis[1] * aPosition[0])};
    double aTarget[3];
    eraS2c(o.fRightAscensionDegrees * ERFA_DD2R, o.fDeclinationDegrees * ERFA_DD2R, aTarget);
    const Vector n{aTarget[0], aTarget[1], aTarget[2]};

    // The observer's barycentric velocity in units of c, and the potential of the Sun, the Moon, Jupiter and
    // the Earth at the Earth's centre (the Earth's at the site), as m/s.
    const Vector aEarthVelocity = Scaled(aaBary[1], kAu / kDay);
    const Vector aBeta{(aEarthVelocity[0] + aRotation[0]) / kC, (aEarthVelocity[1] + aRotation[1]) / kC,
                       (aEarthVelocity[2] + aRotation[2]) / kC};
    const double fGamma = 1.0 / std::sqrt(1.0 - Dot(aBeta, aBeta));
    double aaMoon[2][3];
    eraMoon98(fTdb1, fTdb2, aaMoon);
    double aaJupiter[2][3];
    eraPlan94(fTdb1, fTdb2, 5, aaJupiter);
    const Vector aEarthHelio = Scaled(aaHelio[0], kAu);
    const double fPotential = kGmEarth / Norm({aSite[0], aSite[1], aSite[2]}) + kGmMoon / Norm(Scaled(aaMoon[0], kAu)) +
                              kGmJupiter / Norm(Minus(Scaled(aaJupiter[0], kAu), aEarthHelio)) +
                              kGmSun / Norm(aEarthHelio);
    const double fRedshift = -fPotential / kC;
    const double zb = fGamma * (1.0 + Dot(aBeta, n)) / (1.0 + fRedshift / kC);
    oResult.fCorrectionKms = (zb - 1.0) * kC / 1000.0;

    // The light's arrival at the barycentre and at the Sun's centre.
    const Vector aObserverBary{aaBary[0][0] * kAu + aPosition[0], aaBary[0][1] * kAu + aPosition[1],
                               aaBary[0][2] * kAu + aPosition[2]};
    const Vector aObserverHelio{aEarthHelio[0] + aPosition[0], aEarthHelio[1] + aPosition[1],
                                aEarthHelio[2] + aPosition[2]};
    oResult.fBjdTdb = fTdb1 + (fTdb2 + Dot(n, aObserverBary) / kC / kDay);
    oResult.fHjd = fUtc1 + (fUtc2 + Dot(n, aObserverHelio) / kC / kDay);
    return oResult;
}
