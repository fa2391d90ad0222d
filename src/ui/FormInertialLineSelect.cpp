#include "FormInertialLineSelect.h"

#include "UiUtils.h"

#include "core/Assert.h"
#include "core/IniFileClass.h"
#include "lines/InertialLinesClass.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Row 0: "Spectral line" and "lambda"; row r + 1: name and wavelength of line r.
class CLinesModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetTable(const CInertialLines* pTable)
    {
        beginResetModel();
        m_pTable = pTable;
        endResetModel();
    }
    int rowCount(const QModelIndex& oParent = QModelIndex()) const override
    {
        return oParent.isValid() || m_pTable == nullptr ? 0 : m_pTable->GetLineCount() + 1;
    }
    int columnCount(const QModelIndex& oParent = QModelIndex()) const override { return oParent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& oIndex, int lRole) const override
    {
        if (lRole == Qt::BackgroundRole && oIndex.row() == 0) {
            return QApplication::palette().brush(QPalette::Button);
        }
        if (lRole != Qt::DisplayRole || m_pTable == nullptr) {
            return QVariant();
        }
        if (oIndex.row() == 0) {
            return oIndex.column() == 0 ? QStringLiteral("Spectral line")
                 : oIndex.column() == 2 ? QStringLiteral("lambda")
                                        : QVariant();
        }
        std::string sName;
        double fWavelength = 0.0;
        m_pTable->GetLine(oIndex.row() - 1, fWavelength, &sName);
        return oIndex.column() == 0 ? QString::fromStdString(sName)
             : oIndex.column() == 2 ? QString::fromStdString(FloatToText(fWavelength))
                                    : QVariant();
    }

private:
    const CInertialLines* m_pTable = nullptr;
};

} // namespace

TfrmInertialLineSelect::TfrmInertialLineSelect(QWidget* pParent) : QDialog(pParent)
{
    setObjectName("frmInertialLineSelect");
    setWindowTitle("Select inertial spectral line");
    resize(320, 420);
    m_pstgInertialLines = new QTableView;
    m_pstgInertialLines->setObjectName("stgInertialLines");
    m_pstgInertialLines->setModel(new CLinesModel(m_pstgInertialLines));
    m_pstgInertialLines->horizontalHeader()->hide();
    m_pstgInertialLines->verticalHeader()->hide();
    m_pstgInertialLines->verticalHeader()->setDefaultSectionSize(18);
    m_pstgInertialLines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pstgInertialLines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pstgInertialLines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pstgInertialLines->setColumnWidth(1, 16);
    QPushButton* pbtnOK = nullptr;
    QPushButton* pbtnCancel = nullptr;
    auto* pButtons = OkCancelButtons(pbtnOK, pbtnCancel);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pstgInertialLines);
    pLayout->addWidget(pButtons);
    connect(pbtnOK, &QPushButton::clicked, this, [this] {
        m_bAccepted = true;
        accept();
    });
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pstgInertialLines, &QTableView::doubleClicked, pbtnOK, &QPushButton::click);
}

void TfrmInertialLineSelect::SetInertialLines(const CInertialLines* pInertialLines)
{
    m_pInertialLines = pInertialLines;
    m_bCalibrationMode = false;
    setWindowTitle("Set inertial spectral line");
}

void TfrmInertialLineSelect::SetCalibrationLines(const CInertialLines* pCalibration)
{
    m_pCalibration = pCalibration;
    m_bCalibrationMode = true;
    setWindowTitle("Set calibration spectral line");
}

void TfrmInertialLineSelect::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    if (m_bCalibrationMode) {
        QASSERT(m_pCalibration!=NULL);
    } else {
        QASSERT(m_pInertialLines!=NULL);
    }
    static_cast<CLinesModel*>(m_pstgInertialLines->model())
        ->SetTable(m_bCalibrationMode ? m_pCalibration : m_pInertialLines);
    m_pstgInertialLines->setColumnWidth(0, 150);
    m_pstgInertialLines->setColumnWidth(1, 16);
    m_pstgInertialLines->setColumnWidth(2, 110);
    m_bAccepted = false;
}

void TfrmInertialLineSelect::SelectRow(int lRow)
{
    m_pstgInertialLines->selectRow(lRow);
}

int TfrmInertialLineSelect::Choose()
{
    m_bAccepted = false;
    exec();
    const QModelIndexList vSelected = m_pstgInertialLines->selectionModel()->selectedRows();
    const int lRow = vSelected.isEmpty() ? 0 : vSelected.front().row();
    return m_bAccepted && lRow != 0 ? lRow : -1;
}
