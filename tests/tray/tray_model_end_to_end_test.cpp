#include "app/simulated_run.h"
#include "tray/tray_app.h"
#include "tray/tray_item_ids.h"
#include "tray/tray_model.h"

#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace velmor;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// "bundle=name=status" per organizer row, "-" for no status.
QStringList rows(const TrayModel& model)
{
    QStringList result;
    for (const GroupedApp& row : model.groupedApps())
        result.append(row.id + QLatin1Char('=') + row.appName + QLatin1Char('=') +
                      row.status.value_or(QStringLiteral("-")));
    return result;
}

QString rowOf(const TrayModel& model, const QString& bundleID)
{
    for (const QString& row : rows(model)) {
        if (row.startsWith(bundleID + QLatin1Char('=')))
            return row;
    }
    return {};
}

} // namespace

// The default desktop, the whole app started: what the organizer lists and how the layout is
// built, then an app that launches late and quits, and an app hidden through its executable's row.
TEST(TrayModelEndToEnd, TheDefaultDesktopFillsTheOrganizerAndTheLayout)
{
    QTemporaryDir home;
    SimulatedRun run(
        platform::Scenario::load(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json")),
        home.path(), QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults"));
    run.launch();
    run.settle();
    TrayModel& model = run.app().model();
    ASSERT_TRUE(model.nativePerApp());
    ASSERT_TRUE(model.permission());

    // Apps in bundle identifier order; the unresponsive app, the app without a bundle identifier,
    // the one not running and the one launching later give nothing.
    const QStringList discovered{
        "co.stillwater.batterybard|identifier:bard.battery",
        "com.example.notepebble|fallback:Quick note:0",
        "com.example.pixelpicker|identifier:picker.main",
        "com.example.weather|identifier:weather.main",
        "dev.brightpath.tunnelkeeper|identifier:tunnel.menu",
        "io.fernleaf.pulsemeter|identifier:pulse.cpu",
        "io.fernleaf.pulsemeter|identifier:pulse.memory",
        "io.fernleaf.pulsemeter|identifier:pulse.network",
        "net.pocketforge.lampshade|identifier:lamp.toggle",
        "net.quillwork.harborstats|identifier:harbor.status",
        "net.quillwork.harborstats|identifier:harbor.disk",
        "net.quillwork.harborstats|identifier:harbor.fans",
        "org.tinkerbox.twinclocks|identifier:clock.face",
        "org.tinkerbox.twinclocks|identifier:clock.face|duplicate:1",
    };
    EXPECT_EQ(trayItemIDs(model.items()), discovered);
    EXPECT_EQ(model.items()[4].action, QStringLiteral("AXShowMenu"));
    EXPECT_EQ(model.layout().groups.at(TraySection::alwaysVisible), discovered);
    for (TraySection section : {TraySection::expandable, TraySection::alwaysHidden, TraySection::trayBelow})
        EXPECT_THAT(model.layout().groups.at(section), IsEmpty());
    const auto storedLayout =
        run.services().userDefaults->dataValue(QString::fromLatin1(TrayModel::layoutKey));
    ASSERT_TRUE(storedLayout);
    EXPECT_EQ(TrayLayout::tryDecode(json::parse(*storedLayout)), model.layout());

    // By name; the stuck app has a tracked row but nothing to act on. Clip Hoarder has a row too,
    // but a row counts only for a running app, so a never-seen app that is not running is not listed.
    EXPECT_THAT(rows(model),
                ElementsAre("co.stillwater.batterybard=Battery Bard=-",
                            "net.quillwork.harborstats=Harbor Stats=-",
                            "net.pocketforge.lampshade=Lampshade=-", "com.example.notepebble=Note Pebble=-",
                            "com.example.pixelpicker=Pixel Picker=-", "io.fernleaf.pulsemeter=Pulse Meter=-",
                            "io.driftnet.stucksync=Stuck Sync=Native menu item",
                            "dev.brightpath.tunnelkeeper=Tunnel Keeper=-",
                            "org.tinkerbox.twinclocks=Twin Clocks=-", "com.example.weather=Weather Desk=-"));

    // Focus Timer launches six seconds in; the organizer's refresh finds it, and once it quits it
    // stays listed under the name it had.
    const QString focus = QStringLiteral("com.example.focustimer");
    run.settle(6.5);
    model.refresh();
    EXPECT_EQ(rowOf(model, focus), QStringLiteral("com.example.focustimer=Focus Timer=-"));
    EXPECT_EQ(model.layout().groups.at(TraySection::alwaysVisible).last(),
              QStringLiteral("com.example.focustimer|identifier:focus.timer"));
    ASSERT_TRUE(run.desktop().quit(focus));
    model.refresh();
    EXPECT_EQ(rowOf(model, focus), QStringLiteral("com.example.focustimer=Focus Timer=Not running"));
    EXPECT_EQ(model.layout().groups.at(TraySection::alwaysVisible).size(), discovered.size() + 1);

    // Pixel Picker's row names its executable; hidden, it is found through that row, and its
    // last-known item stays while it runs.
    const QString picker = QStringLiteral("com.example.pixelpicker");
    model.setDestination(GroupedApp{picker, {}, {}, {}}, QStringLiteral("alwaysHidden"));
    run.settle();
    ASSERT_TRUE(model.nativeConfigured());
    ASSERT_EQ(run.desktop().snapshot().hiddenApps, QStringList{picker});
    model.refresh();
    EXPECT_EQ(rowOf(model, picker), QStringLiteral("com.example.pixelpicker=Pixel Picker=Native menu item"));
    EXPECT_EQ(trayItemIDs(model.items()).last(),
              QStringLiteral("com.example.pixelpicker|identifier:picker.main"));
    EXPECT_EQ(model.destination(GroupedApp{picker, {}, {}, {}}), QStringLiteral("alwaysHidden"));
}
