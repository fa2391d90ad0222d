#include "MiscSettingsDialog.h"

#include "core/IniFile.h"
#include "core/Utils.h"

#include <QFormLayout>
#include <QLineEdit>

MiscSettingsDialog::MiscSettingsDialog(QWidget* pParent)
    : NumberFieldsDialog("frmMiscSettings", "Time threshold & Max. width", pParent)
{
    resize(340, 240);
    auto* pForm = new QFormLayout;
    pForm->addRow("Time threshold", AddField("edTimeThreshold"));
    pForm->addRow("Max width", AddField("edMaxWidth", "", [](const QLineEdit* pEdit) -> quandrel::Result<double> {
                      // A slider needs at least two positions.
                      const int lMaximum = TextToInt(pEdit->text().toStdString(), 20);
                      return static_cast<double>(lMaximum < 1 ? 20 : lMaximum);
                  }));
    pForm->addRow("Identify all within \u00B1 [km/s]", AddField("edIdentifyVelocity"));
    pForm->addRow("Lamp line tolerance [samples]", AddField("edLampTolerance"));
    Finish(pForm);
}

std::optional<MiscSettings> MiscSettingsDialog::Execute(const MiscSettings& oValues)
{
    const auto vValues =
        Run({QString::fromStdString(FloatToText(oValues.fTimeThreshold)), QString::number(oValues.lMaxWidth),
             QString::fromStdString(FloatToText(oValues.fIdentifyVelocity)),
             QString::fromStdString(FloatToText(oValues.fLampTolerance))});
    if (!vValues) {
        return std::nullopt;
    }
    const auto Positive = [](double f, double fDefault) { return f > 0.0 ? f : fDefault; };
    const MiscSettings oDefaults;
    return MiscSettings{(*vValues)[0], static_cast<int>((*vValues)[1]),
                         Positive((*vValues)[2], oDefaults.fIdentifyVelocity),
                         Positive((*vValues)[3], oDefaults.fLampTolerance)};
}
