// The stores and editors against the real `velmor-defaults` process in a temporary simulated
// home, with faults injected through the stand-in's knobs.

#include "foundation/regular_file.h"
#include "foundation/system_error.h"
#include "support/error_case.h"
#include "support/fake_workspace.h"
#include "support/file_mode.h"
#include "support/process_probe.h"
#include "support/simulated_home.h"
#include "support/tracked_applications_fixture.h"
#include "tray_visibility/mac_tray_position_store.h"
#include "tray_visibility/sample_apps.h"
#include "tray_visibility/tray_position_error.h"
#include "tray_visibility/tray_position_preferences.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_preference_visibility.h"

#include <QElapsedTimer>
#include <QFile>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <csignal>

using namespace velmor;
using namespace velmor::test;
using PreferenceCase = TrayPreferenceError::Case;

namespace {

class DefaultsStandInTest : public ::testing::Test {
protected:
    DefaultsStandInTest() : m_host(m_home.hostConfiguration())
    {
        m_home.writeTrackedApplications(m_list);
        m_home.writePositions({{QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular"), 100},
                               {kItemA, 10},
                               {QStringLiteral("status:com.example.b::item"), 50}});
    }
    ~DefaultsStandInTest() override { EXPECT_TRUE(m_home.leftovers().isEmpty()); }

    void hide(TrayPreferenceVisibility& editor, const QSet<QString>& hidden)
    {
        editor.apply(hidden, {}, TrayTrackedApplications::Executables{{kA, {}}, {kB, {}}},
                     QStringLiteral("local.velmor.tray"));
    }
    std::optional<TrayPreferenceError::Case> hideError(const QSet<QString>& hidden)
    {
        TrayPreferenceVisibility editor(m_host, m_workspace);
        return errorCase<TrayPreferenceError>([&] { hide(editor, hidden); });
    }
    std::optional<TrayPositionError::Case> arrangeError()
    {
        TrayPositionPreferences::Request request;
        request.hiddenBundleIDs = {kA, kB};
        request.chevronKey = QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular");
        return errorCase<TrayPositionError>([&] { m_positions.arrange(request, {{kA, {kA}}, {kB, {kB}}}); });
    }
    QString visibilityJournal() const { return TrayPreferenceVisibility(m_host, m_workspace).journalPath(); }

    SimulatedHome m_home;
    simulated_mac::SimulatedHost m_host;
    FakeWorkspace m_workspace;
    TrayPositionPreferences m_positions{m_host, m_workspace};
    const QByteArray m_list = TrackedList().addBundle(kA).addBundle(kB).toBinary();
};

} // namespace

TEST_F(DefaultsStandInTest, HideReleaseAndArrangeRunTheToolFourTimesAndKeepTheRestOfTheDomain)
{
    const QString domainFile = m_home.controlCenterDomain() + QStringLiteral(".plist");
    QFile::setPermissions(domainFile,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    TrayPreferenceVisibility editor(m_host, m_workspace);
    hide(editor, {kA});
    EXPECT_EQ(m_home.runs("export"), 3);
    EXPECT_EQ(m_home.runs("import"), 1);
    EXPECT_EQ(allowedOf(m_home.trackedApplications(), kA), false);
    EXPECT_EQ(SimulatedHome::readDomain(m_home.controlCenterDomain())
                  .root()
                  .value(QStringLiteral("unrelated"))
                  .toInteger(),
              7);
    EXPECT_TRUE(RegularFile::read(domainFile, PropertyList::maximumBytes).startsWith("bplist00"));
    EXPECT_EQ(fileMode(domainFile), 0640);

    m_home.resetRuns();
    EXPECT_FALSE(TrayPreferenceVisibility(m_host, m_workspace).release()) << "a new run finds the journal";
    EXPECT_EQ(m_home.runs("export") + m_home.runs("import"), 4);
    EXPECT_EQ(PropertyList::decode(m_home.trackedApplications()), PropertyList::decode(m_list));
    EXPECT_FALSE(QFile::exists(visibilityJournal()));

    m_home.resetRuns();
    EXPECT_EQ(arrangeError(), std::nullopt);
    EXPECT_EQ(m_home.runs("export") + m_home.runs("import"), 4);
    EXPECT_EQ(m_home.position(kItemA), 140);
    m_positions.restore();
    EXPECT_EQ(m_home.position(kItemA), 10);
    EXPECT_EQ(SimulatedHome::readDomain(m_home.menuBarDomain())
                  .root()
                  .value(QStringLiteral("unrelated"))
                  .toString(),
              QStringLiteral("kept"));
    EXPECT_FALSE(QFile::exists(m_positions.journalPath()));
}

// Only a domain the tool cannot reach, or that reads as nothing at all, means a missing permission;
// an export that does not parse is malformed, and a domain that tracks no app yet has no rows.
TEST_F(DefaultsStandInTest, AnUnreachableDomainIsAccessAnUnreadableOneMalformed)
{
    m_home.setFullDiskAccess(false);
    EXPECT_EQ(hideError({kA}), PreferenceCase::access);
    EXPECT_EQ(arrangeError(), TrayPositionError::Case::access);
    m_home.setFullDiskAccess(true);

    for (const QByteArray& faults :
         {QByteArray(R"({"export": {"exitStatus": 3}})"), QByteArray(R"({"import": {"denyAccess": true}})"),
          QByteArray(R"({"export": {"afterRuns": 1, "typo": 1}})")}) {
        m_home.setFaults(faults);
        EXPECT_EQ(hideError({kA}), PreferenceCase::access) << faults.constData();
    }
    m_home.setFaults(R"({"export": {"corruptOutput": true}})");
    EXPECT_EQ(hideError({kA}), PreferenceCase::malformed);
    m_home.setFaults("{}");
    EXPECT_EQ(PropertyList::decode(m_home.trackedApplications()), PropertyList::decode(m_list));
    EXPECT_FALSE(QFile::exists(visibilityJournal()));

    PropertyList untracked = PropertyList::dictionary();
    untracked.root().setEntry(QStringLiteral("unrelated"), PropertyList::integer(7));
    SimulatedHome::writeDomain(m_home.controlCenterDomain(), untracked);
    EXPECT_EQ(hideError({kA}), PreferenceCase::missing);
    EXPECT_EQ(SimulatedHome::readDomain(m_home.controlCenterDomain()), untracked);
    SimulatedHome::writeDomain(m_home.controlCenterDomain(), PropertyList::dictionary());
    EXPECT_EQ(hideError({kA}), PreferenceCase::access);
    QFile::remove(m_home.controlCenterDomain() + QStringLiteral(".plist"));
    EXPECT_EQ(hideError({kA}), PreferenceCase::access);
}

// The menu bar's positions are only ever rewritten: a patch naming a key the domain lacks, or a
// value that is not finite, is refused before anything is imported. Only giving back a place the
// menu bar forgot adds a key, and never a value that is not finite.
TEST_F(DefaultsStandInTest, ThePositionStoreNeverAddsKeysNorWritesNonFiniteValues)
{
    MacTrayPositionStore store(m_host);
    const QString unknown = QStringLiteral("status:com.example.new::item");
    for (const TrayPositionStore::Positions& patch :
         {TrayPositionStore::Positions{{unknown, 5}},
          TrayPositionStore::Positions{{kItemA, 20}, {unknown, 5}},
          TrayPositionStore::Positions{{kItemA, qQNaN()}}, TrayPositionStore::Positions{{kItemA, -qInf()}}}) {
        EXPECT_EQ(
            errorCase<TrayPositionError>([&] { store.patch(patch, TrayPositionStore::Keys::existingOnly); }),
            TrayPositionError::Case::unsupported);
    }
    EXPECT_EQ(errorCase<TrayPositionError>([&] {
                  store.patch({{unknown, qInf()}}, TrayPositionStore::Keys::mayAddForgotten);
              }),
              TrayPositionError::Case::unsupported);
    EXPECT_EQ(m_home.runs("import"), 0);
    EXPECT_EQ(m_home.position(kItemA), 10);
    EXPECT_FALSE(m_home.position(unknown));
    store.patch({{unknown, 5}}, TrayPositionStore::Keys::mayAddForgotten);
    EXPECT_EQ(m_home.position(unknown), 5);
    EXPECT_EQ(m_home.position(kItemA), 10);
}

TEST_F(DefaultsStandInTest, AHangingToolIsKilledAtTheDeadlineWithEverythingItStarted)
{
    // Orphans of the killed tools come to this process, so it can check how they ended and reap them.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    m_home.setFaults(R"({"export": {"hangSeconds": 30}})");
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(hideError({kA}), PreferenceCase::access);
    EXPECT_GE(timer.elapsed(), 2000);
    EXPECT_LT(timer.elapsed(), 3500);
    EXPECT_EQ(arrangeError(), TrayPositionError::Case::access);
    m_home.setFaults(R"({"import": {"hangSeconds": 30}})");
    EXPECT_EQ(hideError({kA}), PreferenceCase::access);
    EXPECT_EQ(allowedOf(m_home.trackedApplications(), kA), true);
    EXPECT_FALSE(QFile::exists(visibilityJournal()));

    const QList<qint64> pids = m_home.hangingProcesses();
    EXPECT_EQ(pids.size(), 6);
    int orphans = 0;
    for (const qint64 pid : pids) {
        int status = 0;
        if (waitpid(pid_t(pid), &status, 0) == pid) {
            ++orphans;
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "process " << pid;
        }
        EXPECT_FALSE(processIsAlive(pid)) << "process " << pid << " was left behind";
    }
    EXPECT_EQ(orphans, 3) << "each hanging tool's own child";
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

TEST_F(DefaultsStandInTest, AnImportTheSystemDoesNotTakeIsRolledBackAtOnce)
{
    // The import lands but its read-back export fails: the restore runs at once and succeeds.
    m_home.setFaults(R"({"export": {"afterRuns": 2, "times": 1, "exitStatus": 1}})");
    EXPECT_EQ(hideError({kA, kB}), PreferenceCase::access);
    EXPECT_EQ(PropertyList::decode(m_home.trackedApplications()), PropertyList::decode(m_list));
    EXPECT_FALSE(QFile::exists(visibilityJournal()));

    m_home.setFaults(R"({"import": {"ignore": true}})");
    EXPECT_EQ(hideError({kA}), PreferenceCase::verification);
    EXPECT_FALSE(QFile::exists(visibilityJournal()));
    EXPECT_EQ(arrangeError(), TrayPositionError::Case::verification);
    EXPECT_EQ(m_home.position(kItemA), 10);
    EXPECT_FALSE(QFile::exists(m_positions.journalPath()));

    m_home.setFaults("{}");
    PropertyList domain = SimulatedHome::readDomain(m_home.menuBarDomain());
    domain.root()
        .value(QStringLiteral("TrailingItemPreferredPositions"))
        .setBool(QStringLiteral("odd"), true);
    SimulatedHome::writeDomain(m_home.menuBarDomain(), domain);
    EXPECT_EQ(arrangeError(), TrayPositionError::Case::unsupported);
}
