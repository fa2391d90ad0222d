// "Normalise continuum": the order of the continuum polynomial and the rejection limit, with the
// fitted continuum drawn over the spectrum as they change.
#pragma once

#include "calibration/ContinuumFit.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

struct NormalizeInput {
    ContinuumOptions oOptions;
    const std::vector<double>* pvWavelength = nullptr;
    const std::vector<double>* pvIntensity = nullptr;
    // The continuum of the spectrum with these options; nothing with the reason in sError.
    std::function<quandrel::Result<ContinuumFit>(const ContinuumOptions&)> fnFit;
};

class NormalizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit NormalizeDialog(QWidget* pParent = nullptr);

    // The options confirmed with "&OK"; nothing on any other way out.
    std::optional<ContinuumOptions> Execute(const NormalizeInput& oInput);

private:
    ContinuumOptions Options() const;
    void UpdatePreview();

    NormalizeInput m_oInput;
    QSpinBox* m_pedOrder;
    QDoubleSpinBox* m_pedSigma;
    QCheckBox* m_pchbEmission;
    QLabel* m_pimgPreview;
    QLabel* m_plblFit;
    QPushButton* m_pbtnOK;
};
