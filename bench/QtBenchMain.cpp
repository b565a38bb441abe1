// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>

// Benchmarks that need Qt's event loop run headless unless a platform is set.
// Those of the engines alone (ARDENO_BENCH_WITHOUT_WINDOWS) run without the
// GUI, so that their memory figures are the engine's.
int main(int argc, char** argv)
{
#ifdef ARDENO_BENCH_WITHOUT_WINDOWS
    QCoreApplication application(argc, argv);
#else
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
