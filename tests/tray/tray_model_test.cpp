#include "foundation/uuid_text.h"
#include "support/file_mode.h"
#include "support/simulated_world_fixture.h"
#include "tray/tray_bundle_rules.h"
#include "tray/tray_item_ids.h"
#include "tray/tray_model.h"

#include <QDir>
#include <QSignalSpy>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const QString appA = QStringLiteral("com.example.a");
const QString appB = QStringLiteral("com.example.b");

// Two apps with one identified extra each; "b" sorts after "a".
const char* const twoApps = R"({"apps":[
    {"bundleID":"com.example.a","name":"Alpha","pid":600,"extras":[{"name":"Item-0","title":"A","identifier":"a"}]},
    {"bundleID":"com.example.b","name":"Beta","pid":601,"extras":[{"name":"Item-0","title":"B","identifier":"b"}]}]})";

GroupedApp app(const QString& bundleID)
{
    return GroupedApp{bundleID, bundleID, std::nullopt, std::nullopt};
}

class TrayModelTest : public velmor::simulated_mac::testing::SimulatedWorldTest {
protected:
    // Each start is a first start: a fresh home, nothing stored.
    void start(const char* json = twoApps)
    {
        m_model.reset();
        m_desktop.reset();
        QDir(m_home.path()).removeRecursively();
        QDir().mkpath(m_home.path());
        m_host.configuration().temporaryDirectory.clear();
        m_host.configuration().defaultsToolPath = QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults");
        SimulatedWorldTest::start(scenario(json));
        m_services = desktop().services();
    }

    // A fresh model over what is stored now, with counting hooks.
    TrayModel& makeModel()
    {
        m_model = std::make_unique<TrayModel>(m_services);
        TrayModel::Hooks& hooks = m_model->hooks();
        hooks.appGroupsChanged = [this] { ++m_appGroupsChangedCalls; };
        hooks.finishNative = [this] { ++m_finishNativeCalls; };
        hooks.readNativeGroups = [this] { ++m_readNativeGroupsCalls; };
        return *m_model;
    }

    void store(const char* key, const QVariant& value)
    {
        desktop().userDefaults().setValue(QString::fromLatin1(key), value);
    }
    QVariant stored(const char* key) { return desktop().userDefaults().value(QString::fromLatin1(key)); }

    QString ownBundleID() { return tray_bundle_rules::ownBundleID(m_host.mainBundle().identifier()); }

    Services m_services;
    std::unique_ptr<TrayModel> m_model;
    int m_appGroupsChangedCalls = 0;
    int m_finishNativeCalls = 0;
    int m_readNativeGroupsCalls = 0;
};

} // namespace

TEST_F(TrayModelTest, FirstLaunchStartsEmptyAndStartFillsTheLayout)
{
    start();
    TrayModel& model = makeModel();
    EXPECT_THAT(model.layout().groups.at(TraySection::alwaysVisible), IsEmpty());
    EXPECT_FALSE(stored(TrayModel::layoutKey).isValid()) << "nothing is written at creation";

    model.start();
    const QStringList found{QStringLiteral("com.example.a|identifier:a"),
                            QStringLiteral("com.example.b|identifier:b")};
    EXPECT_EQ(trayItemIDs(model.items()), found);
    EXPECT_EQ(model.layout().groups.at(TraySection::alwaysVisible), found);
    EXPECT_EQ(TrayLayout::tryDecode(json::parse(stored(TrayModel::layoutKey).toByteArray())), model.layout());
    EXPECT_EQ(m_readNativeGroupsCalls, 1);
    EXPECT_TRUE(model.groupedApps().isEmpty()) << "the catalog is refreshed only in per-app mode";
    EXPECT_FALSE(stored(TrayModel::catalogKey).isValid());
    EXPECT_FALSE(stored(TrayModel::appGroupsKey).isValid());
}

TEST_F(TrayModelTest, LegacyRecordsLoadAndTheMigratedMapIsWrittenOnlyByAGroupingSave)
{
    start();
    store(TrayModel::legacySelectionKey, QVariantList{QStringLiteral("b|x"), QStringLiteral("a|y")});
    const QByteArray itemSections =
        QStringLiteral(R"({"com.example.a|1":"alwaysHidden","com.example.a|2":"expandable",
        "com.example.b|1":"trayBelow","com.apple.clock|1":"alwaysHidden","%1|1":"expandable","nobar":"alwaysHidden"})")
            .arg(ownBundleID())
            .toUtf8();
    store(TrayModel::nativeGroupsKey, itemSections);
    TrayModel& model = makeModel();

    EXPECT_EQ(model.layout().groups.at(TraySection::trayBelow),
              (QStringList{QStringLiteral("b|x"), QStringLiteral("a|y")}));
    EXPECT_THAT(model.layout().groups.at(TraySection::alwaysVisible), IsEmpty());
    EXPECT_EQ(model.nativeGroups().size(), 6);
    EXPECT_EQ(model.appGroups(),
              (TraySectionMap{{appA, TraySection::expandable}, {appB, TraySection::alwaysVisible}}));

    model.start();
    EXPECT_FALSE(stored(TrayModel::appGroupsKey).isValid()) << "a refresh does not write the migration";
    EXPECT_EQ(stored(TrayModel::legacySelectionKey).toList().size(), 2) << "the legacy list is never written";
    model.saveNamedGroup(std::nullopt, QStringLiteral("Work"), QStringLiteral("briefcase"));
    EXPECT_EQ(stored(TrayModel::appGroupsKey).toByteArray(),
              QByteArray(R"({"com.example.a":"expandable","com.example.b":"alwaysVisible"})"));

    // A legacy list holding something other than strings is unreadable.
    start();
    store(TrayModel::legacySelectionKey, QVariantList{QStringLiteral("a|y"), 7});
    EXPECT_THAT(makeModel().layout().groups.at(TraySection::trayBelow), IsEmpty());
}

TEST_F(TrayModelTest, UnreadableRecordsFallBackAndStayUntilWritten)
{
    const QList<QVariant> badValues{QByteArray("{not json"),
                                    QByteArray(R"({"groups":{"hidden":[]}})"),
                                    QByteArray(R"({"a":"sideways"})"),
                                    QByteArray("[]"),
                                    QVariant(QStringLiteral(R"({"groups":{}})")),
                                    QVariant(42)};
    for (const QVariant& bad : badValues) {
        SCOPED_TRACE(bad.toString().toStdString());
        start();
        store(TrayModel::layoutKey, bad);
        store(TrayModel::legacySelectionKey, QVariantList{QStringLiteral("x|1")});
        store(TrayModel::namedGroupsKey, bad);
        store(TrayModel::catalogKey, bad);
        store(TrayModel::nativeGroupsKey, bad);
        store(TrayModel::appGroupsKey, bad);
        TrayModel& model = makeModel();
        EXPECT_EQ(model.layout().groups.at(TraySection::trayBelow), QStringList{QStringLiteral("x|1")});
        EXPECT_TRUE(model.namedGrouping().groups.isEmpty());
        EXPECT_TRUE(model.catalog().names().isEmpty());
        EXPECT_TRUE(model.nativeGroups().isEmpty());
        EXPECT_TRUE(model.appGroups().isEmpty());
        for (const char* key : {TrayModel::layoutKey, TrayModel::namedGroupsKey, TrayModel::catalogKey,
                                TrayModel::nativeGroupsKey, TrayModel::appGroupsKey})
            EXPECT_EQ(stored(key), bad) << key;
    }

    // A bad per-app map falls back to migrating a good item map; the bad value is replaced only
    // by the next grouping save, and the others only by their own writes.
    start();
    store(TrayModel::appGroupsKey, QByteArray(R"({"com.example.a":"hidden"})"));
    store(TrayModel::nativeGroupsKey, QByteArray(R"({"com.example.a|1":"alwaysHidden"})"));
    store(TrayModel::catalogKey, QByteArray("[]"));
    TrayModel& model = makeModel();
    EXPECT_EQ(model.appGroups(), (TraySectionMap{{appA, TraySection::alwaysHidden}}));
    model.start();
    EXPECT_EQ(stored(TrayModel::appGroupsKey).toByteArray(), QByteArray(R"({"com.example.a":"hidden"})"));
    EXPECT_EQ(stored(TrayModel::catalogKey).toByteArray(), QByteArray("[]"));
    model.deleteNamedGroup(QUuid::createUuid());
    EXPECT_EQ(stored(TrayModel::appGroupsKey).toByteArray(),
              QByteArray(R"({"com.example.a":"alwaysHidden"})"));
}

TEST_F(TrayModelTest, DestinationsMoveAppsBetweenSectionsAndGroups)
{
    start();
    TrayModel& model = makeModel();
    EXPECT_EQ(model.destination(app(appA)), QStringLiteral("alwaysVisible"));
    model.saveNamedGroup(std::nullopt, QStringLiteral("Work"), QStringLiteral("briefcase"));
    const QUuid work = model.namedGrouping().groups.first().id;
    const QString toWork = QStringLiteral("group:") + uuid_text::canonical(work);

    model.setDestination(app(appA), QStringLiteral("alwaysHidden"));
    model.setDestination(app(appA), toWork);
    EXPECT_EQ(model.destination(app(appA)), toWork);
    EXPECT_EQ(model.appGroups().value(appA), TraySection::alwaysVisible);
    EXPECT_EQ(model.namedGrouping().memberships.value(appA), work);
    const TrayModel relaunched(m_services);
    EXPECT_EQ(relaunched.destination(app(appA)), toWork) << "the move is stored at once";
    EXPECT_EQ(relaunched.appGroups().value(appA), TraySection::alwaysVisible);

    // Neither a known group nor a section: nothing changes, but the grouping is still saved.
    m_appGroupsChangedCalls = 0;
    model.saveNamedGroup(std::nullopt, QStringLiteral("Gone"), QStringLiteral("star"));
    const QUuid gone = model.namedGrouping().groups.last().id;
    model.deleteNamedGroup(gone);
    store(TrayModel::namedGroupsKey, QByteArray("stale"));
    for (const QString& destination :
         {QStringLiteral("group:") + uuid_text::canonical(gone), QStringLiteral("group:not-a-uuid"),
          QStringLiteral("group:"), QStringLiteral("sideways"), QStringLiteral("AlwaysHidden")}) {
        SCOPED_TRACE(destination.toStdString());
        model.setDestination(app(appA), destination);
        EXPECT_EQ(model.destination(app(appA)), toWork);
        EXPECT_EQ(model.appGroups().value(appA), TraySection::alwaysVisible);
    }
    EXPECT_EQ(m_appGroupsChangedCalls, 2 + 5);
    EXPECT_EQ(TrayAppGrouping::tryDecode(json::parse(stored(TrayModel::namedGroupsKey).toByteArray())),
              model.namedGrouping());

    model.setDestination(app(appA), QStringLiteral("expandable"));
    EXPECT_FALSE(model.namedGrouping().memberships.contains(appA));
    EXPECT_EQ(model.destination(app(appA)), QStringLiteral("expandable"));
}

TEST_F(TrayModelTest, NamedGroupsAreCreatedRenamedAndDeleted)
{
    start();
    TrayModel& model = makeModel();
    QSignalSpy groupingChanged(&model, &TrayModel::namedGroupingChanged);
    model.saveNamedGroup(std::nullopt, QStringLiteral(" \n\t "), QStringLiteral("star"));
    EXPECT_EQ(m_appGroupsChangedCalls + groupingChanged.count(), 0);
    EXPECT_FALSE(stored(TrayModel::namedGroupsKey).isValid()) << "a blank name does nothing at all";

    // Names and symbols are repaired as the grouping's own test says.
    const QUuid unknown = QUuid::createUuid();
    model.saveNamedGroup(unknown, QStringLiteral("Work"), QStringLiteral("gear"));
    ASSERT_EQ(model.namedGrouping().groups.size(), 1);
    const TrayNamedGroup created = model.namedGrouping().groups.first();
    EXPECT_NE(created.id, unknown) << "an id no group has creates a group with a fresh id";

    model.saveNamedGroup(created.id, QStringLiteral("\nChat\n"), QStringLiteral("brain"));
    EXPECT_EQ(
        model.namedGrouping().groups,
        QList<TrayNamedGroup>{(TrayNamedGroup{created.id, QStringLiteral("Chat"), QStringLiteral("brain")})});

    model.setDestination(app(appA), QStringLiteral("group:") + uuid_text::canonical(created.id));
    model.setDestination(app(appB), QStringLiteral("group:") + uuid_text::canonical(created.id));
    model.setDestination(app(QStringLiteral("com.example.c")), QStringLiteral("alwaysHidden"));
    m_appGroupsChangedCalls = 0;
    model.deleteNamedGroup(created.id);
    EXPECT_TRUE(model.namedGrouping().groups.isEmpty());
    EXPECT_TRUE(model.namedGrouping().memberships.isEmpty());
    EXPECT_EQ(model.appGroups(),
              (TraySectionMap{{appA, TraySection::alwaysVisible},
                              {appB, TraySection::alwaysVisible},
                              {QStringLiteral("com.example.c"), TraySection::alwaysHidden}}));
    EXPECT_EQ(m_appGroupsChangedCalls, 1);
    EXPECT_EQ(stored(TrayModel::namedGroupsKey).toByteArray(),
              QByteArray(R"({"groups":[],"memberships":{}})"));
}

TEST_F(TrayModelTest, CommandDragAssignmentSkipsGroupMembersAndTheHook)
{
    start();
    TrayModel& model = makeModel();
    model.saveNamedGroup(std::nullopt, QStringLiteral("Work"), QStringLiteral("briefcase"));
    model.setDestination(app(appA),
                         QStringLiteral("group:") + uuid_text::canonical(model.namedGrouping().groups[0].id));
    const QVariant groupsBefore = stored(TrayModel::namedGroupsKey);
    m_appGroupsChangedCalls = 0;
    QSignalSpy changed(&model, &TrayModel::appGroupsChanged);

    model.applyManualNativeGroup(appA, TraySection::alwaysHidden);
    EXPECT_EQ(model.appGroups().value(appA), TraySection::alwaysVisible)
        << "members are placed by their group";
    EXPECT_EQ(changed.count(), 0);

    model.applyManualNativeGroup(appB, TraySection::expandable);
    EXPECT_EQ(model.appGroups().value(appB), TraySection::expandable);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(m_appGroupsChangedCalls, 0);
    EXPECT_EQ(stored(TrayModel::appGroupsKey).toByteArray(),
              QByteArray(R"({"com.example.a":"alwaysVisible","com.example.b":"expandable"})"));
    EXPECT_EQ(stored(TrayModel::namedGroupsKey), groupsBefore);
}

TEST_F(TrayModelTest, TheTimerFollowsTheSettingsWindowAndTheTrust)
{
    start();
    TrayModel& model = makeModel();
    model.setDestination(app(appB), QStringLiteral("alwaysHidden"));
    model.start();
    const TrayLayout layout = model.layout();
    const QVariant storedLayout = stored(TrayModel::layoutKey);
    const TraySectionMap sections = model.appGroups();
    WindowInfo window;
    window.title = QStringLiteral("Velmor Tray");
    window.visible = true;
    window.kind = QStringLiteral("settings");
    SimulatedApplicationShell& shell = desktop().applicationShell();

    shell.setWindow(window);
    m_scheduler.fastForwardBy(seconds(2.0));
    EXPECT_TRUE(model.settingsVisible());
    model.setNativeManaging(true);
    WindowInfo miniaturized = window;
    miniaturized.miniaturized = true;
    shell.setWindow(miniaturized);
    m_scheduler.fastForwardBy(seconds(1.9));
    EXPECT_EQ(m_finishNativeCalls, 0);
    EXPECT_TRUE(model.settingsVisible());
    m_scheduler.fastForwardBy(seconds(0.1));
    EXPECT_FALSE(model.settingsVisible()) << "a minimised window is not on screen";
    EXPECT_EQ(m_finishNativeCalls, 1);

    shell.setWindow(window);
    shell.setHidden(true);
    model.setNativeManaging(false);
    m_scheduler.fastForwardBy(seconds(2.0));
    EXPECT_FALSE(model.settingsVisible()) << "a hidden application shows no window";
    EXPECT_EQ(m_finishNativeCalls, 1) << "nothing to finish while not managing";

    // Trust withdrawn: seen on the next tick (the same as the window's above), which refreshes to
    // nothing and keeps what is stored.
    const int refreshes = m_readNativeGroupsCalls;
    desktop().setAccessibilityTrusted(false);
    m_scheduler.fastForwardBy(seconds(2.0));
    EXPECT_FALSE(model.permission());
    EXPECT_TRUE(model.items().isEmpty());
    EXPECT_EQ(m_readNativeGroupsCalls, refreshes + 1);
    EXPECT_EQ(model.layout(), layout);
    EXPECT_EQ(stored(TrayModel::layoutKey), storedLayout);
    EXPECT_EQ(model.appGroups(), sections);
    m_scheduler.fastForwardBy(seconds(4.0));
    EXPECT_EQ(m_readNativeGroupsCalls, refreshes + 1) << "no change, no refresh";

    desktop().setAccessibilityTrusted(true);
    m_scheduler.fastForwardBy(seconds(2.0));
    EXPECT_TRUE(model.permission());
    EXPECT_EQ(model.items().size(), 2);
    EXPECT_EQ(model.layout(), layout);
}

TEST_F(TrayModelTest, HiddenAppsKeepTheirItemsOnlyInConfiguredPerAppModeWithTrust)
{
    start(R"({"apps":[
        {"bundleID":"com.example.a","name":"Alpha","pid":600,"extras":[{"name":"Item-0","title":"A","identifier":"a"}]},
        {"bundleID":"com.example.b","name":"Beta","pid":601,"extras":[{"name":"Item-0","title":"B","identifier":"b"}]},
        {"bundleID":"com.example.c","name":"Gamma","pid":602,"extras":[{"name":"Item-0","title":"C","identifier":"c"}]}]})");
    TrayModel& model = makeModel();
    model.start();
    const QString itemA = QStringLiteral("com.example.a|identifier:a");
    const QString itemB = QStringLiteral("com.example.b|identifier:b");
    const QString itemC = QStringLiteral("com.example.c|identifier:c");
    ASSERT_EQ(trayItemIDs(model.items()), (QStringList{itemA, itemB, itemC}));

    // Per-app mode alone keeps nothing: only a configured controller has hidden anything.
    model.setNativePerApp(true);
    setAllowed(appA, false);
    model.refresh();
    EXPECT_EQ(trayItemIDs(model.items()), (QStringList{itemB, itemC})) << "not configured: nothing is kept";

    setAllowed(appA, true);
    model.refresh();
    model.setNativeConfigured(true);
    setAllowed(appA, false);
    setAllowed(appB, false);
    model.refresh();
    EXPECT_EQ(trayItemIDs(model.items()), (QStringList{itemC, itemA, itemB}))
        << "kept items follow the scan's";
    model.refresh();
    EXPECT_EQ(trayItemIDs(model.items()), (QStringList{itemC, itemA, itemB}))
        << "and survive further refreshes";
    EXPECT_EQ(model.layout().groups.at(TraySection::alwaysVisible), (QStringList{itemA, itemB, itemC}));

    // The kept items are not actionable: the catalog sees their apps as native menu items.
    ASSERT_EQ(model.groupedApps().size(), 3);
    EXPECT_EQ(model.groupedApps()[0].status, QStringLiteral("Native menu item"));
    EXPECT_EQ(model.groupedApps()[2].status, std::nullopt);

    desktop().quit(appB);
    model.refresh();
    EXPECT_EQ(trayItemIDs(model.items()), (QStringList{itemC, itemA})) << "a quit app's items go";

    desktop().setAccessibilityTrusted(false);
    model.refresh();
    EXPECT_TRUE(model.items().isEmpty()) << "without trust nothing is kept";
}

// Looking again at some processes replaces only their items, where they stood, and drops the
// items of apps that quit; what it found goes into the layout.
TEST_F(TrayModelTest, ARescanOfSomeProcessesReplacesOnlyTheirItems)
{
    start(R"({"apps":[
        {"bundleID":"com.example.a","name":"Alpha","pid":600,"extras":[{"name":"Item-0","title":"A"}]},
        {"bundleID":"com.example.b","name":"Beta","pid":601,"extras":[{"name":"Item-0","title":"B"}]},
        {"bundleID":"com.example.c","name":"Gamma","pid":602,"extras":[{"name":"Item-0","title":"C"}]}]})");
    TrayModel& model = makeModel();
    model.start();
    ASSERT_TRUE(desktop().retitle(QStringLiteral("status:com.example.a::Item-0"), QStringLiteral("A2")));
    ASSERT_TRUE(desktop().retitle(QStringLiteral("status:com.example.b::Item-0"), QStringLiteral("B2")));
    desktop().quit(QStringLiteral("com.example.c"));
    const TrayDiscovery::Pass pass = model.rescanProcesses({600});
    EXPECT_EQ(pass.seen, QSet<qint32>{600});
    EXPECT_THAT(trayItemIDs(model.items()),
                ElementsAre("com.example.a|fallback:A2:0", "com.example.b|fallback:B:0"));
    EXPECT_TRUE(model.layout()
                    .groups.at(TraySection::alwaysVisible)
                    .contains(QStringLiteral("com.example.a|fallback:A2:0")));
}

// An app that shows its items has only those: a clock's earlier titles (each its own id) are not
// kept, so the items do not grow while it runs.
TEST_F(TrayModelTest, AClocksEarlierTitlesAreNotKept)
{
    start(R"({"apps":[{"bundleID":"com.example.clock","name":"Clock","pid":600,
                       "extras":[{"name":"Item-0","title":"9:41"}]}]})");
    TrayModel& model = makeModel();
    model.start();
    model.setNativePerApp(true);
    model.setNativeConfigured(true);
    for (const char* time : {"9:42", "9:43", "9:44"}) {
        ASSERT_TRUE(
            desktop().retitle(QStringLiteral("status:com.example.clock::Item-0"), QString::fromLatin1(time)));
        model.refresh();
    }
    EXPECT_THAT(trayItemIDs(model.items()), ElementsAre("com.example.clock|fallback:9:44:0"));
}

TEST_F(TrayModelTest, CatalogRowsCarryStatusTextsAndAreStoredAfterEveryRefresh)
{
    start(R"({"apps":[
        {"bundleID":"com.example.act","name":"Actor","pid":600,"extras":[{"name":"Item-0","title":"A"}]},
        {"bundleID":"com.example.hidden","name":"Hider","pid":601,"extras":[{"name":"Item-0","title":"H"}]},
        {"bundleID":"com.example.quiet","name":"Quiet 10","pid":602,"trackedRow":"none"},
        {"bundleID":"com.example.away","name":"Away","pid":603,"running":false,"extras":[{"name":"Item-0","title":"W"}]},
        {"bundleID":"com.example.loner","name":"Loner","pid":604,"trackedRow":"none"}]})");
    setAllowed(QStringLiteral("com.example.hidden"), false);
    store(TrayModel::appGroupsKey,
          QByteArray(R"({"com.example.quiet":"expandable","com.apple.finder":"alwaysHidden"})"));
    store(TrayModel::catalogKey,
          QByteArray(R"({"names":{"com.example.away":"Away 9","com.example.act":"Old"}})"));
    TrayModel& model = makeModel();
    model.setNativePerApp(true);
    QSignalSpy rowsChanged(&model, &TrayModel::groupedAppsChanged);
    model.refresh();

    QStringList rows;
    for (const GroupedApp& row : model.groupedApps())
        rows.append(row.id + QLatin1Char('=') + row.appName + QLatin1Char('=') +
                    row.status.value_or(QStringLiteral("-")) +
                    (row.icon ? QStringLiteral("+icon") : QString()));
    EXPECT_THAT(rows, ElementsAre("com.example.act=Actor=-+icon", "com.example.away=Away 9=Not running",
                                  "com.example.hidden=Hider=Native menu item+icon",
                                  "com.example.quiet=Quiet 10=Menu item temporarily unavailable+icon"));
    EXPECT_EQ(rowsChanged.count(), 1);
    EXPECT_EQ(stored(TrayModel::catalogKey).toByteArray(),
              QByteArray(R"({"names":{"com.example.act":"Actor","com.example.away":"Away 9",)"
                         R"("com.example.hidden":"Hider","com.example.quiet":"Quiet 10"}})"));

    // A refresh that finds what is stored writes nothing; one that finds something else does.
    const quint64 defaultsFile = test::fileInode(desktop().userDefaults().path());
    model.refresh();
    EXPECT_EQ(test::fileInode(desktop().userDefaults().path()), defaultsFile);
    store(TrayModel::catalogKey, QByteArray("overwritten"));
    model.refresh();
    EXPECT_EQ(model.groupedApps().size(), 4);
    EXPECT_EQ(model.catalog(),
              TrayAppCatalog::fromJson(json::parse(stored(TrayModel::catalogKey).toByteArray())));
}
