#include "foundation/private_files.h"
#include "foundation/property_list.h"
#include "foundation/regular_file.h"
#include "simulated_mac/simulated_preference_domains.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;

namespace {

PropertyList rowsOf(const QString& path)
{
    const PropertyList domain = PropertyList::decode(RegularFile::read(path, PropertyList::maximumBytes));
    return PropertyList::decode(*domain.root().value(QStringLiteral("trackedApplications")).toData());
}

} // namespace

class SimulatedPreferenceDomainsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_domains.createMissing(
            {TrackedRowSeed{TrackedRowKind::Bundle, QStringLiteral("com.example.weather"), {}, 1},
             TrackedRowSeed{TrackedRowKind::AdhocBinary, QStringLiteral("com.example.picker"),
                            QStringLiteral("/Applications/Pixel Picker.app/Contents/MacOS/Pixel Picker"), 1},
             TrackedRowSeed{TrackedRowKind::AdhocBinary, {}, QStringLiteral("/usr/local/bin/agent"), 1}},
            {{QStringLiteral("status:com.example.weather::Item-0"), 75}});
    }

    QTemporaryDir m_home;
    SimulatedPreferenceDomains m_domains{m_home.path()};
};

// Inside an app bundle a row holds a file address, elsewhere the bare path, as the system writes
// them; the app reads both forms.
TEST_F(SimulatedPreferenceDomainsTest, BinaryRowsNameTheirExecutableAsTheSystemDoes)
{
    const PropertyList rows = rowsOf(m_domains.controlCenterPath());
    ASSERT_EQ(rows.root().count(), 10) << "two rows of the system's own and three given, as key/value pairs";
    for (const auto& [index, relative] :
         {std::pair(6, "file:///Applications/Pixel%20Picker.app/Contents/MacOS/Pixel%20Picker"),
          std::pair(8, "/usr/local/bin/agent")}) {
        const PlistNode binary = rows.root().at(index).value(QStringLiteral("adhocBinary"));
        EXPECT_EQ(binary.value(QStringLiteral("_0")).value(QStringLiteral("relative")).toString(),
                  QString::fromUtf8(relative));
    }
    EXPECT_EQ(m_domains.trackedRows()->at(3).executablePath,
              QStringLiteral("/Applications/Pixel Picker.app/Contents/MacOS/Pixel Picker"));
}

TEST_F(SimulatedPreferenceDomainsTest, OwnWritesKeepEverythingElseAndUnreadableFilesAreLeftAlone)
{
    const PropertyList before = rowsOf(m_domains.controlCenterPath());
    ASSERT_TRUE(m_domains.addTrackedRow(
        TrackedRowSeed{TrackedRowKind::Bundle, QStringLiteral("org.new.app"), {}, 2}));
    ASSERT_TRUE(m_domains.setPosition(QStringLiteral("status:org.new.app::Item-0"), 500));

    const PropertyList after = rowsOf(m_domains.controlCenterPath());
    ASSERT_EQ(after.root().count(), before.root().count() + 2);
    for (int i = 0; i < before.root().count(); ++i)
        EXPECT_TRUE(after.root().at(i) == before.root().at(i)) << "row member " << i << " changed";
    EXPECT_EQ(after.root().at(1).value(QStringLiteral("reference")).toUid(), 1u);
    const PropertyList menuBar =
        PropertyList::decode(RegularFile::read(m_domains.menuBarPath(), PropertyList::maximumBytes));
    EXPECT_EQ(menuBar.root()
                  .value(QStringLiteral("TrailingItemPreferredPositions"))
                  .value(QStringLiteral("menuExtra:com.apple.menuextra.textinput"))
                  .toReal(),
              12.0);
    EXPECT_EQ(m_domains.position(QStringLiteral("status:org.new.app::Item-0")), 500);
    EXPECT_EQ(m_domains.largestPosition(), 500);

    private_files::writeAtomically(m_domains.menuBarPath(), "not a property list");
    EXPECT_FALSE(m_domains.setPosition(QStringLiteral("status:org.new.app::Item-0"), 10));
    EXPECT_EQ(RegularFile::read(m_domains.menuBarPath(), PropertyList::maximumBytes),
              QByteArray("not a property list"));
    EXPECT_FALSE(m_domains.position(QStringLiteral("status:org.new.app::Item-0")));
}

TEST_F(SimulatedPreferenceDomainsTest, OnlyEditsFromElsewhereCountAsChanges)
{
    EXPECT_FALSE(m_domains.takeControlCenterChange());
    m_domains.addTrackedRow(TrackedRowSeed{TrackedRowKind::Bundle, QStringLiteral("org.new.app"), {}, 1});
    EXPECT_FALSE(m_domains.takeControlCenterChange()) << "the world's own write is no edit";

    const QByteArray edited =
        RegularFile::read(m_domains.controlCenterPath(), PropertyList::maximumBytes) + QByteArray();
    PropertyList domain = PropertyList::decode(edited);
    domain.root().setEntry(QStringLiteral("ControlCenterSchemaVersion"), PropertyList::integer(3));
    private_files::writeAtomically(m_domains.controlCenterPath(), domain.toBinary());
    // The world writes before it looked: its write must not hide the edit.
    m_domains.addTrackedRow(TrackedRowSeed{TrackedRowKind::Bundle, QStringLiteral("org.other.app"), {}, 1});
    const auto change = m_domains.takeControlCenterChange();
    ASSERT_TRUE(change);
    EXPECT_EQ(
        PropertyList::decode(*change).root().value(QStringLiteral("ControlCenterSchemaVersion")).toInteger(),
        3);
    EXPECT_EQ(SimulatedPreferenceDomains::parseTrackedRows(*change)->size(), 7);
    EXPECT_FALSE(m_domains.takeControlCenterChange());
}

TEST(SimulatedPreferenceDomainsPathTest, LocationsNormalizeLikeTheSystem)
{
    EXPECT_EQ(SimulatedPreferenceDomains::normalizePath(QStringLiteral("/usr/./local/../bin/tool")),
              QStringLiteral("/usr/bin/tool"));
    EXPECT_EQ(
        SimulatedPreferenceDomains::normalizePath(QStringLiteral("file://localhost/Applications/A%20B.app")),
        QStringLiteral("/Applications/A B.app"));
    for (const char* refused : {"file://server/Applications/A.app", "https://example.com/a", "relative/path"})
        EXPECT_FALSE(SimulatedPreferenceDomains::normalizePath(QString::fromUtf8(refused))) << refused;
}
