// The main window's commands: the menus from one table of captions, names, shortcuts and handlers,
// the context menu of the spectrum, and which commands are enabled.
#include "MainWindow.h"
#include "ObserverIdentityDialog.h"

#include "core/Utils.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QMenuBar>

#include <functional>
#include <tuple>

using Handler = std::function<void(MainWindow*)>;

// One item of a menu; a caption of "-" is a separator.
struct MainWindow::MenuItem {
    MenuItem(int lMenuIndex, const char* pcItemCaption, const char* pcItemName = nullptr,
              const char* pcItemShortcut = nullptr, Handler fnItemHandler = {}, bool bItemEnabled = true)
        : lMenu(lMenuIndex),
          pcCaption(pcItemCaption),
          pcName(pcItemName),
          pcShortcut(pcItemShortcut),
          fnHandler(std::move(fnItemHandler)),
          bEnabled(bItemEnabled)
    {
    }
    int lMenu;
    const char* pcCaption;
    const char* pcName;
    const char* pcShortcut;
    Handler fnHandler;
    bool bEnabled;
};

namespace {

struct Menu {
    const char* pcCaption;
    const char* pcName;
};

const Menu kMenus[] = {{"&Project", "mnuProject"},         {"&Edit", "mnuEdit"},
                        {"&Calibration", "mnuCalibration"}, {"&Settings", "mnuSettings"},
                        {"&Gaussian fit", "mnuGaussianFit"}, {"C&ross correlation", "mnuCrossCorrelation"},
                        {"&Analysis", "mnuAnalysis"},       {"&Help", "mnuHelp"}};

enum { kProject, kEdit, kCalibration, kSettings, kGaussianFit, kCrossCorrelation, kAnalysis, kHelp };

} // namespace

std::vector<MainWindow::MenuItem> MainWindow::MenuItems()
{
    using W = MainWindow;
    const auto Document = [](const char* pcDocument) { return [pcDocument](W* p) { p->OpenHelpDocument(pcDocument); }; };
    return {
        {kProject, "O&pen spectrum ...", "mniOpenSpectrum", "F2|Ctrl+O", &W::onOpenSpectrum},
        {kProject, "Open &project ...", "mniOpenProject", nullptr, &W::onOpenProject},
        {kProject, "&Save project ...", "mniSaveProject", "Ctrl+S", &W::onSaveProject},
        {kProject, "Save project &as ...", "mniSaveProjectAs", "Ctrl+Shift+S", &W::onSaveProjectAs},
        {kProject, "&Close project", "mniCloseProject", "Ctrl+W", &W::onClearTable},
        {kProject, "-"},
        {kProject, "&Open measurements", "mniImportMeasurements", nullptr, &W::onImportMeasurements},
        {kProject, "Save &measurements ...", "mniDumpMeasurements", nullptr, &W::onDumpMeasurements},
        {kProject, "Save &RV results", "mniExportResults", nullptr, &W::onExportResults},
        {kProject, "-"},
        {kProject, "Save chart as .&bmp ...", "mniSaveChart", nullptr, &W::onSaveChart},
        {kProject, "E&xport chart (PNG, SVG, PDF) ...", "mniExportChart", nullptr, &W::onExportChart},
        {kProject, "Cop&y chart", "mniCopyChart", "Ctrl+Shift+C", &W::onCopyChart},
        {kProject, "&Print spectrum", "mniPrintSpectrum", nullptr, &W::onPrintSpectrum},
        {kProject, "Save spectrum as &FITS ...", "mniSaveSpectrumFits", nullptr, &W::onSaveSpectrumFits},
        {kProject, "-"},
        {kProject, "E&xit Quandrel (Alt+F4)", "mniExit", "Ctrl+Q", [](W* p) { p->close(); }},
        {kEdit, "&Undo", "mniUndo", "Ctrl+Z", &W::onUndo, false},
        {kEdit, "-"},
        {kEdit, "&Clear single row", "mniRemoveEvaluation1", nullptr, &W::onClearRow},
        {kEdit, "Clear single &column", "mniRemoveSingleColumn1", nullptr, &W::onClearColumn},
        {kEdit, "&Clear table of RV", "mniClearMatrix", nullptr, &W::onClearTable},
        {kCalibration, "Open &calibration lines file", "mniOpenCalibrationLines", nullptr,
         &W::onOpenCalibrationLines},
        {kCalibration, "Sa&ve calibrated spectrum", "mniSaveCalibratedSpectrum", nullptr,
         &W::onSaveCalibratedSpectrum},
        {kCalibration, "&Identify remaining lamp lines", "mniIdentifyLampLines", nullptr,
         &W::onIdentifyLampLines},
        {kCalibration, "&Clear reference lines", "mniClearReferenceLines", nullptr,
         [](W* p) { p->Session().Calibration().ClearCalibrationPoints(); }},
        {kSettings, "Observation &time ...", "mniTimeStamp2", nullptr, &W::onObservationTime},
        {kSettings, "&Object coordinates ...", "mniObjectCoordinates", nullptr, &W::onObjectCoordinates},
        {kSettings, "O&bserver coordinates ...", "mniObserverCoordinates", nullptr, &W::onObserverSite},
        {kSettings, "Observer and &instrument ...", "mniObserverIdentity", nullptr,
         [](W* p) {
             if (const auto o = ChooseObserverIdentity(p, p->Session().Project().Identity())) {
                 p->Session().Project().SetIdentity(*o);
             }
         }},
        {kSettings, "&Precise correction (barycentric)", "mniPreciseCorrection"},
        {kSettings, "&Misc settings ...", "mniMiscSettings", nullptr, &W::onMiscSettings},
        {kGaussianFit, "&Open lines file ...", "mniOpenLinesFile", nullptr, &W::onOpenLaboratoryLines},
        {kGaussianFit, "-"},
        {kGaussianFit, "Indicate as &reference spectrum", "mniIndicateReference"},
        {kGaussianFit, "Indicate as &emission spectrum", "mniIndicateEmission"},
        {kGaussianFit, "-"},
        {kGaussianFit, "&Find spectral lines", "mniFindSpectralLines", nullptr, &W::onFindSpectralLines},
        {kGaussianFit, "Identify a&ll", "mniIdentifyAll", "Ctrl+I", &W::onIdentifyAll},
        {kGaussianFit, "&Optimize fit", "mniOptimizeFit", nullptr, &W::onOptimizeFit},
        {kGaussianFit, "&Add to measurements", "mniAddToMatrix", nullptr, &W::onAddMeasurement},
        {kGaussianFit, "Mea&sure all open spectra", "mniMeasureAll", nullptr, &W::onMeasureAllOpenSpectra},
        {kGaussianFit, "-"},
        {kGaussianFit, "&Normalise continuum ...", "mniNormalizeContinuum", nullptr, &W::onNormalizeContinuum},
        {kGaussianFit, "Restore original &intensities", "mniRestoreIntensities", nullptr,
         &W::onRestoreIntensities},
        {kCrossCorrelation, "&Open template", "mniOpenCCTemplate", "F3", &W::onOpenCorrelationTemplate},
        {kCrossCorrelation, "O&pen parameters", "mniOpenCCParams", "F4", &W::onOpenCorrelationParameters, false},
        {kCrossCorrelation, "&New parameters", "mniNewCCParams", nullptr, &W::onCorrelationParameters},
        {kCrossCorrelation, "Sa&ve parameters", "mniSaveCCParams", nullptr, &W::onSaveCorrelationParameters, false},
        {kCrossCorrelation, "R&un", "mniRunCC", "F5", &W::onRunCorrelation, false},
        {kAnalysis, "&Calculate elements", "mniCalculateElements", nullptr, &W::onFitOrbit, false},
        {kAnalysis, "E&xport elements", "mniExportElements", nullptr, &W::onExportElements, false},
        {kAnalysis, "&Export residuals", "mniExportResiduals", nullptr, &W::onExportResiduals, false},
        {kAnalysis, "Po&sterior ...", "mniPosterior", nullptr, &W::onPosterior, false},
        {kAnalysis, "-"},
        {kAnalysis, "Estimate &period (PDM)", "mniEstimatePeriod", nullptr, &W::onEstimatePeriod, false},
        {kAnalysis, "Perio&dogram ...", "mniPeriodogram", nullptr, &W::onPeriodogram, false},
        {kHelp, "&Manual (english)", "mniManual", "F1", Document("Quandrel-Manual.pdf")},
        {kHelp, "&Handbuch (deutsch)", "mniHandbuch", nullptr, Document("Quandrel-Handbuch.pdf")},
        {kHelp, "&Reference (english)", "mniReference", nullptr, Document("Quandrel-Reference.pdf")},
        {kHelp, "R&eferenz (deutsch)", "mniReferenz", nullptr, Document("Quandrel-Referenz.pdf")},
        {kHelp, "-"},
        {kHelp, "&About Quandrel ...", "mniAbout", nullptr, &W::onAbout},
    };
}

QAction* MainWindow::AddItem(QMenu* pMenu, const char* pcCaption, const char* pcName, const char* pcShortcut)
{
    QAction* pAction = pMenu->addAction(QString::fromUtf8(pcCaption));
    pAction->setObjectName(QString::fromLatin1(pcName));
    if (pcShortcut != nullptr) {
        // "F2|Ctrl+O": several keys for one command.
        QList<QKeySequence> vKeys;
        for (const QString& sKey : QString::fromLatin1(pcShortcut).split('|')) {
            vKeys.push_back(QKeySequence(sKey));
        }
        pAction->setShortcuts(vKeys);
    }
    return pAction;
}

void MainWindow::CreateMenus()
{
    std::vector<QMenu*> vMenus;
    for (const Menu& oMenu : kMenus) {
        vMenus.push_back(menuBar()->addMenu(QString::fromUtf8(oMenu.pcCaption)));
        vMenus.back()->setObjectName(oMenu.pcName);
    }
    const std::pair<const char*, QAction* Actions::*> aoMembers[] = {
        {"mniOpenSpectrum", &Actions::pmniOpenSpectrum},
        {"mniRunCC", &Actions::pmniRunCorrelation},
        {"mniSaveCCParams", &Actions::pmniSaveCorrelationParameters},
        {"mniOpenCCParams", &Actions::pmniOpenCorrelationParameters},
        {"mniCalculateElements", &Actions::pmniCalculateElements},
        {"mniExportElements", &Actions::pmniExportElements},
        {"mniUndo", &Actions::pmniUndo},
        {"mniExportResiduals", &Actions::pmniExportResiduals},
        {"mniPosterior", &Actions::pmniPosterior},
        {"mniEstimatePeriod", &Actions::pmniEstimatePeriod},
        {"mniPeriodogram", &Actions::pmniPeriodogram},
        {"mniTimeStamp2", &Actions::pmniObservationTime2},
        {"mniNormalizeContinuum", &Actions::pmniNormalizeContinuum},
        {"mniRestoreIntensities", &Actions::pmniRestoreIntensities},
        {"mniIndicateReference", &Actions::pmniIndicateReference},
        {"mniIndicateEmission", &Actions::pmniIndicateEmission},
    };
    for (const MenuItem& oItem : MenuItems()) {
        QMenu* pMenu = vMenus[static_cast<std::size_t>(oItem.lMenu)];
        if (std::string(oItem.pcCaption) == "-") {
            pMenu->addSeparator();
            continue;
        }
        QAction* pAction = AddItem(pMenu, oItem.pcCaption, oItem.pcName, oItem.pcShortcut);
        pAction->setEnabled(oItem.bEnabled);
        if (oItem.fnHandler) {
            connect(pAction, &QAction::triggered, this, [this, fnHandler = oItem.fnHandler] { fnHandler(this); });
        }
        for (const auto& [pcName, pMember] : aoMembers) {
            if (std::string(pcName) == oItem.pcName) {
                m_oActions.*pMember = pAction;
            }
        }
    }
    // The spectra and projects opened last, above "E&xit".
    QMenu* pProject = vMenus.front();
    m_pmnuRecentFiles = new QMenu("Recent &files", pProject);
    m_pmnuRecentFiles->setObjectName("mnuRecentFiles");
    QAction* pmniExit = findChild<QAction*>("mniExit");
    pProject->insertMenu(pmniExit, m_pmnuRecentFiles);
    pProject->insertSeparator(pmniExit);
    RefreshRecentFiles();
    // The time scale the orbit and the period searches take the table's times in.
    QMenu* pAnalysis = vMenus[static_cast<std::size_t>(kAnalysis)];
    QMenu* pTimeScale = pAnalysis->addMenu("&Time scale");
    pTimeScale->setObjectName("mnuTimeScale");
    auto* pScales = new QActionGroup(pTimeScale);
    for (const auto& [pcCaption, pcName, eScale] :
         {std::tuple{"&JD (UTC)", "mniTimeScaleJd", TimeScale::kJulianDateUtc}, {"&HJD", "mniTimeScaleHjd", TimeScale::kHjd},
          {"&BJD_TDB", "mniTimeScaleBjd", TimeScale::kBjdTdb}}) {
        QAction* pScale = AddItem(pTimeScale, pcCaption, pcName);
        pScale->setCheckable(true);
        pScale->setChecked(m_oSession.Orbit().ChosenTimeScale() == eScale);
        pScales->addAction(pScale);
        connect(pScale, &QAction::triggered, this, [this, eScale = eScale] {
            m_oSession.Orbit().SetTimeScale(eScale);
            ShowFeedback(QString("The orbit and the period searches take the times as ") + TimeScaleName(eScale));
        });
    }
    // The kind of the current spectrum: each item toggles its own flag.
    m_oActions.pmniIndicateReference->setCheckable(true);
    connect(m_oActions.pmniIndicateReference, &QAction::triggered, this, [this] {
        if (const Spectrum* pSpectrum = GetCurrentSpectrum()) {
            SetSpectrumKind(!pSpectrum->IsReferenceSpectrum(), m_oActions.pmniIndicateEmission->isChecked());
        }
    });
    m_oActions.pmniIndicateEmission->setCheckable(true);
    connect(m_oActions.pmniIndicateEmission, &QAction::triggered, this, [this] {
        if (const Spectrum* pSpectrum = GetCurrentSpectrum()) {
            SetSpectrumKind(m_oActions.pmniIndicateReference->isChecked(), !pSpectrum->IsEmissionSpectrum());
        }
    });
    // The correction new measurements get: the precise barycentric one, or the classic heliocentric one.
    auto* pmniPrecise = findChild<QAction*>("mniPreciseCorrection");
    pmniPrecise->setCheckable(true);
    pmniPrecise->setChecked(m_oSession.Project().Correction() == CorrectionKind::kBarycentric);
    connect(pmniPrecise, &QAction::toggled, this, [this](bool bPrecise) {
        m_oSession.Project().SetCorrection(bPrecise ? CorrectionKind::kBarycentric : CorrectionKind::kHeliocentric);
        ShowFeedback(bPrecise ? "New measurements get the precise barycentric correction"
                              : "New measurements get the classic heliocentric correction");
    });
}

void MainWindow::CreateContextMenu()
{
    m_ppumSpectrum = new QMenu(this);
    m_ppumSpectrum->setObjectName("pumSpectrum");
    Actions& a = m_oActions;
    a.pmniRemoveSpectrum = AddItem(m_ppumSpectrum, "&Remove spectrum", "mniRemoveSpectrum");
    connect(a.pmniRemoveSpectrum, &QAction::triggered, this, &MainWindow::onRemoveSpectrum);
    a.pmniActivate = AddItem(m_ppumSpectrum, "&Activate", "mniActivate");
    a.pmniActivate->setVisible(false);
    a.pmniActivate->setEnabled(false);
    connect(a.pmniActivate, &QAction::triggered, this, &MainWindow::onSpectrumChosen);
    m_ppumSpectrum->addSeparator();
    a.pmniIndicateReferencePopup = AddItem(m_ppumSpectrum, "&Indicate as reference", "mniIndicateReferencePopup");
    a.pmniIndicateReferencePopup->setCheckable(true);
    connect(a.pmniIndicateReferencePopup, &QAction::triggered, a.pmniIndicateReference, &QAction::trigger);
    a.pmniIndicateEmissionPopup = AddItem(m_ppumSpectrum, "Indicate as emission spectrum", "mniIndicateEmissionPopup");
    a.pmniIndicateEmissionPopup->setCheckable(true);
    connect(a.pmniIndicateEmissionPopup, &QAction::triggered, a.pmniIndicateEmission, &QAction::trigger);
    m_ppumSpectrum->addSeparator();
    const std::tuple<const char*, const char*, QAction* Actions::*, void (MainWindow::*)()> aoItems[] = {
        {"Calibrate ...", "mniCalibrate", &Actions::pmniCalibrate, &MainWindow::onCalibrate},
        {"Identify with ", "mniIdentifyWithXX", &Actions::pmniIdentifyWithXX, &MainWindow::onIdentifyWithNearest},
        {"Identify with ...", "mniIdentifyWith", &Actions::pmniIdentifyWith, &MainWindow::onIdentifyWith},
        {"Identify a&ll", "mniIdentifyAllPopup", &Actions::pmniIdentifyAllPopup, &MainWindow::onIdentifyAll},
        {"Remove identification", "mniUnidentify", &Actions::pmniUnidentify, &MainWindow::onUnidentify},
        {"Optimize &Fit", "mniOptimizeFitPopup", &Actions::pmniOptimizeFitPopup, &MainWindow::onOptimizeFit},
        {"&Observation time ...", "mniTimeStamp", &Actions::pmniObservationTime, &MainWindow::onObservationTime},
        {"Identify inertial line ...", "mniIdentifyInertialLine", &Actions::pmniIdentifyLaboratoryLine,
         &MainWindow::onIdentifyLaboratoryLine},
        {"Identify remaining lamp lines", "mniIdentifyLampLinesPopup", &Actions::pmniIdentifyLampLinesPopup,
         &MainWindow::onIdentifyLampLines},
        {"Remove from RV table", "mniRemoveFromMatrix", &Actions::pmniRemoveFromTable,
         &MainWindow::onRemoveFromTable},
        {"FITS &header ...", "mniFitsHeader", &Actions::pmniFitsHeader, &MainWindow::onFitsHeader},
    };
    for (const auto& [pcCaption, pcName, pMember, pHandler] : aoItems) {
        a.*pMember = AddItem(m_ppumSpectrum, pcCaption, pcName);
        connect(a.*pMember, &QAction::triggered, this, pHandler);
    }
    // Hidden each time the menu opens; the commands work when invoked.
    const std::tuple<const char*, const char*, std::function<void()>> aoHidden[] = {
        {"Combine with left neighbour", "mniCombineLeft", [this] { onCombineLeft(); }},
        {"Combine with right neighbour", "mniCombineRight", [this] { onCombineRight(); }},
        {"Uncombine neighbour", "mniUncombine", [this] { onUncombine(); }},
        {"Double Gaussian", "mniDoubleGaussian", [this] { onGaussianType(true); }},
        {"Single Gaussian", "mniSingleGaussian", [this] { onGaussianType(false); }},
    };
    std::size_t i = 0;
    for (const auto& [pcCaption, pcName, fnHandler] : aoHidden) {
        QAction* pItem = AddItem(m_ppumSpectrum, pcCaption, pcName);
        pItem->setVisible(false);
        connect(pItem, &QAction::triggered, this, fnHandler);
        a.apmniHiddenLineCommands[i++] = pItem;
    }
    connect(m_ppumSpectrum, &QMenu::aboutToShow, this, &MainWindow::PrepareContextMenu);
}

void MainWindow::UpdateCommandStates()
{
    const ::Session& s = m_oSession;
    m_oActions.pmniRunCorrelation->setEnabled(s.Correlation().CanRunCorrelation());
    m_oActions.pmniSaveCorrelationParameters->setEnabled(s.Correlation().CanSaveCorrelationParameters());
    m_oActions.pmniOpenCorrelationParameters->setEnabled(s.Correlation().CanLoadCorrelationParameters());
    const bool bFitted = s.Orbit().IsOrbitFitted();
    m_oActions.pmniExportElements->setEnabled(bFitted);
    m_oActions.pmniExportResiduals->setEnabled(bFitted);
    m_pchbPhasePlot->setEnabled(bFitted);
    m_oActions.pmniEstimatePeriod->setEnabled(s.Periods().CanEstimatePeriod());
    m_oActions.pmniPeriodogram->setEnabled(s.Periods().CanComputePeriodogram());
    m_oActions.pmniCalculateElements->setEnabled(s.Orbit().CanFitOrbit());
    m_oActions.pmniPosterior->setEnabled(s.Orbit().LeastSquaresFit().has_value() && s.Orbit().IsOrbitFitted());
    m_oActions.pmniObservationTime2->setEnabled(s.Spectra().CurrentSpectrum() != nullptr);
    m_oActions.pmniNormalizeContinuum->setEnabled(s.Spectra().CurrentSpectrum() != nullptr);
    m_oActions.pmniRestoreIntensities->setEnabled(s.Spectra().CanRestoreCurrentSpectrum());
    m_oActions.pmniUndo->setEnabled(s.CanUndo());
    m_oActions.pmniUndo->setText(s.CanUndo() ? QString::fromStdString("&Undo " + s.UndoCaption()) : QString("&Undo"));
    SyncSpectrumKindControls();
}

void MainWindow::PrepareContextMenu()
{
    const Spectrum* pCurrent = GetCurrentSpectrum();
    const LineCommands o = m_oSession.Lines().CurrentLineCommands();
    const bool bHave = o.bHaveSpectrum;
    Actions& a = m_oActions;
    a.pmniRemoveSpectrum->setVisible(bHave);
    a.pmniRemoveSpectrum->setEnabled(bHave);
    a.pmniIndicateReferencePopup->setEnabled(bHave);
    a.pmniIndicateEmissionPopup->setEnabled(bHave);
    a.pmniIndicateReferencePopup->setChecked(bHave && pCurrent->IsReferenceSpectrum());
    a.pmniIndicateEmissionPopup->setChecked(bHave && pCurrent->IsEmissionSpectrum());

    QString sCaption = "Identify with ";
    if (const auto oNearest = m_oSession.Lines().NearestLaboratoryLine()) {
        sCaption += QString::fromStdString(oNearest->sName + " (" + FloatToText(oNearest->fWavelength) + ")");
    }
    a.pmniIdentifyWithXX->setText(sCaption);
    a.pmniIdentifyWithXX->setEnabled(o.bIdentify);
    a.pmniIdentifyWith->setEnabled(o.bIdentify);
    a.pmniOptimizeFitPopup->setEnabled(o.bIdentify && m_pchbOptLevel->isChecked());
    a.pmniCalibrate->setVisible(o.bCalibrate);
    a.pmniIdentifyLaboratoryLine->setVisible(o.bIdentifyCalibrationLine);
    a.pmniIdentifyAllPopup->setVisible(o.bIdentifyAll);
    a.pmniUnidentify->setVisible(o.bUnidentify);
    a.pmniIdentifyAllPopup->setEnabled(o.bIdentifyAllEnabled);
    a.pmniIdentifyLampLinesPopup->setVisible(o.bIdentifyLampLines);
    a.pmniObservationTime->setEnabled(bHave);
    a.pmniObservationTime2->setEnabled(bHave);
    a.pmniRemoveFromTable->setVisible(o.bRemoveFromTable);
    a.pmniFitsHeader->setVisible(o.bShowHeader);
    for (QAction* pHidden : a.apmniHiddenLineCommands) {
        pHidden->setVisible(false);
    }
}
