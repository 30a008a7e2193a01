#pragma once

#include "app/simulated_run.h"
#include "foundation/json.h"
#include "foundation/private_files.h"
#include "foundation/regular_file.h"
#include "foundation/uuid_text.h"
#include "simulated_mac/simulated_home.h"
#include "support/utf8_text.h"
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
            std::make_unique<SimulatedRun>(simulated_mac::Scenario::parse(QByteArray(scenarioJson)), m_home.path(),
                                           QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults"));
    }
    // Starts the app and lets it settle; the start's own usage events are dropped.
    void launch()
    {
        run().launch();
        run().settle();
        run().takeEvents();
    }

    // A sentence of the app's, as it is written in its sources.
    static QString text(const char* literal) { return test::text(literal); }

    SimulatedRun& run() { return *m_run; }
    simulated_mac::SimulatedDesktop& desktop() { return m_run->desktop(); }
    TrayModel& model() { return m_run->app().model(); }
    TrayDelegate& delegate() { return m_run->app().delegate(); }
    NativeTrayController& controller() { return *m_run->app().delegate().controller(); }
    double now() const { return platform::toSeconds(m_run->scheduler().now().time_since_epoch()); }
    void advance(double seconds) { m_run->scheduler().fastForwardBy(platform::seconds(seconds)); }
    // Runs due work task by task until `done` holds; false when it does not within `limit` seconds.
    bool waitUntil(const std::function<bool()>& done, double limit = 10)
    {
        platform::ManualScheduler& scheduler = m_run->scheduler();
        const double end = now() + limit;
        while (!done()) {
            const auto next = scheduler.nextDueTime();
            if (!next || platform::toSeconds(next->time_since_epoch()) > end)
                return false;
            scheduler.fastForwardBy(*next - scheduler.now());
        }
        return true;
    }

    // A person clicks one of the app's items.
    void click(const QString& name, bool right = false)
    {
        ASSERT_TRUE(desktop().click(name, right)) << qPrintable(name);
        m_run->scheduler().runUntilIdle();
    }
    QStringList menuTitles()
    {
        QStringList titles;
        for (const platform::MenuItem& item : desktop().statusBar().openMenu().value_or(platform::Menu{}))
            titles.append(item.separator ? QStringLiteral("-") : item.title);
        return titles;
    }

    // Sections and groups the model loads at its next launch; the first group's id.
    void storeAppGroups(const TraySectionMap& sections)
    {
        desktop().userDefaults().setValue(QString::fromLatin1(TrayModel::appGroupsKey),
                                          json::serialize(tray_section_map::encode(sections)));
    }
    QUuid storeGroups(const QList<std::pair<QString, QStringList>>& groups)
    {
        TrayAppGrouping grouping;
        for (const auto& [name, members] : groups) {
            grouping.groups.append(TrayNamedGroup{uuid_text::random(), name, QStringLiteral("briefcase")});
            for (const QString& member : members)
                grouping.memberships.insert(member, grouping.groups.last().id);
        }
        desktop().userDefaults().setValue(QString::fromLatin1(TrayModel::namedGroupsKey),
                                          json::serialize(grouping.encode()));
        return grouping.groups.first().id;
    }

    // The bar as a person sees it: titles of other apps' items, on screen and pushed off it.
    QStringList titles(bool onScreen = true)
    {
        const auto snapshot = desktop().snapshot();
        QStringList result;
        for (const auto& item : onScreen ? snapshot.items : snapshot.offScreen) {
            if (item.kind == simulated_mac::MenuBarEntry::Kind::Extra)
                result.append(item.title);
        }
        return result;
    }
    QStringList hiddenApps()
    {
        QStringList apps = desktop().snapshot().hiddenApps;
        apps.sort();
        return apps;
    }
    // The frame of an item with this preferred-position key, on screen or not.
    QRectF frameOf(const QString& key)
    {
        for (const simulated_mac::MenuBarEntry* entry : desktop().menuBar().leftToRight()) {
            if (entry->key() == key)
                return *entry->frame;
        }
        return {};
    }

    // Runs of the `defaults` stand-in since the home was made: "export", "import" or both.
    int toolRuns(const char* command = nullptr) const
    {
        const QString path =
            simulated_mac::simulated_home::simulatorFolder(m_home.path()) + QStringLiteral("/defaults-runs.json");
        if (!QFileInfo::exists(path))
            return 0;
        const Json counts = json::parse(RegularFile::read(path, 1024 * 1024));
        return command ? counts.value(command, 0) : counts.value("export", 0) + counts.value("import", 0);
    }
    void setToolFaults(const QByteArray& faults) const
    {
        private_files::writeAtomically(simulated_mac::simulated_home::simulatorFolder(m_home.path()) +
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

    static QString ownKey(const char* name)
    {
        return QStringLiteral("status:local.velmor.tray::") + QString::fromLatin1(name);
    }
    static QString chevronKey() { return ownKey("VelmorTray.Native.regular"); }
    static QString extraKey(const char* owner, const char* name = "Item-0")
    {
        return QStringLiteral("status:%1::%2").arg(QString::fromLatin1(owner), QString::fromLatin1(name));
    }

    QTemporaryDir m_home;
    std::unique_ptr<SimulatedRun> m_run;
};

} // namespace velmor::test
