// Small helpers the windows share.
#pragma once

#include "core/Result.h"

#include <array>

class QComboBox;
class QDialogButtonBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// Enables or disables a control; an enabled one gets the window colour, a
// disabled one the button-face colour.
void EnableControl(QWidget* pControl, bool bEnabled);

// The "&OK" and "&Cancel" buttons of a dialog, named btnOK (or pcOkName) and btnCancel.
QDialogButtonBox* OkCancelButtons(QPushButton*& pbtnOK, QPushButton*& pbtnCancel, const char* pcOkName = "btnOK");

// The civil date fields of the time dialogs in three grid rows from lRow: the captions
// "dd mm yyyy hh mm", the five edits (day, month, year, hours, minutes), and the time zone box
// with its hour offset.
void AddCivilDateRows(QGridLayout* pGrid, int lRow, const std::array<QLineEdit*, 5>& aEdits, QComboBox* pZone,
                      QLineEdit* pZoneHours);

// A line edit with its object name and first text.
QLineEdit* NamedEdit(const char* pcName, const char* pcText);

// The number in an edit field, with either decimal separator; the reason when it is none.
quandrel::Result<double> EditReal(const QLineEdit* pEdit);

// Reads the fields of a form one after another: each field's number, or NaN from the first field that
// holds none on; then Failed says whether one did.
class FormReader {
public:
    double Take(const quandrel::Result<double>& oValue);
    double Real(const QLineEdit* pEdit) { return Take(EditReal(pEdit)); }
    bool Failed() const { return m_bFailed; }

private:
    bool m_bFailed = false;
};

// The index of "Other" in the time zone boxes ("UT", "MET", "MEST", "Other").
constexpr int kOtherTimeZone = 3;

// Shows the hour offset of the chosen time zone: the index itself, or for "Other" the offset last
// confirmed ("Settings"/"OtherTimeZone"), which only then can be typed over.
void ShowTimeZoneHours(const QComboBox* pZone, QLineEdit* pZoneHours, double fOtherHours);

// The hour offset of a time zone field (whole, half or quarter hours from -12 to +14); the reason
// when it is none.
quandrel::Result<double> ZoneHours(const QLineEdit* pZoneHours);

// The Julian date of the civil date fields (day, month, year, hours, minutes) in the zone of the
// hour offset; the reason when a field holds no number or the offset is none.
quandrel::Result<double> CivilJulianDate(const std::array<QLineEdit*, 5>& aEdits, const QLineEdit* pZoneHours);
