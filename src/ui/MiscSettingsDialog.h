// "Time threshold & Max. width": the time threshold of the result export
// (kept in the settings file), the maximum of the width slider, and how near
// a line must lie to the line it is identified with by "Identify all" and
// "Identify remaining lamp lines".
#pragma once

#include "NumberFieldsDialog.h"

// What the dialog edits.
struct MiscSettings {
    double fTimeThreshold = 0.2; // days
    int lMaxWidth = 20;
    double fIdentifyVelocity = 50.0; // km/s either side of a laboratory line
    double fLampTolerance = 3.0;     // samples of the lamp spectrum
};

class MiscSettingsDialog : public NumberFieldsDialog {
    Q_OBJECT
public:
    explicit MiscSettingsDialog(QWidget* pParent = nullptr);

    // Shows the values; what "&OK" confirmed (a maximum below 1 or no whole number becomes 20, a window
    // or tolerance of 0 or less its default), nothing on any other way out.
    std::optional<MiscSettings> Execute(const MiscSettings& oValues);
};
