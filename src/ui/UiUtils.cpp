#include "UiUtils.h"

#include "astro/JulianDateClass.h"
#include "core/IniFileClass.h"
#include "core/UtilsClass.h"
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

double EditReal(const QLineEdit* pEdit)
{
    return TextToFloat(NormalizeDecimalSeparator(pEdit->text().toStdString()));
}

void ShowTimeZoneHours(const QComboBox* pZone, QLineEdit* pZoneHours, double fOtherHours)
{
    const int lIndex = pZone->currentIndex();
    pZoneHours->setText(QString::fromStdString(FloatToText(lIndex == kOtherTimeZone ? fOtherHours : lIndex)));
    EnableControl(pZoneHours, lIndex == kOtherTimeZone && pZone->isEnabled());
}

double CivilJulianDate(const std::array<QLineEdit*, 5>& aEdits, const QLineEdit* pZoneHours)
{
    const double fDay = EditReal(aEdits[0]);
    const double fHours = EditReal(aEdits[3]);
    const double fMinutes = EditReal(aEdits[4]);
    const int lMonth = TextToInt(aEdits[1]->text().toStdString(), 1);
    const int lYear = TextToInt(aEdits[2]->text().toStdString(), 2006);
    const double fZone = ZoneHours(pZoneHours);
    return CJulianDate::JulianDate(lYear, lMonth, fDay, fHours, fMinutes) - fZone * (1.0 / 24.0);
}

double ZoneHours(const QLineEdit* pZoneHours)
{
    const double fHours = EditReal(pZoneHours);
    if (!IsZoneOffset(fHours)) {
        throw EConvertError("Not a time zone offset: " + pZoneHours->text().toStdString());
    }
    return fHours;
}
