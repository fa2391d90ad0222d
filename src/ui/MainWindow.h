// The program's main window: menus, tool bar, the fitting sliders, the list of loaded spectra, the
// tabbed tables and plots and two status bars. It owns the session (the program's state and
// operations) and the dialogs; its handlers move values between the controls, the dialogs and the
// session, and its views refresh from what the session announces.
//
// The class is written in several files: FormMain.cpp (construction and layout), FormMainActions.cpp
// (menus and command states), FormMainViews.cpp (refreshing the views), and one file of handlers per
// area (spectra, lines, table, orbit, calibration, correlation).
#pragma once

#include "QtCanvas.h"
#include "orbit/RvCurvePlot.h"
#include "session/Session.h"
#include "spectrum/SpectrumPlot.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ImageView;
class Prompts;
struct FileDialog;

class LineTablePage;
class RvTableModel;
class QAction;
class QSplitter;
class QTableView;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QMenu;
class QScrollBar;
class QSlider;
class QTabWidget;
class QTableWidget;
class HelpWindow;
class TextImportDialog;
class LaboratoryLineDialog;
class MiscSettingsDialog;
class CalibrationDialog;
class CorrelationDialog;
class PdmDialog;
class NormalizeDialog;
class PeriodogramDialog;
class ObjectCoordinatesDialog;
class OrbitSearchDialog;
class ObserverSiteDialog;
class ObservationTimeDialog;

class MainWindow : public QMainWindow, private SessionListener {
    Q_OBJECT
public:
    static constexpr const char* kVersion = "2.1.3";
    // The clipping scroll bar: range 1 .. 1000, small step 10, large step 100, first position 475; a
    // spectrum keeps its page size as 50.
    static constexpr int kClipMaximum = 1000;
    static constexpr int kClipPageSize = 50;
    // The plot page of the periodogram and the PDM dispersions.
    static constexpr int kPeriodogramPage = 5;

    MainWindow(const std::string& sSettingsFile, Prompts& oPrompts, QWidget* pParent = nullptr);
    ~MainWindow() override;

    // Creates the dialogs, each once; the window is shown before.
    void CreateDialogs();

    ::Session& Session() { return m_oSession; }
    const ::Session& Session() const { return m_oSession; }
    const Spectrum* GetCurrentSpectrum() const { return m_oSession.Spectra().CurrentSpectrum(); }
    // The plot of a spectrum on one of the window's canvases, made (with all its values) on first use;
    // it keeps the spectrum's zoom and scroll position while the spectrum lives.
    SpectrumPlot& PlotOf(const Spectrum& oSpectrum, QtCanvas& oCanvas);
    // The plot of a spectrum of the list on the spectrum page.
    SpectrumPlot& PlotOf(const Spectrum& oSpectrum) { return PlotOf(oSpectrum, m_oSpectrumCanvas); }
    // The current spectrum's plot; null without one.
    SpectrumPlot* CurrentPlot();

    // Recomputes which commands are enabled.
    void UpdateCommandStates();
    // Brings the context menu's items up to date, as before it opens.
    void PrepareContextMenu();

    // Draws a spectrum into a canvas (cleared first); reload copies its values into the plot first.
    void ShowSpectrum(const Spectrum* pSpectrum, QtCanvas& oCanvas, bool bReload);
    // The current spectrum again, without reloading; only clears without one.
    void RedrawSpectrum();
    // The image of the plot page that is showing.
    QImage ChartBitmap();
    // The text of a status bar panel (bar 0 or 1).
    QString StatusText(int lBar, int lPanel) const;
    QString StatusToolTip(int lBar, int lPanel) const;
    // Sets the maximum of the width slider and its tick spacing (maximum / 20).
    void SetWidthMaximum(int lMaximum);
    // Opens a help document from the working folder, the installed share folder or the build tree;
    // says where it is when no viewer starts, and where it was looked for when it is missing.
    void OpenHelpDocument(const char* pcDocument);

protected:
    void showEvent(QShowEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    // Spectrum files dropped on the window open as "O&pen spectrum ..." opens them; a project file
    // opens as a project.
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
    // --- Handlers of the menus, buttons and mouse; reached through the actions and events ---
    // Spectra and plots
    void onOpenSpectrum();
    // Opens spectra: FITS files with their headers, text files through the import dialog once (its
    // settings then serve the others). Cancel in the import dialog stops there.
    void OpenSpectrumFiles(const std::vector<std::string>& vFiles);
    // A file of the "Recent files" menu: a project or a spectrum.
    void OpenRecentFile(const std::string& sFile);
    void OpenProjectFile(const std::string& sFile);
    void RefreshRecentFiles();
    void onSaveSpectrumFits();
    void onNormalizeContinuum();
    void onRestoreIntensities();
    void onFitsHeader();
    void onSaveChart();
    void onExportChart();
    void onUndo();
    void onCopyChart();
    void onPrintSpectrum();
    void onRemoveSpectrum();
    void onSpectrumChosen();
    void onZoomIn();
    void onZoomOut();
    void onClippingMoved(int lPosition);
    void onKeepYAxisFixed();
    void onObserverSite();
    void onMiscSettings();
    void onAbout();
    // Lines
    void onFindSpectralLines();
    void onOptimizeFit();
    void onOpenLaboratoryLines();
    void onIdentifyWithNearest();
    void onIdentifyWith();
    // Every found line near a laboratory line identified with it.
    void onIdentifyAll();
    // Find, identify all and add measurement for every open spectrum of a star, on all cores.
    void onMeasureAllOpenSpectra();
    void onUnidentify();
    // The lamp's other lines paired with calibration lines from those identified by hand.
    void onIdentifyLampLines();
    void edMinSigmaExit();
    void onSpectrumClicked(int lX, int lY, Qt::MouseButton eButton);
    void onCombineLeft();
    void onCombineRight();
    void onUncombine();
    void onGaussianType(bool bDouble);
    void RefreshSpectralLineList();
    // A row of the line table chosen: the line becomes active and the plot shows it.
    void SpectralLineChosen(int32_t lLine);
    // Panel 1 of the first status bar: the active line and its laboratory line.
    void RefreshActiveLineStatus();
    // Table of radial velocities
    void onObservationTime();
    void onObjectCoordinates();
    void onAddMeasurement();
    void onClearCell();
    void onClearRow();
    void onClearColumn();
    void onClearTable();
    void onRemoveFromTable();
    void onOpenProject();
    // True when the project was written.
    bool onSaveProject();
    bool onSaveProjectAs();
    void onDumpMeasurements();
    void onExportResults();
    // Before unsaved rows are discarded: false when the user wanted them saved and that did not happen.
    // Offers to save unsaved changes of the table: false when the user cancels (or saving failed).
    bool AskToSaveTable();
    // Orbit and period
    void onFitOrbit();
    void onExportElements();
    void onExportResiduals();
    // The posterior of the least-squares orbit, sampled with progress and Cancel.
    void onPosterior();
    void onEstimatePeriod();
    void onImportMeasurements();
    void DrawRVGraph();
    // Calibration
    void onOpenCalibrationLines();
    void onSaveCalibratedSpectrum();
    void onCalibrate();
    void onIdentifyLaboratoryLine();
    // Cross-correlation
    void onOpenCorrelationTemplate();
    void onCorrelationParameters();
    void onOpenCorrelationParameters();
    void onSaveCorrelationParameters();
    void onRunCorrelation();


    // The commands of the menus, the tool bar and the context menus, each an action member.
    struct Actions {
        QAction* pmniOpenSpectrum = nullptr;
        QAction* pmniRunCorrelation = nullptr;
        QAction* pmniSaveCorrelationParameters = nullptr;
        QAction* pmniOpenCorrelationParameters = nullptr;
        QAction* pmniCalculateElements = nullptr;
        QAction* pmniPosterior = nullptr;
        QAction* pmniExportElements = nullptr;
        QAction* pmniUndo = nullptr;
        QAction* pmniExportResiduals = nullptr;
        QAction* pmniEstimatePeriod = nullptr;
        QAction* pmniPeriodogram = nullptr;
        QAction* pmniObservationTime2 = nullptr;
        QAction* pmniNormalizeContinuum = nullptr;
        QAction* pmniRestoreIntensities = nullptr;
        QAction* pmniIndicateReference = nullptr;
        QAction* pmniIndicateEmission = nullptr;
        QAction* pmniRemoveSpectrum = nullptr;
        QAction* pmniActivate = nullptr;
        QAction* pmniIndicateReferencePopup = nullptr;
        QAction* pmniIndicateEmissionPopup = nullptr;
        QAction* pmniCalibrate = nullptr;
        QAction* pmniIdentifyWithXX = nullptr;
        QAction* pmniIdentifyWith = nullptr;
        QAction* pmniOptimizeFitPopup = nullptr;
        QAction* pmniObservationTime = nullptr;
        QAction* pmniIdentifyLaboratoryLine = nullptr;
        QAction* pmniIdentifyAllPopup = nullptr;
        QAction* pmniUnidentify = nullptr;
        QAction* pmniIdentifyLampLinesPopup = nullptr;
        QAction* pmniRemoveFromTable = nullptr;
        QAction* pmniFitsHeader = nullptr;
        std::array<QAction*, 5> apmniHiddenLineCommands{};
    };

    // The menus' items, in one table (FormMainActions.cpp).
    struct MenuItem;
    static std::vector<MenuItem> MenuItems();

    // SessionListener: the views follow what changed.
    void SessionChanged(uint32_t lChanges) override;

    // Construction (FormMain.cpp, FormMainActions.cpp).
    QAction* AddItem(QMenu* pMenu, const char* pcCaption, const char* pcName, const char* pcShortcut = nullptr);
    void CreateMenus();
    void CreateContextMenu();
    QWidget* CreateToolBar();
    QWidget* CreateControlPanel();
    QWidget* CreatePlotPanel();
    QWidget* CreateStatusBar(int lBar, const std::vector<std::pair<int, const char*>>& vPanels);
    void ReadWindowSettings();
    void WriteWindowSettings();

    // Views (FormMainViews.cpp).
    void SetStatusText(int lBar, int lPanel, const QString& sText);
    void SetStatusToolTip(int lBar, int lPanel, const QString& sText);
    void RefreshSpectraList();
    void ShowCurrentSpectrum();
    void SyncSpectrumKindControls();
    void RefreshTimeDisplay();
    void RefreshCoordinatesDisplay();
    void RefreshCorrectionDisplay();
    void RefreshTable();
    // "Quandrel 2.1.3 - season.mtx", with " *" while the table has unsaved changes.
    void RefreshTitle();
    // Says in the status bar what the last command did.
    void ShowFeedback(const QString& sText);
    // "Project season.mtx opened: 20 rows".
    void ShowProjectOpened();
    void ShowOrbitalElements();
    void ShowLeastSquares();
    // Runs fnWork on a worker thread with a progress bar and Cancel in the status bar, the window
    // live meanwhile; false when the user cancelled (or another computation runs).
    bool RunWithProgress(const QString& sWhat, const std::function<void(Progress&)>& fnWork);
    QWidget* CreateWorkPanel();
    void DrawPeriodogram();
    void onPeriodogram();
    void ShowResiduals();
    void RedrawCorrelationPages();
    ImageView* ViewOf(const QtCanvas& oCanvas) const;

    // The file dialogs of the window (FormMainFiles.cpp).
    enum class File {
        Spectrum, Template, Bitmap, LaboratoryLines, CalibrationLines, CalibratedSpectrum, OpenProject, SaveProject,
        Measurements, Results, Elements, Residuals, OutsideMeasurements, OpenCorrelationParameters,
        SaveCorrelationParameters, SpectrumFits, ChartExport, ChartPdf
    };
    // The plot page that is showing drawn on any canvas of the given size (the window's own canvases
    // are redrawn afterwards).
    void DrawShownPage(Canvas& oCanvas, int lWidth, int lHeight);
    void RedrawShownPage();
    // The page that is showing written as PNG, SVG or PDF (by the file's extension) at a size and
    // resolution (dots per inch).
    Outcome ExportChart(const std::string& sFile, int lWidth, int lHeight, int lDotsPerInch);
    // The file dialog of a kind, starting in the folder its setting remembers.
    FileDialog FileDialogOf(File eFile) const;
    // Asks for a file to open or to save, starting in the folder its setting remembers.
    std::optional<std::string> AskForFile(File eFile);
    // "Ask for a file, read or write it, report a failure": false when the user stopped or it failed.
    bool WithFile(File eFile, const std::function<Outcome(const std::string&)>& fnUse);
    // The message of a refusal, if any; true when there was none.
    bool Report(const Outcome& oOutcome);
    // The message of a result without a value, if so; true when it has one.
    template <typename T>
    bool Report(const SessionResult<T>& oResult)
    {
        return oResult ? true : Report(Outcome(oResult.Error()));
    }
    void StoreClipping();
    // The plots of spectra that are gone (removed, replaced or closed) go too.
    void ForgetPlots();
    void SetSpectrumKind(bool bReference, bool bEmission);
    void Zoom(bool bIn);
    // The spectrum's window changed by the mouse: the scroll bar follows, the plot is redrawn.
    void SpectrumWindowChanged();
    // The cursor readout of the spectrum and of the velocity graph in the wavelength field.
    void SpectrumHovered(int lX, int lY);
    void RVGraphHovered(int lX, int lY);
    void onWidthSliderMoved();
    void onWidthEdited();
    void onSensitivitySliderMoved();
    void edSensitivityExit();
    void OptLevelChange();
    void edLevelExit();
    void ApplyLevel(int lLevel);
    // The current spectrum has an observation time, asked for when it has none.
    bool EnsureObservationTime();
    // Asks for the object coordinates when they are missing.
    void EnsureCoordinates();
    // Asks for a file (title, initial folder setting) and reads it into a new spectrum drawn on oCanvas;
    // none when the user stops on the way or it cannot be read.
    std::unique_ptr<Spectrum> ImportSpectrum(File eFile, Setting ePath, std::string& sFile);
    // A spectrum of a file: FITS with its header, text through the import dialog
    // (bAskImport) or with the settings it last confirmed. None, with the reason shown, when it cannot be
    // read; none with bCancelled when the user cancelled the import dialog.
    std::unique_ptr<Spectrum> ReadSpectrumFile(const std::string& sFile, bool bAskImport, bool& bCancelled);

    Prompts& m_oPrompts;
    QtCanvas m_oSpectrumCanvas;
    std::map<const Spectrum*, std::unique_ptr<SpectrumPlot>> m_mPlots;
    QtCanvas m_oRVGraphCanvas;
    // The velocity graph as last drawn, for the cursor readout.
    std::unique_ptr<RvCurvePlot> m_pRVCurve;
    QtCanvas m_oCorrelationTemplateCanvas;
    QtCanvas m_oCorrelationDetailCanvas;
    QtCanvas m_oCorrelationFunctionCanvas;
    QtCanvas m_oPeriodogramCanvas;
    ::Session m_oSession;
    bool m_bShownOnce = false;
    bool m_bKindSyncGuard = false;
    // Set while the window itself moves the list's selection.
    bool m_bListSyncGuard = false;
    // The lines chosen last in the line selection dialog, shown chosen the next time (-1: none yet).
    int32_t m_lLastLaboratoryLine = -1;
    int32_t m_lLastCalibrationLine = -1;

    TextImportDialog* m_pfrmImportConfig = nullptr;
    ObserverSiteDialog* m_pfrmSettings = nullptr;
    HelpWindow* m_pfrmHelp = nullptr;
    MiscSettingsDialog* m_pfrmMiscSettings = nullptr;
    LaboratoryLineDialog* m_pfrmLaboratoryLineSelect = nullptr;
    ObservationTimeDialog* m_pfrmObservationTime = nullptr;
    ObjectCoordinatesDialog* m_pfrmObjectCoordinates = nullptr;
    OrbitSearchDialog* m_pfrmOrbitalElementRange = nullptr;
    PdmDialog* m_pfrmConfigurePDM = nullptr;
    CalibrationDialog* m_pfrmCalibration = nullptr;
    CorrelationDialog* m_pfrmCorrelation = nullptr;
    NormalizeDialog* m_pfrmNormalize = nullptr;
    PeriodogramDialog* m_pfrmPeriodogram = nullptr;
    // The continuum options last confirmed.
    ContinuumOptions m_oContinuumOptions;

    Actions m_oActions;
    QMenu* m_ppumSpectrum = nullptr;
    QMenu* m_pmnuRecentFiles = nullptr;
    // The computation running on a worker, and its progress bar with Cancel.
    Progress* m_pWork = nullptr;
    QWidget* m_pnlWork = nullptr;
    QProgressBar* m_pprbWork = nullptr;
    QWidget* m_pnlControls = nullptr;
    QCheckBox* m_pchbKeepYAxisFixed = nullptr;
    QCheckBox* m_pchbReferenceSpectrum = nullptr;
    QCheckBox* m_pchbEmissionSpectrum = nullptr;
    QSlider* m_ptrbWidth = nullptr;
    QSlider* m_ptrbSensitivity = nullptr;
    QLineEdit* m_pedWidth = nullptr;
    QLineEdit* m_pedSensitivity = nullptr;
    QLineEdit* m_pedMinSigma = nullptr;
    QCheckBox* m_pchbOptLevel = nullptr;
    QSlider* m_ptrbOptLevel = nullptr;
    QLineEdit* m_pedLevel = nullptr;
    // Which side of each slider/edit pair the user works with; set at the start.
    bool m_bWidthSliderFocus = true;
    bool m_bSensitivitySliderFocus = true;
    bool m_bLevelSliderFocus = true;
    QString m_sLastLevelText;
    LineTablePage* m_ppnlSpectralLines = nullptr;
    QTableView* m_pstgTable = nullptr;
    QSplitter* m_pSplitter = nullptr;
    RvTableModel* m_pRvTableModel = nullptr;
    QTableWidget* m_pstgOrbitalElements1 = nullptr;
    QTableWidget* m_pstgOrbitalElements2 = nullptr;
    // The least-squares elements with their errors and the derived quantities.
    QTableWidget* m_pstgLeastSquares = nullptr;
    QTableWidget* m_pstgResiduals = nullptr;
    QCheckBox* m_pchbPhasePlot = nullptr;
    QTabWidget* m_ppgcTables = nullptr;
    QListWidget* m_plsbSpectra = nullptr;
    QTabWidget* m_ppgcPlots = nullptr;
    ImageView* m_pimgSpectrum = nullptr;
    ImageView* m_pimgRVGraph = nullptr;
    ImageView* m_pimgCorrelationTemplate = nullptr;
    ImageView* m_pimgCorrelationDetail = nullptr;
    ImageView* m_pimgCorrelationFunction = nullptr;
    ImageView* m_pimgPeriodogram = nullptr;
    QScrollBar* m_pscbClipping = nullptr;
    std::array<std::vector<QLabel*>, 2> m_avStatusPanels;
};
