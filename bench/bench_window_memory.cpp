// The main window opening a spectrum of 1,000,000 samples through "Open spectrum" and the import
// dialog (OK pressed at once): the peak of the resident size it adds while opening, and what stays
// resident afterwards, in copies of the spectrum's two arrays (16 MB).
#include "QtBenchmarkMain.h"
#include "support/Generators.h"
#include "ui/MainWindow.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kSamples = 1000000;

// Every file dialog answers with the one file; every question with OK.
class FilePrompts : public Prompts {
public:
    explicit FilePrompts(std::string sFile) : m_sFile(std::move(sFile)) {}
    Button Message(const std::string&, const std::string&, Icon, Buttons) override { return Button::Ok; }
    std::optional<std::string> OpenFile(const FileDialog&) override { return m_sFile; }
    std::vector<std::string> OpenFiles(const FileDialog&) override { return {m_sFile}; }
    std::optional<std::string> SaveFile(const FileDialog&) override { return std::nullopt; }
    void SetBusy(bool) override {}
    bool OpenDocument(const std::string&) override { return true; }
    std::optional<std::size_t> ChooseItem(const std::string&, const std::string&, const std::vector<std::string>&) override
    {
        return std::nullopt;
    }

private:
    std::string m_sFile;
};

long StatusBytes(const char* pcField)
{
    std::ifstream oStatus("/proc/self/status");
    const std::string sField = pcField;
    for (std::string sLine; std::getline(oStatus, sLine);) {
        if (sLine.rfind(sField, 0) == 0) {
            return std::strtol(sLine.c_str() + sField.size(), nullptr, 10) * 1024;
        }
    }
    return 0;
}

std::string WriteSpectrum(const std::filesystem::path& oPath)
{
    std::vector<double> vX;
    std::vector<double> vY;
    quandrel::testing::NoisyLineSpectrum(kSamples, 0.001, vX, vY);
    std::FILE* pFile = std::fopen(oPath.c_str(), "w");
    for (std::size_t i = 0; i < vX.size(); ++i) {
        std::fprintf(pFile, "%.4f\t%.6f\n", vX[i], vY[i]);
    }
    std::fclose(pFile);
    return oPath.string();
}

void BM_WindowOpensSpectrum(benchmark::State& oState)
{
    const auto oDir = std::filesystem::temp_directory_path();
    const std::string sFile = WriteSpectrum(oDir / "quandrel-bench-window.txt");
    const auto oIni = oDir / "quandrel-bench-window.ini";
    std::filesystem::remove(oIni);
    double fPeak = 0.0;
    double fKept = 0.0;
    double fMegabytes = 0.0;
    for (auto _ : oState) {
        FilePrompts oPrompts(sFile);
        MainWindow oMain(oIni.string(), oPrompts);
        oMain.resize(1280, 800);
        oMain.show();
        oMain.CreateDialogs();
        QApplication::processEvents();
        // Memory freed before (the generated spectrum's arrays) goes back to the system, so that it
        // is not counted as taken when the opening reuses it.
        ::malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        const long lBefore = StatusBytes("VmRSS:");
        QTimer::singleShot(0, [] {
            if (QWidget* pDialog = QApplication::activeModalWidget()) {
                pDialog->findChild<QPushButton*>("btnOK")->click();
            }
        });
        oMain.findChild<QAction*>("mniOpenSpectrum")->trigger();
        QApplication::processEvents();
        const long lPeak = StatusBytes("VmHWM:");
        const long lAfter = StatusBytes("VmRSS:");
        fPeak = static_cast<double>(lPeak - lBefore) / (16.0 * kSamples);
        fKept = static_cast<double>(lAfter - lBefore) / (16.0 * kSamples);
        fMegabytes = static_cast<double>(lPeak) / 1e6;
        if (oMain.GetCurrentSpectrum() == nullptr || oMain.GetCurrentSpectrum()->GetNumberValues() != kSamples) {
            oState.SkipWithError("the spectrum was not opened");
        }
    }
    oState.counters["copies_at_peak"] = fPeak;
    oState.counters["copies_kept"] = fKept;
    oState.counters["peak_resident_MB"] = fMegabytes;
    std::filesystem::remove(sFile);
    std::filesystem::remove(oIni);
}

} // namespace

BENCHMARK(BM_WindowOpensSpectrum)->Unit(benchmark::kMillisecond)->Iterations(1);

QUANDREL_QT_BENCHMARK_MAIN()
