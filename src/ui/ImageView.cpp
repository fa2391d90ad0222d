#include "ImageView.h"

#include "QtCanvas.h"

#include <QMouseEvent>
#include <QPainter>

CImageView::CImageView(CQtCanvas& oCanvas, QWidget* pParent) : QWidget(pParent), m_oCanvas(oCanvas)
{
    setMinimumSize(50, 50);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // The context menu opens after the release, once the click has chosen its line.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void CImageView::paintEvent(QPaintEvent*)
{
    QPainter oPainter(this);
    oPainter.fillRect(rect(), Qt::white);
    oPainter.drawImage(0, 0, m_oCanvas.Image());
}

void CImageView::mouseReleaseEvent(QMouseEvent* pEvent)
{
    const QPoint oPos = pEvent->position().toPoint();
    emit MouseReleased(oPos.x(), oPos.y(), pEvent->button());
    if (pEvent->button() == Qt::RightButton) {
        emit ContextMenuWanted(oPos);
    }
}

void CImageView::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    emit Resized();
}
