// "Cross correlation parameters": the template's velocity correction (from
// its observation time and the object, or typed directly) and the
// correlation window, oversampling, span and accuracy.
#pragma once

#include <QDialog>

class CCrossCorrelation;
class CIniFile;
class QComboBox;
class QLineEdit;
class QRadioButton;

class TfrmCC : public QDialog {
    Q_OBJECT
public:
    TfrmCC(const CIniFile& oSettings, CCrossCorrelation& oCrossCorrelation, QWidget* pParent = nullptr);

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void ApplyDateMode();
    void ApplyCorrectionMode();
    void cobTimeZoneChange();
    void btnOKClick();

    const CIniFile& m_oSettings;
    CCrossCorrelation& m_oCrossCorrelation;
    QRadioButton* m_prabUseObservationParameters;
    QRadioButton* m_prabUseCivilDate;
    QRadioButton* m_prabUseJulianDate;
    QRadioButton* m_prabInputTopocentricCorrection;
    QLineEdit* m_pedCivilDateDays;
    QLineEdit* m_pedCivilDateMonth;
    QLineEdit* m_pedCivilDateYear;
    QLineEdit* m_pedCivilDateHours;
    QLineEdit* m_pedCivilDateMinutes;
    QComboBox* m_pcobTimeZone;
    QLineEdit* m_pedTimeZone;
    QLineEdit* m_pedJulianDate;
    QLineEdit* m_pedRightAscensionHours;
    QLineEdit* m_pedRightAscensionMinutes;
    QLineEdit* m_pedDeclinationDegrees;
    QLineEdit* m_pedDeclinationMinutes;
    QLineEdit* m_pedTopocentricCorrection;
    QLineEdit* m_pedWavelengthFrom;
    QLineEdit* m_pedWavelengthTo;
    QLineEdit* m_pedSupportingPoints;
    QLineEdit* m_pedCorrelationSpan;
    QLineEdit* m_pedResolution;
};
