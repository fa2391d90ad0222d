// "Periodogram": the range of trial periods and the number of frequencies of the Lomb-Scargle
// periodogram.
#pragma once

#include "NumberFieldsDialog.h"

#include <cstdint>

struct SPeriodogramSetup {
    double fShortest = 0.5; // days
    double fLongest = 100.0;
    std::int64_t lSamples = 10000;
};

class TfrmPeriodogram : public CNumberFieldsDialog {
    Q_OBJECT
public:
    explicit TfrmPeriodogram(QWidget* pParent = nullptr);

    // The setup confirmed with "&OK"; nothing on any other way out.
    std::optional<SPeriodogramSetup> Execute(const SPeriodogramSetup& oSetup);
};
