// The "Spectral lines" page: every found line of the current spectrum with its laboratory line, fit
// and velocities, and below the table the mean velocity of the identified lines with its standard
// error. Choosing a row asks for that line; Ctrl+C (and the page's menu) copies the table as text.
#pragma once

#include "session/Session.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QLabel;
class QTableWidget;

class LineTablePage : public QWidget {
    Q_OBJECT
public:
    explicit LineTablePage(QWidget* pParent = nullptr);

    // Shows these lines, the active one selected.
    // sFrame says in which frame the wavelengths are; it follows the mean.
    void Show(const std::vector<LineTableRow>& vRows, int32_t lActive, const QString& sFrame);
    // The table as tab-separated text with a header line and the mean at the end.
    QString Text() const;
    QTableWidget* Table() const { return m_ptblLines; }

signals:
    // The user chose the row of line lLine.
    void LineChosen(int32_t lLine);

private:
    QTableWidget* m_ptblLines = nullptr;
    QLabel* m_plblMean = nullptr;
    std::vector<int32_t> m_vLine; // the line of each row
    bool m_bFilling = false;
};
