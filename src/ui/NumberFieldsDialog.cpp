#include "NumberFieldsDialog.h"

#include "UiUtils.h"
#include "core/Utils.h"

#include <QLineEdit>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

NumberFieldsDialog::NumberFieldsDialog(const char* pcObjectName, const QString& sTitle, QWidget* pParent)
    : QDialog(pParent)
{
    setObjectName(pcObjectName);
    setWindowTitle(sTitle);
}

QLineEdit* NumberFieldsDialog::AddField(const char* pcName, const char* pcText, Reader fnRead)
{
    QLineEdit* pEdit = NamedEdit(pcName, pcText);
    m_vFields.emplace_back(pEdit, fnRead ? std::move(fnRead) : Reader(EditReal));
    return pEdit;
}

void NumberFieldsDialog::Finish(QLayout* pFields, const char* pcOkName)
{
    QPushButton* pbtnOK = nullptr;
    QPushButton* pbtnCancel = nullptr;
    auto* pButtons = OkCancelButtons(pbtnOK, pbtnCancel, pcOkName);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pFields);
    pLayout->addStretch();
    pLayout->addWidget(pButtons);
    connect(pbtnOK, &QPushButton::clicked, this, &NumberFieldsDialog::onOk);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<std::vector<double>> NumberFieldsDialog::Run(const std::vector<QString>& vTexts)
{
    for (std::size_t i = 0; i < vTexts.size() && i < m_vFields.size(); ++i) {
        if (!vTexts[i].isNull()) {
            m_vFields[i].first->setText(vTexts[i]);
        }
    }
    // Typing starts in the first field that takes input, its text selected, however the dialog was
    // left before.
    for (const auto& oField : m_vFields) {
        if (oField.first->isEnabled()) {
            oField.first->setFocus();
            oField.first->selectAll();
            break;
        }
    }
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return m_vValues;
}

void NumberFieldsDialog::onOk()
{
    std::vector<double> vValues;
    for (const auto& [pEdit, fnRead] : m_vFields) {
        const quandrel::Result<double> oValue = fnRead(pEdit);
        if (!oValue) {
            pEdit->setFocus();
            pEdit->selectAll();
            return;
        }
        vValues.push_back(*oValue);
    }
    m_vValues = std::move(vValues);
    accept();
}
