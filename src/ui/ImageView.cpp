#include "ImageView.h"

#include "QtCanvas.h"

#include <QMouseEvent>
#include <QPainter>

CImageView::CImageView(CQtCanvas& oCanvas, QWidget* pParent) : QWidget(pParent), m_oCanvas(oCanvas)
{
    setMinimumSize(50, 50);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
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
}

void CImageView::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    emit Resized();
}
