#include "CalibrationDialog.h"

#include "Prompts.h"
#include "UiUtils.h"
#include "core/IniFile.h"
#include "core/NumberText.h"
#include "core/Utils.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

CalibrationDialog::CalibrationDialog(Prompts& oPrompts, QWidget* pParent) : QDialog(pParent), m_oPrompts(oPrompts)
{
    setObjectName("frmCalibration");
    setWindowTitle("Calibration");
    m_prabSamplingPointCalibration = new QRadioButton("&Sampling point calibration");
    m_prabSamplingPointCalibration->setObjectName("rabSamplingPointCalibration");
    m_prabPolynomialRegression = new QRadioButton("&Polynomial regression");
    m_prabPolynomialRegression->setObjectName("rabPolynomialRegression");
    m_pedOrder = new QSpinBox;
    m_pedOrder->setObjectName("edOrder");
    m_pedOrder->setRange(1, 4);
    m_pedOrder->setValue(1);
    m_pedStandardDeviation = new QLineEdit;
    m_pedStandardDeviation->setObjectName("edStandardDeviation");
    m_pedStandardDeviation->setReadOnly(true);
    m_pedMaxSingleDeviation = new QLineEdit;
    m_pedMaxSingleDeviation->setObjectName("edMaxSingleDeviation");
    m_pedMaxSingleDeviation->setReadOnly(true);
    auto* pgrbPoints = new QGroupBox(" Sampling points ");
    m_pstgSamplingPoints = new QTableWidget(2, 2);
    m_pstgSamplingPoints->setObjectName("stgSamplingPoints");
    m_pstgSamplingPoints->horizontalHeader()->hide();
    m_pstgSamplingPoints->verticalHeader()->hide();
    m_pstgSamplingPoints->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pstgSamplingPoints->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pstgSamplingPoints->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* pPointsLayout = new QVBoxLayout(pgrbPoints);
    pPointsLayout->addWidget(m_pstgSamplingPoints);

    auto* pForm = new QFormLayout;
    pForm->addRow(m_prabSamplingPointCalibration);
    pForm->addRow(m_prabPolynomialRegression);
    pForm->addRow("Order", m_pedOrder);
    pForm->addRow("Standard Deviation", m_pedStandardDeviation);
    pForm->addRow("Max. single deviation", m_pedMaxSingleDeviation);
    auto* pButtons = new QDialogButtonBox;
    const auto Button = [pButtons](const char* pcCaption, const char* pcName, QDialogButtonBox::ButtonRole eRole) {
        auto* pButton = pButtons->addButton(pcCaption, eRole);
        pButton->setObjectName(pcName);
        return pButton;
    };
    auto* pbtnCalibrate = Button("C&alibrate", "btnCalibrate", QDialogButtonBox::ActionRole);
    auto* pbtnDelete = Button("&Delete", "btnDelete", QDialogButtonBox::ActionRole);
    auto* pbtnOK = Button("&OK", "btnOK", QDialogButtonBox::AcceptRole);
    auto* pbtnCancel = Button("&Cancel", "btnCancel", QDialogButtonBox::RejectRole);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pgrbPoints);
    pLayout->addWidget(pButtons);

    connect(m_prabSamplingPointCalibration, &QRadioButton::clicked, this, &CalibrationDialog::UpdateOrderEnabled);
    connect(m_prabPolynomialRegression, &QRadioButton::clicked, this, &CalibrationDialog::UpdateOrderEnabled);
    connect(pbtnCalibrate, &QPushButton::clicked, this, &CalibrationDialog::onCalibrate);
    connect(pbtnDelete, &QPushButton::clicked, this, [this] {
        if (!m_oInput.vPoints.empty() && m_oInput.fnDelete) {
            m_oInput.vPoints = m_oInput.fnDelete(m_pstgSamplingPoints->currentRow() - 1);
            FillGrid();
        }
    });
    connect(pbtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<CalibrationMode> CalibrationDialog::Execute(const CalibrationInput& oInput)
{
    m_oInput = oInput;
    m_pedOrder->setValue(std::clamp(oInput.oMode.lOrder, 1, 4));
    m_prabSamplingPointCalibration->setChecked(true);
    if (oInput.oMode.bPolynomial) {
        m_prabPolynomialRegression->setChecked(true);
    }
    UpdateOrderEnabled();
    m_pedStandardDeviation->clear();
    m_pedMaxSingleDeviation->clear();
    FillGrid();
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return ShownMode();
}

CalibrationMode CalibrationDialog::ShownMode() const
{
    return {m_prabPolynomialRegression->isChecked(), m_pedOrder->value()};
}

void CalibrationDialog::UpdateOrderEnabled()
{
    EnableControl(m_pedOrder, m_prabPolynomialRegression->isChecked());
}

void CalibrationDialog::FillGrid()
{
    const auto lPoints = static_cast<int32_t>(m_oInput.vPoints.size());
    m_pstgSamplingPoints->clearContents();
    m_pstgSamplingPoints->setRowCount(std::max(2, 1 + lPoints));
    const auto Set = [this](int lRow, int lColumn, const QString& sText) {
        auto* pItem = new QTableWidgetItem(sText);
        pItem->setTextAlignment(Qt::AlignCenter);
        m_pstgSamplingPoints->setItem(lRow, lColumn, pItem);
    };
    Set(0, 0, "Line");
    Set(0, 1, "Lambda");
    for (int32_t i = 0; i < lPoints; ++i) {
        const CalibrationPoint& o = m_oInput.vPoints[static_cast<std::size_t>(i)];
        Set(i + 1, 0, QString::fromStdString(quandrel::FormatFixedWidth(o.fMeasured, 8, 3)));
        Set(i + 1, 1, QString::fromStdString(FloatToText(o.fLambda)));
    }
}

void CalibrationDialog::onCalibrate()
{
    if (!m_oInput.fnTry) {
        return;
    }
    const SessionResult<CalibrationFit> oTried = m_oInput.fnTry(ShownMode());
    const CalibrationFit oFit = oTried ? *oTried : CalibrationFit();
    if (!oTried) {
        m_oPrompts.Message(oTried.Error().sTitle, oTried.Error().sText, Icon::Warning, Buttons::Ok);
    } else if (oFit.bOrderReduced) {
        m_oPrompts.Message("Warning!",
                           "Too less sampling points for fitting in this mode!\n\rPolynomial fit order has been reduced!",
                           Icon::Warning, Buttons::Ok);
    }
    if (oFit.bHaveResiduals) {
        m_pedStandardDeviation->setText(QString::fromStdString(quandrel::FormatFixedWidth(oFit.fRms, 10, 5)));
        m_pedMaxSingleDeviation->setText(QString::fromStdString(quandrel::FormatFixedWidth(oFit.fMaxAbs, 10, 5)));
    } else {
        m_pedStandardDeviation->clear();
        m_pedMaxSingleDeviation->clear();
    }
}
