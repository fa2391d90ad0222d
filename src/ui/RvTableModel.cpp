#include "RvTableModel.h"

#include "astro/JulianDate.h"
#include "core/IniFile.h"
#include "core/NumberText.h"
#include "rvtable/RvTable.h"

#include <algorithm>

RvTableModel::RvTableModel(const RvTable& oTable, QObject* pParent) : QAbstractTableModel(pParent), m_oTable(oTable)
{
    Refresh();
}

void RvTableModel::Refresh(std::vector<std::optional<double>> vBjd)
{
    beginResetModel();
    m_vBjd = std::move(vBjd);
    m_vColumnIndex = m_oTable.ColumnIndices();
    m_lRows = static_cast<int32_t>(m_oTable.Rows().size());
    m_vRowStatistics.clear();
    std::vector<double> vVelocity;
    for (const MeasurementRow& oRow : m_oTable.Rows()) {
        vVelocity.clear();
        for (const LineMeasurement& o : oRow.measurements) {
            vVelocity.push_back(o.fVelocity1);
        }
        m_vRowStatistics.push_back(ComputeVelocityStatistics(vVelocity));
    }
    endResetModel();
}

int32_t RvTableModel::DataRow(int lModelRow) const
{
    const int32_t r = lModelRow - kFixedRows;
    return r >= 0 && r < m_lRows ? r : -1;
}

int32_t RvTableModel::DataColumn(int lModelColumn) const
{
    const int32_t c = lModelColumn - 1;
    return c >= 0 && c < static_cast<int32_t>(m_vColumnIndex.size()) ? c : -1;
}

int RvTableModel::rowCount(const QModelIndex& oParent) const
{
    // An empty table shows one empty data row and one empty column.
    return oParent.isValid() ? 0 : std::max(1, m_lRows) + kFixedRows;
}

int RvTableModel::columnCount(const QModelIndex& oParent) const
{
    // The mean of each row's lines follows the line columns, once there are any.
    return oParent.isValid() ? 0
                             : std::max<int>(1, static_cast<int>(m_vColumnIndex.size())) + 1 + (HasMeanColumn() ? 2 : 0) +
                                   (HasBjdColumn() ? 1 : 0);
}

int RvTableModel::DataSetColumn() const
{
    return HasMeanColumn() ? static_cast<int>(m_vColumnIndex.size()) + 2 + (HasBjdColumn() ? 1 : 0) : -1;
}

Qt::ItemFlags RvTableModel::flags(const QModelIndex& oIndex) const
{
    Qt::ItemFlags eFlags = QAbstractTableModel::flags(oIndex);
    if (oIndex.isValid() && oIndex.column() == DataSetColumn() && DataRow(oIndex.row()) >= 0 && m_fnEditDataSet) {
        eFlags |= Qt::ItemIsEditable;
    }
    return eFlags;
}

bool RvTableModel::setData(const QModelIndex& oIndex, const QVariant& oValue, int lRole)
{
    const int32_t r = DataRow(oIndex.row());
    if (lRole != Qt::EditRole || oIndex.column() != DataSetColumn() || r < 0 || !m_fnEditDataSet) {
        return false;
    }
    // The session changes the table and tells the window, which refreshes this model.
    m_fnEditDataSet(r, oValue.toString().toStdString());
    return true;
}

QVariant RvTableModel::data(const QModelIndex& oIndex, int lRole) const
{
    if (!oIndex.isValid()) {
        return {};
    }
    switch (lRole) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return Text(oIndex.row(), oIndex.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::BackgroundRole:
        if (oIndex.row() < kFixedRows || oIndex.column() < 1) {
            return m_oFixedBrush;
        }
        if (const int32_t r = DataRow(oIndex.row()); r >= 0 && m_vRowStatistics[static_cast<std::size_t>(r)].lOutlier >= 0) {
            return QBrush(QColor(255, 215, 160)); // a line of this row disagrees with the others
        }
        return {};
    case Qt::ToolTipRole:
        if (const int32_t r = DataRow(oIndex.row()); r >= 0) {
            return RowToolTip(r);
        }
        return {};
    default:
        return {};
    }
}

QString RvTableModel::Text(int lRow, int lColumn) const
{
    const int32_t r = DataRow(lRow);
    const int32_t c = DataColumn(lColumn);
    if (lColumn == DataSetColumn()) {
        if (lRow < kFixedRows) {
            return lRow == 0 ? QString("Data set") : QString();
        }
        return r >= 0 ? QString::fromStdString(m_oTable.Rows()[static_cast<std::size_t>(r)].sDataSet) : QString();
    }
    if (HasBjdColumn() && lColumn == static_cast<int>(m_vColumnIndex.size()) + 2) {
        if (lRow < kFixedRows) {
            return lRow == 0 ? QString("BJD_TDB") : QString("d");
        }
        const auto oBjd = r >= 0 && static_cast<std::size_t>(r) < m_vBjd.size() ? m_vBjd[static_cast<std::size_t>(r)]
                                                                               : std::nullopt;
        return oBjd ? QString::fromStdString(quandrel::FormatFixed(*oBjd, 5)) : QString();
    }
    if (IsMeanColumn(lColumn)) {
        if (lRow < kFixedRows) {
            return lRow == 0 ? QString("Mean \u00B1 SE") : QString("km/s");
        }
        if (r < 0) {
            return {};
        }
        const VelocityStatistics& o = m_vRowStatistics[static_cast<std::size_t>(r)];
        if (o.lCount == 0) {
            return {};
        }
        return QString::fromStdString(quandrel::FormatFixed(o.fMean, 2) + " \u00B1 " +
                                      quandrel::FormatFixed(o.fStandardError, 2) + " (" + std::to_string(o.lCount) + ")");
    }
    if (lRow < kFixedRows) {
        std::string sName;
        double fWavelength = 0.0;
        if (c < 0) {
            return {};
        }
        const int32_t lIndex = m_vColumnIndex[static_cast<std::size_t>(c)];
        if (lIndex < 0 || lIndex >= m_oTable.LaboratoryLineTable().GetLineCount() ||
            !m_oTable.LaboratoryLineTable().GetLine(lIndex, fWavelength, &sName)) {
            return {};
        }
        return QString::fromStdString(lRow == 0 ? sName : FloatToText(fWavelength));
    }
    if (r < 0) {
        return {};
    }
    if (lColumn == 0) {
        return TimeText(m_oTable.GetRowJulianDate(r));
    }
    return c < 0 ? QString() : QString::fromStdString(m_oTable.CellText(r, m_vColumnIndex[static_cast<std::size_t>(c)]));
}

bool RvTableModel::HasMeanColumn() const
{
    return !m_vColumnIndex.empty();
}

bool RvTableModel::HasBjdColumn() const
{
    return HasMeanColumn() && std::any_of(m_vBjd.begin(), m_vBjd.end(), [](const auto& o) { return o.has_value(); });
}

bool RvTableModel::IsMeanColumn(int lModelColumn) const
{
    return HasMeanColumn() && lModelColumn == static_cast<int>(m_vColumnIndex.size()) + 1;
}

QString RvTableModel::RowToolTip(int32_t r) const
{
    const VelocityStatistics& o = m_vRowStatistics[static_cast<std::size_t>(r)];
    // What the orbit takes when every line has an error: the mean weighted by them.
    const RowVelocity oWeighted = VelocityOfRow(m_oTable.Rows()[static_cast<std::size_t>(r)]);
    const std::string sWeighted = oWeighted.oError ? "Weighted by the lines' errors, as the orbit takes it: " +
                                                         quandrel::FormatFixed(oWeighted.fMean, 2) + " \u00B1 " +
                                                         quandrel::FormatFixed(*oWeighted.oError, 2) + " km/s"
                                                   : std::string();
    if (o.lOutlier < 0) {
        return QString::fromStdString(sWeighted);
    }
    const LineMeasurement& oLine = m_oTable.Rows()[static_cast<std::size_t>(r)].measurements[static_cast<std::size_t>(o.lOutlier)];
    std::string sName;
    double fWavelength = 0.0;
    if (!m_oTable.LaboratoryLineTable().GetLine(oLine.lLaboratoryLineIndex, fWavelength, &sName)) {
        sName = "line " + std::to_string(o.lOutlier + 1);
    }
    return QString::fromStdString(sName + " (" + quandrel::FormatFixed(oLine.fVelocity1, 2) + " km/s) lies " +
                                  quandrel::FormatFixed(o.fOutlierSigmas, 1) +
                                  " standard errors from the mean of the other lines" +
                                  (sWeighted.empty() ? std::string() : "\n" + sWeighted));
}

QString RvTableModel::TimeText(double fJulianDate)
{
    using quandrel::FormatFixed;
    using quandrel::PadLeft;
    const CalendarDate o = JulianDate::CalendarDateToTheMinute(fJulianDate);
    return QString::fromStdString(PadLeft(FormatFixed(o.day, 0), 2, ' ') + "." + PadLeft(std::to_string(o.month), 2, ' ') +
                                  "." + PadLeft(std::to_string(o.year), 4, ' ') + " " +
                                  PadLeft(FormatFixed(o.hours, 0), 2, ' ') + ":" + PadLeft(FormatFixed(o.minutes, 0), 2, '0'));
}
