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
// Earth and Jupiter (below); the Moon's mass times G (CODATA 2018).
constexpr double kGmSun = 1.3271244e20;
constexpr double kGmEarth = 3.986004e14;

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

// What an observation's correction needs beside its site and target changes smoothly with time and is
// costly to evaluate (eraEpv00 alone takes about 30 microseconds), so it is computed on a grid of nodes
// two days apart, kept for the next observations, and taken between them from the four nodes around the
// time: the Earth's positions and velocities by the osculating polynomial of degree 7 (the barycentric
// velocity within 0.06 mm/s, the positions within 3 m), the other quantities by cubic interpolation
// (TDB - TT within 0.002 microseconds, the pole within 1e-9 rad). The site's own term of TDB - TT, under
// 3 microseconds, is left out.
struct EphemerisNode {
    double aaHelio[2][3]; // au, au/day
    double aaBary[2][3];
    // TDB - TT (s), the CIP's X, Y and the CIO locator s (IAU 2000B), and the potential of the Moon and
    // Jupiter at the Earth's centre (m^2/s^2).
    std::array<double, 5> aSmooth;
};

constexpr double kNodeDays = 2.0;
constexpr double kGmMoon = 6.6743e-11 * 7.34767309e22;
constexpr double kGmJupiter = 1.2668653e17;

EphemerisNode ComputeNode(double fDays)
{
    EphemerisNode o{};
    eraEpv00(2451545.0, fDays, o.aaHelio, o.aaBary);
    double fX = 0.0;
    double fY = 0.0;
    double fS = 0.0;
    eraXys00b(2451545.0, fDays, &fX, &fY, &fS);
    double aaMoon[2][3];
    eraMoon98(2451545.0, fDays, aaMoon);
    double aaJupiter[2][3];
    eraPlan94(2451545.0, fDays, 5, aaJupiter);
    const Vector aEarth = Scaled(o.aaHelio[0], kAu);
    const double fPotential = kGmMoon / Norm(Scaled(aaMoon[0], kAu)) +
                              kGmJupiter / Norm(Minus(Scaled(aaJupiter[0], kAu), aEarth));
    o.aSmooth = {eraDtdb(2451545.0, fDays, 0.0, 0.0, 0.0, 0.0), fX, fY, fS, fPotential};
    return o;
}

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
        const EphemerisNode o = ComputeNode(static_cast<double>(lNode) * kNodeDays);
        const std::lock_guard<std::mutex> oLock(m_oMutex);
        if (m_mNodes.size() >= kMaxNodes) {
            m_mNodes.clear();
        }
        m_mNodes.emplace(lNode, o);
        return o;
    }

private:
    static constexpr std::size_t kMaxNodes = 1 << 14; // 90 years of nodes, 3 MB
    std::mutex m_oMutex;
    std::unordered_map<long long, EphemerisNode> m_mNodes;
};

EphemerisNodes& Nodes()
{
    static EphemerisNodes oNodes;
    return oNodes;
}

// The four nodes around a time (days past J2000): the node before it, the one before that and the two
// after it.
struct NodesAround {
    std::array<EphemerisNode, 4> aNode;
    std::array<double, 4> aDays;
};

NodesAround NodesAt(double fDays)
{
    const auto lFirst = static_cast<long long>(std::floor(fDays / kNodeDays)) - 1;
    NodesAround o;
    for (int j = 0; j < 4; ++j) {
        o.aNode[j] = Nodes().At(lFirst + j);
        o.aDays[j] = static_cast<double>(lFirst + j) * kNodeDays;
    }
    return o;
}

// The osculating polynomial through four nodes with their values and derivatives (Newton's divided
// differences on doubled nodes): its value and derivative at fDays.
std::array<double, 2> Osculating(const std::array<double, 4>& aDays, const std::array<double, 4>& aValue,
                                 const std::array<double, 4>& aDerivative, double fDays)
{
    std::array<double, 8> z{};
    std::array<double, 8> q{};
    for (int j = 0; j < 4; ++j) {
        z[2 * j] = z[2 * j + 1] = aDays[j];
        q[2 * j] = q[2 * j + 1] = aValue[j];
    }
    std::array<double, 8> c{};
    c[0] = q[0];
    for (int k = 1; k < 8; ++k) {
        for (int i = 7; i >= k; --i) {
            q[i] = (k == 1 && i % 2 == 1) ? aDerivative[i / 2] : (q[i] - q[i - 1]) / (z[i] - z[i - k]);
        }
        c[k] = q[k];
    }
    double fValue = c[7];
    double fDerivative = 0.0;
    for (int k = 6; k >= 0; --k) {
        fDerivative = fDerivative * (fDays - z[k]) + fValue;
        fValue = fValue * (fDays - z[k]) + c[k];
    }
    return {fValue, fDerivative};
}

// Position and velocity (au, au/day) at fDays from the nodes' (heliocentric or barycentric).
void EarthAt(const NodesAround& o, bool bBarycentric, double fDays, double (&aaOut)[2][3])
{
    for (int i = 0; i < 3; ++i) {
        std::array<double, 4> aValue{};
        std::array<double, 4> aDerivative{};
        for (int j = 0; j < 4; ++j) {
            const auto& aa = bBarycentric ? o.aNode[j].aaBary : o.aNode[j].aaHelio;
            aValue[j] = aa[0][i];
            aDerivative[j] = aa[1][i];
        }
        const auto a = Osculating(o.aDays, aValue, aDerivative, fDays);
        aaOut[0][i] = a[0];
        aaOut[1][i] = a[1];
    }
}

// The nodes' smooth quantities at fDays (cubic Lagrange interpolation).
std::array<double, 5> SmoothAt(const NodesAround& o, double fDays)
{
    std::array<double, 5> aOut{};
    for (int j = 0; j < 4; ++j) {
        double fWeight = 1.0;
        for (int m = 0; m < 4; ++m) {
            if (m != j) {
                fWeight *= (fDays - o.aDays[m]) / (o.aDays[j] - o.aDays[m]);
            }
        }
        for (std::size_t k = 0; k < aOut.size(); ++k) {
            aOut[k] += fWeight * o.aNode[j].aSmooth[k];
        }
    }
    return aOut;
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
    const NodesAround oNodes = NodesAt(fTtDays);
    const auto aSmoothTt = SmoothAt(oNodes, fTtDays);
    const double fDtdb = aSmoothTt[0];
    const double fTdb1 = fTt1;
    const double fTdb2 = fTt2 + fDtdb / kDay;
    oResult.fJulianDateTdb = fTdb1 + fTdb2;
    const double fTdbDays = fTtDays + fDtdb / kDay;
    double aaHelio[2][3];
    double aaBary[2][3];
    EarthAt(oNodes, false, fTdbDays, aaHelio);
    EarthAt(oNodes, true, fTdbDays, aaBary);
    // The site in the GCRS: the celestial-to-terrestrial rotation (the CIP of IAU 2000B, within a
    // milliarcsecond of IAU 2006/2000A, which moves the site's velocity by less than 0.01 mm/s; no polar
    // motion); it turns about the pole of the intermediate system.
    double aaC2i[3][3];
    eraC2ixys(aSmoothTt[1], aSmoothTt[2], aSmoothTt[3], aaC2i);
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
    const Vector aEarthHelio = Scaled(aaHelio[0], kAu);
    const double fPotential = kGmEarth / Norm({aSite[0], aSite[1], aSite[2]}) + SmoothAt(oNodes, fTdbDays)[4] +
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
