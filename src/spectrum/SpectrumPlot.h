// What a plot shows of a spectrum: its values within the visible window (zoom and the scroll bar's
// clipping remembered per plot), the fitted profiles of its lines, the names of identified lines,
// the level line of a fit's optimisation, and the line under a pixel.
#pragma once

#include "Spectrum.h"
#include "plot/Graph.h"

#include <cstdint>

// The scroll bar's state with one spectrum: its page size and position, and the window of values it showed.
struct ScrollClipping {
    int32_t lPageSize = 0;
    int32_t lPosition = 0;
    int32_t lStart = 0;
    int32_t lCount = 0;
};

class SpectrumPlot : public Graph {
public:
    // Neither the canvas nor the spectrum is owned; both must outlive the plot.
    SpectrumPlot(Canvas* pImage, const Spectrum& oSpectrum);

    const Spectrum& Shown() const { return *m_pSpectrum; }

    // The plot takes the spectrum's values (a copy it can sort for zooming) and shows all of them.
    void PlotAllValues();

    // The scroll bar's state with this spectrum, kept while another spectrum is shown.
    void SetClipping(const ScrollClipping& oClipping) { m_oClipping = oClipping; }
    const ScrollClipping& Clipping() const { return m_oClipping; }

    // The horizontal level line at intensity fLevel / lLevelMax.
    void SetLevel(bool bShow, double fLevel, int32_t lLevelMax);

    // Draws axes, values, line fits and level line on an image of the given
    // size; nothing when there is nothing to plot.
    void Draw(int32_t lImageHeight, int32_t lImageWidth);

    // Index of the line under a pixel of the plot: -2 without lines, -1
    // outside the plotted data or on no line. A pixel hits line i when its
    // wavelength lies within two widths of the line's centre.
    int32_t FindLineAt(int lX, int lY) const;

private:
    // The fitted profile of every line: green for the active line, blue for the others.
    void DrawLineFits();
    // A tick at the top of the frame over each identified line's centre, its laboratory name above it
    // (left out where it would cover the name before).
    void DrawLineMarks();
    // The level line over the visible range, when it is shown.
    void DrawLevel();

    const Spectrum* m_pSpectrum;
    ScrollClipping m_oClipping;
    bool m_bShowLevel = false;
    double m_fLevel = 0.0;
    int32_t m_lLevelMax = 0;
};
