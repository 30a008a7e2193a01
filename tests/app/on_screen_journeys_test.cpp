#include "gui_run_fixture.h"
#include "platform/status_bar.h"
#include "simulated_mac/simulated_menu_bar.h"
#include "simulated_mac/simulated_preference_domains.h"
#include "simulated_mac/simulated_status_item.h"
#include "support/many_apps_scenario.h"
#include "tray/grouped_app.h"

#include <QMimeData>
#include <QUrl>

using namespace velmor;
using namespace velmor::test;

namespace {

const QString chevronItem = QStringLiteral("statusItem:status:local.velmor.tray::VelmorTray.Native.regular");
const QString weatherItem = QStringLiteral("statusItem:status:com.example.weather::Item-0");
const QString tunnelItem = QStringLiteral("statusItem:status:dev.brightpath.tunnelkeeper::Item-0");

GroupedApp app(const char* bundleID)
{
    return GroupedApp{QString::fromLatin1(bundleID), {}, {}, {}};
}

} // namespace

class OnScreenJourney : public GuiRunTest {};

// The window lays the bar's items side by side; each must land where the desktop puts it, with one
// hidden among them and the leftmost stretched beyond the bar's room, and again once the hidden one
// shows.
TEST_F(OnScreenJourney, EveryItemIsDrawnWhereTheMenuBarPutsIt)
{
    start();
    QList<double> positions;
    for (const simulated_mac::MenuBarEntry* entry : desktop().menuBar().leftToRight()) {
        if (entry->kind != simulated_mac::MenuBarEntry::Kind::System)
            positions.append(entry->position);
    }
    ASSERT_GE(positions.size(), 3);
    const QString hiddenKey = QStringLiteral("status:local.velmor.tray::Hidden");
    desktop().domains().setPosition(hiddenKey, (positions[positions.size() - 2] + positions.last()) / 2);
    auto hidden = desktop().statusBar().createItem(30);
    hidden->setAutosaveName(QStringLiteral("Hidden"));
    hidden->button()->setTitle(QStringLiteral("H"));
    hidden->setVisible(false);
    auto wide = desktop().statusBar().createItem(26);
    wide->setAutosaveName(QStringLiteral("Wide"));
    wide->button()->setSymbolImage(QStringLiteral("chevron.left"), QStringLiteral("Wide"));
    wide->setLength(10000);

    const auto expectDrawnWhereTheBarPutsThem = [&] {
        QQuickItem* bar = require(macWindow(), QStringLiteral("menuBar"));
        const QRectF frame = desktop().menuBar().frame();
        int drawn = 0;
        int clipped = 0;
        for (const simulated_mac::MenuBarEntry* entry : desktop().menuBar().leftToRight()) {
            QQuickItem* face = find(macWindow(), QStringLiteral("statusItem:") + entry->key());
            if (!entry->onScreen) {
                EXPECT_TRUE(!face || !face->isVisible()) << entry->key().toStdString();
                continue;
            }
            ASSERT_TRUE(face && face->isVisible()) << entry->key().toStdString();
            const QRectF rect = face->mapRectToItem(bar, QRectF(0, 0, face->width(), face->height()));
            EXPECT_NEAR(rect.left(), entry->visibleFrame->left() - frame.left(), 1e-6)
                << entry->key().toStdString();
            EXPECT_NEAR(rect.width(), entry->visibleFrame->width(), 1e-6) << entry->key().toStdString();
            clipped += entry->visibleFrame->width() < entry->width ? 1 : 0;
            ++drawn;
        }
        EXPECT_GT(drawn, 3);
        EXPECT_EQ(clipped, 1) << "the stretched item shows its right part";
    };
    settle();
    EXPECT_FALSE(require(macWindow(), QStringLiteral("statusItem:") + hiddenKey)->isVisible());
    expectDrawnWhereTheBarPutsThem();

    hidden->setVisible(true);
    settle();
    EXPECT_TRUE(require(macWindow(), QStringLiteral("statusItem:") + hiddenKey)->isVisible());
    expectDrawnWhereTheBarPutsThem();
}

// The drawing of the Mac fills its window at the desktop's shape, a side panel with more apps than
// fit says so with its scroll bar, and a title wider than its item ends in an ellipsis.
TEST_F(OnScreenJourney, TheSimulatedMacFillsItsWindowAndShowsWhatDoesNotFit)
{
    start(simulated_mac::testing::manyAppsScenario(15, 0));
    auto narrow = desktop().statusBar().createItem(30);
    narrow->setAutosaveName(QStringLiteral("Narrow"));
    narrow->button()->setTitle(QStringLiteral("Weather"));
    settle();

    QQuickItem* drawing = require(macWindow(), QStringLiteral("desktop"));
    const QRectF shown = drawing->mapRectToScene(QRectF(0, 0, drawing->width(), drawing->height()));
    EXPECT_NEAR(macWindow()->height() - shown.bottom(), shown.top(), 1.0) << "no band below the desktop";
    EXPECT_TRUE(require(macWindow(), QStringLiteral("sideAppsScrollBar"))->isVisible());

    QQuickItem* title = require(macWindow(), QStringLiteral("statusTitle:status:local.velmor.tray::Narrow"));
    EXPECT_TRUE(title->property("truncated").toBool());
    EXPECT_EQ(title->property("elide").toInt(), int(Qt::ElideRight));
}

TEST_F(OnScreenJourney, ACommandDragAcrossTheChevronMovesAnAppBehindIt)
{
    start();
    // Where a person's earlier Command-drag put the chevron: left of the apps' icons, which a drag
    // then crosses (the app makes it at the right end otherwise).
    desktop().userDefaults().setValue(
        platform::StatusBar::preferredPositionKey(QStringLiteral("VelmorTray.Native.regular")), 1000);
    launch();
    model().setDestination(app("com.example.weather"), QStringLiteral("expandable"));
    settle(2);
    click(macWindow(), require(macWindow(), chevronItem));
    ASSERT_TRUE(controller().expanded());
    ASSERT_EQ(
        model().appGroups().value(QStringLiteral("dev.brightpath.tunnelkeeper"), TraySection::alwaysVisible),
        TraySection::alwaysVisible);

    QQuickItem* chevron = require(macWindow(), chevronItem);
    const QPoint leftOfChevron = chevron->mapToScene(QPointF(-2, chevron->height() / 2)).toPoint();
    // A plain drag arranges nothing; Control stands in for Command on keyboards without one.
    drag(macWindow(), require(macWindow(), tunnelItem), leftOfChevron, Qt::NoModifier);
    settle(2);
    EXPECT_EQ(
        model().appGroups().value(QStringLiteral("dev.brightpath.tunnelkeeper"), TraySection::alwaysVisible),
        TraySection::alwaysVisible);
    drag(macWindow(), require(macWindow(), tunnelItem), leftOfChevron, Qt::ControlModifier);
    settle(2);
    EXPECT_EQ(model().appGroups().value(QStringLiteral("dev.brightpath.tunnelkeeper")),
              TraySection::expandable);
}

TEST_F(OnScreenJourney, TheChevronsRightClickMenuOpensAsAPopupAndItsEntriesAct)
{
    start();
    launch();
    model().setDestination(app("com.example.weather"), QStringLiteral("expandable"));
    settle(2);
    ASSERT_TRUE(controller().configured());

    click(macWindow(), require(macWindow(), chevronItem), Qt::RightButton);
    QQuickItem* popup = require(macWindow(), QStringLiteral("menuRows"));
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_NE(find(macWindow(), QStringLiteral("menuItem:Settings…")), nullptr);
    EXPECT_NE(find(macWindow(), QStringLiteral("menuItem:Quit Velmor Tray")), nullptr);

    click(macWindow(), require(macWindow(), QStringLiteral("menuItem:Reveal all")));
    EXPECT_FALSE(controller().configured());
    EXPECT_FALSE(desktop().statusBar().openMenu().has_value());
    EXPECT_NE(find(macWindow(), weatherItem), nullptr);
}

TEST_F(OnScreenJourney, AccessibilityTurnedOffInSystemSettingsRevealsEverything)
{
    start();
    launch();
    model().setDestination(app("com.example.weather"), QStringLiteral("expandable"));
    settle(2);
    ASSERT_TRUE(controller().configured());

    // The app's own link opens the Accessibility pane.
    model().openPrivacySettings();
    settle();
    ASSERT_TRUE(require(macWindow(), QStringLiteral("systemSettings"))->isVisible());
    EXPECT_EQ(text(require(macWindow(), QStringLiteral("paneTitle"))), QStringLiteral("Accessibility"));
    QQuickItem* toggle = require(macWindow(), QStringLiteral("switch:Velmor Tray"));
    ASSERT_TRUE(toggle->property("checked").toBool());

    click(macWindow(), toggle);
    settle(TrayModel::refreshIntervalSeconds + 0.5);
    EXPECT_FALSE(model().permission());
    EXPECT_FALSE(controller().configured());
    EXPECT_TRUE(desktop().snapshot().hiddenApps.isEmpty());
    EXPECT_TRUE(require(settingsWindow(), QStringLiteral("setupCard"))->isVisible());
    EXPECT_FALSE(text(require(settingsWindow(), QStringLiteral("warningText"))).isEmpty())
        << "the window says why everything came back";
}

TEST_F(OnScreenJourney, FullDiskAccessIsGrantedByDroppingTheAppOnThePane)
{
    QFile file(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray scenario = file.readAll();
    scenario.replace("\"fullDiskAccess\": true", "\"fullDiskAccess\": false");
    start(scenario);
    launch();
    desktop().openSystemSettings(simulated_mac::SimulatedDesktop::SettingsPane::FullDiskAccess);
    settle();
    ASSERT_FALSE(desktop().hasFullDiskAccess());
    EXPECT_EQ(find(macWindow(), QStringLiteral("switch:Velmor Tray")), nullptr) << "not in the list yet";

    QQuickItem* list = require(macWindow(), QStringLiteral("privacyDropArea"));
    const QPoint at = centreOf(list);
    const auto dropOn = [&](const QUrl& url) {
        QMimeData data;
        data.setUrls({url});
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(macWindow(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(macWindow(), &drop);
        settle();
        return enter.isAccepted();
    };
    EXPECT_TRUE(dropOn(QUrl::fromLocalFile(QStringLiteral("/Applications/Velmor Tray.app"))));
    EXPECT_TRUE(desktop().hasFullDiskAccess());
    QQuickItem* toggle = require(macWindow(), QStringLiteral("switch:Velmor Tray"));
    ASSERT_NE(toggle, nullptr);
    EXPECT_TRUE(toggle->property("checked").toBool());

    // Its switch takes the permission away again at once.
    click(macWindow(), toggle);
    EXPECT_FALSE(desktop().hasFullDiskAccess());
}

TEST_F(OnScreenJourney, TheSettingsWindowReopensFromTheChevronMenuWithTheSameModel)
{
    start();
    launch();
    QQuickWindow* first = settingsWindow();
    const TrayModel* firstModel = &model();
    const NativeTrayController* firstController = &controller();
    const int items = desktop().statusBar().items().size();

    first->close();
    settle(TrayModel::refreshIntervalSeconds + 0.5);
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(model().settingsVisible());
    EXPECT_TRUE(desktop().applicationShell().windows().isEmpty());

    click(macWindow(), require(macWindow(), chevronItem), Qt::RightButton);
    click(macWindow(), require(macWindow(), QStringLiteral("menuItem:Settings…")));
    settle(TrayModel::refreshIntervalSeconds + 0.5);
    EXPECT_EQ(settingsWindow(), first) << "never a second window";
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(model().settingsVisible());
    EXPECT_EQ(&model(), firstModel);
    EXPECT_EQ(&controller(), firstController);
    EXPECT_EQ(desktop().statusBar().items().size(), items) << "no second set of status items";
}

TEST_F(OnScreenJourney, BothWindowsFollowTheAppearance)
{
    start();
    launch();
    ASSERT_FALSE(settingsWindow()->property("dark").toBool());

    click(macWindow(), require(macWindow(), QStringLiteral("appearanceDark")));
    EXPECT_TRUE(desktop().appearance().isDark());
    EXPECT_TRUE(macWindow()->property("dark").toBool());
    EXPECT_TRUE(settingsWindow()->property("dark").toBool()) << "\"system\" follows the Mac";

    // The app's own choice wins over the system's; any other value follows the system again.
    run().app().setAppearance(QStringLiteral("light"));
    EXPECT_FALSE(settingsWindow()->property("dark").toBool());
    run().app().setAppearance(QStringLiteral("Dark"));
    EXPECT_TRUE(settingsWindow()->property("dark").toBool());
    click(macWindow(), require(macWindow(), QStringLiteral("appearanceLight")));
    EXPECT_FALSE(settingsWindow()->property("dark").toBool());
    run().app().setAppearance(QStringLiteral("dark"));
    EXPECT_TRUE(settingsWindow()->property("dark").toBool());
    EXPECT_FALSE(macWindow()->property("dark").toBool());
}

TEST_F(OnScreenJourney, TheAppsMenusDockIconAndMinimizedWindowBehaveAsOnAMac)
{
    start();
    launch();
    // Launched, the app is frontmost: the bar shows its menus with the declared commands.
    click(macWindow(), require(macWindow(), QStringLiteral("appMenu:Velmor Tray")));
    EXPECT_NE(find(macWindow(), QStringLiteral("menuItem:About Velmor Tray")), nullptr);
    QQuickItem* check = require(macWindow(), QStringLiteral("menuItem:Check for Updates…"));
    ASSERT_NE(check, nullptr);
    EXPECT_FALSE(check->isEnabled()) << "this build publishes no updates";
    QTest::keyClick(macWindow(), Qt::Key_Escape);
    settle();

    EXPECT_NE(find(macWindow(), QStringLiteral("dockApp:local.velmor.tray")), nullptr);
    desktop().applicationShell().setActivationPolicy(platform::ActivationPolicy::Accessory);
    settle();
    EXPECT_EQ(find(macWindow(), QStringLiteral("dockApp:local.velmor.tray")), nullptr)
        << "an accessory app lives in the menu bar only";
    desktop().applicationShell().setActivationPolicy(platform::ActivationPolicy::Regular);

    settingsWindow()->showMinimized();
    settle();
    ASSERT_FALSE(desktop().applicationShell().windows().isEmpty());
    EXPECT_TRUE(desktop().applicationShell().windows().first().miniaturized);
    click(macWindow(), require(macWindow(), QStringLiteral("dockWindow:Velmor Tray")));
    EXPECT_FALSE(settingsWindow()->windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(desktop().applicationShell().windows().first().miniaturized);

    // Hide from the app menu; a click on its Dock icon brings the window back.
    click(macWindow(), require(macWindow(), QStringLiteral("appMenu:Velmor Tray")));
    click(macWindow(), require(macWindow(), QStringLiteral("menuItem:Hide Velmor Tray")));
    EXPECT_TRUE(desktop().applicationShell().isHidden());
    EXPECT_FALSE(settingsWindow()->isVisible());
    click(macWindow(), require(macWindow(), QStringLiteral("dockApp:local.velmor.tray")));
    EXPECT_FALSE(desktop().applicationShell().isHidden());
    EXPECT_TRUE(settingsWindow()->isVisible());
}
