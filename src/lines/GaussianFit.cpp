#include "GaussianFit.h"
#include "core/DataSeries.h"
#include "core/DenseMatrix.h"
#include "core/Utils.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quandrel::gaussfit {

namespace {

// The points of the section with the Gaussian factors of the current parameters.
class Residuals {
public:
    Residuals(const double* x, const double* y, std::size_t n, bool bDouble)
        : m_x(x), m_y(y), m_n(n), m_bDouble(bDouble), m_vG1(n), m_vG2(n, 0.0)
    {
    }

    void SetFactors(const Parameters& p)
    {
        for (std::size_t k = 0; k < m_n; ++k) {
            m_vG1[k] = GaussianFactor(m_x[k], p[kCenter1], p[kSigma1]);
            if (m_bDouble) {
                m_vG2[k] = GaussianFactor(m_x[k], p[kCenter2], p[kSigma2]);
            }
        }
    }

    // The sum of squares with parameter i at fValue. Shape trials leave their
    // factors in the trial buffer, to be kept when the trial is taken.
    double Sum(const Parameters& p, int i, double fValue, std::vector<double>& vTrial)
    {
        Parameters q = p;
        q[static_cast<std::size_t>(i)] = fValue;
        double fSum = 0.0;
        if (i == kSigma1 || i == kCenter1) {
            for (std::size_t k = 0; k < m_n; ++k) {
                vTrial[k] = GaussianFactor(m_x[k], q[kCenter1], q[kSigma1]);
                const double r = ModelValue(q, vTrial[k], m_vG2[k], m_bDouble) - m_y[k];
                fSum += r * r;
            }
        } else if (i == kSigma2 || i == kCenter2) {
            for (std::size_t k = 0; k < m_n; ++k) {
                vTrial[k] = GaussianFactor(m_x[k], q[kCenter2], q[kSigma2]);
                const double r = ModelValue(q, m_vG1[k], vTrial[k], m_bDouble) - m_y[k];
                fSum += r * r;
            }
        } else {
            for (std::size_t k = 0; k < m_n; ++k) {
                const double r = ModelValue(q, m_vG1[k], m_vG2[k], m_bDouble) - m_y[k];
                fSum += r * r;
            }
        }
        return fSum;
    }

    // Parameter i moved to a trial: its factors become the current ones.
    void Take(int i, std::vector<double>& vTrial)
    {
        if (i == kSigma1 || i == kCenter1) {
            m_vG1.swap(vTrial);
        } else if (i == kSigma2 || i == kCenter2) {
            m_vG2.swap(vTrial);
        }
    }

private:
    const double* m_x;
    const double* m_y;
    std::size_t m_n;
    bool m_bDouble;
    std::vector<double> m_vG1;
    std::vector<double> m_vG2;
};

} // namespace

void Search(const double* x, const double* y, std::size_t n, int P, const Parameters& afLow, const Parameters& afHigh,
            Parameters& p)
{
    const bool bDouble = P > 4;
    Residuals oResiduals(x, y, n, bDouble);
    oResiduals.SetFactors(p);
    std::vector<double> vMinus(n);
    std::vector<double> vPlus(n);
    // The sum at the current parameters; every move replaces it by the sum of the move.
    double S0 = oResiduals.Sum(p, kOffset, p[kOffset], vMinus);
    bool bChanged = true;
    for (int lPass = 0; bChanged && lPass < kMaxPasses; ++lPass) {
        bChanged = false;
        for (int i = 0; i < P; ++i) {
            const auto u = static_cast<std::size_t>(i);
            // Halved before the difference, so that bounds at the ends of the double range give a
            // finite step; a step that is no number (a bound that is none) is no search.
            double fStep = afHigh[u] * 0.5 - afLow[u] * 0.5;
            if (!std::isfinite(fStep)) {
                continue;
            }
            double fCur = p[u];
            do {
                const double fMinus = std::max(fCur - fStep, afLow[u]);
                const double fPlus = std::min(fCur + fStep, afHigh[u]);
                const double Sm = oResiduals.Sum(p, i, fMinus, vMinus);
                const double Sp = oResiduals.Sum(p, i, fPlus, vPlus);
                if (Sp < S0 || Sm < S0) {
                    if (Sp < Sm) {
                        fCur = fPlus;
                        S0 = Sp;
                        oResiduals.Take(i, vPlus);
                    } else {
                        fCur = fMinus;
                        S0 = Sm;
                        oResiduals.Take(i, vMinus);
                    }
                    p[u] = fCur;
                    bChanged = true;
                }
                fStep *= 0.5;
            } while (fStep > kTolerance);
        }
    }
}

std::optional<Parameters> StandardErrors(const double* x, const double* y, std::size_t n, int P,
                                         const Parameters& afLow, const Parameters& afHigh, const Parameters& p)
{
    if (n <= static_cast<std::size_t>(P)) {
        return std::nullopt;
    }
    const bool bDouble = P > 4;
    // The free parameters: those the search did not leave at a bound.
    std::vector<int> vFree;
    for (int i = 0; i < P; ++i) {
        const auto u = static_cast<std::size_t>(i);
        if (p[u] != afLow[u] && p[u] != afHigh[u]) {
            vFree.push_back(i);
        }
    }
    Parameters afErrors{};
    if (vFree.empty()) {
        return afErrors;
    }
    const auto lFree = static_cast<uint32_t>(vFree.size());
    math::DenseMatrix<double> oNormal(lFree, lFree);
    std::vector<double> vNormal(static_cast<std::size_t>(lFree) * lFree, 0.0);
    double fSquares = 0.0;
    Parameters afDerivative{};
    for (std::size_t k = 0; k < n; ++k) {
        const double g1 = GaussianFactor(x[k], p[kCenter1], p[kSigma1]);
        const double g2 = bDouble ? GaussianFactor(x[k], p[kCenter2], p[kSigma2]) : 0.0;
        const double r = ModelValue(p, g1, g2, bDouble) - y[k];
        fSquares += r * r;
        const double d1 = x[k] - p[kCenter1];
        const double s1 = p[kSigma1];
        afDerivative[kSigma1] = p[kAmplitude1] * g1 * d1 * d1 / (s1 * s1 * s1);
        afDerivative[kCenter1] = p[kAmplitude1] * g1 * d1 / (s1 * s1);
        afDerivative[kOffset] = 1.0;
        afDerivative[kAmplitude1] = g1;
        if (bDouble) {
            const double d2 = x[k] - p[kCenter2];
            const double s2 = p[kSigma2];
            afDerivative[kSigma2] = p[kAmplitude2] * g2 * d2 * d2 / (s2 * s2 * s2);
            afDerivative[kCenter2] = p[kAmplitude2] * g2 * d2 / (s2 * s2);
            afDerivative[kAmplitude2] = g2;
        }
        for (uint32_t i = 0; i < lFree; ++i) {
            for (uint32_t j = 0; j <= i; ++j) {
                vNormal[i * lFree + j] += afDerivative[static_cast<std::size_t>(vFree[i])] *
                                          afDerivative[static_cast<std::size_t>(vFree[j])];
            }
        }
    }
    for (uint32_t i = 0; i < lFree; ++i) {
        for (uint32_t j = 0; j <= i; ++j) {
            oNormal(i, j) = oNormal(j, i) = vNormal[i * lFree + j];
        }
    }
    const auto oCovariance = oNormal.Inverse();
    if (!oCovariance) {
        return std::nullopt;
    }
    const double fVariance = fSquares / static_cast<double>(n - static_cast<std::size_t>(P));
    for (uint32_t i = 0; i < lFree; ++i) {
        const double f = (*oCovariance)(i, i) * fVariance;
        if (!(f >= 0.0) || !std::isfinite(f)) {
            return std::nullopt; // numerically singular
        }
        afErrors[static_cast<std::size_t>(vFree[i])] = std::sqrt(f);
    }
    return afErrors;
}

void SearchBounds(const DataSeries& oSection, bool bEmission, Parameters& lo, Parameters& hi)
{
    const std::vector<double>& x = oSection.GetXValues();
    const auto n = static_cast<double>(x.size());
    lo = Parameters{};
    hi = Parameters{};
    lo[kSigma1] = 0.0003;
    hi[kSigma1] = 10.0;
    lo[kCenter1] = x.front();
    hi[kCenter1] = x.back();
    lo[kOffset] = 0.0;
    hi[kOffset] = 1.0;
    lo[kAmplitude1] = -1.0;
    hi[kAmplitude1] = 1.0;
    if (bEmission) {
        hi[kSigma1] = (x[1] - x[0]) * n;
        double fMin = 0.0;
        double fMax = 0.0;
        GetMinMaxY(oSection, fMin, fMax);
        lo[kOffset] = fMin;
        hi[kOffset] = fMax;
        lo[kAmplitude1] = 0.0;
        hi[kAmplitude1] = fMax;
    }
    lo[kSigma2] = lo[kSigma1];
    hi[kSigma2] = hi[kSigma1];
    lo[kCenter2] = lo[kCenter1];
    hi[kCenter2] = hi[kCenter1];
    lo[kAmplitude2] = lo[kAmplitude1];
    hi[kAmplitude2] = hi[kAmplitude1];
}

} // namespace quandrel::gaussfit
