#include "foundation/json.h"
#include "foundation/private_files.h"
#include "foundation/system_error.h"
#include "memory_stores.h"
#include "platform/simulated/simulated_host.h"
#include "support/fake_workspace.h"
#include "support/file_mode.h"
#include "support/test_host.h"
#include "support/tracked_applications_fixture.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_preference_visibility.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::test;

namespace {

const QString kOwn = QStringLiteral("local.velmor.tray");
const QString kA = QStringLiteral("com.example.a");
const QString kB = QStringLiteral("com.example.b");
const QString kC = QStringLiteral("com.example.c");

class TrayPreferenceVisibilityTest : public ::testing::Test {
protected:
    TrayPreferenceVisibilityTest() : m_host(hostConfiguration(m_home.path(), m_home.path()))
    {
        m_original = TrackedList()
                         .addBundle(kA)
                         .addBundle(kB)
                         .addBundle(kC)
                         .addBundle(QStringLiteral("com.apple.x"))
                         .toBinary();
        auto store = std::make_unique<MemoryPreferenceStore>();
        store->data = m_original;
        m_store = store.get();
        m_visibility = std::make_unique<TrayPreferenceVisibility>(m_host, m_workspace, std::move(store));
    }

    void hide(const QSet<QString>& hidden) { m_visibility->apply(hidden, {}, m_running, kOwn); }
    QString journal() const { return m_visibility->journalPath(); }
    Json journalJson() const { return json::parse(private_files::read(journal())); }
    std::optional<bool> allowed(const QString& bundleID) const { return allowedOf(m_store->data, bundleID); }
    void setAllowedByHand(int row, bool allowed)
    {
        PropertyList list = PropertyList::decode(m_store->data);
        list.root().at(2 * row + 1).setBool(QStringLiteral("isAllowed"), allowed);
        m_store->data = list.toBinary();
    }

    QTemporaryDir m_home;
    platform::SimulatedHost m_host;
    FakeWorkspace m_workspace;
    TrayTrackedApplications::Executables m_running{{kA, {}}, {kB, {}}, {kC, {}}};
    QByteArray m_original;
    MemoryPreferenceStore* m_store = nullptr;
    std::unique_ptr<TrayPreferenceVisibility> m_visibility;
};

} // namespace

TEST_F(TrayPreferenceVisibilityTest, HideJournalsPrivatelyAndReleasePutsEverythingBack)
{
    hide({});
    EXPECT_EQ(m_store->reads, 0) << "nothing to hide and nothing to undo";

    hide({kA, kB});
    EXPECT_EQ(allowed(kA), false);
    EXPECT_EQ(allowed(kB), false);
    EXPECT_EQ(allowed(kC), true);
    const QString rowA = QString::fromUtf8(TrayTrackedApplications::canonical(bundleLocation(kA).root()));
    EXPECT_EQ(journal(), m_home.filePath(QStringLiteral(
                             "Library/Application Support/Velmor Tray/visibility-recovery.json")));
    const QString rowB = QString::fromUtf8(TrayTrackedApplications::canonical(bundleLocation(kB).root()));
    EXPECT_EQ(private_files::read(journal()),
              QStringLiteral(R"([{"rowID":"%1","original":true,"applied":false},)"
                             R"({"rowID":"%2","original":true,"applied":false}])")
                  .arg(rowA, rowB)
                  .toUtf8());
    ASSERT_EQ(m_visibility->changes().size(), 2);
    EXPECT_EQ(m_visibility->changes()[0], (TrayTrackedApplications::Change{rowA, true, false}));
    EXPECT_EQ(fileMode(journal()), 0600);
    EXPECT_EQ(fileMode(QFileInfo(journal()).absolutePath()), 0700);

    EXPECT_FALSE(m_visibility->release());
    EXPECT_EQ(PropertyList::decode(m_store->data), PropertyList::decode(m_original));
    EXPECT_FALSE(QFile::exists(journal()));
    EXPECT_TRUE(m_visibility->changes().isEmpty());
}

TEST_F(TrayPreferenceVisibilityTest, ANewRequestStartsFromTheUsersSettingsAndJournalsASupersetFirst)
{
    hide({kA});
    Json duringWrite;
    m_visibility->setStepObserver([&](TrayEditStep step) {
        if (step == TrayEditStep::afterFirstJournal)
            duringWrite = journalJson();
    });
    hide({kB});
    EXPECT_EQ(allowed(kA), true) << "no longer requested";
    EXPECT_EQ(allowed(kB), false);
    EXPECT_EQ(duringWrite.size(), 2u) << "both rows may change during the write";
    EXPECT_EQ(journalJson().size(), 1u);

    // A fresh editor (a new run) finds the rows already hidden: no write, just the journal.
    auto fresh = std::make_unique<MemoryPreferenceStore>();
    fresh->data = m_store->data;
    m_store = fresh.get();
    m_visibility = std::make_unique<TrayPreferenceVisibility>(m_host, m_workspace, std::move(fresh));
    hide({kB});
    EXPECT_EQ(m_store->writes, 0);
    EXPECT_EQ(m_visibility->changes().size(), 1);

    // An empty request with a journal reveals everything and deletes the journal.
    hide({});
    EXPECT_EQ(allowed(kB), true);
    EXPECT_FALSE(QFile::exists(journal()));
}

TEST_F(TrayPreferenceVisibilityTest, RowsTheUserChangedSinceAreNeverPutBack)
{
    hide({kA, kB});
    setAllowedByHand(1, true);  // the user shows b again in System Settings
    setAllowedByHand(2, false); // and hides c there
    EXPECT_FALSE(m_visibility->release());
    EXPECT_EQ(allowed(kA), true);
    EXPECT_EQ(allowed(kB), true);
    EXPECT_EQ(allowed(kC), false);
    EXPECT_FALSE(QFile::exists(journal()));
}

TEST_F(TrayPreferenceVisibilityTest, RefusedRequestsWriteNothing)
{
    m_running.insert(QStringLiteral("com.example.unlisted"), {});
    m_running.insert(QStringLiteral("com.apple.unlisted"), {});
    try {
        hide({kA, QStringLiteral("com.example.unlisted"), QStringLiteral("com.apple.unlisted"),
              QStringLiteral("com.example.notRunning")});
        ADD_FAILURE() << "expected missing";
    } catch (const TrayPreferenceError& error) {
        EXPECT_EQ(error.kind(), TrayPreferenceError::Case::missing);
        EXPECT_EQ(error.missingBundleIDs(), QSet<QString>{QStringLiteral("com.example.unlisted")});
    }
    EXPECT_EQ(m_store->writes, 0);
    EXPECT_FALSE(QFile::exists(journal()));

    PropertyList malformed = PropertyList::decode(m_original);
    malformed.root().append(PropertyList::dictionary());
    m_store->data = malformed.toBinary();
    try {
        hide({kA});
        ADD_FAILURE() << "expected malformed";
    } catch (const TrayTrackedApplications::Failure& failure) {
        EXPECT_EQ(failure.kind(), TrayTrackedApplications::Failure::Case::malformed);
    }
    EXPECT_EQ(m_store->writes, 0);
    EXPECT_FALSE(QFile::exists(journal()));
}

TEST_F(TrayPreferenceVisibilityTest, AWriteTheSystemDoesNotTakeIsUndoneAtOnce)
{
    m_store->ignoreWrites = true;
    try {
        hide({kA});
        ADD_FAILURE() << "expected verification";
    } catch (const TrayPreferenceError& error) {
        EXPECT_EQ(error.kind(), TrayPreferenceError::Case::verification);
    }
    EXPECT_FALSE(QFile::exists(journal())) << "nothing is changed, so nothing is left to recover";

    // The write lands but cannot be confirmed, and the undo cannot read the list either: the
    // superset journal stays for a later release().
    m_store->ignoreWrites = false;
    m_store->failWrite = [this] {
        m_store->data = TrackedList().addBundle(kA, false).addBundle(kB).addBundle(kC).toBinary();
        m_store->failRead = [] { throw TrayPreferenceError(TrayPreferenceError::Case::access); };
        throw TrayPreferenceError(TrayPreferenceError::Case::access);
    };
    try {
        hide({kA});
        ADD_FAILURE() << "expected access";
    } catch (const TrayPreferenceError& error) {
        EXPECT_EQ(error.kind(), TrayPreferenceError::Case::access);
    }
    EXPECT_TRUE(QFile::exists(journal()));
    const auto error = m_visibility->release();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description(), TrayPreferenceError(TrayPreferenceError::Case::access).description());
    m_store->failWrite = nullptr;
    m_store->failRead = nullptr;
    EXPECT_FALSE(m_visibility->release());
    EXPECT_EQ(allowed(kA), true);
    EXPECT_FALSE(QFile::exists(journal()));
}

TEST_F(TrayPreferenceVisibilityTest, ACorruptJournalIsReportedAndKept)
{
    private_files::ensureDirectory(QFileInfo(journal()).absolutePath());
    for (const QByteArray& corrupt : {QByteArray("[{\"rowID\":\"x\",\"original\":true}]"), QByteArray("{]"),
                                      QByteArray("{\"rowID\":\"x\"}")}) {
        private_files::writeAtomically(journal(), corrupt);
        EXPECT_THROW(hide({kA}), SystemError);
        const auto error = m_visibility->release();
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->as<SystemError>());
        EXPECT_EQ(private_files::read(journal()), corrupt);
        EXPECT_EQ(m_store->writes, 0);
    }
}

TEST_F(TrayPreferenceVisibilityTest, CompletionFormUsesTheRunningApplicationsAndReportsErrors)
{
    const QByteArray list =
        TrackedList()
            .add({adhocLocation(QStringLiteral("file:///Applications/A.app/Contents/MacOS/A")),
                  true,
                  std::nullopt,
                  {}})
            .toBinary();
    m_store->data = list;
    m_workspace.applications = {
        {1, kA, QStringLiteral("A"), QStringLiteral("/Applications/A.app/Contents/MacOS/A"), {}, false},
        {2, std::nullopt, QStringLiteral("Loose"), QStringLiteral("/bin/loose"), {}, false},
        {3, kB, QStringLiteral("B"), std::nullopt, {}, false}};
    std::optional<std::optional<ErrorValue>> outcome;
    m_visibility->apply({kA}, {}, {}, kOwn,
                        [&](std::optional<ErrorValue> error) { outcome = std::move(error); });
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(*outcome);
    EXPECT_EQ(PropertyList::decode(m_store->data).root().at(1).value(QStringLiteral("isAllowed")).toBool(),
              false);

    outcome.reset();
    m_visibility->apply({kA, kB}, {}, {}, kOwn,
                        [&](std::optional<ErrorValue> error) { outcome = std::move(error); });
    ASSERT_TRUE(outcome && *outcome);
    const auto missing = (*outcome)->as<TrayPreferenceError>();
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->missingBundleIDs(), QSet<QString>{kB});
    EXPECT_EQ(
        (*outcome)->description(),
        QStringLiteral("Some selected apps are not registered in macOS menu bar settings yet. Reveal all, "
                       "refresh, and try again."));
}

TEST(TrayPreferenceVisibility, AvailableFromMacOS27)
{
    QTemporaryDir home;
    FakeWorkspace workspace;
    platform::SimulatedHost host(hostConfiguration(home.path(), home.path()));
    host.configuration().systemVersion = {26, 4, 0};
    EXPECT_FALSE(
        TrayPreferenceVisibility(host, workspace, std::make_unique<MemoryPreferenceStore>()).isAvailable());
    host.configuration().systemVersion = {27, 0, 0};
    EXPECT_TRUE(
        TrayPreferenceVisibility(host, workspace, std::make_unique<MemoryPreferenceStore>()).isAvailable());
}

TEST(TrayPreferenceError, SentencesAreTheOnesTheUserSees)
{
    using Case = TrayPreferenceError::Case;
    EXPECT_EQ(
        TrayPreferenceError(Case::access).description(),
        QStringLiteral("Tray needs Full Disk Access to change macOS menu bar visibility. Enable it in System "
                       "Settings, then quit and reopen Tray."));
    EXPECT_EQ(TrayPreferenceError(Case::malformed).description(),
              QStringLiteral("macOS menu bar preferences have an unsupported format. Nothing was changed."));
    EXPECT_EQ(
        TrayPreferenceError(Case::verification).description(),
        QStringLiteral(
            "macOS did not confirm the visibility change. Tray kept its recovery record; try Reveal all."));
    EXPECT_STREQ(TrayPreferenceError(Case::malformed).what(),
                 "macOS menu bar preferences have an unsupported format. Nothing was changed.");
}
