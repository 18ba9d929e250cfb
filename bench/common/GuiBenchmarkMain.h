#pragma once

#include "richedit/LayoutMemory.h"

#include <QApplication>

#include <benchmark/benchmark.h>

// The main function of a benchmark program with widgets: the offscreen platform unless another
// is asked for, freed layout memory kept as the program keeps it.
inline int RunGuiBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    KeepLayoutMemory();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
