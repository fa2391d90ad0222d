#include "FormObjectCoordinates.h"

#include "UiUtils.h"

#include "core/Assert.h"
#include "core/IniFileClass.h"
#include "core/UtilsClass.h"
#include "rvtable/MatrixClass.h"

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

void TfrmObjectCoordinates::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    QASSERT(m_pMatrix != NULL);
    double a = 0, b = 0, c = 0, d = 0;
    if (m_pMatrix->GetObjectCoordinates(a, b, c, d)) {
        m_pedRightAscensionHours->setText(QString::fromStdString(FloatToText(a)));
        m_pedRightAscensionMinutes->setText(QString::fromStdString(FloatToText(b)));
        m_pedDeclinationDegrees->setText(QString::fromStdString(FloatToText(c)));
        m_pedDeclinationMinutes->setText(QString::fromStdString(FloatToText(d)));
    }
}

void TfrmObjectCoordinates::btnOKClick()
{
    double af[4] = {};
    int i = 0;
    try {
        for (const QLineEdit* pEdit : {m_pedRightAscensionHours, m_pedRightAscensionMinutes, m_pedDeclinationDegrees,
                                       m_pedDeclinationMinutes}) {
            af[i++] = EditReal(pEdit);
        }
    } catch (const EConvertError&) {
        // A field that is no number: the dialog stays open and nothing changes.
        return;
    }
    m_pMatrix->SetObjectCoordinates(af[0], af[1], af[2], af[3]);
    accept();
}
