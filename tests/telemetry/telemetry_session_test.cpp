#include "platform/memory_user_defaults.h"
#include "telemetry/telemetry_preferences.h"
#include "telemetry/telemetry_session.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

class TelemetrySessionTest : public ::testing::Test {
protected:
    platform::MemoryUserDefaults defaults;
    const QString marker = QStringLiteral("velmor.session.active.v1.local.velmor.tray");
    const QString update = QStringLiteral("velmor.update.pending.v1.local.velmor.tray");

    TelemetrySession session() { return TelemetrySession(defaults, QStringLiteral("local.velmor.tray")); }
};

// The report of a run that never finished reaches the service in the hub's test.
TEST_F(TelemetrySessionTest, ReportsARunThatNeverFinished)
{
    auto first = session();
    EXPECT_FALSE(first.start(true));
    EXPECT_FALSE(first.start(true)) << "a second start is ignored";
    auto crashedBefore = session();
    EXPECT_TRUE(crashedBefore.start(true));
    crashedBefore.finish();
    EXPECT_FALSE(session().start(true)) << "a clean finish is not reported";

    defaults.setValue(marker, QStringLiteral("true"));
    EXPECT_FALSE(session().start(true)) << "a marker that is not a Boolean counts as absent";
}

// The markers a hub clears and sets as consent changes are the hub's own test.
TEST_F(TelemetrySessionTest, ReportingOffForgetsEarlierCrashesAndPendingUpdates)
{
    defaults.setValue(marker, true);
    defaults.setValue(update, QStringLiteral("58"));
    auto off = session();
    EXPECT_FALSE(off.start(false));
    EXPECT_FALSE(defaults.value(update).isValid());
    off.setEnabled(true);
    off.setEnabled(false);
    EXPECT_FALSE(session().start(true)) << "the crash after switching off is not reported";

    defaults.remove(marker);
    auto notStarted = session();
    notStarted.setEnabled(true);
    EXPECT_FALSE(defaults.value(marker).isValid()) << "nothing is written before start";
}

TEST_F(TelemetrySessionTest, StoresOnlyValidPendingVersions)
{
    auto running = session();
    running.recordUpdateInstallation(QStringLiteral("58"));
    EXPECT_FALSE(defaults.value(update).isValid()) << "nothing is stored before reporting is on";
    running.start(true);
    for (const QString& bad : {QStringLiteral("1.4-beta"), QStringLiteral("1a"), QString(),
                               QStringLiteral(".58"), QStringLiteral("58."), QStringLiteral("1..4"),
                               QStringLiteral("58\n"), QStringLiteral("٥٨"), QString(65, u'1')}) {
        running.recordUpdateInstallation(bad);
        EXPECT_FALSE(defaults.value(update).isValid()) << bad.toStdString();
    }
    running.recordUpdateInstallation(QString(64, u'1'));
    EXPECT_EQ(defaults.value(update), QVariant(QString(64, u'1')));
    running.recordUpdateInstallation(QStringLiteral("1.4.2"));
    EXPECT_EQ(defaults.value(update), QVariant(QStringLiteral("1.4.2")));
    running.clearUpdateInstallation();
    EXPECT_FALSE(defaults.value(update).isValid());
}

TEST_F(TelemetrySessionTest, ConsumesAPendingUpdateOnceWhetherOrNotItMatches)
{
    defaults.setValue(update, QStringLiteral("58"));
    auto installed = session();
    installed.start(true);
    EXPECT_TRUE(installed.consumeUpdateInstallation(QStringLiteral("58")));
    EXPECT_FALSE(defaults.value(update).isValid());
    EXPECT_FALSE(installed.consumeUpdateInstallation(QStringLiteral("58")));

    defaults.setValue(update, QStringLiteral("58"));
    EXPECT_FALSE(installed.consumeUpdateInstallation(QStringLiteral("57")));
    EXPECT_FALSE(defaults.value(update).isValid());

    defaults.setValue(update, qint64(58));
    EXPECT_FALSE(installed.consumeUpdateInstallation(QStringLiteral("58"))) << "a number is not a version";
    defaults.setValue(update, QString(65, u'5'));
    EXPECT_FALSE(installed.consumeUpdateInstallation(QString(65, u'5')));

    installed.setEnabled(false);
    defaults.setValue(update, QStringLiteral("58"));
    EXPECT_FALSE(installed.consumeUpdateInstallation(QStringLiteral("58")));
    EXPECT_FALSE(defaults.value(update).isValid());
}

TEST(TelemetryPreferencesTest, AbsentMeansOnAndAnythingButABooleanMeansOff)
{
    platform::MemoryUserDefaults defaults;
    EXPECT_EQ(TelemetryPreferences::load(defaults), TelemetryPreferences(true, true));
    defaults.setValue(QStringLiteral("velmor.usageConsent.v1"), QStringLiteral("true"));
    defaults.setValue(QStringLiteral("velmor.cityConsent.v1"), true);
    const auto loaded = TelemetryPreferences::load(defaults);
    EXPECT_FALSE(loaded.usage);
    EXPECT_TRUE(loaded.city);
    EXPECT_FALSE(loaded.effectiveCity());
    defaults.setValue(QStringLiteral("velmor.usageConsent.v1"), qint64(1));
    EXPECT_FALSE(TelemetryPreferences::load(defaults).usage);
    EXPECT_EQ(TelemetryPreferences(std::nullopt, false), TelemetryPreferences(true, false));
}

} // namespace
} // namespace velmor
