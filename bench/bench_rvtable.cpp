// The window's table of radial velocities with 10,000 rows: a refresh after the table changed, and a
// scroll step of its view (the visible rows drawn into an image), as the window does them.
#include "QtBenchmarkMain.h"
#include "rvtable/RvTable.h"
#include "spectrum/Spectrum.h"
#include "ui/RvTableModel.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QHeaderView>
#include <QTableView>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 10000;

// The table of kRows rows and the window's view of it, 1000 x 400 pixels.
struct Table {
    Table()
    {
        for (int i = 0; i < kRows; ++i) {
            Spectrum oSpectrum;
            const double afW[] = {1, 2};
            const double afI[] = {1.0 + i, 2};
            oSpectrum.SetValues(2, afW, afI);
            oSpectrum.SetObservationTime(2455000.5 + 0.37 * i);
            oTable.AddVelocity(&oSpectrum, -12.25 + 0.01 * i);
        }
        oModel.Refresh();
        oView.setModel(&oModel);
        oView.verticalHeader()->setDefaultSectionSize(18);
        oView.resize(1000, 400);
    }
    RvTable oTable;
    RvTableModel oModel{oTable};
    QTableView oView;
};

void BM_RvTableRefresh(benchmark::State& oState)
{
    Table o;
    for (auto _ : oState) {
        o.oModel.Refresh();
        benchmark::DoNotOptimize(o.oView.model()->rowCount());
    }
    if (o.oModel.index(RvTableModel::ModelRow(kRows - 1), 0).data().toString().isEmpty()) {
        oState.SkipWithError("the last row shows no time");
    }
}

void BM_RvTableScrollStep(benchmark::State& oState)
{
    Table o;
    QImage oImage(o.oView.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int lStep = 0;
    for (auto _ : oState) {
        // Down by a page through the whole table, and back to the top at its end.
        lStep = (lStep + 20) % kRows;
        o.oView.verticalScrollBar()->setValue(lStep);
        o.oView.viewport()->render(&oImage);
        benchmark::DoNotOptimize(oImage.constBits());
    }
}

} // namespace

BENCHMARK(BM_RvTableRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RvTableScrollStep)->Unit(benchmark::kMillisecond);

QUANDREL_QT_BENCHMARK_MAIN()
