#include "HeliocentricCorrection.h"

#include "core/Constants.h"

#include <array>
#include <cmath>

namespace {

using Vector = std::array<long double, 3>;

constexpr long double kPi = quandrel::kPiLong;
constexpr long double kGMSun = 0.000295912L;        // AU^3 / day^2
constexpr long double kEarthRadius = 6371.0L;       // km
constexpr long double kAstronomicalUnit = 149590000.0L; // km
constexpr long double kDay = 86400.0L;              // s
constexpr long double kJ2000 = 2451545.0L;

long double Radians(long double fDegrees)
{
    return fDegrees * (1.0L / 180.0L) * kPi;
}

long double Degrees(long double fRadians)
{
    return fRadians * 180.0L * (1.0L / kPi);
}

// An active rotation about axis 1 (x), 2 (y) or 3 (z) by an angle in degrees.
Vector Rotate(int lAxis, long double fAngle, const Vector& v)
{
    const long double a = Radians(fAngle);
    const long double c = std::cos(a);
    const long double s = std::sin(a);
    switch (lAxis) {
    case 1: return {v[0], v[1] * c - v[2] * s, v[1] * s + v[2] * c};
    case 2: return {v[0] * c + v[2] * s, v[1], -v[0] * s + v[2] * c};
    default: return {v[0] * c - v[1] * s, v[0] * s + v[1] * c, v[2]};
    }
}

// Rz(Omega) Rx(i) Rz(omega) v
Vector OrbitToEcliptic(long double fOmega, long double fInclination, long double fPerihelion, const Vector& v)
{
    return Rotate(3, fOmega, Rotate(1, fInclination, Rotate(3, fPerihelion, v)));
}

} // namespace

void HeliocentricCorrection::SetObjectCoordinates(long double fHours, long double fHourMinutes, long double fDegrees,
                                                  long double fDegreeMinutes)
{
    m_fRightAscension = Radians((fHours + fHourMinutes / 60.0L) * 15.0L);
    m_fDeclination = Radians(fDegrees + fDegreeMinutes / 60.0L);
}

void HeliocentricCorrection::SetObserverCoordinates(long double fLongitude, long double fLatitude)
{
    m_fLongitude = Radians(fLongitude);
    m_fLatitude = Radians(fLatitude);
}

void HeliocentricCorrection::SetJulianDate(double fJulianDate)
{
    m_oDate = JulianDate::ToCalendar(fJulianDate);
    m_fZone = 0.0L;
}

long double HeliocentricCorrection::TrueAnomaly(long double fMeanAnomaly, long double e)
{
    if (fMeanAnomaly == 0.0L || fMeanAnomaly == 180.0L) {
        // At 0 the relative change would be 0/0, at 180 tan(E/2) infinite.
        fMeanAnomaly += 1e-8L;
    }
    const long double M = Radians(fMeanAnomaly);
    long double E = M;
    for (int i = 0; i < 50; ++i) {
        const long double fOld = E;
        E = E - (E - e * std::sin(E) - M) / (1.0L - e * std::cos(E));
        if (std::fabs((fOld - E) / E) <= 1e-8L) {
            break;
        }
    }
    long double nu = Degrees(2.0L * std::atan(std::sqrt((1.0L + e) / (1.0L - e)) * std::tan(E / 2.0L)));
    while (nu < 0.0L) {
        nu += 360.0L;
    }
    while (nu > 360.0L) {
        nu -= 360.0L;
    }
    return nu;
}

long double HeliocentricCorrection::Obliquity(long double T)
{
    return 23.439291L - (46.815L * T + 0.00059L * T * T - 0.001813L * T * T * T) / 3600.0L;
}

long double HeliocentricCorrection::LocalSiderealAngle(const CalendarDate& oDate, long double fLongitude)
{
    const long double T0 = (JulianDate::FromCalendarExtended(oDate.year, oDate.month, oDate.day, 0.0, 0.0) - kJ2000) / 36525.0L;
    const long double s = 24110.54841L + 8640184.812866L * T0 + 0.093104L * T0 * T0 - 6.2e-6L * T0 * T0 * T0;
    const long double x = s / 3600.0L / 24.0L;
    long double g = (x - std::floor(x)) * 24.0L;
    g += (static_cast<long double>(oDate.hours) + static_cast<long double>(oDate.minutes) / 60.0L) * 1.0027379093L;
    if (g > 24.0L) {
        g -= 24.0L;
    }
    long double theta = Radians(g * 15.0L) - fLongitude;
    theta = std::fmod(theta, 2.0L * kPi);
    if (theta < 0.0L) {
        theta += 2.0L * kPi;
    }
    return theta;
}

void HeliocentricCorrection::AddCorrection(long double& fVelocity) const
{
    CalendarDate oDate = m_oDate;
    JulianDate::LocalToUniversal(oDate, static_cast<int32_t>(std::trunc(m_fZone)));
    const long double T = JulianDate::JulianCenturies(oDate.year, oDate.month, oDate.day, oDate.hours, oDate.minutes);

    // Earth-Moon barycentre.
    const long double a = 1.00000261L + 0.00000562L * T;
    const long double e = 0.01671123L - 0.00004392L * T;
    const long double i = -0.00001531L - 0.01294668L * T;
    const long double varpi = 102.93768193L + 0.32327364L * T;
    const long double Omega = 0.0L;
    const long double omega = varpi - Omega;
    const long double L = 100.46457166L + 35999.37244981L * T;
    long double M = L - varpi;
    while (M < 0.0L) {
        M += 360.0L;
    }
    while (M > 360.0L) {
        M -= 360.0L;
    }
    const long double nu = Radians(TrueAnomaly(M, e));

    const long double q = a * (1.0L - e);
    const long double p = q * (1.0L + e);
    const long double h = std::sqrt(kGMSun * p);
    const Vector P = OrbitToEcliptic(Omega, i, omega, {std::cos(nu), std::sin(nu), 0.0L});
    const Vector Q = OrbitToEcliptic(Omega, i, omega, {-std::sin(nu), std::cos(nu), 0.0L});
    Vector velocity{};
    for (std::size_t k = 0; k < 3; ++k) {
        velocity[k] = (h / p) * ((1.0L + e * std::cos(nu)) * Q[k] + e * std::sin(nu) * P[k]);
    }
    velocity = Rotate(1, Obliquity(T), velocity);

    // The observer on the rotating Earth: one turn per day.
    const long double theta = LocalSiderealAngle(oDate, m_fLongitude);
    const long double rho = kEarthRadius / kAstronomicalUnit;
    const long double phi = m_fLatitude;
    velocity[0] += 2.0L * kPi * rho * (-std::sin(theta) * std::cos(phi));
    velocity[1] += 2.0L * kPi * rho * (std::cos(theta) * std::cos(phi));

    const Vector n = {std::cos(m_fDeclination) * std::cos(m_fRightAscension),
                      std::cos(m_fDeclination) * std::sin(m_fRightAscension), std::sin(m_fDeclination)};
    const long double fProjection = velocity[0] * n[0] + velocity[1] * n[1] + velocity[2] * n[2];
    fVelocity += fProjection * (kAstronomicalUnit / kDay);
}
