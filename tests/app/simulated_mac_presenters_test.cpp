#include "platform/manual_scheduler.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_home.h"
#include "simulated_mac/simulated_host.h"
#include "simulated_mac/simulated_preference_domains.h"
#include "simulated_mac/simulated_status_item.h"
#include "simulated_mac/views/below_bar_entry_model.h"
#include "simulated_mac/views/simulated_mac_presenter.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;

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

    template <typename Row>
    static QStringList column(const KeyedListModelOf<Row>* model, typename Row::Role role)
    {
        QStringList result;
        for (int row = 0; row < model->count(); ++row)
            result.append(model->value(row, role).toString());
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
    EXPECT_EQ(column(side.apps(), SidePanelAppRow::ActionTitleRole), (QStringList{"Quit", "Launch"}))
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
    EXPECT_TRUE(column(side.apps(), SidePanelAppRow::NameRole).contains(QStringLiteral("Velmor Tray")));
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
    EXPECT_EQ(column(side.defaultsRuns(), DefaultsRunRow::StatusRole),
              (QStringList{"ended without an answer", "exit 1", "exit 0"}))
        << "newest first; a run that never answered is told apart";
    EXPECT_EQ(column(side.defaultsRuns(), DefaultsRunRow::DurationRole),
              (QStringList{"", "500 ms", "12 ms"}));
    EXPECT_EQ(column(side.defaultsRuns(), DefaultsRunRow::FailedRole),
              (QStringList{"true", "true", "false"}));
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
    EXPECT_EQ(settings.rows()->count(), 0);
    EXPECT_EQ(column(settings.addable(), AddableBundleRow::NameRole),
              (QStringList{"Velmor Tray", "Alpha", "Beta"}));
    EXPECT_FALSE(settings.acceptsDrop({QUrl(QStringLiteral("https://example.com/Velmor Tray.app"))}));
    EXPECT_FALSE(settings.acceptsDrop({QUrl::fromLocalFile(QStringLiteral("/Users/me/notes.txt"))}));
    ASSERT_TRUE(settings.drop({QUrl::fromLocalFile(QStringLiteral("/Users/me/notes.txt")), app.first()}));
    EXPECT_TRUE(m_desktop.hasFullDiskAccess());
    settings.refresh();
    EXPECT_EQ(column(settings.rows(), PrivacyAppRow::NameRole), QStringList{"Velmor Tray"});
    EXPECT_EQ(column(settings.addable(), AddableBundleRow::NameRole), (QStringList{"Alpha", "Beta"}))
        << "no one twice";
    EXPECT_FALSE(settings.drop(app)) << "already listed";
}

// Hiding an item redraws its row and nothing else: no model is reset or touched elsewhere, and no
// presenter tells of a change that did not happen.
TEST_F(SimulatedMacPresentersTest, HidingAStatusItemChangesItsOwnRowAndNothingElse)
{
    // Rightmost, so every other item moves when it goes.
    m_desktop.domains().setPosition(QStringLiteral("status:local.velmor.tray::Marker"), 1);
    auto item = m_desktop.statusBar().createItem(30);
    item->setAutosaveName(QStringLiteral("Marker"));
    item->button()->setTitle(QStringLiteral("M"));
    m_mac.refresh();
    KeyedListModelOf<BarItemRow>* items = m_mac.menuBar()->statusItems();
    const QString key = QStringLiteral("status:local.velmor.tray::Marker");
    const int row = static_cast<int>(column(items, BarItemRow::KeyRole).indexOf(key));
    ASSERT_EQ(row, 1);

    QList<QObject*> watched{
        &m_mac, m_mac.menuBar(), m_mac.dock(), m_mac.sidePanel(), m_mac.systemSettings(), m_mac.belowBar()};
    for (QObject* presenter : QList<QObject*>(watched))
        for (KeyedListModel* model : presenter->findChildren<KeyedListModel*>())
            watched.append(model);
    for (const bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "shown" : "hidden");
        std::vector<std::pair<QObject*, std::unique_ptr<QSignalSpy>>> others;
        QSignalSpy changed(items, &QAbstractItemModel::dataChanged);
        for (QObject* object : watched) {
            const QMetaObject* meta = object->metaObject();
            for (int i = QObject::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
                const QMetaMethod method = meta->method(i);
                const bool cloned = method.attributes() & QMetaMethod::Cloned;
                if (method.methodType() == QMetaMethod::Signal && !cloned &&
                    !(object == items && method.name() == "dataChanged"))
                    others.emplace_back(object, std::make_unique<QSignalSpy>(object, method));
            }
        }

        item->setVisible(shown);
        m_mac.refresh();

        ASSERT_EQ(changed.count(), 1);
        EXPECT_EQ(changed[0][0].toModelIndex().row(), row);
        EXPECT_EQ(changed[0][1].toModelIndex().row(), row);
        EXPECT_EQ(changed[0][2].value<QList<int>>(), QList<int>{BarItemRow::ShownRole});
        EXPECT_EQ(items->value(row, BarItemRow::ShownRole).toBool(), shown);
        for (const auto& [object, spy] : others)
            EXPECT_EQ(spy->count(), 0)
                << spy->signal().toStdString() << " of " << object->metaObject()->className();
    }
}

// The bar below's rows follow each new list exactly, whether it grows, shrinks or changes at its
// end: a row that stays behind would be an entry that opens another item than it shows.
TEST(BelowBarEntryModel, ItsRowsAreAlwaysTheLatestEntries)
{
    const auto list = [](const char* names) {
        QList<platform::BelowBarPanel::Entry> entries;
        for (const QString& name : QString::fromLatin1(names).split(u' ', Qt::SkipEmptyParts)) {
            platform::BelowBarPanel::Entry entry;
            entry.name = name;
            entries.append(entry);
        }
        return entries;
    };
    const char* const next[] = {"a b", "a b c d", "a x", "a b x", "x b c", "", "a b c", "c b a"};
    for (const char* names : next) {
        BelowBarEntryModel model(nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        model.setEntries(list("a b c"));
        model.setEntries(list(names));
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row)
            rows.append(model.data(model.index(row), BelowBarEntryModel::NameRole).toString());
        EXPECT_EQ(rows.join(u' '), QString::fromLatin1(names)) << "from a b c";
    }
}
