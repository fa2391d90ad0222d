#include "UiUtils.h"

#include "astro/JulianDate.h"
#include "core/IniFile.h"
#include "core/Utils.h"
#include "session/SettingsGateway.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPalette>
#include <QWidget>

#include <cmath>
#include <limits>

void EnableControl(QWidget* pControl, bool bEnabled)
{
    pControl->setEnabled(bEnabled);
    QPalette oPalette = pControl->palette();
    const QPalette oSystem = QApplication::palette();
    oPalette.setColor(QPalette::Base, oSystem.color(bEnabled ? QPalette::Base : QPalette::Button));
    pControl->setPalette(oPalette);
}

QDialogButtonBox* OkCancelButtons(QPushButton*& pbtnOK, QPushButton*& pbtnCancel, const char* pcOkName)
{
    auto* pButtons = new QDialogButtonBox;
    pbtnOK = pButtons->addButton("&OK", QDialogButtonBox::AcceptRole);
    pbtnOK->setObjectName(pcOkName);
    pbtnCancel = pButtons->addButton("&Cancel", QDialogButtonBox::RejectRole);
    pbtnCancel->setObjectName("btnCancel");
    return pButtons;
}

void AddCivilDateRows(QGridLayout* pGrid, int lRow, const std::array<QLineEdit*, 5>& aEdits, QComboBox* pZone,
                      QLineEdit* pZoneHours)
{
    int lColumn = 0;
    for (const char* pcLabel : {"dd", "mm", "yyyy", "hh", "mm"}) {
        pGrid->addWidget(new QLabel(pcLabel), lRow, lColumn++);
    }
    lColumn = 0;
    for (QLineEdit* pEdit : aEdits) {
        pGrid->addWidget(pEdit, lRow + 1, lColumn++);
    }
    auto* pZoneRow = new QHBoxLayout;
    pZoneRow->addWidget(pZone);
    pZoneRow->addWidget(new QLabel("(UT+"));
    pZoneRow->addWidget(pZoneHours);
    pZoneRow->addWidget(new QLabel("h)"));
    pGrid->addLayout(pZoneRow, lRow + 2, 0, 1, 5);
}

QLineEdit* NamedEdit(const char* pcName, const char* pcText)
{
    auto* pEdit = new QLineEdit(pcText);
    pEdit->setObjectName(pcName);
    return pEdit;
}

double FormReader::Take(const quandrel::Result<double>& oValue)
{
    m_bFailed = m_bFailed || !oValue;
    return m_bFailed ? std::numeric_limits<double>::quiet_NaN() : *oValue;
}

quandrel::Result<double> EditReal(const QLineEdit* pEdit)
{
    return TextToFloat(NormalizeDecimalSeparator(pEdit->text().toStdString()));
}

void ShowTimeZoneHours(const QComboBox* pZone, QLineEdit* pZoneHours, double fOtherHours)
{
    const int lIndex = pZone->currentIndex();
    pZoneHours->setText(QString::fromStdString(FloatToText(lIndex == kOtherTimeZone ? fOtherHours : lIndex)));
    EnableControl(pZoneHours, lIndex == kOtherTimeZone && pZone->isEnabled());
}

quandrel::Result<double> CivilJulianDate(const std::array<QLineEdit*, 5>& aEdits, const QLineEdit* pZoneHours)
{
    // Whole numbers in their ranges: "3.5" as the month or "30.5" as the minutes is refused, not
    // rounded or replaced by a default.
    std::string sFailure;
    const auto Whole = [&sFailure](const QLineEdit* pEdit, int lMin, int lMax) {
        const quandrel::Result<double> f = EditReal(pEdit);
        if (!f || *f != std::floor(*f) || *f < lMin || *f > lMax) {
            sFailure = "Not a whole number from " + std::to_string(lMin) + " to " + std::to_string(lMax) + ": " +
                       pEdit->text().toStdString();
            return 0;
        }
        return static_cast<int>(*f);
    };
    const double fDay = Whole(aEdits[0], 1, 31);
    const int lMonth = Whole(aEdits[1], 1, 12);
    const int lYear = Whole(aEdits[2], -4712, 9999);
    const double fHours = Whole(aEdits[3], 0, 23);
    const double fMinutes = Whole(aEdits[4], 0, 59);
    if (!sFailure.empty()) {
        return quandrel::Failure(sFailure);
    }
    const quandrel::Result<double> fZone = ZoneHours(pZoneHours);
    if (!fZone) {
        return fZone;
    }
    return JulianDate::FromCalendar(lYear, lMonth, fDay, fHours, fMinutes) - *fZone * (1.0 / 24.0);
}

quandrel::Result<double> ZoneHours(const QLineEdit* pZoneHours)
{
    const quandrel::Result<double> fHours = EditReal(pZoneHours);
    if (!fHours || !IsZoneOffset(*fHours)) {
        return quandrel::Failure("Not a time zone offset: " + pZoneHours->text().toStdString());
    }
    return fHours;
}
