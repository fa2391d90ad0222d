#include "WavelengthCalibration.h"

#include "core/Assert.h"
#include "core/Utils.h"

#include <algorithm>
#include <cmath>

void WavelengthCalibration::AddCalibrationPoint(double fMeasured, double fLambda)
{
    // The same reference line identified again: the newer position replaces the older. Lines close
    // together are distinct points (a lamp has pairs a few tenths of an angstrom apart).
    std::erase_if(m_vCalibrationPoint, [fLambda](const CalibrationPoint& o) { return o.fLambda == fLambda; });
    CalibrationPoint oPoint{fMeasured, fLambda, 1};
    for (auto it = m_vCalibrationPoint.begin(); it != m_vCalibrationPoint.end(); ++it) {
        if (it->fMeasured > fMeasured) {
            m_vCalibrationPoint.insert(it, oPoint);
            return;
        }
    }
    m_vCalibrationPoint.push_back(oPoint);
}

void WavelengthCalibration::DeleteCalibrationPoint(int32_t lIndex)
{
    if (lIndex >= 0 && lIndex < GetCalibrationPointCount()) {
        m_vCalibrationPoint.erase(m_vCalibrationPoint.begin() + lIndex);
    }
}

void WavelengthCalibration::GetCalibrationPoint(int32_t lIndex, double& fMeasured, double& fLambda) const
{
    QASSERT(lIndex>=0 && static_cast<std::size_t>(lIndex)<m_vCalibrationPoint.size());
    fMeasured = m_vCalibrationPoint[static_cast<std::size_t>(lIndex)].fMeasured;
    fLambda = m_vCalibrationPoint[static_cast<std::size_t>(lIndex)].fLambda;
}

WavelengthCalibration::FitResult WavelengthCalibration::FitCalibration(bool& bOrderReduced)
{
    if (m_vCalibrationPoint.empty()) {
        return FitResult::kNoPoints;
    }
    bOrderReduced = false;
    if (m_cCalibrationMode < 0 || m_cCalibrationMode >= kSamplingPoints) {
        return FitResult::kFitted;
    }
    int32_t d = m_cCalibrationMode + 1;
    const auto lPoints = static_cast<int32_t>(m_vCalibrationPoint.size());
    if (d >= lPoints) {
        bOrderReduced = true;
        d = lPoints - 1;
    }
    if (d >= 1) {
        std::vector<double> vX;
        std::vector<double> vY;
        for (const auto& o : m_vCalibrationPoint) {
            vX.push_back(o.fMeasured);
            vY.push_back(o.fLambda);
        }
        if (!m_oPolynomialRegression.FitPolynomial(d, vX.data(), vY.data(), lPoints)) {
            return FitResult::kSingular;
        }
    }
    return FitResult::kFitted;
}

double WavelengthCalibration::SamplingPointValue(double x) const
{
    const auto n = m_vCalibrationPoint.size();
    if (n < 2) {
        return x;
    }
    std::size_t k = n - 1;
    for (std::size_t i = 1; i < n; ++i) {
        if (m_vCalibrationPoint[i].fMeasured >= x) {
            k = i;
            break;
        }
    }
    const auto& a = m_vCalibrationPoint[k - 1];
    const auto& b = m_vCalibrationPoint[k];
    return LinearInterpolate(a.fMeasured, a.fLambda, b.fMeasured, b.fLambda, x);
}

double WavelengthCalibration::CalibrateValue(double x) const
{
    if (m_cCalibrationMode >= 0 && m_cCalibrationMode < kSamplingPoints) {
        return m_oPolynomialRegression.EvaluatePolynomial(x);
    }
    if (m_cCalibrationMode == kSamplingPoints) {
        return SamplingPointValue(x);
    }
    return x;
}

bool WavelengthCalibration::Calibrate(int32_t lCount, double* fXValues) const
{
    QASSERT(fXValues != NULL || lCount == 0);
    if (m_vCalibrationPoint.size() < 2) {
        return false;
    }
    for (int32_t i = 0; i < lCount; ++i) {
        fXValues[i] = CalibrateValue(fXValues[i]);
    }
    return true;
}

bool WavelengthCalibration::GetResiduals(double& fMeanSquare, double& fMaxAbs) const
{
    fMeanSquare = 0.0;
    fMaxAbs = 0.0;
    if (m_cCalibrationMode == kSamplingPoints || m_vCalibrationPoint.empty() ||
        !m_oPolynomialRegression.IsFitted()) {
        return false;
    }
    double fSum = 0.0;
    for (const auto& o : m_vCalibrationPoint) {
        const double r = m_oPolynomialRegression.EvaluatePolynomial(o.fMeasured) - o.fLambda;
        fMaxAbs = std::max(fMaxAbs, std::fabs(r));
        fSum += r * r;
    }
    fMeanSquare = fSum / static_cast<double>(m_vCalibrationPoint.size());
    return true;
}

bool WavelengthCalibration::IsFinite(const std::vector<double>& vMapped) const
{
    double fMeanSquare = 0.0;
    double fMaxAbs = 0.0;
    GetResiduals(fMeanSquare, fMaxAbs);
    return std::isfinite(fMeanSquare) && std::isfinite(fMaxAbs) &&
           std::all_of(vMapped.begin(), vMapped.end(), [](double f) { return std::isfinite(f); });
}
