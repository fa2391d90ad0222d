#include "PeriodogramDialog.h"

#include "core/IniFile.h"
#include "core/Utils.h"

#include <QFormLayout>
#include <QLineEdit>

#include <cmath>

PeriodogramDialog::PeriodogramDialog(QWidget* pParent) : NumberFieldsDialog("frmPeriodogram", "Periodogram", pParent)
{
    const auto WholeNumber = [](const QLineEdit* pEdit) -> quandrel::Result<double> {
        const quandrel::Result<double> f = TextToFloat(pEdit->text().toStdString());
        if (!f || !(*f >= 2) || *f != std::floor(*f)) {
            return quandrel::Failure("Not a number of frequencies: " + pEdit->text().toStdString());
        }
        return f;
    };
    auto* pForm = new QFormLayout;
    pForm->addRow("Shortest period [d]", AddField("edShortestPeriod"));
    pForm->addRow("Longest period [d]", AddField("edLongestPeriod"));
    pForm->addRow("Number of frequencies", AddField("edFrequencies", "", WholeNumber));
    Finish(pForm);
}

std::optional<PeriodogramSetup> PeriodogramDialog::Execute(const PeriodogramSetup& oSetup)
{
    const auto vValues = Run({QString::fromStdString(FloatToText(oSetup.fShortest)),
                              QString::fromStdString(FloatToText(oSetup.fLongest)),
                              QString::number(oSetup.lSamples)});
    if (!vValues) {
        return std::nullopt;
    }
    return PeriodogramSetup{(*vValues)[0], (*vValues)[1], static_cast<std::int64_t>((*vValues)[2])};
}
