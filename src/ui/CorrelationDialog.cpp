#include "CorrelationDialog.h"

#include "UiUtils.h"
#include "core/IniFile.h"
#include "core/NumberText.h"
#include "core/Utils.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QRadioButton* Radio(const char* pcName, const char* pcCaption)
{
    auto* pRadio = new QRadioButton(pcCaption);
    pRadio->setObjectName(pcName);
    return pRadio;
}

} // namespace

CorrelationDialog::CorrelationDialog(QWidget* pParent) : QDialog(pParent)
{
    setObjectName("frmCC");
    setWindowTitle("Cross correlation parameters");
    m_prabUseObservationParameters = Radio("rabUseObservationParameters", "Observation parameters");
    m_prabInputHeliocentricCorrection = Radio("rabInputTopocentricCorrection", "Topocentric correction");
    m_prabUseCivilDate = Radio("rabUseCivilDate", "Civil &date");
    m_prabUseJulianDate = Radio("rabUseJulianDate", "&Julian date");
    // Two independent choices: how the correction is found, and how the date is given.
    auto* pCorrectionGroup = new QButtonGroup(this);
    pCorrectionGroup->addButton(m_prabUseObservationParameters);
    pCorrectionGroup->addButton(m_prabInputHeliocentricCorrection);
    auto* pDateGroup = new QButtonGroup(this);
    pDateGroup->addButton(m_prabUseCivilDate);
    pDateGroup->addButton(m_prabUseJulianDate);
    m_pedCivilDateDays = NamedEdit("edCivilDateDays", "25");
    m_pedCivilDateMonth = NamedEdit("edCivilDateMonth", "0");
    m_pedCivilDateYear = NamedEdit("edCivilDateYear", "2000");
    m_pedCivilDateHours = NamedEdit("edCivilDateHours", "0");
    m_pedCivilDateMinutes = NamedEdit("edCivilDateMinutes", "0");
    m_pcobTimeZone = new QComboBox;
    m_pcobTimeZone->setObjectName("cobTimeZone");
    m_pcobTimeZone->addItems({"UT", "MET", "MEST", "Other"});
    m_pedTimeZone = NamedEdit("edTimeZone", "1");
    m_pedJulianDate = NamedEdit("edJulianDate", "");
    m_pedRightAscensionHours = NamedEdit("edRightAscensionHours", "0");
    m_pedRightAscensionMinutes = NamedEdit("edRightAscensionMinutes", "0");
    m_pedDeclinationDegrees = NamedEdit("edDeclinationDegrees", "0");
    m_pedDeclinationMinutes = NamedEdit("edDeclinationMinutes", "0");
    m_pedHeliocentricCorrection = NamedEdit("edTopocentricCorrection", "0");
    m_pedWavelengthFrom = NamedEdit("edWavelengthFrom", "6050");
    m_pedWavelengthTo = NamedEdit("edWavelengthTo", "6650");
    m_pedSupportingPoints = NamedEdit("edSupportingPoints", "2");
    m_pedCorrelationSpan = NamedEdit("edCorrelationSpan", "30");
    m_pedResolution = NamedEdit("edResolution", "0.01");

    auto* pTemplate = new QGroupBox("Template");
    auto* pGrid = new QGridLayout(pTemplate);
    pGrid->addWidget(m_prabUseObservationParameters, 0, 0, 1, 5);
    pGrid->addWidget(m_prabUseCivilDate, 1, 0, 1, 5);
    AddCivilDateRows(pGrid, 2,
                     {m_pedCivilDateDays, m_pedCivilDateMonth, m_pedCivilDateYear, m_pedCivilDateHours,
                      m_pedCivilDateMinutes},
                     m_pcobTimeZone, m_pedTimeZone);
    pGrid->addWidget(m_prabUseJulianDate, 5, 0, 1, 2);
    pGrid->addWidget(m_pedJulianDate, 5, 2, 1, 3);
    pGrid->addWidget(new QLabel("hh/deg"), 6, 1);
    pGrid->addWidget(new QLabel("min"), 6, 2);
    pGrid->addWidget(new QLabel("Right ascension"), 7, 0);
    pGrid->addWidget(m_pedRightAscensionHours, 7, 1);
    pGrid->addWidget(m_pedRightAscensionMinutes, 7, 2);
    pGrid->addWidget(new QLabel("Declination"), 8, 0);
    pGrid->addWidget(m_pedDeclinationDegrees, 8, 1);
    pGrid->addWidget(m_pedDeclinationMinutes, 8, 2);
    pGrid->addWidget(m_prabInputHeliocentricCorrection, 9, 0, 1, 2);
    pGrid->addWidget(m_pedHeliocentricCorrection, 9, 2);
    pGrid->addWidget(new QLabel("km/s"), 9, 3);

    auto* pParameters = new QGroupBox("Correlation");
    auto* pForm = new QGridLayout(pParameters);
    pForm->addWidget(new QLabel("Wavelength from"), 0, 0);
    pForm->addWidget(m_pedWavelengthFrom, 0, 1);
    pForm->addWidget(new QLabel("to"), 0, 2);
    pForm->addWidget(m_pedWavelengthTo, 0, 3);
    pForm->addWidget(new QLabel(QString::fromUtf8("Å")), 0, 4);
    pForm->addWidget(new QLabel("Supporting points per pixel"), 1, 0, 1, 3);
    pForm->addWidget(m_pedSupportingPoints, 1, 3);
    pForm->addWidget(new QLabel("Correlation span"), 2, 0, 1, 3);
    pForm->addWidget(m_pedCorrelationSpan, 2, 3);
    pForm->addWidget(new QLabel("supporting points"), 2, 4);
    pForm->addWidget(new QLabel("Accuracy to achieve"), 3, 0, 1, 3);
    pForm->addWidget(m_pedResolution, 3, 3);
    pForm->addWidget(new QLabel("km/s"), 3, 4);
    m_pedTemplateVelocity = NamedEdit("edTemplateVelocity", "0");
    m_pedTemplateVelocity->setToolTip("The template's own radial velocity, added to the shift found");
    pForm->addWidget(new QLabel("Template velocity"), 4, 0, 1, 3);
    pForm->addWidget(m_pedTemplateVelocity, 4, 3);
    pForm->addWidget(new QLabel("km/s"), 4, 4);
    m_plblVelocityReach = new QLabel;
    m_plblVelocityReach->setObjectName("lblVelocityReach");
    pForm->addWidget(m_plblVelocityReach, 5, 0, 1, 5);
    for (QLineEdit* pEdit : {m_pedWavelengthFrom, m_pedWavelengthTo, m_pedSupportingPoints, m_pedCorrelationSpan}) {
        connect(pEdit, &QLineEdit::textChanged, this, &CorrelationDialog::ShowReach);
    }

    QPushButton* pbtnOK = nullptr;
    QPushButton* pbtnCancel = nullptr;
    auto* pButtons = OkCancelButtons(pbtnOK, pbtnCancel);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pTemplate);
    pLayout->addWidget(pParameters);
    pLayout->addWidget(pButtons);

    connect(m_prabUseCivilDate, &QRadioButton::clicked, this, &CorrelationDialog::ApplyDateMode);
    connect(m_prabUseJulianDate, &QRadioButton::clicked, this, &CorrelationDialog::ApplyDateMode);
    connect(m_prabUseObservationParameters, &QRadioButton::clicked, this, &CorrelationDialog::ApplyCorrectionMode);
    connect(m_prabInputHeliocentricCorrection, &QRadioButton::clicked, this, &CorrelationDialog::ApplyCorrectionMode);
    connect(m_pcobTimeZone, &QComboBox::currentIndexChanged, this, &CorrelationDialog::onTimeZoneChosen);
    connect(pbtnOK, &QPushButton::clicked, this, &CorrelationDialog::onOk);
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<CorrelationSetup> CorrelationDialog::Execute(const CorrelationSetup& oSetup)
{
    m_oSetup = oSetup;
    m_pcobTimeZone->blockSignals(true);
    m_pcobTimeZone->setCurrentIndex(std::clamp(oSetup.oZone.lZone, 0, kOtherTimeZone));
    m_pcobTimeZone->blockSignals(false);
    onTimeZoneChosen();
    m_prabUseObservationParameters->setChecked(true);
    m_prabUseCivilDate->setChecked(true);
    if (oSetup.oZone.bUseJulianDate) {
        m_prabUseJulianDate->setChecked(true);
    }
    ApplyCorrectionMode();
    if (m_pedCivilDateMonth->text() == "0") {
        const QDate oToday = QDate::currentDate();
        m_pedCivilDateDays->setText(QString::number(oToday.day()));
        m_pedCivilDateMonth->setText(QString::number(oToday.month()));
        m_pedCivilDateYear->setText(QString::number(oToday.year()));
    }
    if (const auto& o = oSetup.oParameters) {
        m_pedWavelengthFrom->setText(QString::fromStdString(FloatToText(o->fFrom)));
        m_pedWavelengthTo->setText(QString::fromStdString(FloatToText(o->fTo)));
        m_pedSupportingPoints->setText(QString::number(o->lSupportingPoints));
        m_pedCorrelationSpan->setText(QString::number(o->lSpan));
        m_pedResolution->setText(QString::fromStdString(FloatToText(o->fAccuracy)));
    }
    m_pedTemplateVelocity->setText(QString::fromStdString(FloatToText(oSetup.fTemplateVelocity)));
    ShowReach();
    findChild<QPushButton*>("btnOK")->setFocus();
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return m_oSetup;
}

void CorrelationDialog::onTimeZoneChosen()
{
    ShowTimeZoneHours(m_pcobTimeZone, m_pedTimeZone, m_oSetup.oZone.fOtherHours);
}

void CorrelationDialog::ApplyDateMode()
{
    const bool bCivil = m_prabUseCivilDate->isChecked();
    for (QWidget* pControl : std::initializer_list<QWidget*>{m_pedCivilDateDays, m_pedCivilDateMonth,
                                                             m_pedCivilDateYear, m_pedCivilDateHours,
                                                             m_pedCivilDateMinutes, m_pcobTimeZone}) {
        EnableControl(pControl, bCivil);
    }
    EnableControl(m_pedJulianDate, !bCivil);
    onTimeZoneChosen();
}

void CorrelationDialog::ApplyCorrectionMode()
{
    const bool bObservation = m_prabUseObservationParameters->isChecked();
    EnableControl(m_pedHeliocentricCorrection, !bObservation);
    for (QWidget* pControl : std::initializer_list<QWidget*>{m_pedRightAscensionHours, m_pedRightAscensionMinutes,
                                                             m_pedDeclinationDegrees, m_pedDeclinationMinutes,
                                                             m_prabUseCivilDate, m_prabUseJulianDate}) {
        EnableControl(pControl, bObservation);
    }
    if (bObservation) {
        ApplyDateMode();
    } else {
        for (QWidget* pControl : std::initializer_list<QWidget*>{m_pedJulianDate, m_pedCivilDateDays,
                                                                 m_pedCivilDateMonth, m_pedCivilDateYear,
                                                                 m_pedCivilDateHours, m_pedCivilDateMinutes,
                                                                 m_pedTimeZone, m_pcobTimeZone}) {
            EnableControl(pControl, false);
        }
    }
}

CorrelationOptions CorrelationDialog::TypedParameters(FormReader& oForm) const
{
    CorrelationOptions p;
    p.fAccuracy = oForm.Real(m_pedResolution);
    p.lSpan = TextToInt(m_pedCorrelationSpan->text().toStdString(), 0);
    p.lSupportingPoints = TextToInt(m_pedSupportingPoints->text().toStdString(), 0);
    p.fTo = oForm.Real(m_pedWavelengthTo);
    p.fFrom = oForm.Real(m_pedWavelengthFrom);
    return p;
}

void CorrelationDialog::ShowReach()
{
    double fReach = 0.0;
    if (m_oSetup.fnReach) {
        FormReader oForm;
        CorrelationOptions p;
        p.fFrom = oForm.Real(m_pedWavelengthFrom);
        p.fTo = oForm.Real(m_pedWavelengthTo);
        p.lSupportingPoints = TextToInt(m_pedSupportingPoints->text().toStdString(), 0);
        p.lSpan = TextToInt(m_pedCorrelationSpan->text().toStdString(), 0);
        fReach = oForm.Failed() ? 0.0 : m_oSetup.fnReach(p);
    }
    m_plblVelocityReach->setText(
        fReach > 0 ? QString::fromUtf8("Searched velocities: \u00B1%1 km/s with the current spectrum")
                         .arg(QString::fromStdString(quandrel::FormatFixed(fReach, 1)))
                   : QString("Searched velocities: unknown (no spectrum, or fewer than 2 of its samples in the window)"));
}

void CorrelationDialog::onOk()
{
    CorrelationSetup oTyped = m_oSetup;
    TemplateCorrection& c = oTyped.oCorrection;
    FormReader oForm;
    c.bTyped = m_prabInputHeliocentricCorrection->isChecked();
    if (c.bTyped) {
        c.fTyped = oForm.Real(m_pedHeliocentricCorrection);
    } else {
        c.oObject.fRightAscensionHours = oForm.Real(m_pedRightAscensionHours);
        c.oObject.fRightAscensionMinutes = oForm.Real(m_pedRightAscensionMinutes);
        c.oObject.fDeclinationDegrees = oForm.Real(m_pedDeclinationDegrees);
        c.oObject.fDeclinationMinutes = oForm.Real(m_pedDeclinationMinutes);
        if (m_prabUseCivilDate->isChecked()) {
            c.fJulianDate = oForm.Take(CivilJulianDate({m_pedCivilDateDays, m_pedCivilDateMonth, m_pedCivilDateYear,
                                                        m_pedCivilDateHours, m_pedCivilDateMinutes},
                                                       m_pedTimeZone));
        } else {
            c.fJulianDate = oForm.Real(m_pedJulianDate);
        }
    }
    const CorrelationOptions p = TypedParameters(oForm);
    oTyped.fTemplateVelocity = oForm.Real(m_pedTemplateVelocity);
    if (oForm.Failed()) {
        // A field that is no number ends "&OK" here; the dialog stays open.
        return;
    }
    oTyped.oParameters = p;
    m_oSetup = oTyped;
    accept();
}
