// The two views of the import dialog over possibly very large files: the
// parsed preview table and the raw lines. Both hand out cells on demand, so
// a file of a million lines needs no widget or item per cell.
#pragma once

#include <QAbstractListModel>
#include <QAbstractTableModel>

#include "core/TextLineReader.h"

#include <cstdint>
#include <string>
#include <vector>

// Row 0 holds the captions "No.", "lambda" and "I" in columns 0, 2 and 4;
// row i + 1 shows sample i. Columns 1 and 3 are narrow spacers.
class PreviewModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // lRows rows including the caption row, showing no samples.
    void ShowEmpty(int lRows);
    // The samples of the last import.
    void ShowValues(const std::vector<double>* pvWavelength, const std::vector<double>* pvIntensity);

    int rowCount(const QModelIndex& oParent = QModelIndex()) const override;
    int columnCount(const QModelIndex& oParent = QModelIndex()) const override;
    QVariant data(const QModelIndex& oIndex, int lRole) const override;

private:
    const std::vector<double>* m_pvWavelength = nullptr;
    const std::vector<double>* m_pvIntensity = nullptr;
    int m_lRows = 12;
};

// The lines of a text file as the program reads them, without line ends. Only where each line starts
// is kept; the lines shown are read from the file when the view asks for them.
class RawLinesModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // Finds every line of the file (nothing when it cannot be read).
    void Load(const std::string& sFilePathAndName);
    void Clear();

    int rowCount(const QModelIndex& oParent = QModelIndex()) const override;
    QVariant data(const QModelIndex& oIndex, int lRole) const override;

private:
    // Offsets of the lines in a file of at most 1 GiB.
    std::vector<uint32_t> m_vLineStart;
    mutable TextLineReader m_oReader;
    mutable std::string m_sLine;
};
