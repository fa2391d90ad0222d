// "Time threshold & Max. width": the time threshold of the result export
// (kept in the settings file) and the maximum of the width slider.
#pragma once

#include "NumberFieldsDialog.h"

// What the dialog edits.
struct SMiscSettings {
    double fTimeThreshold = 0.2; // days
    int lMaxWidth = 20;
};

class TfrmMiscSettings : public CNumberFieldsDialog {
    Q_OBJECT
public:
    explicit TfrmMiscSettings(QWidget* pParent = nullptr);

    // Shows the values; what "&OK" confirmed (a maximum below 1 or no whole number becomes 20), nothing
    // on any other way out.
    std::optional<SMiscSettings> Execute(const SMiscSettings& oValues);
};
