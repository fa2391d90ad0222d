// A season measured at once: the 20 FITS spectra of the sample run (22,501 samples each) opened,
// searched, identified and corrected, on one thread and on two. The speed-up is the ratio of the
// two times; results are the same on any number of threads.
#include "session/Session.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> SeasonFiles()
{
    std::vector<std::string> vFiles;
    for (int i = 0; i < 20; ++i) {
        vFiles.push_back(std::string(QUANDREL_SAMPLE_RUN_DIR) + "/fits/star_" + (i < 10 ? "0" : "") + std::to_string(i) +
                         ".fits");
    }
    return vFiles;
}

void BM_MeasureSeason(benchmark::State& oState)
{
    const std::vector<std::string> vFiles = SeasonFiles();
    CampaignOptions oOptions;
    oOptions.oSearch = *SliderScale::SearchOf(20, 10, 0);
    oOptions.fIdentifyWindow = 80.0;
    oOptions.lThreads = static_cast<unsigned>(oState.range(0));
    for (auto _ : oState) {
        Session oSession("");
        if (oSession.Lines().LoadLaboratoryLines(std::string(QUANDREL_SAMPLE_DATA_DIR) + "/LinesX.txt")) {
            oState.SkipWithError("no laboratory lines");
            return;
        }
        const auto oRows = oSession.Campaign().MeasureFiles(vFiles, oOptions);
        if (!oRows || oSession.Project().Table().Rows().size() != vFiles.size()) {
            oState.SkipWithError("not every spectrum was measured");
            return;
        }
        benchmark::DoNotOptimize(oRows->front().fMean);
    }
    oState.counters["spectra"] = static_cast<double>(vFiles.size());
}
BENCHMARK(BM_MeasureSeason)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
