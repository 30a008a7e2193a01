#include "tray/tray_delegate.h"
#include "tray/tray_run_fixture.h"

#include <QSignalSpy>

using namespace velmor;

namespace {

constexpr const char* perAppScenario = R"({ "apps": [
  { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "position": 300 } ] } ] })";

constexpr const char* markerScenario = R"({ "system": { "version": "26.0.0" }, "apps": [
  { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "width": 30, "position": 300 } ] },
  { "bundleID": "com.example.bravo", "name": "Bravo", "extras": [
      { "name": "Item-0", "title": "Bravo", "width": 30, "position": 200 },
      { "name": "Item-1", "title": "Bravo2", "width": 30, "position": 190 } ] } ] })";

const QString alpha = QStringLiteral("com.example.alpha");

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

// Opening the settings window again creates neither a second controller nor more status items.
TEST_F(TrayDelegateTest, OnlyTheFirstConfigureCreatesTheController)
{
    start(perAppScenario);
    launch();
    const NativeTrayController* controller = delegate().controller();
    const auto items = desktop().statusBar().items().size();
    run().closeSettingsWindow();
    run().openSettingsWindow();
    EXPECT_EQ(delegate().controller(), controller);
    EXPECT_EQ(desktop().statusBar().items().size(), items);
}

// Once the model is gone, the controller's closures, the hooks and the delegate's own operations
// do nothing, also a marker-mode refresh that was already on its way.
TEST_F(TrayDelegateTest, NothingHappensOnceTheModelIsGone)
{
    start(markerScenario);
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
    start(perAppScenario);
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
    start(markerScenario);
    launch();
    model().hooks().arrangeNative();
    const QRectF bravo = frameOf(extraKey("com.example.bravo"));
    ASSERT_TRUE(desktop().commandDrag(chevronKey(), QPointF(bravo.left(), 970)));
    run().settle();
    delegate().readGroups();
    const TraySectionMap arranged{{itemID("Alpha"), TraySection::expandable},
                                  {itemID("Bravo"), TraySection::alwaysVisible},
                                  {itemID("Bravo2"), TraySection::alwaysVisible}};
    EXPECT_EQ(model().nativeGroups(), arranged);

    model().hooks().finishNative();
    ASSERT_TRUE(controller().configured());
    ASSERT_TRUE(desktop().commandDrag(extraKey("com.example.bravo"), QPointF(bravo.left() - 40, 970)));
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

} // namespace
