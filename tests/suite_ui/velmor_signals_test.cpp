#include "foundation/uuid_text.h"
#include "suite_ui/hub_fixture.h"

#include <QCoreApplication>

#include <atomic>

namespace velmor {
namespace {

using test::HttpsTestServer;
using Answer = HttpsTestServer::Answer;

class VelmorSignalsTest : public test::HubTest {
protected:
    const QString usageKey = QStringLiteral("velmor.usageConsent.v1");
    const QString cityKey = QStringLiteral("velmor.cityConsent.v1");
    const QString installationKey = QStringLiteral("velmor.installation.v1");
    const QString markerKey = QStringLiteral("velmor.session.active.v1.local.velmor.tray");
    const QString updateKey = QStringLiteral("velmor.update.pending.v1.local.velmor.tray");

    bool waitForRequests(qsizetype count)
    {
        return server.waitForRequests(count, [this]() { pump(); });
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
    makeHub();
    EXPECT_TRUE(hub->configured());
    hub->start();
    hub->start();
    hub->track(VelmorEvent::trayCollapsed);
    settle();
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(eventNames(), QStringList({"app.opened", "tray.collapsed"}));
    const auto stored = defaults.stringValue(installationKey);
    ASSERT_TRUE(stored && uuid_text::parse(*stored));
    EXPECT_EQ(*stored, stored->toUpper());
    EXPECT_EQ(installationAt(0), stored->toStdString());
    EXPECT_EQ(server.requests().at(0).json()["metadata"]["location_opt_in"], true);

    hub->finish();
    makeHub().start();
    settle();
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(eventNames().last(), "app.opened");
    EXPECT_EQ(installationAt(2), stored->toStdString());
}

TEST_F(VelmorSignalsTest, AnUncleanExitAndAnInstalledUpdateAreReportedAfterTheOpening)
{
    defaults.setValue(markerKey, true);
    defaults.setValue(updateKey, QStringLiteral("57"));
    makeHub();
    hub->start();
    settle();
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(eventNames(), QStringList({"app.opened", "app.uncleanexit", "update.installed"}));
    EXPECT_EQ(defaults.value(markerKey), QVariant(true));
    EXPECT_FALSE(defaults.value(updateKey).isValid());

    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit");
    EXPECT_FALSE(defaults.value(markerKey).isValid()) << "the quit notification ends the run cleanly";
}

TEST_F(VelmorSignalsTest, EventsRecordedJustBeforeAConsentChangeNeverReachTheServer)
{
    makeHub();
    hub->start();
    settle();
    ASSERT_TRUE(waitForRequests(1));
    const std::string first = installationAt(0);

    // Any consent change cancels what was scheduled before it, even one that keeps usage on.
    hub->track(VelmorEvent::clipPasted);
    hub->setEnabled(true);
    settle();
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
    settle();

    hub->setEnabled(true);
    settle();
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(eventNames(), QStringList({"app.opened", "app.opened", "app.opened"}));
    EXPECT_NE(installationAt(2), first);
    EXPECT_EQ(installationAt(2), defaults.stringValue(installationKey).value_or(QString()).toStdString());
    EXPECT_EQ(defaults.value(markerKey), QVariant(true)) << "a run switched on part-way is watched again";
}

TEST_F(VelmorSignalsTest, ACityChangeWhileUsageIsOnDropsWhatWasRecordedUnderTheOldChoice)
{
    server.setResponder([](const test::ReceivedRequest& request) {
        return request.json()["name"] == "mic.muted" ? Answer::hold : Answer::ok;
    });
    makeHub();
    hub->start();
    hub->track(VelmorEvent::micMuted);
    settle();
    ASSERT_TRUE(waitForRequests(2));
    hub->track(VelmorEvent::micUnmuted);
    settle();
    EXPECT_EQ(pendingAtClient(), 1);

    hub->setLocationEnabled(false);
    EXPECT_EQ(defaults.value(cityKey), QVariant(false));
    settle();
    EXPECT_EQ(pendingAtClient(), 0);
    ASSERT_TRUE(test::spinUntil([&]() { return server.clientAborts() == 1; }));
    hub->track(VelmorEvent::trayCollapsed);
    settle();
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(eventNames(), QStringList({"app.opened", "mic.muted", "tray.collapsed"}));
    EXPECT_EQ(server.requests().at(2).json()["metadata"]["location_opt_in"], false);

    // With usage off the choice is only stored; the client stays without consent.
    hub->setEnabled(false);
    hub->setLocationEnabled(true);
    settle();
    EXPECT_TRUE(hub->locationEnabled());
    EXPECT_EQ(defaults.value(cityKey), QVariant(true));
    client->event(VelmorEvent::clipPasted);
    EXPECT_EQ(pendingAtClient(), 0);
    EXPECT_EQ(server.requests().size(), 3);
}

TEST_F(VelmorSignalsTest, DamagedStoredValuesNeverShareMoreThanChosen)
{
    defaults.setValue(installationKey, QStringLiteral("not-a-uuid"));
    makeHub();
    hub->start();
    settle();
    ASSERT_TRUE(waitForRequests(1));
    const auto replaced = defaults.stringValue(installationKey);
    ASSERT_TRUE(replaced && uuid_text::parse(*replaced));
    EXPECT_EQ(installationAt(0), replaced->toStdString());
    hub.reset();

    defaults.setValue(usageKey, QStringLiteral("yes"));
    defaults.setValue(markerKey, true);
    VelmorSignals& off = makeHub();
    EXPECT_FALSE(off.enabled());
    EXPECT_TRUE(off.locationEnabled());
    EXPECT_FALSE(defaults.value(markerKey).isValid()) << "markers are cleared while reporting is off";
    off.start();
    off.track(VelmorEvent::trayCollapsed);
    EXPECT_FALSE(off.hasPendingOperations());
    EXPECT_FALSE(defaults.value(markerKey).isValid());
}

TEST_F(VelmorSignalsTest, WithoutAConfigurationNothingIsSentAndFeedbackIsRefused)
{
    defaults.setValue(markerKey, true);
    makeHub(false);
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

} // namespace
} // namespace velmor
