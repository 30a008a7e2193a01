// An arrangement that lasts the day: layouts that follow the display setup, the saved grouping
// applied at start, new apps placed where the person says. All on virtual time.

#include "platform/user_defaults.h"
#include "simulated_mac/scenario.h"
#include "tray/sample_apps.h"
#include "tray/tray_arrangement_preferences.h"
#include "tray/tray_display_layouts.h"
#include "tray/tray_run_fixture.h"

using namespace velmor;

namespace {

// A laptop docked to a Studio Display, which is main; Delta is not running yet.
constexpr const char* dockedScenario = R"({ "system": { "version": "27.0.0" },
  "screens": [ { "x": 0, "y": 0, "width": 2560, "height": 1440, "name": "Studio Display", "builtIn": false },
               { "x": -1512, "y": 0, "width": 1512, "height": 982, "builtIn": true } ],
  "apps": [
    { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "width": 30 } ] },
    { "bundleID": "com.example.bravo", "name": "Bravo", "extras": [ { "title": "Bravo", "width": 30 } ] },
    { "bundleID": "com.example.charlie", "name": "Charlie", "extras": [ { "title": "Charlie", "width": 30 } ] },
    { "bundleID": "com.example.delta", "name": "Delta", "running": false,
      "extras": [ { "title": "Delta", "width": 30 } ] } ] })";

const QString desk = QStringLiteral("Studio Display + Built-in");

simulated_mac::ScenarioScreen studioDisplay()
{
    return simulated_mac::ScenarioScreen::parse(
        R"({ "x": 1512, "y": 0, "width": 2560, "height": 1440, "name": "Studio Display" })", 1,
        QStringLiteral("test"));
}

simulated_mac::ScenarioScreen builtInDisplay()
{
    return simulated_mac::ScenarioScreen::parse(R"({ "x": -1512, "y": 0, "width": 1512, "height": 982 })", 0,
                                                QStringLiteral("test"));
}

class LastingLayoutTest : public test::TrayRunTest {
protected:
    void SetUp() override { start(dockedScenario); }

    TrayDisplayLayouts& layouts() { return *delegate().displayLayouts(); }
    void moveTo(const QString& bundle, TraySection section)
    {
        model().setDestination(GroupedApp{bundle, bundle, std::nullopt, std::nullopt}, rawValue(section));
        run().settle();
    }
    void storeRecord(const QByteArray& data)
    {
        desktop().userDefaults().setValue(QString::fromLatin1(TrayDisplayLayouts::layoutsKey), data);
    }
    QByteArray storedRecord()
    {
        return desktop()
            .userDefaults()
            .dataValue(QString::fromLatin1(TrayDisplayLayouts::layoutsKey))
            .value_or(QByteArray());
    }
    // Requests the controller made since the last call: one per switch that applied a layout.
    quint64 requestsSince(quint64& generation)
    {
        const quint64 now = controller().activationGeneration();
        const quint64 made = now - generation;
        generation = now;
        return made;
    }
};

// The day of a docked laptop: the desk's layout, the laptop's, and back. Nothing switches before
// the displays have been still for a second; a change with no layout keeps what is in force; a
// dock that comes in two changes makes one switch; a lid closed and opened brings the desk back.
TEST_F(LastingLayoutTest, EachDisplaySetupGetsItsOwnLayoutOnceTheDisplaysSettle)
{
    launch();
    moveTo(alpha, TraySection::expandable);
    ASSERT_TRUE(controller().configured());
    ASSERT_EQ(layouts().setup().words(), desk);
    ASSERT_FALSE(layouts().saveCurrent());
    EXPECT_EQ(layouts().inForce(), desk);
    EXPECT_EQ(hiddenApps(), QStringList{alpha});

    quint64 generation = controller().activationGeneration();
    ASSERT_TRUE(desktop().removeDisplay(0));
    advance(TrayDisplayLayouts::settleDelay - 0.1);
    EXPECT_EQ(layouts().setup().words(), desk) << "not yet settled";
    advance(0.2);
    EXPECT_EQ(layouts().setup().words(), QStringLiteral("Built-in display alone"));
    EXPECT_EQ(requestsSince(generation), 0u) << "no layout for the laptop alone: nothing changes";
    EXPECT_EQ(layouts().inForce(), desk);
    EXPECT_TRUE(layouts().notice().isEmpty());

    moveTo(bravo, TraySection::alwaysHidden);
    ASSERT_FALSE(layouts().saveCurrent());
    EXPECT_EQ(layouts().inForce(), QStringLiteral("Built-in display alone"));
    ASSERT_EQ(hiddenApps(), (QStringList{alpha, bravo}));

    // Docked again: the display comes, then is made main, half a second apart.
    generation = controller().activationGeneration();
    ASSERT_TRUE(desktop().addDisplay(studioDisplay()));
    advance(0.5);
    ASSERT_TRUE(desktop().makeMainDisplay(1));
    advance(TrayDisplayLayouts::settleDelay - 0.1);
    EXPECT_EQ(requestsSince(generation), 0u);
    advance(0.2);
    run().settle();
    EXPECT_EQ(requestsSince(generation), 1u) << "two changes in a row make one switch";
    EXPECT_EQ(hiddenApps(), QStringList{alpha});
    EXPECT_EQ(model().appGroups().value(bravo, kDefaultTraySection), TraySection::alwaysVisible);
    EXPECT_EQ(layouts().notice(), QStringLiteral("Using the layout for Studio Display + Built-in"));
    EXPECT_FALSE(controller().warning());

    // The lid closed: the Studio Display alone has no layout; opened again: the desk's is back.
    ASSERT_TRUE(desktop().removeDisplay(1));
    advance(TrayDisplayLayouts::settleDelay + 0.1);
    EXPECT_EQ(layouts().setup().words(), QStringLiteral("Studio Display alone"));
    EXPECT_EQ(requestsSince(generation), 0u);
    moveTo(bravo, TraySection::expandable);
    generation = controller().activationGeneration();
    ASSERT_TRUE(desktop().addDisplay(builtInDisplay()));
    advance(TrayDisplayLayouts::settleDelay + 0.1);
    run().settle();
    EXPECT_EQ(requestsSince(generation), 1u);
    EXPECT_EQ(hiddenApps(), QStringList{alpha});

    // Deleted, a layout no longer comes back, and is no longer in force.
    EXPECT_FALSE(layouts().remove(QStringLiteral("Nowhere alone")));
    ASSERT_TRUE(layouts().remove(desk));
    EXPECT_FALSE(layouts().inForce());
    ASSERT_EQ(layouts().layouts().size(), 1);

    // A restart on other displays than the last ones starts from their layout.
    run().quit();
    run().settle();
    ASSERT_TRUE(desktop().removeDisplay(0));
    launch();
    EXPECT_EQ(layouts().inForce(), QStringLiteral("Built-in display alone"));
    EXPECT_EQ(model().appGroups().value(bravo), TraySection::alwaysHidden);
}

// Stored layouts another run cannot read are ignored and said once; a save keeps what it could
// not read; a record of a newer version is never written.
TEST_F(LastingLayoutTest, UnreadableStoredLayoutsAreIgnoredAndNothingIsLost)
{
    const QByteArray garbage("{\"version\": 1, \"layouts\": [ {\"displays\": 3} ]");
    storeRecord(garbage);
    launch();
    EXPECT_TRUE(layouts().layouts().isEmpty());
    EXPECT_EQ(layouts().problem(), text(TrayDisplayLayouts::unreadableText));
    ASSERT_FALSE(layouts().saveCurrent());
    EXPECT_TRUE(layouts().problem().isEmpty());
    EXPECT_EQ(desktop().userDefaults().dataValue(QString::fromLatin1(TrayDisplayLayouts::unreadableKey)),
              garbage);
    const Json saved = json::parse(storedRecord());
    EXPECT_EQ(saved.at("version"), 1);
    EXPECT_EQ(saved.at("layouts").size(), 1u);

    // One entry this version cannot read, beside one it can: the good one is used, the other
    // written back as it was.
    Json record = saved;
    record["layouts"].push_back(Json{{"displays", "elsewhere"}});
    storeRecord(json::serialize(record));
    run().quit();
    run().settle();
    launch();
    EXPECT_EQ(layouts().layouts().size(), 1);
    EXPECT_EQ(layouts().problem(), text(TrayDisplayLayouts::unreadableText));
    ASSERT_FALSE(layouts().saveCurrent());
    EXPECT_EQ(json::parse(storedRecord()).at("layouts").at(1), (Json{{"displays", "elsewhere"}}));

    const QByteArray newer(R"({"version": 2, "layouts": []})");
    storeRecord(newer);
    run().quit();
    run().settle();
    launch();
    EXPECT_EQ(layouts().problem(), text(TrayDisplayLayouts::newerVersionText));
    EXPECT_EQ(layouts().saveCurrent(), text(TrayDisplayLayouts::newerVersionText));
    EXPECT_EQ(storedRecord(), newer);
}

// Thirty-two layouts at most: the 32nd is saved; a 33rd is refused with the sentence and nothing is
// written, though the setup's own layout is still replaced in a full list; a longer stored list is
// read as far as 32.
TEST_F(LastingLayoutTest, TheThirtySecondLayoutIsSavedAndAThirtyThirdRefused)
{
    launch();
    ASSERT_FALSE(layouts().saveCurrent());
    const Json deskLayout = json::parse(storedRecord()).at("layouts").at(0);
    const struct {
        const char* name;
        int others;
        bool deskStored;
        bool refused;
    } cases[] = {
        {"the 32nd layout", 31, false, false},
        {"a 33rd layout", 32, false, true},
        {"the desk's own in a full list", 31, true, false},
        {"33 stored", 33, false, true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        Json record{{"version", 1}, {"layouts", Json::array()}};
        if (test.deskStored)
            record["layouts"].push_back(deskLayout);
        for (int room = 0; room < test.others; ++room) {
            Json layout = deskLayout;
            layout["displays"] = Json::array({Json{{"id", "meeting-room-" + std::to_string(room)},
                                                   {"name", "Room " + std::to_string(room)},
                                                   {"builtIn", false}}});
            record["layouts"].push_back(std::move(layout));
        }
        run().quit();
        run().settle();
        storeRecord(json::serialize(record));
        launch();
        const QByteArray before = storedRecord();

        const std::optional<QString> refusal = layouts().saveCurrent();
        EXPECT_EQ(layouts().layouts().size(), 32);
        if (test.refused) {
            EXPECT_EQ(refusal, text(TrayDisplayLayouts::tooManyText));
            EXPECT_EQ(storedRecord(), before);
            EXPECT_FALSE(layouts().find(layouts().setup()));
        } else {
            EXPECT_FALSE(refusal);
            EXPECT_EQ(json::parse(storedRecord()).at("layouts").size(), 32u);
            EXPECT_EQ(layouts().inForce(), desk);
        }
    }
}

// Off, a start shows every icon until the person applies the grouping; on, the grouping is in
// force once the start has settled, with the open groups of the layout in force. In marker mode,
// the switch still on, the start restores the arrangement by itself and the switch adds nothing.
TEST_F(LastingLayoutTest, TheSwitchAppliesTheSavedGroupingAtStart)
{
    storeAppGroups({{alpha, TraySection::alwaysHidden}});
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "on" : "off");
        if (m_run->isRunning()) {
            run().quit();
            run().settle();
        }
        // Off is what a start with nothing stored does: the start stays as it always was.
        if (on)
            desktop().userDefaults().setValue(
                QString::fromLatin1(TrayArrangementPreferences::applyAtStartKey), true);
        run().launch();
        run().scheduler().runUntilIdle();
        EXPECT_FALSE(controller().configured()) << "nothing is applied before the start settles";
        advance(NativeTrayController::launchRestoreDelay);
        run().settle();
        EXPECT_EQ(controller().configured(), on);
        EXPECT_EQ(hiddenApps(), on ? QStringList{alpha} : QStringList{});
        EXPECT_EQ(controller().warning().has_value(), !on);
    }

    m_run.reset();
    QByteArray scenario(dockedScenario);
    scenario.replace("27.0.0", "26.0.0");
    start(scenario.constData());
    launch();
    advance(1);
    EXPECT_FALSE(controller().perAppMode());
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(controller().activationGeneration(), 0u);
    EXPECT_EQ(layouts().saveCurrent(), text(TrayDisplayLayouts::markerModeText));
}

// An app seen for the first time goes where the person says, once, and is marked new until the
// organizer that showed it closes; on the very first start no app is new.
TEST_F(LastingLayoutTest, ANewAppGoesWhereThePersonSaysOnce)
{
    for (const TraySection destination :
         {TraySection::alwaysVisible, TraySection::expandable, TraySection::alwaysHidden}) {
        SCOPED_TRACE(rawValue(destination).toStdString());
        m_run.reset();
        m_home.remove();
        ASSERT_TRUE(QDir().mkpath(m_home.path()));
        start(dockedScenario);
        launch();
        for (const GroupedApp& app : model().groupedApps())
            EXPECT_FALSE(app.isNew) << qPrintable(app.id);
        delegate().arrangementPreferences().setNewApps(destination);
        moveTo(bravo, TraySection::expandable);
        run().openSettingsWindow();

        ASSERT_TRUE(desktop().launch(delta));
        advance(TrayModel::newAppLookDelay);
        run().settle();
        EXPECT_EQ(model().destination(GroupedApp{delta, delta, std::nullopt, std::nullopt}),
                  rawValue(destination));
        EXPECT_EQ(hiddenApps().contains(delta), destination != TraySection::alwaysVisible);
        const auto row = std::find_if(model().groupedApps().cbegin(), model().groupedApps().cend(),
                                      [](const GroupedApp& app) { return app.id == delta; });
        ASSERT_NE(row, model().groupedApps().cend());
        EXPECT_TRUE(row->isNew);

        // Moved elsewhere and launched again, it stays where the person put it.
        moveTo(delta, TraySection::alwaysVisible);
        ASSERT_TRUE(desktop().quit(delta));
        ASSERT_TRUE(desktop().launch(delta));
        advance(TrayModel::newAppLookDelay);
        run().settle();
        EXPECT_EQ(model().appGroups().value(delta), TraySection::alwaysVisible);

        run().closeSettingsWindow();
        advance(TrayModel::refreshIntervalSeconds);
        for (const GroupedApp& app : model().groupedApps())
            EXPECT_FALSE(app.isNew) << qPrintable(app.id);
    }
}

} // namespace
