// "PeriodogramResult": the range of trial periods and the number of frequencies of the Lomb-Scargle
// periodogram.
#pragma once

#include "NumberFieldsDialog.h"

#include <cstdint>

struct PeriodogramSetup {
    double fShortest = 0.5; // days
    double fLongest = 100.0;
    std::int64_t lSamples = 10000;
};

class PeriodogramDialog : public NumberFieldsDialog {
    Q_OBJECT
public:
    explicit PeriodogramDialog(QWidget* pParent = nullptr);

    // The setup confirmed with "&OK"; nothing on any other way out.
    std::optional<PeriodogramSetup> Execute(const PeriodogramSetup& oSetup);
};
