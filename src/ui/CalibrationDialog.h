// "Calibration": maps the current spectrum's wavelengths through the
// calibration points, by sampling points or a polynomial of order 1 to 4.
// Every change is provisional until "&OK"; any other way out restores the
// spectrum exactly as it was handed over.
#pragma once

#include "session/Session.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

#include <functional>
#include <vector>

class Prompts;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// What the dialog works with: the mode to start with, the calibration points, and the session's
// calibration in steps (a try with a mode; deleting a point, which gives the points left).
struct CalibrationInput {
    CalibrationMode oMode;
    std::vector<CalibrationPoint> vPoints;
    std::function<SessionResult<CalibrationFit>(const CalibrationMode&)> fnTry;
    std::function<std::vector<CalibrationPoint>(int32_t)> fnDelete;
};

class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    CalibrationDialog(Prompts& oPrompts, QWidget* pParent = nullptr);

    // Shows the points; the mode confirmed with "&OK", nothing on any other way out.
    std::optional<CalibrationMode> Execute(const CalibrationInput& oInput);
    void onCalibrate();

private:
    CalibrationMode ShownMode() const;
    void FillGrid();
    void UpdateOrderEnabled();

    Prompts& m_oPrompts;
    CalibrationInput m_oInput;
    QRadioButton* m_prabSamplingPointCalibration;
    QRadioButton* m_prabPolynomialRegression;
    QSpinBox* m_pedOrder;
    QLineEdit* m_pedStandardDeviation;
    QLineEdit* m_pedMaxSingleDeviation;
    QTableWidget* m_pstgSamplingPoints;
};
