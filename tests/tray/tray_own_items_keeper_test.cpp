#include "foundation/regular_file.h"
#include "platform/status_bar.h"
#include "simulated_mac/scenario.h"
#include "tray/sample_apps.h"
#include "tray/tray_own_items_keeper.h"
#include "tray/tray_run_fixture.h"

using namespace velmor;

namespace {

const QString ownChevronKey = QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular");

QByteArray notchedLaptop()
{
    return RegularFile::read(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/notched.json"),
                             simulated_mac::Scenario::maximumBytes);
}

// The notched laptop with twice as many apps: more than twice what fits right of the housing.
QByteArray fuller()
{
    QByteArray scenario = notchedLaptop();
    QByteArray more;
    for (int i = 0; i < 16; ++i)
        more += QStringLiteral(R"(, { "bundleID": "com.example.more%1", "name": "More %1", "pid": %2,
             "extras": [ { "name": "Item-0", "title": "M%1", "width": 40 } ] })")
                    .arg(i)
                    .arg(600 + i)
                    .toUtf8();
    const qsizetype end = scenario.lastIndexOf(']');
    scenario.insert(end - 1, more);
    return scenario;
}

} // namespace

class TrayOwnItemsKeeperTest : public test::TrayRunTest {
protected:
    const simulated_mac::MenuBarEntry* chevron()
    {
        for (const simulated_mac::MenuBarEntry* entry : desktop().menuBar().leftToRight()) {
            if (entry->kind == simulated_mac::MenuBarEntry::Kind::OwnItem && entry->name == chevronName)
                return entry;
        }
        return nullptr;
    }
    // Whole, and where a click reaches it.
    bool chevronInSight()
    {
        const simulated_mac::MenuBarEntry* entry = chevron();
        return entry && entry->onScreen && entry->visibleFrame && entry->visibleFrame == entry->frame &&
               desktop().clickBar(entry->frame->center());
    }
    double chevronPosition() { return desktop().domains().positions()->value(ownChevronKey); }
    void launchWithFourBehindTheChevron(const QByteArray& scenario)
    {
        m_scenario = scenario;
        start(m_scenario.constData());
        TraySectionMap sections;
        for (const char* bundle : {"com.example.weather", "io.fernleaf.pulsemeter",
                                   "org.tinkerbox.twinclocks", "net.quillwork.harborstats"})
            sections.insert(QString::fromLatin1(bundle), TraySection::expandable);
        storeAppGroups(sections);
        launch();
    }

    QByteArray m_scenario;
};

// On the notched laptop, and on a fuller one, the app's chevron is made at the right end of the
// bar and stays in sight through a day: at launch, after Apply grouping (whose reordering puts it
// left of the always visible icons, behind the housing, until it is moved back), after a reveal and
// a hide, and after the displays change.
TEST_F(TrayOwnItemsKeeperTest, TheChevronStaysInSightOnANotchedLaptop)
{
    for (const QByteArray& scenario : {notchedLaptop(), fuller()}) {
        m_run.reset();
        launchWithFourBehindTheChevron(scenario);
        EXPECT_EQ(controller().ownItemKey(chevronName), ownChevronKey);
        EXPECT_TRUE(chevronInSight()) << "at launch";
        EXPECT_EQ(desktop().userDefaults().value(platform::StatusBar::preferredPositionKey(chevronName)), 1.0)
            << "its place was set before it was made";

        model().hooks().arrangeNative();
        run().settle();
        ASSERT_TRUE(controller().configured());
        EXPECT_TRUE(chevronInSight()) << "after Apply grouping";
        EXPECT_EQ(model().ownItemsNotice(), QString());

        click(chevronName);
        run().settle();
        EXPECT_TRUE(controller().expanded());
        EXPECT_TRUE(chevronInSight()) << "after a reveal";
        click(chevronName);
        run().settle();
        EXPECT_TRUE(chevronInSight()) << "after a hide";

        ASSERT_TRUE(desktop().addDisplay(
            {QRectF(1512, 0, 2560, 1440), QStringLiteral("Studio Display"), false, std::nullopt}));
        ASSERT_TRUE(desktop().makeMainDisplay(1));
        run().settle();
        EXPECT_TRUE(chevronInSight()) << "on the external display";
        ASSERT_TRUE(desktop().makeMainDisplay(1));
        run().settle();
        EXPECT_TRUE(chevronInSight()) << "back on the laptop";
    }
}

// A chevron an earlier version left at the bar's left end (behind the housing) goes to the right
// end with the journalled position edit, once: the journal can put it back, and another look at
// the same bar changes nothing.
TEST_F(TrayOwnItemsKeeperTest, AChevronLeftBehindTheHousingIsMovedBackOnce)
{
    m_scenario = notchedLaptop();
    start(m_scenario.constData());
    desktop().domains().setPosition(ownChevronKey, 5000);
    launch();
    EXPECT_TRUE(chevronInSight());
    EXPECT_LT(chevronPosition(), 40) << "right of every other item";
    ASSERT_TRUE(positionJournalExists());
    const QByteArray journal =
        RegularFile::read(tray_recovery_paths::positionJournal(m_home.path()), 1 << 20);
    EXPECT_TRUE(journal.contains(ownChevronKey.toUtf8())) << "journalled, so it can be undone";

    const int imports = toolRuns("import");
    model().refresh();
    run().settle();
    EXPECT_EQ(toolRuns("import"), imports) << "nothing moves twice";
}

// When even the right end is behind the housing (the system's own items fill the rest), the app
// moves its items once, then says how else to reach it, and does not try again for the same bar.
TEST_F(TrayOwnItemsKeeperTest, WhenNothingHelpsTheOrganizerSaysSoOnce)
{
    QByteArray full = notchedLaptop();
    full.replace(R"("systemItemsWidth": 120)", R"("systemItemsWidth": 650)");
    m_scenario = full;
    start(m_scenario.constData());
    desktop().domains().setPosition(ownChevronKey, 5000);
    launch();
    EXPECT_FALSE(chevronInSight());
    EXPECT_EQ(model().ownItemsNotice(), text(TrayOwnItemsKeeper::unreachableNotice));
    const int imports = toolRuns("import");
    for (int i = 0; i < 3; ++i) {
        model().refresh();
        run().settle();
    }
    EXPECT_EQ(toolRuns("import"), imports) << "no loop";
}

// Marker mode: the chevron bounds the sections, so it is not moved on its own. When the always
// visible icons alone push it out of sight, the organizer offers to make the nearest of them
// expandable; accepted, the chevron lands just right of that icon and can be seen again.
TEST_F(TrayOwnItemsKeeperTest, MarkerModeOffersToMakeRoomForTheChevron)
{
    QString apps;
    for (int i = 0; i < 9; ++i)
        apps += QStringLiteral(R"(%1{ "bundleID": "com.example.wide%2", "name": "Wide %2", "pid": %3,
                 "extras": [ { "name": "Item-0", "title": "W%2", "width": 100, "position": %4 } ] })")
                    .arg(i == 0 ? "" : ",")
                    .arg(i)
                    .arg(700 + i)
                    .arg(40 * (i + 1));
    const QByteArray scenario =
        QStringLiteral(R"({ "system": { "version": "26.0" }, "apps": [ %1 ] })").arg(apps).toUtf8();
    start(scenario.constData());
    desktop().domains().setPositions(
        {{ownChevronKey, 10000},
         {QStringLiteral("status:local.velmor.tray::VelmorTray.Native.hidden"), 10040}});
    launch();
    ASSERT_FALSE(controller().perAppMode());
    EXPECT_FALSE(chevronInSight());
    EXPECT_EQ(model().ownItemsNotice(),
              text(TrayOwnItemsKeeper::crowdedNotice).arg(QStringLiteral("Wide 8")));
    EXPECT_EQ(model().ownItemsOffer(),
              text(TrayOwnItemsKeeper::makeRoomAction).arg(QStringLiteral("Wide 8")));
    EXPECT_EQ(chevronPosition(), 10000) << "not moved without the person";

    model().hooks().makeRoomForChevron();
    run().settle();
    EXPECT_TRUE(chevronInSight());
    EXPECT_GT(chevronPosition(), 320);
    EXPECT_LT(chevronPosition(), 360) << "between Wide 8 and Wide 7";
    EXPECT_EQ(model().ownItemsNotice(), QString());
}
