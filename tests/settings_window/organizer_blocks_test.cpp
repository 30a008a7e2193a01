#include "foundation/uuid_text.h"
#include "settings_window/tray_areas_block.h"
#include "settings_window/tray_groups_block.h"
#include "settings_window/tray_layout_settings.h"
#include "settings_window/tray_notices_block.h"
#include "settings_window/tray_preferences_block.h"
#include "settings_window/tray_status_block.h"
#include "tray/tray_organizer_drop.h"
#include "tray/tray_run_fixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QUrl>

#include <functional>
#include <utility>

using namespace velmor;
using namespace velmor::test;

namespace {

constexpr const char* weatherBundle = "com.example.weather";

// The organizer's blocks on the whole app, without a window: what each shows and does follows the
// model, and each signals only what changed.
class OrganizerBlocksTest : public TrayRunTest {
protected:
    void startDefault(const std::function<void(QJsonObject&)>& change = {})
    {
        QFile file(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        if (change)
            change(root);
        start(QJsonDocument(root).toJson().constData());
        launch();
    }
    static void setSystem(QJsonObject& root, const char* key, const QJsonValue& value)
    {
        QJsonObject system = root.value(QStringLiteral("system")).toObject();
        system.insert(QString::fromLatin1(key), value);
        root.insert(QStringLiteral("system"), system);
    }
    QString destinationOf(const QString& bundleID)
    {
        for (const GroupedApp& row : model().groupedApps()) {
            if (row.id == bundleID)
                return model().destination(row);
        }
        return {};
    }
};

// Each of the status block's actions reaches its hook only while its control is enabled: without
// permission only "Reveal all" works, and while the controller is busy nothing does.
TEST_F(OrganizerBlocksTest, StatusActionsReachTheControllerOnlyWhileEnabled)
{
    const struct {
        const char* state;
        bool permission;
        bool busy;
        QStringList called;
    } cases[] = {
        {"connected", true, false, {"organize", "restore", "reveal", "arrange"}},
        {"without permission", false, false, {"reveal"}},
        {"busy", true, true, {}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.state);
        startDefault([&](QJsonObject& root) { setSystem(root, "accessibilityTrusted", each.permission); });
        TrayStatusBlock status(model(), run().services());
        QStringList called;
        TrayModel::Hooks& hooks = model().hooks();
        const TrayModel::Hooks original = hooks;
        hooks.organizeAutomatically = [&] { called.append(QStringLiteral("organize")); };
        hooks.restorePreviousOrder = [&] { called.append(QStringLiteral("restore")); };
        hooks.revealNative = [&] { called.append(QStringLiteral("reveal")); };
        hooks.arrangeNative = [&] { called.append(QStringLiteral("arrange")); };
        hooks.toggleNative = [&] { called.append(QStringLiteral("toggle")); };
        model().setNativeBusy(each.busy);
        status.update();
        EXPECT_EQ(status.showsSetupCard(), !each.permission);
        EXPECT_EQ(status.orderEnabled(), each.called.contains(QStringLiteral("organize")));
        EXPECT_EQ(status.primaryEnabled(), each.called.contains(QStringLiteral("arrange")));
        EXPECT_EQ(status.revealEnabled(), each.called.contains(QStringLiteral("reveal")));
        EXPECT_EQ(status.statusText(),
                  text(each.busy ? TrayStatusBlock::applyingStatus : TrayStatusBlock::inactiveStatus));
        status.organizeAutomatically();
        status.restorePreviousOrder();
        status.revealAll();
        status.primaryAction();
        EXPECT_EQ(called, each.called);
        hooks = original;
        model().setNativeBusy(false);
    }
}

// A change the block does not show is not signalled; the controller's busy state is.
TEST_F(OrganizerBlocksTest, StatusSignalsOnlyWhatItShowsDifferently)
{
    startDefault();
    TrayStatusBlock status(model(), run().services());
    QSignalSpy controller(&status, &TrayStatusBlock::controllerChanged);
    QSignalSpy permission(&status, &TrayStatusBlock::permissionChanged);
    status.update();
    EXPECT_EQ(controller.count() + permission.count(), 0);
    model().setNativeBusy(true);
    status.update();
    EXPECT_EQ(controller.count(), 1);
    EXPECT_EQ(permission.count(), 0);
    model().setNativeBusy(false);
}

TEST_F(OrganizerBlocksTest, ThePrimaryActionAppliesGroupingThenCollapsesAndExpandsIt)
{
    startDefault();
    TrayStatusBlock status(model(), run().services());
    EXPECT_FALSE(status.showsSetupCard());
    EXPECT_EQ(status.primaryTitle(), text(TrayStatusBlock::applyText));
    status.primaryAction();
    ASSERT_TRUE(waitUntil([&] { return model().nativeConfigured() && !model().nativeBusy(); }));
    status.update();
    EXPECT_TRUE(status.groupingActive());
    EXPECT_EQ(status.statusText(), text(TrayStatusBlock::activeStatus));
    const QString before = status.primaryTitle();
    EXPECT_TRUE(before == text(TrayStatusBlock::collapseExtrasText) ||
                before == text(TrayStatusBlock::expandExtrasText));
    status.primaryAction();
    ASSERT_TRUE(waitUntil([&] { return !model().nativeBusy(); }));
    EXPECT_NE(status.primaryTitle(), before) << "the extras changed sides";
}

TEST_F(OrganizerBlocksTest, TheStartWarningGetsNoRowAndOthersOfferAccessSetupOnlyInPerAppMode)
{
    startDefault();
    TrayNoticesBlock notices(model());
    QSignalSpy warning(&notices, &TrayNoticesBlock::warningChanged);
    model().setNativeWarning(QStringLiteral("Review your app groups: two apps could not be hidden."));
    notices.update();
    EXPECT_TRUE(notices.warningText().isEmpty());
    EXPECT_FALSE(notices.showsAccessSetup());
    model().setNativeWarning(QStringLiteral("Could not hide apps. Allow Full Disk Access."));
    notices.update();
    EXPECT_EQ(notices.warningText(), QStringLiteral("Could not hide apps. Allow Full Disk Access."));
    EXPECT_TRUE(notices.showsAccessSetup());
    model().setNativePerApp(false);
    notices.update();
    EXPECT_FALSE(notices.warningText().isEmpty());
    EXPECT_FALSE(notices.showsAccessSetup());
    EXPECT_EQ(warning.count(), 2) << "the row appeared, then lost its button";
}

// A drop is taken only when it carries exactly one app the organizer lists, and never while the
// controller is busy; a refused drop changes nothing.
TEST_F(OrganizerBlocksTest, RefusedDropsChangeNothing)
{
    startDefault();
    TrayAreasBlock areas(model());
    QSignalSpy groups(&model(), &TrayModel::appGroupsChanged);
    const QString hidden = QStringLiteral("alwaysHidden");
    const QString app = QString::fromLatin1(weatherBundle);
    const QString payload = QString::fromLatin1(TrayOrganizerDrop::payloadPrefix);
    const struct {
        const char* why;
        QList<QUrl> urls;
        bool hasText;
        QString text;
    } refused[] = {
        {"text from another app", {}, true, QStringLiteral("Weather Desk")},
        {"an app not listed", {}, true, payload + QStringLiteral("com.example.unknown")},
        {"nothing", {}, false, QString()},
        {"an empty text", {}, true, QString()},
        {"two apps at once",
         {QUrl(payload + app), QUrl(payload + QStringLiteral("com.example.pixelpicker"))},
         false,
         QString()},
    };
    for (const auto& drop : refused)
        EXPECT_FALSE(areas.drop(hidden, drop.urls, drop.hasText, drop.text)) << drop.why;
    EXPECT_TRUE(areas.drop(QStringLiteral("alwaysVisible"), {}, true, payload + app))
        << "the area it is in already takes it, changing nothing";

    model().setNativeBusy(true);
    areas.update();
    EXPECT_DOUBLE_EQ(areas.cardOpacity(), 0.5);
    EXPECT_FALSE(areas.drop(hidden, {}, true, payload + app)) << "busy";
    areas.move(app, hidden);
    model().setNativeBusy(false);
    areas.update();
    EXPECT_DOUBLE_EQ(areas.cardOpacity(), 1.0);

    EXPECT_EQ(destinationOf(app), QStringLiteral("alwaysVisible"));
    EXPECT_EQ(groups.count(), 0);
    // The window presents its frames when this test says so.
    std::function<void()> frame;
    areas.setAfterFrame([&frame](std::function<void()> task) { frame = std::move(task); });
    EXPECT_TRUE(areas.drop(hidden, {QUrl(payload + app)}, false, QString()));
    QCoreApplication::processEvents();
    EXPECT_GE(areas.organizerAreas().cards(hidden)->indexOf(app), 0) << "drawn where it was dropped";
    EXPECT_EQ(destinationOf(app), QStringLiteral("alwaysVisible")) << "the model's move waits for that frame";
    EXPECT_FALSE(areas.drop(QStringLiteral("expandable"), {}, true, payload + app)) << "one move at a time";
    // Nor does a "Move to" from the keyboard take the place of the move that waits.
    const QString picker = QStringLiteral("com.example.pixelpicker");
    const QString pickerWas = destinationOf(picker);
    areas.move(picker, pickerWas == hidden ? QStringLiteral("expandable") : hidden);
    QCoreApplication::processEvents();
    ASSERT_TRUE(frame);
    std::exchange(frame, {})();
    EXPECT_EQ(destinationOf(app), hidden) << "one URL is taken";
    EXPECT_EQ(destinationOf(picker), pickerWas);
    run().settle();
    areas.update();

    // A drawn move the model does not take (the controller got busy before the frame came): the
    // card goes back to where the model has it.
    const QString expandable = QStringLiteral("expandable");
    areas.move(app, expandable);
    QCoreApplication::processEvents();
    EXPECT_GE(areas.organizerAreas().cards(expandable)->indexOf(app), 0);
    model().setNativeBusy(true);
    ASSERT_TRUE(frame);
    std::exchange(frame, {})();
    EXPECT_EQ(destinationOf(app), hidden);
    EXPECT_GE(areas.organizerAreas().cards(hidden)->indexOf(app), 0);
    EXPECT_EQ(areas.organizerAreas().cards(expandable)->indexOf(app), -1);
    model().setNativeBusy(false);

    // A card drawn in a group that is deleted before the frame comes back where the model has it,
    // rather than out of every area.
    TrayGroupsBlock groupsBlock(model(), areas.organizerAreas());
    model().saveNamedGroup(std::nullopt, QStringLiteral("Work"), QStringLiteral("briefcase"));
    run().settle();
    areas.update();
    const QString id = uuid_text::canonical(model().namedGrouping().groups.front().id);
    const QString work = QString::fromLatin1(TrayModel::groupDestinationPrefix) + id;
    areas.move(app, work);
    QCoreApplication::processEvents();
    EXPECT_GE(areas.organizerAreas().cards(work)->indexOf(app), 0);
    groupsBlock.deleteGroup(id);
    areas.update();
    EXPECT_GE(areas.organizerAreas().cards(hidden)->indexOf(app), 0);
    ASSERT_TRUE(frame);
    std::exchange(frame, {})();
    EXPECT_EQ(destinationOf(app), hidden);
}

TEST_F(OrganizerBlocksTest, TheDropTargetIsTheAreaLastEnteredUntilItIsLeftOrDropped)
{
    startDefault();
    TrayAreasBlock areas(model());
    areas.dragEntered(QStringLiteral("expandable"));
    areas.dragExited(QStringLiteral("alwaysHidden"));
    EXPECT_EQ(areas.dropTarget(), QStringLiteral("expandable")) << "leaving another area changes nothing";
    areas.dragExited(QStringLiteral("expandable"));
    EXPECT_TRUE(areas.dropTarget().isEmpty());
    areas.dragEntered(QStringLiteral("expandable"));
    areas.drop(QStringLiteral("expandable"), {}, false, QString());
    EXPECT_TRUE(areas.dropTarget().isEmpty()) << "even a refused drop ends the hover";
}

TEST_F(OrganizerBlocksTest, GroupActionsIgnoreIdsThatNameNoGroupAndTogglingNeedsGrouping)
{
    startDefault();
    TrayAreasBlock areas(model());
    TrayGroupsBlock groups(model(), areas.organizerAreas());
    QSignalSpy hasGroups(&groups, &TrayGroupsBlock::hasGroupsChanged);
    EXPECT_FALSE(groups.hasGroups());
    model().saveNamedGroup(std::nullopt, QStringLiteral("Work"), QStringLiteral("briefcase"));
    areas.update();
    groups.update();
    EXPECT_TRUE(groups.hasGroups());
    EXPECT_EQ(hasGroups.count(), 1);
    const QUuid id = model().namedGrouping().groups.front().id;

    for (const QString& garbage :
         {QString(), QStringLiteral("not-a-uuid"), QUuid::createUuid().toString(QUuid::WithoutBraces)}) {
        groups.editGroup(garbage);
        groups.deleteGroup(garbage);
        groups.toggleGroup(garbage);
    }
    EXPECT_FALSE(groups.editor()->isOpen());
    EXPECT_EQ(model().namedGrouping().groups.size(), 1);

    int toggled = 0;
    const auto toggle = model().hooks().toggleNamedGroup;
    model().hooks().toggleNamedGroup = [&](const QUuid&) { ++toggled; };
    groups.toggleGroup(id.toString(QUuid::WithoutBraces));
    EXPECT_EQ(toggled, 0) << "not while grouping is off";
    model().hooks().toggleNamedGroup = toggle;
    groups.editGroup(id.toString(QUuid::WithoutBraces));
    EXPECT_TRUE(groups.editor()->isOpen());
    groups.deleteGroup(id.toString(QUuid::WithoutBraces));
    areas.update();
    groups.update();
    EXPECT_FALSE(groups.hasGroups());
}

TEST_F(OrganizerBlocksTest, AFailedLaunchAtLoginChangeSaysSoAndSetsTheSwitchBack)
{
    startDefault([](QJsonObject& root) {
        root.insert(QStringLiteral("loginItems"), QJsonObject{{QStringLiteral("registerError"),
                                                               QStringLiteral("Operation not permitted")}});
    });
    TrayLayoutSettings layout(model(), delegate());
    TrayPreferencesBlock preferences(run().app(), run().services(), layout);
    preferences.setLaunchAtLogin(true);
    run().settle();
    EXPECT_FALSE(preferences.launchAtLogin());
    EXPECT_EQ(model().messageText(), text(TrayPreferencesBlock::launchAtLoginFailure));
}

// With launch at login on, the note says a start shows every icon until the start switch is on,
// and only in per-app mode, where a start releases what the last run hid.
TEST_F(OrganizerBlocksTest, TheLaunchAtLoginNoteSaysWhatAStartShows)
{
    startDefault();
    TrayLayoutSettings layout(model(), delegate());
    TrayPreferencesBlock preferences(run().app(), run().services(), layout);
    QSignalSpy changed(&preferences, &TrayPreferencesBlock::launchAtLoginChanged);
    EXPECT_TRUE(preferences.launchAtLoginNote().isEmpty());
    preferences.setLaunchAtLogin(true);
    run().settle();
    ASSERT_TRUE(preferences.launchAtLogin());
    EXPECT_EQ(preferences.launchAtLoginNote(), text(TrayPreferencesBlock::startShowsEveryIconText));
    layout.setApplyAtStart(true);
    EXPECT_TRUE(preferences.launchAtLoginNote().isEmpty());
    layout.setApplyAtStart(false);
    const int before = changed.count();
    model().setNativePerApp(false);
    preferences.update();
    EXPECT_EQ(changed.count(), before + 1) << "the note follows the mode";
    EXPECT_TRUE(preferences.launchAtLoginNote().isEmpty());
}

} // namespace
