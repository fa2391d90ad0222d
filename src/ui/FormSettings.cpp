#include "FormSettings.h"

#include "UiUtils.h"

#include "core/IniFileClass.h"
#include "core/UtilsClass.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

const char* const kSection = "GeographicCoordinates";

struct SCoordinateKey {
    const char* pcKey;
    double fDefault;
};

// In the order the edits are read on "&OK".
constexpr std::array<SCoordinateKey, 4> kKeys = {{{"LongDeg", 9.0}, {"LongMin", 0.0}, {"LatDeg", 52.0}, {"LatMin", 0.0}}};

} // namespace

TfrmSettings::TfrmSettings(CIniFile& oSettings, QWidget* pParent) : QDialog(pParent), m_oSettings(oSettings)
{
    setObjectName("frmSettings");
    setWindowTitle("Observer coordinates");
    resize(307, 195);
    m_pedLongitudeDegrees = new QLineEdit;
    m_pedLongitudeDegrees->setObjectName("edLongitudeDegrees");
    m_pedLongitudeMinutes = new QLineEdit;
    m_pedLongitudeMinutes->setObjectName("edLongitudeMinutes");
    m_pedLatitudeDegrees = new QLineEdit;
    m_pedLatitudeDegrees->setObjectName("edLatitudeDegrees");
    m_pedLatitudeMinutes = new QLineEdit;
    m_pedLatitudeMinutes->setObjectName("edLatitudeMinutes");

    auto* pGrid = new QGridLayout;
    pGrid->addWidget(new QLabel("Longitude"), 0, 0, 1, 2);
    pGrid->addWidget(new QLabel("Latitude"), 0, 2, 1, 2);
    pGrid->addWidget(new QLabel("deg"), 1, 0);
    pGrid->addWidget(new QLabel("min"), 1, 1);
    pGrid->addWidget(new QLabel("deg"), 1, 2);
    pGrid->addWidget(new QLabel("min"), 1, 3);
    pGrid->addWidget(m_pedLongitudeDegrees, 2, 0);
    pGrid->addWidget(m_pedLongitudeMinutes, 2, 1);
    pGrid->addWidget(m_pedLatitudeDegrees, 2, 2);
    pGrid->addWidget(m_pedLatitudeMinutes, 2, 3);

    QPushButton* pbtnOK = nullptr;
    QPushButton* pbtnCancel = nullptr;
    auto* pButtons = OkCancelButtons(pbtnOK, pbtnCancel);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pGrid);
    pLayout->addStretch();
    pLayout->addWidget(pButtons);

    connect(pbtnOK, &QPushButton::clicked, this, &TfrmSettings::btnOKClick);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmSettings::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    const std::array<QLineEdit*, 4> apEdits = {m_pedLongitudeDegrees, m_pedLongitudeMinutes, m_pedLatitudeDegrees,
                                               m_pedLatitudeMinutes};
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const double fValue = m_oSettings.ReadFloat(kSection, kKeys[i].pcKey, kKeys[i].fDefault);
        apEdits[i]->setText(QString::fromStdString(FloatToText(fValue)));
    }
}

void TfrmSettings::btnOKClick()
{
    const std::array<QLineEdit*, 4> apEdits = {m_pedLongitudeDegrees, m_pedLongitudeMinutes, m_pedLatitudeDegrees,
                                               m_pedLatitudeMinutes};
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        double fValue = 0.0;
        try {
            fValue = TextToFloat(NormalizeDecimalSeparator(apEdits[i]->text().toStdString()));
        } catch (const EConvertError&) {
            // No number: the dialog stays open at this field.
            apEdits[i]->setFocus();
            apEdits[i]->selectAll();
            return;
        }
        m_oSettings.WriteFloat(kSection, kKeys[i].pcKey, fValue);
    }
    accept();
}
