#include "foundation/system_error.h"
#include "simulated_mac/scenario.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;

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

// What an omitted member defaults to is read in every scenario the other tests write (process
// identifiers, item names, rows of apps without an identifier, delays and system versions).
TEST(ScenarioTest, ErrorsNameTheMemberAndWhereItIs)
{
    const std::pair<const char*, const char*> cases[] = {
        {R"({ "apps": [ { "name": "A" }, { "name": "B" }, { "name": "C", "foo": 1 } ] })",
         "Unknown member “foo” in apps[2]"},
        {R"({ "apps": [ { "name": "A", "extras": [ {}, { "width": "wide" } ] } ] })",
         "“width” in apps[0].extras[1] must be a number"},
        {R"({ "menuBar": { "honourEdits": "later" } })",
         "“honourEdits” in menuBar must be “immediately”, “never” or a delay in seconds"},
        {R"({ "colour": "blue" })", "Unknown member “colour” in the scenario"},
        {R"({ "screens": [ { "width": 0 } ] })", "“width” in screens[0] must be greater than 0"},
        {R"({ "apps": [ { "name": "A", "trackedRow": "bundle" } ] })",
         "“trackedRow” in apps[0] cannot be “bundle” for an app without bundleID"},
        {R"({ "apps": [ { "bundleID": "x.y", "name": "A" }, { "bundleID": "x.y", "name": "B" } ] })",
         "apps[1] repeats the bundleID “x.y” of an earlier app"},
        {R"({ "apps": [ { "name": "A", "extras": [ { "name": "Item-1" }, {} ] } ] })",
         "apps[0].extras[1] repeats the name “Item-1” of an earlier extra"},
        {R"({ "apps": [ { "name": "A", "pid": 12 } ] })",
         "“pid” in apps[0] must be a whole number from 500 to 99999"},
        {R"({ "apps": [ 3 ] })", "apps[0] must be an object"},
        {R"({ "apps": [ { "name": "A" }, { "name": "Late", "running": false, "launchAt": 0 } ] })",
         "“launchAt” in apps[1] cannot start “Late”, which has “running”: false and never launches by "
         "itself"},
        {R"({ "system": { "appearance": "Dark" } })", "“appearance” in system must be “light” or “dark”"},
        {R"({ "loginItems": { "status": "approved" } })",
         "“status” in loginItems must be “notRegistered”, “enabled”, “requiresApproval” or “notFound”"},
        {R"({ "loginItems": { "registerError": "" } })",
         "“registerError” in loginItems must be a non-empty string or null"},
        {R"({ "screens": [ { "width": 1512, "housing": { "width": 1600 } } ] })",
         "“width” in screens[0].housing must not be wider than the screen (1512)"},
        {R"({ "screens": [ { "housing": { "width": -185 } } ] })",
         "“width” in screens[0].housing must be greater than 0"},
        {R"({ "screens": [ {}, { "x": 1512, "housing": { "width": 185 } } ] })",
         "“housing” in screens[1] can only be on the built-in display"},
        {R"({ "screens": [ {}, { "x": 1512, "builtIn": true } ] })",
         "“builtIn” in screens[1] must be true for one display at most"},
        {R"({ "screens": [ { "name": "" } ] })", "“name” in screens[0] must be a non-empty string or null"},
        {R"({ "separateSpaces": "yes" })", "“separateSpaces” in the scenario must be a Boolean"},
        {R"({ "screens": [ { "housing": { "width": 185, "height": 40 } } ] })",
         "Unknown member “height” in screens[0].housing"},
    };
    for (const auto& [json, message] : cases)
        EXPECT_EQ(parseError(json), QString::fromUtf8(message));
    EXPECT_NE(parseError("{ \"apps\": [ "), QStringLiteral("(parsed)")) << "broken JSON is an error too";
}

// A scenario named on the command line is read whole up to the limit, even when most of it is
// blank; one byte more is refused unread, and the error names the file and why.
TEST(ScenarioTest, AFileOfTheLimitLoadsAndOneByteMoreIsRefused)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("scenario.json"));
    const QByteArray content = R"({ "apps": [ { "name": "Edge" } ] })";
    const struct {
        qint64 size;
        QStringList apps;
        QString refusal;
    } cases[] = {
        {Scenario::maximumBytes, {QStringLiteral("Edge")}, {}},
        {Scenario::maximumBytes + 1,
         {},
         QStringLiteral("Could not read “%1”: it is larger than 4194304 bytes").arg(path)},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.size);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content + QByteArray(test.size - content.size() - 1, ' ') + '\n');
        file.close();
        QStringList apps;
        QString refusal;
        try {
            for (const ScenarioApp& app : Scenario::load(path).apps)
                apps.append(app.name);
        } catch (const SystemError& error) {
            refusal = error.description();
        }
        EXPECT_EQ(apps, test.apps);
        EXPECT_EQ(refusal, test.refusal);
    }
}
