#include "harness/command_line.h"

#include "platform/main_bundle.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace velmor {
namespace {

constexpr const char* description =
    "Velmor Tray on a simulated Mac. Without --headless the simulated Mac opens in a window and the "
    "app runs on it in real time.";
constexpr const char* scriptOnlyMessage = "--script and --format need --headless or --screenshots";
constexpr const char* exclusiveMessage = "--headless and --screenshots exclude each other";
constexpr const char* formatMessage = "--format is text or json";
constexpr const char* unexpectedMessage = "unexpected argument “%1”";

// The first file that exists: the path given, else beside the working folder, else where an
// installed copy keeps its data, else in the source tree the program was built from.
QString locate(const QString& given, const QString& fallback, const QString& programDirectory)
{
    if (!given.isEmpty())
        return given;
    if (QFileInfo::exists(fallback))
        return fallback;
    if (!programDirectory.isEmpty()) {
        const QString installed = QDir::cleanPath(
            programDirectory + QStringLiteral("/" VELMOR_INSTALLED_DATA_DIRECTORY "/") + fallback);
        if (QFileInfo::exists(installed))
            return installed;
    }
    return QStringLiteral(VELMOR_SOURCE_DIRECTORY "/") + fallback;
}

QString versionText()
{
    const platform::MainBundle bundle = platform::MainBundle::embedded(QString());
    return QStringLiteral("velmor-tray %1 (%2)")
        .arg(bundle.infoString(QStringLiteral("CFBundleShortVersionString")).value_or(QString()),
             bundle.infoString(QStringLiteral("CFBundleVersion")).value_or(QString()));
}

} // namespace

std::variant<CommandLine::Options, CommandLine::Exit> CommandLine::parse(const QStringList& arguments,
                                                                         const QString& programDirectory)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(description));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption headless(
        QStringLiteral("headless"), QStringLiteral("Play the script with virtual time and print the menu bar "
                                                   "after every step."));
    const QCommandLineOption screenshots(
        QStringLiteral("screenshots"),
        QStringLiteral("Render the menu bar after every step and every window, light and dark, as PNG files "
                       "into DIR."),
        QStringLiteral("DIR"));
    const QCommandLineOption scenario(
        QStringLiteral("scenario"),
        QStringLiteral("The simulated Mac (default: %1).").arg(QString::fromLatin1(defaultScenario)),
        QStringLiteral("FILE"));
    const QCommandLineOption script(
        QStringLiteral("script"),
        QStringLiteral("The steps to play (default: %1).").arg(QString::fromLatin1(defaultScript)),
        QStringLiteral("FILE"));
    const QCommandLineOption home(
        QStringLiteral("home"),
        QStringLiteral("Keep the simulated home in DIR between runs (default: a fresh "
                       "temporary folder)."),
        QStringLiteral("DIR"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("What --headless prints: text or json (default: text)."),
                                    QStringLiteral("FORMAT"), QStringLiteral("text"));
    parser.addOptions({headless, screenshots, scenario, script, home, format});

    const int badUsage = HeadlessRunner::badUsage;
    if (!parser.parse(arguments))
        return Exit{badUsage, parser.errorText()};
    if (parser.isSet(help))
        return Exit{0, parser.helpText()};
    if (parser.isSet(version))
        return Exit{0, versionText()};
    if (!parser.positionalArguments().isEmpty())
        return Exit{badUsage, QString::fromUtf8(unexpectedMessage).arg(parser.positionalArguments().first())};

    Options options;
    if (parser.isSet(headless) && parser.isSet(screenshots))
        return Exit{badUsage, QString::fromUtf8(exclusiveMessage)};
    if (parser.isSet(headless))
        options.mode = Mode::Headless;
    if (parser.isSet(screenshots)) {
        options.mode = Mode::Screenshots;
        options.screenshotsDirectory = QDir(parser.value(screenshots)).absolutePath();
    }
    if (options.mode == Mode::Windowed && (parser.isSet(script) || parser.isSet(format)))
        return Exit{badUsage, QString::fromUtf8(scriptOnlyMessage)};
    const QString formatValue = parser.value(format);
    if (formatValue != QLatin1String("text") && formatValue != QLatin1String("json"))
        return Exit{badUsage, QString::fromUtf8(formatMessage)};
    options.run.format = formatValue == QLatin1String("json") ? HeadlessRunner::Format::JsonObjects
                                                              : HeadlessRunner::Format::Text;
    options.run.scenarioPath =
        locate(parser.value(scenario), QString::fromLatin1(defaultScenario), programDirectory);
    options.run.scriptPath =
        locate(parser.value(script), QString::fromLatin1(defaultScript), programDirectory);
    if (!programDirectory.isEmpty())
        options.run.defaultsToolPath = programDirectory + QStringLiteral("/velmor-defaults");
    // The `defaults` tool runs in other folders: a home relative to here would not be found.
    if (parser.isSet(home))
        options.run.homePath = QDir(parser.value(home)).absolutePath();
    return options;
}

} // namespace velmor
