// "Time threshold & Max. width": the time threshold of the result export
// (kept in the settings file) and the maximum of the width slider.
#pragma once

#include <QDialog>

class CIniFile;
class QLineEdit;

class TfrmMiscSettings : public QDialog {
    Q_OBJECT
public:
    TfrmMiscSettings(CIniFile& oSettings, QWidget* pParent = nullptr);

    // The width slider maximum shown when the dialog opens.
    void SetMaxWidth(int lMaxWidth);
    // The maximum confirmed with "&OK" (20 for a text that is no whole number).
    int GetMaxWidth() const { return m_lMaxWidth; }

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void btnOKClick();

    CIniFile& m_oSettings;
    QLineEdit* m_pedTimeThreshold;
    QLineEdit* m_pedMaxWidth;
    int m_lMaxWidth = 20;
};
