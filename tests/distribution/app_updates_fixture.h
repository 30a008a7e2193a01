#pragma once

#include "distribution/app_updates.h"
#include "distribution/fake_updater_framework.h"
#include "platform/manual_scheduler.h"
#include "platform/memory_user_defaults.h"
#include "platform/services.h"
#include "simulated_mac/simulated_application_shell.h"
#include "simulated_mac/simulated_host.h"
#include "suite_ui/velmor_signals.h"

#include <QList>

#include <gtest/gtest.h>

#include <memory>

namespace velmor::test {

// A feed and a key that pass the controller's rules; the fake framework never reads them.
inline const QString validFeed = QStringLiteral("https://updates.example.com/appcast.xml");
inline const QString validKey = QString::fromLatin1(QByteArray(32, '\x07').toBase64());

// The update controller on virtual time over a fake framework, with the usage events it records.
class AppUpdatesFixture : public ::testing::Test {
protected:
    platform::ManualScheduler scheduler;
    platform::MemoryUserDefaults defaults;
    simulated_mac::SimulatedApplicationShell shell;
    FakeUpdaterFramework framework;
    std::unique_ptr<simulated_mac::SimulatedHost> host;
    std::unique_ptr<VelmorSignals> hub;
    platform::Services services;
    QList<VelmorEvent> events;

    QVariantMap info(const QString& feed = validFeed, const QString& key = validKey)
    {
        return {{QStringLiteral("CFBundleIdentifier"), QStringLiteral("local.velmor.tray")},
                {QStringLiteral("CFBundleVersion"), QStringLiteral("57")},
                {QStringLiteral("SUFeedURL"), feed},
                {QStringLiteral("SUPublicEDKey"), key}};
    }

    std::unique_ptr<AppUpdates> make(const QVariantMap& bundle)
    {
        simulated_mac::SimulatedHost::Configuration configuration;
        configuration.mainBundle =
            platform::MainBundle(bundle, QStringLiteral("/Applications/Velmor Tray.app"));
        host = std::make_unique<simulated_mac::SimulatedHost>(configuration);
        hub = std::make_unique<VelmorSignals>(*host, defaults, scheduler);
        QObject::connect(hub.get(), &VelmorSignals::tracked, hub.get(),
                         [this](VelmorEvent event) { events.append(event); });
        services.scheduler = &scheduler;
        services.host = host.get();
        services.userDefaults = &defaults;
        services.applicationShell = &shell;
        services.updater = &framework;
        return std::make_unique<AppUpdates>(services, hub.get());
    }

    // A started controller whose host answers from `busy`.
    std::unique_ptr<AppUpdates> started(bool& busy)
    {
        auto updates = make(info());
        updates->start([&busy] { return busy; });
        scheduler.runUntilIdle();
        return updates;
    }

    platform::UpdateItem item() const
    {
        platform::UpdateItem update;
        update.versionString = QStringLiteral("58");
        update.displayVersionString = QStringLiteral("1.5");
        return update;
    }
};

} // namespace velmor::test
