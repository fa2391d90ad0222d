// "Select inertial spectral line": the lines of a laboratory or calibration
// reference table to choose one from.
#pragma once

#include <QDialog>

class CInertialLines;
class QTableView;

class TfrmInertialLineSelect : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInertialLineSelect(QWidget* pParent = nullptr);

    // Laboratory mode: the table of laboratory lines ("Set inertial spectral line").
    void SetInertialLines(const CInertialLines* pInertialLines);
    // Calibration mode: the calibration reference lines ("Set calibration spectral line").
    void SetCalibrationLines(const CInertialLines* pCalibration);

    // Shows the dialog modally: the chosen grid row (1-based, the header is
    // row 0) after "&OK" on a line, -1 otherwise.
    int Choose();

    // The grid row currently selected (0 for the header or nothing).
    void SelectRow(int lRow);

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    const CInertialLines* m_pInertialLines = nullptr;
    const CInertialLines* m_pCalibration = nullptr;
    bool m_bCalibrationMode = false;
    bool m_bAccepted = false;
    QTableView* m_pstgInertialLines;
};
