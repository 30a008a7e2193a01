// The preference stores and editors against the real `velmor-defaults` process in a temporary
// simulated home, with faults injected through the stand-in's knobs.

#include "foundation/property_list.h"
#include "foundation/system_error.h"
#include "platform/simulated/simulated_host.h"
#include "support/fake_workspace.h"
#include "support/file_mode.h"
#include "support/process_probe.h"
#include "support/simulated_home.h"
#include "support/tracked_applications_fixture.h"
#include "tray_visibility/mac_tray_position_store.h"
#include "tray_visibility/mac_tray_preference_store.h"
#include "tray_visibility/tray_position_error.h"
#include "tray_visibility/tray_position_preferences.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_preference_visibility.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::test;

namespace {

const QString kOwn = QStringLiteral("local.velmor.tray");
const QString kA = QStringLiteral("com.example.a");
const QString kB = QStringLiteral("com.example.b");
const QString kChevron = QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular");

template <class E> std::optional<typename E::Case> errorOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const E& error) {
        return error.kind();
    }
    return std::nullopt;
}

class DefaultsStandInTest : public ::testing::Test {
protected:
    DefaultsStandInTest() : m_host(m_home.hostConfiguration())
    {
        m_list =
            TrackedList().addBundle(kA).addBundle(kB).addBundle(QStringLiteral("com.apple.clock")).toBinary();
        m_home.writeTrackedApplications(m_list);
        m_home.writePositions({{kChevron, 100},
                               {QStringLiteral("status:com.example.a::item"), 10},
                               {QStringLiteral("status:com.example.b::item"), 50}});
    }
    ~DefaultsStandInTest() override
    {
        EXPECT_TRUE(m_home.leftovers().isEmpty()) << m_home.leftovers().join(u' ').toStdString();
    }

    std::unique_ptr<TrayPreferenceVisibility> visibility()
    {
        return std::make_unique<TrayPreferenceVisibility>(m_host, m_workspace);
    }
    void hide(TrayPreferenceVisibility& editor, const QSet<QString>& hidden)
    {
        editor.apply(hidden, {}, TrayTrackedApplications::Executables{{kA, {}}, {kB, {}}}, kOwn);
    }
    TrayPositionPlan arrange(TrayPositionPreferences& editor)
    {
        TrayPositionPreferences::Request request;
        request.hiddenBundleIDs = {kA, kB};
        request.chevronKey = kChevron;
        return editor.arrange(request, {{kA, {kA}}, {kB, {kB}}});
    }

    SimulatedHome m_home;
    platform::SimulatedHost m_host;
    FakeWorkspace m_workspace;
    QByteArray m_list;
};

} // namespace

TEST_F(DefaultsStandInTest, AHideAndAReleaseRunTheToolFourTimesEachAndKeepTheRestOfTheDomain)
{
    const QString domainFile = m_home.controlCenterDomain() + QStringLiteral(".plist");
    QFile::setPermissions(domainFile,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    const auto editor = visibility();
    hide(*editor, {kA});
    EXPECT_EQ(m_home.runs("export"), 3);
    EXPECT_EQ(m_home.runs("import"), 1);
    EXPECT_EQ(allowedOf(m_home.trackedApplications(), kA), false);
    EXPECT_EQ(allowedOf(m_home.trackedApplications(), kB), true);
    const PropertyList domain = SimulatedHome::readDomain(m_home.controlCenterDomain());
    EXPECT_EQ(domain.root().value(QStringLiteral("unrelated")).toInteger(), 7);
    EXPECT_TRUE(private_files::read(domainFile).startsWith("bplist00"));
    EXPECT_EQ(fileMode(domainFile), 0640);
    EXPECT_EQ(fileMode(editor->journalPath()), 0600);

    m_home.resetRuns();
    EXPECT_FALSE(visibility()->release()) << "a new run finds the journal";
    EXPECT_EQ(m_home.runs("export") + m_home.runs("import"), 4);
    EXPECT_EQ(PropertyList::decode(m_home.trackedApplications()), PropertyList::decode(m_list));
    EXPECT_FALSE(QFile::exists(editor->journalPath()));
}

TEST_F(DefaultsStandInTest, AnUnreachableOrFailingDomainIsAccess)
{
    MacTrayPreferenceStore store(m_host);
    const auto access = [&] { return errorOf<TrayPreferenceError>([&] { store.read(); }); };
    m_home.setFullDiskAccess(false);
    EXPECT_EQ(access(), TrayPreferenceError::Case::access);
    EXPECT_EQ(errorOf<TrayPositionError>([&] { MacTrayPositionStore(m_host).read(); }),
              TrayPositionError::Case::access);
    m_home.setFullDiskAccess(true);
    EXPECT_EQ(store.read(), m_list);

    for (const QByteArray& faults :
         {QByteArray(R"({"export": {"exitStatus": 3}})"), QByteArray(R"({"export": {"denyAccess": true}})"),
          QByteArray(R"({"export": {"hangSeconds": 1, "exitStatus": 0, "typo": 1}})")}) {
        m_home.setFaults(faults);
        EXPECT_EQ(access(), TrayPreferenceError::Case::access) << faults.constData();
    }
    m_home.setFaults(R"({"export": {"corruptOutput": true}})");
    EXPECT_THROW(store.read(), SystemError);
    m_home.setFaults("{}");

    // A domain without the list, and a domain that does not exist, are both unreachable lists.
    SimulatedHome::writeDomain(m_home.controlCenterDomain(), PropertyList::dictionary());
    EXPECT_EQ(access(), TrayPreferenceError::Case::access);
    QFile::remove(m_home.controlCenterDomain() + QStringLiteral(".plist"));
    EXPECT_EQ(access(), TrayPreferenceError::Case::access);
}

TEST_F(DefaultsStandInTest, AHangingToolIsKilledAtTheDeadlineWithEverythingItStarted)
{
    m_home.setFaults(R"({"export": {"hangSeconds": 30}})");
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(errorOf<TrayPreferenceError>([&] { hide(*visibility(), {kA}); }),
              TrayPreferenceError::Case::access);
    EXPECT_LT(timer.elapsed(), 4000);

    // A hang on the import: the write fails, and since nothing was changed nothing stays journalled.
    m_home.setFaults(R"({"import": {"hangSeconds": 30}})");
    const auto editor = visibility();
    EXPECT_EQ(errorOf<TrayPreferenceError>([&] { hide(*editor, {kA}); }), TrayPreferenceError::Case::access);
    EXPECT_EQ(allowedOf(m_home.trackedApplications(), kA), true);
    EXPECT_FALSE(QFile::exists(editor->journalPath()));

    m_home.setFaults(R"({"export": {"hangSeconds": 30}})");
    TrayPositionPreferences positions(m_host, m_workspace);
    EXPECT_EQ(errorOf<TrayPositionError>([&] { arrange(positions); }), TrayPositionError::Case::access);

    const QList<qint64> pids = m_home.hangingProcesses();
    EXPECT_EQ(pids.size(), 6);
    for (const qint64 pid : pids)
        EXPECT_FALSE(processIsAlive(pid)) << "process " << pid << " was left behind";
}

TEST_F(DefaultsStandInTest, AnImportTheSystemDoesNotTakeIsRolledBack)
{
    // The import lands, but the read-back export is refused: verification cannot succeed, the
    // restore runs at once and needs three more runs (export, and export-import-export).
    m_home.setFaults(R"({"export": {"afterRuns": 2, "times": 1, "exitStatus": 1}})");
    const auto editor = visibility();
    EXPECT_EQ(errorOf<TrayPreferenceError>([&] {
                  hide(*editor, {kA, kB});
              }),
              TrayPreferenceError::Case::access);
    EXPECT_EQ(PropertyList::decode(m_home.trackedApplications()), PropertyList::decode(m_list));
    EXPECT_FALSE(QFile::exists(editor->journalPath()));

    m_home.setFaults(R"({"import": {"ignore": true}})");
    EXPECT_EQ(errorOf<TrayPreferenceError>([&] { hide(*editor, {kA}); }),
              TrayPreferenceError::Case::verification);
    EXPECT_FALSE(QFile::exists(editor->journalPath()));

    TrayPositionPreferences positions(m_host, m_workspace);
    EXPECT_EQ(errorOf<TrayPositionError>([&] { arrange(positions); }), TrayPositionError::Case::verification);
    EXPECT_EQ(m_home.position(QStringLiteral("status:com.example.a::item")), 10);
    EXPECT_FALSE(QFile::exists(positions.journalPath()));
}

TEST_F(DefaultsStandInTest, PositionsArePatchedInPlaceAndRestoredThroughTheTool)
{
    TrayPositionPreferences positions(m_host, m_workspace);
    m_home.resetRuns();
    const auto plan = arrange(positions);
    EXPECT_EQ(plan.changes.size(), 2);
    EXPECT_EQ(m_home.runs("export"), 3);
    EXPECT_EQ(m_home.runs("import"), 1);
    EXPECT_EQ(m_home.position(QStringLiteral("status:com.example.a::item")), 140);
    EXPECT_EQ(SimulatedHome::readDomain(m_home.menuBarDomain())
                  .root()
                  .value(QStringLiteral("unrelated"))
                  .toString(),
              QStringLiteral("kept"));
    positions.restore();
    EXPECT_EQ(m_home.position(QStringLiteral("status:com.example.a::item")), 10);
    EXPECT_EQ(m_home.position(QStringLiteral("status:com.example.b::item")), 50);
    EXPECT_FALSE(QFile::exists(positions.journalPath()));

    MacTrayPositionStore store(m_host);
    EXPECT_EQ(errorOf<TrayPositionError>([&] {
                  store.patch({{QStringLiteral("status:new::item"), 1}});
              }),
              TrayPositionError::Case::unsupported);
    PropertyList domain = SimulatedHome::readDomain(m_home.menuBarDomain());
    domain.root()
        .value(QStringLiteral("TrailingItemPreferredPositions"))
        .setBool(QStringLiteral("odd"), true);
    SimulatedHome::writeDomain(m_home.menuBarDomain(), domain);
    EXPECT_EQ(errorOf<TrayPositionError>([&] { store.read(); }), TrayPositionError::Case::unsupported);
    EXPECT_EQ(errorOf<TrayPositionError>([&] { arrange(positions); }), TrayPositionError::Case::unsupported);
}
