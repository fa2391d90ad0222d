// "Object coordinates": right ascension and declination of the target of a project.
#pragma once

#include "NumberFieldsDialog.h"
#include "session/Session.h"

class TfrmObjectCoordinates : public CNumberFieldsDialog {
    Q_OBJECT
public:
    explicit TfrmObjectCoordinates(QWidget* pParent = nullptr);

    // Shows the coordinates (without any, the fields keep what they held); the coordinates confirmed
    // with "&OK", nothing on any other way out.
    std::optional<SObjectCoordinates> Execute(const std::optional<SObjectCoordinates>& oNow);
};
