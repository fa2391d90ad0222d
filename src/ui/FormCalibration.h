// "Calibration": maps the current spectrum's wavelengths through the
// calibration points, by sampling points or a polynomial of order 1 to 4.
// Every change is provisional until "&OK"; any other way out restores the
// spectrum exactly as it was handed over.
#pragma once

#include <QDialog>

#include <functional>
#include <vector>

class CCalibration;
class CIniFile;
class CSpectrum;
class IPrompts;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableWidget;

class TfrmCalibration : public QDialog {
    Q_OBJECT
public:
    TfrmCalibration(const CIniFile& oSettings, IPrompts& oPrompts, QWidget* pParent = nullptr);

    // The calibration and the spectrum to work on (neither owned); the spectrum's values are saved.
    void SetData(CCalibration* pCalibration, CSpectrum* pSpectrum);
    // Called whenever the spectrum's values changed (to rebuild its plot).
    void SetSpectrumChanged(std::function<void()> fnChanged) { m_fnSpectrumChanged = std::move(fnChanged); }

    void btnCalibrateClick();

protected:
    void showEvent(QShowEvent* pEvent) override;
    void done(int lResult) override;

private:
    void FillGrid();
    void RestoreSavedValues();
    void UpdateOrderEnabled();

    const CIniFile& m_oSettings;
    IPrompts& m_oPrompts;
    CCalibration* m_pCalibration = nullptr;
    CSpectrum* m_pSpectrum = nullptr;
    std::vector<double> m_vSavedWavelength;
    std::vector<double> m_vSavedIntensity;
    bool m_bAccepted = false;
    std::function<void()> m_fnSpectrumChanged;
    QRadioButton* m_prabSamplingPointCalibration;
    QRadioButton* m_prabPolynomialRegression;
    QSpinBox* m_pedOrder;
    QLineEdit* m_pedStandardDeviation;
    QLineEdit* m_pedMaxSingleDeviation;
    QTableWidget* m_pstgSamplingPoints;
};
