#include "ObserverIdentityDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

std::optional<ObserverIdentity> ChooseObserverIdentity(QWidget* pParent, const ObserverIdentity& oNow)
{
    QDialog oDialog(pParent);
    oDialog.setObjectName("frmObserverIdentity");
    oDialog.setWindowTitle("Observer and instrument");
    auto* pLayout = new QFormLayout(&oDialog);
    const auto Field = [&](const char* pcName, const char* pcLabel, const std::string& sValue) {
        auto* pEdit = new QLineEdit(QString::fromStdString(sValue), &oDialog);
        pEdit->setObjectName(pcName);
        pEdit->setMaxLength(68); // what a FITS card's string holds
        pEdit->setMinimumWidth(pEdit->fontMetrics().horizontalAdvance(QString(32, 'M')));
        pLayout->addRow(pcLabel, pEdit);
        return pEdit;
    };
    QLineEdit* pObserver = Field("edObserver", "&Observer:", oNow.sObserver);
    QLineEdit* pInstrument = Field("edInstrument", "&Instrument:", oNow.sInstrument);
    QLineEdit* pSite = Field("edSite", "&Site:", oNow.sSite);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &oDialog);
    pButtons->button(QDialogButtonBox::Ok)->setText("&OK");
    pButtons->button(QDialogButtonBox::Cancel)->setText("&Cancel");
    QObject::connect(pButtons, &QDialogButtonBox::accepted, &oDialog, &QDialog::accept);
    QObject::connect(pButtons, &QDialogButtonBox::rejected, &oDialog, &QDialog::reject);
    pLayout->addRow(pButtons);
    if (oDialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return ObserverIdentity{pObserver->text().trimmed().toStdString(), pInstrument->text().trimmed().toStdString(),
                            pSite->text().trimmed().toStdString()};
}
