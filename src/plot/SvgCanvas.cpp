#include "SvgCanvas.h"

#include <cstdio>

namespace {

std::string Colour(Rgb o)
{
    char ac[8];
    std::snprintf(ac, sizeof ac, "#%02x%02x%02x", o.r, o.g, o.b);
    return ac;
}

// Text as XML character data.
std::string Escaped(const std::string& sText)
{
    std::string s;
    for (const char c : sText) {
        switch (c) {
        case '&': s += "&amp;"; break;
        case '<': s += "&lt;"; break;
        case '>': s += "&gt;"; break;
        case '"': s += "&quot;"; break;
        default:
            // Control characters are no XML.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
                s += c;
            }
        }
    }
    return s;
}

} // namespace

SvgCanvas::SvgCanvas(int lWidth, int lHeight) : m_lWidth(lWidth), m_lHeight(lHeight) {}

void SvgCanvas::Clear(Rgb oBackground)
{
    m_sBody.clear();
    m_sPath.clear();
    m_oBackground = oBackground;
}

std::string SvgCanvas::PathElement() const
{
    return m_sPath.empty() ? std::string() : "<path d=\"" + m_sPath + "\" stroke=\"" + Colour(m_oPathColor) + "\"/>\n";
}

void SvgCanvas::EndPath()
{
    m_sBody += PathElement();
    m_sPath.clear();
}

void SvgCanvas::DrawLine(int x0, int y0, int x1, int y1)
{
    if (!m_sPath.empty() && !(m_oPathColor == m_oPen)) {
        EndPath();
    }
    m_oPathColor = m_oPen;
    // Through the pixels' centres, as the window's lines are set; a single pixel as a dot.
    char ac[96];
    if (x0 == x1 && y0 == y1) {
        std::snprintf(ac, sizeof ac, "M%d.5 %d.5h0.01", x0, y0);
    } else {
        std::snprintf(ac, sizeof ac, "M%d.5 %d.5L%d.5 %d.5", x0, y0, x1, y1);
    }
    m_sPath += ac;
}

void SvgCanvas::DrawText(int x, int y, const std::string& sText)
{
    EndPath();
    // The canvas places a text by its top left corner; SVG by its baseline.
    m_sBody += "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y + 12) + "\">" + Escaped(sText) +
               "</text>\n";
}

int SvgCanvas::TextWidth(const std::string& sText) const
{
    // Characters, not bytes: continuation bytes of UTF-8 take no width.
    int lCharacters = 0;
    for (const char c : sText) {
        lCharacters += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0 : 1;
    }
    return 7 * lCharacters;
}

std::string SvgCanvas::Document() const
{
    const std::string sWidth = std::to_string(m_lWidth);
    const std::string sHeight = std::to_string(m_lHeight);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + sWidth + "\" height=\"" + sHeight +
           "\" viewBox=\"0 0 " + sWidth + " " + sHeight + "\">\n"
           "<style>path{fill:none;stroke-width:1;stroke-linecap:square}"
           "text{font:12px 'DejaVu Sans',Arial,sans-serif;fill:#000000}</style>\n"
           "<rect width=\"100%\" height=\"100%\" fill=\"" + Colour(m_oBackground) + "\"/>\n" + m_sBody + PathElement() +
           "</svg>\n";
}
