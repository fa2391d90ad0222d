// Helpers of the window tests: answering the next modal dialog, finding
// controls, the main window with a settings file of its own.
#pragma once

#include "ScriptedPrompts.h"
#include "core/IniFile.h"
#include "support/TempDir.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>
#include <memory>

// The lines of a text.
inline std::vector<std::string> OutputLines(const std::string& sText)
{
    std::vector<std::string> vLines;
    std::size_t lStart = 0;
    while (lStart < sText.size()) {
        const std::size_t lEnd = sText.find('\n', lStart);
        vLines.push_back(sText.substr(lStart, lEnd == std::string::npos ? std::string::npos : lEnd - lStart));
        lStart = lEnd == std::string::npos ? sText.size() : lEnd + 1;
    }
    return vLines;
}

// Runs fnAnswer on the modal dialog that the next command opens.
inline void WhenModal(std::function<void(QWidget*)> fnAnswer)
{
    QTimer::singleShot(0, [fnAnswer = std::move(fnAnswer)] {
        QWidget* pModal = QApplication::activeModalWidget();
        fnAnswer(pModal);
    });
}

// Presses the button with this object name inside a dialog.
inline void Press(QWidget* pDialog, const char* pcButton)
{
    ASSERT_NE(pDialog, nullptr);
    auto* pButton = pDialog->findChild<QPushButton*>(pcButton);
    ASSERT_NE(pButton, nullptr) << pcButton;
    pButton->click();
}

template <typename T>
T* Child(QObject* pParent, const char* pcName)
{
    T* pChild = pParent->findChild<T*>(QString::fromLatin1(pcName));
    EXPECT_NE(pChild, nullptr) << pcName;
    return pChild;
}

// True when every pixel is white.
inline bool IsBlank(const QImage& oImage)
{
    for (int y = 0; y < oImage.height(); ++y) {
        for (int x = 0; x < oImage.width(); ++x) {
            if (oImage.pixel(x, y) != qRgb(255, 255, 255)) {
                return false;
            }
        }
    }
    return true;
}

// Saves a picture of the widget as NAME.png under the build's screenshots/ folder (or under
// QUANDREL_SCREENSHOT_DIR), so the program can be looked at without a display. A picture of one
// colour only is a fault: nothing was drawn.
inline void SaveScreenshot(QWidget* pWidget, const char* pcName)
{
    ASSERT_NE(pWidget, nullptr) << pcName;
    const char* pcFolder = std::getenv("QUANDREL_SCREENSHOT_DIR");
    const QString sFolder = pcFolder != nullptr && *pcFolder != '\0' ? QString::fromLocal8Bit(pcFolder)
                                                                       : QString(QUANDREL_SCREENSHOT_DEFAULT_DIR);
    ASSERT_TRUE(QDir().mkpath(sFolder)) << sFolder.toStdString();
    QApplication::processEvents();
    const QImage oImage = pWidget->grab().toImage();
    ASSERT_FALSE(oImage.isNull()) << pcName;
    bool bOneColour = true;
    for (int y = 0; y < oImage.height() && bOneColour; y += 3) {
        for (int x = 0; x < oImage.width() && bOneColour; x += 3) {
            bOneColour = oImage.pixel(x, y) == oImage.pixel(0, 0);
        }
    }
    EXPECT_FALSE(bOneColour) << pcName;
    const QString sFile = sFolder + "/" + pcName + ".png";
    EXPECT_TRUE(oImage.save(sFile)) << sFile.toStdString();
}

// A mouse click on entry lRow of a list, as the user makes it.
inline void ClickItem(QListWidget* pList, int lRow, Qt::KeyboardModifiers eModifiers = Qt::NoModifier)
{
    QListWidgetItem* pItem = pList->item(lRow);
    ASSERT_NE(pItem, nullptr) << lRow;
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, eModifiers, pList->visualItemRect(pItem).center());
}

// One row of the orbital element ranges dialog: lower and upper limit, number of steps.
inline void SetRangeRow(QWidget* pDialog, int lRow, const QString& sLower, const QString& sUpper, const QString& sSteps)
{
    auto* pGrid = Child<QTableWidget>(pDialog, "stgRange");
    pGrid->item(lRow, 1)->setText(sLower);
    pGrid->item(lRow, 2)->setText(sUpper);
    pGrid->item(lRow, 3)->setText(sSteps);
}

// The main window with its settings file in a temporary folder.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { Start(); }
    void TearDown() override { Stop(); }

    void Start()
    {
        // The shipped laboratory lines, unless a test has chosen its own.
        IniFile oIni(m_oDir.File("quandrel.ini"));
        if (oIni.ReadString("Paths", "InertialLinesFilePath", "") == "") {
            oIni.WriteString("Paths", "InertialLinesFilePath", std::string(QUANDREL_SAMPLE_DATA_DIR) + "/LinesX.txt");
        }
        if (oIni.ReadString("Paths", "CalibrationFilePath", "") == "") {
            oIni.WriteString("Paths", "CalibrationFilePath", std::string(QUANDREL_SAMPLE_DATA_DIR) + "/Neon.txt");
        }
        m_pMain = std::make_unique<MainWindow>(m_oDir.File("quandrel.ini"), m_oPrompts);
        m_pMain->show();
        m_pMain->CreateDialogs();
    }
    void Stop()
    {
        if (m_pMain) {
            m_pMain->close();
            m_pMain.reset();
        }
    }

    QAction* Item(const char* pcName) { return Child<QAction>(m_pMain.get(), pcName); }

    // Opens a spectrum file through the file dialog and the import dialog's "&OK".
    void OpenSpectrum(const std::string& sFile)
    {
        m_oPrompts.qOpenFiles.push_back(sFile);
        WhenModal([](QWidget* pDialog) { Press(pDialog, "btnOK"); });
        Item("mniOpenSpectrum")->trigger();
    }

    // Opens a file of intensities only ("Single column" in the import dialog).
    void OpenSingleColumn(const std::string& sFile)
    {
        m_oPrompts.qOpenFiles.push_back(sFile);
        WhenModal([](QWidget* pDialog) {
            Child<QCheckBox>(pDialog, "chbSingleColumn")->setChecked(true);
            Press(pDialog, "btnOK");
        });
        Item("mniOpenSpectrum")->trigger();
    }

    // Makes line i of the current spectrum the active one, as a click on it does.
    const Spectrum* Activate(int32_t i)
    {
        const Spectrum* pSpectrum = m_pMain->GetCurrentSpectrum();
        m_pMain->Session().Lines().ActivateLine(i);
        m_pMain->PrepareContextMenu();
        return pSpectrum;
    }

    // Makes line i active and identifies it with the calibration line of grid row lRow.
    void IdentifyLaboratoryLine(int32_t i, int lRow)
    {
        Activate(i);
        ASSERT_TRUE(Item("mniIdentifyInertialLine")->isVisible());
        WhenModal([lRow](QWidget* pDialog) {
            EXPECT_EQ(pDialog->windowTitle(), "Set calibration spectral line");
            Child<QTableView>(pDialog, "stgInertialLines")->selectRow(lRow);
            Press(pDialog, "btnOK");
        });
        Item("mniIdentifyInertialLine")->trigger();
    }

    TempDir m_oDir;
    ScriptedPrompts m_oPrompts;
    std::unique_ptr<MainWindow> m_pMain;
};
