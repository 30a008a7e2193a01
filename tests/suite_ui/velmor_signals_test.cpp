#include "foundation/uuid_text.h"
#include "platform/manual_scheduler.h"
#include "platform/memory_user_defaults.h"
#include "platform/simulated/simulated_host.h"
#include "suite_ui/velmor_signals.h"
#include "support/https_test_server.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>

namespace velmor {
namespace {

using test::HttpsTestServer;
using Answer = HttpsTestServer::Answer;

class VelmorSignalsTest : public ::testing::Test {
protected:
    platform::ManualScheduler scheduler;
    platform::MemoryUserDefaults defaults;
    HttpsTestServer server;
    std::unique_ptr<platform::SimulatedHost> host;
    NavrelClient* client = nullptr;

    const QString usageKey = QStringLiteral("velmor.usageConsent.v1");
    const QString cityKey = QStringLiteral("velmor.cityConsent.v1");
    const QString installationKey = QStringLiteral("velmor.installation.v1");
    const QString markerKey = QStringLiteral("velmor.session.active.v1.local.velmor.tray");
    const QString updateKey = QStringLiteral("velmor.update.pending.v1.local.velmor.tray");

    void SetUp() override { ASSERT_TRUE(server.isListening()); }

    std::unique_ptr<VelmorSignals> makeHub(bool configured = true)
    {
        QVariantMap info{{QStringLiteral("CFBundleIdentifier"), QStringLiteral("local.velmor.tray")},
                         {QStringLiteral("CFBundleShortVersionString"), QStringLiteral("1.4")},
                         {QStringLiteral("CFBundleVersion"), QStringLiteral("57")},
                         {QStringLiteral("VelmorNavrelKey"), QStringLiteral("key")}};
        if (configured)
            info.insert(QStringLiteral("VelmorNavrelEndpoint"), server.url());
        platform::SimulatedHost::Configuration configuration;
        configuration.mainBundle =
            platform::MainBundle(info, QStringLiteral("/Applications/Velmor Tray.app"));
        host = std::make_unique<platform::SimulatedHost>(configuration);
        auto injected = std::make_unique<NavrelClient>(VelmorSignals::configurationOf(*host),
                                                       VelmorSignals::contextOf(*host), scheduler,
                                                       NavrelSession(server.clientTls()));
        client = injected.get();
        return std::make_unique<VelmorSignals>(*host, defaults, scheduler, std::move(injected));
    }

    void pump() { scheduler.runUntilIdle(); }

    void settle(const VelmorSignals& hub)
    {
        EXPECT_TRUE(test::spinUntil([&]() { return !hub.hasPendingOperations(); }, [this]() { pump(); }));
    }

    bool waitForRequests(qsizetype count)
    {
        return server.waitForRequests(count, [this]() { pump(); });
    }

    QStringList names() const
    {
        QStringList all;
        for (const auto& request : server.requests())
            all << json::string(request.json().value("name", Json())).value_or(QStringLiteral("(none)"));
        return all;
    }

    std::string installationAt(qsizetype index) const
    {
        return server.requests().at(index).json()["metadata"].value("installation_id", "");
    }

    int pendingAtClient()
    {
        auto answer = std::make_shared<std::atomic<int>>(-1);
        client->pendingCount([answer](int count) { *answer = count; });
        EXPECT_TRUE(test::spinUntil([&]() { return *answer >= 0; }));
        return *answer;
    }
};

TEST_F(VelmorSignalsTest, TheFirstStartRecordsAnOpeningUnderAnIdentifierThatLaterRunsReuse)
{
    auto hub = makeHub();
    EXPECT_TRUE(hub->configured());
    hub->start();
    hub->start();
    hub->track(VelmorEvent::trayCollapsed);
    settle(*hub);
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(names(), QStringList({"app.opened", "tray.collapsed"}));
    const auto stored = defaults.stringValue(installationKey);
    ASSERT_TRUE(stored && uuid_text::parse(*stored));
    EXPECT_EQ(*stored, stored->toUpper());
    EXPECT_EQ(installationAt(0), stored->toStdString());
    EXPECT_EQ(server.requests().at(0).json()["metadata"]["location_opt_in"], true);

    hub->finish();
    hub.reset();
    auto nextRun = makeHub();
    nextRun->start();
    settle(*nextRun);
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(names().last(), "app.opened");
    EXPECT_EQ(installationAt(2), stored->toStdString());
}

TEST_F(VelmorSignalsTest, AnUncleanExitAndAnInstalledUpdateAreReportedAfterTheOpening)
{
    defaults.setValue(markerKey, true);
    defaults.setValue(updateKey, QStringLiteral("57"));
    auto hub = makeHub();
    hub->start();
    settle(*hub);
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(names(), QStringList({"app.opened", "app.uncleanexit", "update.installed"}));
    EXPECT_EQ(defaults.value(markerKey), QVariant(true));
    EXPECT_FALSE(defaults.value(updateKey).isValid());

    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit");
    EXPECT_FALSE(defaults.value(markerKey).isValid()) << "the quit notification ends the run cleanly";
}

TEST_F(VelmorSignalsTest, EventsRecordedJustBeforeAConsentChangeNeverReachTheServer)
{
    auto hub = makeHub();
    hub->start();
    settle(*hub);
    ASSERT_TRUE(waitForRequests(1));
    const std::string first = installationAt(0);

    // Any consent change cancels what was scheduled before it, even one that keeps usage on.
    hub->track(VelmorEvent::clipPasted);
    hub->setEnabled(true);
    settle(*hub);
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(installationAt(1), first);

    hub->recordUpdateInstallation(QStringLiteral("58"));
    EXPECT_TRUE(defaults.value(updateKey).isValid());

    hub->track(VelmorEvent::trayCollapsed);
    hub->setEnabled(false);
    hub->track(VelmorEvent::micMuted);
    EXPECT_FALSE(hub->enabled());
    EXPECT_EQ(defaults.value(usageKey), QVariant(false));
    EXPECT_FALSE(defaults.value(installationKey).isValid());
    EXPECT_FALSE(defaults.value(markerKey).isValid());
    EXPECT_FALSE(defaults.value(updateKey).isValid());
    settle(*hub);

    hub->setEnabled(true);
    settle(*hub);
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(names(), QStringList({"app.opened", "app.opened", "app.opened"}));
    EXPECT_NE(installationAt(2), first);
    EXPECT_EQ(installationAt(2), defaults.stringValue(installationKey).value_or(QString()).toStdString());
    EXPECT_EQ(defaults.value(markerKey), QVariant(true)) << "a run switched on part-way is watched again";
}

TEST_F(VelmorSignalsTest, ACityChangeWhileUsageIsOnDropsWhatWasRecordedUnderTheOldChoice)
{
    server.setResponder([](const test::ReceivedRequest& request) {
        return request.json()["name"] == "mic.muted" ? Answer::hold : Answer::ok;
    });
    auto hub = makeHub();
    hub->start();
    hub->track(VelmorEvent::micMuted);
    settle(*hub);
    ASSERT_TRUE(waitForRequests(2));
    hub->track(VelmorEvent::micUnmuted);
    settle(*hub);
    EXPECT_EQ(pendingAtClient(), 1);

    hub->setLocationEnabled(false);
    EXPECT_EQ(defaults.value(cityKey), QVariant(false));
    settle(*hub);
    EXPECT_EQ(pendingAtClient(), 0);
    ASSERT_TRUE(test::spinUntil([&]() { return server.clientAborts() == 1; }));
    hub->track(VelmorEvent::trayCollapsed);
    settle(*hub);
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(names(), QStringList({"app.opened", "mic.muted", "tray.collapsed"}));
    EXPECT_EQ(server.requests().at(2).json()["metadata"]["location_opt_in"], false);

    // With usage off the choice is only stored; the client stays without consent.
    hub->setEnabled(false);
    hub->setLocationEnabled(true);
    settle(*hub);
    EXPECT_TRUE(hub->locationEnabled());
    EXPECT_EQ(defaults.value(cityKey), QVariant(true));
    client->event(VelmorEvent::clipPasted);
    EXPECT_EQ(pendingAtClient(), 0);
    EXPECT_EQ(server.requests().size(), 3);
}

TEST_F(VelmorSignalsTest, DamagedStoredValuesNeverShareMoreThanChosen)
{
    defaults.setValue(installationKey, QStringLiteral("not-a-uuid"));
    auto hub = makeHub();
    hub->start();
    settle(*hub);
    ASSERT_TRUE(waitForRequests(1));
    const auto replaced = defaults.stringValue(installationKey);
    ASSERT_TRUE(replaced && uuid_text::parse(*replaced));
    EXPECT_EQ(installationAt(0), replaced->toStdString());
    hub.reset();

    defaults.setValue(usageKey, QStringLiteral("yes"));
    defaults.setValue(markerKey, true);
    auto off = makeHub();
    EXPECT_FALSE(off->enabled());
    EXPECT_TRUE(off->locationEnabled());
    EXPECT_FALSE(defaults.value(markerKey).isValid()) << "markers are cleared while reporting is off";
    off->start();
    off->track(VelmorEvent::trayCollapsed);
    EXPECT_FALSE(off->hasPendingOperations());
    EXPECT_FALSE(defaults.value(markerKey).isValid());
}

TEST_F(VelmorSignalsTest, WithoutAConfigurationNothingIsSentAndFeedbackIsRefused)
{
    defaults.setValue(markerKey, true);
    auto hub = makeHub(false);
    EXPECT_FALSE(hub->configured());
    EXPECT_TRUE(hub->enabled());
    EXPECT_FALSE(defaults.value(markerKey).isValid());
    hub->start();
    hub->track(VelmorEvent::trayCollapsed);
    EXPECT_FALSE(hub->hasPendingOperations());
    std::optional<bool> accepted;
    hub->feedback(QStringLiteral("hello"), false, [&](bool result) { accepted = result; });
    ASSERT_TRUE(test::spinUntil([&]() { return accepted.has_value(); }, [this]() { pump(); }));
    EXPECT_FALSE(*accepted);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(VelmorSignalsTest, FeedbackCarriesTheReviewedDetailsButNoIdentifier)
{
    auto hub = makeHub();
    hub->start();
    settle(*hub);
    EXPECT_EQ(hub->reviewedMetadata(), "App: local.velmor.tray\nRelease: 1.4+57\nmacOS: 27.0.0\n"
                                       "Architecture: arm64\nMemory class: up_to_16GB");
    std::optional<bool> accepted;
    hub->feedback(QStringLiteral("Works well"), true, [&](bool result) { accepted = result; });
    ASSERT_TRUE(test::spinUntil([&]() { return accepted.has_value(); }, [this]() { pump(); }));
    EXPECT_TRUE(*accepted);
    const auto report = std::find_if(server.requests().cbegin(), server.requests().cend(),
                                     [](const auto& request) { return request.target == "/v1/feedback"; });
    ASSERT_NE(report, server.requests().cend());
    EXPECT_EQ(report->json()["metadata"],
              Json::parse(R"({"os":"27.0.0","architecture":"arm64","memory_class":"up_to_16GB"})"));
    EXPECT_EQ(report->json()["category"], "bug");
}

TEST_F(VelmorSignalsTest, TheSharedHubIsCreatedOnce)
{
    platform::SimulatedHost plain({});
    EXPECT_EQ(VelmorSignals::shared(), nullptr);
    VelmorSignals& first = VelmorSignals::installShared(plain, defaults, scheduler);
    EXPECT_EQ(&VelmorSignals::installShared(plain, defaults, scheduler), &first);
    EXPECT_EQ(VelmorSignals::shared(), &first);
    VelmorSignals::releaseShared();
    EXPECT_EQ(VelmorSignals::shared(), nullptr);
}

} // namespace
} // namespace velmor
