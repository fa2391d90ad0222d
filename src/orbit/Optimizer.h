// The base of the program's model fits: a data series (Julian date,
// velocity), a table of bounded parameters and two minimisers of a cost the
// derived class computes: an exhaustive grid search and a coordinate-wise
// refinement with step halving.
#pragma once

#include "core/DataSeries.h"

#include <cstdint>
#include <vector>

// One bounded parameter.
struct OptimizerParameter {
    double fValue = 0.0;  // current value, read by the cost
    double fBest = 0.0;   // value of the best cost so far
    double fLower = 0.0;
    double fUpper = 0.0;
    int32_t lSteps = 0;   // grid intervals between the limits
    bool bFixed = false;
    // An angle: when the limits span this whole turn (> 0), the refinement moves the value across the
    // limits and brings it back into [fLower, fLower + fTurn).
    double fTurn = 0.0;
};

class Optimizer {
public:
    explicit Optimizer(int32_t lCapacity);
    virtual ~Optimizer() = default;

    // The cost of the current parameter values on the data; lower is better.
    virtual double ObjectiveFunction() = 0;

    void SetDataArray(const DataSeries& oData);
    void GetDataArray(DataSeries& oData) const { oData = m_oDataArray; }
    const DataSeries& GetData() const { return m_oDataArray; }
    void SetNumberParameters(int32_t lNumber) { m_lNumberParameters = lNumber; }
    int32_t GetNumberParameters() const { return m_lNumberParameters; }
    void ResetOptimized() { m_bIsOptimized = false; }
    bool IsOptimized() const { return m_bIsOptimized; }
    bool IsConfigured() const { return m_bIsOptimizationConfigured; }
    double GetBestValue() const { return m_fBestValue; }
    const OptimizerParameter& GetParameter(int32_t lIndex) const;

    // Exhaustive grid search: every parameter at lSteps + 1 even points
    // between its limits, the first parameter outermost; ties keep the
    // earlier grid point. Starts from the cost of the current values.
    void Optimize();

    // From the best values: each parameter in turn tries half a grid
    // interval down and up, halving the step down to 0.001, passes repeated
    // until nothing improves; trials outside the limits are not evaluated.
    void RefineOptimum();

protected:
    // Value i of lSteps even intervals between the limits of a parameter.
    static double GridValue(const OptimizerParameter& oParameter, int32_t i);
    void GridLevel(int32_t lParameter);
    void TakeBest();

    int32_t m_lNumberParameters = 0;
    bool m_bIsOptimizationConfigured = false;
    bool m_bIsOptimized = false;
    double m_fBestValue = 0.0;
    double m_fCurrentValue = 0.0;
    DataSeries m_oDataArray;
    std::vector<OptimizerParameter> m_parameters;
};
