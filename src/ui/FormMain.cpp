// The main window: construction and layout of its controls, the dialogs, the window's own settings,
// showing and closing.
#include "FormMain.h"

#include "FormCC.h"
#include "FormNormalize.h"
#include "FormPeriodogram.h"
#include "FormCalibration.h"
#include "FormConfigurePDM.h"
#include "FormHelp.h"
#include "FormImportConfig.h"
#include "FormInertialLineSelect.h"
#include "FormMiscSettings.h"
#include "FormObjectCoordinates.h"
#include "FormOrbitalElementRange.h"
#include "FormSettings.h"
#include "FormTimeStamp.h"
#include "ImageView.h"
#include "LineTable.h"
#include "Prompts.h"
#include "RvTableModel.h"
#include "ToolIcons.h"
#include "lines/SliderValuesBrokerClass.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QTabWidget>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

TfrmMain::TfrmMain(const std::string& sSettingsFile, IPrompts& oPrompts, QWidget* pParent)
    : QMainWindow(pParent),
      m_oPrompts(oPrompts),
      m_oSession(sSettingsFile, SCanvases{&m_oSpectrumCanvas, &m_oCCTemplateCanvas, &m_oCCDetailCanvas,
                                          &m_oCCFunctionCanvas})
{
    setObjectName("frmMain");
    setWindowTitle("Quandrel");
    setGeometry(125, 99, 882, 582);
    setMinimumSize(520, 400);

    CreateMenus();
    setAcceptDrops(true);
    CreateContextMenu();

    auto* pCentral = new QWidget;
    auto* pLayout = new QVBoxLayout(pCentral);
    pLayout->setContentsMargins(4, 4, 4, 0);
    pLayout->setSpacing(2);
    pLayout->addWidget(CreateToolBar());
    auto* pSplitter = new QSplitter(Qt::Vertical);
    pSplitter->setObjectName("splMain");
    m_pSplitter = pSplitter;
    m_pnlControls = CreateControlPanel();
    pSplitter->addWidget(m_pnlControls);
    pSplitter->addWidget(CreatePlotPanel());
    pSplitter->setStretchFactor(0, 0);
    pSplitter->setStretchFactor(1, 1);
    pLayout->addWidget(pSplitter, 1);
    pLayout->addWidget(CreateWorkPanel());
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
    m_oSession.AddListener(this);
}

TfrmMain::~TfrmMain()
{
    m_oSession.RemoveListener(this);
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
    auto* pbtnIdentifyAll = new QPushButton("Identify all");
    pbtnIdentifyAll->setObjectName("btnIdentifyAll");
    pbtnIdentifyAll->setToolTip("Identify every found line near a laboratory line (Ctrl+I)");
    pLayout->addWidget(pbtnIdentifyAll);
    connect(pbtnIdentifyAll, &QPushButton::clicked, this, &TfrmMain::mniIdentifyAllClick);
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
    m_pedMinSigma = Edit("edMinSigma");
    m_pedMinSigma->setToolTip("Lines shallower than this many times the spectrum's noise are left out (0: none)");
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
    auto* plblMinSigma = new QLabel("Min. depth [\u03C3]");
    plblMinSigma->setBuddy(m_pedMinSigma);
    pFitLayout->addWidget(plblMinSigma, 3, 0, 1, 2, Qt::AlignRight);
    pFitLayout->addWidget(m_pedMinSigma, 3, 2);
    connect(m_pedMinSigma, &QLineEdit::editingFinished, this, &TfrmMain::edMinSigmaExit);
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
    // Whatever changes the selection (a click, the arrow keys) changes the current spectrum; the
    // window's own changes of the list are guarded.
    connect(m_plsbSpectra, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_bListSyncGuard) {
            lsbSpectraClick();
        }
    });
    connect(m_plsbSpectra, &QWidget::customContextMenuRequested, this, [this](const QPoint& oPos) {
        // The menu acts on the entry under the click: it becomes the current spectrum first.
        if (QListWidgetItem* pItem = m_plsbSpectra->itemAt(oPos); pItem != nullptr && !pItem->isSelected()) {
            m_plsbSpectra->setCurrentItem(pItem, QItemSelectionModel::ClearAndSelect);
        }
        m_ppumSpectrum->popup(m_plsbSpectra->mapToGlobal(oPos));
    });
    pSpectraLayout->addWidget(m_plsbSpectra);
    pLayout->addWidget(pgrbSpectra);

    auto* ppgcTables = new QTabWidget;
    ppgcTables->setObjectName("pgcTables");
    m_ppgcTables = ppgcTables;
    m_ppnlSpectralLines = new CLineTablePage;
    connect(m_ppnlSpectralLines, &CLineTablePage::LineChosen, this, &TfrmMain::SpectralLineChosen);
    ppgcTables->addTab(m_ppnlSpectralLines, "Spectral lines");
    m_pstgMatrix = new QTableView;
    m_pstgMatrix->setObjectName("stgMatrix");
    m_pRvTableModel = new CRvTableModel(m_oSession.Table(), m_pstgMatrix);
    m_pstgMatrix->setModel(m_pRvTableModel);
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
    // Delete removes the selected row of the table, or the selected spectrum of the list.
    const auto DeleteKey = [this](QWidget* pWidget, void (TfrmMain::*pfnRemove)()) {
        auto* pShortcut = new QShortcut(QKeySequence::Delete, pWidget, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(pShortcut, &QShortcut::activated, this, pfnRemove);
    };
    DeleteKey(m_pstgMatrix, &TfrmMain::mniRemoveEvaluationClick);
    DeleteKey(m_plsbSpectra, &TfrmMain::mniRemoveSpectrumClick);
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
    m_pstgLeastSquares = Grid("stgLeastSquares", 13, 3);
    pElementsLayout->addWidget(m_pstgOrbitalElements1);
    pElementsLayout->addWidget(m_pstgOrbitalElements2);
    ppgcTables->addTab(pElements, "Orbital elements");
    m_pstgResiduals = Grid("stgResiduals", 2, 4);
    ppgcTables->addTab(m_pstgResiduals, "RV values && Residuals");
    ppgcTables->addTab(m_pstgLeastSquares, "Least squares");
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
    // The mouse zooms about the cursor, into a rectangle, pans, and goes back to the whole spectrum.
    const auto WithSpectrum = [this](auto fnChange) {
        return [this, fnChange](auto... aArguments) {
            if (CSpectrum* pCurrent = GetCurrentSpectrum(); pCurrent != nullptr && fnChange(*pCurrent, aArguments...)) {
                SpectrumWindowChanged();
            }
        };
    };
    connect(m_pimgSpectrum, &CImageView::WheelTurned, this,
            WithSpectrum([](CSpectrum& o, int lX, int, int lSteps) { return o.ZoomAtPixel(lX, lSteps); }));
    connect(m_pimgSpectrum, &CImageView::RectangleChosen, this, [this](int lX0, int lY0, int lX1) {
        CSpectrum* pCurrent = GetCurrentSpectrum();
        if (pCurrent != nullptr && pCurrent->FindLineAt(lX0, lY0) >= 0) {
            // A drag that starts on a line is a click on it.
            imgSpectrumMouseUp(lX0, lY0, Qt::LeftButton);
        } else if (pCurrent != nullptr && pCurrent->ZoomToPixels(lX0, lX1)) {
            SpectrumWindowChanged();
        }
    });
    connect(m_pimgSpectrum, &CImageView::Panned, this, WithSpectrum([](CSpectrum& o, int lDeltaX) {
                o.PanPixels(lDeltaX);
                return true;
            }));
    connect(m_pimgSpectrum, &CImageView::WholeWanted, this, WithSpectrum([](CSpectrum& o) {
                o.ShowAllValues();
                return true;
            }));
    connect(m_pimgSpectrum, &CImageView::Hovered, this, &TfrmMain::SpectrumHovered);
    connect(m_pimgSpectrum, &CImageView::ContextMenuWanted, this,
            [this](const QPoint& oPos) { m_ppumSpectrum->popup(m_pimgSpectrum->mapToGlobal(oPos)); });
    m_pscbClipping = new QScrollBar(Qt::Horizontal);
    m_pscbClipping->setObjectName("scbClipping");
    m_pscbClipping->setRange(1, kClipMaximum);
    // Qt's page step is the large step (and sizes the handle).
    m_pscbClipping->setPageStep(100);
    m_pscbClipping->setSingleStep(10);
    m_pscbClipping->setValue(475);
    connect(m_pscbClipping, &QScrollBar::valueChanged, this, &TfrmMain::scbClippingChange);
    pLayout->addWidget(m_pimgSpectrum, 1);
    pLayout->addWidget(m_pscbClipping);
    m_ppgcPlots->addTab(ppnlSpectrum, " Spectrum ");

    m_pimgRVGraph = new CImageView(m_oRVGraphCanvas);
    m_pimgRVGraph->setObjectName("imgRVGraph");
    connect(m_pimgRVGraph, &CImageView::Hovered, this, &TfrmMain::RVGraphHovered);
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
        } else if (lIndex == kPeriodogramPage) {
            DrawPeriodogram();
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
    m_pimgPeriodogram = new CImageView(m_oPeriodogramCanvas);
    m_pimgPeriodogram->setObjectName("imgPeriodogram");
    connect(m_pimgPeriodogram, &CImageView::Resized, this, [this] {
        if (m_ppgcPlots->currentIndex() == kPeriodogramPage) {
            DrawPeriodogram();
        }
    });
    m_ppgcPlots->addTab(m_pimgPeriodogram, " Periodogram ");
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
    // In the program's order.
    m_pfrmImportConfig = new TfrmImportConfig(m_oSession.Settings(), this);
    m_pfrmSettings = new TfrmSettings(this);
    m_pfrmInertialLineSelect = new TfrmInertialLineSelect(this);
    m_pfrmTimeStamp = new TfrmTimeStamp(this);
    m_pfrmHelp = new TfrmHelp(this);
    m_pfrmObjectCoordinates = new TfrmObjectCoordinates(this);
    m_pfrmOrbitalElementRange = new TfrmOrbitalElementRange(m_oPrompts, this);
    m_pfrmCC = new TfrmCC(this);
    m_pfrmNormalize = new TfrmNormalize(this);
    m_pfrmPeriodogram = new TfrmPeriodogram(this);
    m_pfrmConfigurePDM = new TfrmConfigurePDM(this);
    m_pfrmMiscSettings = new TfrmMiscSettings(this);
    m_pfrmCalibration = new TfrmCalibration(m_oPrompts, this);
}

void TfrmMain::showEvent(QShowEvent* pEvent)
{
    QMainWindow::showEvent(pEvent);
    if (m_bShownOnce) {
        return;
    }
    m_bShownOnce = true;
    ReadWindowSettings();
    if (const auto sProblem = m_oSession.Settings().File().WhyNotWritable()) {
        m_oPrompts.Message("Warning!", *sProblem + ".\nSettings will not be saved.", EIcon::Warning, EButtons::Ok);
        ShowFeedback("Settings will not be saved");
    }
    if (!m_oSession.LoadLaboratoryLinesAtStartUp()) {
        m_oPrompts.Message("Error!",
                           "Inertial spectral lines file (e.g. LinesX.txt) not found!\n\rPlease select a different one.",
                           EIcon::Warning, EButtons::Ok);
        mniOpenLinesFileClick();
    }
    if (!m_oSession.LoadCalibrationLinesAtStartUp()) {
        m_oPrompts.Message("Error!",
                           "Calibration reference file (e.g. Neon.txt) not found!\n\rPlease select a different one.",
                           EIcon::Warning, EButtons::Ok);
        mniOpenCalibrationLinesClick();
    }
    SessionChanged(~0U);
}

void TfrmMain::ReadWindowSettings()
{
    const CSettingsGateway& oSettings = m_oSession.Settings();
    const QRect oScreen = screen() != nullptr ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    QRect oGeometry;
    if (oSettings.File().ReadString("FormSettings", "Width", "").empty()) {
        // First start: most of the screen, centred (the classic 882 x 582 only on a screen that small).
        const QSize oSize(std::min(oScreen.width(), std::max(882, oScreen.width() * 17 / 20)),
                          std::min(oScreen.height(), std::max(582, oScreen.height() * 17 / 20)));
        oGeometry = QRect(QPoint(0, 0), oSize);
        oGeometry.moveCenter(oScreen.center());
    } else {
        oGeometry = QRect(oSettings.ReadInteger(ESetting::FormLeft), oSettings.ReadInteger(ESetting::FormTop),
                          oSettings.ReadInteger(ESetting::FormWidth), oSettings.ReadInteger(ESetting::FormHeight));
        // A window kept from a larger screen is brought onto this one.
        oGeometry.setWidth(std::min(oGeometry.width(), oScreen.width()));
        oGeometry.setHeight(std::min(oGeometry.height(), oScreen.height()));
        oGeometry.moveLeft(std::clamp(oGeometry.left(), oScreen.left(), oScreen.right() - oGeometry.width() + 1));
        oGeometry.moveTop(std::clamp(oGeometry.top(), oScreen.top(), oScreen.bottom() - oGeometry.height() + 1));
    }
    setGeometry(oGeometry.left(), oGeometry.top(), std::max(oGeometry.width(), minimumWidth()),
                std::max(oGeometry.height(), minimumHeight()));
    if (const int lControls = oSettings.ReadInteger(ESetting::FormSplitter); lControls > 0) {
        const int lTotal = std::max(m_pSplitter->height(), height());
        m_pSplitter->setSizes({lControls, std::max(lTotal - lControls, 1)});
    }
    const int lWidthMaximum = oSettings.ReadInteger(ESetting::WidthMaximum);
    // A slider needs at least two positions.
    SetWidthMaximum(lWidthMaximum >= 1 ? lWidthMaximum : 20);
    m_ptrbSensitivity->setValue(oSettings.ReadInteger(ESetting::SensitivityIndex));
    m_ptrbWidth->setValue(oSettings.ReadInteger(ESetting::WidthIndex));
    // The value fields show the sliders' values from the start, not only once a slider moved.
    m_pedWidth->setText(QString::number(m_ptrbWidth->maximum() - m_ptrbWidth->value()));
    m_pedSensitivity->setText(QString::number(m_ptrbSensitivity->maximum() - m_ptrbSensitivity->value()));
    m_pedMinSigma->setText(QString::fromStdString(FloatToText(oSettings.ReadFloat(ESetting::MinDepthSigma))));
    m_pchbKeepYAxisFixed->setChecked(oSettings.ReadBool(ESetting::KeepYAxisFixed));
}

void TfrmMain::WriteWindowSettings()
{
    const CSettingsGateway& oSettings = m_oSession.Settings();
    const QRect oNow = geometry();
    oSettings.Write(ESetting::FormTop, oNow.top());
    oSettings.Write(ESetting::FormLeft, oNow.left());
    oSettings.Write(ESetting::FormHeight, oNow.height());
    oSettings.Write(ESetting::FormWidth, oNow.width());
    oSettings.Write(ESetting::FormSplitter, m_pSplitter->sizes().value(0));
    oSettings.Write(ESetting::WidthIndex, m_ptrbWidth->value());
    oSettings.Write(ESetting::WidthMaximum, m_ptrbWidth->maximum());
    oSettings.Write(ESetting::SensitivityIndex, m_ptrbSensitivity->value());
    oSettings.Write(ESetting::KeepYAxisFixed, m_pchbKeepYAxisFixed->isChecked());
}

void TfrmMain::closeEvent(QCloseEvent* pEvent)
{
    if (m_pWork != nullptr) {
        // A computation runs: it is stopped, and the window closes when asked again.
        m_pWork->Cancel();
        pEvent->ignore();
        return;
    }
    // Unsaved rows the user wants to keep stop the closing before anything is given up.
    if (!AskToSaveTable()) {
        pEvent->ignore();
        return;
    }
    WriteWindowSettings();
    m_oSession.ClearSpectra();
    pEvent->accept();
}

void TfrmMain::SetWidthMaximum(int lMaximum)
{
    m_ptrbWidth->setMaximum(lMaximum);
    m_ptrbWidth->setTickInterval(std::max(lMaximum / 20, 1));
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
