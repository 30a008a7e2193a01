#include "app/qml_modules.h"
#include "app/simulated_mac_renderer.h"
#include "app/windowed_app.h"
#include "harness/command_line.h"
#include "harness/headless_runner.h"
#include "harness/screenshot_runner.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

namespace {

constexpr const char* applicationName = "Velmor Tray";
constexpr const char* noDisplayMessage =
    "velmor-tray: no display to open the simulated Mac on. Use --headless to play a script, or "
    "--screenshots DIR to render it.";

bool asksForHelp(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help") ||
            argument == QLatin1String("--help-all") || argument == QLatin1String("-?"))
            return true;
    }
    return false;
}

bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

// The program off the Mac: the composition root's app on the simulated Mac, in a window with a
// display, headless with a script, or offscreen to render screenshots.
int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QTextStream out(stdout);
    QTextStream errors(stderr);

    // The help text names the program through the application object; nothing else needs one yet.
    std::unique_ptr<QCoreApplication> helpApplication;
    if (asksForHelp(arguments))
        helpApplication = std::make_unique<QCoreApplication>(argc, argv);
    // The running executable itself, not argv[0]: a copy started through PATH has a bare name there.
    const QString programDirectory =
        QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
    const auto parsed = velmor::CommandLine::parse(arguments, programDirectory);
    if (const auto* exit = std::get_if<velmor::CommandLine::Exit>(&parsed)) {
        (exit->status == 0 ? out : errors) << exit->text << (exit->text.endsWith(u'\n') ? "" : "\n");
        return exit->status;
    }
    helpApplication.reset();
    velmor::CommandLine::Options options = std::get<velmor::CommandLine::Options>(parsed);

    switch (options.mode) {
    case velmor::CommandLine::Mode::Headless: {
        QCoreApplication application(argc, argv);
        QCoreApplication::setApplicationName(QString::fromLatin1(applicationName));
        return velmor::HeadlessRunner(options.run, out, errors).run();
    }
    case velmor::CommandLine::Mode::Screenshots: {
        // Offscreen, drawn in software, at twice the size so the pictures stay sharp.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_QUICK_BACKEND", "software");
        qputenv("QT_SCALE_FACTOR", "2");
        // Qt wants a private runtime folder; a run without a session gets one of its own.
        QTemporaryDir runtime;
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
            qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        QGuiApplication application(argc, argv);
        QGuiApplication::setApplicationName(QString::fromLatin1(applicationName));
        velmor::registerQmlModules();
        return velmor::ScreenshotRunner(options, out, errors).run();
    }
    case velmor::CommandLine::Mode::Windowed:
        break;
    }
    if (!displayAvailable()) {
        errors << noDisplayMessage << "\n";
        return velmor::HeadlessRunner::failed;
    }
    velmor::chooseSimulatedMacRenderer();
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QString::fromLatin1(applicationName));
    velmor::registerQmlModules();
    return velmor::WindowedApp({options.run.scenarioPath, options.run.homePath, options.run.defaultsToolPath},
                               errors)
        .run();
}
