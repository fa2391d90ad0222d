// "Observer coordinates": the observer's geographic longitude and latitude
// in degrees and minutes, kept in the settings file.
#pragma once

#include "session/SettingsGateway.h"

#include <QDialog>

#include <optional>

class QLineEdit;

class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSettings(QWidget* pParent = nullptr);

    // Shows the site; the site confirmed with "&OK", nothing on any other way out. A field that is no
    // number keeps the dialog open at that field.
    std::optional<SObserverSite> Execute(const SObserverSite& oSite);

private:
    void btnOKClick();

    QLineEdit* m_pedLongitudeDegrees;
    QLineEdit* m_pedLongitudeMinutes;
    QLineEdit* m_pedLatitudeDegrees;
    QLineEdit* m_pedLatitudeMinutes;
    SObserverSite m_oResult;
};
