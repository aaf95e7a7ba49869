// qtbenchmain.h - the main of a benchmark that makes widgets: a Qt application on the offscreen
// platform (unless QT_QPA_PLATFORM names another), then the benchmarks the command line asks for.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

#define ZU_QT_BENCHMARK_MAIN()                                     \
    int main(int argc, char** argv)                                \
    {                                                              \
        if (!std::getenv("QT_QPA_PLATFORM"))                       \
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);           \
        QApplication app(argc, argv);                              \
        benchmark::Initialize(&argc, argv);                        \
        benchmark::RunSpecifiedBenchmarks();                       \
        benchmark::Shutdown();                                     \
        return 0;                                                  \
    }
