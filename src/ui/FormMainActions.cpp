// The main window's commands: the menus from one table of captions, names, shortcuts and handlers,
// the context menu of the spectrum, and which commands are enabled.
#include "FormMain.h"

#include "core/UtilsClass.h"

#include <QAction>
#include <QCheckBox>
#include <QMenuBar>

#include <functional>

using Handler = std::function<void(TfrmMain*)>;

// One item of a menu; a caption of "-" is a separator.
struct TfrmMain::SMenuItem {
    SMenuItem(int lMenuIndex, const char* pcItemCaption, const char* pcItemName = nullptr,
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

struct SMenu {
    const char* pcCaption;
    const char* pcName;
};

const SMenu kMenus[] = {{"&Project", "mnuProject"},         {"&Edit", "mnuEdit"},
                        {"&Calibration", "mnuCalibration"}, {"&Settings", "mnuSettings"},
                        {"&Gaussian fit", "mnuGaussianFit"}, {"C&ross correlation", "mnuCrossCorrelation"},
                        {"&Analysis", "mnuAnalysis"},       {"&Help", "mnuHelp"}};

enum { kProject, kEdit, kCalibration, kSettings, kGaussianFit, kCrossCorrelation, kAnalysis, kHelp };

} // namespace

std::vector<TfrmMain::SMenuItem> TfrmMain::MenuItems()
{
    using W = TfrmMain;
    const auto Document = [](const char* pcDocument) { return [pcDocument](W* p) { p->OpenHelpDocument(pcDocument); }; };
    return {
        {kProject, "O&pen spectrum ...", "mniOpenSpectrum", "F2|Ctrl+O", &W::mniOpenSpectrumClick},
        {kProject, "Open &project ...", "mniOpenProject", nullptr, &W::mniOpenProjectClick},
        {kProject, "&Save project ...", "mniSaveProject", "Ctrl+S", &W::mniSaveProjectClick},
        {kProject, "Save project &as ...", "mniSaveProjectAs", "Ctrl+Shift+S", &W::mniSaveProjectAsClick},
        {kProject, "&Close project", "mniCloseProject", "Ctrl+W", &W::mniClearMatrixClick},
        {kProject, "-"},
        {kProject, "&Open measurements", "mniImportMeasurements", nullptr, &W::mniImportMeasurementsClick},
        {kProject, "Save &measurements ...", "mniDumpMeasurements", nullptr, &W::mniDumpMeasurementsClick},
        {kProject, "Save &RV results", "mniExportResults", nullptr, &W::mniExportResultsClick},
        {kProject, "-"},
        {kProject, "Save chart as .&bmp ...", "mniSaveChart", nullptr, &W::mniSaveChartClick},
        {kProject, "E&xport chart (PNG, SVG, PDF) ...", "mniExportChart", nullptr, &W::mniExportChartClick},
        {kProject, "Cop&y chart", "mniCopyChart", "Ctrl+Shift+C", &W::mniCopyChartClick},
        {kProject, "&Print spectrum", "mniPrintSpectrum", nullptr, &W::mniPrintSpectrumClick},
        {kProject, "Save spectrum as &FITS ...", "mniSaveSpectrumFits", nullptr, &W::mniSaveSpectrumFitsClick},
        {kProject, "-"},
        {kProject, "E&xit Quandrel (Alt+F4)", "mniExit", "Ctrl+Q", [](W* p) { p->close(); }},
        {kEdit, "&Undo", "mniUndo", "Ctrl+Z", &W::mniUndoClick, false},
        {kEdit, "-"},
        {kEdit, "&Clear single row", "mniRemoveEvaluation1", nullptr, &W::mniRemoveEvaluationClick},
        {kEdit, "Clear single &column", "mniRemoveSingleColumn1", nullptr, &W::mniRemoveSingleColumnClick},
        {kEdit, "&Clear table of RV", "mniClearMatrix", nullptr, &W::mniClearMatrixClick},
        {kCalibration, "Open &calibration lines file", "mniOpenCalibrationLines", nullptr,
         &W::mniOpenCalibrationLinesClick},
        {kCalibration, "Sa&ve calibrated spectrum", "mniSaveCalibratedSpectrum", nullptr,
         &W::mniSaveCalibratedSpectrumClick},
        {kCalibration, "&Identify remaining lamp lines", "mniIdentifyLampLines", nullptr,
         &W::mniIdentifyLampLinesClick},
        {kCalibration, "&Clear reference lines", "mniClearReferenceLines", nullptr,
         [](W* p) { p->Session().ClearCalibrationPoints(); }},
        {kSettings, "Observation &time ...", "mniTimeStamp2", nullptr, &W::mniTimeStampClick},
        {kSettings, "&Object coordinates ...", "mniObjectCoordinates", nullptr, &W::mniObjectCoordinatesClick},
        {kSettings, "O&bserver coordinates ...", "mniObserverCoordinates", nullptr, &W::mniObserverCoordinatesClick},
        {kSettings, "&Misc settings ...", "mniMiscSettings", nullptr, &W::mniMiscSettingsClick},
        {kGaussianFit, "&Open lines file ...", "mniOpenLinesFile", nullptr, &W::mniOpenLinesFileClick},
        {kGaussianFit, "-"},
        {kGaussianFit, "Indicate as &reference spectrum", "mniIndicateReference"},
        {kGaussianFit, "Indicate as &emission spectrum", "mniIndicateEmission"},
        {kGaussianFit, "-"},
        {kGaussianFit, "&Find spectral lines", "mniFindSpectralLines", nullptr, &W::mniFindSpectralLinesClick},
        {kGaussianFit, "Identify a&ll", "mniIdentifyAll", "Ctrl+I", &W::mniIdentifyAllClick},
        {kGaussianFit, "&Optimize fit", "mniOptimizeFit", nullptr, &W::mniOptimizeFitClick},
        {kGaussianFit, "&Add to measurements", "mniAddToMatrix", nullptr, &W::btnAddMeasurementClick},
        {kGaussianFit, "-"},
        {kGaussianFit, "&Normalise continuum ...", "mniNormalizeContinuum", nullptr, &W::mniNormalizeContinuumClick},
        {kGaussianFit, "Restore original &intensities", "mniRestoreIntensities", nullptr,
         &W::mniRestoreIntensitiesClick},
        {kCrossCorrelation, "&Open template", "mniOpenCCTemplate", "F3", &W::mniOpenCCTemplateClick},
        {kCrossCorrelation, "O&pen parameters", "mniOpenCCParams", "F4", &W::mniOpenCCParamsClick, false},
        {kCrossCorrelation, "&New parameters", "mniNewCCParams", nullptr, &W::mniNewCCParamsClick},
        {kCrossCorrelation, "Sa&ve parameters", "mniSaveCCParams", nullptr, &W::mniSaveCCParamsClick, false},
        {kCrossCorrelation, "R&un", "mniRunCC", "F5", &W::mniRunCCClick, false},
        {kAnalysis, "&Calculate elements", "mniCalculateElements", nullptr, &W::mniCalculateElementsClick, false},
        {kAnalysis, "E&xport elements", "mniExportElements", nullptr, &W::mniExportElementsClick, false},
        {kAnalysis, "&Export residuals", "mniExportResiduals", nullptr, &W::mniExportResidualsClick, false},
        {kAnalysis, "-"},
        {kAnalysis, "Estimate &period (PDM)", "mniEstimatePeriod", nullptr, &W::mniEstimatePeriodClick, false},
        {kAnalysis, "Perio&dogram ...", "mniPeriodogram", nullptr, &W::mniPeriodogramClick, false},
        {kHelp, "&Manual (english)", "mniManual", "F1", Document("Quandrel-Manual.pdf")},
        {kHelp, "&Handbuch (deutsch)", "mniHandbuch", nullptr, Document("Quandrel-Handbuch.pdf")},
        {kHelp, "&Reference (english)", "mniReference", nullptr, Document("Quandrel-Reference.pdf")},
        {kHelp, "R&eferenz (deutsch)", "mniReferenz", nullptr, Document("Quandrel-Referenz.pdf")},
        {kHelp, "-"},
        {kHelp, "&About Quandrel ...", "mniAbout", nullptr, &W::mniAboutClick},
    };
}

QAction* TfrmMain::AddItem(QMenu* pMenu, const char* pcCaption, const char* pcName, const char* pcShortcut)
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

void TfrmMain::CreateMenus()
{
    std::vector<QMenu*> vMenus;
    for (const SMenu& oMenu : kMenus) {
        vMenus.push_back(menuBar()->addMenu(QString::fromUtf8(oMenu.pcCaption)));
        vMenus.back()->setObjectName(oMenu.pcName);
    }
    const std::pair<const char*, QAction* SActions::*> aoMembers[] = {
        {"mniOpenSpectrum", &SActions::pmniOpenSpectrum},
        {"mniRunCC", &SActions::pmniRunCC},
        {"mniSaveCCParams", &SActions::pmniSaveCCParams},
        {"mniOpenCCParams", &SActions::pmniOpenCCParams},
        {"mniCalculateElements", &SActions::pmniCalculateElements},
        {"mniExportElements", &SActions::pmniExportElements},
        {"mniUndo", &SActions::pmniUndo},
        {"mniExportResiduals", &SActions::pmniExportResiduals},
        {"mniEstimatePeriod", &SActions::pmniEstimatePeriod},
        {"mniPeriodogram", &SActions::pmniPeriodogram},
        {"mniTimeStamp2", &SActions::pmniTimeStamp2},
        {"mniNormalizeContinuum", &SActions::pmniNormalizeContinuum},
        {"mniRestoreIntensities", &SActions::pmniRestoreIntensities},
        {"mniIndicateReference", &SActions::pmniIndicateReference},
        {"mniIndicateEmission", &SActions::pmniIndicateEmission},
    };
    for (const SMenuItem& oItem : MenuItems()) {
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
    // The kind of the current spectrum: each item toggles its own flag.
    m_oActions.pmniIndicateReference->setCheckable(true);
    connect(m_oActions.pmniIndicateReference, &QAction::triggered, this, [this] {
        if (CSpectrum* pSpectrum = GetCurrentSpectrum()) {
            SetSpectrumKind(!pSpectrum->IsReferenceSpectrum(), m_oActions.pmniIndicateEmission->isChecked());
        }
    });
    m_oActions.pmniIndicateEmission->setCheckable(true);
    connect(m_oActions.pmniIndicateEmission, &QAction::triggered, this, [this] {
        if (CSpectrum* pSpectrum = GetCurrentSpectrum()) {
            SetSpectrumKind(m_oActions.pmniIndicateReference->isChecked(), !pSpectrum->IsEmissionSpectrum());
        }
    });
}

void TfrmMain::CreateContextMenu()
{
    m_ppumSpectrum = new QMenu(this);
    m_ppumSpectrum->setObjectName("pumSpectrum");
    SActions& a = m_oActions;
    a.pmniRemoveSpectrum = AddItem(m_ppumSpectrum, "&Remove spectrum", "mniRemoveSpectrum");
    connect(a.pmniRemoveSpectrum, &QAction::triggered, this, &TfrmMain::mniRemoveSpectrumClick);
    a.pmniActivate = AddItem(m_ppumSpectrum, "&Activate", "mniActivate");
    a.pmniActivate->setVisible(false);
    a.pmniActivate->setEnabled(false);
    connect(a.pmniActivate, &QAction::triggered, this, &TfrmMain::lsbSpectraClick);
    m_ppumSpectrum->addSeparator();
    a.pmniIndicateReferencePopup = AddItem(m_ppumSpectrum, "&Indicate as reference", "mniIndicateReferencePopup");
    a.pmniIndicateReferencePopup->setCheckable(true);
    connect(a.pmniIndicateReferencePopup, &QAction::triggered, a.pmniIndicateReference, &QAction::trigger);
    a.pmniIndicateEmissionPopup = AddItem(m_ppumSpectrum, "Indicate as emission spectrum", "mniIndicateEmissionPopup");
    a.pmniIndicateEmissionPopup->setCheckable(true);
    connect(a.pmniIndicateEmissionPopup, &QAction::triggered, a.pmniIndicateEmission, &QAction::trigger);
    m_ppumSpectrum->addSeparator();
    const std::tuple<const char*, const char*, QAction* SActions::*, void (TfrmMain::*)()> aoItems[] = {
        {"Calibrate ...", "mniCalibrate", &SActions::pmniCalibrate, &TfrmMain::mniCalibrateClick},
        {"Identify with ", "mniIdentifyWithXX", &SActions::pmniIdentifyWithXX, &TfrmMain::mniIdentifyWithXXClick},
        {"Identify with ...", "mniIdentifyWith", &SActions::pmniIdentifyWith, &TfrmMain::mniIdentifyWithClick},
        {"Identify a&ll", "mniIdentifyAllPopup", &SActions::pmniIdentifyAllPopup, &TfrmMain::mniIdentifyAllClick},
        {"Remove identification", "mniUnidentify", &SActions::pmniUnidentify, &TfrmMain::mniUnidentifyClick},
        {"Optimize &Fit", "mniOptimizeFitPopup", &SActions::pmniOptimizeFitPopup, &TfrmMain::mniOptimizeFitClick},
        {"&Observation time ...", "mniTimeStamp", &SActions::pmniTimeStamp, &TfrmMain::mniTimeStampClick},
        {"Identify inertial line ...", "mniIdentifyInertialLine", &SActions::pmniIdentifyInertialLine,
         &TfrmMain::mniIdentifyInertialLineClick},
        {"Identify remaining lamp lines", "mniIdentifyLampLinesPopup", &SActions::pmniIdentifyLampLinesPopup,
         &TfrmMain::mniIdentifyLampLinesClick},
        {"Remove from RV table", "mniRemoveFromMatrix", &SActions::pmniRemoveFromMatrix,
         &TfrmMain::mniRemoveFromMatrixClick},
        {"FITS &header ...", "mniFitsHeader", &SActions::pmniFitsHeader, &TfrmMain::mniFitsHeaderClick},
    };
    for (const auto& [pcCaption, pcName, pMember, pHandler] : aoItems) {
        a.*pMember = AddItem(m_ppumSpectrum, pcCaption, pcName);
        connect(a.*pMember, &QAction::triggered, this, pHandler);
    }
    // Hidden each time the menu opens; the commands work when invoked.
    const std::tuple<const char*, const char*, std::function<void()>> aoHidden[] = {
        {"Combine with left neighbour", "mniCombineLeft", [this] { mniCombineLeftClick(); }},
        {"Combine with right neighbour", "mniCombineRight", [this] { mniCombineRightClick(); }},
        {"Uncombine neighbour", "mniUncombine", [this] { mniUncombineClick(); }},
        {"Double Gaussian", "mniDoubleGaussian", [this] { mniGaussianTypeClick(true); }},
        {"Single Gaussian", "mniSingleGaussian", [this] { mniGaussianTypeClick(false); }},
    };
    std::size_t i = 0;
    for (const auto& [pcCaption, pcName, fnHandler] : aoHidden) {
        QAction* pItem = AddItem(m_ppumSpectrum, pcCaption, pcName);
        pItem->setVisible(false);
        connect(pItem, &QAction::triggered, this, fnHandler);
        a.apmniHiddenLineCommands[i++] = pItem;
    }
    connect(m_ppumSpectrum, &QMenu::aboutToShow, this, &TfrmMain::PrepareContextMenu);
}

void TfrmMain::UpdateCommandStates()
{
    const CSession& s = m_oSession;
    m_oActions.pmniRunCC->setEnabled(s.CanRunCorrelation());
    m_oActions.pmniSaveCCParams->setEnabled(s.CrossCorrelation().AreParametersSet());
    m_oActions.pmniOpenCCParams->setEnabled(s.Template() != nullptr);
    const bool bFitted = s.IsOrbitFitted();
    m_oActions.pmniExportElements->setEnabled(bFitted);
    m_oActions.pmniExportResiduals->setEnabled(bFitted);
    m_pchbPhasePlot->setEnabled(bFitted);
    m_oActions.pmniEstimatePeriod->setEnabled(s.CanEstimatePeriod());
    m_oActions.pmniPeriodogram->setEnabled(s.Orbit().GetData().GetArraySize() >= 4);
    m_oActions.pmniCalculateElements->setEnabled(s.CanFitOrbit());
    m_oActions.pmniTimeStamp2->setEnabled(s.CurrentSpectrum() != nullptr);
    m_oActions.pmniNormalizeContinuum->setEnabled(s.CurrentSpectrum() != nullptr);
    m_oActions.pmniRestoreIntensities->setEnabled(s.CanRestoreCurrentSpectrum());
    m_oActions.pmniUndo->setEnabled(s.CanUndo());
    m_oActions.pmniUndo->setText(s.CanUndo() ? QString::fromStdString("&Undo " + s.UndoCaption()) : QString("&Undo"));
    SyncSpectrumKindControls();
}

void TfrmMain::PrepareContextMenu()
{
    const CSpectrum* pCurrent = GetCurrentSpectrum();
    const bool bHave = pCurrent != nullptr;
    SActions& a = m_oActions;
    a.pmniRemoveSpectrum->setVisible(bHave);
    a.pmniRemoveSpectrum->setEnabled(bHave);
    a.pmniIndicateReferencePopup->setEnabled(bHave);
    a.pmniIndicateEmissionPopup->setEnabled(bHave);
    a.pmniIndicateReferencePopup->setChecked(bHave && pCurrent->IsReferenceSpectrum());
    a.pmniIndicateEmissionPopup->setChecked(bHave && pCurrent->IsEmissionSpectrum());

    const int32_t lActive = m_oSession.ActiveLine();
    const bool bIdentify =
        bHave && pCurrent->GetSpectralLineCount() > 0 && lActive >= 0 && !pCurrent->IsReferenceSpectrum();
    QString sCaption = "Identify with ";
    if (const auto oNearest = m_oSession.NearestLaboratoryLine()) {
        sCaption += QString::fromStdString(oNearest->sName + " (" + FloatToText(oNearest->fWavelength) + ")");
    }
    a.pmniIdentifyWithXX->setText(sCaption);
    a.pmniIdentifyWithXX->setEnabled(bIdentify);
    a.pmniIdentifyWith->setEnabled(bIdentify);
    a.pmniOptimizeFitPopup->setEnabled(bIdentify && m_pchbOptLevel->isChecked());
    a.pmniCalibrate->setVisible(bHave && !pCurrent->IsReferenceSpectrum() &&
                                m_oSession.Calibration().GetCalibrationPointCount() > 0);
    a.pmniIdentifyInertialLine->setVisible(bHave && pCurrent->IsReferenceSpectrum() &&
                                           pCurrent->GetSpectralLineCount() > 0 && lActive >= 0);
    a.pmniIdentifyAllPopup->setVisible(bHave && !pCurrent->IsReferenceSpectrum());
    a.pmniUnidentify->setVisible(bIdentify && pCurrent->GetLineInertialIndex(lActive) >= 0);
    a.pmniIdentifyAllPopup->setEnabled(bHave && pCurrent->GetSpectralLineCount() > 0);
    a.pmniIdentifyLampLinesPopup->setVisible(bHave && pCurrent->IsReferenceSpectrum() &&
                                             m_oSession.Calibration().GetCalibrationPointCount() >= 2);
    a.pmniTimeStamp->setEnabled(bHave);
    a.pmniTimeStamp2->setEnabled(bHave);
    a.pmniRemoveFromMatrix->setVisible(m_oSession.Table().ContainsSpectrum(pCurrent));
    a.pmniFitsHeader->setVisible(bHave && !pCurrent->GetMetadata().vHeaderCards.empty());
    for (QAction* pHidden : a.apmniHiddenLineCommands) {
        pHidden->setVisible(false);
    }
}
