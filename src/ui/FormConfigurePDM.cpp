#include "FormConfigurePDM.h"

#include "UiUtils.h"

#include "core/IniFileClass.h"
#include "core/UtilsClass.h"

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
    connect(pbtnOK, &QPushButton::clicked, this, &TfrmConfigurePDM::btnOKClick);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<SPeriodSearch> TfrmConfigurePDM::Execute(const SPeriodSearch& oSearch)
{
    m_oResult = oSearch;
    m_pedNumberDataPoints->setText(QString::number(oSearch.lNumberDataPoints));
    m_pedNumberBins->setText(QString::number(oSearch.lBins));
    m_pedPeriodFrom->setText(QString::fromStdString(FloatToText(oSearch.fFrom)));
    m_pedPeriodTo->setText(QString::fromStdString(FloatToText(oSearch.fTo)));
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return m_oResult;
}

void TfrmConfigurePDM::btnOKClick()
{
    m_oResult.lBins = TextToInt(m_pedNumberBins->text().toStdString(), 5);
    for (const auto& [pEdit, pfValue] : {std::pair{m_pedPeriodFrom, &m_oResult.fFrom},
                                         std::pair{m_pedPeriodTo, &m_oResult.fTo}}) {
        try {
            *pfValue = TextToFloat(pEdit->text().toStdString());
        } catch (const EConvertError&) {
            pEdit->setFocus();
            pEdit->selectAll();
            return;
        }
    }
    accept();
}
