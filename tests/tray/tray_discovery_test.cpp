#include "support/many_apps_scenario.h"
#include "support/simulated_world_fixture.h"
#include "tray/tray_discovery.h"
#include "tray/tray_item_ids.h"
#include "tray/tray_organizer_drop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;
using namespace velmor::simulated_mac::testing;
using ::testing::ElementsAre;

namespace {

class TrayDiscoveryTest : public velmor::simulated_mac::testing::SimulatedWorldTest {
protected:
    void start(const QByteArray& json)
    {
        SimulatedWorldTest::start(Scenario::parse(json));
        m_services = desktop().services();
    }
    Services m_services;
};

} // namespace

TEST_F(TrayDiscoveryTest, IdsOrdinalsAndDuplicatesFollowTheRules)
{
    start(R"({"apps":[{"bundleID":"com.example.a","name":"Alpha","pid":600,"extras":[
        {"name":"Item-0","title":"T","width":20},
        {"name":"Item-1","title":"T","width":20},
        {"name":"Item-2","title":"One","identifier":"I","width":20},
        {"name":"Item-3","title":"Two","identifier":"I","width":20},
        {"name":"Item-4","title":"Three","identifier":"I","width":20},
        {"name":"Item-5","title":"  ","description":"Described","width":20},
        {"name":"Item-6","title":" ","description":"","width":20,"actions":["AXShowMenu"]}]}]})");
    const QList<TrayItem> items = TrayDiscovery::scan(m_services);
    EXPECT_THAT(trayItemIDs(items),
                ElementsAre("com.example.a|fallback:T:0", "com.example.a|fallback:T:1",
                            "com.example.a|identifier:I", "com.example.a|identifier:I|duplicate:1",
                            "com.example.a|identifier:I|duplicate:2", "com.example.a|fallback:Described:5",
                            "com.example.a|fallback:Alpha:6"));
    EXPECT_EQ(items[5].title, QStringLiteral("Described"));
    EXPECT_EQ(items[6].title, QStringLiteral("Alpha"))
        << "blank title and description fall back to the app name";
    EXPECT_EQ(items[6].action, QStringLiteral("AXShowMenu"));
    EXPECT_EQ(items[0].action, QStringLiteral("AXPress"));
    EXPECT_EQ(items[0].pid, 600);
    EXPECT_EQ(items[0].appName, QStringLiteral("Alpha"));
}

TEST_F(TrayDiscoveryTest, GroupsAreOpenedAndOnlyActionableElementsBecomeItems)
{
    start(R"({"apps":[
        {"bundleID":"com.example.b","name":"B","pid":601,"extras":[
            {"name":"Item-0","title":"Inside","identifier":"in","group":"g","width":20},
            {"name":"Item-1","title":"Inert","identifier":"inert","group":"g","width":20,"actions":[]},
            {"name":"Item-2","title":"Top","identifier":"top","width":20}]},
        {"bundleID":"com.apple.systemthing","name":"Apple","pid":602,"extras":[{"name":"Item-0","title":"A","width":20}]},
        {"bundleID":null,"name":"nameless","pid":603,"extras":[{"name":"Item-0","title":"N","width":20}]}]})");
    const QList<TrayItem> items = TrayDiscovery::scan(m_services);
    QStringList found = trayItemIDs(items);
    found.sort();
    EXPECT_THAT(found, ElementsAre("com.example.b|identifier:in", "com.example.b|identifier:top"))
        << "Apple apps, apps without an identifier and inert elements yield nothing";
}

// Each cap of a scan at its limit and one past it: what fits is found whole, and one more is cut
// to the limit, the apps last by bundle identifier and an app's last items going. An app's bar is
// the first of its elements.
TEST_F(TrayDiscoveryTest, EachCapFindsItsLimitWholeAndCutsOnePastIt)
{
    // Apps without items but one, the app with this index among "com.example.app000"….
    const auto appsWithOneItemIn = [](int apps, int withItem) {
        const QByteArray pid = QByteArray::number(1000 + withItem);
        return manyAppsScenario(apps, 0).replace(
            R"("pid":)" + pid + R"( ,"extras":[])",
            R"("pid":)" + pid + R"(,"extras":[{"name":"Item-0","title":"X","width":1}])");
    };
    // 19 apps of five items, and a twentieth of two: the 97th item is the twentieth app's second.
    QByteArray secondInAnApp = manyAppsScenario(20, 5);
    secondInAnApp.truncate(secondInAnApp.indexOf(R"(,{"name":"Item-2")", secondInAnApp.indexOf("app019")));
    secondInAnApp += "]}]}";
    const struct {
        const char* name;
        QByteArray scenario;
        qsizetype found;
        QString last;
    } cases[] = {
        {"96 items", manyAppsScenario(96, 1), 96, QStringLiteral("com.example.app095|identifier:x0")},
        {"97 items", manyAppsScenario(97, 1), 96, QStringLiteral("com.example.app095|identifier:x0")},
        {"97 items, the cut inside an app", secondInAnApp, 96,
         QStringLiteral("com.example.app019|identifier:x0")},
        {"48 elements of one app", manyAppsScenario(1, 47), 47,
         QStringLiteral("com.example.app000|identifier:x46")},
        {"49 elements of one app", manyAppsScenario(1, 48), 47,
         QStringLiteral("com.example.app000|identifier:x46")},
        {"the 128th app", appsWithOneItemIn(128, 127), 1, QStringLiteral("com.example.app127|fallback:X:0")},
        {"the 129th app", appsWithOneItemIn(129, 128), 0, {}},
    };
    for (const auto& test : cases) {
        start(test.scenario);
        const QList<TrayItem> items = TrayDiscovery::scan(m_services);
        EXPECT_EQ(items.size(), test.found) << test.name;
        EXPECT_EQ(items.isEmpty() ? QString() : items.last().id, test.last) << test.name;
    }
}

// Chosen processes are all looked at, past the caps on apps and items, but within the time budget;
// an app seen in full without items shows no icon, one the budget cut short counts as not seen.
TEST_F(TrayDiscoveryTest, AScanOfChosenProcessesHasNoCapsButTheBudget)
{
    start(manyAppsScenario(130, 1));
    QSet<qint32> all;
    for (int i = 0; i < 130; ++i)
        all.insert(1000 + i);
    const TrayDiscovery::Pass pass = TrayDiscovery::scanProcesses(m_services, all);
    EXPECT_EQ(pass.items.size(), 130);
    EXPECT_EQ(pass.seen, all);

    start(R"({"apps":[{"bundleID":"com.example.a","name":"Quiet","pid":600},
        {"bundleID":"com.example.b","name":"Slow","pid":601,"axLatency":1,"extras":[{"name":"Item-0"}]},
        {"bundleID":"com.example.c","name":"Late","pid":602,"extras":[{"name":"Item-0"}]},
        {"bundleID":"com.example.d","name":"Other","pid":603,"extras":[{"name":"Item-0"}]}]})");
    const TrayDiscovery::Pass cut = TrayDiscovery::scanProcesses(m_services, {600, 601, 602});
    EXPECT_TRUE(cut.items.isEmpty());
    EXPECT_EQ(cut.seen, QSet<qint32>{600});
    EXPECT_EQ(TrayDiscovery::scanProcesses(m_services, {603}).items.size(), 1);
}

TEST_F(TrayDiscoveryTest, SlowAndUnresponsiveAppsSpendTheBudgetOnVirtualTime)
{
    // Each call to these apps costs 0.2 s, and one app's pass 13 calls: the budget runs out while
    // the second app's bar is opened, and the pass ends before its first element.
    start(manyAppsScenario(10, 3, R"(,"axLatency":0.2)"));
    const TimePoint before = m_scheduler.now();
    const QList<TrayItem> items = TrayDiscovery::scan(m_services);
    const double spent = toSeconds(m_scheduler.now() - before);
    EXPECT_THAT(trayItemIDs(items),
                ElementsAre("com.example.app000|identifier:x0", "com.example.app000|identifier:x1",
                            "com.example.app000|identifier:x2"))
        << "apps drop from the end";
    // Checked before each app, element and expansion: at most one element's four calls overrun.
    EXPECT_LE(spent, 3.0 + 4 * 0.2 + 1e-6);

    // Each call costs 0.75 s, so the first app's bar is opened exactly at the deadline: a check
    // made at the deadline still goes on, and the next one stops the pass.
    start(manyAppsScenario(2, 2, R"(,"axLatency":0.75)"));
    EXPECT_THAT(trayItemIDs(TrayDiscovery::scan(m_services)),
                ElementsAre("com.example.app000|identifier:x0"));

    // An unresponsive app costs its short time-outs, and the others are still found.
    start(R"({"apps":[
        {"bundleID":"com.example.hung","name":"Hung","pid":700,"axUnresponsive":true,"extras":[{"name":"Item-0","title":"H","width":20}]},
        {"bundleID":"com.example.ok","name":"Ok","pid":701,"extras":[{"name":"Item-0","title":"O","width":20}]}]})");
    const TimePoint start = m_scheduler.now();
    EXPECT_THAT(trayItemIDs(TrayDiscovery::scan(m_services)), ElementsAre("com.example.ok|fallback:O:0"));
    EXPECT_LT(toSeconds(m_scheduler.now() - start), 0.5);
}

TEST_F(TrayDiscoveryTest, FramesAndVisibilityFollowTheScreenAndTheOwner)
{
    start(
        R"({"screens":[{"x":0,"y":0,"width":1512,"height":982},{"x":-1920,"y":-300,"width":1920,"height":1400}],
              "menuBar":{"leftLimit":1300},
              "apps":[
        {"bundleID":"com.example.near","name":"Near","pid":800,"extras":[{"name":"Item-0","title":"Near","width":30,"position":10}]},
        {"bundleID":"com.example.far","name":"Far","pid":801,"extras":[{"name":"Item-0","title":"Far","width":300,"position":20}]},
        {"bundleID":"com.example.gone","name":"Gone","pid":802,"extras":[{"name":"Item-0","title":"Gone","width":20,"position":5}]}]})");
    const QList<TrayItem> items = TrayDiscovery::scan(m_services);
    ASSERT_EQ(items.size(), 3);
    const TrayItem& near = items[2].id.startsWith(QStringLiteral("com.example.near")) ? items[2] : items[1];

    const auto frame = TrayDiscovery::frame(m_services, near);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->y(), 0) << "Accessibility frames are measured from the top of the primary screen";
    EXPECT_EQ(frame->height(), 24);
    EXPECT_EQ(frame->width(), 30);

    QSet<QString> visible = TrayDiscovery::visibleBundleIDs(m_services, items);
    EXPECT_TRUE(visible.contains(QStringLiteral("com.example.near")));
    EXPECT_FALSE(visible.contains(QStringLiteral("com.example.far"))) << "pushed left of the app menus";

    // An element that now belongs to another process has no frame and never counts as visible.
    const TrayItem& gone = items[1].id.startsWith(QStringLiteral("com.example.gone")) ? items[1] : items[0];
    EXPECT_TRUE(visible.contains(QStringLiteral("com.example.gone")));
    desktop().accessibility().reassignOwner(gone.element, 999);
    EXPECT_FALSE(TrayDiscovery::frame(m_services, gone));
    EXPECT_FALSE(
        TrayDiscovery::visibleBundleIDs(m_services, items).contains(QStringLiteral("com.example.gone")));

    desktop().setAccessibilityTrusted(false);
    EXPECT_TRUE(TrayDiscovery::scan(m_services).isEmpty());
    EXPECT_FALSE(TrayDiscovery::frame(m_services, near));
}

// Hit testing often lands on a part of the item's own view: the walk up through the parents finds
// the item within four elements (the hit and three ancestors), and no further.
TEST_F(TrayDiscoveryTest, VisibilityWalksUpFromAPartOfTheItem)
{
    start(R"({"apps":[
        {"bundleID":"com.example.depth1","name":"One","pid":800,"extras":[{"title":"1","width":30,"hitDepth":1}]},
        {"bundleID":"com.example.depth3","name":"Three","pid":801,"extras":[{"title":"3","width":30,"hitDepth":3}]},
        {"bundleID":"com.example.depth4","name":"Four","pid":802,"extras":[{"title":"4","width":30,"hitDepth":4}]}]})");
    const QList<TrayItem> items = TrayDiscovery::scan(m_services);
    ASSERT_EQ(items.size(), 3) << "the parts of an item are never items";
    EXPECT_EQ(TrayDiscovery::visibleBundleIDs(m_services, items),
              (QSet<QString>{QStringLiteral("com.example.depth1"), QStringLiteral("com.example.depth3")}));
}

// A dropped payload is the prefix and a bundle the organizer lists, not an Apple one, in at most
// 2048 bytes: bundles of two-byte characters fill it to exactly that, and one letter more is refused,
// so it is bytes that count, not characters.
TEST(TrayOrganizerDrop, AcceptsOnlyKnownNonAppleBundlesWithinTheSizeLimit)
{
    const QString prefix = QString::fromLatin1(TrayOrganizerDrop::payloadPrefix);
    const QString full = QString((2048 - prefix.size()) / 2, QChar(0xE9));
    ASSERT_EQ((prefix + full).toUtf8().size(), 2048);
    const QString over = full + u'a';
    const QSet<QString> known{QStringLiteral("com.example.a"), QStringLiteral("com.apple.finder"), full,
                              over};
    const struct {
        QString payload;
        std::optional<QString> bundle;
    } cases[] = {
        {TrayOrganizerDrop::payload(QStringLiteral("com.example.a")), QStringLiteral("com.example.a")},
        {prefix, std::nullopt},
        {prefix + QStringLiteral("com.apple.finder"), std::nullopt},
        {prefix + QStringLiteral("com.example.b"), std::nullopt},
        {QStringLiteral("com.example.a"), std::nullopt},
        {prefix + full, full},
        {prefix + over, std::nullopt},
    };
    for (const auto& test : cases)
        EXPECT_EQ(TrayOrganizerDrop::bundleID(test.payload, known), test.bundle)
            << qPrintable(test.payload.left(40));
}
