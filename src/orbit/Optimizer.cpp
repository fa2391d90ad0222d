#include "Optimizer.h"

#include <cmath>

#include "core/Assert.h"
#include "core/Utils.h"

Optimizer::Optimizer(int32_t lCapacity) : m_parameters(static_cast<std::size_t>(lCapacity)) {}

void Optimizer::SetDataArray(const DataSeries& oData)
{
    m_oDataArray = oData;
    m_bIsOptimizationConfigured = true;
}

const OptimizerParameter& Optimizer::GetParameter(int32_t lIndex) const
{
    QASSERT(lIndex>=0 && lIndex<static_cast<int32_t>(m_parameters.size()));
    return m_parameters[static_cast<std::size_t>(lIndex)];
}

double Optimizer::GridValue(const OptimizerParameter& oParameter, int32_t i)
{
    return LinearStep(oParameter.fLower, oParameter.fUpper, i, oParameter.lSteps);
}

void Optimizer::TakeBest()
{
    for (int32_t k = 0; k < m_lNumberParameters; ++k) {
        m_parameters[static_cast<std::size_t>(k)].fBest = m_parameters[static_cast<std::size_t>(k)].fValue;
    }
    m_fBestValue = m_fCurrentValue;
}

void Optimizer::GridLevel(int32_t lParameter)
{
    OptimizerParameter& oParameter = m_parameters[static_cast<std::size_t>(lParameter)];
    for (int32_t i = 0; i <= oParameter.lSteps; ++i) {
        oParameter.fValue = GridValue(oParameter, i);
        if (lParameter + 1 < m_lNumberParameters) {
            GridLevel(lParameter + 1);
        } else {
            m_fCurrentValue = ObjectiveFunction();
            if (m_fCurrentValue < m_fBestValue) {
                TakeBest();
            }
        }
    }
}

void Optimizer::Optimize()
{
    QASSERT(m_bIsOptimizationConfigured);
    m_fBestValue = ObjectiveFunction();
    if (m_lNumberParameters > 0) {
        GridLevel(0);
    }
    m_bIsOptimized = true;
}

void Optimizer::RefineOptimum()
{
    QASSERT(m_bIsOptimizationConfigured);
    constexpr double kEpsilon = 0.001;
    for (int32_t k = 0; k < m_lNumberParameters; ++k) {
        m_parameters[static_cast<std::size_t>(k)].fValue = m_parameters[static_cast<std::size_t>(k)].fBest;
    }
    double f0 = m_fBestValue;
    bool bImproved = true;
    // Every improvement lowers the cost strictly, but on data no orbit fits (times millions of days
    // apart) the improvements can shrink without end: a pass that lowers the cost by less than a
    // part in 10^12 ends the refinement, and the number of passes is bounded besides.
    constexpr int kMaxPasses = 1000;
    constexpr double kLeastGain = 1e-12;
    for (int lPass = 0; bImproved && lPass < kMaxPasses; ++lPass) {
        bImproved = false;
        const double fPassStart = ObjectiveFunction();
        for (int32_t k = 0; k < m_lNumberParameters; ++k) {
            OptimizerParameter& o = m_parameters[static_cast<std::size_t>(k)];
            if (o.lSteps == 0) {
                continue;
            }
            double fDelta = (o.fUpper - o.fLower) / o.lSteps * 0.5;
            const bool bFullTurn = o.fTurn > 0 && o.fUpper - o.fLower >= o.fTurn * (1 - 1e-12);
            // Within the limits, or for a whole turn of an angle the same angle within the turn.
            const auto Candidate = [&](double fValue, bool& bInside) {
                bInside = bFullTurn || (fValue >= o.fLower && fValue <= o.fUpper);
                if (bFullTurn && (fValue < o.fLower || fValue >= o.fLower + o.fTurn)) {
                    fValue = o.fLower + std::fmod(std::fmod(fValue - o.fLower, o.fTurn) + o.fTurn, o.fTurn);
                }
                return fValue;
            };
            f0 = ObjectiveFunction();
            do {
                const double s = o.fValue;
                bool bInside = false;
                const double fMinusValue = Candidate(s - fDelta, bInside);
                o.fValue = fMinusValue;
                const double fMinus = bInside ? ObjectiveFunction() : 2 * f0;
                const double fPlusValue = Candidate(s + fDelta, bInside);
                o.fValue = fPlusValue;
                const double fPlus = bInside ? ObjectiveFunction() : 2 * f0;
                o.fValue = s;
                if (fMinus < f0) {
                    f0 = fMinus;
                    o.fValue = fMinusValue;
                    bImproved = true;
                }
                if (fPlus < f0) {
                    f0 = fPlus;
                    o.fValue = fPlusValue;
                    bImproved = true;
                }
                fDelta *= 0.5;
            } while (fDelta > kEpsilon);
        }
        if (bImproved && !(f0 < fPassStart * (1.0 - kLeastGain))) {
            break;
        }
    }
    for (int32_t k = 0; k < m_lNumberParameters; ++k) {
        m_parameters[static_cast<std::size_t>(k)].fBest = m_parameters[static_cast<std::size_t>(k)].fValue;
    }
    m_fBestValue = f0;
}
