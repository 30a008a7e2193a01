// A hide and an arrange are killed at every step boundary in a separate process; a fresh editor
// must then undo exactly what the app changed and nothing the user changed meanwhile.

#include "support/fake_workspace.h"
#include "support/simulated_home.h"
#include "support/tracked_applications_fixture.h"
#include "tray_visibility/sample_apps.h"
#include "tray_visibility/tray_position_preferences.h"
#include "tray_visibility/tray_preference_visibility.h"
#include "tray_visibility/tray_recovery_file.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <iostream>

using namespace velmor;
using namespace velmor::test;

namespace {

const QString kItemB = QStringLiteral("status:com.example.b::item");
const QString kOther = QStringLiteral("status:com.example.other::item");

bool killedAt(const SimulatedHome& home, const QString& mode, TrayEditStep step)
{
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(
        QStringLiteral(VELMOR_TOOL_DIRECTORY "/tray_visibility_crash_helper"),
        {mode, home.home(), home.temporary(), SimulatedHome::toolPath(), QString::number(int(step))});
    EXPECT_TRUE(helper.waitForFinished(30000));
    return helper.exitStatus() == QProcess::CrashExit;
}

} // namespace

TEST(TrayCrashRecovery, EveryKillPointIsUndoneByAFreshEditorWithoutTouchingTheUsersChanges)
{
    FakeWorkspace workspace;
    int killPoints = 0;
    for (const TrayEditStep step : {TrayEditStep::beforeJournal, TrayEditStep::afterFirstJournal,
                                    TrayEditStep::afterWrite, TrayEditStep::afterFinalJournal}) {
        SCOPED_TRACE(int(step));
        {
            SimulatedHome home;
            home.writeTrackedApplications(TrackedList().addBundle(kA).addBundle(kB).addBundle(kC).toBinary());
            ASSERT_TRUE(killedAt(home, QStringLiteral("hide"), step));
            ++killPoints;
            // Meanwhile the user hides c, and shows b again where the app had hidden it.
            const bool written = allowedOf(home.trackedApplications(), kB) == false;
            home.writeTrackedApplications(
                TrackedList().addBundle(kA, !written).addBundle(kB).addBundle(kC, false).toBinary());

            const simulated_mac::SimulatedHost host(home.hostConfiguration());
            TrayPreferenceVisibility visibility(host, workspace);
            EXPECT_FALSE(visibility.release());
            const QByteArray released = home.trackedApplications();
            EXPECT_EQ(allowedOf(released, kA), true);
            EXPECT_EQ(allowedOf(released, kB), true);
            EXPECT_EQ(allowedOf(released, kC), false);
            EXPECT_FALSE(QFile::exists(visibility.journalPath()));
            EXPECT_TRUE(home.leftovers().isEmpty());
        }
        {
            SimulatedHome home;
            home.writePositions({{QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular"), 100},
                                 {kItemA, 10},
                                 {kItemB, 50},
                                 {kOther, 5}});
            ASSERT_TRUE(killedAt(home, QStringLiteral("arrange"), step));
            ++killPoints;
            // Meanwhile the user drags another app's item, and b's item where the app had moved it.
            const bool moved = home.position(kItemB) != 50;
            PropertyList domain = SimulatedHome::readDomain(home.menuBarDomain());
            PlistNode positions = domain.root().value(QStringLiteral("TrailingItemPreferredPositions"));
            positions.setReal(kOther, 77);
            if (moved)
                positions.setReal(kItemB, 300);
            SimulatedHome::writeDomain(home.menuBarDomain(), domain);

            const simulated_mac::SimulatedHost host(home.hostConfiguration());
            TrayPositionPreferences preferences(host, workspace);
            EXPECT_NO_THROW(preferences.restore());
            EXPECT_EQ(home.position(kItemA), 10);
            EXPECT_EQ(home.position(kItemB), moved ? 300 : 50);
            EXPECT_EQ(home.position(kOther), 77);
            EXPECT_FALSE(QFile::exists(preferences.journalPath()));
            EXPECT_TRUE(home.leftovers().isEmpty());
        }
    }
    std::cout << "[ crash    ] " << killPoints << " kill points exercised" << std::endl;
    EXPECT_EQ(killPoints, 8);
}

// A journal left behind is read up to its limit, however much of it is blank: one of exactly the
// limit is undone in full and removed; one byte more is refused unread, nothing is written, and the
// journal stays for a later release.
TEST(TrayCrashRecovery, AJournalOfTheLimitIsUndoneAndOneByteMoreIsRefusedAndKept)
{
    FakeWorkspace workspace;
    const Json hiddenB = Json::array(
        {Json{{"rowID",
               json::toStd(QString::fromUtf8(TrayTrackedApplications::canonical(bundleLocation(kB).root())))},
              {"original", true},
              {"applied", false}}});
    const QByteArray record = json::serialize(hiddenB);
    const struct {
        qint64 size;
        bool undone;
    } cases[] = {{TrayRecoveryFile::maximumBytes, true}, {TrayRecoveryFile::maximumBytes + 1, false}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.size);
        SimulatedHome home;
        home.writeTrackedApplications(TrackedList().addBundle(kA).addBundle(kB, false).toBinary());
        const simulated_mac::SimulatedHost host(home.hostConfiguration());
        TrayPreferenceVisibility visibility(host, workspace);
        const QByteArray journal = record + QByteArray(test.size - record.size(), ' ');
        private_files::ensureDirectory(QFileInfo(visibility.journalPath()).absolutePath());
        private_files::writeAtomically(visibility.journalPath(), journal);

        const auto error = visibility.release();
        EXPECT_EQ(error ? error->description() : QString(),
                  test.undone ? QString()
                              : QStringLiteral("Could not read “%1”: it is larger than 4194304 bytes")
                                    .arg(visibility.journalPath()));
        EXPECT_EQ(allowedOf(home.trackedApplications(), kB), test.undone);
        EXPECT_EQ(home.runs("import"), test.undone ? 1 : 0);
        EXPECT_EQ(QFile::exists(visibility.journalPath()), !test.undone);
        if (!test.undone) {
            QFile kept(visibility.journalPath());
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_TRUE(kept.readAll() == journal) << "kept as it was for a later release";
        }
    }
}
