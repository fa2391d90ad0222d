// The two views of the import dialog over possibly very large files: the
// parsed preview table and the raw lines. Both hand out cells on demand, so
// a file of a million lines needs no widget or item per cell.
#pragma once

#include <QAbstractListModel>
#include <QAbstractTableModel>

#include <string>
#include <vector>

// Row 0 holds the captions "No.", "lambda" and "I" in columns 0, 2 and 4;
// row i + 1 shows sample i. Columns 1 and 3 are narrow spacers.
class CPreviewModel : public QAbstractTableModel {
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

// The lines of a text file as the program reads them, without line ends.
class CRawLinesModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // Reads every line of the file (nothing when it cannot be read).
    void Load(const std::string& sFilePathAndName);
    void Clear();

    int rowCount(const QModelIndex& oParent = QModelIndex()) const override;
    QVariant data(const QModelIndex& oIndex, int lRole) const override;

private:
    std::string m_sText;
    std::vector<std::size_t> m_vLineStart; // one past the end of the last line closes the list
};
