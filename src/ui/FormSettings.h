// "Observer coordinates": the observer's geographic longitude and latitude
// in degrees and minutes, kept in the settings file.
#pragma once

#include <QDialog>

class CIniFile;
class QLineEdit;

class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    TfrmSettings(CIniFile& oSettings, QWidget* pParent = nullptr);

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void btnOKClick();

    CIniFile& m_oSettings;
    QLineEdit* m_pedLongitudeDegrees;
    QLineEdit* m_pedLongitudeMinutes;
    QLineEdit* m_pedLatitudeDegrees;
    QLineEdit* m_pedLatitudeMinutes;
};
