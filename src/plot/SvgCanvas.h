// A canvas that writes Scalable Vector Graphics: the plots of the command line, drawn by the same code
// as the window's. Lines of one colour in a row become one path; text is set in a sans-serif font of
// the size the window uses, and measured as 7 pixels a character.
#pragma once

#include "Canvas.h"

#include <string>

class SvgCanvas : public Canvas {
public:
    SvgCanvas(int lWidth, int lHeight);

    void Clear(Rgb oBackground) override;
    void SetPenColor(Rgb oColor) override { m_oPen = oColor; }
    Rgb GetPenColor() const override { return m_oPen; }
    void DrawLine(int x0, int y0, int x1, int y1) override;
    void DrawText(int x, int y, const std::string& sText) override;
    int TextWidth(const std::string& sText) const override;

    int Width() const { return m_lWidth; }
    int Height() const { return m_lHeight; }
    // The whole document as it stands.
    std::string Document() const;

private:
    // The open path as an element (empty without one), and that element moved into the body.
    std::string PathElement() const;
    void EndPath();

    int m_lWidth;
    int m_lHeight;
    Rgb m_oPen{0, 0, 0};
    Rgb m_oBackground{255, 255, 255};
    std::string m_sBody;
    std::string m_sPath; // the open path's data
    Rgb m_oPathColor{0, 0, 0};
};
