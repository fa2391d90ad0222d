// The PDM dialog: number of bins and the range of trial periods.
#pragma once

#include "session/Session.h"

#include <QDialog>

#include <optional>

class QLineEdit;

class TfrmConfigurePDM : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConfigurePDM(QWidget* pParent = nullptr);

    // Shows the search; the search confirmed with "&OK", nothing on any other way out. Bins that are no
    // whole number read as 5; a period that is no number keeps the dialog open at its field.
    std::optional<SPeriodSearch> Execute(const SPeriodSearch& oSearch);

private:
    void btnOKClick();

    QLineEdit* m_pedNumberDataPoints;
    QLineEdit* m_pedNumberBins;
    QLineEdit* m_pedPeriodFrom;
    QLineEdit* m_pedPeriodTo;
    SPeriodSearch m_oResult;
};
