#include "foundation/json.h"
#include "foundation/private_files.h"
#include "foundation/system_error.h"
#include "memory_stores.h"
#include "support/fake_workspace.h"
#include "support/test_host.h"
#include "tray_visibility/tray_position_error.h"
#include "tray_visibility/tray_position_preferences.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::test;
using Positions = TrayPositionStore::Positions;
using Request = TrayPositionPreferences::Request;

namespace {

const QString kChevron = QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular");
const QString kA = QStringLiteral("com.example.a");
const QString kB = QStringLiteral("com.example.b");
const QString kV = QStringLiteral("com.example.v");

const TrayPositionPreferences::Aliases kAliases{
    {kA, {kA, QStringLiteral("Alpha")}},
    {kB, {kB, QStringLiteral("Beta"), QStringLiteral("Shared")}},
    {kV, {kV, QStringLiteral("Shared")}},
    {QStringLiteral("local.velmor.tray"), {QStringLiteral("local.velmor.tray")}},
};

QString key(const QString& owner, const QString& name = QStringLiteral("item"))
{
    return QStringLiteral("status:%1::%2").arg(owner, name);
}

Request hideRequest(QSet<QString> hidden, QSet<QString> visible = {kV})
{
    Request request;
    request.hiddenBundleIDs = std::move(hidden);
    request.visibleBundleIDs = std::move(visible);
    request.chevronKey = kChevron;
    return request;
}

std::optional<TrayPositionError::Case> errorOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const TrayPositionError& error) {
        return error.kind();
    }
    return std::nullopt;
}

QList<TrayPositionChange> changesOf(const TrayPositionPlan& plan)
{
    return plan.changes;
}

} // namespace

TEST(TrayPositionPlan, MovesHiddenItemsBeyondTheChevronInTheirOrder)
{
    const Positions current{
        {kChevron, 100}, {key(kV), 30}, {key(QStringLiteral("Alpha")), 10}, {key(kB), 50}};
    const auto plan = TrayPositionPreferences::plan(current, hideRequest({kA, kB}), kAliases);
    EXPECT_FALSE(plan.chevronMoved);
    EXPECT_EQ(changesOf(plan),
              (QList<TrayPositionChange>{{key(QStringLiteral("Alpha")), 10, 140, std::nullopt},
                                         {key(kB), 50, 180, std::nullopt}}));
    EXPECT_EQ(plan.matchedBundleIDs, (QSet<QString>{kA, kB, kV}));

    const auto chevronFirst =
        TrayPositionPreferences::plan({{kChevron, 20}, {key(kV), 30}}, hideRequest({}), kAliases);
    EXPECT_TRUE(chevronFirst.chevronMoved);
    EXPECT_EQ(changesOf(chevronFirst), (QList<TrayPositionChange>{{kChevron, 20, 70, std::nullopt}}));
    EXPECT_EQ(TrayPositionPreferences::plan({{kChevron, 0}}, hideRequest({}, {}), kAliases)
                  .changes.value(0)
                  .applied,
              40);

    // Controls of the app count as visible; an item already at its target has no entry.
    Request withControls = hideRequest({kA});
    withControls.controlKeys = {kChevron, key(QStringLiteral("local.velmor.tray"), QStringLiteral("group"))};
    const auto controlled = TrayPositionPreferences::plan(
        {{kChevron, 100}, {withControls.controlKeys[1], 120}, {key(kA), 200}}, withControls, kAliases);
    EXPECT_EQ(changesOf(controlled), (QList<TrayPositionChange>{{kChevron, 100, 160, std::nullopt}}));

    Request misplaced = hideRequest({kA, kB});
    misplaced.onlyMisplaced = true;
    const auto onlyMisplaced = TrayPositionPreferences::plan(
        {{kChevron, 100}, {key(kV), 300}, {key(kA), 150}, {key(kB), 60}}, misplaced, kAliases);
    EXPECT_EQ(changesOf(onlyMisplaced), (QList<TrayPositionChange>{{key(kB), 60, 190, std::nullopt}}));

    // Equal positions go by key.
    const auto tied = TrayPositionPreferences::plan(
        {{kChevron, 100}, {key(kB, QStringLiteral("z")), 5}, {key(kB, QStringLiteral("a")), 5}},
        hideRequest({kB}), kAliases);
    EXPECT_EQ(tied.changes.value(0).key, key(kB, QStringLiteral("a")));
}

TEST(TrayPositionPlan, OwnersMustBeUnambiguousAndAppleItemsNeverMove)
{
    TrayPositionPreferences::Aliases aliases = kAliases;
    aliases.insert(QStringLiteral("com.apple.controlcenter"), {QStringLiteral("com.apple.controlcenter")});
    const Positions current{{kChevron, 100},
                            {key(QStringLiteral("Shared")), 10},
                            {key(QStringLiteral("com.apple.controlcenter")), 20},
                            {key(QStringLiteral("Beta")), 30},
                            {key(kB, QStringLiteral("direct")), 40},
                            {QStringLiteral("status::x"), 1},
                            {QStringLiteral("plain"), 2}};
    Request request = hideRequest({kB, QStringLiteral("com.apple.controlcenter")}, {kV});
    const auto plan = TrayPositionPreferences::plan(current, request, aliases);
    // "Shared" names two apps; "Beta" names b, which a key names directly.
    EXPECT_EQ(changesOf(plan),
              (QList<TrayPositionChange>{{key(kB, QStringLiteral("direct")), 40, 140, std::nullopt}}));
    EXPECT_EQ(plan.matchedBundleIDs, QSet<QString>{kB});

    request.requireAll = true;
    EXPECT_EQ(errorOf([&] { TrayPositionPreferences::plan(current, request, aliases); }),
              TrayPositionError::Case::missing);

    const auto unsupported = [&](const Positions& positions, const Request& r) {
        return errorOf([&] { TrayPositionPreferences::plan(positions, r, kAliases); });
    };
    EXPECT_EQ(unsupported({}, hideRequest({kA})), TrayPositionError::Case::unsupported);
    EXPECT_EQ(unsupported({{key(kA), 1}}, hideRequest({kA})), TrayPositionError::Case::unsupported);
    EXPECT_EQ(unsupported({{kChevron, 1}, {key(kA), qInf()}}, hideRequest({kA})),
              TrayPositionError::Case::unsupported);
    EXPECT_EQ(unsupported({{kChevron, 1}}, hideRequest({kA}, {kA})), TrayPositionError::Case::unsupported);
    Request notStatus = hideRequest({kA});
    notStatus.chevronKey = QStringLiteral("chevron");
    EXPECT_EQ(unsupported({{QStringLiteral("chevron"), 1}}, notStatus), TrayPositionError::Case::unsupported);
}

TEST(TrayPositionPreferences, AliasesComeFromLiveApplicationsWithABundle)
{
    const QList<platform::RunningApplication> running{
        {1,
         kA,
         QStringLiteral("Alpha"),
         QStringLiteral("/Applications/Alpha.app/Contents/MacOS/alpha-bin"),
         {},
         false},
        {2, kB, std::nullopt, std::nullopt, {}, false},
        {3, kV, QStringLiteral("Gone"), std::nullopt, {}, true},
        {4, std::nullopt, QStringLiteral("Loose"), QStringLiteral("/bin/loose"), {}, false}};
    EXPECT_EQ(TrayPositionPreferences::aliases(running),
              (TrayPositionPreferences::Aliases{
                  {kA, {kA, QStringLiteral("Alpha"), QStringLiteral("alpha-bin")}}, {kB, {kB}}}));
}

namespace {

class TrayPositionPreferencesTest : public ::testing::Test {
protected:
    TrayPositionPreferencesTest() : m_host(hostConfiguration(m_home.path(), m_home.path())) { makeEditor(); }

    void makeEditor()
    {
        auto store = std::make_unique<MemoryPositionStore>();
        store->positions = m_store ? m_store->positions : m_original;
        m_store = store.get();
        m_preferences = std::make_unique<TrayPositionPreferences>(m_host, m_workspace, std::move(store));
    }
    TrayPositionPlan arrange(QSet<QString> hidden)
    {
        return m_preferences->arrange(hideRequest(std::move(hidden)), kAliases);
    }
    QString journal() const { return m_preferences->journalPath(); }
    Json journalJson() const { return json::parse(private_files::read(journal())); }

    QTemporaryDir m_home;
    platform::SimulatedHost m_host;
    FakeWorkspace m_workspace;
    const Positions m_original{
        {kChevron, 100}, {key(kV), 30}, {key(kA), 10}, {key(kB), 50}, {QStringLiteral("other"), 7}};
    MemoryPositionStore* m_store = nullptr;
    std::unique_ptr<TrayPositionPreferences> m_preferences;
};

} // namespace

TEST_F(TrayPositionPreferencesTest, ArrangeJournalsBeforeAndAfterAndRestorePutsBackWhatIsStillOurs)
{
    Json beforeWrite;
    m_preferences->setStepObserver([&](TrayEditStep step) {
        if (step == TrayEditStep::afterFirstJournal)
            beforeWrite = journalJson();
    });
    arrange({kA, kB});
    EXPECT_EQ(m_store->positions.value(key(kA)), 140);
    EXPECT_EQ(m_store->positions.value(key(kB)), 180);
    EXPECT_EQ(journal(), m_home.filePath(QStringLiteral(
                             "Library/Application Support/Velmor Tray/position-recovery.json")));
    EXPECT_EQ(
        json::serialize(beforeWrite),
        QByteArray(
            R"([{"key":"status:com.example.a::item","original":10.0,"applied":10.0,"pendingApplied":140.0},)"
            R"({"key":"status:com.example.b::item","original":50.0,"applied":50.0,"pendingApplied":180.0}])"));
    EXPECT_EQ(json::serialize(journalJson()),
              QByteArray(R"([{"key":"status:com.example.a::item","original":10.0,"applied":140.0},)"
                         R"({"key":"status:com.example.b::item","original":50.0,"applied":180.0}])"));

    // Arranged again after the user dragged a somewhere else: a starts over from there, b keeps
    // its first original.
    m_store->positions.insert(key(kA), 20);
    m_store->positions.insert(key(kB), 5);
    arrange({kA, kB});
    m_store->positions.insert(key(kB), 170); // and b is dragged once more, by hand
    const Json entries = journalJson();
    EXPECT_EQ(entries[0]["original"], 20.0);
    EXPECT_EQ(entries[1]["original"], 5.0) << "b was also moved by hand before the second arrange";

    m_preferences->restore();
    EXPECT_EQ(m_store->positions.value(key(kA)), 20);
    EXPECT_EQ(m_store->positions.value(key(kB)), 170) << "moved by the user after the app's edit";
    EXPECT_FALSE(QFile::exists(journal()));
    m_preferences->restore();
    EXPECT_EQ(m_store->patches, 3);
}

TEST_F(TrayPositionPreferencesTest, AFailedPatchIsRolledBackAndAFailedRollbackLeavesThePendingJournal)
{
    // The system keeps a's new place but not b's: the read-back fails and a is put back.
    m_store->alterPatch = [](Positions& landed) { landed.remove(key(kB)); };
    EXPECT_EQ(errorOf([&] { arrange({kA, kB}); }), TrayPositionError::Case::verification);
    EXPECT_EQ(m_store->positions, m_original);
    EXPECT_FALSE(QFile::exists(journal()));

    // Now the read after the failure fails as well: the pre-write journal stays, and restore()
    // recognises the key at its pending value.
    m_store->alterPatch = [this](Positions& landed) {
        landed.remove(key(kB));
        m_store->failRead = [] { throw TrayPositionError(TrayPositionError::Case::access); };
    };
    EXPECT_EQ(errorOf([&] { arrange({kA, kB}); }), TrayPositionError::Case::verification);
    EXPECT_EQ(m_store->positions.value(key(kA)), 140);
    ASSERT_TRUE(QFile::exists(journal()));
    m_store->alterPatch = nullptr;
    m_store->failRead = nullptr;
    m_preferences->restore();
    EXPECT_EQ(m_store->positions, m_original);
    EXPECT_FALSE(QFile::exists(journal()));
}

TEST_F(TrayPositionPreferencesTest, AnUnreadableJournalStopsEverythingAndStaysInPlace)
{
    private_files::ensureDirectory(QFileInfo(journal()).absolutePath());
    const QList<std::pair<QByteArray, bool>> corrupt{
        {R"([{"key":"k","original":1,"applied":2},{"key":"k","original":1,"applied":2}])", true},
        {R"([{"key":"k","original":1e999,"applied":2}])", false},
        {R"([{"key":"k","original":1}])", false},
        {R"({"key":"k"})", false},
        {"[", false}};
    for (const auto& [text, unsupported] : corrupt) {
        private_files::writeAtomically(journal(), text);
        if (unsupported) {
            EXPECT_EQ(errorOf([&] { arrange({kA}); }), TrayPositionError::Case::unsupported)
                << text.constData();
            EXPECT_EQ(errorOf([&] { m_preferences->restore(); }), TrayPositionError::Case::unsupported);
        } else {
            EXPECT_THROW(arrange({kA}), SystemError) << text.constData();
            EXPECT_THROW(m_preferences->restore(), SystemError);
        }
        EXPECT_EQ(private_files::read(journal()), text);
        EXPECT_EQ(m_store->patches, 0);
    }
}

TEST_F(TrayPositionPreferencesTest, FirstFormTakesAliasesFromTheWorkspace)
{
    m_workspace.applications = {{1, kA, QStringLiteral("Alpha"), std::nullopt, {}, false}};
    m_store->positions.remove(key(kA));
    m_store->positions.insert(key(QStringLiteral("Alpha"), QStringLiteral("second")), 60);
    Request request = hideRequest({kA}, {});
    request.requireAll = true;
    const auto plan = m_preferences->arrange(request);
    EXPECT_EQ(plan.changes.size(), 1);
    EXPECT_EQ(m_store->positions.value(key(QStringLiteral("Alpha"), QStringLiteral("second"))), 140);
}

TEST(TrayPositionError, SentencesAreTheOnesTheUserSees)
{
    using Case = TrayPositionError::Case;
    EXPECT_EQ(TrayPositionError(Case::unsupported).description(),
              QStringLiteral("macOS menu bar positions have an unsupported format. Nothing was rearranged."));
    EXPECT_EQ(TrayPositionError(Case::access).description(),
              QStringLiteral(
                  "Tray could not access macOS menu bar positions. Check Full Disk Access and try again."));
    EXPECT_EQ(TrayPositionError(Case::missing).description(),
              QStringLiteral("Some running apps have no unambiguous saved menu bar position. Refresh and try "
                             "arranging again."));
    EXPECT_EQ(
        TrayPositionError(Case::verification).description(),
        QStringLiteral("macOS did not confirm the saved positions. Tray kept the position recovery record."));
}
