#include "foundation/uuid_text.h"
#include "organizer_fixture.h"
#include "platform/simulated/simulated_desktop.h"
#include "platform/simulated/simulated_login_items.h"
#include "platform/simulated/simulated_workspace.h"
#include "settings_window/tray_card_item.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

using namespace velmor;
using namespace velmor::test;

namespace {

const QString weather = QStringLiteral("com.example.weather");
const QString weatherItem = QStringLiteral("statusItem:status:com.example.weather::Item-0");
const QString payloadPrefix = QStringLiteral("velmor-tray-app:");

QString accessibleName(QQuickItem* item)
{
    QAccessibleInterface* accessible = item ? QAccessible::queryAccessibleInterface(item) : nullptr;
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

} // namespace

class OrganizerWindow : public OrganizerTest {};

TEST_F(OrganizerWindow, ACardDroppedOnAnotherAreaMovesItsAppAndHidesItsIcon)
{
    start();
    launch();
    ASSERT_EQ(destinationOf(weather), QStringLiteral("alwaysVisible"));
    ASSERT_NE(find(macWindow(), weatherItem), nullptr);
    const int before = shownText(QStringLiteral("areaCount:alwaysHidden")).toInt();

    // While a drag hovers, the area under it is tinted; leaving takes the tint away.
    QMimeData hovering;
    hovering.setText(payloadPrefix + weather);
    const QColor plain = area(QStringLiteral("alwaysHidden"))->property("color").value<QColor>();
    QDragEnterEvent enter(centreOf(area(QStringLiteral("alwaysHidden"))), Qt::MoveAction, &hovering,
                          Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(settingsWindow(), &enter);
    EXPECT_EQ(presenter()->dropTarget(), QStringLiteral("alwaysHidden"));
    EXPECT_NE(area(QStringLiteral("alwaysHidden"))->property("color").value<QColor>(), plain);
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(settingsWindow(), &leave);
    EXPECT_TRUE(presenter()->dropTarget().isEmpty());
    EXPECT_EQ(area(QStringLiteral("alwaysHidden"))->property("color").value<QColor>(), plain);

    EXPECT_TRUE(dropText(area(QStringLiteral("alwaysHidden")), payloadPrefix + weather));
    settle(2);
    EXPECT_EQ(destinationOf(weather), QStringLiteral("alwaysHidden"));
    EXPECT_EQ(shownText(QStringLiteral("areaCount:alwaysHidden")), QString::number(before + 1));
    EXPECT_NE(findIn(area(QStringLiteral("alwaysHidden")), QStringLiteral("card:") + weather), nullptr);
    EXPECT_EQ(find(macWindow(), weatherItem), nullptr) << "the moved app's icon is hidden on the Mac";
}

TEST_F(OrganizerWindow, RefusedDropsChangeNothingAndCallNothing)
{
    start();
    launch();
    QSignalSpy groups(&model(), &TrayModel::appGroupsChanged);
    QSignalSpy grouping(&model(), &TrayModel::namedGroupingChanged);
    QQuickItem* hidden = area(QStringLiteral("alwaysHidden"));

    EXPECT_FALSE(dropText(hidden, QStringLiteral("Weather Desk"))) << "text from another app";
    EXPECT_FALSE(dropText(hidden, payloadPrefix + QStringLiteral("com.example.unknown")))
        << "an app not listed";
    EXPECT_FALSE(dropText(hidden, QString())) << "nothing";
    QMimeData two;
    two.setUrls(
        {QUrl(payloadPrefix + weather), QUrl(payloadPrefix + QStringLiteral("com.example.pixelpicker"))});
    EXPECT_FALSE(dropOn(hidden, two)) << "two items at once";
    EXPECT_TRUE(dropText(area(QStringLiteral("alwaysVisible")), payloadPrefix + weather))
        << "the area it is in already takes it, changing nothing";

    model().setNativeBusy(true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(dropText(hidden, payloadPrefix + weather)) << "busy";
    EXPECT_DOUBLE_EQ(card(weather)->opacity(), 0.5);
    model().setNativeBusy(false);

    EXPECT_EQ(destinationOf(weather), QStringLiteral("alwaysVisible"));
    EXPECT_EQ(groups.count(), 0);
    EXPECT_EQ(grouping.count(), 0);
    EXPECT_FALSE(controller().configured()) << "no grouping was applied";
}

TEST_F(OrganizerWindow, CardsMoveByTheirContextMenuAndTheirAccessibilityActions)
{
    start();
    launch();
    QQuickItem* weatherCard = card(weather);
    ASSERT_NE(weatherCard, nullptr);
    EXPECT_EQ(weatherCard->property("accessibleName").toString(), QStringLiteral("Weather Desk"));
    EXPECT_EQ(weatherCard->property("accessibleHint").toString(),
              QStringLiteral("Drag to another group or use Move to actions"));

    click(settingsWindow(), weatherCard, Qt::RightButton);
    QQuickItem* own = require(settingsWindow(), QStringLiteral("move:com.example.weather:alwaysVisible"));
    ASSERT_TRUE(own->isVisible()) << "the context menu is open";
    EXPECT_EQ(own->property("text").toString(), QStringLiteral("Move to Always visible"));
    EXPECT_FALSE(own->isEnabled()) << "the card's own area";
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("move:com.example.weather:expandable")));
    EXPECT_EQ(destinationOf(weather), QStringLiteral("expandable"));

    // A screen reader's way: the card's actions, its own area's move not among them.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(card(weather));
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Weather Desk"));
    ASSERT_NE(accessible->actionInterface(), nullptr);
    const QStringList actions = accessible->actionInterface()->actionNames();
    EXPECT_FALSE(actions.contains(QStringLiteral("Move to Expandable menu")));
    EXPECT_TRUE(actions.contains(QStringLiteral("Move to Always hidden")));
    accessible->actionInterface()->doAction(QStringLiteral("Move to Always hidden"));
    settle();
    EXPECT_EQ(destinationOf(weather), QStringLiteral("alwaysHidden"));

    // And the keyboard's: the card takes focus and opens its menu.
    card(weather)->forceActiveFocus();
    QTest::keyClick(settingsWindow(), Qt::Key_Space);
    settle();
    EXPECT_TRUE(shown(QStringLiteral("move:com.example.weather:alwaysVisible"))) << "the move menu is open";
}

TEST_F(OrganizerWindow, AGroupIsCreatedRenamedExpandedWhileConfiguredAndDeleted)
{
    start();
    launch();
    ASSERT_TRUE(shown(QStringLiteral("createFirstGroupButton")));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("addGroupButton")));
    ASSERT_TRUE(shown(QStringLiteral("groupEditorTitle")));
    EXPECT_EQ(shownText(QStringLiteral("groupEditorTitle")), QStringLiteral("New group"));
    EXPECT_FALSE(enabled(QStringLiteral("groupEditorSave")));
    type(QStringLiteral("   "));
    EXPECT_FALSE(enabled(QStringLiteral("groupEditorSave"))) << "only spaces";
    QTest::keyClick(settingsWindow(), Qt::Key_Return);
    EXPECT_TRUE(shown(QStringLiteral("groupEditorTitle"))) << "Return does not save a blank name";
    type(QStringLiteral("Work"));
    QTest::keyClick(settingsWindow(), Qt::Key_Return);
    settle();
    ASSERT_EQ(model().namedGrouping().groups.size(), 1);
    const TrayNamedGroup created = model().namedGrouping().groups.front();
    EXPECT_EQ(created.name.trimmed(), QStringLiteral("Work"));
    EXPECT_EQ(created.symbol, QStringLiteral("sparkles"));
    EXPECT_FALSE(shown(QStringLiteral("groupEditorTitle")));
    const QString id = uuid_text::canonical(created.id);
    const QString destination = QStringLiteral("group:") + id;
    EXPECT_TRUE(shown(QStringLiteral("area:") + destination));
    EXPECT_FALSE(shown(QStringLiteral("createFirstGroupButton")));

    // Renamed, with another symbol.
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupOptions:") + id));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("editGroup:") + id));
    EXPECT_EQ(shownText(QStringLiteral("groupEditorTitle")), QStringLiteral("Edit group"));
    EXPECT_EQ(shownText(QStringLiteral("groupNameField")), created.name);
    require(settingsWindow(), QStringLiteral("groupNameField"))->setProperty("text", QString());
    type(QStringLiteral("Tools"));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupSymbol:hammer")));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupEditorSave")));
    ASSERT_EQ(model().namedGrouping().groups.size(), 1);
    EXPECT_EQ(model().namedGrouping().groups.front().name, QStringLiteral("Tools"));
    EXPECT_EQ(model().namedGrouping().groups.front().symbol, QStringLiteral("hammer"));
    EXPECT_EQ(accessibleName(require(settingsWindow(), QStringLiteral("groupOptions:") + id)),
              QStringLiteral("Options for Tools"));

    // With an app in it and grouping configured, the group expands and collapses.
    EXPECT_TRUE(dropText(area(destination), payloadPrefix + weather));
    settle(2);
    ASSERT_TRUE(model().nativeConfigured());
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupOptions:") + id));
    ASSERT_TRUE(shown(QStringLiteral("toggleGroup:") + id));
    EXPECT_EQ(shownText(QStringLiteral("toggleGroup:") + id), QStringLiteral("Expand"));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("toggleGroup:") + id));
    settle(2);
    EXPECT_TRUE(model().expandedNamedGroups().contains(created.id));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupOptions:") + id));
    EXPECT_EQ(shownText(QStringLiteral("toggleGroup:") + id), QStringLiteral("Collapse"));
    QTest::keyClick(settingsWindow(), Qt::Key_Escape);
    settle();

    // Not configured (everything revealed): no such entry.
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("revealAllButton")));
    settle(2);
    ASSERT_FALSE(model().nativeConfigured());
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupOptions:") + id));
    EXPECT_TRUE(shown(QStringLiteral("editGroup:") + id));
    EXPECT_FALSE(shown(QStringLiteral("toggleGroup:") + id));
    QTest::keyClick(settingsWindow(), Qt::Key_Escape);
    settle();

    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupOptions:") + id));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("deleteGroup:") + id));
    settle(2);
    EXPECT_TRUE(model().namedGrouping().groups.isEmpty());
    EXPECT_EQ(find(settingsWindow(), QStringLiteral("area:") + destination), nullptr);
    EXPECT_TRUE(shown(QStringLiteral("createFirstGroupButton")));
}

TEST_F(OrganizerWindow, EscapeCancelsTheGroupEditor)
{
    start();
    launch();
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("createFirstGroupButton")));
    type(QStringLiteral("Music"));
    QTest::keyClick(settingsWindow(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(shown(QStringLiteral("groupEditorTitle")));
    EXPECT_TRUE(model().namedGrouping().groups.isEmpty());
}

TEST_F(OrganizerWindow, WithoutPermissionTheSetupCardShowsAndOnlyRevealAllStaysEnabled)
{
    startWith([](QJsonObject& root) { setSystem(root, QStringLiteral("accessibilityTrusted"), false); });
    ASSERT_FALSE(model().permission());
    EXPECT_TRUE(shown(QStringLiteral("setupCard")));
    EXPECT_FALSE(enabled(QStringLiteral("orderButton")));
    EXPECT_FALSE(enabled(QStringLiteral("primaryButton")));
    EXPECT_TRUE(enabled(QStringLiteral("revealAllButton")));
    model().setNativeBusy(true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(enabled(QStringLiteral("revealAllButton")));
    EXPECT_EQ(shownText(QStringLiteral("statusText")), QStringLiteral("Applying…"));
    model().setNativeBusy(false);

    // The guide, per-app: three steps with the drag tile; Escape closes it.
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("setupButton")));
    ASSERT_TRUE(shown(QStringLiteral("accessGuideTitle")));
    EXPECT_TRUE(shown(QStringLiteral("fullDiskAccessStep")));
    EXPECT_TRUE(shown(QStringLiteral("appDragTile")));
    EXPECT_EQ(accessibleName(require(settingsWindow(), QStringLiteral("appDragTile"))),
              QStringLiteral("Velmor Tray application. Drag to the Full Disk Access list."));
    EXPECT_EQ(presenter()->accessGuide()->lastStepNumber(), QStringLiteral("3"));
    EXPECT_EQ(presenter()->accessGuide()->bundleUrl(),
              QUrl::fromLocalFile(QStringLiteral("/Applications/Velmor Tray.app")));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("showInFinder")));
    EXPECT_EQ(desktop().workspace().revealedPaths(),
              QStringList{QStringLiteral("/Applications/Velmor Tray.app")});
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("openAccessibilitySettings")));
    EXPECT_TRUE(require(macWindow(), QStringLiteral("systemSettings"))->isVisible());
    QTest::keyClick(settingsWindow(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(shown(QStringLiteral("accessGuideTitle")));
    EXPECT_FALSE(presenter()->accessGuide()->isOpen());
}

TEST_F(OrganizerWindow, MarkerModeListsOnlyPlacedItemsAndAGuideOfTwoSteps)
{
    startWith(
        [](QJsonObject& root) { setSystem(root, QStringLiteral("version"), QStringLiteral("26.0.0")); });
    ASSERT_FALSE(model().nativePerApp());
    EXPECT_FALSE(shown(QStringLiteral("sectionAreas")));
    EXPECT_TRUE(shown(QStringLiteral("markerAreas")));
    EXPECT_EQ(shownText(QStringLiteral("appsHint")),
              QStringLiteral("Command-drag icons in the Mac menu bar to arrange them."));
    int listed = 0;
    for (const TrayItem& item : model().items()) {
        const bool placed = model().nativeGroups().contains(item.id);
        EXPECT_EQ(find(settingsWindow(), QStringLiteral("glyph:") + item.id) != nullptr, placed)
            << item.id.toStdString();
        listed += placed ? 1 : 0;
    }
    for (const char* section : {"alwaysVisible", "expandable", "alwaysHidden"}) {
        const QVariantList areas = presenter()->markerAreas();
        for (const QVariant& entry : areas) {
            const QVariantMap markerArea = entry.toMap();
            if (markerArea.value(QStringLiteral("section")).toString() != QLatin1String(section))
                continue;
            EXPECT_EQ(shown(QStringLiteral("noItems:") + QLatin1String(section)),
                      markerArea.value(QStringLiteral("items")).toList().isEmpty());
        }
    }
    EXPECT_TRUE(shown(QStringLiteral("noItems:alwaysHidden")) || listed > 0);

    click(settingsWindow(), require(settingsWindow(), QStringLiteral("permissionsButton")));
    ASSERT_TRUE(shown(QStringLiteral("accessGuideTitle")));
    EXPECT_FALSE(shown(QStringLiteral("fullDiskAccessStep")));
    EXPECT_FALSE(shown(QStringLiteral("appDragTile")));
    EXPECT_EQ(presenter()->accessGuide()->lastStepNumber(), QStringLiteral("2"));
    EXPECT_EQ(presenter()->accessGuide()->lastStepTitle(), QStringLiteral("Refresh your apps"));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("accessGuideDone")));
    EXPECT_FALSE(shown(QStringLiteral("accessGuideTitle")));
}

TEST_F(OrganizerWindow, AFailedLaunchAtLoginChangeSaysSoAndSetsTheToggleBack)
{
    startWith([](QJsonObject& root) {
        root.insert(QStringLiteral("loginItems"), QJsonObject{{QStringLiteral("registerError"),
                                                               QStringLiteral("Operation not permitted")}});
    });
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("preferencesDisclosure")));
    QQuickItem* toggle = require(settingsWindow(), QStringLiteral("launchAtLoginSwitch"));
    ASSERT_TRUE(toggle->isVisible());
    ASSERT_FALSE(toggle->property("checked").toBool());
    click(settingsWindow(), toggle);
    EXPECT_FALSE(toggle->property("checked").toBool());
    EXPECT_EQ(shownText(QStringLiteral("messageText")),
              QStringLiteral("Could not change launch at login. Check System Settings."));
    EXPECT_NE(find(settingsWindow(), QStringLiteral("supportFooterSlot")), nullptr);
}

TEST_F(OrganizerWindow, LaunchAtLoginRegistersAndUnregistersTheLoginItem)
{
    start();
    launch();
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("preferencesDisclosure")));
    QQuickItem* toggle = require(settingsWindow(), QStringLiteral("launchAtLoginSwitch"));
    click(settingsWindow(), toggle);
    EXPECT_EQ(desktop().loginItems().status(), platform::LoginItemStatus::Enabled);
    EXPECT_TRUE(toggle->property("checked").toBool());
    click(settingsWindow(), toggle);
    settle();
    EXPECT_NE(desktop().loginItems().status(), platform::LoginItemStatus::Enabled);
    EXPECT_FALSE(toggle->property("checked").toBool());
    EXPECT_FALSE(shown(QStringLiteral("messageText")));
}

TEST_F(OrganizerWindow, TheHelpPopoversShowTheirTopics)
{
    start();
    launch();
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("helpButton")));
    ASSERT_TRUE(shown(QStringLiteral("helpTitle")));
    EXPECT_EQ(shownText(QStringLiteral("helpTitle")), QStringLiteral("How grouping works"));
    QTest::keyClick(settingsWindow(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(shown(QStringLiteral("helpTitle")));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("appsInfoButton")));
    EXPECT_EQ(shownText(QStringLiteral("helpTitle")), QStringLiteral("App icons"));
    EXPECT_TRUE(
        shownText(QStringLiteral("helpText")).startsWith(QStringLiteral("Cards show application icons")));
}

TEST_F(OrganizerWindow, TheAppearancePickerStoresTheChoiceAndTheWindowFollows)
{
    start();
    launch();
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("preferencesDisclosure")));
    QQuickItem* menu = require(settingsWindow(), QStringLiteral("appearanceMenu"));
    EXPECT_EQ(menu->property("currentIndex").toInt(), 0);
    QMetaObject::invokeMethod(menu, "activated", Q_ARG(int, 2));
    settle();
    EXPECT_EQ(run().app().appearance(), QStringLiteral("dark"));
    EXPECT_TRUE(settingsWindow()->property("dark").toBool());

    run().app().setAppearance(QStringLiteral("Dark"));
    settle();
    EXPECT_EQ(menu->property("currentIndex").toInt(), 0) << "an unknown value shows System";
    EXPECT_FALSE(settingsWindow()->property("dark").toBool());
}

TEST_F(OrganizerWindow, TabReachesEveryControlAndACardMovesFromTheKeyboard)
{
    start();
    launch();
    QQuickWindow* window = settingsWindow();
    click(window, require(window, QStringLiteral("preferencesDisclosure")));
    QSet<QString> reached;
    for (int press = 0; press < 80; ++press) {
        QTest::keyClick(window, Qt::Key_Tab);
        if (QQuickItem* focused = window->activeFocusItem())
            reached.insert(focused->objectName());
    }
    for (const char* control :
         {"helpButton", "permissionsButton", "orderButton", "revealAllButton", "primaryButton",
          "appsInfoButton", "refreshButton", "card:com.example.weather", "addGroupButton",
          "createFirstGroupButton", "preferencesDisclosure", "launchAtLoginSwitch", "appearanceMenu",
          "quitButton"})
        EXPECT_TRUE(reached.contains(QLatin1String(control))) << control << " is not reached with Tab";

    card(QStringLiteral("com.example.weather"))->forceActiveFocus(Qt::TabFocusReason);
    QTest::keyClick(window, Qt::Key_Return);
    settle();
    QQuickItem* hidden = require(window, QStringLiteral("move:com.example.weather:alwaysHidden"));
    ASSERT_TRUE(hidden->isVisible());
    QTest::keyClick(window, Qt::Key_Down);
    QTest::keyClick(window, Qt::Key_Down);
    QTest::keyClick(window, Qt::Key_Return);
    settle();
    EXPECT_NE(destinationOf(QStringLiteral("com.example.weather")), QStringLiteral("alwaysVisible"))
        << "a move chosen from the keyboard";
}
