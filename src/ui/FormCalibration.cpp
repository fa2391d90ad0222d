#include "FormCalibration.h"

#include "Prompts.h"
#include "UiUtils.h"
#include "calibration/CalibrationClass.h"
#include "core/IniFileClass.h"
#include "core/NumberText.h"
#include "spectrum/SpectrumClass.h"
#include "core/UtilsClass.h"

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

namespace {
const char* const kSection = "Calibration";
}

TfrmCalibration::TfrmCalibration(const CIniFile& oSettings, IPrompts& oPrompts, QWidget* pParent)
    : QDialog(pParent), m_oSettings(oSettings), m_oPrompts(oPrompts)
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

    connect(m_prabSamplingPointCalibration, &QRadioButton::clicked, this, &TfrmCalibration::UpdateOrderEnabled);
    connect(m_prabPolynomialRegression, &QRadioButton::clicked, this, &TfrmCalibration::UpdateOrderEnabled);
    connect(pbtnCalibrate, &QPushButton::clicked, this, &TfrmCalibration::btnCalibrateClick);
    connect(pbtnDelete, &QPushButton::clicked, this, [this] {
        if (m_pCalibration != nullptr && m_pCalibration->GetCalibrationPointCount() > 0) {
            m_pCalibration->DeleteCalibrationPoint(m_pstgSamplingPoints->currentRow() - 1);
            FillGrid();
        }
    });
    connect(pbtnOK, &QPushButton::clicked, this, [this] {
        m_oSettings.WriteInteger(kSection, "PolynomialRegressionOrder", m_pedOrder->value());
        m_oSettings.WriteBool(kSection, "UsePolynomialRegression", m_prabPolynomialRegression->isChecked());
        m_bAccepted = true;
        accept();
    });
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmCalibration::SetData(CCalibration* pCalibration, CSpectrum* pSpectrum)
{
    m_pCalibration = pCalibration;
    m_pSpectrum = pSpectrum;
    m_vSavedWavelength = pSpectrum->GetWavelengths();
    m_vSavedIntensity = pSpectrum->GetIntensities();
}

void TfrmCalibration::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    m_pedOrder->setValue(std::clamp(m_oSettings.ReadInteger(kSection, "PolynomialRegressionOrder", 2), 1, 4));
    m_prabSamplingPointCalibration->setChecked(true);
    if (m_oSettings.ReadBool(kSection, "UsePolynomialRegression", true)) {
        m_prabPolynomialRegression->setChecked(true);
    }
    UpdateOrderEnabled();
    m_pedStandardDeviation->clear();
    m_pedMaxSingleDeviation->clear();
    FillGrid();
}

void TfrmCalibration::UpdateOrderEnabled()
{
    EnableControl(m_pedOrder, m_prabPolynomialRegression->isChecked());
}

void TfrmCalibration::FillGrid()
{
    const int32_t lPoints = m_pCalibration ? m_pCalibration->GetCalibrationPointCount() : 0;
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
        double fMeasured = 0.0;
        double fLambda = 0.0;
        m_pCalibration->GetCalibrationPoint(i, fMeasured, fLambda);
        Set(i + 1, 0, QString::fromStdString(quandrel::FormatFixedWidth(fMeasured, 8, 3)));
        Set(i + 1, 1, QString::fromStdString(FloatToText(fLambda)));
    }
}

void TfrmCalibration::RestoreSavedValues()
{
    if (m_pSpectrum == nullptr) {
        return;
    }
    if (m_vSavedWavelength.empty()) {
        m_pSpectrum->ClearValues();
    } else {
        m_pSpectrum->SetValues(static_cast<int32_t>(m_vSavedWavelength.size()), m_vSavedWavelength.data(),
                               m_vSavedIntensity.data());
    }
}

void TfrmCalibration::btnCalibrateClick()
{
    if (m_pCalibration == nullptr || m_pSpectrum == nullptr) {
        return;
    }
    RestoreSavedValues();
    std::vector<double> vWavelength = m_vSavedWavelength;
    char cMode = CCalibration::kSamplingPoints;
    if (!m_prabSamplingPointCalibration->isChecked()) {
        const QString sOrder = m_pedOrder->text();
        cMode = sOrder == "1" ? 0 : sOrder == "3" ? 2 : sOrder == "4" ? 3 : 1;
    }
    m_pCalibration->SetCalibrationMode(cMode);
    bool bReduced = false;
    try {
        m_pCalibration->FitCalibration(bReduced);
    } catch (const math::matrix_error&) {
        m_oPrompts.Message("Error!",
                           "The calibration points cannot be fitted by this polynomial\n\r"
                           "(their positions do not tell it apart). The spectrum keeps its wavelengths.",
                           EIcon::Warning, EButtons::Ok);
        m_pedStandardDeviation->clear();
        m_pedMaxSingleDeviation->clear();
        return;
    }
    if (bReduced) {
        m_oPrompts.Message("Warning!",
                           "Too less sampling points for fitting in this mode!\n\rPolynomial fit order has been reduced!",
                           EIcon::Warning, EButtons::Ok);
    }
    m_pCalibration->Calibrate(static_cast<int32_t>(vWavelength.size()), vWavelength.data());
    if (!vWavelength.empty()) {
        m_pSpectrum->SetValues(static_cast<int32_t>(vWavelength.size()), vWavelength.data(), m_vSavedIntensity.data());
    }
    double fMeanSquare = 0.0;
    double fMaxAbs = 0.0;
    if (m_pCalibration->GetResiduals(fMeanSquare, fMaxAbs)) {
        m_pedStandardDeviation->setText(QString::fromStdString(quandrel::FormatFixedWidth(fMeanSquare, 10, 5)));
        m_pedMaxSingleDeviation->setText(QString::fromStdString(quandrel::FormatFixedWidth(fMaxAbs, 10, 5)));
    } else {
        m_pedStandardDeviation->clear();
        m_pedMaxSingleDeviation->clear();
    }
    if (m_fnSpectrumChanged) {
        m_fnSpectrumChanged();
    }
}

void TfrmCalibration::done(int lResult)
{
    if (!m_bAccepted) {
        RestoreSavedValues();
    }
    m_bAccepted = false;
    if (m_fnSpectrumChanged) {
        m_fnSpectrumChanged();
    }
    QDialog::done(lResult);
}
