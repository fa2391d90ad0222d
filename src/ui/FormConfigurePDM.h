// The PDM dialog: number of bins and the range of trial periods.
#pragma once

#include <QDialog>

class QLineEdit;

class TfrmConfigurePDM : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConfigurePDM(QWidget* pParent = nullptr);

    void SetValues(int lNumberDataPoints, int lNumberBins, double fPeriodFrom, double fPeriodTo);
    QString NumberBinsText() const;
    QString PeriodFromText() const;
    QString PeriodToText() const;
    // True unless the dialog was closed with "&OK".
    bool IsCancelled() const { return m_bCancelled; }

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    bool m_bCancelled = true;
    QLineEdit* m_pedNumberDataPoints;
    QLineEdit* m_pedNumberBins;
    QLineEdit* m_pedPeriodFrom;
    QLineEdit* m_pedPeriodTo;
};
