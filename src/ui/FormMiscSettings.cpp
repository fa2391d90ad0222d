#include "FormMiscSettings.h"

#include "UiUtils.h"

#include "core/IniFileClass.h"
#include "core/UtilsClass.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmMiscSettings::TfrmMiscSettings(CIniFile& oSettings, QWidget* pParent) : QDialog(pParent), m_oSettings(oSettings)
{
    setObjectName("frmMiscSettings");
    setWindowTitle("Time threshold & Max. width");
    resize(308, 199);
    m_pedTimeThreshold = new QLineEdit;
    m_pedTimeThreshold->setObjectName("edTimeThreshold");
    m_pedMaxWidth = new QLineEdit;
    m_pedMaxWidth->setObjectName("edMaxWidth");
    auto* pForm = new QFormLayout;
    pForm->addRow("Time threshold", m_pedTimeThreshold);
    pForm->addRow("Max width", m_pedMaxWidth);
    QPushButton* pbtnOK = nullptr;
    QPushButton* pbtnCancel = nullptr;
    auto* pButtons = OkCancelButtons(pbtnOK, pbtnCancel);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addStretch();
    pLayout->addWidget(pButtons);

    connect(pbtnOK, &QPushButton::clicked, this, &TfrmMiscSettings::btnOKClick);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmMiscSettings::SetMaxWidth(int lMaxWidth)
{
    m_lMaxWidth = lMaxWidth;
    m_pedMaxWidth->setText(QString::number(lMaxWidth));
}

void TfrmMiscSettings::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    const double fThreshold = m_oSettings.ReadFloat("Settings", "TimeThreshold", 0.2);
    m_pedTimeThreshold->setText(QString::fromStdString(FloatToText(fThreshold)));
}

void TfrmMiscSettings::btnOKClick()
{
    double fThreshold = 0.0;
    try {
        fThreshold = TextToFloat(NormalizeDecimalSeparator(m_pedTimeThreshold->text().toStdString()));
    } catch (const EConvertError&) {
        m_pedTimeThreshold->setFocus();
        m_pedTimeThreshold->selectAll();
        return;
    }
    m_oSettings.WriteFloat("Settings", "TimeThreshold", fThreshold);
    m_lMaxWidth = TextToInt(m_pedMaxWidth->text().toStdString(), 20);
    if (m_lMaxWidth < 1) {
        // A slider needs at least two positions.
        m_lMaxWidth = 20;
    }
    accept();
}
