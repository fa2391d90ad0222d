#include "LineTable.h"

#include "core/NumberText.h"
#include "rvtable/VelocityStatistics.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QStringList kHeaders = {"Line", "Laboratory [\u00C5]", "Centre [\u00C5]", "\u03C3 [\u00C5]", "Depth",
                              "Doppler [km/s]", "Corrected [km/s]", "\u00B1 Centre [\u00C5]", "\u00B1 Velocity [km/s]"};

QString Number(double f, int lDecimals)
{
    return QString::fromStdString(quandrel::FormatFixed(f, lDecimals));
}

} // namespace

LineTablePage::LineTablePage(QWidget* pParent) : QWidget(pParent)
{
    setObjectName("pnlSpectralLines");
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(2);
    m_ptblLines = new QTableWidget(0, static_cast<int>(kHeaders.size()));
    m_ptblLines->setObjectName("tblSpectralLines");
    m_ptblLines->setHorizontalHeaderLabels(kHeaders);
    m_ptblLines->verticalHeader()->hide();
    m_ptblLines->verticalHeader()->setDefaultSectionSize(18);
    m_ptblLines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ptblLines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ptblLines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ptblLines->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_ptblLines->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* pCopy = new QAction("&Copy table", m_ptblLines);
    pCopy->setObjectName("mniCopyLineTable");
    pCopy->setShortcut(QKeySequence::Copy);
    pCopy->setShortcutContext(Qt::WidgetShortcut);
    m_ptblLines->addAction(pCopy);
    connect(pCopy, &QAction::triggered, this, [this] { QApplication::clipboard()->setText(Text()); });
    connect(m_ptblLines, &QTableWidget::itemSelectionChanged, this, [this] {
        const int lRow = m_ptblLines->currentRow();
        if (!m_bFilling && lRow >= 0 && static_cast<std::size_t>(lRow) < m_vLine.size() &&
            !m_ptblLines->selectedItems().isEmpty()) {
            emit LineChosen(m_vLine[static_cast<std::size_t>(lRow)]);
        }
    });
    m_plblMean = new QLabel;
    m_plblMean->setObjectName("lblLineMean");
    m_plblMean->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pLayout->addWidget(m_ptblLines);
    pLayout->addWidget(m_plblMean);
}

void LineTablePage::Show(const std::vector<LineTableRow>& vRows, int32_t lActive, const QString& sFrame)
{
    m_bFilling = true;
    m_ptblLines->clearContents();
    m_ptblLines->setRowCount(static_cast<int>(vRows.size()));
    m_vLine.clear();
    std::vector<double> vDoppler;
    std::vector<double> vCorrected;
    int lSelect = -1;
    for (std::size_t r = 0; r < vRows.size(); ++r) {
        const LineTableRow& o = vRows[r];
        const bool bIdentified = o.oDoppler.has_value();
        const QStringList vCells = {QString::fromStdString(o.sName),
                                    bIdentified ? Number(o.fLaboratory, 3) : QString(),
                                    Number(o.fCenter, 3),
                                    Number(o.fSigma, 3),
                                    Number(o.fDepth, 3),
                                    bIdentified ? Number(*o.oDoppler, 2) : QString(),
                                    o.oCorrected ? Number(*o.oCorrected, 2) : QString(),
                                    o.fCenterError > 0.0 ? Number(o.fCenterError, 4) : QString(),
                                    o.oVelocityError ? Number(*o.oVelocityError, 2) : QString()};
        for (int c = 0; c < vCells.size(); ++c) {
            auto* pItem = new QTableWidgetItem(vCells[c]);
            pItem->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            m_ptblLines->setItem(static_cast<int>(r), c, pItem);
        }
        m_vLine.push_back(o.lLine);
        if (bIdentified) {
            vDoppler.push_back(*o.oDoppler);
            if (o.oCorrected) {
                vCorrected.push_back(*o.oCorrected);
            }
        }
        if (o.lLine == lActive) {
            lSelect = static_cast<int>(r);
        }
    }
    if (lSelect >= 0) {
        m_ptblLines->selectRow(lSelect);
        m_ptblLines->scrollToItem(m_ptblLines->item(lSelect, 0));
    } else {
        m_ptblLines->clearSelection();
    }
    // Corrected velocities when every identified line has one; the mean mixes no kinds.
    const bool bCorrected = !vDoppler.empty() && vCorrected.size() == vDoppler.size();
    const VelocityStatistics o = ComputeVelocityStatistics(bCorrected ? vCorrected : vDoppler);
    QString sMean;
    if (o.lCount == 0) {
        sMean = vRows.empty() ? QString() : QString("No line identified");
    } else {
        sMean = QString("Mean of %1 identified line%2 (%3): %4 \u00B1 %5 km/s")
                    .arg(o.lCount)
                    .arg(o.lCount == 1 ? "" : "s")
                    .arg(bCorrected ? "corrected" : "Doppler, not corrected")
                    .arg(Number(o.fMean, 2), Number(o.fStandardError, 2));
    }
    m_plblMean->setText(vRows.empty() || sFrame.isEmpty() ? sMean : sMean + " \u2014 " + sFrame);
    m_bFilling = false;
}

QString LineTablePage::Text() const
{
    QString s = kHeaders.join('\t') + '\n';
    for (int r = 0; r < m_ptblLines->rowCount(); ++r) {
        QStringList vCells;
        for (int c = 0; c < m_ptblLines->columnCount(); ++c) {
            const QTableWidgetItem* pItem = m_ptblLines->item(r, c);
            vCells << (pItem != nullptr ? pItem->text() : QString());
        }
        s += vCells.join('\t') + '\n';
    }
    if (!m_plblMean->text().isEmpty()) {
        s += m_plblMean->text() + '\n';
    }
    return s;
}
