#include "ImportPreviewModels.h"

#include "core/IniFileClass.h"
#include "core/TextLineReaderClass.h"

#include <QApplication>
#include <QPalette>

namespace {
constexpr int kColumns = 5;
}

void CPreviewModel::ShowEmpty(int lRows)
{
    beginResetModel();
    m_pvWavelength = nullptr;
    m_pvIntensity = nullptr;
    m_lRows = lRows;
    endResetModel();
}

void CPreviewModel::ShowValues(const std::vector<double>* pvWavelength, const std::vector<double>* pvIntensity)
{
    beginResetModel();
    m_pvWavelength = pvWavelength;
    m_pvIntensity = pvIntensity;
    m_lRows = static_cast<int>(pvWavelength->size()) + 1;
    endResetModel();
}

int CPreviewModel::rowCount(const QModelIndex& oParent) const
{
    return oParent.isValid() ? 0 : m_lRows;
}

int CPreviewModel::columnCount(const QModelIndex& oParent) const
{
    return oParent.isValid() ? 0 : kColumns;
}

QVariant CPreviewModel::data(const QModelIndex& oIndex, int lRole) const
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

void CRawLinesModel::Load(const std::string& sFilePathAndName)
{
    beginResetModel();
    m_sText.clear();
    m_vLineStart.clear();
    CTextLineReader oReader;
    if (oReader.Open(sFilePathAndName)) {
        std::string sLine;
        // The same lines the import counts: a last read that found nothing is no line.
        while (!oReader.IsEof()) {
            oReader.ReadLine(sLine);
            if (oReader.IsEof() && sLine.empty()) {
                break;
            }
            if (!sLine.empty() && sLine.back() == '\n') {
                sLine.pop_back();
            }
            m_vLineStart.push_back(m_sText.size());
            m_sText += sLine;
        }
    }
    m_vLineStart.push_back(m_sText.size());
    endResetModel();
}

void CRawLinesModel::Clear()
{
    beginResetModel();
    m_sText.clear();
    m_vLineStart.assign(1, 0);
    endResetModel();
}

int CRawLinesModel::rowCount(const QModelIndex& oParent) const
{
    return oParent.isValid() || m_vLineStart.empty() ? 0 : static_cast<int>(m_vLineStart.size() - 1);
}

QVariant CRawLinesModel::data(const QModelIndex& oIndex, int lRole) const
{
    if (lRole != Qt::DisplayRole || oIndex.row() < 0 || oIndex.row() >= rowCount()) {
        return QVariant();
    }
    const auto lRow = static_cast<std::size_t>(oIndex.row());
    const std::size_t lStart = m_vLineStart[lRow];
    // One character per byte, as the import splits the line: a separator typed in "Others" is the
    // byte shown here.
    return QString::fromLatin1(m_sText.data() + lStart, static_cast<qsizetype>(m_vLineStart[lRow + 1] - lStart));
}
