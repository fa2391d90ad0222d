#include "FormMiscSettings.h"

#include "UiUtils.h"

#include "core/IniFileClass.h"
#include "core/UtilsClass.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmMiscSettings::TfrmMiscSettings(QWidget* pParent) : QDialog(pParent)
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

std::optional<SMiscSettings> TfrmMiscSettings::Execute(const SMiscSettings& oValues)
{
    m_pedTimeThreshold->setText(QString::fromStdString(FloatToText(oValues.fTimeThreshold)));
    m_pedMaxWidth->setText(QString::number(oValues.lMaxWidth));
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return m_oResult;
}

void TfrmMiscSettings::btnOKClick()
{
    try {
        m_oResult.fTimeThreshold = TextToFloat(NormalizeDecimalSeparator(m_pedTimeThreshold->text().toStdString()));
    } catch (const EConvertError&) {
        m_pedTimeThreshold->setFocus();
        m_pedTimeThreshold->selectAll();
        return;
    }
    m_oResult.lMaxWidth = TextToInt(m_pedMaxWidth->text().toStdString(), 20);
    if (m_oResult.lMaxWidth < 1) {
        // A slider needs at least two positions.
        m_oResult.lMaxWidth = 20;
    }
    accept();
}
