// "Configure CSV file import": how a spectrum text file is laid out, with the
// raw lines and a live preview of the parsed columns; "&OK" gives the samples of the preview.
#pragma once

#include "ImportPreviewModels.h"
#include "core/CsvFile.h"
#include "session/SettingsGateway.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListView;
class QRadioButton;
class QSpinBox;
class QTableView;
class QWidget;
struct ImportSettings;

// The samples of a file as the dialog read them.
struct ImportedSamples {
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
};

class TextImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextImportDialog(const SettingsGateway& oSettings, QWidget* pParent = nullptr);

    // Shows the file modally: its samples as previewed when "&OK" was pressed, nothing on any other
    // way out.
    std::optional<ImportedSamples> Execute(const std::string& sFilePathAndName);
    // The file the next showing previews (for showing the dialog without waiting for it).
    void SetFile(const std::string& sFilePathAndName) { m_sFilePathAndName = sFilePathAndName; }
    // The samples of the last "&OK"; nothing when the dialog was last closed otherwise.
    const std::optional<ImportedSamples>& Result() const { return m_oResult; }

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
    ImportSettings CurrentSettings() const;
    // The separator bytes of the "Others" field.
    std::string OthersBytes() const;
    void onOk();

    const SettingsGateway& m_oSettings;
    CsvFile m_oReader;
    std::string m_sFilePathAndName;
    std::optional<ImportedSamples> m_oResult;
    std::vector<double> m_vWavelength;
    std::vector<double> m_vIntensity;
    bool m_bUpdatesEnabled = false;

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
    PreviewModel m_oPreviewModel;
    RawLinesModel m_oRawModel;
};
