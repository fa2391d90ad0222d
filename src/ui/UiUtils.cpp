#include "UiUtils.h"

#include <QApplication>
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
