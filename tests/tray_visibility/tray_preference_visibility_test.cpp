#include "foundation/private_files.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"
#include "memory_stores.h"
#include "support/error_case.h"
#include "support/fake_workspace.h"
#include "support/file_mode.h"
#include "support/test_host.h"
#include "support/tracked_applications_fixture.h"
#include "tray_visibility/sample_apps.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_preference_visibility.h"
#include "tray_visibility/tray_recovery_file.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::test;

namespace {

QString rowOf(const QString& bundleID)
{
    return QString::fromUtf8(TrayTrackedApplications::canonical(bundleLocation(bundleID).root()));
}

class TrayPreferenceVisibilityTest : public ::testing::Test {
protected:
    TrayPreferenceVisibilityTest() : m_host(hostConfiguration(m_home.path(), m_home.path()))
    {
        reopen(m_original);
    }

    // A new editor, as in a new run of the app, over a store holding `list`.
    void reopen(const QByteArray& list)
    {
        auto store = std::make_unique<MemoryPreferenceStore>();
        store->data = list;
        m_store = store.get();
        m_editor = std::make_unique<TrayPreferenceVisibility>(m_host, m_workspace, std::move(store));
    }
    void hide(const QSet<QString>& hidden) { m_editor->apply(hidden, {}, m_running, kOwn); }
    QByteArray journal() const
    {
        return RegularFile::read(m_editor->journalPath(), TrayRecoveryFile::maximumBytes);
    }
    bool journalExists() const { return QFile::exists(m_editor->journalPath()); }
    std::optional<bool> allowed(const QString& bundleID) const { return allowedOf(m_store->data, bundleID); }

    QTemporaryDir m_home;
    simulated_mac::SimulatedHost m_host;
    FakeWorkspace m_workspace;
    TrayTrackedApplications::Executables m_running{{kA, {}}, {kB, {}}, {kC, {}}};
    const QByteArray m_original = TrackedList().addBundle(kA).addBundle(kB).addBundle(kC).toBinary();
    MemoryPreferenceStore* m_store = nullptr;
    std::unique_ptr<TrayPreferenceVisibility> m_editor;
};

} // namespace

TEST_F(TrayPreferenceVisibilityTest, JournalsEveryChangedRowPrivatelyAndOnlyOnce)
{
    m_store->failRead = [] { ADD_FAILURE() << "nothing to hide or undo needs no read"; };
    hide({});
    m_store->failRead = nullptr;

    hide({kA, kB});
    EXPECT_EQ(
        m_editor->journalPath(),
        m_home.filePath(QStringLiteral("Library/Application Support/Velmor Tray/visibility-recovery.json")));
    EXPECT_EQ(journal(), QStringLiteral(R"([{"rowID":"%1","original":true,"applied":false},)"
                                        R"({"rowID":"%2","original":true,"applied":false}])")
                             .arg(rowOf(kA), rowOf(kB))
                             .toUtf8());
    EXPECT_EQ(fileMode(m_editor->journalPath()), 0600);
    EXPECT_EQ(fileMode(QFileInfo(m_editor->journalPath()).absolutePath()), 0700);

    // A new run finds the rows hidden: the same request writes nothing. (A release that leaves
    // the user's own changes is the crash test's, after every kill point.)
    reopen(TrackedList().addBundle(kA, false).addBundle(kB, false).addBundle(kC).toBinary());
    const quint64 journalFile = fileInode(m_editor->journalPath());
    hide({kA, kB});
    EXPECT_EQ(m_store->writes, 0);
    EXPECT_EQ(fileInode(m_editor->journalPath()), journalFile) << "nor is the same record written again";
    EXPECT_FALSE(m_editor->release());
    EXPECT_FALSE(journalExists());
}

TEST_F(TrayPreferenceVisibilityTest, ANewRequestStartsFromTheUsersSettingsBehindASupersetJournal)
{
    hide({kA});
    QByteArray duringWrite;
    m_editor->setStepObserver([&](TrayEditStep step) {
        if (step == TrayEditStep::afterFirstJournal)
            duringWrite = journal();
    });
    hide({kB});
    EXPECT_EQ(allowed(kA), true);
    EXPECT_EQ(allowed(kB), false);
    EXPECT_TRUE(duringWrite.contains(rowOf(kA).toUtf8()) && duringWrite.contains(rowOf(kB).toUtf8()));
    EXPECT_EQ(m_editor->changes(), (QList<TrayTrackedApplications::Change>{{rowOf(kB), true, false}}));

    hide({});
    EXPECT_EQ(PropertyList::decode(m_store->data), PropertyList::decode(m_original));
    EXPECT_FALSE(journalExists());
}

TEST_F(TrayPreferenceVisibilityTest, FailuresWriteNothingOrAreUndoneAtOnce)
{
    m_running.insert(QStringLiteral("com.example.unlisted"), {});
    try {
        hide({kA, QStringLiteral("com.example.unlisted"), QStringLiteral("com.example.notRunning")});
        ADD_FAILURE() << "expected missing";
    } catch (const TrayPreferenceError& error) {
        EXPECT_EQ(error.kind(), TrayPreferenceError::Case::missing);
        EXPECT_EQ(error.missingBundleIDs(), QSet<QString>{QStringLiteral("com.example.unlisted")});
    }
    EXPECT_EQ(m_store->writes, 0);
    EXPECT_FALSE(journalExists());

    // The system keeps the old list: verification fails and nothing is left to recover.
    m_store->keep = true;
    EXPECT_THROW(hide({kA}), TrayPreferenceError);
    EXPECT_FALSE(journalExists());

    // The write lands but is not confirmed and the undo cannot read: the journal stays for later.
    m_store->keep = false;
    m_store->failWrite = [this] {
        m_store->data = TrackedList().addBundle(kA, false).addBundle(kB).addBundle(kC).toBinary();
        m_store->failRead = [] { throw TrayPreferenceError(TrayPreferenceError::Case::access); };
        throw TrayPreferenceError(TrayPreferenceError::Case::access);
    };
    EXPECT_THROW(hide({kA}), TrayPreferenceError);
    const auto error = m_editor->release();
    ASSERT_TRUE(error && error->as<TrayPreferenceError>());
    EXPECT_EQ(error->description(), TrayPreferenceError(TrayPreferenceError::Case::access).description());
    EXPECT_TRUE(journalExists());
    m_store->failWrite = nullptr;
    m_store->failRead = nullptr;
    EXPECT_FALSE(m_editor->release());
    EXPECT_EQ(allowed(kA), true);
    EXPECT_FALSE(journalExists());
}

// A list the app does not understand (a row named twice, bytes that are no property list) is
// reported with the library's own malformed sentence, and the journal stays for a later release.
TEST_F(TrayPreferenceVisibilityTest, AListItDoesNotUnderstandIsMalformed)
{
    hide({kA});
    for (const QByteArray& list :
         {TrackedList().addBundle(kA, false).addBundle(kA).toBinary(), QByteArray("bplist00")}) {
        m_store->data = list;
        EXPECT_EQ(errorCase<TrayPreferenceError>([&] { hide({kB}); }), TrayPreferenceError::Case::malformed);
        const auto error = m_editor->release();
        ASSERT_TRUE(error);
        EXPECT_EQ(
            error->description(),
            QStringLiteral("macOS menu bar preferences have an unsupported format. Nothing was changed."));
        EXPECT_TRUE(journalExists());
        EXPECT_EQ(m_store->writes, 1) << "only the first hide wrote";
    }
}

TEST_F(TrayPreferenceVisibilityTest, ACorruptJournalIsReportedAndKept)
{
    private_files::ensureDirectory(QFileInfo(m_editor->journalPath()).absolutePath());
    for (const QByteArray& corrupt : {QByteArray(R"([{"rowID":"x","original":true}])"), QByteArray("{]")}) {
        private_files::writeAtomically(m_editor->journalPath(), corrupt);
        EXPECT_THROW(hide({kA}), SystemError);
        const auto error = m_editor->release();
        EXPECT_TRUE(error && error->as<SystemError>());
        EXPECT_EQ(journal(), corrupt);
        EXPECT_EQ(m_store->writes, 0);
    }
}

TEST_F(TrayPreferenceVisibilityTest, CompletionFormFindsTheRunningExecutablesItself)
{
    m_store->data =
        TrackedList()
            .add({adhocLocation(QStringLiteral("file:///Applications/A.app/Contents/MacOS/A")), true, {}, {}})
            .toBinary();
    m_workspace.applications = {
        {1, kA, {}, QStringLiteral("/Applications/A.app/Contents/MacOS/A"), {}, false},
        {2, std::nullopt, {}, QStringLiteral("/bin/loose"), {}, false}};
    std::optional<std::optional<ErrorValue>> outcome;
    m_editor->apply({kA}, {}, {kB}, kOwn,
                    [&](std::optional<ErrorValue> error) { outcome = std::move(error); });
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(*outcome);
    EXPECT_EQ(m_store->writes, 1);

    m_workspace.applications.append({3, kB, {}, std::nullopt, {}, false});
    m_editor->apply({kA, kB}, {}, {}, kOwn,
                    [&](std::optional<ErrorValue> error) { outcome = std::move(error); });
    ASSERT_TRUE(*outcome);
    EXPECT_EQ((*outcome)->description(),
              QStringLiteral("Some selected apps are not registered in macOS menu bar "
                             "settings yet. Reveal all, refresh, and try again."));

    EXPECT_TRUE(m_editor->isAvailable());
    m_host.configuration().systemVersion = {26, 4, 0};
    EXPECT_FALSE(m_editor->isAvailable());
}
