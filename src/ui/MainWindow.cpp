// The main window: construction and layout of its controls, the dialogs, the window's own settings,
// showing and closing.
#include "MainWindow.h"

#include "CorrelationDialog.h"
#include "NormalizeDialog.h"
#include "PeriodogramDialog.h"
#include "CalibrationDialog.h"
#include "PdmDialog.h"
#include "HelpWindow.h"
#include "TextImportDialog.h"
#include "LaboratoryLineDialog.h"
#include "MiscSettingsDialog.h"
#include "ObjectCoordinatesDialog.h"
#include "OrbitSearchDialog.h"
#include "ObserverSiteDialog.h"
#include "ObservationTimeDialog.h"
#include "ImageView.h"
#include "LineTable.h"
#include "Prompts.h"
#include "RvTableModel.h"
#include "ToolIcons.h"
#include "lines/SliderScale.h"

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

MainWindow::MainWindow(const std::string& sSettingsFile, Prompts& oPrompts, QWidget* pParent)
    : QMainWindow(pParent),
      m_oPrompts(oPrompts),
      m_oSession(sSettingsFile)
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

MainWindow::~MainWindow()
{
    m_oSession.RemoveListener(this);
}


QWidget* MainWindow::CreateToolBar()
{
    auto* pBar = new QWidget;
    pBar->setObjectName("pnlToolBar");
    auto* pLayout = new QHBoxLayout(pBar);
    pLayout->setContentsMargins(0, 0, 0, 0);
    const auto Button = [&](const char* pcName, const char* pcHint, ToolIcon eIcon) {
        auto* pButton = new QPushButton(MakeToolIcon(eIcon), QString());
        pButton->setObjectName(pcName);
        pButton->setToolTip(pcHint);
        pButton->setIconSize(QSize(24, 24));
        pLayout->addWidget(pButton);
        return pButton;
    };
    connect(Button("btnZoomIn", "Zoom in", ToolIcon::ZoomIn), &QPushButton::clicked, this,
            &MainWindow::onZoomIn);
    connect(Button("btnZoomOut", "Zoom out", ToolIcon::ZoomOut), &QPushButton::clicked, this,
            &MainWindow::onZoomOut);
    connect(Button("btnGo", "Find spectral lines", ToolIcon::FindLines), &QPushButton::clicked, this,
            &MainWindow::onFindSpectralLines);
    auto* pbtnIdentifyAll = new QPushButton("Identify all");
    pbtnIdentifyAll->setObjectName("btnIdentifyAll");
    pbtnIdentifyAll->setToolTip("Identify every found line near a laboratory line (Ctrl+I)");
    pLayout->addWidget(pbtnIdentifyAll);
    connect(pbtnIdentifyAll, &QPushButton::clicked, this, &MainWindow::onIdentifyAll);
    connect(Button("btnAddMeasurement", "Add measurement", ToolIcon::AddMeasurement), &QPushButton::clicked, this,
            &MainWindow::onAddMeasurement);

    m_pchbKeepYAxisFixed = new QCheckBox("keep Y axis scaling fixed");
    m_pchbKeepYAxisFixed->setObjectName("chbKeepYAxisFixed");
    m_pchbKeepYAxisFixed->setChecked(true);
    connect(m_pchbKeepYAxisFixed, &QCheckBox::clicked, this, &MainWindow::onKeepYAxisFixed);
    m_pchbPhasePlot = new QCheckBox("Phase plot");
    m_pchbPhasePlot->setObjectName("chbPhasePlot");
    m_pchbPhasePlot->setEnabled(false);
    connect(m_pchbPhasePlot, &QCheckBox::clicked, this, &MainWindow::DrawRVGraph);
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

QWidget* MainWindow::CreateControlPanel()
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
    m_ptrbSensitivity = Slider("trbSensitivity", SliderScale::kSensitivityMax, 1);
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
    connect(m_pedMinSigma, &QLineEdit::editingFinished, this, &MainWindow::edMinSigmaExit);
    connect(m_ptrbWidth, &QSlider::valueChanged, this, &MainWindow::onWidthSliderMoved);
    connect(m_pedWidth, &QLineEdit::textChanged, this, &MainWindow::onWidthEdited);
    connect(m_ptrbSensitivity, &QSlider::valueChanged, this, &MainWindow::onSensitivitySliderMoved);
    connect(m_pedSensitivity, &QLineEdit::editingFinished, this, &MainWindow::edSensitivityExit);
    connect(m_pchbOptLevel, &QCheckBox::clicked, this, &MainWindow::OptLevelChange);
    connect(m_ptrbOptLevel, &QSlider::valueChanged, this, &MainWindow::OptLevelChange);
    connect(m_pedLevel, &QLineEdit::editingFinished, this, &MainWindow::edLevelExit);
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
            onSpectrumChosen();
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
    m_ppnlSpectralLines = new LineTablePage;
    connect(m_ppnlSpectralLines, &LineTablePage::LineChosen, this, &MainWindow::SpectralLineChosen);
    ppgcTables->addTab(m_ppnlSpectralLines, "Spectral lines");
    m_pstgTable = new QTableView;
    m_pstgTable->setObjectName("stgMatrix");
    m_pRvTableModel = new RvTableModel(m_oSession.Project().Table(), m_pstgTable);
    m_pstgTable->setModel(m_pRvTableModel);
    m_pstgTable->horizontalHeader()->hide();
    m_pstgTable->verticalHeader()->hide();
    m_pstgTable->horizontalHeader()->setDefaultSectionSize(80);
    m_pstgTable->verticalHeader()->setDefaultSectionSize(18);
    // Only the data set column is edited in place.
    m_pstgTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_pRvTableModel->SetDataSetEditor([this](int32_t r, const std::string& sDataSet) {
        // After the view has closed its editor: the change refreshes the whole model.
        QMetaObject::invokeMethod(
            this, [this, r, sDataSet] { m_oSession.Project().SetRowDataSet(r, sDataSet); }, Qt::QueuedConnection);
    });
    m_pstgTable->setContextMenuPolicy(Qt::ActionsContextMenu);
    {
        // The grid's own menu, in this order.
        const auto GridItem = [this](const char* pcCaption, const char* pcName) {
            auto* pItem = new QAction(pcCaption, m_pstgTable);
            pItem->setObjectName(pcName);
            m_pstgTable->addAction(pItem);
            return pItem;
        };
        QAction* pmniSpecifyObjectCoordinates = GridItem("&Object coordinates ...", "mniSpecifyObjectCoordinates");
        pmniSpecifyObjectCoordinates->setVisible(false);
        pmniSpecifyObjectCoordinates->setEnabled(false);
        connect(pmniSpecifyObjectCoordinates, &QAction::triggered, this, &MainWindow::onObjectCoordinates);
        connect(GridItem("Clear s&ingle cell", "mniClearSingleCell"), &QAction::triggered, this,
                &MainWindow::onClearCell);
        connect(GridItem("&Clear single row", "mniRemoveEvaluation"), &QAction::triggered, this,
                &MainWindow::onClearRow);
        connect(GridItem("Clear single &column", "mniRemoveSingleColumn"), &QAction::triggered, this,
                &MainWindow::onClearColumn);
        connect(GridItem("Clear table of &RV", "mniClearMatrix2"), &QAction::triggered, this,
                &MainWindow::onClearTable);
    }
    ppgcTables->addTab(m_pstgTable, "Table of radial velocities");
    // Delete removes the selected row of the table, or the selected spectrum of the list.
    const auto DeleteKey = [this](QWidget* pWidget, void (MainWindow::*pfnRemove)()) {
        auto* pShortcut = new QShortcut(QKeySequence::Delete, pWidget, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(pShortcut, &QShortcut::activated, this, pfnRemove);
    };
    DeleteKey(m_pstgTable, &MainWindow::onClearRow);
    DeleteKey(m_plsbSpectra, &MainWindow::onRemoveSpectrum);
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

QWidget* MainWindow::CreatePlotPanel()
{
    m_ppgcPlots = new QTabWidget;
    m_ppgcPlots->setObjectName("pgcPlots");

    auto* ppnlSpectrum = new QWidget;
    ppnlSpectrum->setObjectName("pnlSpectrum");
    auto* pLayout = new QVBoxLayout(ppnlSpectrum);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    m_pimgSpectrum = new ImageView(m_oSpectrumCanvas);
    m_pimgSpectrum->setObjectName("imgSpectrum");
    connect(m_pimgSpectrum, &ImageView::Resized, this, &MainWindow::RedrawSpectrum);
    connect(m_pimgSpectrum, &ImageView::MouseReleased, this, &MainWindow::onSpectrumClicked);
    // The mouse zooms about the cursor, into a rectangle, pans, and goes back to the whole spectrum.
    const auto WithSpectrum = [this](auto fnChange) {
        return [this, fnChange](auto... aArguments) {
            if (SpectrumPlot* pCurrent = CurrentPlot(); pCurrent != nullptr && fnChange(*pCurrent, aArguments...)) {
                SpectrumWindowChanged();
            }
        };
    };
    connect(m_pimgSpectrum, &ImageView::WheelTurned, this,
            WithSpectrum([](SpectrumPlot& o, int lX, int, int lSteps) { return o.ZoomAtPixel(lX, lSteps); }));
    connect(m_pimgSpectrum, &ImageView::RectangleChosen, this, [this](int lX0, int lY0, int lX1) {
        SpectrumPlot* pCurrent = CurrentPlot();
        if (pCurrent != nullptr && pCurrent->FindLineAt(lX0, lY0) >= 0) {
            // A drag that starts on a line is a click on it.
            onSpectrumClicked(lX0, lY0, Qt::LeftButton);
        } else if (pCurrent != nullptr && pCurrent->ZoomToPixels(lX0, lX1)) {
            SpectrumWindowChanged();
        }
    });
    connect(m_pimgSpectrum, &ImageView::Panned, this, WithSpectrum([](SpectrumPlot& o, int lDeltaX) {
                o.PanPixels(lDeltaX);
                return true;
            }));
    connect(m_pimgSpectrum, &ImageView::WholeWanted, this, WithSpectrum([](SpectrumPlot& o) {
                o.ShowAllValues();
                return true;
            }));
    connect(m_pimgSpectrum, &ImageView::Hovered, this, &MainWindow::SpectrumHovered);
    connect(m_pimgSpectrum, &ImageView::ContextMenuWanted, this,
            [this](const QPoint& oPos) { m_ppumSpectrum->popup(m_pimgSpectrum->mapToGlobal(oPos)); });
    m_pscbClipping = new QScrollBar(Qt::Horizontal);
    m_pscbClipping->setObjectName("scbClipping");
    m_pscbClipping->setRange(1, kClipMaximum);
    // Qt's page step is the large step (and sizes the handle).
    m_pscbClipping->setPageStep(100);
    m_pscbClipping->setSingleStep(10);
    m_pscbClipping->setValue(475);
    connect(m_pscbClipping, &QScrollBar::valueChanged, this, &MainWindow::onClippingMoved);
    pLayout->addWidget(m_pimgSpectrum, 1);
    pLayout->addWidget(m_pscbClipping);
    m_ppgcPlots->addTab(ppnlSpectrum, " Spectrum ");

    m_pimgRVGraph = new ImageView(m_oRVGraphCanvas);
    m_pimgRVGraph->setObjectName("imgRVGraph");
    connect(m_pimgRVGraph, &ImageView::Hovered, this, &MainWindow::RVGraphHovered);
    connect(m_pimgRVGraph, &ImageView::Resized, this, [this] {
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
            RedrawCorrelationPages();
        }
    });
    const auto Page = [this](QtCanvas& oCanvas, const char* pcName, const char* pcCaption) {
        auto* pView = new ImageView(oCanvas);
        pView->setObjectName(pcName);
        connect(pView, &ImageView::Resized, this, &MainWindow::RedrawCorrelationPages);
        m_ppgcPlots->addTab(pView, pcCaption);
        return pView;
    };
    m_pimgCorrelationTemplate = Page(m_oCorrelationTemplateCanvas, "imgCCTemplate", " CC Template ");
    m_pimgCorrelationDetail = Page(m_oCorrelationDetailCanvas, "imgCCDetail", " CC Detail ");
    m_pimgCorrelationFunction = Page(m_oCorrelationFunctionCanvas, "imgCCFunction", " CC Function ");
    m_pimgPeriodogram = new ImageView(m_oPeriodogramCanvas);
    m_pimgPeriodogram->setObjectName("imgPeriodogram");
    connect(m_pimgPeriodogram, &ImageView::Resized, this, [this] {
        if (m_ppgcPlots->currentIndex() == kPeriodogramPage) {
            DrawPeriodogram();
        }
    });
    m_ppgcPlots->addTab(m_pimgPeriodogram, " Periodogram ");
    return m_ppgcPlots;
}

QWidget* MainWindow::CreateStatusBar(int lBar, const std::vector<std::pair<int, const char*>>& vPanels)
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

void MainWindow::SetStatusText(int lBar, int lPanel, const QString& sText)
{
    m_avStatusPanels.at(static_cast<std::size_t>(lBar)).at(static_cast<std::size_t>(lPanel))->setText(sText);
}

void MainWindow::SetStatusToolTip(int lBar, int lPanel, const QString& sText)
{
    m_avStatusPanels.at(static_cast<std::size_t>(lBar)).at(static_cast<std::size_t>(lPanel))->setToolTip(sText);
}

QString MainWindow::StatusToolTip(int lBar, int lPanel) const
{
    return m_avStatusPanels.at(static_cast<std::size_t>(lBar)).at(static_cast<std::size_t>(lPanel))->toolTip();
}

QString MainWindow::StatusText(int lBar, int lPanel) const
{
    return m_avStatusPanels.at(static_cast<std::size_t>(lBar)).at(static_cast<std::size_t>(lPanel))->text();
}

void MainWindow::CreateDialogs()
{
    // In the program's order.
    m_pfrmImportConfig = new TextImportDialog(m_oSession.Settings(), this);
    m_pfrmSettings = new ObserverSiteDialog(this);
    m_pfrmLaboratoryLineSelect = new LaboratoryLineDialog(this);
    m_pfrmObservationTime = new ObservationTimeDialog(this);
    m_pfrmHelp = new HelpWindow(this);
    m_pfrmObjectCoordinates = new ObjectCoordinatesDialog(this);
    m_pfrmOrbitalElementRange = new OrbitSearchDialog(m_oPrompts, this);
    m_pfrmCorrelation = new CorrelationDialog(this);
    m_pfrmNormalize = new NormalizeDialog(this);
    m_pfrmPeriodogram = new PeriodogramDialog(this);
    m_pfrmConfigurePDM = new PdmDialog(this);
    m_pfrmMiscSettings = new MiscSettingsDialog(this);
    m_pfrmCalibration = new CalibrationDialog(m_oPrompts, this);
}

void MainWindow::showEvent(QShowEvent* pEvent)
{
    QMainWindow::showEvent(pEvent);
    if (m_bShownOnce) {
        return;
    }
    m_bShownOnce = true;
    ReadWindowSettings();
    if (const auto sProblem = m_oSession.Settings().File().WhyNotWritable()) {
        m_oPrompts.Message("Warning!", *sProblem + ".\nSettings will not be saved.", Icon::Warning, Buttons::Ok);
        ShowFeedback("Settings will not be saved");
    }
    if (!m_oSession.Lines().LoadLaboratoryLinesAtStartUp()) {
        m_oPrompts.Message("Error!",
                           "Inertial spectral lines file (e.g. LinesX.txt) not found!\n\rPlease select a different one.",
                           Icon::Warning, Buttons::Ok);
        onOpenLaboratoryLines();
    }
    if (!m_oSession.Calibration().LoadCalibrationLinesAtStartUp()) {
        m_oPrompts.Message("Error!",
                           "Calibration reference file (e.g. Neon.txt) not found!\n\rPlease select a different one.",
                           Icon::Warning, Buttons::Ok);
        onOpenCalibrationLines();
    }
    SessionChanged(~0U);
}

void MainWindow::ReadWindowSettings()
{
    const SettingsGateway& oSettings = m_oSession.Settings();
    const QRect oScreen = screen() != nullptr ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    QRect oGeometry;
    if (oSettings.File().ReadString("FormSettings", "Width", "").empty()) {
        // First start: most of the screen, centred (the classic 882 x 582 only on a screen that small).
        const QSize oSize(std::min(oScreen.width(), std::max(882, oScreen.width() * 17 / 20)),
                          std::min(oScreen.height(), std::max(582, oScreen.height() * 17 / 20)));
        oGeometry = QRect(QPoint(0, 0), oSize);
        oGeometry.moveCenter(oScreen.center());
    } else {
        oGeometry = QRect(oSettings.ReadInteger(Setting::FormLeft), oSettings.ReadInteger(Setting::FormTop),
                          oSettings.ReadInteger(Setting::FormWidth), oSettings.ReadInteger(Setting::FormHeight));
        // A window kept from a larger screen is brought onto this one.
        oGeometry.setWidth(std::min(oGeometry.width(), oScreen.width()));
        oGeometry.setHeight(std::min(oGeometry.height(), oScreen.height()));
        oGeometry.moveLeft(std::clamp(oGeometry.left(), oScreen.left(), oScreen.right() - oGeometry.width() + 1));
        oGeometry.moveTop(std::clamp(oGeometry.top(), oScreen.top(), oScreen.bottom() - oGeometry.height() + 1));
    }
    setGeometry(oGeometry.left(), oGeometry.top(), std::max(oGeometry.width(), minimumWidth()),
                std::max(oGeometry.height(), minimumHeight()));
    if (const int lControls = oSettings.ReadInteger(Setting::FormSplitter); lControls > 0) {
        const int lTotal = std::max(m_pSplitter->height(), height());
        m_pSplitter->setSizes({lControls, std::max(lTotal - lControls, 1)});
    }
    const int lWidthMaximum = oSettings.ReadInteger(Setting::WidthMaximum);
    // A slider needs at least two positions.
    SetWidthMaximum(lWidthMaximum >= 1 ? lWidthMaximum : 20);
    m_ptrbSensitivity->setValue(oSettings.ReadInteger(Setting::SensitivityIndex));
    m_ptrbWidth->setValue(oSettings.ReadInteger(Setting::WidthIndex));
    // The value fields show the sliders' values from the start, not only once a slider moved.
    m_pedWidth->setText(QString::number(m_ptrbWidth->maximum() - m_ptrbWidth->value()));
    m_pedSensitivity->setText(QString::number(m_ptrbSensitivity->maximum() - m_ptrbSensitivity->value()));
    m_pedMinSigma->setText(QString::fromStdString(FloatToText(oSettings.ReadFloat(Setting::MinDepthSigma))));
    m_pchbKeepYAxisFixed->setChecked(oSettings.ReadBool(Setting::KeepYAxisFixed));
}

void MainWindow::WriteWindowSettings()
{
    const SettingsGateway& oSettings = m_oSession.Settings();
    const QRect oNow = geometry();
    oSettings.Write(Setting::FormTop, oNow.top());
    oSettings.Write(Setting::FormLeft, oNow.left());
    oSettings.Write(Setting::FormHeight, oNow.height());
    oSettings.Write(Setting::FormWidth, oNow.width());
    oSettings.Write(Setting::FormSplitter, m_pSplitter->sizes().value(0));
    oSettings.Write(Setting::WidthIndex, m_ptrbWidth->value());
    oSettings.Write(Setting::WidthMaximum, m_ptrbWidth->maximum());
    oSettings.Write(Setting::SensitivityIndex, m_ptrbSensitivity->value());
    oSettings.Write(Setting::KeepYAxisFixed, m_pchbKeepYAxisFixed->isChecked());
}

void MainWindow::closeEvent(QCloseEvent* pEvent)
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
    m_oSession.Spectra().ClearSpectra();
    pEvent->accept();
}

void MainWindow::SetWidthMaximum(int lMaximum)
{
    m_ptrbWidth->setMaximum(lMaximum);
    m_ptrbWidth->setTickInterval(std::max(lMaximum / 20, 1));
}

bool MainWindow::eventFilter(QObject* pObject, QEvent* pEvent)
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
