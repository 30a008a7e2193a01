#pragma once

#include <QCoreApplication>

#include <benchmark/benchmark.h>

// A benchmark main for programs whose code needs a Qt application object (events, processes,
// collation).
#define VELMOR_QT_BENCHMARK_MAIN()                                                                           \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        QCoreApplication application(argc, argv);                                                            \
        benchmark::Initialize(&argc, argv);                                                                  \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
