#include "ObservationTimeDialog.h"

#include "UiUtils.h"
#include "astro/JulianDate.h"
#include "core/IniFile.h"
#include "core/NumberText.h"
#include "core/Utils.h"

#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

ObservationTimeDialog::ObservationTimeDialog(QWidget* pParent) : QDialog(pParent)
{
    setObjectName("frmTimeStamp");
    setWindowTitle("Observation time");
    auto* pgrbDateAndTime = new QGroupBox("  Date and time  ");
    pgrbDateAndTime->setObjectName("grbDateAndTime");
    m_prabUseCivilDate = new QRadioButton("Civil &date");
    m_prabUseCivilDate->setObjectName("rabUseCivilDate");
    m_prabUseJulianDate = new QRadioButton("&Julian date");
    m_prabUseJulianDate->setObjectName("rabUseJulianDate");
    m_pedCivilDateDays = NamedEdit("edCivilDateDays", "25");
    m_pedCivilDateMonth = NamedEdit("edCivilDateMonth", "0");
    m_pedCivilDateYear = NamedEdit("edCivilDateYear", "2000");
    m_pedCivilDateHours = NamedEdit("edCivilDateHours", "0");
    m_pedCivilDateMinutes = NamedEdit("edCivilDateMinutes", "0");
    m_pedJulianDate = NamedEdit("edJulianDate", "");
    m_pcobTimeZone = new QComboBox;
    m_pcobTimeZone->setObjectName("cobTimeZone");
    m_pedTimeZone = NamedEdit("edTimeZone", "1");

    auto* pGrid = new QGridLayout(pgrbDateAndTime);
    pGrid->addWidget(m_prabUseCivilDate, 0, 0, 1, 5);
    AddCivilDateRows(pGrid, 1,
                     {m_pedCivilDateDays, m_pedCivilDateMonth, m_pedCivilDateYear, m_pedCivilDateHours,
                      m_pedCivilDateMinutes},
                     m_pcobTimeZone, m_pedTimeZone);
    pGrid->addWidget(m_prabUseJulianDate, 4, 0, 1, 5);
    pGrid->addWidget(m_pedJulianDate, 5, 0, 1, 5);

    QPushButton* pbtnOK = nullptr;
    QPushButton* pbtnCancel = nullptr;
    auto* pButtons = OkCancelButtons(pbtnOK, pbtnCancel);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pgrbDateAndTime);
    pLayout->addWidget(pButtons);

    connect(m_prabUseCivilDate, &QRadioButton::clicked, this, &ObservationTimeDialog::onUseCivilDate);
    connect(m_prabUseJulianDate, &QRadioButton::clicked, this, &ObservationTimeDialog::onUseJulianDate);
    connect(pbtnOK, &QPushButton::clicked, this, &ObservationTimeDialog::onOk);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    m_pcobTimeZone->addItems({"UT", "MET", "MEST", "Other"});
    connect(m_pcobTimeZone, &QComboBox::currentIndexChanged, this, &ObservationTimeDialog::onTimeZoneChosen);
}

std::optional<ObservationTimeInput> ObservationTimeDialog::Execute(const TimeZoneSetting& oZone, std::optional<double> oJulianDate)
{
    m_oZone = oZone;
    m_pcobTimeZone->blockSignals(true);
    m_pcobTimeZone->setCurrentIndex(std::clamp(oZone.lZone, 0, kOtherTimeZone));
    m_pcobTimeZone->blockSignals(false);
    if (!m_prabUseCivilDate->isChecked()) {
        m_prabUseCivilDate->setChecked(true);
    }
    onUseCivilDate();
    if (oZone.bUseJulianDate) {
        m_prabUseJulianDate->setChecked(true);
        onUseJulianDate();
    }
    for (QLineEdit* pField : {m_pedCivilDateDays, m_pedCivilDateMonth, m_pedCivilDateYear, m_pedCivilDateHours,
                              m_pedCivilDateMinutes, m_pedJulianDate}) {
        pField->clear();
    }
    if (oJulianDate) {
        // The civil date in the zone shown, to the minute; the Julian date as it is.
        const quandrel::Result<double> oZoneHours = ZoneHours(m_pedTimeZone);
        const double fZoneHours = oZoneHours ? *oZoneHours : 0.0; // in UT otherwise; the zone field says which
        const CalendarDate oDate = JulianDate::CalendarDateToTheMinute(*oJulianDate + fZoneHours / 24.0);
        m_pedCivilDateDays->setText(QString::number(static_cast<int>(oDate.day)));
        m_pedCivilDateMonth->setText(QString::number(oDate.month));
        m_pedCivilDateYear->setText(QString::number(oDate.year));
        m_pedCivilDateHours->setText(QString::number(static_cast<int>(oDate.hours)));
        m_pedCivilDateMinutes->setText(QString::number(static_cast<int>(oDate.minutes)));
        m_pedJulianDate->setText(QString::fromStdString(quandrel::FormatFixedWidth(*oJulianDate, 15, 5)));
    }
    findChild<QPushButton*>("btnOK")->setFocus();
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return m_oResult;
}

void ObservationTimeDialog::onUseCivilDate()
{
    EnableControl(m_pedJulianDate, false);
    for (QWidget* pControl : std::initializer_list<QWidget*>{m_pedCivilDateDays, m_pedCivilDateMonth,
                                                             m_pedCivilDateYear, m_pedCivilDateHours,
                                                             m_pedCivilDateMinutes, m_pedTimeZone, m_pcobTimeZone}) {
        EnableControl(pControl, true);
    }
    onTimeZoneChosen();
}

void ObservationTimeDialog::onUseJulianDate()
{
    EnableControl(m_pedJulianDate, true);
    for (QWidget* pControl : std::initializer_list<QWidget*>{m_pedCivilDateDays, m_pedCivilDateMonth,
                                                             m_pedCivilDateYear, m_pedCivilDateHours,
                                                             m_pedCivilDateMinutes, m_pedTimeZone, m_pcobTimeZone}) {
        EnableControl(pControl, false);
    }
}

void ObservationTimeDialog::onTimeZoneChosen()
{
    ShowTimeZoneHours(m_pcobTimeZone, m_pedTimeZone, m_oZone.fOtherHours);
}

void ObservationTimeDialog::onOk()
{
    // A field that is no number (or no zone offset): the dialog stays open and nothing is stored.
    FormReader oForm;
    const bool bCivil = m_prabUseCivilDate->isChecked();
    const double fJulianDate = bCivil ? oForm.Take(CivilJulianDate({m_pedCivilDateDays, m_pedCivilDateMonth,
                                                                    m_pedCivilDateYear, m_pedCivilDateHours,
                                                                    m_pedCivilDateMinutes},
                                                                   m_pedTimeZone))
                                      : oForm.Real(m_pedJulianDate);
    const double fOtherHours =
        m_pcobTimeZone->currentIndex() == kOtherTimeZone ? oForm.Take(ZoneHours(m_pedTimeZone)) : m_oZone.fOtherHours;
    if (oForm.Failed()) {
        return;
    }
    m_oResult.fJulianDate = fJulianDate;
    if (bCivil) {
        m_pedJulianDate->setText(QString::fromStdString(quandrel::FormatFixedWidth(fJulianDate, 15, 5)));
    }
    m_oResult.oZone.fOtherHours = fOtherHours;
    m_oResult.oZone.lZone = m_pcobTimeZone->currentIndex();
    m_oResult.oZone.bUseJulianDate = m_prabUseJulianDate->isChecked();
    accept();
}
