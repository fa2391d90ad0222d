#include "OrbitSearchDialog.h"

#include "Prompts.h"
#include "core/NumberFormats.h"
#include "UiUtils.h"
#include "core/Utils.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

double* Field(OrbitElements& o, int lRow)
{
    double* apFields[6] = {&o.fPeriod, &o.fT0, &o.fEccentricity, &o.fOmega, &o.fA1SinI, &o.fGamma};
    return apFields[lRow];
}

// The grid text of a limit, in the row's notation.
QString LimitText(int lRow, double fValue)
{
    switch (lRow) {
    case 0: return QString::fromStdString(quandrel::FormatFixedPrecision(fValue, 7, 2));
    case 1: return QString::fromStdString(quandrel::FormatFixedPrecision(fValue, 12, 2));
    case 2: return QString::fromStdString(quandrel::FormatFixedPrecision(fValue, 5, 2));
    case 3: return QString::fromStdString(quandrel::FormatFixedPrecision(fValue, 6, 2));
    case 4: return QString::fromStdString(quandrel::FormatExponent(fValue, 3, 2));
    default: return QString::fromStdString(quandrel::FormatFixedPrecision(fValue, 5, 2));
    }
}

} // namespace

OrbitSearchDialog::OrbitSearchDialog(Prompts& oPrompts, QWidget* pParent)
    : QDialog(pParent), m_oPrompts(oPrompts)
{
    setObjectName("frmOrbitalElementRange");
    setWindowTitle("Determine orbital elements");
    resize(560, 280);
    m_pstgRange = new QTableWidget(7, 5);
    m_pstgRange->setObjectName("stgRange");
    m_pstgRange->horizontalHeader()->hide();
    m_pstgRange->verticalHeader()->hide();
    m_pstgRange->setColumnWidth(0, 110);
    const char* const apcUse[6] = {"chbOptimizeP",     "chbOptimizeT0",     "chbOptimizeE",
                                   "chbOptimizeOmega", "chbOptimizeA1SinI", "chbOptimizeGamma"};
    for (int i = 0; i < 6; ++i) {
        m_apchbUse[static_cast<std::size_t>(i)] = new QCheckBox;
        m_apchbUse[static_cast<std::size_t>(i)]->setObjectName(apcUse[i]);
        m_apchbUse[static_cast<std::size_t>(i)]->setChecked(true);
        m_pstgRange->setCellWidget(i + 1, 4, m_apchbUse[static_cast<std::size_t>(i)]);
        connect(m_apchbUse[static_cast<std::size_t>(i)], &QCheckBox::toggled, this,
                &OrbitSearchDialog::UpdateEditable);
    }
    auto* pButtons = new QDialogButtonBox;
    auto* pbtnDefaults = pButtons->addButton("&Defaults", QDialogButtonBox::ResetRole);
    pbtnDefaults->setObjectName("btnRestoreDefaults");
    auto* pbtnSuggest = pButtons->addButton("&Suggest", QDialogButtonBox::ResetRole);
    pbtnSuggest->setObjectName("btnSuggest");
    pbtnSuggest->setToolTip("Ranges from the measurements: P around the periodogram's strongest peak, K1 from "
                            "their half-range, gamma around their mean");
    auto* pbtnOK = pButtons->addButton("&OK", QDialogButtonBox::AcceptRole);
    pbtnOK->setObjectName("btnOK");
    auto* pbtnCancel = pButtons->addButton("&Cancel", QDialogButtonBox::RejectRole);
    pbtnCancel->setObjectName("btnCancel");
    m_pchbLeastSquares = new QCheckBox("Refine by &least squares (elements with their errors)");
    m_pchbLeastSquares->setObjectName("chbLeastSquares");
    m_pchbJitter = new QCheckBox("&Jitter per data set (extra scatter beyond the uncertainties, maximum likelihood)");
    m_pchbJitter->setObjectName("chbJitter");
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pstgRange);
    pLayout->addWidget(m_pchbLeastSquares);
    pLayout->addWidget(m_pchbJitter);
    connect(m_pchbLeastSquares, &QCheckBox::toggled, m_pchbJitter, &QCheckBox::setEnabled);
    pLayout->addWidget(pButtons);
    connect(pbtnDefaults, &QPushButton::clicked, this, &OrbitSearchDialog::onRestoreDefaults);
    connect(pbtnSuggest, &QPushButton::clicked, this, &OrbitSearchDialog::onSuggest);
    connect(pbtnOK, &QPushButton::clicked, this, &OrbitSearchDialog::onOk);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<OrbitSearch> OrbitSearchDialog::Execute(const OrbitRangeInput& oInput)
{
    m_oInput = oInput;
    m_oShown = oInput.oSearch;
    FillGrid();
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return m_oShown;
}

void OrbitSearchDialog::FillGrid()
{
    const auto Set = [this](int lRow, int lColumn, const QString& sText) {
        auto* pItem = new QTableWidgetItem(sText);
        pItem->setTextAlignment(Qt::AlignCenter);
        m_pstgRange->setItem(lRow, lColumn, pItem);
    };
    const QStringList vHeader = {"Orbital element", "Lower limit", "Upper limit", "Number of steps", "Use"};
    for (int c = 0; c < 5; ++c) {
        Set(0, c, vHeader[c]);
    }
    const QString asLabels[6] = {"P", "T0", "e", QString(QChar(0x03C9)), "a1 sin i", QString(QChar(0x03B3))};
    for (int r = 0; r < 6; ++r) {
        Set(r + 1, 0, asLabels[r]);
        Set(r + 1, 1, LimitText(r, *Field(m_oShown.oLower, r)));
        Set(r + 1, 2, LimitText(r, *Field(m_oShown.oUpper, r)));
        Set(r + 1, 3, QString::number(m_oShown.alSteps[static_cast<std::size_t>(r)]));
        QCheckBox* pUse = m_apchbUse[static_cast<std::size_t>(r)];
        pUse->blockSignals(true);
        pUse->setChecked(m_oShown.abUse[static_cast<std::size_t>(r)]);
        pUse->blockSignals(false);
    }
    m_pchbLeastSquares->setChecked(m_oShown.bLeastSquares);
    m_pchbJitter->setChecked(m_oShown.bJitter);
    m_pchbJitter->setEnabled(m_oShown.bLeastSquares);
    UpdateEditable();
}

void OrbitSearchDialog::UpdateEditable()
{
    const QBrush oFixed = palette().brush(QPalette::Button);
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 4; ++c) {
            QTableWidgetItem* pItem = m_pstgRange->item(r, c);
            if (pItem == nullptr) {
                continue;
            }
            const bool bFixedCell = r == 0 || c == 0;
            const bool bUse = r > 0 && m_apchbUse[static_cast<std::size_t>(r - 1)]->isChecked();
            const bool bEditable = !bFixedCell && (c == 1 || bUse);
            pItem->setFlags(bEditable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                      : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (bFixedCell) {
                pItem->setBackground(oFixed);
            }
            pItem->setForeground(!bFixedCell && c >= 2 && !bUse ? QColor(128, 128, 128) : QColor(Qt::black));
        }
    }
}

void OrbitSearchDialog::onSuggest()
{
    if (!m_oInput.fnSuggest) {
        return;
    }
    const SessionResult<OrbitSearch> oResult = m_oInput.fnSuggest(m_oShown);
    if (!oResult) {
        m_oPrompts.Message(oResult.Error().sTitle, oResult.Error().sText, Icon::Warning, Buttons::Ok);
        return;
    }
    OrbitSearch oSuggested = *oResult;
    oSuggested.bLeastSquares = m_pchbLeastSquares->isChecked();
    oSuggested.bJitter = m_pchbJitter->isChecked();
    m_oShown = oSuggested;
    FillGrid();
}

void OrbitSearchDialog::onRestoreDefaults()
{
    if (!m_oInput.oDefaults) {
        m_oPrompts.Message("Invalid data", "At least two measurements are needed to determine orbital elements.",
                           Icon::Warning, Buttons::Ok);
        return;
    }
    m_oShown.oLower = m_oInput.oDefaults->oLower;
    m_oShown.oUpper = m_oInput.oDefaults->oUpper;
    for (std::size_t i = 0; i < 6; ++i) {
        m_oShown.abUse[i] = m_apchbUse[i]->isChecked();
    }
    FillGrid();
}

void OrbitSearchDialog::onOk()
{
    OrbitSearch oTyped = m_oShown;
    FormReader oForm;
    for (int r = 0; r < 6 && !oForm.Failed(); ++r) {
        *Field(oTyped.oLower, r) = oForm.Take(TextToFloat(m_pstgRange->item(r + 1, 1)->text().toStdString()));
        *Field(oTyped.oUpper, r) = oForm.Take(TextToFloat(m_pstgRange->item(r + 1, 2)->text().toStdString()));
        const double fSteps = std::trunc(oForm.Take(TextToFloat(m_pstgRange->item(r + 1, 3)->text().toStdString())));
        if (!(fSteps >= std::numeric_limits<int32_t>::min() && fSteps <= std::numeric_limits<int32_t>::max())) {
            oForm.Take(quandrel::Failure("steps out of range"));
            break;
        }
        oTyped.alSteps[static_cast<std::size_t>(r)] = static_cast<int32_t>(fSteps);
        oTyped.abUse[static_cast<std::size_t>(r)] = m_apchbUse[static_cast<std::size_t>(r)]->isChecked();
    }
    if (oForm.Failed()) {
        m_oPrompts.Message("Invalid data",
                           "Invalid data for orbital element intervals\n\r(string not a number/out of range)",
                           Icon::Warning, Buttons::Ok);
        return;
    }
    if (m_oInput.fnCheck) {
        if (const Outcome oRefused = m_oInput.fnCheck(oTyped)) {
            m_oPrompts.Message(oRefused->sTitle, oRefused->sText, Icon::Warning, Buttons::Ok);
            return;
        }
    }
    oTyped.bLeastSquares = m_pchbLeastSquares->isChecked();
    oTyped.bJitter = m_pchbJitter->isChecked();
    m_oShown = oTyped;
    accept();
}
