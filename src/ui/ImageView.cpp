#include "ImageView.h"

#include "QtCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QWheelEvent>

ImageView::ImageView(QtCanvas& oCanvas, QWidget* pParent) : QWidget(pParent), m_oCanvas(oCanvas)
{
    setMinimumSize(50, 50);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // The context menu opens after the release, once the click has chosen its line.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void ImageView::paintEvent(QPaintEvent*)
{
    QPainter oPainter(this);
    oPainter.fillRect(rect(), Qt::white);
    oPainter.drawImage(0, 0, m_oCanvas.Image());
}

void ImageView::mousePressEvent(QMouseEvent* pEvent)
{
    m_oPressed = m_oLast = pEvent->position().toPoint();
    m_ePressed = pEvent->button();
    m_bDragged = false;
    const bool bShift = (pEvent->modifiers() & Qt::ShiftModifier) != 0;
    if (m_ePressed == Qt::MiddleButton || (m_ePressed == Qt::LeftButton && bShift)) {
        m_eDrag = Drag::Pan;
    } else if (m_ePressed == Qt::LeftButton) {
        m_eDrag = Drag::Rectangle;
    } else {
        m_eDrag = Drag::None;
    }
}

void ImageView::mouseMoveEvent(QMouseEvent* pEvent)
{
    const QPoint oPos = pEvent->position().toPoint();
    emit Hovered(oPos.x(), oPos.y());
    if (m_eDrag == Drag::None || (pEvent->buttons() & m_ePressed) == 0) {
        return;
    }
    if (!m_bDragged && (oPos - m_oPressed).manhattanLength() < kDragPixels) {
        return;
    }
    m_bDragged = true;
    if (m_eDrag == Drag::Pan) {
        emit Panned(oPos.x() - m_oLast.x());
        m_oLast = oPos;
        return;
    }
    if (m_pRubberBand == nullptr) {
        m_pRubberBand = new QRubberBand(QRubberBand::Rectangle, this);
    }
    m_pRubberBand->setGeometry(QRect(QPoint(std::min(m_oPressed.x(), oPos.x()), 0),
                                     QPoint(std::max(m_oPressed.x(), oPos.x()), height() - 1)));
    m_pRubberBand->show();
}

void ImageView::mouseReleaseEvent(QMouseEvent* pEvent)
{
    const QPoint oPos = pEvent->position().toPoint();
    const bool bDrag = m_bDragged && pEvent->button() == m_ePressed;
    const Drag eDrag = m_eDrag;
    if (pEvent->button() == m_ePressed) {
        m_eDrag = Drag::None;
        m_bDragged = false;
        if (m_pRubberBand != nullptr) {
            m_pRubberBand->hide();
        }
    }
    if (bDrag) {
        if (eDrag == Drag::Rectangle) {
            emit RectangleChosen(m_oPressed.x(), m_oPressed.y(), oPos.x());
        }
        return;
    }
    emit MouseReleased(oPos.x(), oPos.y(), pEvent->button());
    if (pEvent->button() == Qt::RightButton) {
        emit ContextMenuWanted(oPos);
    }
}

void ImageView::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton) {
        emit WholeWanted();
    }
}

void ImageView::wheelEvent(QWheelEvent* pEvent)
{
    // Notches of 15 degrees (a touchpad sends them in parts).
    m_lWheelAngle += pEvent->angleDelta().y();
    const int lSteps = m_lWheelAngle / 120;
    if (lSteps != 0) {
        m_lWheelAngle -= lSteps * 120;
        const QPoint oPos = pEvent->position().toPoint();
        emit WheelTurned(oPos.x(), oPos.y(), lSteps);
    }
    pEvent->accept();
}

void ImageView::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_Escape) {
        emit WholeWanted();
        return;
    }
    QWidget::keyPressEvent(pEvent);
}

void ImageView::leaveEvent(QEvent* pEvent)
{
    QWidget::leaveEvent(pEvent);
    emit Hovered(-1, -1);
}

void ImageView::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    emit Resized();
}
