#include "QtPrompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

std::vector<std::string> RunFileDialog(QWidget* pParent, const SFileDialog& oDialog, QFileDialog::AcceptMode eMode,
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

EButton CQtPrompts::Message(const std::string& sTitle, const std::string& sText, EIcon eIcon, EButtons eButtons)
{
    QMessageBox::Icon eQtIcon = QMessageBox::NoIcon;
    switch (eIcon) {
    case EIcon::Information: eQtIcon = QMessageBox::Information; break;
    case EIcon::Warning: eQtIcon = QMessageBox::Warning; break;
    case EIcon::Question: eQtIcon = QMessageBox::Question; break;
    case EIcon::Error: eQtIcon = QMessageBox::Critical; break;
    case EIcon::None: break;
    }
    QMessageBox::StandardButtons eQtButtons = QMessageBox::Ok;
    switch (eButtons) {
    case EButtons::Ok: eQtButtons = QMessageBox::Ok; break;
    case EButtons::OkCancel: eQtButtons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case EButtons::YesNo: eQtButtons = QMessageBox::Yes | QMessageBox::No; break;
    case EButtons::YesNoCancel: eQtButtons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    // Windows message texts end lines with "\n\r"; Qt needs only the line feed.
    QString sShown = Q(sText);
    sShown.remove(QChar('\r'));
    QMessageBox oBox(eQtIcon, Q(sTitle), sShown, eQtButtons, m_pParent);
    switch (oBox.exec()) {
    case QMessageBox::Yes: return EButton::Yes;
    case QMessageBox::No: return EButton::No;
    case QMessageBox::Cancel: return EButton::Cancel;
    default: return eButtons == EButtons::Ok || eButtons == EButtons::OkCancel ? EButton::Ok : EButton::Cancel;
    }
}

std::optional<std::string> CQtPrompts::OpenFile(const SFileDialog& oDialog)
{
    return First(RunFileDialog(m_pParent, oDialog, QFileDialog::AcceptOpen));
}

std::vector<std::string> CQtPrompts::OpenFiles(const SFileDialog& oDialog)
{
    return RunFileDialog(m_pParent, oDialog, QFileDialog::AcceptOpen, true);
}

std::optional<std::string> CQtPrompts::SaveFile(const SFileDialog& oDialog)
{
    return First(RunFileDialog(m_pParent, oDialog, QFileDialog::AcceptSave));
}

void CQtPrompts::SetBusy(bool bBusy)
{
    if (bBusy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

bool CQtPrompts::OpenDocument(const std::string& sPath)
{
    // Relative names are taken in the working directory.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(QDir::current(), Q(sPath)).absoluteFilePath()));
}
