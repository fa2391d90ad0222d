// The main window's handlers of the cross-correlation: the template, the parameters and a run whose
// velocity goes into the table.
#include "FormMain.h"

#include "FormCC.h"
#include "Prompts.h"

#include <QTabWidget>

void TfrmMain::mniOpenCCTemplateClick()
{
    std::string sFile;
    auto pTemplate = ImportSpectrum(EFile::Template, ESetting::CCTemplatePath, m_oCCTemplateCanvas, sFile);
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
    oSetup.fnReach = [this](const SCorrelationParameters& p) { return m_oSession.CorrelationReach(p); };
    oSetup.fTemplateVelocity = m_oSession.TemplateVelocity();
    if (const auto oChosen = m_pfrmCC->Execute(oSetup)) {
        m_oSession.SetTemplateVelocity(oChosen->fTemplateVelocity);
        m_oSession.SetCorrelationParameters(*oChosen->oParameters, oChosen->oCorrection);
    }
}

void TfrmMain::mniOpenCCParamsClick()
{
    WithFile(EFile::OpenCorrelationParameters, [this](const std::string& sFile) { return m_oSession.LoadCorrelationParameters(sFile); });
}

void TfrmMain::mniSaveCCParamsClick()
{
    WithFile(EFile::SaveCorrelationParameters, [this](const std::string& sFile) { return m_oSession.SaveCorrelationParameters(sFile); });
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
    if (!Report(m_oSession.PrepareCrossCorrelation())) {
        return;
    }
    bool bCalculated = false;
    CCrossCorrelation& oCorrelation = m_oSession.CrossCorrelation();
    RunWithProgress("Cross correlation", [&](CProgress& oProgress) { bCalculated = oCorrelation.Calculate(&oProgress); });
    if (Report(m_oSession.FinishCrossCorrelation(bCalculated))) {
        m_ppgcPlots->setCurrentIndex(4);
    }
}
