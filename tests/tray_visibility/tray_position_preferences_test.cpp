#include "foundation/json.h"
#include "foundation/private_files.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"
#include "memory_stores.h"
#include "support/error_case.h"
#include "support/fake_workspace.h"
#include "support/test_host.h"
#include "tray_visibility/sample_apps.h"
#include "tray_visibility/tray_position_preferences.h"
#include "tray_visibility/tray_recovery_file.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::test;
using Positions = TrayPositionStore::Positions;
using Request = TrayPositionPreferences::Request;
using Change = TrayPositionChange;
using PositionCase = TrayPositionError::Case;

namespace {

const QString kChevron = QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular");
const QString kV = QStringLiteral("com.example.v");
const QString kApple = QStringLiteral("com.apple.controlcenter");
const TrayPositionPreferences::Aliases kAliases{{kA, {kA, QStringLiteral("Alpha")}},
                                                {kB, {kB, QStringLiteral("Beta"), QStringLiteral("Shared")}},
                                                {kV, {kV, QStringLiteral("Shared")}},
                                                {kApple, {kApple}}};

QString key(const QString& owner, const QString& name = QStringLiteral("item"))
{
    return QStringLiteral("status:%1::%2").arg(owner, name);
}

Request request(QSet<QString> hidden, QSet<QString> visible = {kV}, bool onlyMisplaced = false)
{
    Request result;
    result.hiddenBundleIDs = std::move(hidden);
    result.visibleBundleIDs = std::move(visible);
    result.chevronKey = kChevron;
    result.onlyMisplaced = onlyMisplaced;
    return result;
}

QList<Change> planned(const Positions& current, const Request& r)
{
    return TrayPositionPreferences::plan(current, r, kAliases).changes;
}

} // namespace

TEST(TrayPositionPlan, HiddenItemsGoBeyondTheChevronInTheirOrderAndTheChevronBeyondTheVisible)
{
    EXPECT_EQ(planned({{kChevron, 100}, {key(kV), 30}, {key(QStringLiteral("Alpha")), 10}, {key(kB), 50}},
                      request({kA, kB})),
              (QList<Change>{{key(QStringLiteral("Alpha")), 10, 140, {}}, {key(kB), 50, 180, {}}}));
    EXPECT_EQ(planned({{kChevron, 20}, {key(kV), 30}}, request({})), (QList<Change>{{kChevron, 20, 70, {}}}));
    EXPECT_EQ(planned({{kChevron, 0}}, request({}, {})), (QList<Change>{{kChevron, 0, 40, {}}}));
    EXPECT_EQ(planned({{kChevron, 100}, {key(kV), 300}, {key(kA), 150}, {key(kB), 60}},
                      request({kA, kB}, {kV}, true)),
              (QList<Change>{{key(kB), 60, 190, {}}}));
    EXPECT_EQ(planned({{kChevron, 100}, {key(kA), 140}}, request({kA})), QList<Change>{});
    EXPECT_EQ(planned({{kChevron, 100}, {key(kB, QStringLiteral("z")), 5}, {key(kB, QStringLiteral("a")), 5}},
                      request({kB}))
                  .value(0)
                  .key,
              key(kB, QStringLiteral("a")));

    // The app's other items count as visible.
    Request controlled = request({});
    controlled.controlKeys = {kChevron, key(QStringLiteral("local.velmor.tray"), QStringLiteral("group"))};
    EXPECT_EQ(planned({{kChevron, 100}, {controlled.controlKeys[1], 120}}, controlled),
              (QList<Change>{{kChevron, 100, 160, {}}}));
}

TEST(TrayPositionPlan, OnlyUnambiguousOwnersCountAndAppleItemsNeverMove)
{
    // "Shared" names two apps; "Beta" names b, which another key names directly.
    const Positions current{{kChevron, 100},
                            {key(QStringLiteral("Shared")), 10},
                            {key(kApple), 20},
                            {key(QStringLiteral("Beta")), 30},
                            {key(kB, QStringLiteral("direct")), 40},
                            {QStringLiteral("status::x"), 1},
                            {QStringLiteral("plain"), 2}};
    Request r = request({kB, kApple}, {kV});
    const auto plan = TrayPositionPreferences::plan(current, r, kAliases);
    EXPECT_EQ(plan.changes, (QList<Change>{{key(kB, QStringLiteral("direct")), 40, 140, {}}}));
    EXPECT_EQ(plan.matchedBundleIDs, QSet<QString>{kB});
    r.requireAll = true;
    EXPECT_EQ(errorCase<TrayPositionError>([&] { TrayPositionPreferences::plan(current, r, kAliases); }),
              PositionCase::missing);

    Request notStatus = request({kA});
    notStatus.chevronKey = QStringLiteral("chevron");
    const QList<std::pair<Positions, Request>> unsupported{
        {{}, request({kA})},
        {{{key(kA), 1}}, request({kA})},
        {{{kChevron, 1}, {key(kA), qInf()}}, request({kA})},
        {{{kChevron, 1}}, request({kA}, {kA})},
        {{{QStringLiteral("chevron"), 1}}, notStatus}};
    for (const auto& entry : unsupported) {
        EXPECT_EQ(errorCase<TrayPositionError>(
                      [&] { TrayPositionPreferences::plan(entry.first, entry.second, kAliases); }),
                  PositionCase::unsupported);
    }
}

namespace {

class TrayPositionPreferencesTest : public ::testing::Test {
protected:
    TrayPositionPreferencesTest() : m_host(hostConfiguration(m_home.path(), m_home.path()))
    {
        auto store = std::make_unique<MemoryPositionStore>();
        store->positions = m_original;
        m_store = store.get();
        m_editor = std::make_unique<TrayPositionPreferences>(m_host, m_workspace, std::move(store));
    }
    void arrange() { m_editor->arrange(request({kA, kB}), kAliases); }
    QByteArray journal() const
    {
        return RegularFile::read(m_editor->journalPath(), TrayRecoveryFile::maximumBytes);
    }
    bool journalExists() const { return QFile::exists(m_editor->journalPath()); }

    QTemporaryDir m_home;
    simulated_mac::SimulatedHost m_host;
    FakeWorkspace m_workspace;
    const Positions m_original{{kChevron, 100}, {key(kV), 30}, {key(kA), 10}, {key(kB), 50}};
    MemoryPositionStore* m_store = nullptr;
    std::unique_ptr<TrayPositionPreferences> m_editor;
};

} // namespace

TEST_F(TrayPositionPreferencesTest, JournalsBeforeAndAfterTheWriteAndRestoresWhatIsStillOurs)
{
    QByteArray beforeWrite;
    m_editor->setStepObserver([&](TrayEditStep step) {
        if (step == TrayEditStep::afterFirstJournal)
            beforeWrite = journal();
    });
    arrange();
    EXPECT_EQ(
        m_editor->journalPath(),
        m_home.filePath(QStringLiteral("Library/Application Support/Velmor Tray/position-recovery.json")));
    EXPECT_EQ(beforeWrite,
              QByteArray(R"([{"key":"status:com.example.a::item","original":10.0,"applied":10.0,)"
                         R"("pendingApplied":140.0},{"key":"status:com.example.b::item","original":50.0,)"
                         R"("applied":50.0,"pendingApplied":180.0}])"));
    EXPECT_EQ(journal(),
              QByteArray(R"([{"key":"status:com.example.a::item","original":10.0,"applied":140.0},)"
                         R"({"key":"status:com.example.b::item","original":50.0,"applied":180.0}])"));

    // Arranged again after the user dragged a beyond b: a starts over from there, while b, still
    // where the app put it, keeps its first original.
    m_store->positions.insert(key(kA), 190);
    arrange();
    const Json entries = json::parse(journal());
    EXPECT_EQ(entries[0]["original"], 190.0);
    EXPECT_EQ(entries[1]["original"], 50.0);

    m_store->positions.insert(key(kB), 170); // and b is dragged once more, by hand
    m_editor->restore();
    EXPECT_EQ(m_store->positions.value(key(kA)), 190);
    EXPECT_EQ(m_store->positions.value(key(kB)), 170);
    EXPECT_FALSE(journalExists());
    const int patches = m_store->patches;
    m_editor->restore();
    EXPECT_EQ(m_store->patches, patches);
}

TEST_F(TrayPositionPreferencesTest, AFailedPatchIsRolledBackOrLeavesThePendingJournal)
{
    m_store->alter = [](Positions& landed) { landed.remove(key(kB)); };
    EXPECT_EQ(errorCase<TrayPositionError>([&] { arrange(); }), PositionCase::verification);
    EXPECT_EQ(m_store->positions, m_original);
    EXPECT_FALSE(journalExists());

    // The read after the failure fails too: a stays moved, and restore() finds it at its pending value.
    auto failAgain = [this] {
        m_store->alter = [this](Positions& landed) {
            landed.remove(key(kB));
            m_store->failRead = [] { throw TrayPositionError(TrayPositionError::Case::access); };
        };
        EXPECT_EQ(errorCase<TrayPositionError>([&] { arrange(); }), PositionCase::verification);
        EXPECT_EQ(m_store->positions.value(key(kA)), 140);
        m_store->alter = nullptr;
        m_store->failRead = nullptr;
    };
    failAgain();
    m_editor->restore();
    EXPECT_EQ(m_store->positions, m_original);
    EXPECT_FALSE(journalExists());

    // Arranged again instead: a, found at its pending value, keeps its first original.
    failAgain();
    arrange();
    double original = 0;
    for (const Json& entry : json::parse(journal())) {
        if (entry["key"] == json::toStd(key(kA)))
            original = entry["original"].get<double>();
    }
    EXPECT_EQ(original, 10);
    m_editor->restore();
    EXPECT_EQ(m_store->positions, m_original);
}

TEST_F(TrayPositionPreferencesTest, AnUnreadableJournalStopsEverythingAndStays)
{
    const QString path = m_editor->journalPath();
    private_files::ensureDirectory(QFileInfo(path).absolutePath());
    const QByteArray repeated(
        R"([{"key":"k","original":1,"applied":2},{"key":"k","original":1,"applied":2}])");
    private_files::writeAtomically(path, repeated);
    EXPECT_EQ(errorCase<TrayPositionError>([&] { arrange(); }), PositionCase::unsupported);
    EXPECT_EQ(errorCase<TrayPositionError>([&] { m_editor->restore(); }), PositionCase::unsupported);
    EXPECT_EQ(journal(), repeated);
    const QByteArray incomplete(R"([{"key":"k","original":1}])");
    private_files::writeAtomically(path, incomplete);
    EXPECT_THROW(arrange(), SystemError);
    EXPECT_THROW(m_editor->restore(), SystemError);
    EXPECT_EQ(journal(), incomplete);
    EXPECT_EQ(m_store->patches, 0);
}

TEST_F(TrayPositionPreferencesTest, AliasesComeFromLiveApplicationsWithABundle)
{
    m_workspace.applications = {
        {1,
         kA,
         QStringLiteral("Alpha"),
         QStringLiteral("/Applications/Alpha.app/Contents/MacOS/alpha-bin"),
         {},
         false},
        {2, kB, QStringLiteral("Beta"), {}, {}, true},
        {3, std::nullopt, QStringLiteral("Loose"), QStringLiteral("/bin/loose"), {}, false}};
    EXPECT_EQ(
        TrayPositionPreferences::aliases(m_workspace.applications),
        (TrayPositionPreferences::Aliases{{kA, {kA, QStringLiteral("Alpha"), QStringLiteral("alpha-bin")}}}));
    m_store->positions = {{kChevron, 100}, {key(QStringLiteral("alpha-bin")), 60}};
    Request r = request({kA}, {});
    r.requireAll = true;
    EXPECT_EQ(m_editor->arrange(r).changes, (QList<Change>{{key(QStringLiteral("alpha-bin")), 60, 140, {}}}));
}
