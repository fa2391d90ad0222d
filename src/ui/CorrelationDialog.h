// "Cross correlation parameters": the template's velocity correction (from
// its observation time and the object, or typed directly) and the
// correlation window, oversampling, span and accuracy.
#pragma once

#include "session/Session.h"

#include <QDialog>

#include <functional>
#include <optional>

class FormReader;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// What the dialog shows and what "&OK" confirms.
struct CorrelationSetup {
    std::optional<CorrelationOptions> oParameters; // none: the fields keep what they held
    TimeZoneSetting oZone;
    TemplateCorrection oCorrection; // only on the way out
    double fTemplateVelocity = 0.0;  // km/s
    // The velocity the parameters search on either side of 0 km/s (0: unknown), shown as they are typed.
    std::function<double(const CorrelationOptions&)> fnReach;
};

class CorrelationDialog : public QDialog {
    Q_OBJECT
public:
    explicit CorrelationDialog(QWidget* pParent = nullptr);

    // Shows the parameters; those confirmed with "&OK", with the template's correction, nothing on any
    // other way out. A field that is no number keeps the dialog open.
    std::optional<CorrelationSetup> Execute(const CorrelationSetup& oSetup);

private:
    void ApplyDateMode();
    void ApplyCorrectionMode();
    void onTimeZoneChosen();
    void onOk();
    // The parameters of the correlation fields; oForm fails when one holds no number.
    CorrelationOptions TypedParameters(FormReader& oForm) const;
    void ShowReach();

    CorrelationSetup m_oSetup;
    QRadioButton* m_prabUseObservationParameters;
    QRadioButton* m_prabUseCivilDate;
    QRadioButton* m_prabUseJulianDate;
    QRadioButton* m_prabInputHeliocentricCorrection;
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
    QLineEdit* m_pedHeliocentricCorrection;
    QLineEdit* m_pedWavelengthFrom;
    QLineEdit* m_pedWavelengthTo;
    QLineEdit* m_pedSupportingPoints;
    QLineEdit* m_pedCorrelationSpan;
    QLineEdit* m_pedResolution;
    QLineEdit* m_pedTemplateVelocity;
    QLabel* m_plblVelocityReach;
};
