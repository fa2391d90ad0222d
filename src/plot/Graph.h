// A plot drawn by hand on a canvas: axes with rounded bounds, ticks and
// number labels, the data as a polyline or as crosses, and extra coloured
// series, all over the visible window of a zoomable copy of the values.
#pragma once

#include "AxisScale.h"
#include "Zoom.h"

#include <cstdint>
#include <string>
#include <vector>

class Graph : public AxisScale, public Zoom {
public:
    static constexpr double kDefaultZoomFactor = 1.5;

    // The canvas is not owned; it must outlive the graph.
    explicit Graph(Canvas* pImage);

    // Replaces the plot values by copies, shows all of them and computes the range.
    void SetData(int32_t lCount, const double* x, const double* y);

    // Range of the visible window (y over all values while the y axis is kept fixed).
    void ComputeRange();

    // Axes, ticks, labels and captions for the given range; recomputes the left margin.
    void DrawAxes(const std::string& sXAxisLabel, const std::string& sYAxisLabel, double fYMax, double fYMin,
                  double fXMax, double fXMin);

    // The visible values as polyline or crosses (draw style), up to the frame at both ends of the x axis.
    void DrawData();

    // Further values in a palette colour, cut at the plot's frame.
    void DrawSeries(const double* pafX, const double* pafY, int lPaletteIndex, int32_t lCount);

    // The x value under pixel (lX, lY); true when the pixel lies inside the
    // rectangle of the visible data.
    bool PixelToValue(int lX, int lY, double& fValue) const;

    // The value pair under pixel (lX, lY) of the last drawn axes; false outside the plot's frame.
    bool PixelToPoint(int lX, int lY, double& x, double& y) const;

    // Direct manipulation of the visible window (the values sorted by x), each followed by
    // ComputeRange: lSteps wheel notches about the value under pixel lX (positive zooms in); the
    // values between two pixels; a move by lDeltaX pixels (the values follow the mouse); all values.
    // False when nothing changed.
    bool ZoomAtPixel(int lX, int lSteps);
    bool ZoomToPixels(int lX0, int lX1);
    void PanPixels(int lDeltaX);
    void ShowAllValues();

    void SetXAxisLabel(const std::string& sLabel) { m_sXAxisLabel = sLabel; }
    void SetYAxisLabel(const std::string& sLabel) { m_sYAxisLabel = sLabel; }
    void SetKeepYAxisFixed(bool bKeep) { m_bKeepYAxisFixed = bKeep; }
    bool GetKeepYAxisFixed() const { return m_bKeepYAxisFixed; }
    void SetDrawStyle(uint8_t lStyle) { m_lDrawStyle = lStyle; }
    void SetImageSize(int32_t lWidth, int32_t lHeight);

    int32_t GetGraphValueCount() const { return m_lNumberValues; }
    double GetXMin() const { return m_fXMin; }
    double GetXMax() const { return m_fXMax; }
    double GetYMin() const { return m_fYMin; }
    double GetYMax() const { return m_fYMax; }
    int32_t GetLeftMargin() const { return m_lLeftMargin; }
    Canvas* GetImage() const { return m_pImage; }
    // Another canvas (not owned; it must outlive its use).
    void SetImage(Canvas* pImage) { m_pImage = pImage; }

protected:
    // Pixel of a value pair under the current axes (relative to the plot origin).
    struct Mapping {
        AxisTicks oX;
        AxisTicks oY;
        int lPlotWidth = 0;
        int lPlotHeight = 0;
        int PixelX(double x, double fRound) const;
        int PixelY(double y, double fRound) const;
    };
    Mapping CurrentMapping() const;
    // The x value at pixel column lX, inside or outside the plot.
    double PixelToX(int lX) const;
    // The index of the first value at or after x (the last one beyond them all).
    int32_t IndexAtX(double x) const;
    // Points lFirst .. lEnd - 1 as crosses or as a polyline, cut at the plot's frame.
    void DrawPoints(const Mapping& oMap, const double* pafX, const double* pafY, int32_t lFirst, int32_t lEnd);

    std::vector<double> m_plottedX;
    std::vector<double> m_plottedY;
    int32_t m_lNumberValues = 0;
    int32_t m_lImageWidth = 0;
    int32_t m_lImageHeight = 0;
    double m_fXMax = 0.0;
    double m_fYMax = 0.0;
    double m_fXMin = 0.0;
    double m_fYMin = 0.0;
    std::string m_sXAxisLabel = "Wavelength [\u00C5]";
    std::string m_sYAxisLabel = "Intensity";
    Canvas* m_pImage = nullptr;
    int32_t m_lLeftMargin = 30;
    int32_t m_lBottomMargin = 33;
    int32_t m_lAxisY = 0;
    int32_t m_lAxisRight = 0;
    int32_t m_lInset = 15;
    int32_t m_lTickLength = 4;
    bool m_bKeepYAxisFixed = true;
    uint8_t m_lDrawStyle = 0;
};
