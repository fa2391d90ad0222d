#include "RecordingCanvas.h"

void RecordingCanvas::Clear(Rgb oColor)
{
    vLines.clear();
    vTexts.clear();
    oBackground = oColor;
    ++lClears;
}

void RecordingCanvas::DrawLine(int x0, int y0, int x1, int y1)
{
    vLines.push_back({x0, y0, x1, y1, m_oPen});
}

void RecordingCanvas::DrawText(int x, int y, const std::string& sText)
{
    vTexts.push_back({x, y, sText});
}

int RecordingCanvas::TextWidth(const std::string& sText) const
{
    return static_cast<int>(sText.size()) * kCharWidth;
}

std::string RecordingCanvas::TextAt(int x, int y) const
{
    for (const auto& oText : vTexts) {
        if (oText.x == x && oText.y == y) {
            return oText.sText;
        }
    }
    return std::string();
}

bool RecordingCanvas::HasText(const std::string& sText) const
{
    for (const auto& oText : vTexts) {
        if (oText.sText == sText) {
            return true;
        }
    }
    return false;
}
