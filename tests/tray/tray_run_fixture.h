#pragma once

#include "app/simulated_run.h"
#include "foundation/json.h"
#include "foundation/private_files.h"
#include "platform/simulated/simulated_home.h"
#include "tray/grouped_app.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_app.h"
#include "tray/tray_delegate.h"
#include "tray/tray_model.h"
#include "tray/tray_section_map.h"
#include "tray_visibility/tray_recovery_paths.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failures: QString is found through argument-dependent lookup in the global namespace.
inline void PrintTo(const QString& value, std::ostream* stream)
{
    *stream << '"' << value.toStdString() << '"';
}

namespace velmor::test {

// The whole app on a simulated Mac, on virtual time, in a temporary home that outlives the
// app's runs so that a relaunch sees what the last run left.
class TrayRunTest : public ::testing::Test {
protected:
    void start(const char* scenarioJson)
    {
        m_run =
            std::make_unique<SimulatedRun>(platform::Scenario::parse(QByteArray(scenarioJson)), m_home.path(),
                                           QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults"));
    }
    // Starts the app and lets it settle; the start's own usage events are dropped.
    void launch()
    {
        run().launch();
        run().settle();
        run().takeEvents();
    }

    SimulatedRun& run() { return *m_run; }
    platform::SimulatedDesktop& desktop() { return m_run->desktop(); }
    TrayModel& model() { return m_run->app().model(); }
    TrayDelegate& delegate() { return m_run->app().delegate(); }
    NativeTrayController& controller() { return *m_run->app().delegate().controller(); }
    double now() const { return platform::toSeconds(m_run->scheduler().now().time_since_epoch()); }
    void advance(double seconds) { m_run->scheduler().fastForwardBy(platform::seconds(seconds)); }

    // Sections the model loads at its next launch.
    void storeAppGroups(const TraySectionMap& sections)
    {
        desktop().userDefaults().setValue(QString::fromLatin1(TrayModel::appGroupsKey),
                                          json::serialize(tray_section_map::encode(sections)));
    }
    // What the organizer does when an app card is dropped on a destination.
    void assign(const QString& bundleID, const QString& destination)
    {
        model().setDestination(GroupedApp{bundleID, {}, {}, {}}, destination);
    }

    // Titles of the on-screen items of other apps, left to right.
    QStringList shownTitles()
    {
        QStringList titles;
        for (const auto& item : desktop().snapshot().items) {
            if (item.kind == platform::MenuBarEntry::Kind::Extra)
                titles.append(item.title);
        }
        return titles;
    }
    QStringList offScreenTitles()
    {
        QStringList titles;
        for (const auto& item : desktop().snapshot().offScreen) {
            if (item.kind == platform::MenuBarEntry::Kind::Extra)
                titles.append(item.title);
        }
        return titles;
    }
    QStringList hiddenApps() { return desktop().snapshot().hiddenApps; }
    std::optional<platform::SimulatedDesktop::SnapshotItem> shown(const QString& key)
    {
        for (const auto& item : desktop().snapshot().items) {
            if (item.key == key)
                return item;
        }
        return std::nullopt;
    }

    // Runs of the `defaults` stand-in since the home was made: "export", "import" or both.
    int toolRuns(const char* command = nullptr) const
    {
        const QString path =
            platform::simulated_home::simulatorFolder(m_home.path()) + QStringLiteral("/defaults-runs.json");
        if (!QFileInfo::exists(path))
            return 0;
        const Json counts = json::parse(private_files::read(path));
        if (command)
            return counts.value(command, 0);
        return counts.value("export", 0) + counts.value("import", 0);
    }
    void setToolFaults(const QByteArray& faults) const
    {
        private_files::writeAtomically(platform::simulated_home::simulatorFolder(m_home.path()) +
                                           QStringLiteral("/defaults-faults.json"),
                                       faults);
    }
    bool visibilityJournalExists() const
    {
        return QFileInfo::exists(tray_recovery_paths::visibilityJournal(m_home.path()));
    }
    bool positionJournalExists() const
    {
        return QFileInfo::exists(tray_recovery_paths::positionJournal(m_home.path()));
    }
    std::optional<double> position(const QString& key) { return desktop().domains().position(key); }

    static QString chevronKey()
    {
        return QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular");
    }
    static QString extraKey(const char* owner, const char* name = "Item-0")
    {
        return QStringLiteral("status:%1::%2").arg(QString::fromLatin1(owner), QString::fromLatin1(name));
    }

    QTemporaryDir m_home;
    std::unique_ptr<SimulatedRun> m_run;
};

} // namespace velmor::test
