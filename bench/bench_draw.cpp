// Drawing a spectrum of 1,000,000 samples into the window's image (1000 x 600): the whole spectrum,
// a zoom to half of it, and a scroll step at that zoom, as the window redraws on each.
#include "QtBenchmarkMain.h"
#include "spectrum/SpectrumPlot.h"
#include "support/Generators.h"
#include "ui/QtCanvas.h"


#include <benchmark/benchmark.h>

#include <vector>

namespace {

void Fill(Spectrum& oSpectrum)
{
    std::vector<double> vX;
    std::vector<double> vY;
    quandrel::testing::NoisyLineSpectrum(1000000, 0.001, vX, vY);
    oSpectrum.TakeValues(std::move(vX), std::move(vY));
}

void BM_DrawSpectrum(benchmark::State& oState)
{
    QtCanvas oCanvas;
    oCanvas.Resize(1000, 600);
    Spectrum oValues;
    Fill(oValues);
    SpectrumPlot oSpectrum(&oCanvas, oValues);
    oSpectrum.PlotAllValues();
    oSpectrum.ComputeRange();
    // 0: everything; 1: half of it; 2: that half scrolled on by a step in every round.
    const auto lCase = oState.range(0);
    if (lCase > 0) {
        oSpectrum.SetZoom(250000, 500000);
        oSpectrum.ComputeRange();
    }
    int32_t lStart = 250000;
    for (auto _ : oState) {
        if (lCase == 2) {
            lStart = lStart == 250000 ? 260000 : 250000;
            oSpectrum.SetZoom(lStart, 500000);
            oSpectrum.ComputeRange();
        }
        oSpectrum.Draw(600, 1000);
        benchmark::DoNotOptimize(oCanvas.Image().constBits());
    }
    oState.SetLabel(lCase == 0 ? "all 10^6 samples" : (lCase == 1 ? "zoomed to half" : "scroll step"));
}

} // namespace

BENCHMARK(BM_DrawSpectrum)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

QUANDREL_QT_BENCHMARK_MAIN()
