#include "app/accessible_press.h"
#include "distribution/app_updates.h"
#include "gui_run_fixture.h"
#include "suite_ui/beta_support_view.h"
#include "suite_ui/feedback_menu_items.h"
#include "suite_ui/support_window.h"
#include "suite_ui/velmor_signals.h"
#include "suite_ui/views/suite_palette.h"
#include "support/https_test_server.h"

#include <QAccessible>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

using namespace velmor;
using namespace velmor::test;

namespace {

using Answer = HttpsTestServer::Answer;

// The Feedback window reached the way a person reaches it: the Help menu of the app's menu bar.
class FeedbackWindowJourney : public GuiRunTest {
protected:
    HttpsTestServer server;

    void startConfigured(const QByteArray& scenario = {})
    {
        start(scenario);
        platform::MainBundle& bundle = run().host().configuration().mainBundle;
        bundle.setInfoValue(QStringLiteral("VelmorNavrelEndpoint"), server.url());
        bundle.setInfoValue(QStringLiteral("VelmorNavrelKey"), QStringLiteral("key"));
        run().setTelemetryTrust(server.clientTls());
        launch();
    }
    void chooseFromHelp(const char* title)
    {
        click(macWindow(), require(macWindow(), QStringLiteral("appMenu:Help")));
        click(macWindow(), require(macWindow(), QStringLiteral("menuItem:") + utf8(title)));
        if (QQuickWindow* window = feedback(); window && window->isVisible())
            QQuickTest::qWaitForPolish(window);
    }
    QQuickWindow* feedback() { return scene() ? scene()->feedbackWindow() : nullptr; }
    QQuickItem* control(const char* name) { return require(feedback(), QString::fromLatin1(name)); }
    void type(const QString& message)
    {
        QQuickItem* editor = control("feedbackEditor");
        ASSERT_NE(editor, nullptr);
        editor->setProperty("text", QString());
        click(feedback(), editor);
        for (const QChar c : message)
            QTest::keyClick(feedback(), c.toLatin1());
        settle();
    }
    // Pasting a long message, as a person would rather than type it.
    void paste(const QString& message)
    {
        control("feedbackEditor")->setProperty("text", message);
        settle();
    }
    bool sendEnabled() { return control("sendReportButton")->isEnabled(); }
    bool waitUntilSent()
    {
        return spinUntil(
            [this] { return text(control("sendReportButton")) == utf8(BetaSupportView::sendButton); },
            [this] { settle(0.1); });
    }
};

TEST_F(FeedbackWindowJourney, TheHelpMenuOpensOneWindowThatReportABugSwitchesAndBringsForward)
{
    startConfigured();
    chooseFromHelp(FeedbackMenuItems::sendFeedbackText);
    QQuickWindow* window = feedback();
    ASSERT_NE(window, nullptr) << scene()->loadErrors().join(u'\n').toStdString();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->height(), SupportWindow::maximumHeight) << "a large screen";
    EXPECT_EQ(text(control("feedbackPrompt")), utf8(BetaSupportView::feedbackPrompt));
    EXPECT_TRUE(control("segment:Feedback")->property("selected").toBool());

    // Type something, send the window behind, and ask for a bug report: the same window, switched.
    type(QStringLiteral("Nice"));
    settingsWindow()->requestActivate();
    chooseFromHelp(FeedbackMenuItems::reportBugText);
    EXPECT_EQ(feedback(), window);
    EXPECT_TRUE(control("segment:Bug report")->property("selected").toBool());
    EXPECT_EQ(text(control("feedbackPrompt")), utf8(BetaSupportView::bugPrompt));
    EXPECT_EQ(text(control("feedbackEditor")), QStringLiteral("Nice")) << "the message is kept";
    EXPECT_EQ(desktop().applicationShell().windows().first().kind, QStringLiteral("feedback"))
        << "brought forward as the key window";

    // The picker switches back by click too.
    click(window, control("segment:Feedback"));
    EXPECT_FALSE(VelmorSignals::shared()->feedbackIsBug());
}

// What counts and what a failed delivery keeps is the view's own test; here the window follows
// the view: the counter, the button while the service holds the answer, and the sentence after.
TEST_F(FeedbackWindowJourney, OnlyAMessageTheServiceTakesCanBeSentAndSendingEndsInItsSentence)
{
    startConfigured();
    chooseFromHelp(FeedbackMenuItems::reportBugText);
    ASSERT_NE(feedback(), nullptr);
    EXPECT_FALSE(sendEnabled()) << "empty";
    paste(QString(2001, u'a'));
    EXPECT_EQ(text(control("feedbackCounter")), QStringLiteral("2001/2000 characters"));
    EXPECT_FALSE(sendEnabled());
    EXPECT_FALSE(control("feedbackUnconfigured")->isVisible());

    // Usage events go to the same server; only reports are held.
    server.setResponder([](const ReceivedRequest& request) {
        return request.target.endsWith("/feedback") ? Answer::hold : Answer::ok;
    });
    type(QStringLiteral("The chevron vanished"));
    const qreal sendWidth = control("sendReportButton")->width();
    EXPECT_FALSE(control("sendingIndicator")->isVisible());
    click(feedback(), control("sendReportButton"));
    ASSERT_TRUE(spinUntil([this] { return server.heldCount() == 1; }, [this] { settle(0.1); }));
    EXPECT_EQ(text(control("sendReportButton")), QStringLiteral("Sending…"));
    ASSERT_TRUE(QQuickTest::qWaitForPolish(feedback()));
    EXPECT_EQ(control("sendReportButton")->width(), sendWidth) << "the button keeps its width";
    EXPECT_TRUE(control("sendingIndicator")->isVisible());
    EXPECT_FALSE(sendEnabled());
    EXPECT_FALSE(control("feedbackEditor")->isEnabled());
    server.releaseHeld(Answer::ok);
    ASSERT_TRUE(waitUntilSent());
    EXPECT_FALSE(control("sendingIndicator")->isVisible());
    EXPECT_EQ(text(control("feedbackResult")), QStringLiteral("Report sent. Thank you."));
    EXPECT_EQ(control("feedbackResult")->property("color").value<QColor>().rgba(),
              SuitePalette().colors(AppearancePalette::Role::success).light.rgba());
    EXPECT_TRUE(text(control("feedbackEditor")).isEmpty());

    // A failure reads as a warning, and the text stays for another try.
    server.setResponder([](const ReceivedRequest& request) {
        return request.target.endsWith("/feedback") ? Answer::serverError : Answer::ok;
    });
    type(QStringLiteral("Again"));
    click(feedback(), control("sendReportButton"));
    ASSERT_TRUE(
        spinUntil([this] { return text(control("feedbackResult")) == utf8(BetaSupportView::failedResult); },
                  [this] { settle(0.1); }));
    EXPECT_EQ(control("feedbackResult")->property("color").value<QColor>().rgba(),
              SuitePalette().colors(AppearancePalette::Role::warning).light.rgba());
    EXPECT_EQ(text(control("feedbackEditor")), QStringLiteral("Again"));
}

// The window is as tall as the main screen allows, between its least and greatest height. (The
// copy a build without a service offers is pressed in the press table.)
TEST_F(FeedbackWindowJourney, ASmallScreenGetsTheLeastHeight)
{
    QFile file(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray scenario = file.readAll();
    const QByteArray large = R"("screens": [ { "x": 0, "y": 0, "width": 1512, "height": 982 } ])";
    ASSERT_TRUE(scenario.contains(large));
    scenario.replace(large, R"("screens": [ { "x": 0, "y": 0, "width": 1512, "height": 400 } ])");
    start(scenario);
    launch();
    chooseFromHelp(FeedbackMenuItems::sendFeedbackText);
    ASSERT_NE(feedback(), nullptr);
    EXPECT_EQ(feedback()->height(), SupportWindow::minimumHeight);
    EXPECT_TRUE(control("feedbackUnconfigured")->isVisible()) << "this build reports nowhere";
}

// What a screen reader meets in every window of the app and of the simulated Mac (System Settings
// open on a pane with a list): every control has a name.
TEST_F(FeedbackWindowJourney, EveryControlOfEveryWindowHasAnAccessibleName)
{
    start();
    launch();
    chooseFromHelp(FeedbackMenuItems::reportBugText);
    run().app().updates().showPreferences();
    desktop().openSystemSettings(simulated_mac::SimulatedDesktop::SettingsPane::FullDiskAccess);
    settle();
    ASSERT_NE(feedback(), nullptr);
    ASSERT_NE(scene()->updateSettingsWindow(), nullptr);
    const QList<QAccessible::Role> controls{
        QAccessible::Button, QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::EditableText,
        QAccessible::Link,   QAccessible::ComboBox, QAccessible::MenuItem,    QAccessible::ListItem};
    for (QQuickWindow* window :
         {macWindow(), settingsWindow(), feedback(), scene()->updateSettingsWindow()}) {
        int checked = 0;
        for (QQuickItem* item : allItems(window)) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(item);
            if (!item->isVisible() || !accessible || !controls.contains(accessible->role()))
                continue;
            ++checked;
            EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty())
                << window->title().toStdString() << ": " << item->metaObject()->className() << " "
                << item->objectName().toStdString();
        }
        EXPECT_GE(checked, 4) << window->title().toStdString();
    }
}

// What a screen reader's press does to each control of the form: what a click does.
TEST_F(FeedbackWindowJourney, EveryControlDoesForAssistiveTechnologyWhatAClickDoes)
{
    startConfigured();
    chooseFromHelp(FeedbackMenuItems::sendFeedbackText);
    QQuickWindow* window = feedback();
    ASSERT_NE(window, nullptr);
    type(QStringLiteral("Pressed"));
    VelmorSignals& hub = *VelmorSignals::shared();
    const auto handled = [&] {
        settle(0.1);
        QQuickTest::qWaitForPolish(window);
    };
    const std::vector<PressCase> form = {
        {QStringLiteral("segment:Bug report"), [&] { return hub.feedbackIsBug(); }},
        {QStringLiteral("segment:Feedback"), [&] { return !hub.feedbackIsBug(); }},
        {QStringLiteral("detailsDisclosure"), [&] { return control("feedbackDetails")->isVisible(); }},
        {QStringLiteral("detailsDisclosure"), [&] { return !control("feedbackDetails")->isVisible(); }},
        {QStringLiteral("copyReportButton"),
         [&] { return QGuiApplication::clipboard()->text().startsWith(QStringLiteral("Pressed")); },
         {},
         [] { QGuiApplication::clipboard()->clear(); }},
        {QStringLiteral("sendReportButton"),
         [&] {
             return waitUntilSent() &&
                    text(control("feedbackResult")) == QStringLiteral("Report sent. Thank you.");
         }},
    };
    expectCovered(window, {form});
    pressEach(
        form, [&](const QString& name) { return find(window, name); }, handled);
}

TEST_F(FeedbackWindowJourney, ShowsItsSentencesWordForWord)
{
    start();
    launch();
    chooseFromHelp(FeedbackMenuItems::sendFeedbackText);
    QQuickWindow* window = feedback();
    ASSERT_NE(window, nullptr);
    expectShown(window,
                {"Feedback", "Velmor Tray", "Report type", "Bug report", "What would make this app better?",
                 "Your message", "0/2000 characters", "App details included",
                 "Only your message and app details are sent. No screenshots, logs or usage identifier are "
                 "attached.",
                 "Copy report", "Send report",
                 "Online reporting is not configured in this build. You can copy your report."});
    click(window, control("segment:Bug report"));
    type(QStringLiteral("Gone"));
    click(window, control("copyReportButton"));
    expectShown(window, {"What happened, and what did you expect?", "4/2000 characters", "Copied."});
}

} // namespace
