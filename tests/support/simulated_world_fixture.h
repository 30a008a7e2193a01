#pragma once

#include "foundation/private_files.h"
#include "foundation/property_list.h"
#include "foundation/regular_file.h"
#include "platform/manual_scheduler.h"
#include "simulated_mac/scenario.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_host.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace velmor::simulated_mac::testing {

// A simulated Mac on virtual time in a temporary home. The scheduler comes first so that it
// outlives everything that posts to it.
class SimulatedWorldTest : public ::testing::Test {
protected:
    static Scenario scenario(const char* json) { return Scenario::parse(QByteArray(json)); }

    void start(const Scenario& scenario)
    {
        m_desktop.reset();
        m_desktop = std::make_unique<SimulatedDesktop>(
            scenario, m_home.path(), m_scheduler, [this](platform::Duration cost) { m_scheduler.advanceClock(cost); },
            m_host);
    }

    SimulatedDesktop& desktop() { return *m_desktop; }

    // The titles of the on-screen items other than the system's, left to right.
    QStringList visibleTitles()
    {
        QStringList titles;
        for (const auto& item : desktop().snapshot().items) {
            if (item.kind != MenuBarEntry::Kind::System)
                titles.append(item.title);
        }
        return titles;
    }

    // Edits a domain file the way another process (the `defaults` tool) does: read, change, write.
    static void editDomain(const QString& path, const std::function<void(PropertyList&)>& edit)
    {
        PropertyList domain = PropertyList::decode(RegularFile::read(path, PropertyList::maximumBytes));
        edit(domain);
        private_files::writeAtomically(path, domain.toBinary());
    }

    // Sets "isAllowed" of the row whose key names the bundle.
    void setAllowed(const QString& bundleID, bool allowed)
    {
        editDomain(desktop().domains().controlCenterPath(), [&](PropertyList& domain) {
            PropertyList rows =
                PropertyList::decode(*domain.root().value(QStringLiteral("trackedApplications")).toData());
            for (int i = 0; i + 1 < rows.root().count(); i += 2) {
                if (rows.root()
                        .at(i)
                        .value(QStringLiteral("bundle"))
                        .value(QStringLiteral("_0"))
                        .toString() == bundleID)
                    rows.root().at(i + 1).setBool(QStringLiteral("isAllowed"), allowed);
            }
            domain.root().setEntry(QStringLiteral("trackedApplications"),
                                   PropertyList::data(rows.toBinary()));
        });
    }

    // The stored row whose key names the bundle.
    std::optional<TrackedRow> storedRow(const QString& bundleID)
    {
        const auto rows = desktop().domains().trackedRows();
        if (!rows)
            return std::nullopt;
        for (const TrackedRow& row : *rows) {
            if (row.bundleID == bundleID)
                return row;
        }
        return std::nullopt;
    }

    void setStoredPosition(const QString& key, double value)
    {
        editDomain(desktop().domains().menuBarPath(), [&](PropertyList& domain) {
            domain.root().value(QStringLiteral("TrailingItemPreferredPositions")).setReal(key, value);
        });
    }

    platform::ManualScheduler m_scheduler;
    QTemporaryDir m_home;
    SimulatedHost m_host{SimulatedHost::Configuration{}};
    std::unique_ptr<SimulatedDesktop> m_desktop;
};

} // namespace velmor::simulated_mac::testing
