#include "ObserverSiteDialog.h"

#include "core/IniFile.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QLabel>

ObserverSiteDialog::ObserverSiteDialog(QWidget* pParent) : NumberFieldsDialog("frmSettings", "Observer coordinates", pParent)
{
    resize(307, 195);
    auto* pGrid = new QGridLayout;
    pGrid->addWidget(new QLabel("Longitude"), 0, 0, 1, 2);
    pGrid->addWidget(new QLabel("Latitude"), 0, 2, 1, 2);
    const char* const apcNames[4] = {"edLongitudeDegrees", "edLongitudeMinutes", "edLatitudeDegrees",
                                     "edLatitudeMinutes"};
    for (int i = 0; i < 4; ++i) {
        pGrid->addWidget(new QLabel(i % 2 == 0 ? "deg" : "min"), 1, i);
        pGrid->addWidget(AddField(apcNames[i]), 2, i);
    }
    // The conventions, where the numbers are typed: a site at 80 deg W is +80, one at 5 deg 30 min E
    // is -5 and -30.
    auto* plblConventions = new QLabel("Longitude is positive west of Greenwich, negative east; latitude positive "
                                       "north. The minutes carry the sign too: 5\u00B0 30' east is -5 and -30.");
    plblConventions->setObjectName("lblConventions");
    plblConventions->setWordWrap(true);
    pGrid->addWidget(plblConventions, 3, 0, 1, 4);
    Finish(pGrid);
}

std::optional<GeographicSite> ObserverSiteDialog::Execute(const GeographicSite& o)
{
    const auto Text = [](double f) { return QString::fromStdString(FloatToText(f)); };
    const auto vValues = Run({Text(o.fLongitudeDegrees), Text(o.fLongitudeMinutes), Text(o.fLatitudeDegrees),
                              Text(o.fLatitudeMinutes)});
    if (!vValues) {
        return std::nullopt;
    }
    return GeographicSite{(*vValues)[0], (*vValues)[1], (*vValues)[2], (*vValues)[3]};
}
