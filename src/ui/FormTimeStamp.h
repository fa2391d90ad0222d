// "Observation time": the time of a spectrum as civil date and time in a
// time zone, or directly as a Julian date.
#pragma once

#include <QDialog>

class CIniFile;
class QComboBox;
class QLineEdit;
class QRadioButton;

class TfrmTimeStamp : public QDialog {
    Q_OBJECT
public:
    TfrmTimeStamp(const CIniFile& oSettings, QWidget* pParent = nullptr);

    // The Julian date of the last "&OK"; false when the dialog was last closed otherwise.
    bool GetJulianDate(double& fJulianDate) const;

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void rabUseCivilDateClick();
    void rabUseJulianDateClick();
    void cobTimeZoneChange();
    void btnOKClick();

    const CIniFile& m_oSettings;
    bool m_bAccepted = false;
    double m_fJulianDate = 0.0;
    QRadioButton* m_prabUseCivilDate;
    QRadioButton* m_prabUseJulianDate;
    QLineEdit* m_pedCivilDateDays;
    QLineEdit* m_pedCivilDateMonth;
    QLineEdit* m_pedCivilDateYear;
    QLineEdit* m_pedCivilDateHours;
    QLineEdit* m_pedCivilDateMinutes;
    QLineEdit* m_pedJulianDate;
    QComboBox* m_pcobTimeZone;
    QLineEdit* m_pedTimeZone;
};
