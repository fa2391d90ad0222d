#include "QtCanvas.h"

#include <QFontMetrics>

QtCanvas::QtCanvas() : m_oImage(1, 1, QImage::Format_RGB32)
{
    m_oImage.fill(Qt::white);
    m_oFont.setPointSize(8);
}

QtCanvas::~QtCanvas()
{
    EndPainting();
}

void QtCanvas::Resize(int lWidth, int lHeight)
{
    EndPainting();
    m_oImage = QImage(std::max(lWidth, 1), std::max(lHeight, 1), QImage::Format_RGB32);
    m_oImage.fill(Qt::white);
}

const QImage& QtCanvas::Image()
{
    EndPainting();
    return m_oImage;
}

QPainter& QtCanvas::Painter()
{
    if (!m_pPainter) {
        m_pPainter = std::make_unique<QPainter>(&m_oImage);
        m_pPainter->setFont(m_oFont);
        m_pPainter->setPen(QColor(m_oPen.r, m_oPen.g, m_oPen.b));
    }
    return *m_pPainter;
}

void QtCanvas::EndPainting()
{
    if (m_pPainter) {
        m_pPainter->end();
        m_pPainter.reset();
    }
}

void QtCanvas::Clear(Rgb oBackground)
{
    EndPainting();
    m_oImage.fill(QColor(oBackground.r, oBackground.g, oBackground.b));
}

void QtCanvas::SetPenColor(Rgb oColor)
{
    m_oPen = oColor;
    if (m_pPainter) {
        m_pPainter->setPen(QColor(oColor.r, oColor.g, oColor.b));
    }
}

void QtCanvas::DrawLine(int x0, int y0, int x1, int y1)
{
    Painter().drawLine(x0, y0, x1, y1);
}

void QtCanvas::DrawText(int x, int y, const std::string& sText)
{
    QPainter& oPainter = Painter();
    oPainter.drawText(x, y + oPainter.fontMetrics().ascent(), QString::fromStdString(sText));
}

int QtCanvas::TextWidth(const std::string& sText) const
{
    return QFontMetrics(m_oFont).horizontalAdvance(QString::fromStdString(sText));
}
