#include "PdmDialog.h"

#include "core/IniFile.h"
#include "core/Utils.h"

#include <QFormLayout>
#include <QLineEdit>

PdmDialog::PdmDialog(QWidget* pParent)
    : NumberFieldsDialog("frmConfigurePDM", "Period search (PDM)", pParent)
{
    const auto WholeNumber = [](const QLineEdit* pEdit) {
        return static_cast<double>(TextToInt(pEdit->text().toStdString(), 5));
    };
    auto* pForm = new QFormLayout;
    QLineEdit* pedNumberDataPoints = AddField("edNumberDataPoints", "", WholeNumber);
    pedNumberDataPoints->setEnabled(false);
    pForm->addRow("Number data points", pedNumberDataPoints);
    pForm->addRow("Number bins", AddField("edNumberBins", "", WholeNumber));
    pForm->addRow("Period: from", AddField("edPeriodFrom"));
    pForm->addRow("Period: to", AddField("edPeriodTo"));
    Finish(pForm);
}

std::optional<PeriodSearch> PdmDialog::Execute(const PeriodSearch& oSearch)
{
    const auto vValues = Run({QString::number(oSearch.lNumberDataPoints), QString::number(oSearch.lBins),
                              QString::fromStdString(FloatToText(oSearch.fFrom)),
                              QString::fromStdString(FloatToText(oSearch.fTo))});
    if (!vValues) {
        return std::nullopt;
    }
    PeriodSearch o = oSearch;
    o.lBins = static_cast<int32_t>((*vValues)[1]);
    o.fFrom = (*vValues)[2];
    o.fTo = (*vValues)[3];
    return o;
}
