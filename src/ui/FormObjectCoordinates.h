// "Object coordinates": right ascension and declination of the target of a project.
#pragma once

#include "session/Session.h"

#include <QDialog>

#include <optional>

class QLineEdit;

class TfrmObjectCoordinates : public QDialog {
    Q_OBJECT
public:
    explicit TfrmObjectCoordinates(QWidget* pParent = nullptr);

    // Shows the coordinates (without any, the fields keep what they held); the coordinates confirmed
    // with "&OK", nothing on any other way out. A field that is no number keeps the dialog open.
    std::optional<SObjectCoordinates> Execute(const std::optional<SObjectCoordinates>& oNow);

private:
    void btnOKClick();

    QLineEdit* m_pedRightAscensionHours;
    QLineEdit* m_pedRightAscensionMinutes;
    QLineEdit* m_pedDeclinationDegrees;
    QLineEdit* m_pedDeclinationMinutes;
    SObjectCoordinates m_oResult;
};
