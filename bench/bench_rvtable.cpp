// The window's table of radial velocities with 10,000 rows: a refresh after the table changed, and a
// scroll step of its view (the visible rows drawn into an image), as the window does them.
#include "rvtable/MatrixClass.h"
#include "spectrum/SpectrumClass.h"
#include "ui/RvTableModel.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QHeaderView>
#include <QTableView>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 10000;

void Fill(CMatrix& oMatrix)
{
    for (int i = 0; i < kRows; ++i) {
        CSpectrum oSpectrum(nullptr);
        const double afW[] = {1, 2};
        const double afI[] = {1.0 + i, 2};
        oSpectrum.SetValues(2, afW, afI);
        oSpectrum.SetObservationTime(2455000.5 + 0.37 * i);
        oMatrix.AddVelocity(&oSpectrum, -12.25 + 0.01 * i);
    }
}

void BM_RvTableRefresh(benchmark::State& oState)
{
    CMatrix oMatrix;
    Fill(oMatrix);
    CRvTableModel oModel(oMatrix);
    QTableView oView;
    oView.setModel(&oModel);
    oView.resize(1000, 400);
    for (auto _ : oState) {
        oModel.Refresh();
        benchmark::DoNotOptimize(oView.model()->rowCount());
    }
    if (oModel.index(CRvTableModel::ModelRow(kRows - 1), 0).data().toString().isEmpty()) {
        oState.SkipWithError("the last row shows no time");
    }
}

void BM_RvTableScrollStep(benchmark::State& oState)
{
    CMatrix oMatrix;
    Fill(oMatrix);
    CRvTableModel oModel(oMatrix);
    QTableView oView;
    oView.setModel(&oModel);
    oView.resize(1000, 400);
    oView.verticalHeader()->setDefaultSectionSize(18);
    QImage oImage(oView.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int lStep = 0;
    for (auto _ : oState) {
        // Down by a page through the whole table, and back to the top at its end.
        lStep = (lStep + 20) % kRows;
        oView.verticalScrollBar()->setValue(lStep);
        oView.viewport()->render(&oImage);
        benchmark::DoNotOptimize(oImage.constBits());
    }
}

} // namespace

BENCHMARK(BM_RvTableRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RvTableScrollStep)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication oApplication(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
