// The main window's handlers of the cross-correlation: the template, the parameters and a run whose
// velocity goes into the table.
#include "FormMain.h"

#include "FormCC.h"
#include "Prompts.h"

#include <QTabWidget>

void TfrmMain::mniOpenCCTemplateClick()
{
    std::string sFile;
    auto pTemplate = ImportSpectrum("Load template", ESetting::CCTemplatePath, m_oCCTemplateCanvas, sFile);
    if (!pTemplate) {
        return;
    }
    m_ppgcPlots->setCurrentIndex(2);
    m_oSession.SetTemplate(std::move(pTemplate));
}

void TfrmMain::mniNewCCParamsClick()
{
    SCorrelationSetup oSetup;
    oSetup.oParameters = m_oSession.CorrelationParameters();
    oSetup.oZone = m_oSession.Settings().ReadTimeZone();
    if (const auto oChosen = m_pfrmCC->Execute(oSetup)) {
        m_oSession.SetCorrelationParameters(*oChosen->oParameters, oChosen->oCorrection);
    }
}

void TfrmMain::mniOpenCCParamsClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Load cross correlation parameter set";
    oDialog.sFilter = "All files (*.*)|*.*";
    oDialog.sInitialDirectory = m_oSession.Settings().ReadPath(ESetting::CCParamsPath);
    if (const auto sFile = m_oPrompts.OpenFile(oDialog)) {
        Report(m_oSession.LoadCorrelationParameters(*sFile));
    }
}

void TfrmMain::mniSaveCCParamsClick()
{
    SFileDialog oDialog;
    oDialog.sTitle = "Save cross correlation parameter set";
    oDialog.sFilter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
    oDialog.sDefaultExtension = "*.txt";
    oDialog.bOverwritePrompt = true;
    oDialog.sInitialDirectory = m_oSession.Settings().ReadPath(ESetting::CCParamsPath);
    SaveWith(oDialog, [this](const std::string& sFile) { return m_oSession.SaveCorrelationParameters(sFile); });
}

void TfrmMain::mniRunCCClick()
{
    if (GetCurrentSpectrum() == nullptr || m_oSession.Template() == nullptr) {
        return;
    }
    // Without an observation time there is no correction and no row for the table.
    if (!EnsureObservationTime()) {
        return;
    }
    EnsureCoordinates();
    Outcome oOutcome;
    {
        CBusyCursor oBusy(m_oPrompts);
        oOutcome = m_oSession.RunCrossCorrelation();
    }
    if (Report(oOutcome)) {
        m_ppgcPlots->setCurrentIndex(4);
    }
}
