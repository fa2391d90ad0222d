// Small helpers the windows share.
#pragma once

class QWidget;

// Enables or disables a control; an enabled one gets the window colour, a
// disabled one the button-face colour.
void EnableControl(QWidget* pControl, bool bEnabled);
