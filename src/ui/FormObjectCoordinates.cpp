#include "FormObjectCoordinates.h"

#include "UiUtils.h"

#include "core/UtilsClass.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmObjectCoordinates::TfrmObjectCoordinates(QWidget* pParent) : QDialog(pParent)
{
    setObjectName("frmObjectCoordinates");
    setWindowTitle("Object coordinates");
    auto* pGroup = new QGroupBox(" Coordinates of target object ");
    pGroup->setObjectName("grbCoordinatesOfTargetObject");
    const auto Edit = [](const char* pcName) {
        auto* pEdit = new QLineEdit("0");
        pEdit->setObjectName(pcName);
        return pEdit;
    };
    m_pedRightAscensionHours = Edit("edRightAscensionHours");
    m_pedRightAscensionMinutes = Edit("edRightAscensionMinutes");
    m_pedDeclinationDegrees = Edit("edDeclinationDegrees");
    m_pedDeclinationMinutes = Edit("edDeclinationMinutes");
    auto* pGrid = new QGridLayout(pGroup);
    pGrid->addWidget(new QLabel("hh/deg"), 0, 1);
    pGrid->addWidget(new QLabel("min"), 0, 2);
    pGrid->addWidget(new QLabel("Right ascension"), 1, 0);
    pGrid->addWidget(m_pedRightAscensionHours, 1, 1);
    pGrid->addWidget(m_pedRightAscensionMinutes, 1, 2);
    pGrid->addWidget(new QLabel("Declination"), 2, 0);
    pGrid->addWidget(m_pedDeclinationDegrees, 2, 1);
    pGrid->addWidget(m_pedDeclinationMinutes, 2, 2);
    QPushButton* pbtkOK = nullptr;
    QPushButton* pbtnCancel = nullptr;
    auto* pButtons = OkCancelButtons(pbtkOK, pbtnCancel, "btkOK");
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pGroup);
    pLayout->addWidget(pButtons);
    connect(pbtkOK, &QPushButton::clicked, this, &TfrmObjectCoordinates::btnOKClick);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<SObjectCoordinates> TfrmObjectCoordinates::Execute(const std::optional<SObjectCoordinates>& oNow)
{
    if (oNow) {
        m_pedRightAscensionHours->setText(QString::fromStdString(FloatToText(oNow->fRightAscensionHours)));
        m_pedRightAscensionMinutes->setText(QString::fromStdString(FloatToText(oNow->fRightAscensionMinutes)));
        m_pedDeclinationDegrees->setText(QString::fromStdString(FloatToText(oNow->fDeclinationDegrees)));
        m_pedDeclinationMinutes->setText(QString::fromStdString(FloatToText(oNow->fDeclinationMinutes)));
    }
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return m_oResult;
}

void TfrmObjectCoordinates::btnOKClick()
{
    try {
        m_oResult.fRightAscensionHours = EditReal(m_pedRightAscensionHours);
        m_oResult.fRightAscensionMinutes = EditReal(m_pedRightAscensionMinutes);
        m_oResult.fDeclinationDegrees = EditReal(m_pedDeclinationDegrees);
        m_oResult.fDeclinationMinutes = EditReal(m_pedDeclinationMinutes);
    } catch (const EConvertError&) {
        // A field that is no number: the dialog stays open and nothing changes.
        return;
    }
    accept();
}
