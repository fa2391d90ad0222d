// "Observer coordinates": the observer's geographic longitude and latitude
// in degrees and minutes, kept in the settings file.
#pragma once

#include "NumberFieldsDialog.h"
#include "session/SettingsGateway.h"

class TfrmSettings : public CNumberFieldsDialog {
    Q_OBJECT
public:
    explicit TfrmSettings(QWidget* pParent = nullptr);

    // Shows the site; the site confirmed with "&OK", nothing on any other way out.
    std::optional<SObserverSite> Execute(const SObserverSite& oSite);
};
