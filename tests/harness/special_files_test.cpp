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

namespace home_paths = platform::simulated_home;

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
    for (const Place& place : places) {
        for (const bool fifo : {true, false}) {
            SCOPED_TRACE(std::string(place.name) + (fifo ? " as a FIFO" : " as /dev/zero"));
            QTemporaryDir folder;
            const QString home = folder.filePath(QStringLiteral("home"));
            const QString script = folder.filePath(QStringLiteral("hide.script"));
            QFile scriptFile(script);
            ASSERT_TRUE(scriptFile.open(QIODevice::WriteOnly));
            // Reads the control center's domain (to hide) and the menu bar's (to arrange).
            scriptFile.write("move org.tinkerbox.twinclocks alwaysHidden\napply\nprint\n");
            scriptFile.close();
            const QString path = place.path(folder.path(), home);
            ASSERT_TRUE(plant(path, fifo));
            const QString name = QString::fromLatin1(place.name);

            QProcess app;
            app.start(QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-tray"),
                      {QStringLiteral("--headless"), QStringLiteral("--format"), QStringLiteral("text"),
                       QStringLiteral("--scenario"),
                       name == u"--scenario"
                           ? path
                           : QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json"),
                       QStringLiteral("--script"), name == u"--script" ? path : script,
                       QStringLiteral("--home"), home});
            QElapsedTimer elapsed;
            elapsed.start();
            const bool ended = app.waitForFinished(10000);
            const qint64 milliseconds = elapsed.elapsed();
            if (!ended) {
                app.kill();
                app.waitForFinished();
            }
            ASSERT_TRUE(ended) << "the run hangs";
            EXPECT_LT(milliseconds, 1000);
            EXPECT_LT(childPeakMebibytes(), 512);
            const QString output =
                QString::fromUtf8(app.readAllStandardOutput() + app.readAllStandardError());
            EXPECT_EQ(app.exitCode(), place.status) << output.toStdString();
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
