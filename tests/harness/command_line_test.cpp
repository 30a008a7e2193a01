#include "harness/command_line.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace velmor;

namespace {

std::variant<CommandLine::Options, CommandLine::Exit> parse(std::initializer_list<const char*> arguments)
{
    QStringList list{QStringLiteral("velmor-tray")};
    for (const char* argument : arguments)
        list.append(QString::fromUtf8(argument));
    return CommandLine::parse(list);
}

} // namespace

TEST(CommandLine, ModesAndOptionsAsEachRunReadsThem)
{
    const auto windowed =
        std::get<CommandLine::Options>(parse({"--scenario", "my.json", "--home", "runs/one"}));
    EXPECT_EQ(windowed.mode, CommandLine::Mode::Windowed);
    EXPECT_EQ(windowed.run.scenarioPath, QStringLiteral("my.json"));
    // The `defaults` tool runs in other folders, so a relative home must not stay relative.
    EXPECT_EQ(windowed.run.homePath, QDir::current().absoluteFilePath(QStringLiteral("runs/one")));
    EXPECT_TRUE(windowed.run.scriptPath.endsWith(QLatin1String("scenarios/demo.script")));

    const auto headless = std::get<CommandLine::Options>(parse({"--headless", "--format", "json"}));
    EXPECT_EQ(headless.mode, CommandLine::Mode::Headless);
    EXPECT_EQ(headless.run.format, HeadlessRunner::Format::JsonObjects);
    EXPECT_TRUE(headless.run.homePath.isEmpty()) << "no --home: a fresh temporary one";

    const auto shots =
        std::get<CommandLine::Options>(parse({"--screenshots", "out", "--script", "s.script"}));
    EXPECT_EQ(shots.mode, CommandLine::Mode::Screenshots);
    EXPECT_EQ(shots.screenshotsDirectory, QDir::current().absoluteFilePath(QStringLiteral("out")));

    const auto version = std::get<CommandLine::Exit>(parse({"--version"}));
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.text, QStringLiteral("velmor-tray 1.0.0 (1)"));
}

TEST(CommandLine, ABadCommandLineSaysWhyWithStatus64)
{
    for (const auto& arguments :
         std::initializer_list<std::initializer_list<const char*>>{{"--bogus"},
                                                                   {"--scenario"},
                                                                   {"--headless", "--format", "xml"},
                                                                   {"--headless", "--screenshots", "out"},
                                                                   {"--script", "s.script"},
                                                                   {"stray"}}) {
        const auto parsed = parse(arguments);
        const auto* exit = std::get_if<CommandLine::Exit>(&parsed);
        ASSERT_NE(exit, nullptr) << *arguments.begin();
        EXPECT_EQ(exit->status, HeadlessRunner::badUsage) << *arguments.begin();
        EXPECT_FALSE(exit->text.isEmpty()) << *arguments.begin();
    }
}
