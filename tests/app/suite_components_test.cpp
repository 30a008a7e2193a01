#include "app/accessible_press.h"
#include "app/support_footer_slot.h"
#include "controls/appearance.h"
#include "distribution/app_updates.h"
#include "distribution/pending_terminal_update_notice.h"
#include "distribution/pending_work_update_notice.h"
#include "gui_run_fixture.h"
#include "simulated_mac/simulated_login_items.h"
#include "simulated_mac/simulated_workspace.h"
#include "suite_ui/background_quit_confirmation.h"
#include "suite_ui/dock_presence.h"
#include "suite_ui/launch_at_login_settings.h"
#include "suite_ui/support_settings_footer.h"
#include "suite_ui/velmor_signals.h"
#include "suite_ui/views/suite_palette.h"

#include <QQmlComponent>
#include <QSignalSpy>
#include <QtQml/qqml.h>

using namespace velmor;
using namespace velmor::test;

namespace {

// The suite's components on their own, each in the smallest window that hosts it (as the settings
// window's slot does), over the services of the app running on the simulated Mac.
class SuiteComponentTest : public GuiRunTest {
protected:
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_host;

    void TearDown() override
    {
        m_host.reset();
        m_engine.reset();
        GuiRunTest::TearDown();
    }

    // The module's component `element` (e.g. "SupportSettingsFooter") with its presenter, placed in
    // a window of the suite's palette the way a host window's slot places it.
    QQuickWindow* host(const char* module, const char* element, QObject* presenter, int height = 420)
    {
        m_host.reset();
        m_engine = std::make_unique<QQmlEngine>();
        prepareEngine(*m_engine);
        const QString folder = QString::fromLatin1(module).replace(u'.', u'/');
        QQmlComponent windowComponent(m_engine.get(),
                                      QUrl(QStringLiteral("qrc:/qt/qml/Velmor/SuiteUi/SuiteWindow.qml")));
        m_host.reset(qobject_cast<QQuickWindow*>(windowComponent.createWithInitialProperties(
            {{QStringLiteral("width"), 520}, {QStringLiteral("height"), height}})));
        EXPECT_NE(m_host, nullptr) << windowComponent.errorString().toStdString();
        QQmlComponent component(m_engine.get(), QUrl(QStringLiteral("qrc:/qt/qml/") + folder + u'/' +
                                                     QString::fromLatin1(element) + QStringLiteral(".qml")));
        auto* item = qobject_cast<QQuickItem*>(component.createWithInitialProperties(
            {{QStringLiteral("presenter"), QVariant::fromValue(presenter)}}));
        EXPECT_NE(item, nullptr) << component.errorString().toStdString();
        if (!m_host || !item) {
            delete item;
            return nullptr;
        }
        item->setParent(m_host.get());
        item->setParentItem(m_host->contentItem());
        item->setPosition({20, 20});
        item->setWidth(480);
        m_host->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_host.get()));
        QQuickTest::qWaitForPolish(m_host.get());
        return m_host.get();
    }
    QQuickItem* control(const char* name) { return require(m_host.get(), QString::fromLatin1(name)); }
    void clickHosted(const char* name)
    {
        click(m_host.get(), control(name));
        QQuickTest::qWaitForPolish(m_host.get());
    }
};

TEST_F(SuiteComponentTest, TheFooterShowsTheConsentRulesAndThePrivacyPopover)
{
    start();
    platform::MainBundle& bundle = run().host().configuration().mainBundle;
    bundle.setInfoValue(QStringLiteral("VelmorNavrelEndpoint"), QStringLiteral("https://navrel.example/api"));
    bundle.setInfoValue(QStringLiteral("VelmorNavrelKey"), QStringLiteral("key"));
    bundle.setInfoValue(utf8(SupportSettingsFooter::privacyPolicyInfoKey),
                        QStringLiteral("https://velmor.example/privacy"));
    launch();
    SupportSettingsFooter footer(VelmorSignals::shared(), run().host().mainBundle(),
                                 *run().services().workspace);
    ASSERT_NE(host("Velmor.SuiteUi", "SupportSettingsFooter", &footer), nullptr);

    QQuickItem* usage = control("usageCheckBox");
    QQuickItem* city = control("cityCheckBox");
    EXPECT_TRUE(usage->property("checked").toBool()) << "on by default";
    clickHosted("cityCheckBox");
    EXPECT_FALSE(VelmorSignals::shared()->locationEnabled());
    clickHosted("cityCheckBox");

    // Usage off: the city box keeps its stored choice but cannot change.
    clickHosted("usageCheckBox");
    EXPECT_FALSE(VelmorSignals::shared()->enabled());
    EXPECT_FALSE(usage->property("checked").toBool());
    EXPECT_FALSE(city->isEnabled());
    EXPECT_TRUE(city->property("checked").toBool());
    clickHosted("cityCheckBox");
    EXPECT_TRUE(VelmorSignals::shared()->locationEnabled()) << "a disabled box changes nothing";

    // The info button opens the popover with the policy link.
    clickHosted("privacyInfoButton");
    QQuickItem* link = control("privacyPolicyLink");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isVisible());
    click(m_host.get(), link);
    EXPECT_EQ(desktop().workspace().openedUrls().value(0),
              QUrl(QStringLiteral("https://velmor.example/privacy")));

    // Escape closes it.
    m_host->requestActivate();
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_host.get()));
    QTest::keyClick(m_host.get(), Qt::Key_Escape);
    QQuickTest::qWaitForPolish(m_host.get());
    EXPECT_FALSE(footer.privacyDetails());
    // The window goes before the presenters it shows.
    m_host.reset();
}

TEST_F(SuiteComponentTest, TheStartupSectionShowsEachStateOfTheLoginItem)
{
    start();
    launch();
    platform::ManualScheduler& scheduler = run().scheduler();
    const auto locations = LaunchAtLoginController::Locations::of(run().host());
    const QString detail = QStringLiteral("Applies only to this app.");

    // Outside Applications: the switch is off limits and the line says why.
    const platform::MainBundle downloaded(
        QVariantMap{{QStringLiteral("CFBundleIdentifier"), QStringLiteral("local.velmor.tray")}},
        QStringLiteral("/Users/me/Downloads/Velmor Tray.app"));
    simulated_mac::SimulatedLoginItems plain(scheduler, {});
    LaunchAtLoginSettings outside(plain, downloaded, locations, scheduler, detail);
    ASSERT_NE(host("Velmor.SuiteUi", "LaunchAtLoginSettings", &outside), nullptr);
    EXPECT_FALSE(control("launchAtLoginSwitch")->isEnabled());
    EXPECT_EQ(text(control("startupExplanation")), utf8(LaunchAtLoginController::notInstalledReason));

    // Approval required: the text and the way to System Settings.
    simulated_mac::ScenarioLoginItems approval;
    approval.requiresApproval = true;
    simulated_mac::SimulatedLoginItems waiting(scheduler, approval);
    LaunchAtLoginSettings approving(waiting, run().host().mainBundle(), locations, scheduler, detail);
    ASSERT_NE(host("Velmor.SuiteUi", "LaunchAtLoginSettings", &approving), nullptr);
    clickHosted("launchAtLoginSwitch");
    scheduler.runUntilIdle();
    QQuickTest::qWaitForPolish(m_host.get());
    EXPECT_EQ(text(control("startupExplanation")), utf8(LaunchAtLoginSettings::approvalText));
    EXPECT_TRUE(control("openLoginItemsButton")->isVisible());

    // A refused registration: the switch stays off and the system's reason is shown.
    simulated_mac::ScenarioLoginItems refusing;
    refusing.registerError = QStringLiteral("Operation not permitted");
    simulated_mac::SimulatedLoginItems failing(scheduler, refusing);
    LaunchAtLoginSettings failed(failing, run().host().mainBundle(), locations, scheduler, detail);
    ASSERT_NE(host("Velmor.SuiteUi", "LaunchAtLoginSettings", &failed), nullptr);
    EXPECT_FALSE(control("startupError")->isVisible());
    clickHosted("launchAtLoginSwitch");
    scheduler.runUntilIdle();
    QQuickTest::qWaitForPolish(m_host.get());
    EXPECT_FALSE(control("launchAtLoginSwitch")->property("checked").toBool());
    EXPECT_TRUE(control("startupError")->isVisible());
    EXPECT_TRUE(text(control("startupError")).startsWith(utf8(LaunchAtLoginController::failurePrefix)));
    EXPECT_TRUE(text(control("startupError")).contains(QStringLiteral("Operation not permitted")));
    // The window goes before the presenters it shows.
    m_host.reset();
}

TEST_F(SuiteComponentTest, TheBackgroundQuitAlertOffersItsChoicesAndEscapeCancels)
{
    start();
    launch();
    BackgroundQuitConfirmation busy(QStringLiteral("Velmor Tray"), true, desktop().applicationShell(),
                                    DockPresence::shared());
    QList<BackgroundQuitConfirmation::Choice> choices;
    QObject::connect(&busy, &BackgroundQuitConfirmation::finished, &busy,
                     [&](BackgroundQuitConfirmation::Choice choice) { choices.append(choice); });
    QQmlEngine engine;
    prepareEngine(engine);
    QQmlComponent component(&engine,
                            QUrl(QStringLiteral("qrc:/qt/qml/Velmor/SuiteUi/BackgroundQuitAlert.qml")));
    ASSERT_TRUE(component.isReady()) << component.errorString().toStdString();
    std::unique_ptr<QQuickWindow> alert(qobject_cast<QQuickWindow*>(
        component.createWithInitialProperties({{QStringLiteral("presenter"), QVariant::fromValue(&busy)}})));
    ASSERT_NE(alert, nullptr);
    EXPECT_FALSE(alert->isVisible());
    busy.request();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(alert.get()));
    QQuickTest::qWaitForPolish(alert.get());
    EXPECT_EQ(text(require(alert.get(), QStringLiteral("backgroundQuitMessage"))),
              QStringLiteral("Keep Velmor Tray running?"));
    EXPECT_EQ(text(require(alert.get(), QStringLiteral("backgroundQuitInformative"))),
              busy.informativeText());
    EXPECT_FALSE(require(alert.get(), QStringLiteral("quitAppButton"))->isEnabled()) << "busy";
    EXPECT_TRUE(require(alert.get(), QStringLiteral("keepRunningButton"))->isEnabled());

    alert->requestActivate();
    QTest::keyClick(alert.get(), Qt::Key_Escape);
    EXPECT_FALSE(alert->isVisible());
    ASSERT_EQ(choices.size(), 1);
    EXPECT_EQ(choices.first(), BackgroundQuitConfirmation::Choice::Cancel);

    // Closed by its window's close button: the request ends as "Cancel" ends it, and comes again.
    busy.request();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(alert.get()));
    alert->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(busy.isOpen());
    EXPECT_EQ(choices.value(1), BackgroundQuitConfirmation::Choice::Cancel);
    busy.request();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(alert.get())) << "a later request shows the alert again";

    // A screen reader's press of each choice does what a click does.
    BackgroundQuitConfirmation idle(QStringLiteral("Velmor Tray"), false, desktop().applicationShell(),
                                    nullptr);
    alert->setProperty("presenter", QVariant::fromValue(&idle));
    busy.choose(BackgroundQuitConfirmation::Choice::Cancel);
    QList<BackgroundQuitConfirmation::Choice> pressed;
    QObject::connect(&idle, &BackgroundQuitConfirmation::finished, &idle,
                     [&](BackgroundQuitConfirmation::Choice choice) { pressed.append(choice); });
    using Choice = BackgroundQuitConfirmation::Choice;
    const auto chose = [&](Choice choice) {
        return [&pressed, choice] { return !pressed.isEmpty() && pressed.last() == choice; };
    };
    const auto again = [&] {
        idle.request();
        QQuickTest::qWaitForPolish(alert.get());
    };
    const std::vector<PressCase> choicesTable = {
        {QStringLiteral("cancelButton"), chose(Choice::Cancel), again},
        {QStringLiteral("keepRunningButton"), chose(Choice::KeepRunning), again},
        {QStringLiteral("quitAppButton"),
         [&] { return chose(Choice::Quit)() && desktop().applicationShell().terminateRequested(); }},
    };
    again();
    expectCovered(alert.get(), {choicesTable});
    pressEach(
        choicesTable, [&](const QString& name) { return find(alert.get(), name); },
        [&] { QQuickTest::qWaitForPolish(alert.get()); });
    // The window goes before the presenters it shows.
    alert.reset();
}

TEST_F(SuiteComponentTest, APendingNoticeTakesNoRoomWhileNothingIsHeldBack)
{
    start();
    launch();
    AppUpdates& updates = run().app().updates();
    updates.configurePendingWorkAction(QStringLiteral("Finish Recording…"), QStringLiteral("Recording."),
                                       [] {});
    PendingWorkUpdateNotice work(updates);
    ASSERT_NE(host("Velmor.Distribution", "PendingWorkUpdateNotice", &work, 120), nullptr);
    QQuickItem* notice = control("pendingWorkUpdateNotice");
    EXPECT_FALSE(notice->isVisible()) << "a title configured, nothing held back";
    EXPECT_EQ(notice->implicitHeight(), 0);

    PendingTerminalUpdateNotice terminal(updates);
    ASSERT_NE(host("Velmor.Distribution", "PendingTerminalUpdateNotice", &terminal, 120), nullptr);
    EXPECT_FALSE(control("pendingTerminalUpdateNotice")->isVisible());
    // The window goes before the presenters it shows.
    m_host.reset();
}

// The settings window leaves a slot for the footer; the footer fills it and the layout makes room.
TEST_F(SuiteComponentTest, TheFooterFillsAHostWindowsSlot)
{
    start();
    launch();
    SupportSettingsFooter footer(VelmorSignals::shared(), run().host().mainBundle(),
                                 *run().services().workspace);
    QQmlEngine engine;
    prepareEngine(engine);
    QQmlComponent component(&engine);
    component.setData(R"(
import QtQuick
import QtQuick.Layouts
import Velmor.SuiteUi
SuiteWindow {
    width: 560
    height: 420
    dark: true
    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        Text { text: "Preferences" }
        Item { objectName: "supportFooterSlot"; Layout.fillWidth: true }
        Text { objectName: "below"; text: "The end" }
        Item { Layout.fillHeight: true }
    }
}
)",
                      QUrl(QStringLiteral("qrc:/tests/FooterHost.qml")));
    ASSERT_TRUE(component.isReady()) << component.errorString().toStdString();
    std::unique_ptr<QQuickWindow> window(qobject_cast<QQuickWindow*>(component.create()));
    ASSERT_NE(window, nullptr);
    QStringList errors;
    QQuickItem* placed = SupportFooterSlot::fill(*window, engine, footer, errors);
    ASSERT_NE(placed, nullptr) << errors.join(u'\n').toStdString();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QQuickTest::qWaitForPolish(window.get());
    QQuickItem* slot = require(window.get(), QString::fromLatin1(SupportFooterSlot::slotName));
    EXPECT_EQ(placed->width(), 520);
    EXPECT_GT(slot->height(), 40);
    EXPECT_EQ(slot->height(), placed->implicitHeight());
    EXPECT_GE(require(window.get(), QStringLiteral("below"))->y(), slot->y() + slot->height());
    // Placed after the window was built, the footer takes the window's appearance and the suite's
    // palette, and follows the appearance.
    const auto* appearance = qobject_cast<Appearance*>(qmlAttachedPropertiesObject<Appearance>(placed));
    ASSERT_NE(appearance, nullptr);
    const SuitePalette suite;
    using Role = AppearancePalette::Role;
    EXPECT_TRUE(appearance->dark());
    EXPECT_EQ(appearance->text(), suite.colors(Role::text).dark);
    EXPECT_EQ(appearance->controlAccent(), suite.colors(Role::controlAccent).dark);
    QSignalSpy colors(appearance, &Appearance::colorsChanged);
    window->setProperty("dark", false);
    EXPECT_FALSE(appearance->dark());
    EXPECT_EQ(colors.count(), 1);
    EXPECT_EQ(appearance->text(), suite.colors(Role::text).light);
    EXPECT_EQ(appearance->controlAccent(), suite.colors(Role::controlAccent).light);
    EXPECT_NE(suite.colors(Role::controlAccent).light, AppearancePalette().colors(Role::controlAccent).light)
        << "the app's own accent, not the neutral one";
    window.reset();

    // A window without a slot gets no footer.
    QQmlComponent bare(&engine, QUrl(QStringLiteral("qrc:/qt/qml/Velmor/SuiteUi/SuiteWindow.qml")));
    std::unique_ptr<QQuickWindow> plain(qobject_cast<QQuickWindow*>(bare.create()));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(SupportFooterSlot::fill(*plain, engine, footer, errors), nullptr);
    EXPECT_TRUE(errors.isEmpty());
}

} // namespace
