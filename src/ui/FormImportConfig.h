// "Configure CSV file import": how a spectrum text file is laid out, with the
// raw lines and a live preview of the parsed columns; "&OK" fills the spectrum.
#pragma once

#include "ImportPreviewModels.h"

#include <QDialog>

#include <string>
#include <vector>

class CCSVFile;
class CIniFile;
class CSpectrum;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListView;
class QRadioButton;
class QSpinBox;
class QTableView;
class QWidget;
struct SImportSettings;

class TfrmImportConfig : public QDialog {
    Q_OBJECT
public:
    TfrmImportConfig(const CIniFile& oSettings, QWidget* pParent = nullptr);

    // The reader to parse with, the file and the spectrum to fill on "&OK" (none owned).
    void SetImportTarget(CCSVFile* pReader, const std::string& sFilePathAndName, CSpectrum* pSpectrum);

    // True unless the dialog was closed with "&OK".
    bool IsCancelled() const { return m_bCancelled; }

    // The number of samples of the current preview.
    int GetValueCount() const { return static_cast<int>(m_vWavelength.size()); }

    // Computes the preview from the current settings (only while updates are enabled).
    void UpdatePreview();

protected:
    void showEvent(QShowEvent* pEvent) override;
    void done(int lResult) override;
    bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
    void LoadSettings();
    void SaveSettings();
    void ShowPanelOfMode();
    void EnableDependentControls();
    SImportSettings CurrentSettings() const;
    void btnOKClick();

    const CIniFile& m_oSettings;
    CCSVFile* m_pReader = nullptr;
    CSpectrum* m_pSpectrum = nullptr;
    std::string m_sFilePathAndName;
    std::vector<double> m_vWavelength;
    std::vector<double> m_vIntensity;
    bool m_bUpdatesEnabled = false;
    bool m_bCancelled = true;

    QSpinBox* m_pedLinesToSkip;
    QRadioButton* m_prabUseDelimiters;
    QRadioButton* m_prabUseFixedColumns;
    QCheckBox* m_pchbSingleColumn;
    QCheckBox* m_pchbAutomNmConversion;
    QGroupBox* m_pgrbDelimiters;
    QCheckBox* m_pchbTabulator;
    QCheckBox* m_pchbSemicolon;
    QCheckBox* m_pchbComma;
    QCheckBox* m_pchbSpace;
    QCheckBox* m_pchbOthers;
    QLineEdit* m_pedOthers;
    QCheckBox* m_pchbTreatConsecutiveAsOne;
    QGroupBox* m_pgrbFixedColumns;
    QSpinBox* m_pedStartValue1;
    QSpinBox* m_pedNumberCharsValue1;
    QSpinBox* m_pedStartValue2;
    QSpinBox* m_pedNumberCharsValue2;
    QTableView* m_pstgPreview;
    QListView* m_plsbRawData;
    CPreviewModel m_oPreviewModel;
    CRawLinesModel m_oRawModel;
};
