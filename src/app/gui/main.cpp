// quandrel: the program's window.
#include "QuandrelApplication.h"
#include "core/IniFile.h"
#include "ui/MainWindow.h"
#include "ui/QtPrompts.h"

#include <QMessageBox>

#include <clocale>
#include <exception>

int main(int argc, char** argv)
{
    QuandrelApplication oApplication(argc, argv);
    // Qt takes the C locale from the environment; numbers in files never follow it.
    std::setlocale(LC_NUMERIC, "C");
    try {
        const std::string sSettings =
            IniFile::SettingsPathFor(QCoreApplication::applicationFilePath().toStdString());
        QtPrompts oPrompts;
        MainWindow frmMain(sSettings, oPrompts);
        oPrompts.SetParent(&frmMain);
        frmMain.show();
        frmMain.CreateDialogs();
        return oApplication.exec();
    } catch (const std::exception& oError) {
        QMessageBox::critical(nullptr, "Quandrel", QString::fromLocal8Bit(oError.what()));
        return 1;
    }
}
