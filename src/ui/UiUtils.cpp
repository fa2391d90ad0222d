#include "UiUtils.h"

#include <QApplication>
#include <QDialogButtonBox>
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
