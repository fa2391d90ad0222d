// "Observer coordinates": the observer's geographic longitude and latitude
// in degrees and minutes, kept in the settings file.
#pragma once

#include "NumberFieldsDialog.h"
#include "session/SettingsGateway.h"

class ObserverSiteDialog : public NumberFieldsDialog {
    Q_OBJECT
public:
    explicit ObserverSiteDialog(QWidget* pParent = nullptr);

    // Shows the site; the site confirmed with "&OK", nothing on any other way out.
    std::optional<GeographicSite> Execute(const GeographicSite& oSite);
};
