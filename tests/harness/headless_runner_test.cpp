#include "foundation/json.h"
#include "foundation/regular_file.h"
#include "harness/headless_runner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace velmor;
using ::testing::ElementsAre;
using Kind = ScriptCommand::Kind;

TEST(RunScript, ReadsQuotedNamesCommentsAndEveryArgument)
{
    const QList<ScriptCommand> commands = RunScript::parse(QStringLiteral(
        "# a tour\n\n  group add \"My Apps\" star  # trailing comment\n"
        "move com.example.a group:\"My Apps\"\ncmd-drag com.example.a right-of chevron\nwait 0.5\n"
        "group rename \"Has # inside\" \"New\"\ntrust off\n"));
    ASSERT_EQ(commands.size(), 6);
    EXPECT_EQ(commands[0].kind, Kind::GroupAdd);
    EXPECT_THAT(commands[0].arguments, ElementsAre("My Apps", "star"));
    EXPECT_EQ(commands[0].line, 3);
    EXPECT_EQ(commands[0].text, QStringLiteral("group add \"My Apps\" star"));
    EXPECT_THAT(commands[1].arguments, ElementsAre("com.example.a", "group:My Apps"));
    EXPECT_EQ(commands[2].kind, Kind::CommandDrag);
    EXPECT_TRUE(commands[2].flag);
    EXPECT_EQ(commands[3].seconds, 0.5);
    EXPECT_THAT(commands[4].arguments, ElementsAre("Has # inside", "New"));
    EXPECT_EQ(commands[5].kind, Kind::Trust);
    EXPECT_FALSE(commands[5].flag);
}

// The steps that play the pointer, the apps and the displays: a screen is one JSON object, kept as
// written; a click on another display's bar names the display.
TEST(RunScript, ReadsPointerAppAndDisplaySteps)
{
    const QList<ScriptCommand> commands = RunScript::parse(QStringLiteral(
        "pointer 2427.5 -12\nactivate com.example.a\nclick chevron on 1\nclick group \"My Apps\" on 0\n"
        "display add { \"x\": 1512, \"y\": 0, \"name\": \"Studio # 2\" }  # a comment\n"));
    ASSERT_EQ(commands.size(), 5);
    EXPECT_EQ(commands[0].kind, Kind::Pointer);
    EXPECT_EQ(commands[0].x, 2427.5);
    EXPECT_EQ(commands[0].y, -12);
    EXPECT_EQ(commands[1].kind, Kind::Activate);
    EXPECT_THAT(commands[1].arguments, ElementsAre("com.example.a"));
    EXPECT_EQ(commands[2].kind, Kind::ClickChevron);
    EXPECT_EQ(commands[2].display, 1);
    EXPECT_EQ(commands[3].kind, Kind::ClickGroup);
    EXPECT_THAT(commands[3].arguments, ElementsAre("My Apps"));
    EXPECT_EQ(commands[3].display, 0);
    EXPECT_EQ(commands[4].kind, Kind::DisplayAdd);
    EXPECT_THAT(commands[4].arguments, ElementsAre(R"({ "x": 1512, "y": 0, "name": "Studio # 2" })"));
}

TEST(RunScript, RejectsBadLinesNamingTheLine)
{
    for (const auto& [text, line] :
         std::initializer_list<std::pair<const char*, int>>{{"print\nfly away\n", 2},
                                                            {"wait soon", 1},
                                                            {"wait -1", 1},
                                                            {"click\n", 1},
                                                            {"click window", 1},
                                                            {"trust maybe", 1},
                                                            {"cmd-drag a above b", 1},
                                                            {"group add \"Unclosed star", 1},
                                                            {"print\n\nmove onlyone", 3},
                                                            {"pointer 10", 1},
                                                            {"pointer left 10", 1},
                                                            {"activate", 1},
                                                            {"click chevron on -1", 1},
                                                            {"display add", 1},
                                                            {"display add { \"width\": -5 }", 1},
                                                            {"display add { \"housing\": {} }", 1},
                                                            {"display add [1, 2", 1},
                                                            {"window shut", 1}}) {
        try {
            RunScript::parse(QString::fromUtf8(text));
            ADD_FAILURE() << "accepted: " << text;
        } catch (const ScriptError& error) {
            EXPECT_EQ(error.line(), line) << text;
        }
    }
}

class HeadlessRunnerTest : public ::testing::Test {
protected:
    int run(const char* script, HeadlessRunner::Format format = HeadlessRunner::Format::JsonObjects,
            const char* scenario = "default.json")
    {
        QFile file(m_folder.filePath(QStringLiteral("test.script")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(script);
        file.close();
        HeadlessRunner::Options options;
        options.scenarioPath =
            QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/") + QString::fromUtf8(scenario);
        options.scriptPath = file.fileName();
        options.homePath = m_home;
        options.format = format;
        options.defaultsToolPath = QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults");
        m_output.clear();
        m_errors.clear();
        QTextStream out(&m_output);
        QTextStream errors(&m_errors);
        return HeadlessRunner(options, out, errors).run();
    }

    QList<Json> steps() const
    {
        QList<Json> result;
        for (const QString& line : m_output.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            result.append(json::parse(line.toUtf8()));
        return result;
    }

    QTemporaryDir m_folder;
    QString m_home = m_folder.filePath(QStringLiteral("home"));
    QString m_output;
    QString m_errors;
};

TEST_F(HeadlessRunnerTest, PrintsEveryStepAndKeepsTheHomeBetweenRuns)
{
    ASSERT_EQ(run("move com.example.weather expandable\nclick chevron\nkill\n"), HeadlessRunner::succeeded)
        << m_errors.toStdString();
    const QList<Json> states = steps();
    ASSERT_EQ(states.size(), 4);
    EXPECT_EQ(states[0]["command"], "launch");
    EXPECT_EQ(states[0]["events"], Json::array({"app.opened"}));
    // Virtual time runs on from the launch; the launch looks at every app, a step that hides one
    // app waits only on that one, not on the slow and the stuck apps of the scenario.
    for (int i = 1; i < 4; ++i)
        EXPECT_GT(states[i]["time"].get<double>(), states[i - 1]["time"].get<double>()) << i;
    EXPECT_GT(states[0]["longestStall"].get<double>(), 0.1);
    EXPECT_LT(states[1]["longestStall"].get<double>(), 0.01);
    EXPECT_EQ(states[1]["hiddenBundles"], Json::array({"com.example.weather"}));
    EXPECT_EQ(states[1]["events"], Json::array({"tray.collapsed"}));
    EXPECT_EQ(states[2]["hiddenBundles"], Json::array());
    EXPECT_EQ(states[3]["configured"], false) << "every start releases what an earlier run hid";
    EXPECT_EQ(states[3]["hiddenBundles"], Json::array());
    int chevrons = 0;
    for (const Json& entry : states[3]["menuBar"]) {
        if (entry["kind"] == "chevron") {
            ++chevrons;
            EXPECT_EQ(entry["bundleID"], nullptr);
            EXPECT_EQ(entry["title"], "‹");
        }
    }
    EXPECT_EQ(chevrons, 1) << "the killed process's items are gone; the new one has its own";

    // The same home again: the grouping saved by the first run is still there.
    ASSERT_EQ(run("apply\n", HeadlessRunner::Format::Text), HeadlessRunner::succeeded)
        << m_errors.toStdString();
    const QStringList lines = m_output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("01 apply | "))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("hidden: com.example.weather"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("›"))) << lines[1].toStdString();
}

// The docked laptop's journey (scenarios/docked.script): every display's bar laid out and judged on
// its own, the reveal on each, re-hiding held by the pointer, after the delay and on an app switch.
TEST_F(HeadlessRunnerTest, ADockedLaptopRevealsOnEachDisplaysBar)
{
    QFile script(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/docked.script"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    ASSERT_EQ(run(script.readAll().constData(), HeadlessRunner::Format::JsonObjects, "docked.json"),
              HeadlessRunner::succeeded)
        << m_errors.toStdString();
    const QList<Json> states = steps();
    const auto at = [&](const char* command, int from = 0) -> const Json& {
        for (int i = from; i < states.size(); ++i) {
            if (states[i]["command"] == command)
                return states[i];
        }
        static const Json none;
        ADD_FAILURE() << "no step " << command;
        return none;
    };
    const auto titles = [](const Json& entries) {
        QStringList result;
        for (const Json& entry : entries)
            result.append(json::toQString(entry["title"].get<std::string>()));
        return result;
    };

    const Json& launch = states.first();
    ASSERT_EQ(launch["displays"].size(), 2u);
    EXPECT_EQ(launch["displays"][0]["name"], "Studio Display");
    EXPECT_EQ(launch["displays"][0]["main"], true);
    EXPECT_EQ(launch["displays"][0]["inUse"], true);
    EXPECT_EQ(launch["displays"][1]["name"], "Built-in Display");
    EXPECT_EQ(launch["displays"][0]["offScreen"], Json::array()) << "the Studio Display has room for all";
    EXPECT_FALSE(launch["displays"][1]["offScreen"].empty()) << "the laptop's housing swallows some";
    EXPECT_EQ(launch["menuBar"], launch["displays"][0]["menuBar"]) << "menuBar is the main display's";
    EXPECT_EQ(titles(launch["displays"][1]["menuBar"]).last(), "‹") << "the chevron is in sight on both";
    EXPECT_EQ(titles(launch["displays"][0]["menuBar"]).last(), "‹");

    const Json& studioReveal = at("click chevron");
    EXPECT_EQ(studioReveal["expanded"], true);
    EXPECT_EQ(studioReveal["belowBar"], Json::array()) << "nothing is lost on the bar in use";
    EXPECT_EQ(studioReveal["notice"], nullptr);
    EXPECT_EQ(at("wait 15")["expanded"], true) << "held while the pointer rests on the chevron";
    EXPECT_EQ(at("wait 11")["expanded"], false) << "hidden again once the pointer left";

    const Json& laptopReveal = at("click chevron on 1");
    EXPECT_EQ(laptopReveal["expanded"], true);
    EXPECT_EQ(laptopReveal["displays"][1]["inUse"], true);
    QStringList lost;
    for (const Json& name : laptopReveal["belowBar"])
        lost.append(json::toQString(name.get<std::string>()));
    // The bar below holds the revealed icons because some of them are lost on the laptop's bar.
    const QStringList laptopLost = titles(laptopReveal["displays"][1]["offScreen"]);
    EXPECT_TRUE(std::any_of(lost.cbegin(), lost.cend(), [&](const QString& title) {
        return laptopLost.contains(title);
    })) << "the laptop's bar loses revealed icons";
    EXPECT_TRUE(laptopReveal["notice"].is_string());
    EXPECT_EQ(laptopReveal["menuBar"], laptopReveal["displays"][0]["menuBar"]);

    const Json& switched = at("activate com.example.tidechart");
    EXPECT_EQ(switched["expanded"], false) << "an app switch hides them at once";
    EXPECT_EQ(switched["belowBar"], Json::array());
}

// A docked laptop's day (scenarios/day.script): each setup gets its layout, docking again brings
// the desk's back without the organizer, a restart starts grouped, a relaunched app keeps its place.
TEST_F(HeadlessRunnerTest, ADayOfDockingKeepsEachSetupsLayout)
{
    QFile script(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/day.script"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    ASSERT_EQ(run(script.readAll().constData(), HeadlessRunner::Format::JsonObjects, "docked.json"),
              HeadlessRunner::succeeded)
        << m_errors.toStdString();
    const QList<Json> states = steps();
    const auto last = [&](const char* command) -> const Json& {
        for (qsizetype i = states.size() - 1; i >= 0; --i) {
            if (states[i]["command"] == command)
                return states[i];
        }
        static const Json none;
        ADD_FAILURE() << "no step " << command;
        return none;
    };
    const Json desk = Json::array({"Studio Display + Built-in", "Built-in display alone"});
    EXPECT_EQ(states.first()["setup"], "Studio Display + Built-in");
    EXPECT_EQ(states.first()["layout"], nullptr);
    EXPECT_EQ(last("layout save")["layouts"], desk);
    EXPECT_EQ(last("layout save")["layout"], "Built-in display alone");

    const Json& docked = last("wait 1");
    EXPECT_EQ(docked["setup"], "Studio Display + Built-in");
    EXPECT_EQ(docked["layout"], "Studio Display + Built-in");
    const Json deskHidden = Json::array({"com.example.weather", "io.fernleaf.pulsemeter", "org.tinkerbox.twinclocks"});
    EXPECT_EQ(docked["hiddenBundles"], deskHidden);
    const Json& restarted = last("restart");
    EXPECT_EQ(restarted["configured"], true) << "grouped before any click";
    EXPECT_EQ(restarted["hiddenBundles"], deskHidden);
    EXPECT_EQ(last("wait 2")["hiddenBundles"], deskHidden) << "the relaunched app is hidden again";
}

TEST_F(HeadlessRunnerTest, StopsWithStatusTwoAtABadArgument)
{
    EXPECT_EQ(run("print\nclick group \"Nobody\"\nprint\n"), HeadlessRunner::badScript);
    EXPECT_TRUE(m_errors.contains(QStringLiteral("line 2:"))) << m_errors.toStdString();
    EXPECT_EQ(steps().size(), 2) << "the steps before the bad line were printed, none after it";
    EXPECT_EQ(run("dance\n"), HeadlessRunner::badScript);
    EXPECT_TRUE(m_output.isEmpty()) << "a script that does not parse runs nothing";
}

// A script is read whole up to its limit; one byte more and nothing of it runs, and the message
// says why.
TEST_F(HeadlessRunnerTest, ReadsAScriptUpToItsLimitAndRefusesOneByteMore)
{
    const QString tooLarge =
        QStringLiteral("Could not read “%1”: ").arg(m_folder.filePath(QStringLiteral("test.script"))) +
        QString::fromUtf8(RegularFile::tooLargeReason).arg(RunScript::maximumBytes);
    for (const auto& [size, fits] : std::initializer_list<std::pair<qint64, bool>>{
             {RunScript::maximumBytes, true}, {RunScript::maximumBytes + 1, false}}) {
        SCOPED_TRACE(size);
        const QByteArray head = "print\n#";
        const QByteArray script = head + QByteArray(size - head.size() - 1, '.') + '\n';
        ASSERT_EQ(script.size(), size);
        EXPECT_EQ(run(script.constData()), fits ? HeadlessRunner::succeeded : HeadlessRunner::failed);
        EXPECT_EQ(steps().size(), fits ? 2 : 0) << "the launch and the print, or nothing";
        EXPECT_EQ(m_errors.contains(tooLarge), !fits) << m_errors.toStdString();
    }
}

// A home given relative to the working folder works like an absolute one: the `defaults` tool
// reaches both domains, so nothing claims that Full Disk Access is missing.
TEST_F(HeadlessRunnerTest, ARelativeHomeIsTheWorkingFoldersChild)
{
    const QString working = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_folder.path()));
    m_home = QStringLiteral("relative-home");
    const int status = run("move com.example.weather expandable\n");
    QDir::setCurrent(working);
    ASSERT_EQ(status, HeadlessRunner::succeeded) << m_errors.toStdString();
    const QList<Json> states = steps();
    ASSERT_EQ(states.size(), 2);
    EXPECT_EQ(states[1]["warning"], nullptr);
    EXPECT_EQ(states[1]["hiddenBundles"], Json::array({"com.example.weather"}));
    EXPECT_TRUE(QFileInfo::exists(m_folder.filePath(QStringLiteral("relative-home/Library"))));
}
