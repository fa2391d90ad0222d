#include "NormalizeDialog.h"

#include "UiUtils.h"
#include "core/NumberText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPreviewWidth = 640;
constexpr int kPreviewHeight = 260;

// The samples as one vertical stroke (minimum to maximum) per pixel column, and the continuum as a
// line over them.
QImage Preview(const std::vector<double>& vW, const std::vector<double>& vI, const std::vector<double>& vContinuum)
{
    QImage oImage(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
    oImage.fill(Qt::white);
    if (vW.size() < 2) {
        return oImage;
    }
    double fLow = *std::min_element(vI.begin(), vI.end());
    double fHigh = *std::max_element(vI.begin(), vI.end());
    for (const double c : vContinuum) {
        fLow = std::min(fLow, c);
        fHigh = std::max(fHigh, c);
    }
    if (!(fHigh > fLow)) {
        fHigh = fLow + 1.0;
    }
    const double fX0 = vW.front();
    const double fXSpan = vW.back() - vW.front();
    const auto Column = [&](double x) { return static_cast<int>((x - fX0) / fXSpan * (kPreviewWidth - 1)); };
    const auto Row = [&](double y) {
        return static_cast<int>((fHigh - y) / (fHigh - fLow) * (kPreviewHeight - 11)) + 5;
    };
    QPainter oPainter(&oImage);
    oPainter.setPen(Qt::black);
    std::size_t i = 0;
    while (i < vW.size()) {
        const int x = Column(vW[i]);
        double fMin = vI[i];
        double fMax = vI[i];
        for (++i; i < vW.size() && Column(vW[i]) == x; ++i) {
            fMin = std::min(fMin, vI[i]);
            fMax = std::max(fMax, vI[i]);
        }
        oPainter.drawLine(x, Row(fMin), x, Row(fMax));
    }
    if (vContinuum.size() == vW.size()) {
        oPainter.setPen(QPen(Qt::red, 2));
        QPolygon oLine;
        int lLast = -1;
        for (std::size_t k = 0; k < vW.size(); ++k) {
            const int x = Column(vW[k]);
            if (x != lLast) {
                oLine << QPoint(x, Row(vContinuum[k]));
                lLast = x;
            }
        }
        oPainter.drawPolyline(oLine);
    }
    return oImage;
}

} // namespace

NormalizeDialog::NormalizeDialog(QWidget* pParent) : QDialog(pParent)
{
    setObjectName("frmNormalize");
    setWindowTitle("Normalise continuum");
    m_pedOrder = new QSpinBox;
    m_pedOrder->setObjectName("edOrder");
    m_pedOrder->setRange(0, ContinuumOptions::kMaxOrder);
    m_pedSigma = new QDoubleSpinBox;
    m_pedSigma->setObjectName("edSigma");
    m_pedSigma->setRange(0.5, 10.0);
    m_pedSigma->setSingleStep(0.5);
    m_pedSigma->setDecimals(1);
    m_pchbEmission = new QCheckBox("Lines in &emission (set aside the samples above the continuum)");
    m_pchbEmission->setObjectName("chbEmission");
    m_pimgPreview = new QLabel;
    m_pimgPreview->setObjectName("imgPreview");
    m_pimgPreview->setFixedSize(kPreviewWidth, kPreviewHeight);
    m_plblFit = new QLabel;
    m_plblFit->setObjectName("lblFit");
    m_plblFit->setWordWrap(true);
    QPushButton* pbtnCancel = nullptr;
    auto* pButtons = OkCancelButtons(m_pbtnOK, pbtnCancel);

    auto* pForm = new QFormLayout;
    pForm->addRow("Order of the continuum polynomial", m_pedOrder);
    pForm->addRow("Set aside samples beyond (standard deviations)", m_pedSigma);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(m_pchbEmission);
    pLayout->addWidget(m_pimgPreview);
    pLayout->addWidget(m_plblFit);
    pLayout->addWidget(pButtons);

    connect(m_pedOrder, &QSpinBox::valueChanged, this, &NormalizeDialog::UpdatePreview);
    connect(m_pedSigma, &QDoubleSpinBox::valueChanged, this, &NormalizeDialog::UpdatePreview);
    connect(m_pchbEmission, &QCheckBox::toggled, this, &NormalizeDialog::UpdatePreview);
    connect(m_pbtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<ContinuumOptions> NormalizeDialog::Execute(const NormalizeInput& oInput)
{
    m_oInput = NormalizeInput{};
    for (QWidget* pControl : std::initializer_list<QWidget*>{m_pedOrder, m_pedSigma, m_pchbEmission}) {
        pControl->blockSignals(true);
    }
    m_pedOrder->setValue(oInput.oOptions.lOrder);
    m_pedSigma->setValue(oInput.oOptions.fSigma);
    m_pchbEmission->setChecked(oInput.oOptions.bEmission);
    for (QWidget* pControl : std::initializer_list<QWidget*>{m_pedOrder, m_pedSigma, m_pchbEmission}) {
        pControl->blockSignals(false);
    }
    m_oInput = oInput;
    UpdatePreview();
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return Options();
}

ContinuumOptions NormalizeDialog::Options() const
{
    return ContinuumOptions{m_pedOrder->value(), m_pedSigma->value(), m_pchbEmission->isChecked()};
}

void NormalizeDialog::UpdatePreview()
{
    if (!m_oInput.fnFit || m_oInput.pvWavelength == nullptr || m_oInput.pvIntensity == nullptr) {
        return;
    }
    const auto oFit = m_oInput.fnFit(Options());
    m_pbtnOK->setEnabled(oFit.HasValue());
    m_pimgPreview->setPixmap(QPixmap::fromImage(
        Preview(*m_oInput.pvWavelength, *m_oInput.pvIntensity, oFit ? oFit->vContinuum : std::vector<double>{})));
    if (!oFit) {
        m_plblFit->setText(QString::fromStdString(oFit.Error()));
        return;
    }
    m_plblFit->setText(QString("%1 of %2 samples make the continuum (scatter %3) after %4 passes.")
                           .arg(oFit->lKept)
                           .arg(m_oInput.pvWavelength->size())
                           .arg(QString::fromStdString(quandrel::FormatGeneral(oFit->fScatter, 3)))
                           .arg(oFit->lIterations));
}
