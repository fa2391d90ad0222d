// Small helpers the windows share.
#pragma once

class QDialogButtonBox;
class QPushButton;
class QWidget;

// Enables or disables a control; an enabled one gets the window colour, a
// disabled one the button-face colour.
void EnableControl(QWidget* pControl, bool bEnabled);

// The "&OK" and "&Cancel" buttons of a dialog, named btnOK (or pcOkName) and btnCancel.
QDialogButtonBox* OkCancelButtons(QPushButton*& pbtnOK, QPushButton*& pbtnCancel, const char* pcOkName = "btnOK");
