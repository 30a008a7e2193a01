#include "app/headless_runner.h"

#include <QCoreApplication>
#include <QTextStream>

// The composition root. On this platform the app runs on the simulated Mac: the headless runner
// builds the whole app there, plays a script and prints what a person would see.
int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Velmor Tray"));
    QTextStream out(stdout);
    QTextStream errors(stderr);

    auto options = velmor::HeadlessRunner::parseArguments(QCoreApplication::arguments().mid(1), errors);
    if (!options)
        return velmor::HeadlessRunner::badUsage;
    options->defaultsToolPath = QCoreApplication::applicationDirPath() + QStringLiteral("/velmor-defaults");
    velmor::HeadlessRunner runner(*options, out, errors);
    return runner.run();
}
