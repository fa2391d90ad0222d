// The plot canvas over a QImage: what the plots draw is painted into the
// image, which a ImageView shows and which is saved or printed as it is.
#pragma once

#include "plot/Canvas.h"

#include <QImage>
#include <QPainter>

#include <memory>

class QtCanvas : public Canvas {
public:
    QtCanvas();
    ~QtCanvas() override;

    // A new white image of this size (ends any painting in progress).
    void Resize(int lWidth, int lHeight);
    int GetWidth() const { return m_oImage.width(); }
    int GetHeight() const { return m_oImage.height(); }

    // The image with everything drawn so far.
    const QImage& Image();

    void Clear(Rgb oBackground) override;
    void SetPenColor(Rgb oColor) override;
    Rgb GetPenColor() const override { return m_oPen; }
    void DrawLine(int x0, int y0, int x1, int y1) override;
    void DrawText(int x, int y, const std::string& sText) override;
    int TextWidth(const std::string& sText) const override;

private:
    QPainter& Painter();
    void EndPainting();

    QImage m_oImage;
    std::unique_ptr<QPainter> m_pPainter;
    Rgb m_oPen{0, 0, 0};
    QFont m_oFont;
};
