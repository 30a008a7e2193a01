#pragma once

// What the benchmarks of the app's windows share: the main thread's CPU clock, a wait for the
// frame a window presents next, and a main that draws offscreen in software.

#include "app/qml_modules.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QObject>
#include <QQuickWindow>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

namespace velmor::bench {

inline double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs the event loop until the window has presented a frame (or a generous limit passes).
inline bool waitForFrame(QQuickWindow* window)
{
    if (!window)
        return false;
    bool swapped = false;
    QEventLoop loop;
    const auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, &loop, [&] {
        swapped = true;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    window->requestUpdate();
    loop.exec();
    QObject::disconnect(connection);
    return swapped;
}

} // namespace velmor::bench

// Offscreen and in software, as the screenshots are drawn: the same work on every machine.
#define VELMOR_WINDOW_BENCHMARK_MAIN()                                                                       \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                             \
        qputenv("QT_QUICK_BACKEND", "software");                                                             \
        qputenv("QSG_RENDER_LOOP", "basic");                                                                 \
        QGuiApplication application(argc, argv);                                                             \
        velmor::registerQmlModules();                                                                        \
        benchmark::Initialize(&argc, argv);                                                                  \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
