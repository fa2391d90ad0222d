// Cross-correlation through the window: template, parameters, run, the
// three pages and the velocity in the table.
#include "UiTestSupport.h"
#include "core/NumberText.h"
#include "support/Generators.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <cmath>
#include <cstdlib>

namespace {

std::string WriteShifted(const TempDir& oDir, const std::string& sName, double fVelocity)
{
    std::vector<double> vW;
    std::vector<double> vI;
    quandrel::testing::ManyLineSpectrum(fVelocity, vW, vI);
    std::string sText;
    for (std::size_t k = 0; k < vW.size(); ++k) {
        sText += quandrel::FormatFixed(vW[k], 2) + "\t" + quandrel::FormatFixed(vI[k], 6) + "\n";
    }
    return oDir.Write(sName, sText);
}

class CrossCorrelationWindowTest : public MainWindowTest {
protected:
    void OpenTemplate(const std::string& sFile)
    {
        m_oPrompts.qOpenFiles.push_back(sFile);
        WhenModal([](QWidget* pDialog) { Press(pDialog, "btnOK"); });
        Item("mniOpenCCTemplate")->trigger();
    }
};

} // namespace

TEST_F(CrossCorrelationWindowTest, ParametersTemplateAndRunGiveTheVelocityInTheTable)
{
    EXPECT_FALSE(Item("mniOpenCCParams")->isEnabled()) << "parameters wait for a template";
    EXPECT_FALSE(Item("mniRunCC")->isEnabled());
    OpenTemplate(WriteShifted(m_oDir, "template.txt", 0.0));
    ASSERT_NE(m_pMain->Session().Correlation().Template(), nullptr);
    EXPECT_TRUE(Item("mniOpenCCParams")->isEnabled());
    EXPECT_EQ(Child<QTabWidget>(m_pMain.get(), "pgcPlots")->currentIndex(), 2);
    EXPECT_EQ(m_pMain->Session().Settings().ReadPath(Setting::CorrelationTemplatePath), m_oDir.File("").substr(0, m_oDir.File("").size() - 1));

    // The template correction typed directly; the dialog's defaults otherwise.
    WhenModal([](QWidget* pDialog) {
        EXPECT_EQ(pDialog->windowTitle(), "Cross correlation parameters");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edWavelengthFrom")->text(), "6050");
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edCorrelationSpan")->text(), "30");
        Child<QRadioButton>(pDialog, "rabInputTopocentricCorrection")->click();
        EXPECT_TRUE(Child<QLineEdit>(pDialog, "edTopocentricCorrection")->isEnabled());
        EXPECT_FALSE(Child<QLineEdit>(pDialog, "edCivilDateDays")->isEnabled());
        Child<QLineEdit>(pDialog, "edTopocentricCorrection")->setText("-5,5");
        // The template's own velocity, kept in the settings file.
        EXPECT_EQ(Child<QLineEdit>(pDialog, "edTemplateVelocity")->text(), "0");
        Child<QLineEdit>(pDialog, "edTemplateVelocity")->setText("-12.25");
        Press(pDialog, "btnOK");
    });
    Item("mniNewCCParams")->trigger();
    EXPECT_EQ(m_pMain->Session().Settings().ReadFloat(Setting::TemplateVelocity), -12.25);
    EXPECT_TRUE(m_pMain->Session().Correlation().Calculation().AreParametersSet());
    EXPECT_EQ(m_pMain->Session().Correlation().Calculation().GetHeliocentricCorrection(), -5.5);
    EXPECT_FALSE(Item("mniRunCC")->isEnabled()) << "no current spectrum yet";

    OpenSpectrum(WriteShifted(m_oDir, "star.txt", 40.0));
    // With a spectrum open, the dialog shows how far its span reaches, as the span is typed.
    WhenModal([this](QWidget* pDialog) {
        auto* plblReach = Child<QLabel>(pDialog, "lblVelocityReach");
        const std::vector<double>& vW = m_pMain->GetCurrentSpectrum()->GetWavelengths();
        for (const char* pcSpan : {"30", "60"}) {
            Child<QLineEdit>(pDialog, "edCorrelationSpan")->setText(pcSpan);
            const double fReach = CrossCorrelation::VelocityReach(vW, 6050, 6650, 2, std::atoi(pcSpan));
            EXPECT_GT(fReach, 0.0);
            EXPECT_TRUE(plblReach->text().contains(QString::fromStdString(quandrel::FormatFixed(fReach, 1)) + " km/s"))
                << plblReach->text().toStdString();
        }
        Press(pDialog, "btnCancel");
    });
    Item("mniNewCCParams")->trigger();
    m_pMain->Session().Spectra().SetObservationTime(2455000.5);
    m_pMain->Session().Project().SetObjectCoordinates({5, 55, 7, 24});
    ASSERT_TRUE(Item("mniRunCC")->isEnabled());
    Item("mniRunCC")->trigger();
    ASSERT_NE(m_pMain->Session().Correlation().CorrelationFunction(), nullptr);
    EXPECT_EQ(Child<QTabWidget>(m_pMain.get(), "pgcPlots")->currentIndex(), 4);
    EXPECT_NEAR(m_pMain->Session().Correlation().Calculation().GetPeakVelocity(), 40.0, 0.5);
    ASSERT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
    const double fExpected = m_pMain->Session().Project().Table().Coordinates().CorrectVelocity(
        5.5 + m_pMain->Session().Correlation().Calculation().GetPeakVelocity() - 12.25, 2455000.5);
    EXPECT_DOUBLE_EQ(m_pMain->Session().Project().Table().Rows()[0].measurements[0].fVelocity1, fExpected);
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows()[0].fJulianDate, 2455000.5);

    // Parameters saved and read back.
    m_oPrompts.qSaveFiles.push_back(m_oDir.File("cc.txt"));
    Item("mniSaveCCParams")->trigger();
    EXPECT_EQ(ReadWholeFile(m_oDir.File("cc.txt")).size(), 32U);
    m_oPrompts.qOpenFiles.push_back(m_oDir.File("cc.txt"));
    Item("mniOpenCCParams")->trigger();
    EXPECT_TRUE(m_pMain->Session().Correlation().Calculation().AreParametersSet());

    // Unusable parameters: the run says why and the table stays.
    m_pMain->Session().Correlation().SetCorrelationParameters({6300, 6300, 2, 30, 0.01}, TemplateCorrection{true, 0.0, {}, 0.0});
    Item("mniRunCC")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "Error!");
    EXPECT_EQ(m_pMain->Session().Project().Table().Rows().size(), 1U);
}

TEST_F(CrossCorrelationWindowTest, RunStopsWithoutAnObservationTime)
{
    OpenTemplate(WriteShifted(m_oDir, "template.txt", 0.0));
    m_pMain->Session().Correlation().SetCorrelationParameters({6050, 6650, 2, 30, 0.01}, TemplateCorrection{true, 0.0, {}, 0.0});
    OpenSpectrum(WriteShifted(m_oDir, "star.txt", 10.0));
    m_oPrompts.qAnswers = {Button::Ok};
    WhenModal([](QWidget* pDialog) { Press(pDialog, "btnCancel"); });
    Item("mniRunCC")->trigger();
    EXPECT_EQ(m_oPrompts.vMessages.back().sTitle, "No time stamp specified!");
    EXPECT_TRUE(m_pMain->Session().Project().Table().Rows().empty());
    EXPECT_EQ(m_pMain->Session().Correlation().CorrelationFunction(), nullptr);
}
