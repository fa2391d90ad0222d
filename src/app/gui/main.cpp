// quandrel: the program's window.
#include "QuandrelApplication.h"
#include "core/IniFileClass.h"
#include "ui/FormMain.h"
#include "ui/QtPrompts.h"

#include <QMessageBox>

#include <clocale>
#include <exception>

int main(int argc, char** argv)
{
    CQuandrelApplication oApplication(argc, argv);
    // Qt takes the C locale from the environment; numbers in files never follow it.
    std::setlocale(LC_NUMERIC, "C");
    try {
        const std::string sSettings =
            CIniFile::SettingsPathFor(QCoreApplication::applicationFilePath().toStdString());
        CQtPrompts oPrompts;
        TfrmMain frmMain(sSettings, oPrompts);
        oPrompts.SetParent(&frmMain);
        frmMain.show();
        frmMain.CreateDialogs();
        return oApplication.exec();
    } catch (const std::exception& oError) {
        QMessageBox::critical(nullptr, "Quandrel", QString::fromLocal8Bit(oError.what()));
        return 1;
    }
}
