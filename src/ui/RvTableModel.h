// The table of radial velocities as the main window shows it: two fixed rows (laboratory name and
// wavelength of each column's line) above one row per measured spectrum, and a fixed first column
// with the observation times, and a last column with the mean velocity of each row's lines and its
// standard error. A row with a line that disagrees with the others is coloured and says which in
// its tooltip. The cells are made when they are shown, so a table of any length
// refreshes at once and scrolls without delay.
#pragma once

#include "rvtable/VelocityStatistics.h"

#include <QAbstractTableModel>
#include <QBrush>

#include <cstdint>
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

    int rowCount(const QModelIndex& oParent = QModelIndex()) const override;
    int columnCount(const QModelIndex& oParent = QModelIndex()) const override;
    QVariant data(const QModelIndex& oIndex, int lRole = Qt::DisplayRole) const override;

    // The observation time of a row as the table shows it: " 1. 3.2012 20:30".
    static QString TimeText(double fJulianDate);

private:
    static constexpr int kFixedRows = 2;
    QString Text(int lRow, int lColumn) const;
    bool HasMeanColumn() const;
    bool IsMeanColumn(int lModelColumn) const;
    bool HasBjdColumn() const;
    QString RowToolTip(int32_t r) const;

    const RvTable& m_oTable;
    std::vector<int32_t> m_vColumnIndex; // laboratory index of each data column
    int32_t m_lRows = 0;
    std::vector<VelocityStatistics> m_vRowStatistics; // of each data row, taken at the refresh
    std::vector<std::optional<double>> m_vBjd;         // of each data row
    QBrush m_oFixedBrush;
};
