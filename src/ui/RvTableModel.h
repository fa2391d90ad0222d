// The table of radial velocities as the main window shows it: two fixed rows (laboratory name and
// wavelength of each column's line) above one row per measured spectrum, and a fixed first column
// with the observation times, and a last column with the mean velocity of each row's lines and its
// standard error, then (with any row's BJD_TDB) its BJD_TDB, and last each row's data set (observer,
// instrument), which the user edits in place. A row with a line that disagrees with the others is
// coloured and says which in its tooltip. The cells are made when they are shown, so a table of any length
// refreshes at once and scrolls without delay.
#pragma once

#include "rvtable/VelocityStatistics.h"

#include <QAbstractTableModel>
#include <QBrush>

#include <cstdint>
#include <functional>
#include <string>
#include <optional>
#include <vector>

class RvTable;

class RvTableModel : public QAbstractTableModel {
public:
    explicit RvTableModel(const RvTable& oTable, QObject* pParent = nullptr);

    // Takes the table's present rows and columns, and each row's BJD_TDB (a column after the mean when
    // any row has one).
    void Refresh(std::vector<std::optional<double>> vBjd = {});
    // The background of the fixed rows and column.
    void SetFixedBrush(const QBrush& oBrush) { m_oFixedBrush = oBrush; }

    // The data row (from 0) of a model row, or -1 for the fixed rows and rows beyond the data.
    int32_t DataRow(int lModelRow) const;
    // The table column (from 0) of a model column, or -1 for the fixed column and beyond the data.
    int32_t DataColumn(int lModelColumn) const;
    // The model row of data row r.
    static int ModelRow(int32_t r) { return r + kFixedRows; }

    // What an edited data set is handed to (the session, which records it as a step of undo).
    void SetDataSetEditor(std::function<void(int32_t, const std::string&)> fnEdit) { m_fnEditDataSet = std::move(fnEdit); }

    int rowCount(const QModelIndex& oParent = QModelIndex()) const override;
    int columnCount(const QModelIndex& oParent = QModelIndex()) const override;
    QVariant data(const QModelIndex& oIndex, int lRole = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& oIndex) const override;
    bool setData(const QModelIndex& oIndex, const QVariant& oValue, int lRole = Qt::EditRole) override;

    // The observation time of a row as the table shows it: " 1. 3.2012 20:30".
    static QString TimeText(double fJulianDate);

private:
    static constexpr int kFixedRows = 2;
    QString Text(int lRow, int lColumn) const;
    bool HasMeanColumn() const;
    bool IsMeanColumn(int lModelColumn) const;
    bool HasBjdColumn() const;
    // The model column of the data sets; -1 without one (no measurements).
    int DataSetColumn() const;
    QString RowToolTip(int32_t r) const;

    const RvTable& m_oTable;
    std::vector<int32_t> m_vColumnIndex; // laboratory index of each data column
    int32_t m_lRows = 0;
    std::vector<VelocityStatistics> m_vRowStatistics; // of each data row, taken at the refresh
    std::vector<std::optional<double>> m_vBjd;         // of each data row
    QBrush m_oFixedBrush;
    std::function<void(int32_t, const std::string&)> m_fnEditDataSet;
};
