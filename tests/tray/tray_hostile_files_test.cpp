// The whole app on a simulated Mac whose files were written by an attacker: the control center's
// and the menu bar's domains, the app's own preferences and both recovery journals. A short
// journey must end without a crash or a hang, with a warning, and without rewriting any of them.

#include "foundation/property_list.h"
#include "simulated_mac/simulated_home.h"
#include "support/hostile_property_lists.h"
#include "tray/tray_run_fixture.h"

#include <QDir>
#include <QFile>

using namespace velmor;
using test::RawBinaryPlist;

namespace {

constexpr const char* hostileScenario = R"({ "apps": [
  { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "width": 30, "position": 300 } ] },
  { "bundleID": "com.example.bravo", "name": "Bravo", "extras": [ { "title": "Bravo", "width": 30, "position": 200 } ] } ] })";

// A control-center domain the system could have written, except that one row's key dictionary has
// a key with a NUL character (libplist asserts on it).
QByteArray controlCenterDomain()
{
    RawBinaryPlist rows;
    rows.add(RawBinaryPlist::array({1, 2}));
    rows.add(RawBinaryPlist::dictionary({{3, 4}}));
    rows.add(RawBinaryPlist::dictionary({{5, 6}}));
    rows.add(RawBinaryPlist::utf16(QStringLiteral("bund\u0000le")));
    rows.add(QByteArray(1, '\x09'));
    rows.add(RawBinaryPlist::ascii("isAllowed"));
    rows.add(QByteArray(1, '\x09'));
    PropertyList domain = PropertyList::dictionary();
    domain.root().setEntry(simulated_mac::simulated_home::trackedApplicationsKey,
                           PropertyList::data(rows.bytes()));
    return domain.toBinary();
}

// The menu bar's positions beside a few hundred bytes that expand to 2^40 values.
QByteArray menuBarDomain()
{
    RawBinaryPlist domain;
    domain.add(RawBinaryPlist::dictionary({{1, 2}, {3, 4}}));
    domain.add(RawBinaryPlist::ascii("Junk"));
    domain.add(RawBinaryPlist::array({5, 5}));
    domain.add(RawBinaryPlist::utf16(QStringLiteral("TrailingItemPreferredPositions")));
    domain.add(RawBinaryPlist::dictionary({}));
    for (int level = 0; level < 40; ++level)
        domain.add(RawBinaryPlist::array({6 + level, 6 + level}));
    domain.add(QByteArray(1, '\x09'));
    return domain.bytes();
}

class TrayHostileFilesTest : public test::TrayRunTest {
protected:
    void plant(const QString& path, const QByteArray& bytes)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        m_planted.append({path, bytes});
    }
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool settled()
    {
        return waitUntil([&] { return !controller().busy(); }, 30);
    }

    QList<std::pair<QString, QByteArray>> m_planted;
};

} // namespace

TEST_F(TrayHostileFilesTest, NothingCrashesHangsOrGetsRewritten)
{
    const QString home = m_home.path();
    namespace paths = simulated_mac::simulated_home;
    plant(paths::controlCenterDomainPath(home), controlCenterDomain());
    plant(paths::menuBarDomainPath(home), menuBarDomain());
    const QString preferences = paths::userDefaultsPath(home, QStringLiteral("local.velmor.tray"));
    plant(preferences, test::xmlNesting(5000));
    plant(tray_recovery_paths::visibilityJournal(home), QByteArray(100000, '[') + QByteArray(100000, ']'));
    plant(tray_recovery_paths::positionJournal(home),
          R"([{"key":"status:com.example.alpha::Item-0","original":1,"applied":2},)"
          R"({"key":"status:com.example.alpha::Item-0","original":3,"applied":4}])");

    start(hostileScenario);
    launch();
    ASSERT_TRUE(settled());
    EXPECT_TRUE(controller().warning()) << "the journal left at start-up could not be read";

    // The user hides Alpha behind the chevron, applies grouping, clicks, and asks for the old order.
    model().setDestination(GroupedApp{QStringLiteral("com.example.alpha"), {}, {}, {}},
                           QStringLiteral("expandable"));
    ASSERT_TRUE(settled());
    model().hooks().arrangeNative();
    ASSERT_TRUE(settled());
    EXPECT_TRUE(controller().warning());
    EXPECT_TRUE(model().nativeWarning());
    click(QStringLiteral("VelmorTray.Native.regular"));
    ASSERT_TRUE(settled());
    model().hooks().restorePreviousOrder();
    ASSERT_TRUE(settled());
    EXPECT_TRUE(controller().warning());
    run().quit();

    EXPECT_EQ(toolRuns("import"), 0) << "no domain was written";
    for (const auto& [path, bytes] : m_planted) {
        if (path == preferences)
            continue;
        EXPECT_EQ(contents(path), bytes) << qPrintable(path);
    }
    // The app's own preferences were unreadable: its first save keeps them aside, byte for byte.
    QStringList copies{preferences};
    const QFileInfo stored(preferences);
    for (const QString& name :
         stored.dir().entryList({stored.fileName() + QStringLiteral(".unreadable-*")}, QDir::Files))
        copies.append(stored.dir().filePath(name));
    EXPECT_TRUE(std::any_of(copies.cbegin(), copies.cend(),
                            [&](const QString& path) { return contents(path) == test::xmlNesting(5000); }));
}
