// A widget that shows a canvas image at its natural size and reports what the mouse does on it in
// image pixels: clicks (button releases without a drag), the wheel, drags (a rectangle chosen with
// the left button, a pan with the middle button or with Shift), a double click, Escape, and where
// the mouse is. It asks for a redraw when resized.
#pragma once

#include <QWidget>

class QtCanvas;
class QRubberBand;

class ImageView : public QWidget {
    Q_OBJECT
public:
    ImageView(QtCanvas& oCanvas, QWidget* pParent = nullptr);

    QtCanvas& Canvas() { return m_oCanvas; }

    // Pixels the mouse must move with a button down before it is a drag, not a click.
    static constexpr int kDragPixels = 5;

signals:
    void MouseReleased(int lX, int lY, Qt::MouseButton eButton);
    // After the release of the right button: the place for a context menu (widget coordinates).
    void ContextMenuWanted(const QPoint& oPos);
    void Resized();
    // The wheel turned by lSteps notches (positive away from the user) with the mouse at (lX, lY).
    void WheelTurned(int lX, int lY, int lSteps);
    // A drag with the left button from lX0 to lX1 has ended (started at (lX0, lY0)).
    void RectangleChosen(int lX0, int lY0, int lX1);
    // The mouse moved lDeltaX pixels while panning (middle button, or left button with Shift).
    void Panned(int lDeltaX);
    // Double click or Escape: back to the whole plot.
    void WholeWanted();
    // The mouse is over pixel (lX, lY); (-1, -1) when it left the view.
    void Hovered(int lX, int lY);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    enum class Drag { None, Rectangle, Pan };

    QtCanvas& m_oCanvas;
    QRubberBand* m_pRubberBand = nullptr;
    QPoint m_oPressed;
    QPoint m_oLast;
    Qt::MouseButton m_ePressed = Qt::NoButton;
    Drag m_eDrag = Drag::None;
    bool m_bDragged = false;
    int m_lWheelAngle = 0;
};
