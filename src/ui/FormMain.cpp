#include "FormMain.h"

#include "FormHelp.h"
#include "FormImportConfig.h"
#include "FormInertialLineSelect.h"
#include "FormMiscSettings.h"
#include "FormCalibration.h"
#include "FormCC.h"
#include "FormConfigurePDM.h"
#include "FormObjectCoordinates.h"
#include "FormOrbitalElementRange.h"
#include "FormTimeStamp.h"
#include "FormSettings.h"
#include "ImageView.h"
#include "Prompts.h"
#include "ToolIcons.h"
#include "astro/JulianDateClass.h"
#include "core/CSVFileClass.h"
#include "core/FileHandle.h"
#include "core/NumberFormats.h"
#include "core/NumberText.h"
#include "orbit/PDMClass.h"
#include "orbit/RVCurveClass.h"
#include "lines/SliderValuesBrokerClass.h"
#include "core/UtilsClass.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <cmath>

namespace {

// The slider index an edit field names: its number rounded to the nearest whole one. Not a number
// (or not finite) gives nothing, and the command ends there, as for every invalid field.
std::optional<int> RoundedIndex(const QLineEdit* pEdit)
{
    double fValue = 0.0;
    try {
        fValue = TextToFloat(pEdit->text().toStdString());
    } catch (const EConvertError&) {
        return std::nullopt;
    }
    const double fIndex = std::floor(fValue + 0.5);
    if (!std::isfinite(fIndex)) {
        return std::nullopt;
    }
    return static_cast<int>(std::clamp(fIndex, -1e6, 1e6));
}

constexpr int kClipPageSize = 50;
constexpr int kSensitivityMaximum = 20;

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

TfrmMain::TfrmMain(const std::string& sSettingsFile, IPrompts& oPrompts, QWidget* pParent)
    : QMainWindow(pParent), m_oSettings(sSettingsFile), m_oPrompts(oPrompts)
{
    setObjectName("frmMain");
    setWindowTitle("Quandrel");
    setGeometry(125, 99, 882, 582);
    setMinimumSize(520, 400);

    CreateMenus();
    CreateContextMenu();

    auto* pCentral = new QWidget;
    auto* pLayout = new QVBoxLayout(pCentral);
    pLayout->setContentsMargins(4, 4, 4, 0);
    pLayout->setSpacing(2);
    pLayout->addWidget(CreateToolBar());
    auto* pSplitter = new QSplitter(Qt::Vertical);
    pSplitter->addWidget(CreateControlPanel());
    pSplitter->addWidget(CreatePlotPanel());
    pSplitter->setStretchFactor(0, 0);
    pSplitter->setStretchFactor(1, 1);
    pLayout->addWidget(pSplitter, 1);
    pLayout->addWidget(CreateStatusBar(0, {{100, "   wavelength"},
                                           {60, nullptr},
                                           {140, "observation time "},
                                           {75, nullptr},
                                           {65, nullptr},
                                           {50, "RA"},
                                           {50, nullptr},
                                           {50, "Decl."},
                                           {50, nullptr},
                                           {110, "inertial lines file"},
                                           {50, nullptr}}));
    pLayout->addWidget(CreateStatusBar(1, {{140, "   Topocentric correction"},
                                           {100, nullptr},
                                           {60, "    km / s"},
                                           {50, nullptr},
                                           {120, "    Calibration lines file"},
                                           {50, nullptr}}));
    setCentralWidget(pCentral);
}

TfrmMain::~TfrmMain() = default;

QAction* TfrmMain::AddItem(QMenu* pMenu, const char* pcCaption, const char* pcName, const char* pcShortcut)
{
    QAction* pAction = pMenu->addAction(QString::fromUtf8(pcCaption));
    pAction->setObjectName(QString::fromLatin1(pcName));
    if (pcShortcut != nullptr) {
        pAction->setShortcut(QKeySequence(QString::fromLatin1(pcShortcut)));
    }
    return pAction;
}

void TfrmMain::CreateMenus()
{
    QMenu* pProject = menuBar()->addMenu("&Project");
    pProject->setObjectName("mnuProject");
    connect(AddItem(pProject, "O&pen spectrum ...", "mniOpenSpectrum", "F2"), &QAction::triggered, this,
            &TfrmMain::mniOpenSpectrumClick);
    connect(AddItem(pProject, "Open &project ...", "mniOpenProject"), &QAction::triggered, this,
            &TfrmMain::mniOpenProjectClick);
    connect(AddItem(pProject, "&Save project ...", "mniSaveProject"), &QAction::triggered, this,
            &TfrmMain::mniSaveProjectClick);
    connect(AddItem(pProject, "&Close project", "mniCloseProject"), &QAction::triggered, this,
            &TfrmMain::mniClearMatrixClick);
    pProject->addSeparator();
    connect(AddItem(pProject, "&Open measurements", "mniImportMeasurements"), &QAction::triggered, this,
            &TfrmMain::mniImportMeasurementsClick);
    connect(AddItem(pProject, "Save &measurements ...", "mniDumpMeasurements"), &QAction::triggered, this,
            &TfrmMain::mniDumpMeasurementsClick);
    connect(AddItem(pProject, "Save &RV results", "mniExportResults"), &QAction::triggered, this,
            &TfrmMain::mniExportResultsClick);
    pProject->addSeparator();
    connect(AddItem(pProject, "Save chart as .&bmp ...", "mniSaveChart"), &QAction::triggered, this,
            &TfrmMain::mniSaveChartClick);
    connect(AddItem(pProject, "&Print spectrum", "mniPrintSpectrum"), &QAction::triggered, this,
            &TfrmMain::mniPrintSpectrumClick);
    pProject->addSeparator();
    connect(AddItem(pProject, "E&xit Quandrel (Alt+F4)", "mniExit"), &QAction::triggered, this, &QWidget::close);

    QMenu* pEdit = menuBar()->addMenu("&Edit");
    pEdit->setObjectName("mnuEdit");
    connect(AddItem(pEdit, "&Clear single row", "mniRemoveEvaluation1"), &QAction::triggered, this,
            &TfrmMain::mniRemoveEvaluationClick);
    connect(AddItem(pEdit, "Clear single &column", "mniRemoveSingleColumn1"), &QAction::triggered, this,
            &TfrmMain::mniRemoveSingleColumnClick);
    connect(AddItem(pEdit, "&Clear table of RV", "mniClearMatrix"), &QAction::triggered, this,
            &TfrmMain::mniClearMatrixClick);

    QMenu* pCalibration = menuBar()->addMenu("&Calibration");
    pCalibration->setObjectName("mnuCalibration");
    connect(AddItem(pCalibration, "Open &calibration lines file", "mniOpenCalibrationLines"), &QAction::triggered,
            this, &TfrmMain::mniOpenCalibrationLinesClick);
    connect(AddItem(pCalibration, "Sa&ve calibrated spectrum", "mniSaveCalibratedSpectrum"), &QAction::triggered, this,
            &TfrmMain::mniSaveCalibratedSpectrumClick);
    connect(AddItem(pCalibration, "&Clear reference lines", "mniClearReferenceLines"), &QAction::triggered, this,
            [this] { m_oCalibration.ClearCalibrationPoints(); });

    QMenu* pSettings = menuBar()->addMenu("&Settings");
    pSettings->setObjectName("mnuSettings");
    connect(AddItem(pSettings, "Observation &time ...", "mniTimeStamp2"), &QAction::triggered, this,
            &TfrmMain::mniTimeStampClick);
    connect(AddItem(pSettings, "&Object coordinates ...", "mniObjectCoordinates"), &QAction::triggered, this,
            &TfrmMain::mniObjectCoordinatesClick);
    connect(AddItem(pSettings, "O&bserver coordinates ...", "mniObserverCoordinates"), &QAction::triggered, this,
            &TfrmMain::mniObserverCoordinatesClick);
    connect(AddItem(pSettings, "&Misc settings ...", "mniMiscSettings"), &QAction::triggered, this,
            &TfrmMain::mniMiscSettingsClick);

    QMenu* pFit = menuBar()->addMenu("&Gaussian fit");
    pFit->setObjectName("mnuGaussianFit");
    connect(AddItem(pFit, "&Open lines file ...", "mniOpenLinesFile"), &QAction::triggered, this,
            &TfrmMain::mniOpenLinesFileClick);
    pFit->addSeparator();
    m_pmniIndicateReference = AddItem(pFit, "Indicate as &reference spectrum", "mniIndicateReference");
    m_pmniIndicateReference->setCheckable(true);
    connect(m_pmniIndicateReference, &QAction::triggered, this, [this] {
        if (m_pCurrentSpectrum != nullptr) {
            SetSpectrumKind(!m_pCurrentSpectrum->IsReferenceSpectrum(), m_pmniIndicateEmission->isChecked());
        }
    });
    m_pmniIndicateEmission = AddItem(pFit, "Indicate as &emission spectrum", "mniIndicateEmission");
    m_pmniIndicateEmission->setCheckable(true);
    connect(m_pmniIndicateEmission, &QAction::triggered, this, [this] {
        if (m_pCurrentSpectrum != nullptr) {
            SetSpectrumKind(m_pmniIndicateReference->isChecked(), !m_pCurrentSpectrum->IsEmissionSpectrum());
        }
    });
    pFit->addSeparator();
    connect(AddItem(pFit, "&Find spectral lines", "mniFindSpectralLines"), &QAction::triggered, this,
            &TfrmMain::mniFindSpectralLinesClick);
    connect(AddItem(pFit, "&Optimize fit", "mniOptimizeFit"), &QAction::triggered, this,
            &TfrmMain::mniOptimizeFitClick);
    connect(AddItem(pFit, "&Add to measurements", "mniAddToMatrix"), &QAction::triggered, this,
            &TfrmMain::btnAddMeasurementClick);

    QMenu* pCC = menuBar()->addMenu("C&ross correlation");
    pCC->setObjectName("mnuCrossCorrelation");
    connect(AddItem(pCC, "&Open template", "mniOpenCCTemplate", "F3"), &QAction::triggered, this,
            &TfrmMain::mniOpenCCTemplateClick);
    connect(AddItem(pCC, "O&pen parameters", "mniOpenCCParams", "F4"), &QAction::triggered, this,
            &TfrmMain::mniOpenCCParamsClick);
    connect(AddItem(pCC, "&New parameters", "mniNewCCParams"), &QAction::triggered, this,
            &TfrmMain::mniNewCCParamsClick);
    connect(AddItem(pCC, "Sa&ve parameters", "mniSaveCCParams"), &QAction::triggered, this,
            &TfrmMain::mniSaveCCParamsClick);
    connect(AddItem(pCC, "R&un", "mniRunCC", "F5"), &QAction::triggered, this, &TfrmMain::mniRunCCClick);
    for (const char* pcName : {"mniOpenCCParams", "mniSaveCCParams", "mniRunCC"}) {
        findChild<QAction*>(pcName)->setEnabled(false);
    }

    QMenu* pAnalysis = menuBar()->addMenu("&Analysis");
    pAnalysis->setObjectName("mnuAnalysis");
    connect(AddItem(pAnalysis, "&Calculate elements", "mniCalculateElements"), &QAction::triggered, this,
            &TfrmMain::mniCalculateElementsClick);
    connect(AddItem(pAnalysis, "E&xport elements", "mniExportElements"), &QAction::triggered, this,
            &TfrmMain::mniExportElementsClick);
    connect(AddItem(pAnalysis, "&Export residuals", "mniExportResiduals"), &QAction::triggered, this,
            &TfrmMain::mniExportResidualsClick);
    pAnalysis->addSeparator();
    connect(AddItem(pAnalysis, "Estimate &period (PDM)", "mniEstimatePeriod"), &QAction::triggered, this,
            &TfrmMain::mniEstimatePeriodClick);
    for (const char* pcName : {"mniCalculateElements", "mniExportElements", "mniExportResiduals", "mniEstimatePeriod"}) {
        findChild<QAction*>(pcName)->setEnabled(false);
    }

    QMenu* pHelp = menuBar()->addMenu("&Help");
    pHelp->setObjectName("mnuHelp");
    QAction* pManual = AddItem(pHelp, "&Manual (english)", "mniManual");
    pManual->setEnabled(false);
    connect(pManual, &QAction::triggered, this, [this] { OpenHelpDocument("Quandrel-Manual.pdf"); });
    connect(AddItem(pHelp, "&Handbuch (deutsch)", "mniHandbuch"), &QAction::triggered, this,
            [this] { OpenHelpDocument("Quandrel-Handbuch.pdf"); });
    QAction* pReference = AddItem(pHelp, "&Reference (english)", "mniReference");
    pReference->setEnabled(false);
    connect(pReference, &QAction::triggered, this, [this] { OpenHelpDocument("Quandrel-Reference.pdf"); });
    connect(AddItem(pHelp, "R&eferenz (deutsch)", "mniReferenz"), &QAction::triggered, this,
            [this] { OpenHelpDocument("Quandrel-Referenz.pdf"); });
    pHelp->addSeparator();
    connect(AddItem(pHelp, "&About Quandrel ...", "mniAbout"), &QAction::triggered, this, &TfrmMain::mniAboutClick);
}

void TfrmMain::CreateContextMenu()
{
    m_ppumSpectrum = new QMenu(this);
    m_ppumSpectrum->setObjectName("pumSpectrum");
    m_pmniRemoveSpectrum = AddItem(m_ppumSpectrum, "&Remove spectrum", "mniRemoveSpectrum");
    connect(m_pmniRemoveSpectrum, &QAction::triggered, this, &TfrmMain::mniRemoveSpectrumClick);
    m_pmniActivate = AddItem(m_ppumSpectrum, "&Activate", "mniActivate");
    m_pmniActivate->setVisible(false);
    m_pmniActivate->setEnabled(false);
    connect(m_pmniActivate, &QAction::triggered, this, &TfrmMain::lsbSpectraClick);
    m_ppumSpectrum->addSeparator();
    m_pmniIndicateReferencePopup = AddItem(m_ppumSpectrum, "&Indicate as reference", "mniIndicateReferencePopup");
    m_pmniIndicateReferencePopup->setCheckable(true);
    connect(m_pmniIndicateReferencePopup, &QAction::triggered, m_pmniIndicateReference, &QAction::trigger);
    m_pmniIndicateEmissionPopup = AddItem(m_ppumSpectrum, "Indicate as emission spectrum", "mniIndicateEmissionPopup");
    m_pmniIndicateEmissionPopup->setCheckable(true);
    connect(m_pmniIndicateEmissionPopup, &QAction::triggered, m_pmniIndicateEmission, &QAction::trigger);
    // Items of commands that are not built yet: present, but hidden or disabled.
    m_ppumSpectrum->addSeparator();
    connect(AddItem(m_ppumSpectrum, "Calibrate ...", "mniCalibrate"), &QAction::triggered, this,
            &TfrmMain::mniCalibrateClick);
    m_pmniIdentifyWithXX = AddItem(m_ppumSpectrum, "Identify with ", "mniIdentifyWithXX");
    connect(m_pmniIdentifyWithXX, &QAction::triggered, this, &TfrmMain::mniIdentifyWithXXClick);
    m_pmniIdentifyWith = AddItem(m_ppumSpectrum, "Identify with ...", "mniIdentifyWith");
    connect(m_pmniIdentifyWith, &QAction::triggered, this, &TfrmMain::mniIdentifyWithClick);
    m_pmniOptimizeFitPopup = AddItem(m_ppumSpectrum, "Optimize &Fit", "mniOptimizeFitPopup");
    connect(m_pmniOptimizeFitPopup, &QAction::triggered, this, &TfrmMain::mniOptimizeFitClick);
    connect(AddItem(m_ppumSpectrum, "&Observation time ...", "mniTimeStamp"), &QAction::triggered, this,
            &TfrmMain::mniTimeStampClick);
    connect(AddItem(m_ppumSpectrum, "Identify inertial line ...", "mniIdentifyInertialLine"), &QAction::triggered, this,
            &TfrmMain::mniIdentifyInertialLineClick);
    connect(AddItem(m_ppumSpectrum, "Remove from RV table", "mniRemoveFromMatrix"), &QAction::triggered, this,
            &TfrmMain::mniRemoveFromMatrixClick);
    // Hidden each time the menu opens; the commands work when invoked.
    const auto Hidden = [this](const char* pcCaption, const char* pcName) {
        QAction* pItem = AddItem(m_ppumSpectrum, pcCaption, pcName);
        pItem->setVisible(false);
        return pItem;
    };
    connect(Hidden("Combine with left neighbour", "mniCombineLeft"), &QAction::triggered, this,
            &TfrmMain::mniCombineLeftClick);
    connect(Hidden("Combine with right neighbour", "mniCombineRight"), &QAction::triggered, this,
            &TfrmMain::mniCombineRightClick);
    connect(Hidden("Uncombine neighbour", "mniUncombine"), &QAction::triggered, this, &TfrmMain::mniUncombineClick);
    connect(Hidden("Double Gaussian", "mniDoubleGaussian"), &QAction::triggered, this,
            [this] { mniGaussianTypeClick(true); });
    connect(Hidden("Single Gaussian", "mniSingleGaussian"), &QAction::triggered, this,
            [this] { mniGaussianTypeClick(false); });
    connect(m_ppumSpectrum, &QMenu::aboutToShow, this, &TfrmMain::PrepareContextMenu);
}

QWidget* TfrmMain::CreateToolBar()
{
    auto* pBar = new QWidget;
    pBar->setObjectName("pnlToolBar");
    auto* pLayout = new QHBoxLayout(pBar);
    pLayout->setContentsMargins(0, 0, 0, 0);
    const auto Button = [&](const char* pcName, const char* pcHint, EToolIcon eIcon) {
        auto* pButton = new QPushButton(MakeToolIcon(eIcon), QString());
        pButton->setObjectName(pcName);
        pButton->setToolTip(pcHint);
        pButton->setIconSize(QSize(24, 24));
        pLayout->addWidget(pButton);
        return pButton;
    };
    connect(Button("btnZoomIn", "Zoom in", EToolIcon::ZoomIn), &QPushButton::clicked, this,
            &TfrmMain::btnZoomInClick);
    connect(Button("btnZoomOut", "Zoom out", EToolIcon::ZoomOut), &QPushButton::clicked, this,
            &TfrmMain::btnZoomOutClick);
    connect(Button("btnGo", "Find spectral lines", EToolIcon::FindLines), &QPushButton::clicked, this,
            &TfrmMain::mniFindSpectralLinesClick);
    connect(Button("btnAddMeasurement", "Add measurement", EToolIcon::AddMeasurement), &QPushButton::clicked, this,
            &TfrmMain::btnAddMeasurementClick);

    m_pchbKeepYAxisFixed = new QCheckBox("keep Y axis scaling fixed");
    m_pchbKeepYAxisFixed->setObjectName("chbKeepYAxisFixed");
    m_pchbKeepYAxisFixed->setChecked(true);
    connect(m_pchbKeepYAxisFixed, &QCheckBox::clicked, this, &TfrmMain::chbKeepYAxisFixedClick);
    m_pchbPhasePlot = new QCheckBox("Phase plot");
    m_pchbPhasePlot->setObjectName("chbPhasePlot");
    m_pchbPhasePlot->setEnabled(false);
    connect(m_pchbPhasePlot, &QCheckBox::clicked, this, &TfrmMain::DrawRVGraph);
    m_pchbReferenceSpectrum = new QCheckBox("Reference spectrum");
    m_pchbReferenceSpectrum->setObjectName("chbReferenceSpectrum");
    m_pchbEmissionSpectrum = new QCheckBox("Emission spectrum");
    m_pchbEmissionSpectrum->setObjectName("chbEmissionSpectrum");
    for (QCheckBox* pBox : {m_pchbReferenceSpectrum, m_pchbEmissionSpectrum}) {
        connect(pBox, &QCheckBox::clicked, this, [this] {
            if (!m_bKindSyncGuard) {
                SetSpectrumKind(m_pchbReferenceSpectrum->isChecked(), m_pchbEmissionSpectrum->isChecked());
            }
        });
    }
    for (QCheckBox* pBox : {m_pchbKeepYAxisFixed, m_pchbPhasePlot, m_pchbReferenceSpectrum, m_pchbEmissionSpectrum}) {
        pLayout->addWidget(pBox);
    }
    pLayout->addStretch();
    return pBar;
}

QWidget* TfrmMain::CreateControlPanel()
{
    auto* pPanel = new QWidget;
    pPanel->setObjectName("pnlControl");
    auto* pLayout = new QHBoxLayout(pPanel);
    pLayout->setContentsMargins(0, 0, 0, 0);

    auto* pgrbFitting = new QGroupBox("  fitting parameters  ");
    pgrbFitting->setObjectName("grbFittingParameters");
    auto* pFitLayout = new QGridLayout(pgrbFitting);
    const auto Slider = [](const char* pcName, int lMaximum, int lTicks) {
        auto* pSlider = new QSlider(Qt::Vertical);
        pSlider->setObjectName(pcName);
        pSlider->setRange(0, lMaximum);
        pSlider->setTickInterval(lTicks);
        pSlider->setTickPosition(QSlider::TicksRight);
        // Position 0 at the top, as the index rule (index = maximum - position) expects.
        pSlider->setInvertedAppearance(true);
        pSlider->setInvertedControls(true);
        return pSlider;
    };
    const auto Edit = [this](const char* pcName) {
        auto* pEdit = new QLineEdit;
        pEdit->setObjectName(pcName);
        pEdit->setMaximumWidth(48);
        pEdit->installEventFilter(this);
        return pEdit;
    };
    m_ptrbWidth = Slider("trbWidth", 200, 10);
    m_ptrbSensitivity = Slider("trbSensitivity", CSliderValuesBroker::kSensitivityMax, 1);
    m_ptrbOptLevel = Slider("trbOptLevel", 100, 5);
    m_pedWidth = Edit("edWidth");
    m_pedSensitivity = Edit("edSensitivity");
    m_pedLevel = Edit("edLevel");
    for (QSlider* pSlider : {m_ptrbWidth, m_ptrbSensitivity, m_ptrbOptLevel}) {
        pSlider->installEventFilter(this);
    }
    m_pchbOptLevel = new QCheckBox("Opt. fit");
    m_pchbOptLevel->setObjectName("chbOptLevel");
    m_ptrbOptLevel->setEnabled(false);
    m_pedLevel->setEnabled(false);
    pFitLayout->addWidget(new QLabel("Width"), 0, 0);
    pFitLayout->addWidget(new QLabel("Sensitivity"), 0, 1);
    pFitLayout->addWidget(m_pchbOptLevel, 0, 2);
    pFitLayout->addWidget(m_ptrbWidth, 1, 0, Qt::AlignHCenter);
    pFitLayout->addWidget(m_ptrbSensitivity, 1, 1, Qt::AlignHCenter);
    pFitLayout->addWidget(m_ptrbOptLevel, 1, 2, Qt::AlignHCenter);
    pFitLayout->addWidget(m_pedWidth, 2, 0);
    pFitLayout->addWidget(m_pedSensitivity, 2, 1);
    pFitLayout->addWidget(m_pedLevel, 2, 2);
    connect(m_ptrbWidth, &QSlider::valueChanged, this, &TfrmMain::trbWidthChange);
    connect(m_pedWidth, &QLineEdit::textChanged, this, &TfrmMain::edWidthChange);
    connect(m_ptrbSensitivity, &QSlider::valueChanged, this, &TfrmMain::trbSensitivityChange);
    connect(m_pedSensitivity, &QLineEdit::editingFinished, this, &TfrmMain::edSensitivityExit);
    connect(m_pchbOptLevel, &QCheckBox::clicked, this, &TfrmMain::OptLevelChange);
    connect(m_ptrbOptLevel, &QSlider::valueChanged, this, &TfrmMain::OptLevelChange);
    connect(m_pedLevel, &QLineEdit::editingFinished, this, &TfrmMain::edLevelExit);
    pLayout->addWidget(pgrbFitting);

    auto* pgrbSpectra = new QGroupBox("  loaded spectra  ");
    pgrbSpectra->setObjectName("grbLoadedSpectra");
    auto* pSpectraLayout = new QVBoxLayout(pgrbSpectra);
    m_plsbSpectra = new QListWidget;
    m_plsbSpectra->setObjectName("lsbSpectra");
    m_plsbSpectra->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_plsbSpectra->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_plsbSpectra, &QListWidget::itemClicked, this, &TfrmMain::lsbSpectraClick);
    connect(m_plsbSpectra, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& oPos) { m_ppumSpectrum->popup(m_plsbSpectra->mapToGlobal(oPos)); });
    pSpectraLayout->addWidget(m_plsbSpectra);
    pLayout->addWidget(pgrbSpectra);

    auto* ppgcTables = new QTabWidget;
    ppgcTables->setObjectName("pgcTables");
    m_ppgcTables = ppgcTables;
    m_plsbSpectralLines = new QListWidget;
    m_plsbSpectralLines->setObjectName("lsbSpectralLines");
    ppgcTables->addTab(m_plsbSpectralLines, "Spectral lines");
    m_pstgMatrix = new QTableWidget(3, 8);
    m_pstgMatrix->setObjectName("stgMatrix");
    m_pstgMatrix->horizontalHeader()->hide();
    m_pstgMatrix->verticalHeader()->hide();
    m_pstgMatrix->horizontalHeader()->setDefaultSectionSize(80);
    m_pstgMatrix->verticalHeader()->setDefaultSectionSize(18);
    m_pstgMatrix->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pstgMatrix->setContextMenuPolicy(Qt::ActionsContextMenu);
    {
        // The grid's own menu, in this order.
        const auto GridItem = [this](const char* pcCaption, const char* pcName) {
            auto* pItem = new QAction(pcCaption, m_pstgMatrix);
            pItem->setObjectName(pcName);
            m_pstgMatrix->addAction(pItem);
            return pItem;
        };
        QAction* pmniSpecifyObjectCoordinates = GridItem("&Object coordinates ...", "mniSpecifyObjectCoordinates");
        pmniSpecifyObjectCoordinates->setVisible(false);
        pmniSpecifyObjectCoordinates->setEnabled(false);
        connect(pmniSpecifyObjectCoordinates, &QAction::triggered, this, &TfrmMain::mniObjectCoordinatesClick);
        connect(GridItem("Clear s&ingle cell", "mniClearSingleCell"), &QAction::triggered, this,
                &TfrmMain::mniClearSingleCellClick);
        connect(GridItem("&Clear single row", "mniRemoveEvaluation"), &QAction::triggered, this,
                &TfrmMain::mniRemoveEvaluationClick);
        connect(GridItem("Clear single &column", "mniRemoveSingleColumn"), &QAction::triggered, this,
                &TfrmMain::mniRemoveSingleColumnClick);
        connect(GridItem("Clear table of &RV", "mniClearMatrix2"), &QAction::triggered, this,
                &TfrmMain::mniClearMatrixClick);
    }
    ppgcTables->addTab(m_pstgMatrix, "Table of radial velocities");
    const auto Grid = [](const char* pcName, int lRows, int lColumns) {
        auto* pGrid = new QTableWidget(lRows, lColumns);
        pGrid->setObjectName(pcName);
        pGrid->horizontalHeader()->hide();
        pGrid->verticalHeader()->hide();
        pGrid->verticalHeader()->setDefaultSectionSize(18);
        pGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return pGrid;
    };
    auto* pElements = new QWidget;
    auto* pElementsLayout = new QHBoxLayout(pElements);
    m_pstgOrbitalElements1 = Grid("stgOrbitalElements1", 6, 2);
    m_pstgOrbitalElements2 = Grid("stgOrbitalElements2", 4, 2);
    pElementsLayout->addWidget(m_pstgOrbitalElements1);
    pElementsLayout->addWidget(m_pstgOrbitalElements2);
    ppgcTables->addTab(pElements, "Orbital elements");
    m_pstgResiduals = Grid("stgResiduals", 2, 4);
    ppgcTables->addTab(m_pstgResiduals, "RV values && Residuals");
    pLayout->addWidget(ppgcTables, 1);
    return pPanel;
}

QWidget* TfrmMain::CreatePlotPanel()
{
    m_ppgcPlots = new QTabWidget;
    m_ppgcPlots->setObjectName("pgcPlots");

    auto* ppnlSpectrum = new QWidget;
    ppnlSpectrum->setObjectName("pnlSpectrum");
    auto* pLayout = new QVBoxLayout(ppnlSpectrum);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    m_pimgSpectrum = new CImageView(m_oSpectrumCanvas);
    m_pimgSpectrum->setObjectName("imgSpectrum");
    connect(m_pimgSpectrum, &CImageView::Resized, this, &TfrmMain::RedrawSpectrum);
    connect(m_pimgSpectrum, &CImageView::MouseReleased, this, &TfrmMain::imgSpectrumMouseUp);
    connect(m_pimgSpectrum, &CImageView::ContextMenuWanted, this,
            [this](const QPoint& oPos) { m_ppumSpectrum->popup(m_pimgSpectrum->mapToGlobal(oPos)); });
    m_pscbClipping = new QScrollBar(Qt::Horizontal);
    m_pscbClipping->setObjectName("scbClipping");
    m_pscbClipping->setRange(1, kClipMaximum);
    m_pscbClipping->setPageStep(kClipPageSize);
    m_pscbClipping->setSingleStep(10);
    m_pscbClipping->setValue(475);
    connect(m_pscbClipping, &QScrollBar::valueChanged, this, &TfrmMain::scbClippingChange);
    pLayout->addWidget(m_pimgSpectrum, 1);
    pLayout->addWidget(m_pscbClipping);
    m_ppgcPlots->addTab(ppnlSpectrum, " Spectrum ");

    m_pimgRVGraph = new CImageView(m_oRVGraphCanvas);
    m_pimgRVGraph->setObjectName("imgRVGraph");
    connect(m_pimgRVGraph, &CImageView::Resized, this, [this] {
        if (m_ppgcPlots->currentIndex() == 1) {
            DrawRVGraph();
        }
    });
    m_ppgcPlots->addTab(m_pimgRVGraph, " Radial velocity graph ");
    connect(m_ppgcPlots, &QTabWidget::currentChanged, this, [this](int lIndex) {
        if (lIndex == 1) {
            UpdateCommandStates();
            DrawRVGraph();
        } else if (lIndex >= 2) {
            RedrawCCPages();
        }
    });
    const auto Page = [this](CQtCanvas& oCanvas, const char* pcName, const char* pcCaption) {
        auto* pView = new CImageView(oCanvas);
        pView->setObjectName(pcName);
        connect(pView, &CImageView::Resized, this, &TfrmMain::RedrawCCPages);
        m_ppgcPlots->addTab(pView, pcCaption);
        return pView;
    };
    m_pimgCCTemplate = Page(m_oCCTemplateCanvas, "imgCCTemplate", " CC Template ");
    m_pimgCCDetail = Page(m_oCCDetailCanvas, "imgCCDetail", " CC Detail ");
    m_pimgCCFunction = Page(m_oCCFunctionCanvas, "imgCCFunction", " CC Function ");
    return m_ppgcPlots;
}

QWidget* TfrmMain::CreateStatusBar(int lBar, const std::vector<std::pair<int, const char*>>& vPanels)
{
    auto* pBar = new QWidget;
    pBar->setObjectName(lBar == 0 ? "stbMain" : "stbSecond");
    auto* pLayout = new QHBoxLayout(pBar);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(2);
    for (std::size_t i = 0; i < vPanels.size(); ++i) {
        auto* pPanel = new QLabel;
        pPanel->setObjectName(QString("pnlStatus%1_%2").arg(lBar).arg(i));
        pPanel->setMinimumWidth(vPanels[i].first);
        if (vPanels[i].second != nullptr) {
            // Fixed texts, right-aligned without bevel.
            pPanel->setText(vPanels[i].second);
            pPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        } else {
            pPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        }
        pLayout->addWidget(pPanel, i + 1 == vPanels.size() ? 1 : 0);
        m_avStatusPanels[static_cast<std::size_t>(lBar)].push_back(pPanel);
    }
    return pBar;
}

void TfrmMain::SetStatusText(int lBar, int lPanel, const QString& sText)
{
    m_avStatusPanels.at(static_cast<std::size_t>(lBar)).at(static_cast<std::size_t>(lPanel))->setText(sText);
}

QString TfrmMain::StatusText(int lBar, int lPanel) const
{
    return m_avStatusPanels.at(static_cast<std::size_t>(lBar)).at(static_cast<std::size_t>(lPanel))->text();
}

void TfrmMain::CreateDialogs()
{
    // In the program's order; the dialogs of commands not built yet come with them.
    m_pfrmImportConfig = new TfrmImportConfig(m_oSettings, this);
    m_pfrmSettings = new TfrmSettings(m_oSettings, this);
    m_pfrmInertialLineSelect = new TfrmInertialLineSelect(this);
    m_pfrmTimeStamp = new TfrmTimeStamp(m_oSettings, this);
    m_pfrmHelp = new TfrmHelp(this);
    m_pfrmObjectCoordinates = new TfrmObjectCoordinates(this);
    m_pfrmOrbitalElementRange = new TfrmOrbitalElementRange(m_oSettings, m_oPrompts, this);
    m_pfrmCC = new TfrmCC(m_oSettings, m_oCrossCorrelation, this);
    m_pfrmConfigurePDM = new TfrmConfigurePDM(this);
    m_pfrmMiscSettings = new TfrmMiscSettings(m_oSettings, this);
    m_pfrmCalibration = new TfrmCalibration(m_oSettings, m_oPrompts, this);
    m_pfrmCalibration->SetSpectrumChanged([this] {
        if (m_pCurrentSpectrum != nullptr) {
            ShowSpectrum(m_pCurrentSpectrum, m_oSpectrumCanvas, true);
        }
    });
}

std::string TfrmMain::ReadPathSetting(const std::string& sSection, const std::string& sKey) const
{
    const std::string sPath = m_oSettings.ReadString(sSection, sKey, ".");
    if (sKey == "InertialLinesFilePath" && sPath == ".") {
        return "LinesX.txt";
    }
    return sPath;
}

void TfrmMain::WritePathSetting(const std::string& sSection, const std::string& sKey, const std::string& sText)
{
    m_oSettings.WriteString(sSection, sKey, sText);
}

void TfrmMain::showEvent(QShowEvent* pEvent)
{
    QMainWindow::showEvent(pEvent);
    if (m_bShownOnce) {
        return;
    }
    m_bShownOnce = true;
    ReadWindowSettings();
    LoadInertialLinesAtStartUp();
    LoadCalibrationLinesAtStartUp();
    SetStatusText(0, 10, Q(ExtractFileName(ReadPathSetting("Paths", "InertialLinesFilePath"))));
    setWindowTitle(QString("Quandrel ") + kVersion);
    RefreshTable();
    UpdateCommandStates();
}

void TfrmMain::ReadWindowSettings()
{
    const QRect oNow = geometry();
    const int lTop = m_oSettings.ReadInteger("FormSettings", "Top", oNow.top());
    const int lLeft = m_oSettings.ReadInteger("FormSettings", "Left", oNow.left());
    const int lHeight = m_oSettings.ReadInteger("FormSettings", "Height", oNow.height());
    const int lWidth = m_oSettings.ReadInteger("FormSettings", "Width", oNow.width());
    setGeometry(lLeft, lTop, std::max(lWidth, minimumWidth()), std::max(lHeight, minimumHeight()));
    const int lWidthMaximum = m_oSettings.ReadInteger("ExtremaDeterminationSettings", "MaxIntervallWidth", 20);
    // A slider needs at least two positions.
    SetWidthMaximum(lWidthMaximum >= 1 ? lWidthMaximum : 20);
    m_ptrbSensitivity->setValue(m_oSettings.ReadInteger("ExtremaDeterminationSettings", "Sensitivity", 0));
    m_ptrbWidth->setValue(m_oSettings.ReadInteger("ExtremaDeterminationSettings", "IntervallWidth", 0));
    m_pchbKeepYAxisFixed->setChecked(m_oSettings.ReadBool("GraphicsSettings", "KeepYAxisFixed", true));
}

void TfrmMain::WriteWindowSettings()
{
    const QRect oNow = geometry();
    m_oSettings.WriteInteger("FormSettings", "Top", oNow.top());
    m_oSettings.WriteInteger("FormSettings", "Left", oNow.left());
    m_oSettings.WriteInteger("FormSettings", "Height", oNow.height());
    m_oSettings.WriteInteger("FormSettings", "Width", oNow.width());
    m_oSettings.WriteInteger("ExtremaDeterminationSettings", "IntervallWidth", m_ptrbWidth->value());
    m_oSettings.WriteInteger("ExtremaDeterminationSettings", "MaxIntervallWidth", m_ptrbWidth->maximum());
    m_oSettings.WriteInteger("ExtremaDeterminationSettings", "Sensitivity", m_ptrbSensitivity->value());
    m_oSettings.WriteBool("GraphicsSettings", "KeepYAxisFixed", m_pchbKeepYAxisFixed->isChecked());
}

void TfrmMain::closeEvent(QCloseEvent* pEvent)
{
    // Unsaved rows the user wants to keep stop the closing before anything is given up.
    if (!AskToSaveTable()) {
        pEvent->ignore();
        return;
    }
    WriteWindowSettings();
    m_plsbSpectra->clear();
    m_pCurrentSpectrum = nullptr;
    while (!m_oSpectrumContainer.IsEmpty()) {
        m_oSpectrumContainer.RemoveSpectrum(m_oSpectrumContainer.GetSpectrumCount() - 1);
    }
    pEvent->accept();
}

void TfrmMain::SetWidthMaximum(int lMaximum)
{
    m_ptrbWidth->setMaximum(lMaximum);
    m_ptrbWidth->setTickInterval(std::max(lMaximum / 20, 1));
}

void TfrmMain::UpdateCommandStates()
{
    findChild<QAction*>("mniRunCC")
        ->setEnabled(m_oCrossCorrelation.AreParametersSet() && m_pCurrentSpectrum != nullptr && m_pCCTemplate);
    findChild<QAction*>("mniSaveCCParams")->setEnabled(m_oCrossCorrelation.AreParametersSet());
    findChild<QAction*>("mniOpenCCParams")->setEnabled(m_pCCTemplate != nullptr);
    const bool bFitted = m_oOrbitalElements.IsOptimized();
    findChild<QAction*>("mniExportElements")->setEnabled(bFitted);
    findChild<QAction*>("mniExportResiduals")->setEnabled(bFitted);
    m_pchbPhasePlot->setEnabled(bFitted);
    findChild<QAction*>("mniEstimatePeriod")->setEnabled(m_oOrbitalElements.GetData().GetArraySize() > 10);
    findChild<QAction*>("mniCalculateElements")
        ->setEnabled(!m_oMatrix.Rows().empty() || m_oOrbitalElements.GetNumberParameters() != 0);
    ShowResiduals();
    SyncSpectrumKindControls();
    findChild<QAction*>("mniTimeStamp2")->setEnabled(m_pCurrentSpectrum != nullptr);
    SetStatusText(1, 5, Q(ExtractFileName(ReadPathSetting("Paths", "CalibrationFilePath"))));
}

void TfrmMain::SetSpectrumKind(bool bReference, bool bEmission)
{
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    m_pCurrentSpectrum->SetReferenceSpectrum(bReference);
    m_pCurrentSpectrum->SetEmissionSpectrum(bEmission);
    SyncSpectrumKindControls();
}

void TfrmMain::SyncSpectrumKindControls()
{
    const bool bHave = m_pCurrentSpectrum != nullptr;
    for (QAction* pItem : {m_pmniIndicateReference, m_pmniIndicateEmission, m_pmniIndicateReferencePopup,
                           m_pmniIndicateEmissionPopup}) {
        pItem->setEnabled(bHave);
    }
    m_pchbReferenceSpectrum->setEnabled(bHave);
    m_pchbEmissionSpectrum->setEnabled(bHave);
    if (!bHave) {
        return;
    }
    m_bKindSyncGuard = true;
    const bool bReference = m_pCurrentSpectrum->IsReferenceSpectrum();
    const bool bEmission = m_pCurrentSpectrum->IsEmissionSpectrum();
    m_pmniIndicateReference->setChecked(bReference);
    m_pmniIndicateReferencePopup->setChecked(bReference);
    m_pchbReferenceSpectrum->setChecked(bReference);
    m_pmniIndicateEmission->setChecked(bEmission);
    m_pmniIndicateEmissionPopup->setChecked(bEmission);
    m_pchbEmissionSpectrum->setChecked(bEmission);
    m_bKindSyncGuard = false;
}

void TfrmMain::PrepareContextMenu()
{
    const bool bHave = m_pCurrentSpectrum != nullptr;
    m_pmniRemoveSpectrum->setVisible(bHave);
    m_pmniRemoveSpectrum->setEnabled(bHave);
    m_pmniIndicateReferencePopup->setEnabled(bHave);
    m_pmniIndicateEmissionPopup->setEnabled(bHave);
    m_pmniIndicateReferencePopup->setChecked(bHave && m_pCurrentSpectrum->IsReferenceSpectrum());
    m_pmniIndicateEmissionPopup->setChecked(bHave && m_pCurrentSpectrum->IsEmissionSpectrum());

    const int32_t lActive = bHave ? m_pCurrentSpectrum->GetActiveLineIndex() : -2;
    const bool bIdentify = bHave && m_pCurrentSpectrum->GetSpectralLineCount() > 0 && lActive >= 0 &&
                           !m_pCurrentSpectrum->IsReferenceSpectrum();
    QString sCaption = "Identify with ";
    int32_t lIndex = 0;
    double fWavelength = 0.0;
    std::string sName;
    if (lActive >= 0 &&
        m_oMatrix.InertialLines().FindNearestLine(m_pCurrentSpectrum->GetLineCenter(lActive), lIndex, fWavelength, &sName)) {
        sCaption += Q(sName + " (" + FloatToText(fWavelength) + ")");
    }
    m_pmniIdentifyWithXX->setText(sCaption);
    m_pmniIdentifyWithXX->setEnabled(bIdentify);
    m_pmniIdentifyWith->setEnabled(bIdentify);
    m_pmniOptimizeFitPopup->setEnabled(bIdentify && m_pchbOptLevel->isChecked());
    findChild<QAction*>("mniCalibrate")
        ->setVisible(bHave && !m_pCurrentSpectrum->IsReferenceSpectrum() &&
                     m_oCalibration.GetCalibrationPointCount() > 0);
    findChild<QAction*>("mniIdentifyInertialLine")
        ->setVisible(bHave && m_pCurrentSpectrum->IsReferenceSpectrum() &&
                     m_pCurrentSpectrum->GetSpectralLineCount() > 0 && lActive >= 0);
    QAction* pmniTimeStamp = findChild<QAction*>("mniTimeStamp");
    pmniTimeStamp->setEnabled(bHave);
    findChild<QAction*>("mniTimeStamp2")->setEnabled(bHave);
    findChild<QAction*>("mniRemoveFromMatrix")->setVisible(m_oMatrix.ContainsSpectrum(m_pCurrentSpectrum));
    for (const char* pcHidden : {"mniCombineLeft", "mniCombineRight", "mniUncombine", "mniDoubleGaussian",
                                 "mniSingleGaussian"}) {
        findChild<QAction*>(pcHidden)->setVisible(false);
    }
}

void TfrmMain::ShowSpectrum(CSpectrum* pSpectrum, CQtCanvas& oCanvas, bool bReload)
{
    CImageView* pView = ViewOf(oCanvas);
    oCanvas.Resize(pView->width(), pView->height());
    oCanvas.Clear(SRgb{255, 255, 255});
    if (pSpectrum != nullptr) {
        if (bReload) {
            const int32_t lCount = pSpectrum->GetNumberValues();
            // Room for one value at least: a spectrum of no values still gets (empty) plot arrays.
            std::vector<double> vWavelength(static_cast<std::size_t>(std::max(lCount, 1)));
            std::vector<double> vIntensity(vWavelength.size());
            pSpectrum->GetValues(lCount, vWavelength.data(), vIntensity.data());
            pSpectrum->SetData(lCount, vWavelength.data(), vIntensity.data());
        }
        pSpectrum->Draw(oCanvas.GetHeight(), oCanvas.GetWidth());
    }
    oCanvas.Image();
    pView->update();
}

CImageView* TfrmMain::ViewOf(const CQtCanvas& oCanvas) const
{
    for (CImageView* pView : {m_pimgSpectrum, m_pimgRVGraph, m_pimgCCTemplate, m_pimgCCDetail, m_pimgCCFunction}) {
        if (&pView->Canvas() == &oCanvas) {
            return pView;
        }
    }
    return m_pimgSpectrum;
}

void TfrmMain::RedrawCCPages()
{
    if (m_pCCTemplate) {
        ShowSpectrum(m_pCCTemplate.get(), m_oCCTemplateCanvas, true);
    }
    if (m_pCCFunction) {
        ShowSpectrum(m_pCCFunction.get(), m_oCCFunctionCanvas, true);
    }
    if (m_pCCDetail && m_ppgcPlots->currentIndex() == 3) {
        ShowSpectrum(m_pCCDetail.get(), m_oCCDetailCanvas, true);
    }
}

void TfrmMain::RedrawSpectrum()
{
    ShowSpectrum(m_pCurrentSpectrum, m_oSpectrumCanvas, false);
}

QImage TfrmMain::ChartBitmap()
{
    // The image of the page that is showing; on the correlation pages that page's plot.
    switch (m_ppgcPlots->currentIndex()) {
    case 1: return m_oRVGraphCanvas.Image();
    case 2: return m_oCCTemplateCanvas.Image();
    case 3: return m_oCCDetailCanvas.Image();
    case 4: return m_oCCFunctionCanvas.Image();
    default: return m_oSpectrumCanvas.Image();
    }
}

void TfrmMain::StoreClipping()
{
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    int32_t lStart = 0;
    int32_t lCount = 0;
    m_pCurrentSpectrum->GetZoom(lStart, lCount);
    m_pCurrentSpectrum->SetClipping(m_pscbClipping->pageStep(), m_pscbClipping->value(), lStart, lCount);
}

void TfrmMain::MakeCurrent(CSpectrum* pSpectrum)
{
    m_pCurrentSpectrum = pSpectrum;
    if (pSpectrum != nullptr) {
        int32_t lPageSize = 0;
        int32_t lPosition = 0;
        int32_t lStart = 0;
        int32_t lCount = 0;
        pSpectrum->GetClipping(lPageSize, lPosition, lStart, lCount);
        // The stored position belongs to this spectrum's stored window: no scrolling on the way.
        m_pscbClipping->blockSignals(true);
        m_pscbClipping->setValue(lPosition);
        m_pscbClipping->blockSignals(false);
        pSpectrum->SetZoom(lStart, lCount);
        pSpectrum->ComputeRange();
    }
    RedrawSpectrum();
}

std::unique_ptr<CSpectrum> TfrmMain::ImportSpectrum(const char* pcTitle, const char* pcPathKey, CQtCanvas& oCanvas,
                                                    std::string& sFile)
{
    SFileDialog oDialog;
    oDialog.sTitle = pcTitle;
    oDialog.sFilter = "All files (*.*)|*.*";
    oDialog.sInitialDirectory = ReadPathSetting("Paths", pcPathKey);
    const auto sChosen = m_oPrompts.OpenFile(oDialog);
    if (!sChosen) {
        return nullptr;
    }
    sFile = *sChosen;
    CCSVFile oReader;
    auto pSpectrum = std::make_unique<CSpectrum>(&oCanvas);
    m_pfrmImportConfig->SetImportTarget(&oReader, sFile, pSpectrum.get());
    m_pfrmImportConfig->exec();
    m_pfrmImportConfig->SetImportTarget(nullptr, std::string(), nullptr);
    if (m_pfrmImportConfig->IsCancelled()) {
        return nullptr;
    }
    pSpectrum->SetKeepYAxisFixed(m_oSettings.ReadBool("GraphicsSettings", "KeepYAxisFixed", true));
    return pSpectrum;
}

void TfrmMain::mniOpenSpectrumClick()
{
    std::string sChosen;
    auto pSpectrum = ImportSpectrum("Load spectrum", "SpectraPath", m_oSpectrumCanvas, sChosen);
    if (!pSpectrum) {
        return;
    }
    StoreClipping();
    CSpectrum* pNew = pSpectrum.get();
    m_pCurrentSpectrum = pNew;
    ShowSpectrum(pNew, m_oSpectrumCanvas, true);
    m_oSpectrumContainer.AddSpectrum(std::move(pSpectrum));
    m_plsbSpectra->addItem(Q(ExtractFileName(sChosen)));
    m_plsbSpectra->clearSelection();
    m_plsbSpectra->setCurrentRow(m_plsbSpectra->count() - 1);
    WritePathSetting("Paths", "SpectraPath", ExtractDirectory(sChosen));
    pNew->SetClipping(m_pscbClipping->pageStep(), m_pscbClipping->value(), 0, pNew->GetNumberValues());
    RefreshSpectralLineList();
    RefreshTimeDisplay();
    UpdateCommandStates();
}

void TfrmMain::lsbSpectraClick()
{
    const QList<QListWidgetItem*> vSelected = m_plsbSpectra->selectedItems();
    if (vSelected.size() != 1) {
        return;
    }
    bool bFound = false;
    CSpectrum* pSpectrum = m_oSpectrumContainer.GetSpectrum(m_plsbSpectra->row(vSelected.front()), bFound);
    if (!bFound) {
        return;
    }
    StoreClipping();
    MakeCurrent(pSpectrum);
    RefreshSpectralLineList();
    RefreshTimeDisplay();
    UpdateCommandStates();
}

void TfrmMain::mniRemoveSpectrumClick()
{
    RemoveSelectedSpectra();
    bool bFound = false;
    CSpectrum* pFirst = m_oSpectrumContainer.GetSpectrum(0, bFound);
    m_pCurrentSpectrum = pFirst;
    if (pFirst != nullptr) {
        m_plsbSpectra->setCurrentRow(0);
    }
    RedrawSpectrum();
    RefreshSpectralLineList();
    UpdateCommandStates();
}

void TfrmMain::btnZoomInClick()
{
    Zoom(true);
}

void TfrmMain::btnZoomOutClick()
{
    Zoom(false);
}

void TfrmMain::Zoom(bool bIn)
{
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    int32_t lPosition = 0;
    const bool bMoved = bIn ? m_pCurrentSpectrum->ZoomIn(kClipMaximum, lPosition)
                            : m_pCurrentSpectrum->ZoomOut(kClipMaximum, lPosition);
    if (bMoved) {
        m_pscbClipping->setValue(lPosition);
    }
    m_pCurrentSpectrum->ComputeRange();
    RedrawSpectrum();
}

void TfrmMain::scbClippingChange(int lPosition)
{
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    m_pCurrentSpectrum->ScrollTo(kClipMaximum, lPosition);
    m_pCurrentSpectrum->ComputeRange();
    RedrawSpectrum();
}

void TfrmMain::chbKeepYAxisFixedClick()
{
    const bool bKeep = m_pchbKeepYAxisFixed->isChecked();
    m_oSettings.WriteBool("GraphicsSettings", "KeepYAxisFixed", bKeep);
    if (m_pCurrentSpectrum != nullptr) {
        m_pCurrentSpectrum->SetKeepYAxisFixed(bKeep);
        m_pCurrentSpectrum->ComputeRange();
        RedrawSpectrum();
    }
}

void TfrmMain::mniSaveChartClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Save spectrum as bitmap";
    oDialog.sFilter = "Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*";
    oDialog.sDefaultExtension = "*.bmp";
    oDialog.bOverwritePrompt = true;
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "BitmapPath");
    const auto sFile = m_oPrompts.SaveFile(oDialog);
    if (!sFile) {
        return;
    }
    if (!ChartBitmap().save(Q(*sFile), "BMP")) {
        m_oPrompts.Message("Error!", "Unable to write the bitmap file " + *sFile + "!", EIcon::Warning, EButtons::Ok);
        return;
    }
    WritePathSetting("Paths", "BitmapPath", ExtractDirectory(*sFile));
}

void TfrmMain::mniPrintSpectrumClick()
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        m_oPrompts.Message("Error!", "No printer is installed.", EIcon::Warning, EButtons::Ok);
        return;
    }
    QPrinter oPrinter(QPrinterInfo::defaultPrinter());
    QPainter oPainter;
    if (!oPainter.begin(&oPrinter)) {
        m_oPrompts.Message("Error!", "The printer could not be started.", EIcon::Warning, EButtons::Ok);
        return;
    }
    const QRect oPage = oPainter.viewport();
    oPainter.drawImage(QRect(0, 0, oPage.width(), oPage.height() / 2), ChartBitmap());
    oPainter.end();
}

void TfrmMain::mniObserverCoordinatesClick()
{
    m_pfrmSettings->exec();
    m_oMatrix.SetObserverCoordinates(m_oSettings.ReadFloat("GeographicCoordinates", "LongDeg", 9.0),
                                     m_oSettings.ReadFloat("GeographicCoordinates", "LongMin", 0.0),
                                     m_oSettings.ReadFloat("GeographicCoordinates", "LatDeg", 52.0),
                                     m_oSettings.ReadFloat("GeographicCoordinates", "LatMin", 0.0));
    RefreshCorrectionDisplay();
    if (m_pCurrentSpectrum != nullptr) {
        RedrawSpectrum();
    }
}

void TfrmMain::mniMiscSettingsClick()
{
    m_pfrmMiscSettings->SetMaxWidth(m_ptrbWidth->maximum());
    if (m_pfrmMiscSettings->exec() == QDialog::Accepted) {
        SetWidthMaximum(m_pfrmMiscSettings->GetMaxWidth());
    }
}

void TfrmMain::mniAboutClick()
{
    m_pfrmHelp->exec();
}

void TfrmMain::OpenHelpDocument(const char* pcDocument)
{
    m_oPrompts.OpenDocument(pcDocument);
}

bool TfrmMain::eventFilter(QObject* pObject, QEvent* pEvent)
{
    if (pEvent->type() == QEvent::FocusIn) {
        // Each side of a slider/edit pair updates the other only while it is the one in use.
        if (pObject == m_ptrbWidth) {
            m_bWidthSliderFocus = true;
        } else if (pObject == m_pedWidth) {
            m_bWidthSliderFocus = false;
        } else if (pObject == m_ptrbSensitivity) {
            m_bSensitivitySliderFocus = true;
        } else if (pObject == m_pedSensitivity) {
            m_bSensitivitySliderFocus = false;
        } else if (pObject == m_ptrbOptLevel) {
            m_bLevelSliderFocus = true;
        } else if (pObject == m_pedLevel) {
            m_bLevelSliderFocus = false;
        }
    }
    return QMainWindow::eventFilter(pObject, pEvent);
}

void TfrmMain::trbWidthChange()
{
    if (m_bWidthSliderFocus) {
        m_pedWidth->setText(QString::number(m_ptrbWidth->maximum() - m_ptrbWidth->value()));
    }
}

void TfrmMain::edWidthChange()
{
    if (!m_bWidthSliderFocus) {
        const int lIndex = TextToInt(m_pedWidth->text().toStdString(), 5);
        m_ptrbWidth->setValue(m_ptrbWidth->maximum() - lIndex);
    }
}

void TfrmMain::trbSensitivityChange()
{
    if (m_bSensitivitySliderFocus) {
        m_pedSensitivity->setText(QString::number(m_ptrbSensitivity->maximum() - m_ptrbSensitivity->value()));
    }
}

void TfrmMain::edSensitivityExit()
{
    if (m_bSensitivitySliderFocus) {
        return;
    }
    if (const auto lIndex = RoundedIndex(m_pedSensitivity)) {
        m_ptrbSensitivity->setValue(m_ptrbSensitivity->maximum() - *lIndex);
    }
}

void TfrmMain::OptLevelChange()
{
    if (!m_bLevelSliderFocus) {
        return;
    }
    const bool bOn = m_pchbOptLevel->isChecked();
    m_ptrbOptLevel->setEnabled(bOn);
    m_pedLevel->setEnabled(bOn);
    if (m_pCurrentSpectrum != nullptr) {
        ApplyLevel(m_ptrbOptLevel->maximum() - m_ptrbOptLevel->value());
    }
}

void TfrmMain::edLevelExit()
{
    if (m_bLevelSliderFocus) {
        return;
    }
    const auto lRounded = RoundedIndex(m_pedLevel);
    if (!lRounded) {
        return;
    }
    const int lLevel = *lRounded;
    m_ptrbOptLevel->setValue(m_ptrbOptLevel->maximum() - lLevel);
    if (m_pCurrentSpectrum != nullptr) {
        ApplyLevel(lLevel);
    }
}

void TfrmMain::ApplyLevel(int lLevel)
{
    m_pCurrentSpectrum->SetLevel(m_pchbOptLevel->isChecked(), lLevel, m_ptrbOptLevel->maximum());
    if (m_bLevelSliderFocus) {
        m_pedLevel->setText(QString::number(lLevel));
    }
    if (m_pedLevel->text() != m_sLastLevelText) {
        RedrawSpectrum();
    }
    m_sLastLevelText = m_pedLevel->text();
}

void TfrmMain::mniFindSpectralLinesClick()
{
    int32_t lWidth = 0;
    double fSensitivity = 0.0;
    if (!CSliderValuesBroker::GetLineSearchParameters(m_ptrbWidth->maximum(),
                                                      m_ptrbWidth->maximum() - m_ptrbWidth->value(),
                                                      m_ptrbSensitivity->maximum() - m_ptrbSensitivity->value(),
                                                      lWidth, fSensitivity)) {
        m_oPrompts.Message("Fatal error!", "Invalid range for sensitivity or width slider!", EIcon::Warning,
                           EButtons::Ok);
        return;
    }
    if (!m_oSpectrumContainer.IsEmpty() && m_pCurrentSpectrum != nullptr) {
        {
            CBusyCursor oBusy(m_oPrompts);
            m_pCurrentSpectrum->FindSpectralLines(lWidth, fSensitivity);
        }
        RedrawSpectrum();
    }
    RefreshSpectralLineList();
}

void TfrmMain::mniOptimizeFitClick()
{
    if (m_pCurrentSpectrum == nullptr || m_ptrbOptLevel->maximum() <= 0) {
        return;
    }
    m_pCurrentSpectrum->OptimizeFit(m_ptrbOptLevel->maximum() - m_ptrbOptLevel->value(), m_ptrbOptLevel->maximum());
    RedrawSpectrum();
}

void TfrmMain::imgSpectrumMouseUp(int lX, int lY, Qt::MouseButton eButton)
{
    if ((eButton != Qt::LeftButton && eButton != Qt::RightButton) || m_pCurrentSpectrum == nullptr) {
        return;
    }
    const int32_t lLine = m_pCurrentSpectrum->FindLineAt(lX, lY);
    if (lLine < 0) {
        return;
    }
    if (eButton == Qt::LeftButton || !m_pCurrentSpectrum->IsActiveLine(lLine)) {
        m_pCurrentSpectrum->ToggleActiveLine(lLine);
    }
    RedrawSpectrum();
    RefreshActiveLineStatus();
}

void TfrmMain::RefreshSpectralLineList()
{
    // Without a current spectrum the list empties too, so no lines of a removed spectrum stay on view.
    m_plsbSpectralLines->clear();
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    for (int32_t i = 0; i < m_pCurrentSpectrum->GetSpectralLineCount(); ++i) {
        int32_t lIndex = 0;
        double fWavelength = 0.0;
        std::string sName;
        int32_t lCount = 0;
        m_pCurrentSpectrum->GetLineIdentification(i, lIndex, fWavelength, &sName, lCount);
        if (lCount >= 0) {
            m_plsbSpectralLines->addItem(Q(sName + "(" + quandrel::FormatFixedWidth(fWavelength, 6, 2) + "nm)"));
        }
    }
}

void TfrmMain::RefreshActiveLineStatus()
{
    const int32_t lActive = m_pCurrentSpectrum ? m_pCurrentSpectrum->GetActiveLineIndex() : -2;
    if (lActive < 0) {
        SetStatusText(0, 1, QString());
        return;
    }
    bool bDouble = false;
    const double fSecond = m_pCurrentSpectrum->GetLineSecondCenter(lActive, bDouble);
    const double fFirst = m_pCurrentSpectrum->GetLineFirstCenter(lActive);
    std::string sText = " " + quandrel::FormatFixedWidth(fFirst, 7, 3);
    if (bDouble) {
        sText += "/" + quandrel::FormatFixedWidth(fSecond, 7, 3);
    }
    int32_t lIndex = 0;
    double fWavelength = 0.0;
    std::string sName;
    if (m_oMatrix.InertialLines().FindNearestLine(fFirst, lIndex, fWavelength, &sName) &&
        m_pCurrentSpectrum->GetLineInertialIndex(lActive) >= 0) {
        sText += ";" + sName + " (" + quandrel::FormatFixedWidth(fWavelength, 7, 3) + ")";
    }
    SetStatusText(0, 1, Q(sText));
}

void TfrmMain::mniIdentifyWithXXClick()
{
    const int32_t lActive = m_pCurrentSpectrum ? m_pCurrentSpectrum->GetActiveLineIndex() : -2;
    if (lActive < 0) {
        return;
    }
    int32_t lIndex = 0;
    double fWavelength = 0.0;
    std::string sName;
    if (m_oMatrix.InertialLines().FindNearestLine(m_pCurrentSpectrum->GetLineCenter(lActive), lIndex, fWavelength, &sName)) {
        m_pCurrentSpectrum->SetLineIdentification(lActive, lIndex, fWavelength, sName.c_str());
    }
    RefreshSpectralLineList();
}

void TfrmMain::mniIdentifyWithClick()
{
    const int32_t lActive = m_pCurrentSpectrum ? m_pCurrentSpectrum->GetActiveLineIndex() : -2;
    if (lActive < 0) {
        return;
    }
    m_pfrmInertialLineSelect->SetInertialLines(&m_oMatrix.InertialLines());
    const int32_t lLine = m_pfrmInertialLineSelect->Choose() - 1;
    double fWavelength = 0.0;
    std::string sName;
    if (lLine >= 0 && lLine < m_oMatrix.InertialLines().GetLineCount() && m_oMatrix.InertialLines().GetLine(lLine, fWavelength, &sName)) {
        m_pCurrentSpectrum->SetLineIdentification(lActive, lLine, fWavelength, sName.c_str());
    }
    RefreshSpectralLineList();
}

void TfrmMain::LoadInertialLinesAtStartUp()
{
    if (!m_oMatrix.InertialLines().Load(ReadPathSetting("Paths", "InertialLinesFilePath"))) {
        m_oPrompts.Message("Error!",
                           "Inertial spectral lines file (e.g. LinesX.txt) not found!\n\rPlease select a different one.",
                           EIcon::Warning, EButtons::Ok);
        mniOpenLinesFileClick();
    } else {
        m_oMatrix.InertialLines().SetFileName(ExtractFileName(ReadPathSetting("Paths", "InertialLinesFilePath")));
    }
}

void TfrmMain::mniOpenLinesFileClick()
{
    if (!m_oMatrix.Rows().empty()) {
        if (m_oPrompts.Message("Warning!",
                               "Changing the laboratory wavelengths file \n\rwill clear the RV evaluation "
                               "table!\n\rDo you want to continue?",
                               EIcon::Warning, EButtons::YesNo) != EButton::Yes) {
            return;
        }
        if (!m_oMatrix.IsSaved() && !mniSaveProjectClick()) {
            // The rows were to be kept and could not be saved: they stay.
            return;
        }
    }
    m_oMatrix.ClearRows();
    RefreshTable();
    SFileDialog oDialog;
    oDialog.sTitle = "Load file with inertial (laboratory) lines";
    oDialog.sFilter = "ASCII Text files (*.asc)|*.asc|All files (*.*)|*.*";
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "InertialLinesFilePath");
    const auto sFile = m_oPrompts.OpenFile(oDialog);
    if (!sFile) {
        return;
    }
    if (!m_oMatrix.InertialLines().Load(*sFile)) {
        m_oPrompts.Message("File not found error!", "Unable to load laboratory wavelengths!", EIcon::Warning,
                           EButtons::Ok);
    }
    m_oMatrix.InertialLines().SetFileName(ExtractFileName(*sFile));
    WritePathSetting("Paths", "InertialLinesFilePath", *sFile);
    SetStatusText(0, 10, Q(m_oMatrix.InertialLines().GetFileName()));
}

void TfrmMain::mniCombineLeftClick()
{
    const int32_t i = m_pCurrentSpectrum ? m_pCurrentSpectrum->GetActiveLineIndex() : -2;
    if (i > 0) {
        m_pCurrentSpectrum->SetCombination(i, 0);
        m_pCurrentSpectrum->SetCombination(i - 1, 1);
    }
}

void TfrmMain::mniCombineRightClick()
{
    const int32_t i = m_pCurrentSpectrum ? m_pCurrentSpectrum->GetActiveLineIndex() : -2;
    if (i >= 0 && i + 1 < m_pCurrentSpectrum->GetSpectralLineCount()) {
        m_pCurrentSpectrum->SetCombination(i, 1);
        m_pCurrentSpectrum->SetCombination(i + 1, 0);
    }
}

void TfrmMain::mniUncombineClick()
{
    const int32_t i = m_pCurrentSpectrum ? m_pCurrentSpectrum->GetActiveLineIndex() : -2;
    if (i < 0) {
        return;
    }
    const char c = m_pCurrentSpectrum->GetCombination(i);
    if (c == 1 && i + 1 < m_pCurrentSpectrum->GetSpectralLineCount()) {
        m_pCurrentSpectrum->SetCombination(i + 1, 2);
    } else if (c == 0 && i > 0) {
        m_pCurrentSpectrum->SetCombination(i - 1, 2);
    }
    m_pCurrentSpectrum->SetCombination(i, 2);
}

void TfrmMain::mniGaussianTypeClick(bool bDouble)
{
    const int32_t i = m_pCurrentSpectrum ? m_pCurrentSpectrum->GetActiveLineIndex() : -2;
    if (i >= 0) {
        m_pCurrentSpectrum->SetGaussianType(i, bDouble);
    }
}

namespace {

// printf's "%0*.0f": rounded, zero-padded to the width.
std::string ZeroPadded(double fValue, int lWidth)
{
    std::string sText = quandrel::FormatFixed(fValue, 0);
    if (static_cast<int>(sText.size()) < lWidth) {
        sText.insert(0, static_cast<std::size_t>(lWidth) - sText.size(), '0');
    }
    return sText;
}

std::string Padded(int lValue, int lWidth, char cFill)
{
    std::string sText = std::to_string(lValue);
    if (static_cast<int>(sText.size()) < lWidth) {
        sText.insert(0, static_cast<std::size_t>(lWidth) - sText.size(), cFill);
    }
    return sText;
}

} // namespace

void TfrmMain::RefreshTimeDisplay()
{
    double fJulianDate = 0.0;
    if (m_pCurrentSpectrum != nullptr && m_pCurrentSpectrum->GetObservationTime(fJulianDate)) {
        const SCalendarDate o = CJulianDate::CalendarDate(fJulianDate);
        SetStatusText(0, 3, Q(ZeroPadded(o.day, 2) + "." + Padded(o.month, 2, '0') + "." + Padded(o.year, 4, ' ')));
        SetStatusText(0, 4, Q(ZeroPadded(o.hours, 2) + ":" + ZeroPadded(o.minutes, 2)));
    } else {
        SetStatusText(0, 3, QString());
        SetStatusText(0, 4, QString());
    }
    RefreshCorrectionDisplay();
}

void TfrmMain::RefreshCoordinatesDisplay()
{
    double a = 0, b = 0, c = 0, d = 0;
    if (m_oMatrix.GetObjectCoordinates(a, b, c, d)) {
        SetStatusText(0, 6, Q(quandrel::FormatFixedWidth(a, 2, 0) + "h" + ZeroPadded(b, 2) + "'"));
        SetStatusText(0, 8, Q(quandrel::FormatFixedWidth(c, 3, 0)) + QChar(0x00B0) + Q(ZeroPadded(d, 2) + "'"));
    } else {
        SetStatusText(0, 6, QString());
        SetStatusText(0, 8, QString());
    }
    RefreshCorrectionDisplay();
}

void TfrmMain::RefreshCorrectionDisplay()
{
    double fJulianDate = 0.0;
    if (m_pCurrentSpectrum != nullptr && m_pCurrentSpectrum->GetObservationTime(fJulianDate) &&
        m_oMatrix.AreObjectCoordinatesSet()) {
        SetStatusText(1, 1, Q(quandrel::FormatFixedWidth(m_oMatrix.CorrectVelocity(0.0, fJulianDate), 6, 2)));
    } else {
        SetStatusText(1, 1, QString());
    }
}

void TfrmMain::mniTimeStampClick()
{
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    m_pfrmTimeStamp->exec();
    double fJulianDate = 0.0;
    if (m_pfrmTimeStamp->GetJulianDate(fJulianDate) && m_pCurrentSpectrum != nullptr) {
        m_pCurrentSpectrum->SetObservationTime(fJulianDate);
        RefreshTimeDisplay();
    }
}

void TfrmMain::mniObjectCoordinatesClick()
{
    m_pfrmObjectCoordinates->m_pMatrix = &m_oMatrix;
    m_pfrmObjectCoordinates->exec();
    RefreshCoordinatesDisplay();
}

void TfrmMain::EnsureCoordinates()
{
    if (!m_oMatrix.AreObjectCoordinatesSet()) {
        if (m_oPrompts.Message("No object coordinates specified!", "Please specify object coordinates before evaluating!",
                               EIcon::Warning, EButtons::OkCancel) != EButton::Ok) {
            return;
        }
        mniObjectCoordinatesClick();
    }
    if (!m_oMatrix.AreObserverCoordinatesSet()) {
        m_oMatrix.SetObserverCoordinates(m_oSettings.ReadFloat("GeographicCoordinates", "LongDeg", 9.0),
                                         m_oSettings.ReadFloat("GeographicCoordinates", "LongMin", 0.0),
                                         m_oSettings.ReadFloat("GeographicCoordinates", "LatDeg", 52.0),
                                         m_oSettings.ReadFloat("GeographicCoordinates", "LatMin", 0.0));
    }
}

bool TfrmMain::EnsureObservationTime()
{
    double fJulianDate = 0.0;
    if (m_pCurrentSpectrum == nullptr || m_pCurrentSpectrum->GetObservationTime(fJulianDate)) {
        return m_pCurrentSpectrum != nullptr;
    }
    if (m_oPrompts.Message("No time stamp specified!", "Please specify date and time before evaluating!",
                           EIcon::Warning, EButtons::OkCancel) != EButton::Ok) {
        return false;
    }
    mniTimeStampClick();
    return m_pCurrentSpectrum != nullptr && m_pCurrentSpectrum->GetObservationTime(fJulianDate);
}

void TfrmMain::btnAddMeasurementClick()
{
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    if (!EnsureObservationTime()) {
        return;
    }
    EnsureCoordinates();
    m_oMatrix.AddSpectrumRow(m_pCurrentSpectrum);
    UpdateCommandStates();
    RefreshTable();
}

void TfrmMain::RefreshTable()
{
    int32_t lRows = 0;
    int32_t lColumns = 0;
    m_oMatrix.GetDimensions(lRows, lColumns);
    m_pstgMatrix->clearContents();
    m_pstgMatrix->setRowCount(std::max(1, lRows) + 2);
    m_pstgMatrix->setColumnCount(std::max(1, lColumns) + 1);
    m_pstgMatrix->setColumnWidth(0, 96);
    const auto SetCell = [this](int lColumn, int lRow, const QString& sText) {
        auto* pItem = new QTableWidgetItem(sText);
        pItem->setTextAlignment(Qt::AlignCenter);
        m_pstgMatrix->setItem(lRow, lColumn, pItem);
    };
    for (int32_t c = 0; c < lColumns; ++c) {
        std::string sName;
        double fWavelength = 0.0;
        const int32_t lIndex = m_oMatrix.ColumnIndex(c);
        if (lIndex >= 0 && lIndex < m_oMatrix.InertialLines().GetLineCount() &&
            m_oMatrix.InertialLines().GetLine(lIndex, fWavelength, &sName)) {
            SetCell(c + 1, 0, Q(sName));
            SetCell(c + 1, 1, Q(FloatToText(fWavelength)));
        }
    }
    for (int32_t r = 0; r < lRows; ++r) {
        const SCalendarDate o = CJulianDate::CalendarDate(m_oMatrix.GetRowJulianDate(r));
        SetCell(0, r + 2,
                Q(quandrel::FormatFixedWidth(o.day, 2, 0) + "." + Padded(o.month, 2, ' ') + "." +
                  Padded(o.year, 4, ' ') + " " + quandrel::FormatFixedWidth(o.hours, 2, 0) + ":" +
                  ZeroPadded(o.minutes, 2)));
        for (int32_t c = 0; c < lColumns; ++c) {
            std::string sText;
            bool bRow = false;
            bool bFilled = false;
            m_oMatrix.GetCellText(r, c, sText, bRow, bFilled);
            SetCell(c + 1, r + 2, Q(sText));
        }
    }
    CMeasuredDataArray oCurve;
    m_oMatrix.GetRVCurve(oCurve);
    m_oOrbitalElements.SetDataArray(oCurve);
    // Fixed rows and column in the button-face colour.
    const QBrush oFixed = palette().brush(QPalette::Button);
    for (int lRow = 0; lRow < m_pstgMatrix->rowCount(); ++lRow) {
        for (int lColumn = 0; lColumn < m_pstgMatrix->columnCount(); ++lColumn) {
            if (lRow < 2 || lColumn < 1) {
                if (m_pstgMatrix->item(lRow, lColumn) == nullptr) {
                    SetCell(lColumn, lRow, QString());
                }
                m_pstgMatrix->item(lRow, lColumn)->setBackground(oFixed);
            }
        }
    }
}

void TfrmMain::mniClearSingleCellClick()
{
    m_oMatrix.ClearCell(m_pstgMatrix->currentRow() - 2, m_pstgMatrix->currentColumn() - 1);
    RefreshTable();
}

void TfrmMain::mniRemoveEvaluationClick()
{
    try {
        m_oMatrix.RemoveRow(m_pstgMatrix->currentRow() - 2);
    } catch (const std::out_of_range&) {
        // No such row: nothing changes.
        return;
    }
    RefreshTable();
}

void TfrmMain::mniRemoveSingleColumnClick()
{
    m_oMatrix.ClearColumn(m_pstgMatrix->currentColumn() - 1);
    RefreshTable();
}

bool TfrmMain::AskToSaveTable()
{
    if (m_oMatrix.IsSaved()) {
        return true;
    }
    if (m_oPrompts.Message("Warning!", "Safe changes in RV evaluation?", EIcon::Question, EButtons::YesNo) !=
        EButton::Yes) {
        return true;
    }
    return mniSaveProjectClick();
}

void TfrmMain::RemoveSelectedSpectra()
{
    std::vector<int> vRows;
    for (QListWidgetItem* pItem : m_plsbSpectra->selectedItems()) {
        vRows.push_back(m_plsbSpectra->row(pItem));
    }
    std::sort(vRows.rbegin(), vRows.rend());
    for (const int lRow : vRows) {
        bool bFound = false;
        if (m_oSpectrumContainer.GetSpectrum(lRow, bFound) == m_pCurrentSpectrum) {
            m_pCurrentSpectrum = nullptr;
        }
        m_oSpectrumContainer.RemoveSpectrum(lRow);
        delete m_plsbSpectra->takeItem(lRow);
    }
}

void TfrmMain::mniClearMatrixClick()
{
    if (!AskToSaveTable()) {
        return;
    }
    m_oMatrix.ClearRows();
    RefreshTable();
    RefreshCoordinatesDisplay();
    for (int r = 1; r < m_pstgOrbitalElements1->rowCount(); ++r) {
        delete m_pstgOrbitalElements1->takeItem(r, 1);
    }
    m_oOrbitalElements.ResetOptimized();
    m_plsbSpectra->clear();
    m_pCurrentSpectrum = nullptr;
    while (!m_oSpectrumContainer.IsEmpty()) {
        m_oSpectrumContainer.RemoveSpectrum(m_oSpectrumContainer.GetSpectrumCount() - 1);
    }
    RedrawSpectrum();
    RefreshSpectralLineList();
    RefreshTimeDisplay();
    UpdateCommandStates();
}

void TfrmMain::mniRemoveFromMatrixClick()
{
    m_oMatrix.RemoveSpectrumRow(m_pCurrentSpectrum);
    RefreshTable();
    RemoveSelectedSpectra();
    if (m_oSpectrumContainer.IsEmpty()) {
        m_pCurrentSpectrum = nullptr;
        RedrawSpectrum();
        UpdateCommandStates();
    } else {
        m_plsbSpectra->clearSelection();
        m_plsbSpectra->setCurrentRow(0);
        m_plsbSpectra->item(0)->setSelected(true);
        m_pCurrentSpectrum = nullptr;
        lsbSpectraClick();
    }
    RefreshSpectralLineList();
    RefreshTimeDisplay();
}

void TfrmMain::ShowTableMessage(const std::string& sText)
{
    m_oPrompts.Message("Error!", sText, EIcon::Warning, EButtons::Ok);
}

void TfrmMain::mniOpenProjectClick()
{
    // A project read replaces the table: unsaved rows are offered for saving first, as on closing.
    if (!AskToSaveTable()) {
        return;
    }
    SFileDialog oDialog;
    oDialog.sTitle = "Load matrix";
    oDialog.sFilter = "Matrix files (*.mtx)|*.mtx|All files (*.*)|*.*";
    oDialog.sDefaultExtension = "mtx";
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "MatrixPath");
    const auto sFile = m_oPrompts.OpenFile(oDialog);
    if (!sFile) {
        return;
    }
    if (!m_oMatrix.LoadFromFile(*sFile)) {
        m_oPrompts.Message("File format error!", "Unable to load matrix file!", EIcon::Warning, EButtons::Ok);
        RefreshTable();
        UpdateCommandStates();
        return;
    }
    WritePathSetting("Paths", "MatrixPath", ExtractDirectory(*sFile));
    RefreshTable();
    // The analysis commands follow the rows just read.
    UpdateCommandStates();
    RefreshCoordinatesDisplay();
    SetStatusText(0, 10, Q(m_oMatrix.InertialLines().GetFileName()));
}

bool TfrmMain::mniSaveProjectClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Save matrix";
    oDialog.sFilter = "Matrix files (*.mtx)|*.mtx|All files (*.*)|*.*";
    oDialog.sDefaultExtension = "mtx";
    oDialog.bOverwritePrompt = true;
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "MatrixPath");
    const auto sFile = m_oPrompts.SaveFile(oDialog);
    if (!sFile) {
        return false;
    }
    const bool bSaved = m_oMatrix.SaveToFile(*sFile);
    WritePathSetting("Paths", "MatrixPath", ExtractDirectory(*sFile));
    if (!bSaved) {
        ShowTableMessage("Unable to write the project file " + *sFile + "!");
    }
    return bSaved;
}

void TfrmMain::mniDumpMeasurementsClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Export measurements to text file";
    oDialog.sFilter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
    oDialog.sDefaultExtension = "txt";
    oDialog.bOverwritePrompt = true;
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "MatrixDumpPath");
    const auto sFile = m_oPrompts.SaveFile(oDialog);
    if (!sFile) {
        return;
    }
    const bool bWritten = m_oMatrix.DumpToFile(*sFile);
    WritePathSetting("Paths", "MatrixDumpPath", ExtractDirectory(*sFile));
    if (!bWritten) {
        ShowTableMessage("Unable to write the file " + *sFile + "!");
    }
}

void TfrmMain::mniExportResultsClick()
{
    EnsureCoordinates();
    const double fThreshold = m_oSettings.ReadFloat("Settings", "TimeThreshold", 0.2);
    SFileDialog oDialog;
    oDialog.sTitle = "Export matrix";
    oDialog.sFilter = "text files (*.txt)|*.txt|All files (*.*)|*.*";
    // Results are text: proposing ".mtx" would put them over a project.
    oDialog.sDefaultExtension = "txt";
    oDialog.bOverwritePrompt = true;
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "ExportPath");
    const auto sFile = m_oPrompts.SaveFile(oDialog);
    if (!sFile) {
        return;
    }
    const bool bWritten = m_oMatrix.ExportResults(fThreshold, *sFile);
    WritePathSetting("Paths", "ExportPath", *sFile);
    if (!bWritten) {
        ShowTableMessage("Unable to write the file " + *sFile + "!");
    }
}

void TfrmMain::mniCalculateElementsClick()
{
    m_pfrmOrbitalElementRange->SetOrbitalElements(&m_oOrbitalElements);
    if (m_pfrmOrbitalElementRange->exec() != QDialog::Accepted) {
        return;
    }
    ShowOrbitalElements();
    DrawRVGraph();
}

void TfrmMain::ShowOrbitalElements()
{
    m_oOrbitalElements.GetBestElements(m_oElements);
    const auto Set = [](QTableWidget* pGrid, int lRow, int lColumn, const QString& sText) {
        auto* pItem = new QTableWidgetItem(sText);
        pItem->setTextAlignment(Qt::AlignCenter);
        pGrid->setItem(lRow, lColumn, pItem);
    };
    const auto Fixed = [](double f, int lPrecision, int lDecimals) {
        return QString::fromStdString(quandrel::FormatFixedPrecision(f, lPrecision, lDecimals));
    };
    for (QTableWidget* pGrid : {m_pstgOrbitalElements1, m_pstgOrbitalElements2}) {
        Set(pGrid, 0, 0, "Orbital element");
        Set(pGrid, 0, 1, "Value");
    }
    m_pstgOrbitalElements2->setRowCount(m_oElements.bTwoComponents ? 6 : 4);
    Set(m_pstgOrbitalElements1, 1, 0, "P");
    Set(m_pstgOrbitalElements1, 1, 1, Fixed(m_oElements.fPeriod, 9, 4));
    Set(m_pstgOrbitalElements1, 2, 0, "T0");
    Set(m_pstgOrbitalElements1, 2, 1, Fixed(m_oElements.fT0, 14, 4));
    Set(m_pstgOrbitalElements1, 3, 0, "e");
    Set(m_pstgOrbitalElements1, 3, 1, Fixed(m_oElements.fEccentricity, 7, 4));
    Set(m_pstgOrbitalElements1, 4, 0, QString(QChar(0x03C9)));
    Set(m_pstgOrbitalElements1, 4, 1, Fixed(m_oElements.fOmega, 8, 4));
    Set(m_pstgOrbitalElements1, 5, 0, "a1 sin i");
    Set(m_pstgOrbitalElements1, 5, 1, QString::fromStdString(quandrel::FormatExponent(m_oElements.fA1SinI, 5, 4)));
    Set(m_pstgOrbitalElements2, 1, 0, QString(QChar(0x03B3)));
    Set(m_pstgOrbitalElements2, 1, 1, Fixed(m_oElements.fGamma, 8, 4));
    Set(m_pstgOrbitalElements2, 2, 0, "K1");
    Set(m_pstgOrbitalElements2, 2, 1, Fixed(m_oElements.fK1, 7, 4));
    Set(m_pstgOrbitalElements2, 3, 0, "RMS");
    Set(m_pstgOrbitalElements2, 3, 1, Fixed(m_oElements.fRMS, 7, 4));
    m_ppgcTables->setCurrentIndex(2);
    UpdateCommandStates();
}

void TfrmMain::ShowResiduals()
{
    const CMeasuredDataArray& oData = m_oOrbitalElements.GetData();
    std::vector<double> vJd;
    std::vector<double> vResidual;
    m_oOrbitalElements.GetVelocityResiduals(vJd, vResidual);
    const int lPoints = oData.GetArraySize();
    const int lRows = std::max({1, lPoints, static_cast<int>(vResidual.size())}) + 1;
    m_pstgResiduals->clearContents();
    m_pstgResiduals->setRowCount(lRows);
    const auto Set = [this](int lRow, int lColumn, const QString& sText) {
        auto* pItem = new QTableWidgetItem(sText);
        pItem->setTextAlignment(Qt::AlignCenter);
        m_pstgResiduals->setItem(lRow, lColumn, pItem);
    };
    Set(0, 1, "JD");
    Set(0, 2, "RV (measured)");
    Set(0, 3, "Residual");
    for (int r = 1; r <= lPoints; ++r) {
        Set(r, 0, QString::number(r));
        Set(r, 1, QString::fromStdString(quandrel::FormatFixed(oData.GetX(r - 1), 2)));
        Set(r, 2, QString::fromStdString(quandrel::FormatFixed(oData.GetY(r - 1), 2)));
        if (r - 1 < static_cast<int>(vResidual.size())) {
            Set(r, 3, QString::fromStdString(quandrel::FormatFixed(vResidual[static_cast<std::size_t>(r - 1)], 4)));
        }
    }
}

void TfrmMain::DrawRVGraph()
{
    m_ppgcPlots->setCurrentIndex(1);
    m_oRVGraphCanvas.Resize(m_pimgRVGraph->width(), m_pimgRVGraph->height());
    m_oRVGraphCanvas.Clear(SRgb{255, 255, 255});
    CRVCurve oCurve(&m_oRVGraphCanvas, &m_oOrbitalElements, m_oOrbitalElements.GetData(),
                    m_pchbPhasePlot->isChecked());
    oCurve.Draw(m_oRVGraphCanvas.GetHeight(), m_oRVGraphCanvas.GetWidth());
    m_oRVGraphCanvas.Image();
    m_pimgRVGraph->update();
}

namespace {

bool WriteText(const std::string& sPath, const std::string& sText)
{
    quandrel::UniqueFile pFile(std::fopen(sPath.c_str(), "wb"));
    if (!pFile) {
        return false;
    }
    const bool bWritten = std::fwrite(sText.data(), 1, sText.size(), pFile.get()) == sText.size();
    return std::fclose(pFile.release()) == 0 && bWritten;
}

} // namespace

void TfrmMain::mniExportElementsClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Export orbital elements";
    oDialog.sFilter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
    oDialog.sDefaultExtension = "*.txt";
    oDialog.bOverwritePrompt = true;
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "ElementsExportPath");
    const auto sFile = m_oPrompts.SaveFile(oDialog);
    if (!sFile) {
        return;
    }
    std::string sText;
    const auto Line = [&](const char* pcName, double fValue) {
        sText += std::string(pcName) + "=" + quandrel::FormatFixed(fValue, 6) + "\r\n";
    };
    Line("P", m_oElements.fPeriod);
    Line("T0", m_oElements.fT0);
    Line("e", m_oElements.fEccentricity);
    Line("omega", m_oElements.fOmega);
    Line("a1Sini", m_oElements.fA1SinI);
    Line("gamma", m_oElements.fGamma);
    Line("K1", m_oElements.fK1);
    if (m_oElements.bTwoComponents) {
        Line("a2Sini", m_oElements.fA2SinI);
        Line("K2", m_oElements.fK2);
    }
    if (!WriteText(*sFile, sText)) {
        ShowTableMessage("Unable to write the file " + *sFile + "!");
    }
    WritePathSetting("Paths", "ElementsExportPath", ExtractDirectory(*sFile));
}

void TfrmMain::mniExportResidualsClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Export residuals";
    oDialog.sFilter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
    oDialog.sDefaultExtension = "*.txt";
    oDialog.bOverwritePrompt = true;
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "ElementsExportPath");
    const auto sFile = m_oPrompts.SaveFile(oDialog);
    if (!sFile) {
        return;
    }
    std::vector<double> vJd;
    std::vector<double> vResidual;
    m_oOrbitalElements.GetVelocityResiduals(vJd, vResidual);
    const CMeasuredDataArray& oData = m_oOrbitalElements.GetData();
    std::string sText;
    for (std::size_t k = 0; k < vJd.size(); ++k) {
        sText += quandrel::FormatFixed(vJd[k], 3) + ";" +
                 quandrel::FormatFixed(oData.GetY(static_cast<int32_t>(k)), 3) + ";" +
                 quandrel::FormatFixed(vResidual[k], 5) + "\r\n";
    }
    if (!WriteText(*sFile, sText)) {
        ShowTableMessage("Unable to write the file " + *sFile + "!");
    }
    WritePathSetting("Paths", "ElementsExportPath", ExtractDirectory(*sFile));
    ShowResiduals();
}

void TfrmMain::mniEstimatePeriodClick()
{
    CMeasuredDataArray oSeries;
    m_oOrbitalElements.GetDataArray(oSeries);
    const int32_t n = oSeries.GetArraySize();
    if (n <= 9) {
        return;
    }
    const double fMin = m_oSettings.ReadFloat("PeriodRange", "PeriodMin", 20.0);
    const double fMax = m_oSettings.ReadFloat("PeriodRange", "PeriodMax", 300.0);
    m_pfrmConfigurePDM->SetValues(n, n / 3, fMin, fMax);
    m_pfrmConfigurePDM->exec();
    if (m_pfrmConfigurePDM->IsCancelled()) {
        return;
    }
    const int32_t lBins = TextToInt(m_pfrmConfigurePDM->NumberBinsText().toStdString(), 5);
    double fFrom = 0.0;
    double fTo = 0.0;
    try {
        fFrom = TextToFloat(m_pfrmConfigurePDM->PeriodFromText().toStdString());
        fTo = TextToFloat(m_pfrmConfigurePDM->PeriodToText().toStdString());
    } catch (const EConvertError&) {
        // A period that is no number ends the command.
        return;
    }
    if (lBins < 1 || fFrom <= 0 || fTo <= 0) {
        m_oPrompts.Message("Invalid data", "The number of bins must be 1 or more and the periods greater than 0.",
                           EIcon::Warning, EButtons::Ok);
        return;
    }
    if ((fTo - fFrom) / CPDM::kPeriodStep > 1e8) {
        m_oPrompts.Message("Invalid data", "The period range holds more than 100 million trial periods.",
                           EIcon::Warning, EButtons::Ok);
        return;
    }
    CPDM oPdm;
    oPdm.SetDataArray(oSeries);
    oPdm.SetPeriodRange((fFrom + fTo) * 0.5, fFrom, fTo);
    oPdm.SetNumberBins(lBins);
    oPdm.SetNumberParameters(1);
    oPdm.ScanPeriods();
    m_oPrompts.Message("PDM Result", "T = " + quandrel::FormatFixedWidth(oPdm.GetBestPeriod(), 8, 3), EIcon::Information,
                       EButtons::Ok);
    m_oSettings.WriteFloat("PeriodRange", "PeriodMin", fFrom);
    m_oSettings.WriteFloat("PeriodRange", "PeriodMax", fTo);
}

void TfrmMain::mniImportMeasurementsClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Import external RV values";
    oDialog.sFilter = "ASCII Text files (*.txt)|*.txt|All files (*.*)|*.*";
    oDialog.sDefaultExtension = "txt";
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "ImportRVPath");
    const auto sFile = m_oPrompts.OpenFile(oDialog);
    if (!sFile) {
        return;
    }
    CMeasuredDataArray oSeries;
    if (!CMatrix::ImportMeasurements(*sFile, oSeries)) {
        m_oPrompts.Message("File format error!", "Unable to import RV file!", EIcon::Warning, EButtons::Ok);
        return;
    }
    WritePathSetting("Paths", "ImportRVPath", ExtractDirectory(*sFile));
    m_oOrbitalElements.SetDataArray(oSeries);
    m_oOrbitalElements.SetNumberParameters(COrbitalElements::NUMBER_ORBITALS_ELEMENTS_ONE_COMPONENT);
    m_oOrbitalElements.ResetOptimized();
    UpdateCommandStates();
    DrawRVGraph();
}

void TfrmMain::LoadCalibrationLinesAtStartUp()
{
    const std::string sPath = ReadPathSetting("Paths", "CalibrationFilePath");
    if (!m_oCalibration.Load(sPath)) {
        m_oPrompts.Message("Error!",
                           "Calibration reference file (e.g. Neon.txt) not found!\n\rPlease select a different one.",
                           EIcon::Warning, EButtons::Ok);
        mniOpenCalibrationLinesClick();
    } else {
        m_oCalibration.SetFileName(ExtractFileName(sPath));
    }
}

void TfrmMain::mniOpenCalibrationLinesClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Load file with calibration reference lines";
    oDialog.sFilter = "Ascii files (*.asc)|*.asc|All files (*.*)|*.*";
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "CalibrationFilePath");
    const auto sFile = m_oPrompts.OpenFile(oDialog);
    if (!sFile) {
        return;
    }
    if (!m_oCalibration.Load(*sFile)) {
        m_oPrompts.Message("File not found error!", "Unable to load calibration reference file!", EIcon::Warning,
                           EButtons::Ok);
    }
    m_oCalibration.SetFileName(ExtractFileName(*sFile));
    WritePathSetting("Paths", "CalibrationFilePath", *sFile);
    UpdateCommandStates();
}

void TfrmMain::mniSaveCalibratedSpectrumClick()
{
    if (m_pCurrentSpectrum == nullptr) {
        return;
    }
    SFileDialog oDialog;
    oDialog.sTitle = "Save calibrated spectrum";
    oDialog.sFilter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
    oDialog.sDefaultExtension = "*.txt";
    oDialog.bOverwritePrompt = true;
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "SpectraPath");
    const auto sFile = m_oPrompts.SaveFile(oDialog);
    if (!sFile) {
        return;
    }
    const auto& vWavelength = m_pCurrentSpectrum->GetWavelengths();
    const auto& vIntensity = m_pCurrentSpectrum->GetIntensities();
    if (CCSVFile::WriteColumns(*sFile, m_pCurrentSpectrum->GetNumberValues(), ";", {vWavelength, vIntensity}) != 0) {
        ShowTableMessage("Unable to write the file " + *sFile + "!");
        return;
    }
    WritePathSetting("Paths", "SpectraPath", ExtractDirectory(*sFile));
}

void TfrmMain::mniCalibrateClick()
{
    if (m_pCurrentSpectrum == nullptr || m_pfrmCalibration->isVisible()) {
        return;
    }
    m_pfrmCalibration->SetData(&m_oCalibration, m_pCurrentSpectrum);
    m_pfrmCalibration->exec();
    ShowSpectrum(m_pCurrentSpectrum, m_oSpectrumCanvas, true);
}

void TfrmMain::mniIdentifyInertialLineClick()
{
    const int32_t lActive = m_pCurrentSpectrum ? m_pCurrentSpectrum->GetActiveLineIndex() : -2;
    if (lActive < 0) {
        return;
    }
    m_pfrmInertialLineSelect->SetCalibrationLines(&m_oCalibration);
    const int32_t lLine = m_pfrmInertialLineSelect->Choose() - 1;
    double fWavelength = 0.0;
    std::string sName;
    if (lLine >= 0 && lLine < m_oCalibration.GetLineCount() && m_oCalibration.GetLine(lLine, fWavelength, &sName)) {
        m_oCalibration.AddCalibrationPoint(m_pCurrentSpectrum->GetLineCenter(lActive), fWavelength);
    }
}

void TfrmMain::mniOpenCCTemplateClick()
{
    std::string sFile;
    auto pTemplate = ImportSpectrum("Load template", "CCTemplatePath", m_oCCTemplateCanvas, sFile);
    if (!pTemplate) {
        return;
    }
    m_pCCTemplate = std::move(pTemplate);
    m_ppgcPlots->setCurrentIndex(2);
    ShowSpectrum(m_pCCTemplate.get(), m_oCCTemplateCanvas, true);
    m_oCrossCorrelation.SetTemplate(m_pCCTemplate.get());
    WritePathSetting("Paths", "CCTemplatePath", ExtractDirectory(sFile));
    UpdateCommandStates();
}

void TfrmMain::mniNewCCParamsClick()
{
    m_pfrmCC->exec();
    UpdateCommandStates();
}

void TfrmMain::mniOpenCCParamsClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Load cross correlation parameter set";
    oDialog.sFilter = "All files (*.*)|*.*";
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "CCParamsPath");
    if (const auto sFile = m_oPrompts.OpenFile(oDialog)) {
        m_oCrossCorrelation.LoadParameters(*sFile);
    }
    UpdateCommandStates();
}

void TfrmMain::mniSaveCCParamsClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Save cross correlation parameter set";
    oDialog.sFilter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
    oDialog.sDefaultExtension = "*.txt";
    oDialog.bOverwritePrompt = true;
    oDialog.sInitialDirectory = ReadPathSetting("Paths", "CCParamsPath");
    if (const auto sFile = m_oPrompts.SaveFile(oDialog)) {
        if (!m_oCrossCorrelation.SaveParameters(*sFile)) {
            ShowTableMessage("Unable to write the file " + *sFile + "!");
        }
    }
}

void TfrmMain::mniRunCCClick()
{
    if (m_pCurrentSpectrum == nullptr || !m_pCCTemplate) {
        return;
    }
    m_oCrossCorrelation.SetSpectrum(m_pCurrentSpectrum);
    if (!EnsureObservationTime()) {
        // Without an observation time there is no correction and no row for the table.
        return;
    }
    double fJulianDate = 0.0;
    m_pCurrentSpectrum->GetObservationTime(fJulianDate);
    EnsureCoordinates();
    {
        CBusyCursor oBusy(m_oPrompts);
        if (!m_oCrossCorrelation.Calculate()) {
            m_oPrompts.Message("Error!", m_oCrossCorrelation.GetLastError(), EIcon::Warning, EButtons::Ok);
            return;
        }
        const CMeasuredDataArray& oFunction = m_oCrossCorrelation.GetCCFunction();
        m_pCCFunction = std::make_unique<CSpectrum>(&m_oCCFunctionCanvas);
        m_pCCFunction->SetValues(oFunction);
        m_pCCFunction->SetObservationTime(fJulianDate);
        m_pCCFunction->SetXAxisLabel("RV [km/s]");
        m_pCCDetail = std::make_unique<CSpectrum>(&m_oCCDetailCanvas);
        if (m_oCrossCorrelation.GetSpectrumWindow().GetArraySize() > 0) {
            m_pCCDetail->SetValues(m_oCrossCorrelation.GetSpectrumWindow());
        }
        const double fVelocity = m_oMatrix.CorrectVelocity(0.0, fJulianDate) -
                                 m_oCrossCorrelation.GetTopocentricCorrection() +
                                 m_oCrossCorrelation.GetPeakVelocity();
        m_oMatrix.AddVelocity(m_pCCFunction.get(), fVelocity);
        UpdateCommandStates();
        RefreshTable();
        m_ppgcPlots->setCurrentIndex(4);
        ShowSpectrum(m_pCCFunction.get(), m_oCCFunctionCanvas, true);
    }
}
