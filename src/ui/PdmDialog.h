// The PDM dialog: number of bins and the range of trial periods.
#pragma once

#include "NumberFieldsDialog.h"
#include "session/Session.h"

class PdmDialog : public NumberFieldsDialog {
    Q_OBJECT
public:
    explicit PdmDialog(QWidget* pParent = nullptr);

    // Shows the search; the search confirmed with "&OK", nothing on any other way out. Bins that are no
    // whole number read as 5.
    std::optional<PeriodSearch> Execute(const PeriodSearch& oSearch);
};
