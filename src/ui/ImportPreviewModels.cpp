#include "ImportPreviewModels.h"

#include "core/IniFile.h"
#include "core/TextLineReader.h"

#include <QApplication>
#include <QPalette>

namespace {
constexpr int kColumns = 5;
}

void PreviewModel::ShowEmpty(int lRows)
{
    beginResetModel();
    m_pvWavelength = nullptr;
    m_pvIntensity = nullptr;
    m_lRows = lRows;
    endResetModel();
}

void PreviewModel::ShowValues(const std::vector<double>* pvWavelength, const std::vector<double>* pvIntensity)
{
    beginResetModel();
    m_pvWavelength = pvWavelength;
    m_pvIntensity = pvIntensity;
    m_lRows = static_cast<int>(pvWavelength->size()) + 1;
    endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& oParent) const
{
    return oParent.isValid() ? 0 : m_lRows;
}

int PreviewModel::columnCount(const QModelIndex& oParent) const
{
    return oParent.isValid() ? 0 : kColumns;
}

QVariant PreviewModel::data(const QModelIndex& oIndex, int lRole) const
{
    const int lRow = oIndex.row();
    const int lColumn = oIndex.column();
    if (lRole == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignCenter);
    }
    if (lRole == Qt::BackgroundRole) {
        return QApplication::palette().brush(lRow == 0 ? QPalette::Button : QPalette::Base);
    }
    if (lRole == Qt::ForegroundRole) {
        return QBrush(Qt::black);
    }
    if (lRole != Qt::DisplayRole) {
        return QVariant();
    }
    if (lRow == 0) {
        switch (lColumn) {
        case 0: return QStringLiteral("No.");
        case 2: return QStringLiteral("lambda");
        case 4: return QStringLiteral("I");
        default: return QVariant();
        }
    }
    if (m_pvWavelength == nullptr || lRow - 1 >= static_cast<int>(m_pvWavelength->size())) {
        return QVariant();
    }
    const auto lSample = static_cast<std::size_t>(lRow - 1);
    switch (lColumn) {
    case 0: return QString::number(lRow);
    case 2: return QString::fromStdString(FloatToText((*m_pvWavelength)[lSample]));
    case 4: return QString::fromStdString(FloatToText((*m_pvIntensity)[lSample]));
    default: return QVariant();
    }
}

void RawLinesModel::Load(const std::string& sFilePathAndName)
{
    beginResetModel();
    std::vector<uint32_t>().swap(m_vLineStart);
    if (m_oReader.Open(sFilePathAndName)) {
        // The same lines the import counts: a last read that found nothing is no line.
        while (!m_oReader.IsEof()) {
            const auto lStart = static_cast<uint32_t>(m_oReader.Tell());
            m_oReader.ReadLine(m_sLine);
            if (m_oReader.IsEof() && m_sLine.empty()) {
                break;
            }
            m_vLineStart.push_back(lStart);
        }
    }
    endResetModel();
}

void RawLinesModel::Clear()
{
    beginResetModel();
    // The memory of a large file goes with it.
    std::vector<uint32_t>().swap(m_vLineStart);
    m_oReader = TextLineReader();
    endResetModel();
}

int RawLinesModel::rowCount(const QModelIndex& oParent) const
{
    return oParent.isValid() ? 0 : static_cast<int>(m_vLineStart.size());
}

QVariant RawLinesModel::data(const QModelIndex& oIndex, int lRole) const
{
    if (lRole != Qt::DisplayRole || oIndex.row() < 0 || oIndex.row() >= rowCount()) {
        return QVariant();
    }
    m_sLine.clear();
    if (m_oReader.Seek(m_vLineStart[static_cast<std::size_t>(oIndex.row())])) {
        m_oReader.ReadLine(m_sLine);
    }
    if (!m_sLine.empty() && m_sLine.back() == '\n') {
        m_sLine.pop_back();
    }
    // One character per byte, as the import splits the line: a separator typed in "Others" is the
    // byte shown here.
    return QString::fromLatin1(m_sLine.data(), static_cast<qsizetype>(m_sLine.size()));
}
