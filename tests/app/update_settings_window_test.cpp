#include "app/accessible_press.h"
#include "distribution/app_distribution_settings.h"
#include "distribution/app_updates.h"
#include "gui_run_fixture.h"
#include "simulated_mac/updater/appcast_text.h"
#include "simulated_mac/updater/signing_key.h"
#include "simulated_mac/updater/simulated_updater.h"
#include "suite_ui/launch_at_login_settings.h"
#include "suite_ui/velmor_signals.h"
#include "support/https_test_server.h"

using namespace velmor;
using namespace velmor::test;

namespace {

using simulated_mac::SimulatedUpdater;

const QByteArray feedTarget = "/appcast.xml";
const QByteArray archiveTarget = "/archive.zip";

// How far apart the lightest and darkest pixels the control draws are: a control that reads as
// disabled has less of it than one that can be used.
double contrast(const QImage& picture, QQuickItem* item)
{
    const QRectF area = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    const double scale = item->window()->devicePixelRatio();
    const QImage crop = picture.copy(QRectF(area.topLeft() * scale, area.size() * scale).toRect());
    double lightest = 0;
    double darkest = 1;
    for (int y = 0; y < crop.height(); ++y) {
        for (int x = 0; x < crop.width(); ++x) {
            const double lightness = QColor(crop.pixel(x, y)).lightnessF();
            lightest = std::max(lightest, lightness);
            darkest = std::min(darkest, lightness);
        }
    }
    return lightest - darkest;
}

// The "Update Settings" window and the update commands of the application menu, against a local
// HTTPS feed signed with a key made for the test.
class UpdateSettingsJourney : public GuiRunTest {
protected:
    HttpsTestServer server;
    SigningKey key;
    QByteArray archive = QByteArray(64 * 1024, 'v');

    // With usage statistics configured, the app keeps the markers that report an installed update.
    void startWithFeed(bool telemetry = false)
    {
        ASSERT_TRUE(key.isValid());
        server.setContent(archiveTarget, archive);
        server.setContent(
            feedTarget,
            appcastText({Release{QStringLiteral("58"), QStringLiteral("1.5"), QStringLiteral("26.0"),
                                 server.url(QString::fromLatin1(archiveTarget)),
                                 QString::number(archive.size()), key.sign(archive)}}));
        start();
        platform::MainBundle& bundle = run().host().configuration().mainBundle;
        bundle.setInfoValue(QStringLiteral("SUFeedURL"), server.url(QString::fromLatin1(feedTarget)));
        bundle.setInfoValue(QStringLiteral("SUPublicEDKey"), key.publicKeyBase64());
        run().setUpdateTrust(server.clientTls());
        if (telemetry) {
            bundle.setInfoValue(QStringLiteral("VelmorNavrelEndpoint"), server.url());
            bundle.setInfoValue(QStringLiteral("VelmorNavrelKey"), QStringLiteral("key"));
            run().setTelemetryTrust(server.clientTls());
        }
        launch();
    }
    void chooseFromAppMenu(const QString& title)
    {
        click(macWindow(), require(macWindow(), QStringLiteral("appMenu:Velmor Tray")));
        click(macWindow(), require(macWindow(), QStringLiteral("menuItem:") + title));
        if (QQuickWindow* window = updates(); window && window->isVisible())
            QQuickTest::qWaitForPolish(window);
    }
    bool appMenuHas(const QString& title)
    {
        click(macWindow(), require(macWindow(), QStringLiteral("appMenu:Velmor Tray")));
        const bool found = find(macWindow(), QStringLiteral("menuItem:") + title) != nullptr;
        QTest::keyClick(macWindow(), Qt::Key_Escape);
        settle();
        return found;
    }
    QQuickWindow* updates() { return scene() ? scene()->updateSettingsWindow() : nullptr; }
    // A plain start, then the window as a person opens it: from the app menu.
    QQuickWindow* startAndOpenSettings()
    {
        start();
        launch();
        chooseFromAppMenu(utf8(AppUpdates::preferencesTitle));
        return updates();
    }
    QQuickItem* control(const char* name) { return require(updates(), QString::fromLatin1(name)); }
    bool waitForAlert()
    {
        return spinUntil(
            [this] {
                return find(macWindow(), QStringLiteral("updaterAlert")) &&
                       find(macWindow(), QStringLiteral("updaterAlert"))->isVisible();
            },
            [this] { settle(0.1); });
    }
    void answerAlert(const char* choice)
    {
        ASSERT_TRUE(waitForAlert());
        click(macWindow(), require(macWindow(), QStringLiteral("updaterChoice:") + utf8(choice)));
    }
};

TEST_F(UpdateSettingsJourney, ABuildWithoutAFeedShowsOneWindowWithEverythingDisabled)
{
    QQuickWindow* window = startAndOpenSettings();
    ASSERT_NE(window, nullptr) << scene()->loadErrors().join(u'\n').toStdString();
    EXPECT_TRUE(window->isVisible());

    // The Startup section first, with this app's detail; then the updates; then the footer.
    QQuickItem* startup = control("startupSection");
    QQuickItem* updatesSection = control("updatesSection");
    QQuickItem* footer = control("supportSettingsFooter");
    ASSERT_TRUE(startup && updatesSection && footer);
    EXPECT_LT(startup->mapToScene({}).y(), updatesSection->mapToScene({}).y());
    EXPECT_LT(updatesSection->mapToScene({}).y(), footer->mapToScene({}).y());
    EXPECT_EQ(text(control("startupExplanation")), utf8(AppDistributionSettings::startupDetailText));
    EXPECT_EQ(text(control("updateMessage")), utf8(AppUpdates::notPublishedMessage));
    EXPECT_FALSE(control("automaticChecksSwitch:switch")->isEnabled());
    EXPECT_FALSE(control("automaticDownloadsSwitch:switch")->isEnabled());
    EXPECT_FALSE(control("checkForUpdatesButton")->isEnabled());
    EXPECT_FALSE(control("pendingWorkButton")->isVisible());

    // One window: closed and chosen again, it is the same one, seen by the window server.
    window->close();
    settle();
    chooseFromAppMenu(utf8(AppUpdates::preferencesTitle));
    EXPECT_EQ(updates(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(desktop().applicationShell().windows().first().title,
              utf8(AppUpdates::SettingsWindowStyle::title));
}

TEST_F(UpdateSettingsJourney, TheTogglesFollowTheirRulesAndAnUpdateIsInstalledAndTheAppRelaunched)
{
    startWithFeed(true);
    ASSERT_TRUE(run().app().updates().available());
    chooseFromAppMenu(utf8(AppUpdates::preferencesTitle));
    ASSERT_NE(updates(), nullptr);
    EXPECT_EQ(text(control("updateMessage")),
              QStringLiteral("Updates use the internet. App content is never included in update checks."));
    QQuickItem* checks = control("automaticChecksSwitch:switch");
    QQuickItem* downloads = control("automaticDownloadsSwitch:switch");
    ASSERT_TRUE(checks->isEnabled());
    if (!checks->property("checked").toBool())
        click(updates(), checks);
    ASSERT_TRUE(checks->property("checked").toBool());
    ASSERT_TRUE(downloads->isEnabled());
    const bool downloading = downloads->property("checked").toBool();
    EXPECT_EQ(downloading, run().app().updates().automaticDownloads());

    // Without automatic checks the download switch is disabled and keeps its value.
    click(updates(), checks);
    EXPECT_FALSE(checks->property("checked").toBool());
    EXPECT_FALSE(downloads->isEnabled());
    EXPECT_EQ(downloads->property("checked").toBool(), downloading);
    EXPECT_EQ(run().app().updates().automaticDownloads(), downloading);

    // The framework's own dialog on the simulated Mac: install, and the app opens again updated.
    chooseFromAppMenu(utf8(AppUpdates::checkTitle));
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(text(require(macWindow(), QStringLiteral("updaterAlertTitle"))),
              utf8(SimulatedUpdater::foundTitle).arg(QStringLiteral("Velmor Tray")));
    answerAlert(SimulatedUpdater::installChoice);
    // Downloaded, the framework asks once more before it quits the app.
    ASSERT_TRUE(spinUntil([this] { return run().updaterAlert()->shown(); }, [this] { settle(0.1); }));
    EXPECT_EQ(text(require(macWindow(), QStringLiteral("updaterAlertTitle"))),
              utf8(SimulatedUpdater::readyTitle).arg(QStringLiteral("Velmor Tray"), QStringLiteral("1.5")));
    answerAlert(SimulatedUpdater::installAndRelaunchChoice);
    ASSERT_TRUE(spinUntil(
        [this] { return run().host().mainBundle().infoString(QStringLiteral("CFBundleVersion")) == u"58"; },
        [this] { settle(0.1); }));
    settle();
    ASSERT_TRUE(run().isRunning());
    ASSERT_NE(settingsWindow(), nullptr) << "the relaunched app opens its window";
    EXPECT_TRUE(settingsWindow()->isVisible());
    EXPECT_FALSE(find(macWindow(), QStringLiteral("updaterAlert"))->isVisible());
    click(macWindow(), require(macWindow(), QStringLiteral("appMenu:Velmor Tray")));
    click(macWindow(), require(macWindow(), QStringLiteral("menuItem:About Velmor Tray")));
    EXPECT_TRUE(mac().aboutText().contains(QStringLiteral("1.5"))) << mac().aboutText().toStdString();
    // The relaunched app reports the installed update, once: the next start reports nothing.
    const QList<VelmorEvent> recorded = run().takeEvents();
    EXPECT_EQ(recorded.count(VelmorEvent::updateInstalled), 1);
    EXPECT_LT(recorded.indexOf(VelmorEvent::updateDownloaded), recorded.lastIndexOf(VelmorEvent::appOpened));
    run().quit();
    run().launch();
    settle();
    EXPECT_EQ(run().takeEvents().count(VelmorEvent::updateInstalled), 0);
}

TEST_F(UpdateSettingsJourney, TheHeldBackCommandsComeAndGoWithTheUpdate)
{
    startWithFeed();
    const QString finish = QStringLiteral("Finish Recording…");
    int resolved = 0;
    run().app().updates().configurePendingWorkAction(finish, QStringLiteral("Recording in progress."),
                                                     [&resolved] { ++resolved; });
    run().app().updates().start([] { return true; });
    settle();
    EXPECT_FALSE(appMenuHas(finish)) << "configured, but nothing is held back";

    chooseFromAppMenu(utf8(AppUpdates::checkTitle));
    answerAlert(SimulatedUpdater::installChoice);
    ASSERT_TRUE(spinUntil([this] { return run().app().updates().hasPendingInstallation(); },
                          [this] { settle(0.1); }));
    // The menu is set again once the controller's change has gone round.
    EXPECT_TRUE(spinUntil([&] { return appMenuHas(finish); }, [this] { settle(0.1); }));
    chooseFromAppMenu(utf8(AppUpdates::preferencesTitle));
    EXPECT_TRUE(control("pendingWorkButton")->isVisible());
    EXPECT_EQ(text(control("pendingWorkButton")), finish);
    EXPECT_EQ(resolved, 0);
    // "Later" gives the release up (the updater's test) and the views hide the commands again
    // (the views' test).
}

TEST_F(UpdateSettingsJourney, AFailedCheckEndsInTheFrameworksErrorDialog)
{
    startWithFeed();
    server.setResponder([](const ReceivedRequest& request) {
        return request.target == feedTarget ? HttpsTestServer::Answer::serverError
                                            : HttpsTestServer::Answer::ok;
    });
    chooseFromAppMenu(utf8(AppUpdates::checkTitle));
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(text(require(macWindow(), QStringLiteral("updaterAlertTitle"))),
              utf8(SimulatedUpdater::errorTitle));
    EXPECT_EQ(text(require(macWindow(), QStringLiteral("updaterAlertText"))),
              utf8(SimulatedUpdater::feedFailedError));
    // Return answers with the default, the only choice.
    macWindow()->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(macWindow()));
    EXPECT_TRUE(find(macWindow(), QStringLiteral("updaterAlert"))->hasActiveFocus());
    QTest::keyClick(macWindow(), Qt::Key_Return);
    settle();
    EXPECT_FALSE(run().updaterAlert()->shown());
    EXPECT_FALSE(find(macWindow(), QStringLiteral("updaterAlert"))->isVisible());
    chooseFromAppMenu(utf8(AppUpdates::preferencesTitle));
    EXPECT_EQ(text(control("updateMessage")),
              QStringLiteral("The update was not installed. You can check for updates again."));
}

// Titled and closable only, as made: neither resized, zoomed nor minimized into other shapes.
TEST_F(UpdateSettingsJourney, TheUpdateSettingsAndFeedbackWindowsKeepTheSizeTheyWereMadeWith)
{
    startAndOpenSettings();
    VelmorSignals::shared()->showSupport(false);
    settle();
    for (QQuickWindow* window : {updates(), scene()->feedbackWindow()}) {
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->minimumSize(), window->size()) << window->title().toStdString();
        EXPECT_EQ(window->maximumSize(), window->size()) << window->title().toStdString();
        const Qt::WindowFlags flags = window->flags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint) && flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint)) << window->title().toStdString();
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint)) << window->title().toStdString();
    }
}

// A disabled switch or button is drawn fainter than one that can be used, in either appearance.
TEST_F(UpdateSettingsJourney, DisabledControlsReadAsDisabledInBothAppearances)
{
    QQuickWindow* window = startAndOpenSettings();
    ASSERT_NE(window, nullptr);
    QQuickItem* usable = control("launchAtLoginSwitch");
    QQuickItem* disabled = control("automaticChecksSwitch:switch");
    ASSERT_TRUE(usable->isEnabled());
    ASSERT_FALSE(disabled->isEnabled());
    QQuickItem* button = control("sendFeedbackButton");
    QQuickItem* disabledButton = control("checkForUpdatesButton");
    ASSERT_FALSE(disabledButton->isEnabled());
    for (const bool dark : {false, true}) {
        window->setProperty("dark", dark);
        settle();
        const QImage picture = window->grabWindow();
        EXPECT_LT(contrast(picture, disabled), 0.6 * contrast(picture, usable)) << (dark ? "dark" : "light");
        EXPECT_LT(contrast(picture, disabledButton), 0.6 * contrast(picture, button))
            << (dark ? "dark" : "light");
    }
}

// What a screen reader's press does to each control of the window, and to the framework's own
// dialog it leads to: what a click does.
TEST_F(UpdateSettingsJourney, EveryControlDoesForAssistiveTechnologyWhatAClickDoes)
{
    startWithFeed();
    chooseFromAppMenu(utf8(AppUpdates::preferencesTitle));
    QQuickWindow* window = updates();
    ASSERT_NE(window, nullptr);
    AppUpdates& controller = run().app().updates();
    const auto handled = [&] {
        settle(0.1);
        QQuickTest::qWaitForPolish(window);
    };
    bool before = false;
    const auto hideFeedback = [&] { scene()->feedbackWindow()->hide(); };
    const PressCase checks{QStringLiteral("automaticChecksSwitch:switch"),
                           [&] { return controller.automaticChecks() != before; },
                           {},
                           [&] { before = controller.automaticChecks(); }};
    std::vector<PressCase> settings = {
        {QStringLiteral("launchAtLoginSwitch"),
         [&] { return desktop().loginItems().status() == platform::LoginItemStatus::Enabled; }},
        {QStringLiteral("checkForUpdatesButton"), [&] { return waitForAlert(); },
         [&] {
             pressAccessibly(require(macWindow(),
                                     QStringLiteral("updaterChoice:") + utf8(SimulatedUpdater::laterChoice)));
             settle();
             EXPECT_FALSE(run().updaterAlert()->shown()) << "Later, pressed, answers the framework's dialog";
         }},
        checks,
    };
    // Downloads can be switched only while checks are on.
    if (controller.automaticChecks())
        settings.push_back(checks);
    settings.push_back({QStringLiteral("automaticDownloadsSwitch:switch"),
                        [&] { return controller.automaticDownloads() != before; },
                        {},
                        [&] { before = controller.automaticDownloads(); }});
    settings.insert(
        settings.end(),
        {{QStringLiteral("sendFeedbackButton"),
          [&] { return scene()->feedbackWindow()->isVisible() && !VelmorSignals::shared()->feedbackIsBug(); },
          hideFeedback},
         {QStringLiteral("reportBugButton"),
          [&] { return scene()->feedbackWindow()->isVisible() && VelmorSignals::shared()->feedbackIsBug(); },
          hideFeedback},
         {QStringLiteral("privacyInfoButton"),
          [&] { return showsText(window, QStringLiteral("Usage & privacy")); }}});
    expectCovered(window, {settings});
    pressEach(
        settings, [&](const QString& name) { return find(window, name); }, handled);
}

// At the window's foot the popover opens above its button: the button and the two choices it
// explains stay in sight.
TEST_F(UpdateSettingsJourney, ThePrivacyPopoverLeavesItsButtonAndTheChoicesInSight)
{
    QQuickWindow* window = startAndOpenSettings();
    ASSERT_NE(window, nullptr);
    auto* flickable = control("updateSettingsScroll")->property("contentItem").value<QQuickItem*>();
    ASSERT_NE(flickable, nullptr);
    flickable->setProperty("contentY", flickable->property("contentHeight").toDouble() - flickable->height());
    settle();
    click(window, control("privacyInfoButton"));
    QQuickItem* popover = nullptr;
    for (QQuickItem* item : allItems(window)) {
        if (item->isVisible() && text(item) == QStringLiteral("Usage & privacy"))
            popover = item;
    }
    ASSERT_NE(popover, nullptr);
    while (popover->parentItem() && !popover->parentItem()->inherits("QQuickOverlay"))
        popover = popover->parentItem();
    const auto sceneRect = [](QQuickItem* item) {
        return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    };
    for (const char* name : {"privacyInfoButton", "usageCheckBox", "cityCheckBox"})
        EXPECT_FALSE(sceneRect(popover).intersects(sceneRect(control(name)))) << name << " is covered";
    EXPECT_GE(sceneRect(popover).top(), 0);
}

TEST_F(UpdateSettingsJourney, ShowsItsSentencesWordForWord)
{
    QQuickWindow* window = startAndOpenSettings();
    ASSERT_NE(window, nullptr);
    expectShown(window,
                {"Update Settings", "Startup", "Launch at login",
                 "Open this app automatically when you log in to your Mac", "Applies only to this app.",
                 "Updates", "Automatically check for updates", "Download updates automatically",
                 "Check for Updates…", "Updates are not published for this build yet.",
                 "Installation waits until active work finishes. You can keep automatic checks off and "
                 "update manually.",
                 "Send feedback…", "Report a bug…", "Share usage statistics", "Include approximate city",
                 "About usage statistics and privacy"});
    click(window, control("privacyInfoButton"));
    expectShown(window,
                {"Usage & privacy",
                 "Usage statistics and approximate city are enabled by default. Your choices are saved "
                 "independently in each app and preserved across updates.",
                 "Usage includes feature names, app and macOS versions, architecture, memory class and a "
                 "random installation identifier. No account, files, audio, text, clipboard or terminal "
                 "content is collected. Turning it off clears pending events and resets the identifier.",
                 "City and country are estimated from the network connection, without GPS. Reports are "
                 "sent only when you choose Send and do not include the installation identifier or city."});
}

} // namespace
