#include "platform/manual_scheduler.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_home.h"
#include "simulated_mac/simulated_host.h"
#include "simulated_mac/simulated_preference_domains.h"
#include "simulated_mac/simulated_status_item.h"
#include "simulated_mac/views/simulated_mac_presenter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace velmor::platform;

namespace {

const char* const twoApps = R"({ "system": { "fullDiskAccess": false }, "apps": [
    { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "A", "width": 30 } ] },
    { "bundleID": "com.example.beta", "name": "Beta", "running": false, "extras": [ {} ] } ] })";

class SimulatedMacPresentersTest : public ::testing::Test {
protected:
    SimulatedMacPresentersTest()
        : m_host(SimulatedHost::Configuration{}),
          m_desktop(
              Scenario::parse(QByteArray(twoApps)), m_home.path(), m_scheduler, [](Duration) {}, m_host),
          m_mac(m_desktop, QStringLiteral("two.json"))
    {}

    QStringList rowTexts(const QVariantList& rows, const char* key)
    {
        QStringList result;
        for (const QVariant& row : rows)
            result.append(row.toMap().value(QString::fromLatin1(key)).toString());
        return result;
    }

    QTemporaryDir m_home;
    ManualScheduler m_scheduler;
    SimulatedHost m_host;
    SimulatedDesktop m_desktop;
    SimulatedMacPresenter m_mac;
};

} // namespace

TEST_F(SimulatedMacPresentersTest, TheSidePanelLaunchesQuitsAndShowsEveryDefaultsRun)
{
    SidePanelPresenter& side = *m_mac.sidePanel();
    EXPECT_EQ(rowTexts(side.apps(), "actionTitle"), (QStringList{"Quit", "Launch"}))
        << "this app is left out until the composition root says how to start it";
    EXPECT_TRUE(side.toggleRunning(QStringLiteral("com.example.beta")));
    EXPECT_FALSE(side.toggleRunning(QStringLiteral("com.apple.finder"))) << "the system's apps stay";

    bool running = true;
    int quits = 0;
    side.setOwnApp({[&] { return running; }, [&] { running = true; },
                    [&] {
                        running = false;
                        ++quits;
                    }});
    EXPECT_TRUE(rowTexts(side.apps(), "name").contains(QStringLiteral("Velmor Tray")));
    EXPECT_TRUE(side.toggleRunning(QStringLiteral("local.velmor.tray")));
    EXPECT_EQ(quits, 1);

    QFile log(simulated_home::defaultsLogPath(m_home.path()));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write(
        DefaultsRunLog::startLine(999991, QStringLiteral("export"), QStringLiteral("/h/Library/x/dom")));
    log.write(DefaultsRunLog::endLine(999991, 0, 0.012));
    log.write(
        DefaultsRunLog::startLine(999992, QStringLiteral("import"), QStringLiteral("/h/Library/x/dom")));
    log.write(DefaultsRunLog::endLine(999992, 1, 0.5));
    log.write(
        DefaultsRunLog::startLine(999993, QStringLiteral("export"), QStringLiteral("/h/Library/x/dom")));
    log.close();
    side.refresh();
    EXPECT_EQ(rowTexts(side.defaultsRuns(), "status"),
              (QStringList{"ended without an answer", "exit 1", "exit 0"}))
        << "newest first; a run that never answered is told apart";
    EXPECT_EQ(rowTexts(side.defaultsRuns(), "duration"), (QStringList{"", "500 ms", "12 ms"}));
    EXPECT_TRUE(side.defaultsRuns()[1].toMap().value(QStringLiteral("failed")).toBool());
}

TEST_F(SimulatedMacPresentersTest, OnlyTheFullDiskAccessListTakesDroppedAppBundles)
{
    SystemSettingsPresenter& settings = *m_mac.systemSettings();
    const QList<QUrl> app{QUrl::fromLocalFile(QStringLiteral("/Applications/Velmor Tray.app"))};
    EXPECT_FALSE(settings.acceptsDrop(app)) << "closed";
    settings.openPane(0);
    EXPECT_FALSE(settings.acceptsDrop(app)) << "Accessibility takes no drops";
    settings.openPane(1);
    settings.refresh();
    EXPECT_TRUE(settings.rows().isEmpty());
    EXPECT_EQ(rowTexts(settings.addable(), "name"), (QStringList{"Velmor Tray", "Alpha", "Beta"}));
    EXPECT_FALSE(settings.acceptsDrop({QUrl(QStringLiteral("https://example.com/Velmor Tray.app"))}));
    EXPECT_FALSE(settings.acceptsDrop({QUrl::fromLocalFile(QStringLiteral("/Users/me/notes.txt"))}));
    ASSERT_TRUE(settings.drop({QUrl::fromLocalFile(QStringLiteral("/Users/me/notes.txt")), app.first()}));
    EXPECT_TRUE(m_desktop.hasFullDiskAccess());
    settings.refresh();
    EXPECT_EQ(rowTexts(settings.rows(), "name"), QStringList{"Velmor Tray"});
    EXPECT_EQ(rowTexts(settings.addable(), "name"), (QStringList{"Alpha", "Beta"})) << "no one twice";
    EXPECT_FALSE(settings.drop(app)) << "already listed";
}

TEST_F(SimulatedMacPresentersTest, TheBarDrawsWhatIsOnScreenAndAStretchedItemByItsVisiblePart)
{
    MenuBarPresenter& bar = *m_mac.menuBar();
    // The app's item sits right of Alpha's, so stretching it pushes Alpha out of view.
    m_desktop.domains().setPosition(QStringLiteral("status:local.velmor.tray::Wide"), 1);
    auto item = m_desktop.statusBar().createItem(26);
    item->setAutosaveName(QStringLiteral("Wide"));
    item->button()->setSymbolImage(QStringLiteral("chevron.left"), QStringLiteral("Wide"));
    bar.refresh();
    QStringList keys = rowTexts(bar.items(), "key");
    EXPECT_TRUE(keys.contains(QStringLiteral("status:com.example.alpha::Item-0")));

    item->setLength(10000);
    bar.refresh();
    keys = rowTexts(bar.items(), "key");
    EXPECT_FALSE(keys.contains(QStringLiteral("status:com.example.alpha::Item-0")))
        << "pushed off screen, not drawn";
    const QVariantMap wide =
        bar.items()[keys.indexOf(QStringLiteral("status:local.velmor.tray::Wide"))].toMap();
    EXPECT_EQ(wide.value(QStringLiteral("width")).toDouble(), 10000);
    EXPECT_LT(wide.value(QStringLiteral("visibleWidth")).toDouble(), 1512);
    EXPECT_FALSE(wide.value(QStringLiteral("glyph")).toString().isEmpty());
    EXPECT_EQ(wide.value(QStringLiteral("accessibleName")).toString(), QStringLiteral("Wide"));
}
