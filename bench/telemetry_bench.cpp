// What the telemetry path costs: the memory the client holds with a full queue, and how long a
// recorded event takes to reach a local HTTPS server through the hub and the client's thread.

#include "platform/memory_user_defaults.h"
#include "platform/qt_scheduler.h"
#include "qt_benchmark_main.h"
#include "simulated_mac/simulated_host.h"
#include "suite_ui/velmor_signals.h"
#include "support/https_test_server.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <malloc.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

namespace {

using namespace velmor;
using Clock = std::chrono::steady_clock;

const QString installation = QStringLiteral("6F1C1E2A-4B7D-4C1E-9A55-0D3C2B1A0F9E");

simulated_mac::SimulatedHost hostFor(const test::HttpsTestServer& server)
{
    simulated_mac::SimulatedHost::Configuration configuration;
    configuration.mainBundle = platform::MainBundle(
        QVariantMap{{QStringLiteral("CFBundleIdentifier"), QStringLiteral("local.velmor.tray")},
                    {QStringLiteral("CFBundleShortVersionString"), QStringLiteral("1.4")},
                    {QStringLiteral("CFBundleVersion"), QStringLiteral("57")},
                    {QStringLiteral("VelmorNavrelEndpoint"), server.url()},
                    {QStringLiteral("VelmorNavrelKey"), QStringLiteral("key")}},
        QStringLiteral("/Applications/Velmor Tray.app"));
    return simulated_mac::SimulatedHost(configuration);
}

void idleFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

std::size_t heapInUse()
{
    return mallinfo2().uordblks;
}

void BM_MemoryHeldWith64QueuedEvents(benchmark::State& state)
{
    test::HttpsTestServer server;
    server.setResponder([](const test::ReceivedRequest&) { return test::HttpsTestServer::Answer::hold; });
    const auto host = hostFor(server);
    platform::QtScheduler scheduler;
    for (auto _ : state) {
        NavrelClient client(VelmorSignals::configurationOf(host), VelmorSignals::contextOf(host), scheduler,
                            NavrelSession(server.clientTls()));
        client.setConsent(true, installation, true);
        // The first event stays in flight, so the next 64 wait in the queue.
        client.event(VelmorEvent::trayCollapsed);
        if (!server.waitForRequests(server.requests().size() + 1)) {
            state.SkipWithError("the local server saw no request");
            return;
        }
        std::atomic<int> pending = -1;
        client.pendingCount([&](int count) { pending = count; });
        test::spinUntil([&]() { return pending >= 0; });

        const std::size_t before = heapInUse();
        for (int i = 0; i < NavrelClient::maximumQueued; ++i)
            client.event(VelmorEvent::trayCollapsed);
        pending = -1;
        client.pendingCount([&](int count) { pending = count; });
        test::spinUntil([&]() { return pending >= 0; });
        const std::size_t after = heapInUse();

        const double bodyBytes = static_cast<double>(server.requests().last().body.size());
        state.counters["queued"] = pending.load();
        state.counters["body_bytes"] = bodyBytes;
        state.counters["bodies_total_bytes"] = bodyBytes * NavrelClient::maximumQueued;
        state.counters["heap_delta_bytes"] = static_cast<double>(after) - static_cast<double>(before);
        server.releaseHeld(test::HttpsTestServer::Answer::notFound);
    }
}
BENCHMARK(BM_MemoryHeldWith64QueuedEvents)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TrackToServerArrival(benchmark::State& state)
{
    test::HttpsTestServer server;
    const auto host = hostFor(server);
    platform::QtScheduler scheduler;
    platform::MemoryUserDefaults defaults;
    VelmorSignals hub(host, defaults, scheduler,
                      std::make_unique<NavrelClient>(VelmorSignals::configurationOf(host),
                                                     VelmorSignals::contextOf(host), scheduler,
                                                     NavrelSession(server.clientTls())));
    QEventLoop loop;
    Clock::time_point arrived;
    server.setObserver([&](const test::ReceivedRequest&) {
        arrived = Clock::now();
        loop.quit();
    });
    // The first request pays for the TLS handshake; the rest reuse the connection.
    hub.start();
    loop.exec();
    idleFor(20);

    std::vector<double> samples;
    for (auto _ : state) {
        const Clock::time_point started = Clock::now();
        hub.track(VelmorEvent::trayCollapsed);
        loop.exec();
        const double elapsed = std::chrono::duration<double>(arrived - started).count();
        state.SetIterationTime(elapsed);
        samples.push_back(elapsed * 1000.0);
        state.PauseTiming();
        idleFor(20); // lets the answer reach the client, so each event finds the line free
        state.ResumeTiming();
    }
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples.empty() ? 0.0 : samples[samples.size() / 2];
    state.counters["p90_ms"] = samples.empty() ? 0.0 : samples[samples.size() * 9 / 10];
}
BENCHMARK(BM_TrackToServerArrival)->Iterations(100)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

VELMOR_QT_BENCHMARK_MAIN()
