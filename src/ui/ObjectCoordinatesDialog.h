// "Object coordinates": right ascension and declination of the target of a project.
#pragma once

#include "NumberFieldsDialog.h"
#include "session/Session.h"

class ObjectCoordinatesDialog : public NumberFieldsDialog {
    Q_OBJECT
public:
    explicit ObjectCoordinatesDialog(QWidget* pParent = nullptr);

    // Shows the coordinates (without any, the fields keep what they held); the coordinates confirmed
    // with "&OK", nothing on any other way out.
    std::optional<EquatorialPosition> Execute(const std::optional<EquatorialPosition>& oNow);
};
