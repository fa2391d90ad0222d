// A canvas that remembers what was drawn on it, for checking plots.
#pragma once

#include "plot/Canvas.h"

#include <string>
#include <vector>

struct DrawnLine {
    int x0, y0, x1, y1;
    Rgb oColor;
};

struct DrawnText {
    int x, y;
    std::string sText;
};

class RecordingCanvas : public Canvas {
public:
    // Every character is this many pixels wide.
    static constexpr int kCharWidth = 7;

    void Clear(Rgb oBackground) override;
    void SetPenColor(Rgb oColor) override { m_oPen = oColor; }
    Rgb GetPenColor() const override { return m_oPen; }
    void DrawLine(int x0, int y0, int x1, int y1) override;
    void DrawText(int x, int y, const std::string& sText) override;
    int TextWidth(const std::string& sText) const override;

    // The text drawn at exactly this place, or empty.
    std::string TextAt(int x, int y) const;
    // True if a text with exactly this content was drawn.
    bool HasText(const std::string& sText) const;

    std::vector<DrawnLine> vLines;
    std::vector<DrawnText> vTexts;
    int lClears = 0;
    Rgb oBackground{};

private:
    Rgb m_oPen{0, 0, 0};
};
