#include "FormOrbitalElementRange.h"

#include "Prompts.h"
#include "core/IniFileClass.h"
#include "core/NumberFormats.h"
#include "core/UtilsClass.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

const char* const kSection = "OrbitalElementsRange";
const char* const kStepKeys[6] = {"OrbElemPSteps",     "OrbElemT0Steps",     "OrbElemESteps",
                                  "OrbElemOmegaSteps", "OrbElemA1SinISteps", "OrbElemGammaSteps"};

double* Field(SOrbitalElements& o, int lRow)
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

TfrmOrbitalElementRange::TfrmOrbitalElementRange(CIniFile& oSettings, IPrompts& oPrompts, QWidget* pParent)
    : QDialog(pParent), m_oSettings(oSettings), m_oPrompts(oPrompts)
{
    setObjectName("frmOrbitalElementRange");
    m_oLower.fEccentricity = 0.0;
    m_oUpper.fEccentricity = 0.9;
    m_oLower.fOmega = 0.0;
    m_oUpper.fOmega = 360.0;
    m_oLower.fA1SinI = m_oLower.fA2SinI = 1000.0;
    m_oUpper.fA1SinI = m_oUpper.fA2SinI = 1e10;
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
                &TfrmOrbitalElementRange::UpdateEditable);
    }
    auto* pButtons = new QDialogButtonBox;
    auto* pbtnDefaults = pButtons->addButton("&Defaults", QDialogButtonBox::ResetRole);
    pbtnDefaults->setObjectName("btnRestoreDefaults");
    auto* pbtnOK = pButtons->addButton("&OK", QDialogButtonBox::AcceptRole);
    pbtnOK->setObjectName("btnOK");
    auto* pbtnCancel = pButtons->addButton("&Cancel", QDialogButtonBox::RejectRole);
    pbtnCancel->setObjectName("btnCancel");
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pstgRange);
    pLayout->addWidget(pButtons);
    connect(pbtnDefaults, &QPushButton::clicked, this, &TfrmOrbitalElementRange::btnRestoreDefaultsClick);
    connect(pbtnOK, &QPushButton::clicked, this, &TfrmOrbitalElementRange::btnOKClick);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmOrbitalElementRange::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    m_oLowerBackup = m_oLower;
    m_oUpperBackup = m_oUpper;
    const auto ReadLimit = [this](const char* pcKey, double& fValue) { fValue = m_oSettings.ReadFloat(kSection, pcKey, fValue); };
    ReadLimit("OrbElemEMin", m_oLower.fEccentricity);
    ReadLimit("OrbElemEMax", m_oUpper.fEccentricity);
    ReadLimit("OrbElemOmegaMin", m_oLower.fOmega);
    ReadLimit("OrbElemOmegaMax", m_oUpper.fOmega);
    ReadLimit("OrbElemA1SinIMin", m_oLower.fA1SinI);
    ReadLimit("OrbElemA1SinIMax", m_oUpper.fA1SinI);
    for (int i = 0; i < 6; ++i) {
        m_alSteps[static_cast<std::size_t>(i)] = m_oSettings.ReadInteger(kSection, kStepKeys[i], 10);
    }
    if (m_pOrbitalElements != nullptr) {
        m_pOrbitalElements->GetDataRanges(m_oLower, m_oUpper, m_bFirstShowing);
    }
    m_bFirstShowing = false;
    FillGrid();
}

void TfrmOrbitalElementRange::FillGrid()
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
        Set(r + 1, 1, LimitText(r, *Field(m_oLower, r)));
        Set(r + 1, 2, LimitText(r, *Field(m_oUpper, r)));
        Set(r + 1, 3, QString::number(m_alSteps[static_cast<std::size_t>(r)]));
    }
    UpdateEditable();
}

void TfrmOrbitalElementRange::UpdateEditable()
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

void TfrmOrbitalElementRange::btnRestoreDefaultsClick()
{
    if (m_pOrbitalElements == nullptr || m_pOrbitalElements->GetData().GetArraySize() < 2) {
        m_oPrompts.Message("Invalid data", "At least two measurements are needed to determine orbital elements.",
                           EIcon::Warning, EButtons::Ok);
        return;
    }
    m_pOrbitalElements->GetDefaultRanges(m_oLower, m_oUpper);
    m_pOrbitalElements->GetDataRanges(m_oLower, m_oUpper, false);
    FillGrid();
}

void TfrmOrbitalElementRange::InvalidData()
{
    m_oPrompts.Message("Invalid data",
                       "Invalid data for orbital element intervals\n\r(string not a number/out of range)",
                       EIcon::Warning, EButtons::Ok);
}

void TfrmOrbitalElementRange::btnOKClick()
{
    if (m_pOrbitalElements == nullptr || m_pOrbitalElements->GetData().GetArraySize() < 2) {
        m_oPrompts.Message("Invalid data", "At least two measurements are needed to determine orbital elements.",
                           EIcon::Warning, EButtons::Ok);
        return;
    }
    m_oLowerBackup = m_oLower;
    m_oUpperBackup = m_oUpper;
    std::array<int32_t, 6> alSteps{};
    try {
        for (int r = 0; r < 6; ++r) {
            *Field(m_oLower, r) = TextToFloat(m_pstgRange->item(r + 1, 1)->text().toStdString());
            *Field(m_oUpper, r) = TextToFloat(m_pstgRange->item(r + 1, 2)->text().toStdString());
            const double fSteps = std::trunc(TextToFloat(m_pstgRange->item(r + 1, 3)->text().toStdString()));
            if (!(fSteps >= std::numeric_limits<int32_t>::min() && fSteps <= std::numeric_limits<int32_t>::max())) {
                throw EConvertError("steps out of range");
            }
            alSteps[static_cast<std::size_t>(r)] = static_cast<int32_t>(fSteps);
        }
    } catch (const EConvertError&) {
        InvalidData();
        return;
    }
    bool abUse[6] = {};
    for (int r = 0; r < 6; ++r) {
        abUse[r] = m_apchbUse[static_cast<std::size_t>(r)]->isChecked();
        if (!abUse[r]) {
            *Field(m_oUpper, r) = *Field(m_oLower, r);
            alSteps[static_cast<std::size_t>(r)] = 1;
        }
    }
    if (!m_pOrbitalElements->ConfigureSearch(m_oLower, m_oUpper, alSteps.data(), abUse)) {
        InvalidData();
        return;
    }
    m_alSteps = alSteps;
    m_oSettings.WriteFloat(kSection, "OrbElemEMin", m_oLower.fEccentricity);
    m_oSettings.WriteFloat(kSection, "OrbElemEMax", m_oUpper.fEccentricity);
    m_oSettings.WriteFloat(kSection, "OrbElemOmegaMin", m_oLower.fOmega);
    m_oSettings.WriteFloat(kSection, "OrbElemOmegaMax", m_oUpper.fOmega);
    m_oSettings.WriteFloat(kSection, "OrbElemA1SinIMin", m_oLower.fA1SinI);
    m_oSettings.WriteFloat(kSection, "OrbElemA1SinIMax", m_oUpper.fA1SinI);
    for (int i = 0; i < 6; ++i) {
        m_oSettings.WriteInteger(kSection, kStepKeys[i], alSteps[static_cast<std::size_t>(i)]);
    }
    {
        CBusyCursor oBusy(m_oPrompts);
        m_pOrbitalElements->Optimize();
        m_pOrbitalElements->RefineOptimum();
    }
    accept();
}

void TfrmOrbitalElementRange::done(int lResult)
{
    // The P range typed by the user stays for the run; the rest comes back from the backup.
    const double fLowerP = m_oLower.fPeriod;
    const double fUpperP = m_oUpper.fPeriod;
    m_oLower = m_oLowerBackup;
    m_oUpper = m_oUpperBackup;
    m_oLower.fPeriod = fLowerP;
    m_oUpper.fPeriod = fUpperP;
    QDialog::done(lResult);
}
