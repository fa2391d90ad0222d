#include "ObjectCoordinatesDialog.h"

#include "core/IniFile.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

ObjectCoordinatesDialog::ObjectCoordinatesDialog(QWidget* pParent)
    : NumberFieldsDialog("frmObjectCoordinates", "Object coordinates", pParent)
{
    auto* pGroup = new QGroupBox(" Coordinates of target object ");
    pGroup->setObjectName("grbCoordinatesOfTargetObject");
    auto* pGrid = new QGridLayout(pGroup);
    pGrid->addWidget(new QLabel("hh/deg"), 0, 1);
    pGrid->addWidget(new QLabel("min"), 0, 2);
    pGrid->addWidget(new QLabel("Right ascension"), 1, 0);
    pGrid->addWidget(AddField("edRightAscensionHours", "0"), 1, 1);
    pGrid->addWidget(AddField("edRightAscensionMinutes", "0"), 1, 2);
    pGrid->addWidget(new QLabel("Declination"), 2, 0);
    pGrid->addWidget(AddField("edDeclinationDegrees", "0"), 2, 1);
    pGrid->addWidget(AddField("edDeclinationMinutes", "0"), 2, 2);
    auto* plblConventions = new QLabel("Declinations south are negative, and so are their minutes: "
                                       "-5\u00B0 30' is -5 and -30.");
    plblConventions->setObjectName("lblConventions");
    plblConventions->setWordWrap(true);
    pGrid->addWidget(plblConventions, 3, 0, 1, 3);
    auto* pFields = new QVBoxLayout;
    pFields->addWidget(pGroup);
    Finish(pFields, "btkOK");
}

std::optional<EquatorialPosition> ObjectCoordinatesDialog::Execute(const std::optional<EquatorialPosition>& oNow)
{
    std::vector<QString> vTexts(4);
    if (oNow) {
        const auto Text = [](double f) { return QString::fromStdString(FloatToText(f)); };
        vTexts = {Text(oNow->fRightAscensionHours), Text(oNow->fRightAscensionMinutes),
                  Text(oNow->fDeclinationDegrees), Text(oNow->fDeclinationMinutes)};
    }
    const auto vValues = Run(vTexts);
    if (!vValues) {
        return std::nullopt;
    }
    return EquatorialPosition{(*vValues)[0], (*vValues)[1], (*vValues)[2], (*vValues)[3]};
}
