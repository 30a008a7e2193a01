#include "tray/sample_apps.h"
#include "tray/tray_delegate.h"
#include "tray/tray_discovery.h"
#include "tray/tray_run_fixture.h"

#include <QSignalSpy>

using namespace velmor;

namespace {

constexpr const char* delegatePerAppScenario = R"({ "apps": [
  { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "position": 300 } ] } ] })";

constexpr const char* delegateMarkerScenario = R"({ "system": { "version": "26.0.0" }, "apps": [
  { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "width": 30, "position": 300 } ] },
  { "bundleID": "com.example.bravo", "name": "Bravo", "extras": [
      { "name": "Item-0", "title": "Bravo", "width": 30, "position": 200 },
      { "name": "Item-1", "title": "Bravo2", "width": 30, "position": 190 } ] } ] })";

class TrayDelegateTest : public test::TrayRunTest {
protected:
    QString itemID(const QString& title)
    {
        for (const TrayItem& item : model().items()) {
            if (item.title == title)
                return item.id;
        }
        return {};
    }
};

// Once the model is gone, the controller's closures, the hooks and the delegate's own operations
// do nothing, also a marker-mode refresh that was already on its way.
TEST_F(TrayDelegateTest, NothingHappensOnceTheModelIsGone)
{
    start(delegateMarkerScenario);
    const platform::Services services = run().services();
    auto model = std::make_unique<TrayModel>(services);
    TrayDelegate lone(services);
    lone.configure(model.get(), [] {});
    const TrayModel::Hooks hooks = model->hooks();
    hooks.arrangeNative();
    model.reset();
    advance(1);
    hooks.appGroupsChanged();
    hooks.readNativeGroups();
    lone.updateState();
    lone.readGroups();
    EXPECT_TRUE(lone.controller()->endManaging()) << "the controller itself goes on";
    lone.applicationWillTerminate();
}

// Per-app mode never reads sections from the screen; it gives everything back when trust went
// away while a request was in flight, and that request then ends without effect.
TEST_F(TrayDelegateTest, PerAppReadGroupsOnlyWatchesTrust)
{
    start(delegatePerAppScenario);
    storeAppGroups({{alpha, TraySection::expandable}});
    launch();
    QSignalSpy groups(&model(), &TrayModel::nativeGroupsChanged);
    desktop().setAccessibilityTrusted(false);
    delegate().readGroups();
    EXPECT_EQ(controller().warning(), QString::fromUtf8(NativeTrayController::reviewGroupsWarning))
        << "nothing to give back while unconfigured";
    desktop().setAccessibilityTrusted(true);

    model().hooks().arrangeNative();
    ASSERT_TRUE(controller().busy());
    desktop().setAccessibilityTrusted(false);
    delegate().readGroups();
    EXPECT_FALSE(controller().busy());
    EXPECT_TRUE(hiddenApps().isEmpty());
    run().settle();
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(controller().warning(), QString::fromUtf8(TrayDelegate::trustChangedMessage));
    EXPECT_EQ(groups.count(), 0);
}

// Marker mode reads every discovered icon's section from where it lies, but only while the order
// is valid and the icons are on screen.
TEST_F(TrayDelegateTest, MarkerReadGroupsClassifiesTheIcons)
{
    start(delegateMarkerScenario);
    launch();
    model().hooks().arrangeNative();
    const QRectF bravoFrame = frameOf(extraKey("com.example.bravo"));
    ASSERT_TRUE(desktop().commandDrag(chevronKey(), QPointF(bravoFrame.left(), 970)));
    run().settle();
    delegate().readGroups();
    const TraySectionMap arranged{{itemID("Alpha"), TraySection::expandable},
                                  {itemID("Bravo"), TraySection::alwaysVisible},
                                  {itemID("Bravo2"), TraySection::alwaysVisible}};
    EXPECT_EQ(model().nativeGroups(), arranged);

    model().hooks().finishNative();
    ASSERT_TRUE(controller().configured());
    ASSERT_TRUE(desktop().commandDrag(extraKey("com.example.bravo"), QPointF(bravoFrame.left() - 40, 970)));
    run().settle();
    delegate().readGroups();
    EXPECT_EQ(model().nativeGroups(), arranged) << "configured, the icons' places mean nothing";

    controller().beginManaging();
    desktop().domains().setPosition(ownKey("VelmorTray.Native.hidden"), 1);
    controller().markerItem()->setAutosaveName(QStringLiteral("VelmorTray.Native.hidden"));
    ASSERT_FALSE(controller().validOrder());
    delegate().readGroups();
    EXPECT_EQ(model().nativeGroups(), arranged);
}

// Slow apps and an app that shows no icon hold up no click that does not concern them: with two
// apps that take 0.2 s for every Accessibility message, a click settles as fast as without the
// icon-less app in the expandable section, and no task waits on Accessibility longer than looking
// at the apps the click hides or shows takes.
TEST_F(TrayDelegateTest, ClicksWaitOnlyForTheAppsTheyChange)
{
    const auto scenario = [](bool iconless) {
        QByteArray apps = R"({"bundleID":"com.example.slow1","name":"Slow 1","axLatency":0.2,"extras":[{}]},
                             {"bundleID":"com.example.slow2","name":"Slow 2","axLatency":0.2,"extras":[{}]})";
        for (int i = 0; i < 6; ++i)
            apps += QStringLiteral(
                        R"(,{"bundleID":"com.example.app%1","name":"App %1","extras":[{"title":"T%1"}]})")
                        .arg(i)
                        .toUtf8();
        if (iconless)
            apps += R"(,{"bundleID":"com.example.quiet","name":"Quiet"})";
        return R"({"apps":[)" + apps + "]}";
    };
    const TraySectionMap sections{{QStringLiteral("com.example.app1"), TraySection::expandable},
                                  {QStringLiteral("com.example.app4"), TraySection::expandable},
                                  {QStringLiteral("com.example.quiet"), TraySection::expandable}};
    const QSet<QString> changed{QStringLiteral("com.example.app1"), QStringLiteral("com.example.app4")};
    const auto clickAndSettle = [&] {
        const quint64 generation = controller().activationGeneration();
        desktop().mainThread().takeLongestStall();
        const double start = now();
        click(chevronName);
        EXPECT_TRUE(waitUntil(
            [&] { return controller().activationGeneration() != generation && !controller().busy(); }));
        const double settled = now() - start;
        run().scheduler().runUntilIdle();
        return std::pair(settled, platform::toSeconds(desktop().mainThread().takeLongestStall()));
    };

    QList<double> settled[2];
    for (const bool iconless : {false, true}) {
        m_run.reset();
        start(scenario(iconless).constData());
        storeAppGroups(sections);
        launch();
        // What looking at every app the clicks change costs, while all of them show.
        QSet<qint32> processes;
        for (const platform::RunningApplication& app : run().services().workspace->runningApplications()) {
            if (app.bundleIdentifier && changed.contains(*app.bundleIdentifier))
                processes.insert(app.processIdentifier);
        }
        // Measured as a duration, as stalls are: the difference of two times in seconds since the
        // clock's start rounds differently at every offset.
        const platform::TimePoint before = run().scheduler().now();
        ASSERT_EQ(TrayDiscovery::scanProcesses(run().services(), processes).items.size(), 2);
        const double changedCost = platform::toSeconds(run().scheduler().now() - before);

        model().hooks().arrangeNative();
        run().settle();
        ASSERT_TRUE(controller().configured() && !controller().expanded());
        for (const bool expands : {true, false, true, false}) {
            const auto [seconds, stall] = clickAndSettle();
            ASSERT_EQ(controller().expanded(), expands);
            EXPECT_EQ(hiddenApps().contains(QStringLiteral("com.example.app1")), !expands);
            EXPECT_LE(stall, changedCost) << (expands ? "expanding" : "collapsing");
            settled[iconless].append(seconds);
        }
    }
    for (int i = 0; i < settled[0].size(); ++i)
        EXPECT_NEAR(settled[1][i], settled[0][i], 0.1) << "click " << i;
    EXPECT_LT(settled[1].first(), 1.0);
}

// An app past the model's time budget (a slow app ahead of it in bundle order uses it all up) was
// never discovered; a request that hides it still checks its icon, found by its process, and gives
// everything back when the bar keeps showing it.
TEST_F(TrayDelegateTest, TheConfirmationSeesAppsTheScanNeverReached)
{
    start(R"({"menuBar":{"honourEdits":"never"},"apps":[
        {"bundleID":"com.example.a.slow","name":"Slow","axLatency":1.0,"extras":[{"title":"Slow"}]},
        {"bundleID":"com.example.zeta","name":"Zeta","extras":[{"title":"Zeta"}]}]})");
    storeAppGroups({{QStringLiteral("com.example.zeta"), TraySection::expandable}});
    launch();
    ASSERT_TRUE(itemID(QStringLiteral("Zeta")).isEmpty());
    model().hooks().arrangeNative();
    run().settle();
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(controller().warning(), QString::fromUtf8(NativeTrayController::notUpdatedWarning));
    EXPECT_FALSE(itemID(QStringLiteral("Zeta")).isEmpty());
}

} // namespace
