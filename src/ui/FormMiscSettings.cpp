#include "FormMiscSettings.h"

#include "core/IniFileClass.h"
#include "core/UtilsClass.h"

#include <QFormLayout>
#include <QLineEdit>

TfrmMiscSettings::TfrmMiscSettings(QWidget* pParent)
    : CNumberFieldsDialog("frmMiscSettings", "Time threshold & Max. width", pParent)
{
    resize(308, 199);
    auto* pForm = new QFormLayout;
    pForm->addRow("Time threshold", AddField("edTimeThreshold"));
    pForm->addRow("Max width", AddField("edMaxWidth", "", [](const QLineEdit* pEdit) {
                      // A slider needs at least two positions.
                      const int lMaximum = TextToInt(pEdit->text().toStdString(), 20);
                      return static_cast<double>(lMaximum < 1 ? 20 : lMaximum);
                  }));
    Finish(pForm);
}

std::optional<SMiscSettings> TfrmMiscSettings::Execute(const SMiscSettings& oValues)
{
    const auto vValues =
        Run({QString::fromStdString(FloatToText(oValues.fTimeThreshold)), QString::number(oValues.lMaxWidth)});
    if (!vValues) {
        return std::nullopt;
    }
    return SMiscSettings{(*vValues)[0], static_cast<int>((*vValues)[1])};
}
