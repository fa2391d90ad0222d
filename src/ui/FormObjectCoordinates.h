// "Object coordinates": right ascension and declination of the target of a project.
#pragma once

#include <QDialog>

class CMatrix;
class QLineEdit;

class TfrmObjectCoordinates : public QDialog {
    Q_OBJECT
public:
    explicit TfrmObjectCoordinates(QWidget* pParent = nullptr);

    // The table whose coordinates the dialog edits (not owned).
    CMatrix* m_pMatrix = nullptr;

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void btnOKClick();

    QLineEdit* m_pedRightAscensionHours;
    QLineEdit* m_pedRightAscensionMinutes;
    QLineEdit* m_pedDeclinationDegrees;
    QLineEdit* m_pedDeclinationMinutes;
};
