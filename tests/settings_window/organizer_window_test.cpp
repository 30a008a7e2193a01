#include "app/accessible_press.h"
#include "distribution/app_updates.h"
#include "foundation/json.h"
#include "foundation/private_files.h"
#include "foundation/regular_file.h"
#include "foundation/uuid_text.h"
#include "organizer_fixture.h"
#include "settings_window/tray_card_item.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_home.h"
#include "simulated_mac/simulated_login_items.h"
#include "simulated_mac/simulated_workspace.h"
#include "suite_ui/velmor_signals.h"
#include "suite_ui/views/suite_palette.h"
#include "tray/tray_below_bar_preference.h"
#include "tray/tray_delegate.h"
#include "tray/tray_display_layouts.h"
#include "tray/tray_reveal_preferences.h"
#include "tray/tray_shortcuts.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

#include <algorithm>

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
    EXPECT_EQ(presenter()->areas()->dropTarget(), QStringLiteral("alwaysHidden"));
    EXPECT_NE(area(QStringLiteral("alwaysHidden"))->property("color").value<QColor>(), plain);
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(settingsWindow(), &leave);
    EXPECT_TRUE(presenter()->areas()->dropTarget().isEmpty());
    EXPECT_EQ(area(QStringLiteral("alwaysHidden"))->property("color").value<QColor>(), plain);

    EXPECT_TRUE(dropText(area(QStringLiteral("alwaysHidden")), payloadPrefix + weather));
    settle(2);
    EXPECT_EQ(shownText(QStringLiteral("areaCount:alwaysHidden")), QString::number(before + 1));
    EXPECT_NE(findIn(area(QStringLiteral("alwaysHidden")), QStringLiteral("card:") + weather), nullptr);
    EXPECT_EQ(find(macWindow(), weatherItem), nullptr) << "the moved app's icon is hidden on the Mac";
}

TEST_F(OrganizerWindow, CardsMoveByTheirContextMenuAndTheirAccessibilityActions)
{
    start();
    launch();
    QQuickItem* weatherCard = card(weather);
    ASSERT_NE(weatherCard, nullptr);

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
}

// The frame that shows a moved card does not wait for the system's preferences to be edited:
// with a `defaults` tool that sleeps a second on every export, the first frame that shows the card
// in its new area comes while the tool has not run yet. Once the tool is done the areas show the
// model, whatever the edit made of it.
TEST_F(OrganizerWindow, AMovedCardIsOnScreenBeforeTheSystemEditRuns)
{
    start();
    launch();
    const QString folder = simulated_mac::simulated_home::simulatorFolder(m_home.path());
    private_files::writeAtomically(folder + QStringLiteral("/defaults-faults.json"),
                                   R"({"export": {"hangSeconds": 1}})");
    const auto toolRuns = [&folder] {
        const QString path = folder + QStringLiteral("/defaults-runs.json");
        if (!QFileInfo::exists(path))
            return 0;
        const QByteArray counts = RegularFile::read(path, 1024 * 1024);
        const Json parsed = json::tryParse(counts).value_or(Json::object());
        return parsed.value("export", 0) + parsed.value("import", 0);
    };
    const QString hidden = QStringLiteral("alwaysHidden");
    const int runsBefore = toolRuns();
    std::optional<int> runsAtFirstFrame;
    QQuickWindow* window = settingsWindow();
    const auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, window, [&] {
        if (!runsAtFirstFrame && findIn(area(hidden), QStringLiteral("card:") + weather))
            runsAtFirstFrame = toolRuns();
    });

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(card(weather));
    ASSERT_NE(accessible, nullptr);
    accessible->actionInterface()->doAction(QStringLiteral("Move to Always hidden"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return runsAtFirstFrame.has_value(); }, 10000));
    EXPECT_EQ(runsAtFirstFrame, runsBefore) << "the frame waited for the tool";

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !presenter()->areas()->movePending() && toolRuns() > runsBefore; }, 20000));
    QObject::disconnect(connection);
    settle();
    EXPECT_NE(findIn(area(destinationOf(weather)), QStringLiteral("card:") + weather), nullptr);
}

TEST_F(OrganizerWindow, AGroupIsCreatedRenamedExpandedWhileConfiguredAndDeleted)
{
    start();
    launch();
    ASSERT_TRUE(shown(QStringLiteral("createFirstGroupButton")));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("addGroupButton")));
    ASSERT_TRUE(shown(QStringLiteral("groupEditorTitle")));
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

    // Renamed, with another symbol; Escape leaves a second edit unsaved.
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupOptions:") + id));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("editGroup:") + id));
    EXPECT_EQ(shownText(QStringLiteral("groupNameField")), created.name);
    require(settingsWindow(), QStringLiteral("groupNameField"))->setProperty("text", QString());
    type(QStringLiteral("Tools"));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupSymbol:hammer")));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupEditorSave")));
    EXPECT_EQ(model().namedGrouping().groups.front().symbol, QStringLiteral("hammer"));
    EXPECT_EQ(accessibleName(require(settingsWindow(), QStringLiteral("groupOptions:") + id)),
              QStringLiteral("Options for Tools"));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("addGroupButton")));
    type(QStringLiteral("Music"));
    QTest::keyClick(settingsWindow(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(shown(QStringLiteral("groupEditorTitle")));
    EXPECT_EQ(model().namedGrouping().groups.size(), 1);

    // With an app in it and grouping configured, the group expands and collapses.
    EXPECT_TRUE(dropText(area(destination), payloadPrefix + weather));
    settle(2);
    ASSERT_TRUE(model().nativeConfigured());
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("groupOptions:") + id));
    EXPECT_EQ(shownText(QStringLiteral("toggleGroup:") + id), QStringLiteral("Expand"));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("toggleGroup:") + id));
    settle(2);
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

TEST_F(OrganizerWindow, WithoutPermissionTheSetupCardShowsAndOnlyRevealAllStaysEnabled)
{
    startWith([](QJsonObject& root) { setSystem(root, QStringLiteral("accessibilityTrusted"), false); });
    ASSERT_FALSE(model().permission());
    EXPECT_TRUE(shown(QStringLiteral("setupCard")));
    EXPECT_FALSE(enabled(QStringLiteral("orderButton")));
    EXPECT_FALSE(enabled(QStringLiteral("primaryButton")));
    EXPECT_TRUE(enabled(QStringLiteral("revealAllButton")));

    // The guide, per-app: three steps with the drag tile; Escape closes it.
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("setupButton")));
    ASSERT_TRUE(shown(QStringLiteral("accessGuideTitle")));
    EXPECT_TRUE(shown(QStringLiteral("fullDiskAccessStep")));
    EXPECT_TRUE(shown(QStringLiteral("appDragTile")));
    EXPECT_EQ(presenter()->accessGuide()->lastStepNumber(), QStringLiteral("3"));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("showInFinder")));
    EXPECT_EQ(desktop().workspace().revealedPaths(),
              QStringList{QStringLiteral("/Applications/Velmor Tray.app")});
    // The system's prompt, which lists the app in the pane, is the journey's first step.
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("openAccessibilitySettings")));
    EXPECT_EQ(desktop().accessibility().promptCount(), 1);
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
    int listed = 0;
    for (const TrayItem& item : model().items()) {
        const bool placed = model().nativeGroups().contains(item.id);
        EXPECT_EQ(find(settingsWindow(), QStringLiteral("glyph:") + item.id) != nullptr, placed)
            << item.id.toStdString();
        listed += placed ? 1 : 0;
    }
    const TrayOrganizerAreas::MarkerList& markers = *presenter()->areas()->organizerAreas().markers();
    for (int row = 0; row < markers.count(); ++row) {
        EXPECT_EQ(shown(QStringLiteral("noItems:") +
                        markers.value(row, TrayOrganizerMarkerRow::SectionRole).toString()),
                  markers.value(row, TrayOrganizerMarkerRow::CountRole).toInt() == 0);
    }
    EXPECT_TRUE(shown(QStringLiteral("noItems:alwaysHidden")) || listed > 0);

    click(settingsWindow(), require(settingsWindow(), QStringLiteral("permissionsButton")));
    ASSERT_TRUE(shown(QStringLiteral("accessGuideTitle")));
    EXPECT_FALSE(shown(QStringLiteral("fullDiskAccessStep")));
    EXPECT_FALSE(shown(QStringLiteral("appDragTile")));
    EXPECT_EQ(presenter()->accessGuide()->lastStepNumber(), QStringLiteral("2"));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("accessGuideDone")));
    EXPECT_FALSE(shown(QStringLiteral("accessGuideTitle")));
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

    // Kept across a relaunch, under its key.
    run().quit();
    settle();
    run().launch();
    settle();
    EXPECT_EQ(desktop().userDefaults().stringValue(QStringLiteral("appearance")), QStringLiteral("dark"));
    EXPECT_EQ(run().app().appearance(), QStringLiteral("dark"));
    ASSERT_NE(settingsWindow(), nullptr);
    EXPECT_TRUE(settingsWindow()->property("dark").toBool());
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("preferencesDisclosure")));
    menu = require(settingsWindow(), QStringLiteral("appearanceMenu"));
    EXPECT_EQ(menu->property("currentIndex").toInt(), 2);

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
    EXPECT_TRUE(shown(QStringLiteral("supportSettingsFooter"))) << "the preferences end with the suite's footer";
    presenter()->preferences()->setShown(false);
    presenter()->preferences()->setShown(true);
    const QList<QQuickItem*> items = allItems(window);
    for (const char* name : {"preferences", "supportSettingsFooter"}) {
        EXPECT_EQ(std::count_if(items.cbegin(), items.cend(),
                                [&](const QQuickItem* item) { return item->objectName() == QLatin1String(name); }),
                  1)
            << "shown again, the preferences are the same ones: " << name;
    }
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

// A screen reader's press of every control the organizer offers, in each of its states, does what
// a click does; a control the tables do not press fails the test.
TEST_F(OrganizerWindow, EveryControlDoesForAssistiveTechnologyWhatAClickDoes)
{
    using Pane = simulated_mac::SimulatedDesktop::SettingsPane;
    start();
    launch();
    QQuickWindow* window = settingsWindow();
    click(window, require(window, QStringLiteral("preferencesDisclosure")));
    // What a press posted and what is due now, without the time that brings the model's own refresh.
    // The last press quits the app, and its window goes with it.
    const QPointer<QQuickWindow> stillOpen = window;
    const auto handled = [&] {
        QCoreApplication::processEvents();
        run().scheduler().runUntilIdle();
        QCoreApplication::processEvents();
        if (stillOpen)
            QQuickTest::qWaitForPolish(stillOpen);
    };
    const auto findControl = [&](const QString& name) { return find(window, name); };
    const auto press = [&](const std::vector<PressCase>& table) { pressEach(table, findControl, handled); };
    const auto escape = [&] { QTest::keyClick(window, Qt::Key_Escape); };
    quint64 calls = 0;
    const auto noteCalls = [&] { calls = desktop().accessibility().callCount(); };
    // The model read the menu bar again.
    const auto refreshed = [&] { return desktop().accessibility().callCount() > calls; };
    const auto automaticOrder = [&](bool wanted) {
        return [this, wanted] {
            settle(2);
            return desktop().userDefaults().boolValue(
                       QStringLiteral("VelmorTray.Native.state.automaticOrder")) == wanted;
        };
    };
    TrayGroupEditor& editor = *presenter()->groups()->editor();
    TrayAccessGuidePresenter& guide = *presenter()->accessGuide();
    VelmorSignals& hub = *VelmorSignals::shared();
    const auto helpShows = [this](const char* topic) {
        return [this, topic] {
            return presenter()->helpTopic() == QLatin1String(topic) && shown(QStringLiteral("helpTitle"));
        };
    };
    const auto closeHelp = [&] { presenter()->setHelpTopic({}); };
    const auto feedbackShows = [&](bool bug) {
        return [&hub, bug, this] {
            return scene()->feedbackWindow()->isVisible() && hub.feedbackIsBug() == bug;
        };
    };
    const auto hideFeedback = [&] { scene()->feedbackWindow()->hide(); };
    const auto closeEditor = [&] { editor.cancel(); };
    const auto belowBar = [&](TrayBelowBarPreference::Mode mode) {
        return [this, mode] { return TrayBelowBarPreference::load(desktop().userDefaults()) == mode; };
    };
    const auto loginItem = [&](platform::LoginItemStatus status) {
        return [this, status] { return desktop().loginItems().status() == status; };
    };
    TrayRevealPreferences& reveal = run().app().delegate().revealPreferences();
    TrayArrangementPreferences& arrangement = run().app().delegate().arrangementPreferences();
    const auto newApps = [&](TraySection section) {
        return [&arrangement, section] { return arrangement.newApps() == section; };
    };
    TrayDisplayLayouts& layouts = *run().app().delegate().displayLayouts();
    const auto rehide = [&](int seconds) {
        return [&reveal, seconds] { return reveal.rehideDelay() == seconds; };
    };
    TrayRevealSettings& shortcuts = *presenter()->reveal();
    // Only the pressed recorder records: one that was still recording stops.
    const auto recording = [&](TrayShortcuts::Command command) {
        return [&shortcuts, command] {
            return std::all_of(TrayShortcuts::commands.begin(), TrayShortcuts::commands.end(),
                               [&](TrayShortcuts::Command other) {
                                   return shortcuts.recorder(other)->recording() == (other == command);
                               });
        };
    };
    const auto stopRecording = [&](TrayShortcuts::Command command) {
        return [&shortcuts, command] { shortcuts.recorder(command)->cancel(); };
    };
    const auto cleared = [&](TrayShortcuts::Command command) {
        return [this, command] { return !run().app().shortcuts().shortcut(command); };
    };

    const std::vector<PressCase> organizer = {
        {QStringLiteral("helpButton"), helpShows("grouping"), closeHelp},
        {QStringLiteral("appsInfoButton"), helpShows("icons"), closeHelp},
        {QStringLiteral("permissionsButton"), [&] { return guide.isOpen(); }, [&] { guide.dismiss(); }},
        {QStringLiteral("orderButton"), [&] { return shown(QStringLiteral("organizeAutomatically")); },
         escape},
        {QStringLiteral("refreshButton"), refreshed, {}, noteCalls},
        {QStringLiteral("primaryButton"), automaticOrder(true)},
        {QStringLiteral("revealAllButton"),
         [&] {
             settle(2);
             return !model().nativeConfigured();
         }},
        {QStringLiteral("addGroupButton"), [&] { return editor.isOpen(); }, closeEditor},
        {QStringLiteral("createFirstGroupButton"), [&] { return editor.isOpen(); }, closeEditor},
        {QStringLiteral("launchAtLoginSwitch"), loginItem(platform::LoginItemStatus::Enabled)},
        {QStringLiteral("launchAtLoginSwitch"), loginItem(platform::LoginItemStatus::NotRegistered)},
        {QStringLiteral("applyAtStartSwitch"), [&] { return arrangement.applyAtStart(); }},
        {QStringLiteral("applyAtStartSwitch"), [&] { return !arrangement.applyAtStart(); }},
        {QStringLiteral("newApps:Always hidden"), newApps(TraySection::alwaysHidden)},
        {QStringLiteral("newApps:Expandable menu"), newApps(TraySection::expandable)},
        {QStringLiteral("newApps:Always visible"), newApps(TraySection::alwaysVisible)},
        {QStringLiteral("saveLayoutButton"), [&] { return layouts.layouts().size() == 1; }},
        {QStringLiteral("deleteLayout:") + layouts.setup().words(),
         [&] { return layouts.layouts().isEmpty(); }},
        {QStringLiteral("sendFeedbackButton"), feedbackShows(false), hideFeedback},
        {QStringLiteral("reportBugButton"), feedbackShows(true), hideFeedback},
        {QStringLiteral("privacyInfoButton"),
         [&] { return showsText(window, QStringLiteral("Usage & privacy")); }, escape},
        {QStringLiteral("appearanceMenu"), [&] { return shown(QStringLiteral("appearance:Dark")); }},
        {QStringLiteral("appearance:Dark"), [&] { return run().app().appearance() == u"dark"; },
         [&] { run().app().setAppearance(QStringLiteral("system")); }},
        {QStringLiteral("belowBarMode:Never"), belowBar(TrayBelowBarPreference::Mode::Never)},
        {QStringLiteral("belowBarMode:Always"), belowBar(TrayBelowBarPreference::Mode::Always)},
        {QStringLiteral("belowBarMode:Automatic"), belowBar(TrayBelowBarPreference::Mode::Automatic)},
        {QStringLiteral("segment:Off"), rehide(0)},
        {QStringLiteral("segment:5 s"), rehide(5)},
        {QStringLiteral("segment:30 s"), rehide(30)},
        {QStringLiteral("segment:1 min"), rehide(60)},
        {QStringLiteral("segment:10 s"), rehide(10)},
        {QStringLiteral("revealOnHoverSwitch"), [&] { return reveal.revealOnHover(); }},
        {QStringLiteral("revealOnHoverSwitch"), [&] { return !reveal.revealOnHover(); }},
        {QStringLiteral("revealOnClickSwitch"), [&] { return reveal.revealOnClick(); }},
        {QStringLiteral("revealOnClickSwitch"), [&] { return !reveal.revealOnClick(); }},
        // Left recording: the next recorder's press stops it.
        {QStringLiteral("shortcutRecorder:toggleSection"), recording(TrayShortcuts::Command::ToggleSection)},
        {QStringLiteral("shortcutRecorder:revealAll"), recording(TrayShortcuts::Command::RevealAll),
         stopRecording(TrayShortcuts::Command::RevealAll)},
        {QStringLiteral("shortcutRecorder:search"), recording(TrayShortcuts::Command::Search),
         stopRecording(TrayShortcuts::Command::Search)},
        {QStringLiteral("shortcutRecorder:organizer"), recording(TrayShortcuts::Command::Organizer),
         stopRecording(TrayShortcuts::Command::Organizer)},
        {QStringLiteral("preferencesDisclosure"),
         [&] { return !shown(QStringLiteral("launchAtLoginSwitch")); },
         [&] { presenter()->preferences()->setShown(true); }},
    };
    const std::vector<PressCase> orderMenu = {
        {QStringLiteral("restorePreviousOrder"), automaticOrder(false)},
        {QStringLiteral("organizeAutomatically"), automaticOrder(true)},
        {QStringLiteral("aboutOrder"), helpShows("ordering"), closeHelp},
    };
    const std::vector<PressCase> guideSheet = {
        {QStringLiteral("openAccessibilitySettings"),
         [&] { return desktop().openSettingsPane() == Pane::Accessibility; }},
        {QStringLiteral("openFullDiskAccess"),
         [&] { return desktop().openSettingsPane() == Pane::FullDiskAccess; }},
        {QStringLiteral("showInFinder"), [&] { return !desktop().workspace().revealedPaths().isEmpty(); }},
        {QStringLiteral("accessGuideRefresh"), refreshed, {}, noteCalls},
        {QStringLiteral("accessGuideDone"), [&] { return !guide.isOpen(); }},
    };
    // Each symbol chosen in turn, the one chosen already last; then Cancel.
    std::vector<PressCase> editorSheet;
    QStringList symbols = editor.symbols();
    symbols.move(symbols.indexOf(editor.symbol()), symbols.size() - 1);
    for (const QString& symbol : symbols)
        editorSheet.push_back({QStringLiteral("groupSymbol:") + symbol,
                               [&editor, symbol] { return editor.symbol() == symbol; }});
    editorSheet.push_back({QStringLiteral("groupEditorCancel"), [&] { return !editor.isOpen(); }});
    // Each command's clear button, shown once it has a shortcut.
    std::vector<PressCase> clearButtons;
    for (const TrayShortcuts::Command command : TrayShortcuts::commands)
        clearButtons.push_back(
            {QStringLiteral("shortcutClear:") + TrayShortcuts::name(command), cleared(command)});
    const std::vector<PressCase> lastly = {
        {QStringLiteral("quitButton"), [&] { return desktop().applicationShell().terminateRequested(); }},
    };
    const auto covered = [&] {
        expectCovered(window, {organizer, orderMenu, guideSheet, editorSheet, clearButtons, lastly});
    };

    covered();
    press(organizer);
    const char* keys[] = {"⌃⌥⌘1", "⌃⌥⌘2", "⌃⌥⌘3", "⌃⌥⌘4"};
    for (std::size_t i = 0; i < TrayShortcuts::commands.size(); ++i)
        ASSERT_FALSE(run().app().shortcuts().record(
            TrayShortcuts::commands[i], *platform::KeyCombination::parse(QString::fromUtf8(keys[i]))));
    handled();
    covered();
    press(clearButtons);
    // The order entries act on applied grouping.
    presenter()->status()->primaryAction();
    settle(2);
    for (const PressCase& entry : orderMenu) {
        click(window, require(window, QStringLiteral("orderButton")));
        covered();
        press({entry});
    }
    presenter()->openAccessGuide();
    handled();
    covered();
    press(guideSheet);
    presenter()->groups()->openNewGroup();
    handled();
    covered();
    press(editorSheet);

    // A group: saved, then its options menu and each of their entries.
    presenter()->groups()->openNewGroup();
    handled();
    enterText(require(window, QStringLiteral("groupNameField")), QStringLiteral("Work"));
    press({{QStringLiteral("groupEditorSave"), [&] { return model().namedGrouping().groups.size() == 1; }}});
    settle();
    const QString id = uuid_text::canonical(model().namedGrouping().groups.front().id);
    ASSERT_TRUE(dropText(area(QStringLiteral("group:") + id), payloadPrefix + weather));
    settle(2);
    ASSERT_TRUE(model().nativeConfigured());
    const PressCase options{QStringLiteral("groupOptions:") + id,
                            [&] { return shown(QStringLiteral("editGroup:") + id); }};
    press({options,
           {QStringLiteral("toggleGroup:") + id,
            [&] {
                settle(2);
                return !model().expandedNamedGroups().isEmpty();
            }},
           options,
           {QStringLiteral("editGroup:") + id, [&] { return editor.isOpen() && editor.name() == u"Work"; },
            closeEditor},
           options,
           {QStringLiteral("deleteGroup:") + id, [&] {
                settle(2);
                return model().namedGrouping().groups.isEmpty();
            }}});

    // A card's move menu.
    click(window, card(weather), Qt::RightButton);
    press({{QStringLiteral("move:") + weather + QStringLiteral(":alwaysHidden"), [&] {
                settle(2);
                return destinationOf(weather) == QStringLiteral("alwaysHidden");
            }}});
    press(lastly);
}

// Update Settings, System Settings' Login Items pane and the organizer show one login item; the
// window comes back as if built anew, whatever was open when it closed.
TEST_F(OrganizerWindow, TheLaunchAtLoginSwitchFollowsTheLoginItemAndTheWindowReopensAfresh)
{
    startWith([](QJsonObject& root) {
        root.insert(QStringLiteral("loginItems"), QJsonObject{{QStringLiteral("requiresApproval"), true}});
    });
    QQuickWindow* window = settingsWindow();
    click(window, require(window, QStringLiteral("preferencesDisclosure")));
    QQuickItem* toggle = require(window, QStringLiteral("launchAtLoginSwitch"));
    ASSERT_FALSE(toggle->property("checked").toBool());
    EXPECT_FALSE(shown(QStringLiteral("launchAtLoginNote")));

    run().app().updates().showPreferences();
    settle();
    QQuickWindow* updates = scene()->updateSettingsWindow();
    ASSERT_NE(updates, nullptr);
    click(updates, require(updates, QStringLiteral("launchAtLoginSwitch")));
    settle();
    ASSERT_EQ(desktop().loginItems().status(), platform::LoginItemStatus::RequiresApproval);
    EXPECT_TRUE(toggle->property("checked").toBool())
        << "registered, waiting for approval, as Update Settings says";
    EXPECT_EQ(shownText(QStringLiteral("launchAtLoginNote")),
              QStringLiteral("Approval is needed in System Settings before this app can launch at login."));

    // Things left open; the window closes; the user withdraws the item in System Settings.
    presenter()->setHelpTopic(QStringLiteral("icons"));
    presenter()->groups()->openNewGroup();
    settle();
    ASSERT_TRUE(shown(QStringLiteral("groupEditorTitle")));
    scene()->closeSettingsWindow();
    settle();
    desktop().openSystemSettings(simulated_mac::SimulatedDesktop::SettingsPane::LoginItems);
    settle();
    click(macWindow(), require(macWindow(), QStringLiteral("switch:Velmor Tray")));
    ASSERT_EQ(desktop().loginItems().status(), platform::LoginItemStatus::Enabled);
    run().app().updates().showPreferences();
    settle();
    EXPECT_TRUE(require(updates, QStringLiteral("launchAtLoginSwitch"))->property("checked").toBool());

    scene()->showSettingsWindow();
    settle();
    EXPECT_FALSE(shown(QStringLiteral("preferences"))) << "the disclosure is closed again";
    EXPECT_FALSE(shown(QStringLiteral("groupEditorTitle")));
    EXPECT_FALSE(shown(QStringLiteral("helpTitle")));
    EXPECT_TRUE(presenter()->helpTopic().isEmpty());
    click(window, require(window, QStringLiteral("preferencesDisclosure")));
    EXPECT_TRUE(toggle->property("checked").toBool());
    // Launched at login, the app would start with every icon shown: the row says how to change it.
    EXPECT_EQ(shownText(QStringLiteral("launchAtLoginNote")),
              QStringLiteral("Velmor Tray opens with every icon shown. Turn on “Apply grouping when Velmor "
                             "Tray opens” to start with your grouping."));
    click(window, require(window, QStringLiteral("applyAtStartSwitch")));
    EXPECT_FALSE(shown(QStringLiteral("launchAtLoginNote")));

    // Turned off from the organizer: Update Settings follows at once.
    click(window, toggle);
    settle();
    EXPECT_EQ(desktop().loginItems().status(), platform::LoginItemStatus::NotRegistered);
    EXPECT_FALSE(require(updates, QStringLiteral("launchAtLoginSwitch"))->property("checked").toBool());
}

// A copy started from the Downloads folder in the user's home may not launch at login: the
// organizer's switch says so, and neither a press nor the presenter registers anything.
TEST_F(OrganizerWindow, ACopyInDownloadsCannotLaunchAtLogin)
{
    start();
    run().host().configuration().mainBundle =
        platform::MainBundle::embedded(desktop().home() + QStringLiteral("/Downloads/Velmor Tray.app"));
    launch();
    const QString reason =
        QStringLiteral("Move this app to Applications and reopen it to enable launch at login.");
    QQuickWindow* window = settingsWindow();
    click(window, require(window, QStringLiteral("preferencesDisclosure")));
    QQuickItem* toggle = require(window, QStringLiteral("launchAtLoginSwitch"));
    EXPECT_FALSE(toggle->isEnabled());
    EXPECT_EQ(shownText(QStringLiteral("launchAtLoginNote")), reason);
    pressAccessibly(toggle);
    presenter()->preferences()->setLaunchAtLogin(true);
    settle();
    EXPECT_EQ(desktop().loginItems().status(), platform::LoginItemStatus::NotRegistered);
    EXPECT_FALSE(toggle->property("checked").toBool());
}

TEST_F(OrganizerWindow, NoMoveIsOfferedWhileTheControllerIsBusy)
{
    start();
    launch();
    // Busy as the controller makes it while it applies grouping.
    model().setNativeBusy(true);
    QCoreApplication::processEvents();
    QQuickTest::qWaitForPolish(settingsWindow());
    click(settingsWindow(), card(weather), Qt::RightButton);
    ASSERT_TRUE(model().nativeBusy());
    for (const char* destination : {"alwaysVisible", "expandable", "alwaysHidden"}) {
        QQuickItem* entry =
            require(settingsWindow(), QStringLiteral("move:") + weather + u':' + QLatin1String(destination));
        ASSERT_TRUE(entry && entry->isVisible());
        EXPECT_FALSE(entry->isEnabled()) << destination;
    }
    QTest::keyClick(settingsWindow(), Qt::Key_Escape);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(card(weather));
    ASSERT_NE(accessible, nullptr);
    for (const QString& action : accessible->actionInterface()->actionNames())
        EXPECT_FALSE(action.startsWith(QStringLiteral("Move to"))) << action.toStdString();
    accessible->actionInterface()->doAction(QStringLiteral("Move to Always hidden"));
    presenter()->areas()->move(weather, QStringLiteral("alwaysHidden"));
    QCoreApplication::processEvents();
    EXPECT_EQ(destinationOf(weather), QStringLiteral("alwaysVisible"));
}

// Names take two lines before they are cut and statuses are readable; the hint reads on the
// headline's line; the disclosure's one chevron turns.
TEST_F(OrganizerWindow, CardTextsAreWholeTheHintSitsOnTheHeadlineAndTheChevronTurns)
{
    start();
    launch();
    for (const GroupedApp& row : model().groupedApps()) {
        QQuickItem* name = find(settingsWindow(), QStringLiteral("cardName:") + row.id);
        ASSERT_NE(name, nullptr) << row.id.toStdString();
        EXPECT_FALSE(name->property("truncated").toBool()) << row.appName.toStdString();
        QQuickItem* status = find(settingsWindow(), QStringLiteral("cardStatus:") + row.id);
        if (!status || !status->isVisible())
            continue;
        EXPECT_GE(status->property("font").value<QFont>().pixelSize(), 10);
        EXPECT_FALSE(status->property("truncated").toBool()) << row.status.value_or(QString()).toStdString();
    }
    const auto baseline = [&](const char* name) {
        QQuickItem* item = require(settingsWindow(), QString::fromLatin1(name));
        return item->mapToScene(QPointF(0, item->baselineOffset())).y();
    };
    EXPECT_NEAR(baseline("appsHint"), baseline("appsTitle"), 1.0);

    QQuickItem* chevron = require(settingsWindow(), QStringLiteral("preferencesChevron"));
    const QString closed = chevron->property("symbol").toString();
    EXPECT_EQ(chevron->rotation(), 0);
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("preferencesDisclosure")));
    EXPECT_EQ(chevron->property("symbol").toString(), closed);
    EXPECT_EQ(chevron->rotation(), 90);
}

// Read from the windows' trees, so that the look cannot drift back: every push button of every
// window is one shape, an empty area's symbol and sentence are centred, a recorder's refusal sits
// right under that recorder in the warning colour (its clear button inside it), the switches start
// on the labels' line, and the controls at the ends of the Preferences rows share one right edge.
TEST_F(OrganizerWindow, ButtonsRecordersAndSwitchesKeepOneLayoutAcrossTheWindows)
{
    start();
    launch();
    QQuickWindow* window = settingsWindow();
    presenter()->preferences()->setShown(true);
    VelmorSignals::shared()->showSupport(false);
    run().app().updates().showPreferences();
    settle();
    QQuickWindow* feedback = scene()->feedbackWindow();
    QQuickWindow* updates = scene()->updateSettingsWindow();
    ASSERT_TRUE(feedback && updates);
    const auto sceneRect = [](QQuickItem* item) {
        return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    };
    const auto named = [&](QQuickWindow* in, const char* name) {
        return require(in, QString::fromUtf8(name));
    };

    struct Button {
        QQuickWindow* window;
        const char* name;
    };
    QQuickItem* reference = named(window, "quitButton");
    ASSERT_NE(reference, nullptr);
    const auto backgroundOf = [](QQuickItem* button) {
        return button->property("background").value<QQuickItem*>();
    };
    for (const Button& button :
         {Button{window, "permissionsButton"}, Button{window, "revealAllButton"},
          Button{window, "primaryButton"}, Button{window, "sendFeedbackButton"},
          Button{window, "shortcutRecorder:search"}, Button{feedback, "copyReportButton"},
          Button{feedback, "sendReportButton"}, Button{updates, "checkForUpdatesButton"},
          Button{updates, "reportBugButton"}}) {
        SCOPED_TRACE(button.name);
        QQuickItem* item = named(button.window, button.name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->height(), reference->height());
        EXPECT_EQ(backgroundOf(item)->property("radius"), backgroundOf(reference)->property("radius"));
        EXPECT_EQ(item->property("topPadding"), reference->property("topPadding"));
    }
    for (QQuickItem* prominent : {named(window, "primaryButton"), named(feedback, "sendReportButton")})
        EXPECT_EQ(backgroundOf(prominent)->property("color").value<QColor>().rgba(),
                  SuitePalette().colors(AppearancePalette::Role::controlAccent).light.rgba());
    EXPECT_NE(backgroundOf(reference)->property("color").value<QColor>().rgba(),
              SuitePalette().colors(AppearancePalette::Role::controlAccent).light.rgba());

    // An emptied area centres its symbol over its sentence, both in the middle of the area.
    const QList<GroupedApp> rows = model().groupedApps();
    for (const GroupedApp& row : rows) {
        if (destinationOf(row.id) == QLatin1String("alwaysHidden"))
            model().setDestination(row, QStringLiteral("expandable"));
        settle();
    }
    const qreal middle = sceneRect(named(window, "area:alwaysHidden")).center().x();
    EXPECT_NEAR(sceneRect(named(window, "emptyAreaSymbol:alwaysHidden")).center().x(), middle, 1.0);
    EXPECT_NEAR(sceneRect(named(window, "emptyAreaText:alwaysHidden")).center().x(), middle, 1.0);

    const qreal labels = sceneRect(named(window, "appearancePicker")).left();
    for (const char* name : {"launchAtLoginSwitch", "revealOnHoverSwitch", "revealOnClickSwitch"}) {
        QQuickItem* indicator = named(window, name)->property("indicator").value<QQuickItem*>();
        EXPECT_EQ(sceneRect(indicator).left(), labels) << name;
    }
    const qreal rightEdge = sceneRect(named(window, "appearanceMenu")).right();
    for (const char* name :
         {"rehidePicker", "belowBarMode:Never", "shortcutRecorder:toggleSection", "shortcutRecorder:search"})
        EXPECT_NEAR(sceneRect(named(window, name)).right(), rightEdge, 1.0) << name;

    QQuickItem* recorder = named(window, "shortcutRecorder:search");
    EXPECT_TRUE(sceneRect(recorder).contains(sceneRect(named(window, "shortcutClear:search"))));
    window->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_TRUE(pressAccessibly(recorder));
    QTest::keyClick(window, Qt::Key_Space, Qt::MetaModifier);
    settle();
    QQuickItem* refusal = named(window, "shortcutMessage:search");
    ASSERT_TRUE(refusal->isVisible());
    EXPECT_EQ(text(refusal), QStringLiteral("⌘Space belongs to macOS. Choose another shortcut."));
    EXPECT_EQ(sceneRect(refusal).left(), sceneRect(recorder).left());
    EXPECT_GE(sceneRect(refusal).top(), sceneRect(recorder).bottom());
    EXPECT_LE(sceneRect(refusal).top(), sceneRect(recorder).bottom() + 6);
    EXPECT_EQ(refusal->property("color").value<QColor>().rgba(),
              SuitePalette().colors(AppearancePalette::Role::warning).light.rgba());
}

// A sheet shades the window behind it, visibly also in the dark appearance.
TEST_F(OrganizerWindow, ASheetDimsTheWindowBehindItInBothAppearances)
{
    start();
    launch();
    QQuickWindow* window = settingsWindow();
    const QPoint corner(8, window->height() - 8);
    const auto lightness = [&] {
        const QImage picture = window->grabWindow();
        return QColor(picture.pixel(corner * window->devicePixelRatio())).lightnessF();
    };
    for (const bool dark : {false, true}) {
        window->setProperty("dark", dark);
        settle();
        const double open = lightness();
        presenter()->openAccessGuide();
        settle();
        EXPECT_GT(open - lightness(), 0.05) << (dark ? "dark" : "light");
        presenter()->accessGuide()->dismiss();
        settle();
    }
}

// The organizer's and the guide's sentences, word for word as the app must say them (the literals
// here catch a typo in the constants the windows show), each found on the window in the state that
// shows it.
TEST_F(OrganizerWindow, ShowsItsSentencesWordForWord)
{
    startWith([](QJsonObject& root) { setSystem(root, QStringLiteral("accessibilityTrusted"), false); });
    QQuickWindow* window = settingsWindow();
    expectShown(window, {"Velmor Tray",
                         "Your menu bar, organized.",
                         "How grouping works",
                         "Permissions…",
                         "Connect your menu bar",
                         "Allow Accessibility to load app icons. Setup shows you exactly which app to add.",
                         "Set up permissions…",
                         "Changes saved · Grouping off",
                         "Order",
                         "Reveal all",
                         "Apply grouping",
                         "Menu bar apps",
                         "About app icons",
                         "Drag an app to choose where it belongs.",
                         "Refresh",
                         "Always visible",
                         "Stay in the menu bar",
                         "Expandable menu",
                         "Show with the chevron",
                         "Always hidden",
                         "Return with Reveal all",
                         "Drop apps here",
                         "Custom groups",
                         "Add group",
                         "A separate menu bar button for each group.",
                         "Create your first group",
                         "Preferences",
                         "Only on this Mac",
                         "Quit Tray"});
    click(window, require(window, QStringLiteral("preferencesDisclosure")));
    expectShown(window, {"Launch at login"});

    const struct {
        const char* topic;
        const char* title;
        const char* text;
    } topics[] = {
        {"grouping", "How grouping works",
         "Drag an app between areas to apply its group immediately. Apply grouping activates your saved "
         "setup "
         "after launch. Reveal all restores access to every app. Custom groups get their own menu bar "
         "button. "
         "Changes apply per app across displays; system icons stay unchanged."},
        {"ordering", "Menu bar order",
         "Moving a card or applying grouping places grouped icons left of Tray’s chevron, with group buttons "
         "on "
         "the right. Previous positions are saved. Restore previous order returns to manual placement until "
         "your "
         "next card move. You can also Command-drag supported icons in the Mac menu bar."},
        {"icons", "App icons",
         "Cards show application icons, rather than a live copy of every menu bar glyph. Right-click a card "
         "for "
         "Move to options. Saved apps remain manageable when an app is not running. Screen Recording is not "
         "required."},
    };
    for (const auto& topic : topics) {
        presenter()->setHelpTopic(QString::fromLatin1(topic.topic));
        settle();
        EXPECT_EQ(shownText(QStringLiteral("helpTitle")), QString::fromUtf8(topic.title));
        EXPECT_EQ(shownText(QStringLiteral("helpText")), QString::fromUtf8(topic.text));
    }
    presenter()->setHelpTopic({});

    click(window, require(window, QStringLiteral("setupButton")));
    expectShown(
        window,
        {"Connect Velmor Tray", "Done", "Two system permissions let Tray list and organize menu bar apps.",
         "Allow Accessibility", "Turn on Velmor Tray in Accessibility so your app icons can appear here.",
         "Open Accessibility Settings…", "Add Tray to Full Disk Access",
         "If Tray is missing from the list, drag this app into it — or click + in Settings and choose "
         "Velmor Tray from Applications.",
         "Velmor Tray.app", "Drag to Settings", "Velmor Tray application. Drag to the Full Disk Access list.",
         "Open Full Disk Access…", "Show Velmor Tray in Finder", "Turn on its switch",
         "Enable Velmor Tray in the list. If macOS asks, quit and reopen Tray. Then return here and refresh.",
         "Refresh permissions and apps",
         "Tray cannot grant itself access. Screen Recording is not needed for app grouping."});
    click(window, require(window, QStringLiteral("accessGuideDone")));

    click(window, require(window, QStringLiteral("createFirstGroupButton")));
    expectShown(window, {"New group", "Group name", "Menu bar icon", "Cancel", "Save"});
    enterText(require(window, QStringLiteral("groupNameField")), QStringLiteral("Work"));
    click(window, require(window, QStringLiteral("groupEditorSave")));
    expectShown(window, {"Drop apps into this group", "Options for Work"});
}

TEST_F(OrganizerWindow, ShowsItsMarkerModeSentencesWordForWord)
{
    startWith(
        [](QJsonObject& root) { setSystem(root, QStringLiteral("version"), QStringLiteral("26.0.0")); });
    QQuickWindow* window = settingsWindow();
    // The scenario's marker leaves the hidden section empty.
    expectShown(window, {"Command-drag icons in the Mac menu bar to arrange them.", "No detected items"});
    click(window, require(window, QStringLiteral("orderButton")));
    expectShown(window, {"Organize automatically", "Restore previous order", "About menu bar order…"});
    QTest::keyClick(window, Qt::Key_Escape);
    settle();
    click(window, require(window, QStringLiteral("permissionsButton")));
    expectShown(window, {"Allow Accessibility to list your menu bar apps.", "Refresh your apps",
                         "After enabling Accessibility, return here and refresh the app list."});
}
