#include "ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace {

constexpr int kSize = 24;

void DrawMagnifier(QPainter& oPainter, bool bPlus)
{
    oPainter.setPen(QPen(QColor(40, 40, 40), 2));
    oPainter.setBrush(QColor(220, 235, 255));
    oPainter.drawEllipse(QPointF(10, 10), 7, 7);
    oPainter.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    oPainter.drawLine(QPointF(15.5, 15.5), QPointF(21, 21));
    oPainter.setPen(QPen(QColor(0, 90, 180), 2));
    oPainter.drawLine(QPointF(6.5, 10), QPointF(13.5, 10));
    if (bPlus) {
        oPainter.drawLine(QPointF(10, 6.5), QPointF(10, 13.5));
    }
}

void DrawFindLines(QPainter& oPainter)
{
    QPainterPath oProfile;
    oProfile.moveTo(2, 6);
    for (int x = 2; x <= 22; ++x) {
        const double fDip = 13.0 * std::exp(-0.5 * (x - 12) * (x - 12) / 4.0);
        oProfile.lineTo(x, 6 + fDip);
    }
    oPainter.setPen(QPen(QColor(40, 40, 40), 1.5));
    oPainter.drawPath(oProfile);
    oPainter.setPen(QPen(QColor(0, 128, 0), 1.5, Qt::DashLine));
    oPainter.drawLine(QPointF(12, 2), QPointF(12, 22));
}

void DrawAddMeasurement(QPainter& oPainter)
{
    oPainter.setPen(QPen(QColor(60, 60, 60), 1));
    oPainter.setBrush(Qt::white);
    oPainter.drawRect(QRectF(2.5, 3.5, 15, 15));
    for (double y : {8.5, 13.5}) {
        oPainter.drawLine(QPointF(2.5, y), QPointF(17.5, y));
    }
    oPainter.drawLine(QPointF(8.5, 3.5), QPointF(8.5, 18.5));
    oPainter.setPen(QPen(QColor(0, 128, 0), 3, Qt::SolidLine, Qt::RoundCap));
    oPainter.drawLine(QPointF(18, 14), QPointF(18, 22));
    oPainter.drawLine(QPointF(14, 18), QPointF(22, 18));
}

} // namespace

QIcon MakeToolIcon(ToolIcon eIcon)
{
    QPixmap oPixmap(kSize, kSize);
    oPixmap.fill(Qt::transparent);
    QPainter oPainter(&oPixmap);
    oPainter.setRenderHint(QPainter::Antialiasing);
    switch (eIcon) {
    case ToolIcon::ZoomIn: DrawMagnifier(oPainter, true); break;
    case ToolIcon::ZoomOut: DrawMagnifier(oPainter, false); break;
    case ToolIcon::FindLines: DrawFindLines(oPainter); break;
    case ToolIcon::AddMeasurement: DrawAddMeasurement(oPainter); break;
    }
    oPainter.end();
    return QIcon(oPixmap);
}
