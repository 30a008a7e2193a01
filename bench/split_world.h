#pragma once

// A simulated Mac on virtual time, built from a scenario, with the real `defaults` stand-in, its
// services split between the app's CPU time and the simulator's (cpu_split.h): the world the
// benchmarks of the engine and its windows start the app on.

#include "cpu_split.h"
#include "foundation/json.h"
#include "foundation/regular_file.h"
#include "platform/manual_scheduler.h"
#include "simulated_mac/scenario.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_home.h"
#include "simulated_mac/simulated_host.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

namespace velmor::bench {

class SplitWorld final {
public:
    explicit SplitWorld(const QByteArray& scenario)
        : m_host([] {
              simulated_mac::SimulatedHost::Configuration configuration;
              configuration.defaultsToolPath = QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults");
              return configuration;
          }()),
          m_desktop(
              simulated_mac::Scenario::parse(scenario), m_home.path(), m_scheduler,
              [this](platform::Duration cost) { m_scheduler.advanceClock(cost); }, m_host),
          m_split(m_desktop.services(), m_cpu)
    {}
    SplitWorld(const SplitWorld&) = delete;
    SplitWorld& operator=(const SplitWorld&) = delete;

    platform::ManualScheduler& scheduler() { return m_scheduler; }
    simulated_mac::SimulatedDesktop& desktop() { return m_desktop; }
    CpuSplit& cpu() { return m_cpu; }
    // What the app is given.
    const platform::Services& services() const { return m_split.services(); }
    QString home() const { return m_home.path(); }
    // Runs of the `defaults` stand-in (exports and imports) since the world was made.
    int toolRuns() const
    {
        const QString path = simulated_mac::simulated_home::defaultsRunsPath(m_home.path());
        if (!QFileInfo::exists(path))
            return 0;
        const Json counts = json::parse(RegularFile::read(path, 1024 * 1024));
        return counts.value("export", 0) + counts.value("import", 0);
    }

    // On the simulator's side: runs what is due, lets virtual time pass while `waiting()` holds (a
    // minute at the most), then runs the work that leaves for right after. Returns the virtual
    // time at which the waiting ended.
    template <typename Waiting> platform::TimePoint settle(Waiting waiting)
    {
        platform::TimePoint ended;
        m_cpu.on(CpuSplit::Simulator, [&] {
            const platform::TimePoint limit = m_scheduler.now() + platform::seconds(60);
            m_scheduler.runUntilIdle();
            while (waiting()) {
                const auto next = m_scheduler.nextDueTime();
                if (!next || *next > limit)
                    break;
                m_scheduler.fastForwardBy(*next - m_scheduler.now());
            }
            ended = m_scheduler.now();
            m_scheduler.runUntilIdle();
        });
        return ended;
    }

private:
    platform::ManualScheduler m_scheduler;
    QTemporaryDir m_home;
    simulated_mac::SimulatedHost m_host;
    simulated_mac::SimulatedDesktop m_desktop;
    CpuSplit m_cpu;
    SplitServices m_split;
};

} // namespace velmor::bench
