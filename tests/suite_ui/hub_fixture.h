#pragma once

#include "platform/manual_scheduler.h"
#include "platform/memory_user_defaults.h"
#include "simulated_mac/simulated_host.h"
#include "suite_ui/velmor_signals.h"
#include "support/https_test_server.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmor::test {

// A signals hub whose client talks to the local HTTPS test server, on virtual time.
class HubTest : public ::testing::Test {
protected:
    platform::ManualScheduler scheduler;
    platform::MemoryUserDefaults defaults;
    HttpsTestServer server;
    std::unique_ptr<simulated_mac::SimulatedHost> host;
    std::unique_ptr<VelmorSignals> hub;
    NavrelClient* client = nullptr;

    void SetUp() override { ASSERT_TRUE(server.isListening()); }

    static QVariantMap info(bool configured, const QString& endpoint)
    {
        QVariantMap values{{QStringLiteral("CFBundleIdentifier"), QStringLiteral("local.velmor.tray")},
                           {QStringLiteral("CFBundleName"), QStringLiteral("Velmor Tray")},
                           {QStringLiteral("CFBundleShortVersionString"), QStringLiteral("1.4")},
                           {QStringLiteral("CFBundleVersion"), QStringLiteral("57")},
                           {QStringLiteral("VelmorNavrelKey"), QStringLiteral("key")}};
        if (configured)
            values.insert(QStringLiteral("VelmorNavrelEndpoint"), endpoint);
        return values;
    }

    VelmorSignals& makeHub(bool configured = true, QVariantMap extra = {})
    {
        hub.reset();
        QVariantMap values = info(configured, server.url());
        values.insert(extra);
        simulated_mac::SimulatedHost::Configuration configuration;
        configuration.mainBundle =
            platform::MainBundle(values, QStringLiteral("/Applications/Velmor Tray.app"));
        host = std::make_unique<simulated_mac::SimulatedHost>(configuration);
        auto injected = std::make_unique<NavrelClient>(VelmorSignals::configurationOf(*host),
                                                       VelmorSignals::contextOf(*host), scheduler,
                                                       NavrelSession(server.clientTls()));
        client = injected.get();
        hub = std::make_unique<VelmorSignals>(*host, defaults, scheduler, std::move(injected));
        return *hub;
    }

    void pump() { scheduler.runUntilIdle(); }
    bool waitFor(const std::function<bool()>& condition)
    {
        return spinUntil(condition, [this]() { pump(); });
    }
    // Every client operation scheduled so far has reached the client.
    void settle()
    {
        EXPECT_TRUE(waitFor([this]() { return !hub->hasPendingOperations(); }));
    }

    QStringList eventNames() const
    {
        QStringList names;
        for (const auto& request : server.requests()) {
            if (request.target == "/v1/events")
                names << json::string(request.json().value("name", Json())).value_or(QString());
        }
        return names;
    }
};

} // namespace velmor::test
