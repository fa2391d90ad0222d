// The main window's handlers of the cross-correlation: the template, the parameters and a run whose
// velocity goes into the table.
#include "MainWindow.h"

#include "CorrelationDialog.h"
#include "Prompts.h"
#include "core/NumberText.h"

#include <QTabWidget>

void MainWindow::onOpenCorrelationTemplate()
{
    std::string sFile;
    auto pTemplate = ImportSpectrum(File::Template, Setting::CorrelationTemplatePath, sFile);
    if (!pTemplate) {
        return;
    }
    m_ppgcPlots->setCurrentIndex(2);
    m_oSession.Correlation().SetTemplate(std::move(pTemplate));
}

void MainWindow::onCorrelationParameters()
{
    CorrelationSetup oSetup;
    oSetup.oParameters = m_oSession.Correlation().CorrelationSettings();
    oSetup.oZone = m_oSession.Settings().ReadTimeZone();
    oSetup.fnReach = [this](const CorrelationOptions& p) { return m_oSession.Correlation().CorrelationReach(p); };
    oSetup.fTemplateVelocity = m_oSession.Correlation().TemplateVelocity();
    if (const auto oChosen = m_pfrmCorrelation->Execute(oSetup)) {
        m_oSession.Correlation().SetTemplateVelocity(oChosen->fTemplateVelocity);
        m_oSession.Correlation().SetCorrelationParameters(*oChosen->oParameters, oChosen->oCorrection);
    }
}

void MainWindow::onOpenCorrelationParameters()
{
    WithFile(File::OpenCorrelationParameters, [this](const std::string& sFile) { return m_oSession.Correlation().LoadCorrelationParameters(sFile); });
}

void MainWindow::onSaveCorrelationParameters()
{
    WithFile(File::SaveCorrelationParameters, [this](const std::string& sFile) { return m_oSession.Correlation().SaveCorrelationParameters(sFile); });
}

void MainWindow::onRunCorrelation()
{
    if (GetCurrentSpectrum() == nullptr || m_oSession.Correlation().Template() == nullptr) {
        return;
    }
    // Without an observation time there is no correction and no row for the table.
    if (!EnsureObservationTime()) {
        return;
    }
    EnsureCoordinates();
    CorrelationJob oJob;
    if (!Report(m_oSession.Correlation().PrepareCrossCorrelation(oJob))) {
        return;
    }
    if (!RunWithProgress("Cross correlation", [&oJob](Progress& oProgress) { oJob.Run(&oProgress); })) {
        return;
    }
    if (Report(m_oSession.Correlation().FinishCrossCorrelation(std::move(oJob)))) {
        m_ppgcPlots->setCurrentIndex(4);
        if (const auto& oResult = m_oSession.Correlation().LastCorrelation()) {
            const std::string sError =
                oResult->oVelocityError ? " \u00B1 " + quandrel::FormatFixed(*oResult->oVelocityError, 3) : std::string();
            ShowFeedback(QString::fromStdString("Cross correlation: " + quandrel::FormatFixed(oResult->fVelocity, 3) + sError + " km/s" +
                         (oResult->oCorrected ? ", corrected " + quandrel::FormatFixed(*oResult->oCorrected, 3) + sError +
                                                    " km/s (added to the table)"
                                              : std::string())));
        }
    }
}
