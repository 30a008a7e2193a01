// velmor-tray given a FIFO or an endless device where it reads a file: as the scenario or the
// script on its command line, or planted in the home where the system's domains, its own
// preferences and its journals live. Each run ends at once, says what it could not read, leaves
// the system's files as they are, and never holds more memory than a normal run.

#include "foundation/regular_file.h"
#include "simulated_mac/simulated_home.h"
#include "tray_visibility/tray_position_error.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_recovery_paths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <functional>

namespace velmor {
namespace {

namespace home_paths = simulated_mac::simulated_home;

QString notRegular(const QString& path)
{
    return QStringLiteral("Could not read “%1”: %2")
        .arg(path, QString::fromUtf8(RegularFile::notRegularReason));
}

// Where the special file goes and what the run says about it: the command line's files end the
// run (status 1); in the home, the run goes on with the error the file's reader gives, and the
// app's own preferences are moved aside and started afresh.
struct Place {
    const char* name;
    std::function<QString(const QString& folder, const QString& home)> path;
    std::function<QString(const QString& special)> said;
    int status = 0;
};

bool plant(const QString& path, bool fifo)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return fifo ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                : QFile::link(QStringLiteral("/dev/zero"), path);
}

bool special(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() || (info.exists() && !info.isFile());
}

struct AppRun {
    bool ended = false;
    qint64 milliseconds = 0;
    int status = -1;
    QString output;
};

AppRun runApp(const QString& scenario, const QString& script, const QString& home)
{
    QProcess app;
    app.start(QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-tray"),
              {QStringLiteral("--headless"), QStringLiteral("--format"), QStringLiteral("text"),
               QStringLiteral("--scenario"), scenario, QStringLiteral("--script"), script,
               QStringLiteral("--home"), home});
    QElapsedTimer elapsed;
    elapsed.start();
    AppRun run;
    run.ended = app.waitForFinished(10000);
    run.milliseconds = elapsed.elapsed();
    if (!run.ended) {
        app.kill();
        app.waitForFinished();
    }
    run.status = app.exitCode();
    run.output = QString::fromUtf8(app.readAllStandardOutput() + app.readAllStandardError());
    return run;
}

// The largest resident size of any child this process has waited for, in MiB.
long childPeakMebibytes()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss / 1024;
}

TEST(SpecialFiles, AFifoOrAnEndlessDeviceEndsInTheReadersErrorAtOnceWithinBoundedMemory)
{
    const auto inFolder = [](const char* name) {
        return [name](const QString& folder, const QString&) { return folder + u'/' + QLatin1String(name); };
    };
    const auto itself = [](const QString& special) { return notRegular(special); };
    const QList<Place> places{
        {"--scenario", inFolder("scenario.json"), itself, 1},
        {"--script", inFolder("run.script"), itself, 1},
        {"control center domain",
         [](const QString&, const QString& home) { return home_paths::controlCenterDomainPath(home); },
         [](const QString&) { return TrayPreferenceError(TrayPreferenceError::Case::access).description(); }},
        {"menu bar domain",
         [](const QString&, const QString& home) { return home_paths::menuBarDomainPath(home); },
         [](const QString&) { return TrayPositionError(TrayPositionError::Case::access).description(); }},
        {"own preferences",
         [](const QString&, const QString& home) {
             return home_paths::userDefaultsPath(home, QStringLiteral("local.velmor.tray"));
         },
         [](const QString&) { return QStringLiteral("hidden: org.tinkerbox.twinclocks"); }},
        {"visibility journal",
         [](const QString&, const QString& home) { return tray_recovery_paths::visibilityJournal(home); },
         itself},
        {"position journal",
         [](const QString&, const QString& home) { return tray_recovery_paths::positionJournal(home); },
         itself},
    };
    const QString hideScript = QStringLiteral(
        // Reads the control center's domain (to hide) and the menu bar's (to arrange).
        "move org.tinkerbox.twinclocks alwaysHidden\napply\nprint\n");
    const auto writeScript = [&](const QString& script) {
        QFile file(script);
        return file.open(QIODevice::WriteOnly) && file.write(hideScript.toUtf8()) == hideScript.size();
    };
    QTemporaryDir normalFolder;
    ASSERT_TRUE(writeScript(normalFolder.filePath(QStringLiteral("hide.script"))));
    const AppRun normal = runApp(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json"),
                              normalFolder.filePath(QStringLiteral("hide.script")),
                              normalFolder.filePath(QStringLiteral("home")));
    ASSERT_TRUE(normal.ended && normal.status == 0) << normal.output.toStdString();

    for (const Place& place : places) {
        for (const bool fifo : {true, false}) {
            SCOPED_TRACE(std::string(place.name) + (fifo ? " as a FIFO" : " as /dev/zero"));
            QTemporaryDir folder;
            const QString home = folder.filePath(QStringLiteral("home"));
            const QString script = folder.filePath(QStringLiteral("hide.script"));
            ASSERT_TRUE(writeScript(script));
            const QString path = place.path(folder.path(), home);
            ASSERT_TRUE(plant(path, fifo));
            const QString name = QString::fromLatin1(place.name);

            const AppRun run = runApp(
                name == u"--scenario" ? path
                                      : QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json"),
                name == u"--script" ? path : script, home);
            ASSERT_TRUE(run.ended) << "the run hangs";
            // At once means like a normal run, not within a fixed time: a sanitized build beside
            // other tests on two cores takes a second for a normal run.
            EXPECT_LT(run.milliseconds, 2 * normal.milliseconds + 1000);
            EXPECT_LT(childPeakMebibytes(), 512);
            const QString& output = run.output;
            EXPECT_EQ(run.status, place.status) << output.toStdString();
            EXPECT_TRUE(output.contains(place.said(path))) << output.toStdString();
            if (name == u"own preferences") {
                EXPECT_EQ(QDir(QFileInfo(path).absolutePath())
                              .entryList({QStringLiteral("*.unreadable-*")}, QDir::System)
                              .size(),
                          1);
            } else {
                EXPECT_TRUE(special(path)) << "what could not be read was replaced";
            }
        }
    }
}

} // namespace
} // namespace velmor
