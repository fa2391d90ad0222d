#include "QtPrompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

std::vector<std::string> RunFileDialog(QWidget* pParent, const FileDialog& oDialog, QFileDialog::AcceptMode eMode,
                                       bool bMany = false)
{
    QFileDialog oFileDialog(pParent, Q(oDialog.sTitle), Q(oDialog.sInitialDirectory), Q(ToQtFilter(oDialog.sFilter)));
    oFileDialog.setAcceptMode(eMode);
    oFileDialog.setFileMode(eMode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                            : bMany                          ? QFileDialog::ExistingFiles
                                                             : QFileDialog::ExistingFile);
    oFileDialog.setDefaultSuffix(Q(DefaultSuffix(oDialog.sDefaultExtension)));
    if (!oDialog.bOverwritePrompt) {
        oFileDialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    if (!oDialog.sFileName.empty()) {
        oFileDialog.selectFile(Q(oDialog.sFileName));
    }
    std::vector<std::string> vFiles;
    if (oFileDialog.exec() == QDialog::Accepted) {
        for (const QString& sFile : oFileDialog.selectedFiles()) {
            vFiles.push_back(sFile.toStdString());
        }
    }
    return vFiles;
}

std::optional<std::string> First(const std::vector<std::string>& vFiles)
{
    return vFiles.empty() ? std::nullopt : std::optional<std::string>(vFiles.front());
}

} // namespace

Button QtPrompts::Message(const std::string& sTitle, const std::string& sText, Icon eIcon, Buttons eButtons)
{
    QMessageBox::Icon eQtIcon = QMessageBox::NoIcon;
    switch (eIcon) {
    case Icon::Information: eQtIcon = QMessageBox::Information; break;
    case Icon::Warning: eQtIcon = QMessageBox::Warning; break;
    case Icon::Question: eQtIcon = QMessageBox::Question; break;
    case Icon::Error: eQtIcon = QMessageBox::Critical; break;
    case Icon::None: break;
    }
    QMessageBox::StandardButtons eQtButtons = QMessageBox::Ok;
    switch (eButtons) {
    case Buttons::Ok: eQtButtons = QMessageBox::Ok; break;
    case Buttons::OkCancel: eQtButtons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: eQtButtons = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: eQtButtons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    // Windows message texts end lines with "\n\r"; Qt needs only the line feed.
    QString sShown = Q(sText);
    sShown.remove(QChar('\r'));
    QMessageBox oBox(eQtIcon, Q(sTitle), sShown, eQtButtons, m_pParent);
    switch (oBox.exec()) {
    case QMessageBox::Yes: return Button::Yes;
    case QMessageBox::No: return Button::No;
    case QMessageBox::Cancel: return Button::Cancel;
    default: return eButtons == Buttons::Ok || eButtons == Buttons::OkCancel ? Button::Ok : Button::Cancel;
    }
}

std::optional<std::string> QtPrompts::OpenFile(const FileDialog& oDialog)
{
    return First(RunFileDialog(m_pParent, oDialog, QFileDialog::AcceptOpen));
}

std::vector<std::string> QtPrompts::OpenFiles(const FileDialog& oDialog)
{
    return RunFileDialog(m_pParent, oDialog, QFileDialog::AcceptOpen, true);
}

std::optional<std::string> QtPrompts::SaveFile(const FileDialog& oDialog)
{
    return First(RunFileDialog(m_pParent, oDialog, QFileDialog::AcceptSave));
}

void QtPrompts::SetBusy(bool bBusy)
{
    if (bBusy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

bool QtPrompts::OpenDocument(const std::string& sPath)
{
    // Relative names are taken in the working directory.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(QDir::current(), Q(sPath)).absoluteFilePath()));
}

std::optional<std::size_t> QtPrompts::ChooseItem(const std::string& sTitle, const std::string& sLabel,
                                                 const std::vector<std::string>& vItems)
{
    QStringList vList;
    for (const std::string& s : vItems) {
        vList << Q(s);
    }
    bool bChosen = false;
    const QString sItem = QInputDialog::getItem(m_pParent, Q(sTitle), Q(sLabel), vList, 0, false, &bChosen);
    if (!bChosen) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(vList.indexOf(sItem));
}
