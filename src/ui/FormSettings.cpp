#include "FormSettings.h"

#include "UiUtils.h"

#include "core/UtilsClass.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>


TfrmSettings::TfrmSettings(QWidget* pParent) : QDialog(pParent)
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

std::optional<SObserverSite> TfrmSettings::Execute(const SObserverSite& oSite)
{
    m_pedLongitudeDegrees->setText(QString::fromStdString(FloatToText(oSite.fLongitudeDegrees)));
    m_pedLongitudeMinutes->setText(QString::fromStdString(FloatToText(oSite.fLongitudeMinutes)));
    m_pedLatitudeDegrees->setText(QString::fromStdString(FloatToText(oSite.fLatitudeDegrees)));
    m_pedLatitudeMinutes->setText(QString::fromStdString(FloatToText(oSite.fLatitudeMinutes)));
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return m_oResult;
}

void TfrmSettings::btnOKClick()
{
    const std::array<std::pair<QLineEdit*, double*>, 4> aoFields = {{
        {m_pedLongitudeDegrees, &m_oResult.fLongitudeDegrees},
        {m_pedLongitudeMinutes, &m_oResult.fLongitudeMinutes},
        {m_pedLatitudeDegrees, &m_oResult.fLatitudeDegrees},
        {m_pedLatitudeMinutes, &m_oResult.fLatitudeMinutes},
    }};
    for (const auto& [pEdit, pfValue] : aoFields) {
        try {
            *pfValue = TextToFloat(NormalizeDecimalSeparator(pEdit->text().toStdString()));
        } catch (const EConvertError&) {
            // No number: the dialog stays open at this field.
            pEdit->setFocus();
            pEdit->selectAll();
            return;
        }
    }
    accept();
}
