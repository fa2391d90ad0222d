// A widget that shows a canvas image at its natural size and reports mouse
// button releases in image pixels. It asks for a redraw when resized.
#pragma once

#include <QWidget>

class CQtCanvas;

class CImageView : public QWidget {
    Q_OBJECT
public:
    CImageView(CQtCanvas& oCanvas, QWidget* pParent = nullptr);

    CQtCanvas& Canvas() { return m_oCanvas; }

signals:
    void MouseReleased(int lX, int lY, Qt::MouseButton eButton);
    // After the release of the right button: the place for a context menu (widget coordinates).
    void ContextMenuWanted(const QPoint& oPos);
    void Resized();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    CQtCanvas& m_oCanvas;
};
