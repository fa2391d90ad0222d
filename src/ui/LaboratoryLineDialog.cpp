#include "LaboratoryLineDialog.h"

#include "UiUtils.h"

#include "core/Assert.h"
#include "core/IniFile.h"
#include "core/Utils.h"
#include "lines/LaboratoryLines.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Row 0: "Spectral line" and "lambda"; row r + 1: name and wavelength of line r.
class LinesModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetTable(const LaboratoryLines* pTable)
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
    const LaboratoryLines* m_pTable = nullptr;
};

} // namespace

LaboratoryLineDialog::LaboratoryLineDialog(QWidget* pParent) : QDialog(pParent)
{
    setObjectName("frmInertialLineSelect");
    setWindowTitle("Select inertial spectral line");
    resize(320, 420);
    m_pstgLaboratoryLines = new QTableView;
    m_pstgLaboratoryLines->setObjectName("stgInertialLines");
    m_pstgLaboratoryLines->setModel(new LinesModel(m_pstgLaboratoryLines));
    m_pstgLaboratoryLines->horizontalHeader()->hide();
    m_pstgLaboratoryLines->verticalHeader()->hide();
    m_pstgLaboratoryLines->verticalHeader()->setDefaultSectionSize(18);
    m_pstgLaboratoryLines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pstgLaboratoryLines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pstgLaboratoryLines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pstgLaboratoryLines->setColumnWidth(1, 16);
    QPushButton* pbtnOK = nullptr;
    QPushButton* pbtnCancel = nullptr;
    auto* pButtons = OkCancelButtons(pbtnOK, pbtnCancel);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pstgLaboratoryLines);
    pLayout->addWidget(pButtons);
    connect(pbtnOK, &QPushButton::clicked, this, [this] {
        m_bAccepted = true;
        accept();
    });
    connect(pbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    m_pbtnOK = pbtnOK;
    connect(m_pstgLaboratoryLines, &QTableView::doubleClicked, pbtnOK, &QPushButton::click);
    connect(m_pstgLaboratoryLines->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LaboratoryLineDialog::UpdateOk);
}

void LaboratoryLineDialog::UpdateOk()
{
    const QModelIndexList vSelected = m_pstgLaboratoryLines->selectionModel()->selectedRows();
    m_pbtnOK->setEnabled(!vSelected.isEmpty() && vSelected.front().row() > 0);
}

std::optional<int32_t> LaboratoryLineDialog::Choose(const LineChoice& oChoice)
{
    QASSERT(oChoice.pTable!=NULL);
    setWindowTitle(oChoice.bCalibration ? "Set calibration spectral line" : "Set inertial spectral line");
    static_cast<LinesModel*>(m_pstgLaboratoryLines->model())->SetTable(oChoice.pTable);
    m_pstgLaboratoryLines->setColumnWidth(0, 150);
    m_pstgLaboratoryLines->setColumnWidth(1, 16);
    m_pstgLaboratoryLines->setColumnWidth(2, 110);
    m_pstgLaboratoryLines->clearSelection();
    if (oChoice.lPreselected >= 0 && oChoice.lPreselected < oChoice.pTable->GetLineCount()) {
        m_pstgLaboratoryLines->selectRow(oChoice.lPreselected + 1);
        m_pstgLaboratoryLines->scrollTo(m_pstgLaboratoryLines->model()->index(oChoice.lPreselected + 1, 0));
    }
    UpdateOk();
    m_bAccepted = false;
    exec();
    const QModelIndexList vSelected = m_pstgLaboratoryLines->selectionModel()->selectedRows();
    const int lRow = vSelected.isEmpty() ? 0 : vSelected.front().row();
    if (!m_bAccepted || lRow == 0) {
        return std::nullopt;
    }
    return lRow - 1;
}
