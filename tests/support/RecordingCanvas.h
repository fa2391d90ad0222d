// A canvas that remembers what was drawn on it, for checking plots.
#pragma once

#include "plot/Canvas.h"

#include <string>
#include <vector>

struct SDrawnLine {
    int x0, y0, x1, y1;
    SRgb oColor;
};

struct SDrawnText {
    int x, y;
    std::string sText;
};

class CRecordingCanvas : public ICanvas {
public:
    // Every character is this many pixels wide.
    static constexpr int kCharWidth = 7;

    void Clear(SRgb oBackground) override;
    void SetPenColor(SRgb oColor) override { m_oPen = oColor; }
    SRgb GetPenColor() const override { return m_oPen; }
    void DrawLine(int x0, int y0, int x1, int y1) override;
    void DrawText(int x, int y, const std::string& sText) override;
    int TextWidth(const std::string& sText) const override;

    // The text drawn at exactly this place, or empty.
    std::string TextAt(int x, int y) const;
    // True if a text with exactly this content was drawn.
    bool HasText(const std::string& sText) const;

    std::vector<SDrawnLine> vLines;
    std::vector<SDrawnText> vTexts;
    int lClears = 0;
    SRgb oBackground{};

private:
    SRgb m_oPen{0, 0, 0};
};
