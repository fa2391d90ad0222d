#include "Precession.h"

#include <erfa.h>
#include <erfam.h>

double JulianDateOfEquinox(double fYears, bool bBesselian)
{
    double fDate1 = 0.0;
    double fDate2 = 0.0;
    if (bBesselian) {
        eraEpb2jd(fYears, &fDate1, &fDate2);
    } else {
        eraEpj2jd(fYears, &fDate1, &fDate2);
    }
    return fDate1 + fDate2;
}

EquatorialJ2000 PrecessToJ2000(double fRightAscensionHours, double fDeclinationDegrees, double fEquinox)
{
    // The precession from J2000 to the equinox, P = R3(-z) R2(theta) R3(-zeta) with the angles of
    // the IAU 2006 precession, applied backwards.
    double afAngles[16] = {};
    double& fZeta = afAngles[10];
    double& fZ = afAngles[9];
    double& fTheta = afAngles[11];
    eraP06e(ERFA_DJ00, fEquinox - ERFA_DJ00, &afAngles[0], &afAngles[1], &afAngles[2], &afAngles[3], &afAngles[4],
            &afAngles[5], &afAngles[6], &afAngles[7], &afAngles[8], &afAngles[9], &afAngles[10], &afAngles[11],
            &afAngles[12], &afAngles[13], &afAngles[14], &afAngles[15]);
    double afPrecession[3][3];
    eraIr(afPrecession);
    eraRz(-fZeta, afPrecession);
    eraRy(fTheta, afPrecession);
    eraRz(-fZ, afPrecession);
    double afOfDate[3];
    eraS2c(fRightAscensionHours * ERFA_D2PI / 24.0, fDeclinationDegrees * ERFA_DD2R, afOfDate);
    double afJ2000[3];
    eraTrxp(afPrecession, afOfDate, afJ2000);
    double fRightAscension = 0.0;
    double fDeclination = 0.0;
    eraC2s(afJ2000, &fRightAscension, &fDeclination);
    return {eraAnp(fRightAscension) * 24.0 / ERFA_D2PI, fDeclination * ERFA_DR2D};
}
