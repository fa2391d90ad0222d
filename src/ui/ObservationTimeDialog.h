// "Observation time": the time of a spectrum as civil date and time in a
// time zone, or directly as a Julian date.
#pragma once

#include "session/SettingsGateway.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;
class QRadioButton;

// What "&OK" confirmed: the Julian date (UT) and the time zone to start with next time.
struct ObservationTimeInput {
    double fJulianDate = 0.0;
    TimeZoneSetting oZone;
};

class ObservationTimeDialog : public QDialog {
    Q_OBJECT
public:
    explicit ObservationTimeDialog(QWidget* pParent = nullptr);

    // Shows the spectrum's own time (oJulianDate) in the time zone given, or empty fields when it has
    // none: a time typed for another spectrum is never offered again. The time confirmed with "&OK",
    // nothing on any other way out. A field that is no number (or empty) keeps the dialog open.
    std::optional<ObservationTimeInput> Execute(const TimeZoneSetting& oZone, std::optional<double> oJulianDate);

private:
    void onUseCivilDate();
    void onUseJulianDate();
    void onTimeZoneChosen();
    void onOk();

    TimeZoneSetting m_oZone;
    ObservationTimeInput m_oResult;
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
