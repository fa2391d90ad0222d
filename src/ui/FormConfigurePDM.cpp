#include "FormConfigurePDM.h"

#include "UiUtils.h"

#include "core/IniFileClass.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmConfigurePDM::TfrmConfigurePDM(QWidget* pParent) : QDialog(pParent)
{
    setObjectName("frmConfigurePDM");
    setWindowTitle("frmConfigurePDM");
    const auto Edit = [](const char* pcName) {
        auto* pEdit = new QLineEdit;
        pEdit->setObjectName(pcName);
        return pEdit;
    };
    m_pedNumberDataPoints = Edit("edNumberDataPoints");
    m_pedNumberDataPoints->setEnabled(false);
    m_pedNumberBins = Edit("edNumberBins");
    m_pedPeriodFrom = Edit("edPeriodFrom");
    m_pedPeriodTo = Edit("edPeriodTo");
    auto* pForm = new QFormLayout;
    pForm->addRow("Number data points", m_pedNumberDataPoints);
    pForm->addRow("Number bins", m_pedNumberBins);
    pForm->addRow("Period: from", m_pedPeriodFrom);
    pForm->addRow("Period: to", m_pedPeriodTo);
    QPushButton* pbtnOK = nullptr;
    QPushButton* pbtnCancel = nullptr;
    auto* pButtons = OkCancelButtons(pbtnOK, pbtnCancel);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);
    connect(pbtnOK, &QPushButton::clicked, this, [this] {
        m_bCancelled = false;
        accept();
    });
    connect(pbtnCancel, &QPushButton::clicked, this, [this] {
        m_bCancelled = true;
        reject();
    });
}

void TfrmConfigurePDM::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    m_bCancelled = true;
}

void TfrmConfigurePDM::SetValues(int lNumberDataPoints, int lNumberBins, double fPeriodFrom, double fPeriodTo)
{
    m_pedNumberDataPoints->setText(QString::number(lNumberDataPoints));
    m_pedNumberBins->setText(QString::number(lNumberBins));
    m_pedPeriodFrom->setText(QString::fromStdString(FloatToText(fPeriodFrom)));
    m_pedPeriodTo->setText(QString::fromStdString(FloatToText(fPeriodTo)));
}

QString TfrmConfigurePDM::NumberBinsText() const
{
    return m_pedNumberBins->text();
}

QString TfrmConfigurePDM::PeriodFromText() const
{
    return m_pedPeriodFrom->text();
}

QString TfrmConfigurePDM::PeriodToText() const
{
    return m_pedPeriodTo->text();
}
