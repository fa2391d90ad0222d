// The main function of a benchmark that needs Qt's widgets: an application on the offscreen platform
// around Google Benchmark's run.
#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#define QUANDREL_QT_BENCHMARK_MAIN()                                                                                   \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QApplication oApplication(argc, argv);                                                                         \
        benchmark::Initialize(&argc, argv);                                                                            \
        benchmark::RunSpecifiedBenchmarks();                                                                           \
        benchmark::Shutdown();                                                                                         \
        return 0;                                                                                                      \
    }
