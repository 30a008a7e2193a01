#include "simulated_mac/simulated_application_shell.h"
#include "simulated_mac/simulated_screens.h"
#include "suite_ui/beta_support_commands.h"
#include "suite_ui/beta_support_information.h"
#include "suite_ui/beta_support_view.h"
#include "suite_ui/feedback_menu_items.h"
#include "suite_ui/hub_fixture.h"
#include "suite_ui/system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>

namespace velmor {
namespace {

using test::HttpsTestServer;
using Answer = HttpsTestServer::Answer;

// A Feedback window as the window system would show it: what it was asked for and how often it
// came to the front.
class RecordingWindow final : public SupportWindow {
public:
    explicit RecordingWindow(int& frontCount) : m_frontCount(frontCount) {}
    void orderFrontAsKey() override { ++m_frontCount; }

private:
    int& m_frontCount;
};

class BetaSupportViewTest : public test::HubTest {
protected:
    SystemClipboard clipboard;
    std::unique_ptr<BetaSupportView> view;

    BetaSupportView& makeView(bool configured = true)
    {
        view.reset();
        makeHub(configured);
        view = std::make_unique<BetaSupportView>(*hub, hub->appName(), clipboard);
        return *view;
    }
    bool waitUntilSent()
    {
        return waitFor([this]() { return !view->sending(); });
    }
};

TEST_F(BetaSupportViewTest, OnlyAMessageTheServiceTakesCanBeSent)
{
    BetaSupportView& form = makeView();
    QSignalSpy enabled(&form, &BetaSupportView::sendEnabledChanged);
    form.setMessage(QStringLiteral("  \n\t \n"));
    EXPECT_FALSE(form.sendEnabled()) << "blank";
    EXPECT_EQ(form.counterText(), "6/2000 characters");
    form.setMessage(QString(2000, u'a'));
    EXPECT_TRUE(form.sendEnabled());
    form.setMessage(QString(2001, u'a'));
    EXPECT_FALSE(form.sendEnabled());
    EXPECT_EQ(enabled.count(), 2);

    const QString emoji = QStringLiteral("\U0001F600");
    form.setMessage(QString(1999, u'a') + emoji);
    EXPECT_EQ(form.counterText(), "2001/2000 characters") << "an emoji counts two units";
    EXPECT_FALSE(form.sendEnabled());
    form.sendReport();
    EXPECT_FALSE(form.sending()) << "a disabled button sends nothing";

    BetaSupportView& unconfigured = makeView(false);
    unconfigured.setMessage(QStringLiteral("It crashed"));
    EXPECT_FALSE(unconfigured.sendEnabled());
    EXPECT_TRUE(unconfigured.showsUnconfigured());
}

TEST_F(BetaSupportViewTest, ASentReportEmptiesTheEditor)
{
    server.setResponder([](const test::ReceivedRequest&) { return Answer::hold; });
    BetaSupportView& form = makeView();
    EXPECT_FALSE(form.showsUnconfigured());
    form.setBug(true);
    form.setMessage(QStringLiteral("  The chevron vanished.\n"));
    form.sendReport();
    EXPECT_FALSE(form.editable());

    // The editor and the picker are disabled; a second send waits for the first. (What the window
    // shows meanwhile, and after, is the window's own test.)
    form.setMessage(QStringLiteral("changed"));
    form.setBug(false);
    form.sendReport();
    ASSERT_TRUE(waitFor([this]() { return server.heldCount() == 1; }));
    EXPECT_EQ(form.message(), "  The chevron vanished.\n");
    EXPECT_TRUE(form.bug());
    server.releaseHeld(Answer::ok);
    ASSERT_TRUE(waitUntilSent());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().json()["category"], "bug");
}

TEST_F(BetaSupportViewTest, AnUnconfirmedDeliveryKeepsTheText)
{
    const QString failed = QStringLiteral(
        "Delivery could not be confirmed. Your message is preserved; retrying may duplicate a report.");
    for (const Answer answer : {Answer::serverError, Answer::dropConnection}) {
        server.setResponder([answer](const test::ReceivedRequest&) { return answer; });
        BetaSupportView& form = makeView();
        form.setMessage(QStringLiteral("Please add a shortcut."));
        form.sendReport();
        ASSERT_TRUE(waitUntilSent());
        EXPECT_EQ(form.result(), failed);
        EXPECT_EQ(form.message(), "Please add a shortcut.");
        EXPECT_TRUE(form.sendEnabled()) << "the user may retry";
    }
}

TEST_F(BetaSupportViewTest, CopyingNeedsNeitherConfigurationNorConsent)
{
    defaults.setValue(QStringLiteral("velmor.usageConsent.v1"), false);
    BetaSupportView& form = makeView(false);
    form.setMessage(QStringLiteral("Crash on wake"));
    form.copyReport();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("Crash on wake\n\n") + hub->reviewedMetadata());
    EXPECT_EQ(form.result(), "Copied.");
    EXPECT_EQ(form.details(), "App: local.velmor.tray\nRelease: 1.4+57\nmacOS: 27.0.0\n"
                              "Architecture: arm64\nMemory class: up_to_16GB");
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(BetaSupportViewTest, TheFeedbackWindowIsMadeOnceAndTheMenuPicksItsType)
{
    makeHub();
    simulated_mac::SimulatedApplicationShell shell;
    simulated_mac::SimulatedScreens screens({{QRectF(0, 0, 800, 488), std::nullopt, {}, false}},
                                       24); // visible height 400
    QList<SupportWindow::Request> requests;
    int fronts = 0;
    FeedbackMenuItems items(hub.get());
    EXPECT_FALSE(items.enabled()) << "no window system yet";
    items.reportBug();
    EXPECT_TRUE(requests.isEmpty());

    QSignalSpy enabled(&items, &FeedbackMenuItems::enabledChanged);
    hub->installSupportWindows(shell, screens, [&](const SupportWindow::Request& request) {
        requests.append(request);
        return std::make_unique<RecordingWindow>(fronts);
    });
    EXPECT_EQ(enabled.count(), 1);
    EXPECT_TRUE(items.enabled());

    items.sendFeedback();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests.first().contentSize, QSizeF(520, 360)) << "a small screen";
    EXPECT_TRUE(shell.lastActivationIgnoredOtherApps());

    // Reused and brought forward, switched to a bug report, is the window's own test.
    const QList<BetaSupportCommands::Command> commands = BetaSupportCommands::commands(hub.get());
    ASSERT_EQ(commands.size(), 2);
    EXPECT_TRUE(commands.at(1).enabled);

    hub.reset();
    commands.at(0).action();
    EXPECT_EQ(fronts, 1) << "an action outliving the hub does nothing";
}

TEST_F(BetaSupportViewTest, TheWindowHeightFollowsTheMainScreen)
{
    EXPECT_EQ(SupportWindow::heightFor(QRectF(0, 0, 800, 560)), 460);
    EXPECT_EQ(SupportWindow::heightFor(QRectF(0, 0, 1512, 894)), 520);
    EXPECT_EQ(SupportWindow::heightFor(std::nullopt), 520);
}

TEST_F(BetaSupportViewTest, TheInformationBlockNamesWhatIsUnknown)
{
    makeHub();
    EXPECT_EQ(
        BetaSupportInformation::text(QStringLiteral("Velmor Tray"), *host),
        "App: Velmor Tray\nVersion: 1.4\nBuild: 57\nmacOS: 27.0.0\nApp architecture: Apple Silicon (arm64)");
    simulated_mac::SimulatedHost::Configuration configuration;
    configuration.systemVersion = {15, 3, 0};
    configuration.mainBundle = platform::MainBundle({{QStringLiteral("CFBundleVersion"), 57}}, {});
    EXPECT_EQ(BetaSupportInformation::text(QStringLiteral("X"), simulated_mac::SimulatedHost(configuration)),
              "App: X\nVersion: Unavailable\nBuild: Unavailable\nmacOS: 15.3.0\n"
              "App architecture: Apple Silicon (arm64)");
}

} // namespace
} // namespace velmor
