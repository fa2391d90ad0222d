// "Select inertial spectral line": the lines of a laboratory or calibration
// reference table to choose one from.
#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>

class LaboratoryLines;
class QPushButton;
class QTableView;

// Which table the dialog lists.
struct LineChoice {
    const LaboratoryLines* pTable = nullptr; // not owned
    bool bCalibration = false;              // calibration reference lines, else laboratory lines
    int32_t lPreselected = -1;              // the line shown chosen at the start, -1 for none
};

class LaboratoryLineDialog : public QDialog {
    Q_OBJECT
public:
    explicit LaboratoryLineDialog(QWidget* pParent = nullptr);

    // Shows the table modally, the preselected line chosen and in view: the index of the line chosen
    // with "&OK" (or a double click), nothing on any other way out. "&OK" needs a line.
    std::optional<int32_t> Choose(const LineChoice& oChoice);

private:
    void UpdateOk();

    bool m_bAccepted = false;
    QTableView* m_pstgLaboratoryLines;
    QPushButton* m_pbtnOK = nullptr;
};
