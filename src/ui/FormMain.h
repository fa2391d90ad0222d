// The program's main window: menus, tool bar, the fitting sliders, the list
// of loaded spectra, the tabbed tables and plots and two status bars. It owns
// every long-lived object and the dialogs.
#pragma once

#include "QtCanvas.h"
#include "calibration/CalibrationClass.h"
#include "crosscorr/CrossCorrelationClass.h"
#include "core/IniFileClass.h"
#include "spectrum/SpectrumContainerClass.h"
#include "lines/InertialLinesClass.h"
#include "orbit/OrbitalElementsClass.h"
#include "rvtable/MatrixClass.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <string>

class CImageView;
class IPrompts;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollBar;
class QSlider;
class QTabWidget;
class TfrmHelp;
class TfrmImportConfig;
class TfrmInertialLineSelect;
class TfrmMiscSettings;
class TfrmCalibration;
class TfrmCC;
class TfrmConfigurePDM;
class TfrmObjectCoordinates;
class TfrmOrbitalElementRange;
class TfrmSettings;
class TfrmTimeStamp;
class QTableWidget;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kVersion = "2.1.3";
    // The clipping scroll bar: range 1 .. 1000, page 50, first position 475.
    static constexpr int kClipMaximum = 1000;

    TfrmMain(const std::string& sSettingsFile, IPrompts& oPrompts, QWidget* pParent = nullptr);
    ~TfrmMain() override;

    // Creates the dialogs, each once; the window is shown before.
    void CreateDialogs();

    // The settings file and the two path settings operations.
    CIniFile& Settings() { return m_oSettings; }
    std::string ReadPathSetting(const std::string& sSection, const std::string& sKey) const;
    void WritePathSetting(const std::string& sSection, const std::string& sKey, const std::string& sText);

    CSpectrum* GetCurrentSpectrum() const { return m_pCurrentSpectrum; }
    const CSpectrumContainer& Spectra() const { return m_oSpectrumContainer; }

    // Recomputes which commands are enabled.
    void UpdateCommandStates();

    // Draws a spectrum into a canvas (cleared first); reload copies its values into the plot first.
    void ShowSpectrum(CSpectrum* pSpectrum, CQtCanvas& oCanvas, bool bReload);
    // The current spectrum again, without reloading; only clears without one.
    void RedrawSpectrum();
    // The image of the plot page that is showing.
    QImage ChartBitmap();

    // Sets both kind flags of the current spectrum and the controls that show them.
    void SetSpectrumKind(bool bReference, bool bEmission);
    void SyncSpectrumKindControls();

    // The text of a status bar panel (bar 0 or 1).
    QString StatusText(int lBar, int lPanel) const;

    // Commands, reachable from tests as from the menus.
    void mniOpenSpectrumClick();
    void mniSaveChartClick();
    void mniPrintSpectrumClick();
    void mniRemoveSpectrumClick();
    void lsbSpectraClick();
    void btnZoomInClick();
    void btnZoomOutClick();
    void scbClippingChange(int lPosition);
    void chbKeepYAxisFixedClick();
    void mniObserverCoordinatesClick();
    void mniMiscSettingsClick();
    void mniAboutClick();
    void OpenHelpDocument(const char* pcDocument);
    void mniFindSpectralLinesClick();
    void mniOptimizeFitClick();
    void mniOpenLinesFileClick();
    void mniIdentifyWithXXClick();
    void mniIdentifyWithClick();
    void imgSpectrumMouseUp(int lX, int lY, Qt::MouseButton eButton);
    // The line commands of the context menu that the menu always hides.
    void mniCombineLeftClick();
    void mniCombineRightClick();
    void mniUncombineClick();
    void mniGaussianTypeClick(bool bDouble);
    // The identified lines of the current spectrum.
    void RefreshSpectralLineList();
    // Panel 1 of the first status bar: the active line and its laboratory line.
    void RefreshActiveLineStatus();

    // The laboratory lines (identification of stellar lines), part of the table of radial velocities.
    const CInertialLines& InertialLines() const { return m_oMatrix.InertialLines(); }
    CMatrix& Matrix() { return m_oMatrix; }

    void mniTimeStampClick();
    void mniObjectCoordinatesClick();
    void btnAddMeasurementClick();
    // Asks for the object coordinates when they are missing and takes the observer's from the settings.
    void EnsureCoordinates();
    // Rebuilds the grid of the table of radial velocities.
    void RefreshTable();
    void mniClearSingleCellClick();
    void mniRemoveEvaluationClick();
    void mniRemoveSingleColumnClick();
    void mniClearMatrixClick();
    void mniRemoveFromMatrixClick();
    void mniOpenProjectClick();
    // True when the project was written.
    bool mniSaveProjectClick();
    void mniDumpMeasurementsClick();
    void mniExportResultsClick();
    // Before unsaved rows are discarded: false when the user wanted them saved and that did not happen.
    bool AskToSaveTable();
    void RefreshTimeDisplay();
    void RefreshCoordinatesDisplay();
    void RefreshCorrectionDisplay();

    COrbitalElements& OrbitalElements() { return m_oOrbitalElements; }
    CCalibration& Calibration() { return m_oCalibration; }
    CCrossCorrelation& CrossCorrelation() { return m_oCrossCorrelation; }
    const CSpectrum* CCTemplate() const { return m_pCCTemplate.get(); }
    const CSpectrum* CCFunction() const { return m_pCCFunction.get(); }
    void mniOpenCCTemplateClick();
    void mniNewCCParamsClick();
    void mniOpenCCParamsClick();
    void mniSaveCCParamsClick();
    void mniRunCCClick();
    void mniOpenCalibrationLinesClick();
    void mniSaveCalibratedSpectrumClick();
    void mniCalibrateClick();
    void mniIdentifyInertialLineClick();
    void mniCalculateElementsClick();
    void mniExportElementsClick();
    void mniExportResidualsClick();
    void mniEstimatePeriodClick();
    void mniImportMeasurementsClick();
    // The fitted elements into the two grids.
    void ShowOrbitalElements();
    // Julian dates, measured velocities and residuals into the residual grid.
    void ShowResiduals();
    void DrawRVGraph();
    TfrmInertialLineSelect* InertialLineSelect() const { return m_pfrmInertialLineSelect; }
    // Sets the maximum of the width slider and its tick spacing (maximum / 20).
    void SetWidthMaximum(int lMaximum);
    // Brings the context menu's items up to date, as before it opens.
    void PrepareContextMenu();

protected:
    void showEvent(QShowEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
    QAction* AddItem(QMenu* pMenu, const char* pcCaption, const char* pcName, const char* pcShortcut = nullptr);
    void CreateMenus();
    void CreateContextMenu();
    QWidget* CreateToolBar();
    QWidget* CreateControlPanel();
    QWidget* CreatePlotPanel();
    QWidget* CreateStatusBar(int lBar, const std::vector<std::pair<int, const char*>>& vPanels);
    void SetStatusText(int lBar, int lPanel, const QString& sText);
    void MakeCurrent(CSpectrum* pSpectrum);
    void StoreClipping();
    void ReadWindowSettings();
    void WriteWindowSettings();
    void LoadInertialLinesAtStartUp();
    void LoadCalibrationLinesAtStartUp();
    void trbWidthChange();
    void edWidthChange();
    void trbSensitivityChange();
    void edSensitivityExit();
    void OptLevelChange();
    void edLevelExit();
    void ApplyLevel(int lLevel);
    void RemoveSelectedSpectra();
    void Zoom(bool bIn);
    // The current spectrum has an observation time, asked for when it has none.
    bool EnsureObservationTime();
    CImageView* ViewOf(const CQtCanvas& oCanvas) const;
    // Asks for a file (title, initial folder key) and reads it through the import dialog into a new
    // spectrum drawn on oCanvas; none when the user stops on the way.
    std::unique_ptr<CSpectrum> ImportSpectrum(const char* pcTitle, const char* pcPathKey, CQtCanvas& oCanvas,
                                              std::string& sFile);
    void RedrawCCPages();
    void ShowTableMessage(const std::string& sText);

    CIniFile m_oSettings;
    IPrompts& m_oPrompts;
    CMatrix m_oMatrix;
    COrbitalElements m_oOrbitalElements;
    CCalibration m_oCalibration;
    CCrossCorrelation m_oCrossCorrelation;
    std::unique_ptr<CSpectrum> m_pCCTemplate;
    std::unique_ptr<CSpectrum> m_pCCDetail;
    std::unique_ptr<CSpectrum> m_pCCFunction;
    CQtCanvas m_oCCTemplateCanvas;
    CQtCanvas m_oCCDetailCanvas;
    CQtCanvas m_oCCFunctionCanvas;
    SOrbitalElements m_oElements;
    CSpectrumContainer m_oSpectrumContainer;
    CSpectrum* m_pCurrentSpectrum = nullptr;
    CQtCanvas m_oSpectrumCanvas;
    CQtCanvas m_oRVGraphCanvas;
    bool m_bShownOnce = false;
    bool m_bKindSyncGuard = false;

    TfrmImportConfig* m_pfrmImportConfig = nullptr;
    TfrmSettings* m_pfrmSettings = nullptr;
    TfrmHelp* m_pfrmHelp = nullptr;
    TfrmMiscSettings* m_pfrmMiscSettings = nullptr;
    TfrmInertialLineSelect* m_pfrmInertialLineSelect = nullptr;
    TfrmTimeStamp* m_pfrmTimeStamp = nullptr;
    TfrmObjectCoordinates* m_pfrmObjectCoordinates = nullptr;
    TfrmOrbitalElementRange* m_pfrmOrbitalElementRange = nullptr;
    TfrmConfigurePDM* m_pfrmConfigurePDM = nullptr;
    TfrmCalibration* m_pfrmCalibration = nullptr;
    TfrmCC* m_pfrmCC = nullptr;

    QMenu* m_ppumSpectrum = nullptr;
    QAction* m_pmniIndicateReference = nullptr;
    QAction* m_pmniIndicateEmission = nullptr;
    QAction* m_pmniRemoveSpectrum = nullptr;
    QAction* m_pmniActivate = nullptr;
    QAction* m_pmniIndicateReferencePopup = nullptr;
    QAction* m_pmniIndicateEmissionPopup = nullptr;
    QCheckBox* m_pchbKeepYAxisFixed = nullptr;
    QCheckBox* m_pchbReferenceSpectrum = nullptr;
    QCheckBox* m_pchbEmissionSpectrum = nullptr;
    QSlider* m_ptrbWidth = nullptr;
    QSlider* m_ptrbSensitivity = nullptr;
    QLineEdit* m_pedWidth = nullptr;
    QLineEdit* m_pedSensitivity = nullptr;
    QCheckBox* m_pchbOptLevel = nullptr;
    QSlider* m_ptrbOptLevel = nullptr;
    QLineEdit* m_pedLevel = nullptr;
    // Which side of each slider/edit pair the user works with; set at the start.
    bool m_bWidthSliderFocus = true;
    bool m_bSensitivitySliderFocus = true;
    bool m_bLevelSliderFocus = true;
    QString m_sLastLevelText;
    QListWidget* m_plsbSpectralLines = nullptr;
    QAction* m_pmniIdentifyWithXX = nullptr;
    QAction* m_pmniIdentifyWith = nullptr;
    QAction* m_pmniOptimizeFitPopup = nullptr;
    QTableWidget* m_pstgMatrix = nullptr;
    QTableWidget* m_pstgOrbitalElements1 = nullptr;
    QTableWidget* m_pstgOrbitalElements2 = nullptr;
    QTableWidget* m_pstgResiduals = nullptr;
    QCheckBox* m_pchbPhasePlot = nullptr;
    QTabWidget* m_ppgcTables = nullptr;
    QListWidget* m_plsbSpectra = nullptr;
    QTabWidget* m_ppgcPlots = nullptr;
    CImageView* m_pimgSpectrum = nullptr;
    CImageView* m_pimgRVGraph = nullptr;
    CImageView* m_pimgCCTemplate = nullptr;
    CImageView* m_pimgCCDetail = nullptr;
    CImageView* m_pimgCCFunction = nullptr;
    QScrollBar* m_pscbClipping = nullptr;
    std::array<std::vector<QLabel*>, 2> m_avStatusPanels;
};
