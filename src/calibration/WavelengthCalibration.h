// The wavelength calibration: calibration points (a line's measured
// position in a lamp spectrum and its reference wavelength), merged when
// measured twice, and the mapping of positions to wavelengths by a
// least-squares polynomial of degree 1 to 4 or by straight lines between
// neighbouring points. The base table is the calibration reference lines.
#pragma once

#include "PolynomialRegression.h"
#include "lines/LaboratoryLines.h"

#include <cstdint>
#include <vector>

struct CalibrationPoint {
    double fMeasured = 0.0; // position in the reference spectrum
    double fLambda = 0.0;   // reference wavelength
    int32_t lCount = 1;     // measurements averaged into fMeasured
};

// Why a calibration that IsFinite refuses is not taken.
inline constexpr const char* kCalibrationNotFinite =
    "The calibration gives wavelengths that are not finite numbers: its points lie far beyond any real "
    "wavelength. The spectrum keeps its wavelengths.";

class WavelengthCalibration {
public:
    // The calibration lines: the reference wavelengths of the lamp the points pair lines with.
    const LaboratoryLines& Lines() const { return m_oLines; }
    LaboratoryLines& Lines() { return m_oLines; }

    // Modes 0 .. 3: polynomial of degree mode + 1; 4: sampling points; others: no calibration.
    static constexpr char kSamplingPoints = 4;

    // A point of a reference wavelength that is there already replaces it; the points stay sorted by
    // position.
    void AddCalibrationPoint(double fMeasured, double fLambda);
    void ClearCalibrationPoints() { m_vCalibrationPoint.clear(); }
    void DeleteCalibrationPoint(int32_t lIndex);
    int32_t GetCalibrationPointCount() const { return static_cast<int32_t>(m_vCalibrationPoint.size()); }
    void GetCalibrationPoint(int32_t lIndex, double& fMeasured, double& fLambda) const;
    const std::vector<CalibrationPoint>& Points() const { return m_vCalibrationPoint; }

    void SetCalibrationMode(char cMode) { m_cCalibrationMode = cMode; }
    char GetCalibrationMode() const { return m_cCalibrationMode; }

    // What a fit of the calibration gave.
    enum class FitResult { kFitted, kNoPoints, kSingular };
    // Fits the mode's polynomial (with fewer points the degree drops to points - 1 and bOrderReduced
    // is set). Without points, or with points whose normal equations are singular (their positions do
    // not tell the polynomial apart), the calibration stays as it was.
    FitResult FitCalibration(bool& bOrderReduced);
    double CalibrateValue(double x) const;
    // Maps lCount values in place; false (values untouched) with fewer than 2 points.
    bool Calibrate(int32_t lCount, double* fXValues) const;
    // Mean square and largest absolute residual of the points; false in
    // sampling point mode, without points, or before any polynomial was fitted.
    bool GetResiduals(double& fMeanSquare, double& fMaxAbs) const;
    // Whether the mapped values and the residuals are all finite numbers: points far beyond any real
    // wavelength overflow the fit, and such a calibration is refused rather than shown.
    bool IsFinite(const std::vector<double>& vMapped) const;

private:
    double SamplingPointValue(double x) const;

    LaboratoryLines m_oLines;
    PolynomialRegression m_oPolynomialRegression;
    std::vector<CalibrationPoint> m_vCalibrationPoint;
    char m_cCalibrationMode = 5;
};
