// The surface every plot draws on: a bitmap in the window, a recording in
// the tests.
#pragma once

#include <cstdint>
#include <string>

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Fills the whole surface with the colour.
    virtual void Clear(Rgb oBackground) = 0;
    virtual void SetPenColor(Rgb oColor) = 0;
    virtual Rgb GetPenColor() const = 0;
    // A straight line between two pixels in the pen colour.
    virtual void DrawLine(int x0, int y0, int x1, int y1) = 0;
    // A text whose top left corner lies at the pixel.
    virtual void DrawText(int x, int y, const std::string& sText) = 0;
    // The width of a text in pixels.
    virtual int TextWidth(const std::string& sText) const = 0;
};
