#include "foundation/system_error.h"
#include "platform/simulated/scenario.h"

#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::platform;

namespace {

QString parseError(const char* json)
{
    try {
        Scenario::parse(QByteArray(json));
    } catch (const SystemError& error) {
        return error.description();
    }
    return QStringLiteral("(parsed)");
}

} // namespace

// Defaults that depend on other members.
TEST(ScenarioTest, OmittedMembersTakeTheirDefaults)
{
    const Scenario scenario = Scenario::parse(R"({ "apps": [ { "name": "Alpha", "extras": [ {}, {} ] },
                                                            { "bundleID": "b.app", "name": "Beta", "pid": 501 } ] })");
    const ScenarioApp& alpha = scenario.apps[0];
    EXPECT_FALSE(alpha.bundleID);
    EXPECT_EQ(alpha.trackedRow, TrackedRowKind::AdhocBinary)
        << "an app without identifier is known by its binary";
    EXPECT_EQ(alpha.executable, QStringLiteral("/Applications/Alpha.app/Contents/MacOS/Alpha"));
    EXPECT_EQ(alpha.pid, 502) << "free process identifiers are handed out around the given ones";
    EXPECT_EQ(alpha.extras[1].name, QStringLiteral("Item-1"));
    EXPECT_EQ(scenario.apps[1].trackedRow, TrackedRowKind::Bundle);

    const Scenario delayed =
        Scenario::parse(R"({ "menuBar": { "honourEdits": 2.5 }, "system": { "version": "26.4" } })");
    EXPECT_EQ(delayed.menuBar.honourEdits.mode, HonourEdits::Mode::AfterDelay);
    EXPECT_DOUBLE_EQ(delayed.menuBar.honourEdits.delay, 2.5);
    EXPECT_EQ(delayed.system.version, (OperatingSystemVersion{26, 4, 0}));
}

TEST(ScenarioTest, ErrorsNameTheMemberAndWhereItIs)
{
    EXPECT_EQ(parseError(R"({ "apps": [ { "name": "A" }, { "name": "B" }, { "name": "C", "foo": 1 } ] })"),
              QStringLiteral("Unknown member “foo” in apps[2]"));
    EXPECT_EQ(parseError(R"({ "apps": [ { "name": "A", "extras": [ {}, { "width": "wide" } ] } ] })"),
              QStringLiteral("“width” in apps[0].extras[1] must be a number"));
    EXPECT_EQ(
        parseError(R"({ "menuBar": { "honourEdits": "later" } })"),
        QStringLiteral("“honourEdits” in menuBar must be “immediately”, “never” or a delay in seconds"));
    EXPECT_EQ(parseError(R"({ "colour": "blue" })"),
              QStringLiteral("Unknown member “colour” in the scenario"));
    EXPECT_EQ(parseError(R"({ "screens": [ { "width": 0 } ] })"),
              QStringLiteral("“width” in screens[0] must be greater than 0"));
    EXPECT_EQ(parseError(R"({ "apps": [ { "name": "A", "trackedRow": "bundle" } ] })"),
              QStringLiteral("“trackedRow” in apps[0] cannot be “bundle” for an app without bundleID"));
    EXPECT_EQ(
        parseError(
            R"({ "apps": [ { "bundleID": "x.y", "name": "A" }, { "bundleID": "x.y", "name": "B" } ] })"),
        QStringLiteral("apps[1] repeats the bundleID “x.y” of an earlier app"));
    EXPECT_EQ(parseError(R"({ "apps": [ { "name": "A", "extras": [ { "name": "Item-1" }, {} ] } ] })"),
              QStringLiteral("apps[0].extras[1] repeats the name “Item-1” of an earlier extra"));
    EXPECT_EQ(parseError(R"({ "apps": [ { "name": "A", "pid": 12 } ] })"),
              QStringLiteral("“pid” in apps[0] must be a whole number from 500 to 99999"));
    EXPECT_EQ(parseError(R"({ "apps": [ 3 ] })"), QStringLiteral("apps[0] must be an object"));
    EXPECT_EQ(
        parseError(R"({ "apps": [ { "name": "A" }, { "name": "Late", "running": false, "launchAt": 0 } ] })"),
        QStringLiteral("“launchAt” in apps[1] cannot start “Late”, which has “running”: false and "
                       "never launches by itself"));
    EXPECT_EQ(parseError(R"({ "system": { "appearance": "Dark" } })"),
              QStringLiteral("“appearance” in system must be “light” or “dark”"));
    EXPECT_EQ(parseError(R"({ "loginItems": { "status": "approved" } })"),
              QStringLiteral("“status” in loginItems must be “notRegistered”, “enabled”, “requiresApproval” "
                             "or “notFound”"));
    EXPECT_EQ(parseError(R"({ "loginItems": { "registerError": "" } })"),
              QStringLiteral("“registerError” in loginItems must be a non-empty string or null"));
    EXPECT_NE(parseError("{ \"apps\": [ "), QStringLiteral("(parsed)")) << "broken JSON is an error too";
}

TEST(ScenarioTest, TheDefaultScenarioCoversTheInterestingCases)
{
    const Scenario scenario =
        Scenario::load(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json"));
    bool severalExtras = false, grouped = false, withoutIdentifier = false, sharedIdentifier = false,
         showMenuOnly = false, byPath = false, withoutBundle = false, notRunning = false;
    for (const ScenarioApp& app : scenario.apps) {
        severalExtras |= app.extras.size() > 1;
        byPath |= app.bundleID && app.trackedRow == TrackedRowKind::AdhocBinary;
        withoutBundle |= !app.bundleID;
        notRunning |= !app.running && app.trackedRow != TrackedRowKind::None;
        QStringList identifiers;
        for (const ScenarioExtra& extra : app.extras) {
            grouped |= extra.group.has_value();
            withoutIdentifier |= extra.identifier.isEmpty();
            sharedIdentifier |= !extra.identifier.isEmpty() && identifiers.contains(extra.identifier);
            showMenuOnly |= extra.actions == QStringList{QStringLiteral("AXShowMenu")};
            identifiers.append(extra.identifier);
        }
    }
    EXPECT_TRUE(severalExtras && grouped && withoutIdentifier && sharedIdentifier && showMenuOnly && byPath &&
                withoutBundle && notRunning);
}
