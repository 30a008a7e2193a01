#include "harness/command_line.h"
#include "harness/screenshot_runner.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace velmor;

// Every state the pictures show is reached for real: a state that no longer comes about (a report
// whose answer never arrives, a window that no longer opens) leaves its picture out, which only a
// look at the folder would otherwise notice.
TEST(ScreenshotRun, DrawsEveryWindowAndStateInBothAppearances)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto options = std::get<CommandLine::Options>(
        CommandLine::parse({QStringLiteral("velmor-tray"), QStringLiteral("--screenshots"), folder.path()}));
    options.run.scenarioPath = QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json");
    options.run.scriptPath = QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/demo.script");
    options.run.defaultsToolPath = QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults");
    QString printed;
    QString errors;
    QTextStream out(&printed);
    QTextStream err(&errors);
    ASSERT_EQ(ScreenshotRunner(options, out, err).run(), 0) << errors.toStdString();

    for (const char* subject : {"menubar-00",
                                "simulated-mac",
                                "settings",
                                "settings-preferences",
                                "settings-permission-guide",
                                "settings-no-permission",
                                "settings-marker-mode",
                                "feedback",
                                "feedback-bug",
                                "feedback-sending",
                                "feedback-sent",
                                "feedback-failed",
                                "update-settings",
                                "startup",
                                "footer-popover",
                                "background-quit",
                                "update-found",
                                "simulated-mac-notched",
                                "simulated-mac-docked",
                                "settings-notched",
                                "settings-shortcuts",
                                "search",
                                "search-empty"}) {
        for (const char* appearance : {"-light.png", "-dark.png"}) {
            const QString name = QString::fromLatin1(subject) + QString::fromLatin1(appearance);
            EXPECT_TRUE(QFileInfo(folder.filePath(name)).size() > 0) << name.toStdString();
        }
    }
}
