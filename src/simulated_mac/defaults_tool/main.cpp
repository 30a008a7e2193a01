// velmor-defaults: the simulated desktop's `defaults` tool. It keeps the real tool's contract for
// the two commands the app uses:
//   export <domain> -      prints the domain "<domain>.plist" as an XML property list
//   import <domain> <file> replaces the domain with the file's property list (binary or XML)
// and fails the way the real system does without Full Disk Access. Fault knobs in the simulated
// home let tests make single runs hang, fail, lie or ignore an import.

#include "defaults_faults.h"
#include "foundation/property_list.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"
#include "simulated_mac/defaults_run_log.h"
#include "simulated_mac/simulated_home.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

using namespace velmor;
using namespace velmor::defaults_tool;

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 64;    // EX_USAGE
constexpr int kBadKnobs = 70; // EX_SOFTWARE: a test's faults must never be silently skipped
const QString kHomeMarker = QStringLiteral("/Library/");
const QStringList kProtectedDomains{
    QStringLiteral("/Library/Group Containers/group.com.apple.controlcenter/Library/Preferences/"
                   "group.com.apple.controlcenter"),
    QStringLiteral("/Library/Group Containers/com.apple.MenuBar/Library/Preferences/com.apple.MenuBar")};
const QByteArray
    kCorruptOutput("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                   "\t<key>trackedApplications</key>\n\t<data>AAEC");

int fail(const QString& message, int status = kFailure)
{
    std::fprintf(stderr, "velmor-defaults: %s\n", message.toLocal8Bit().constData());
    return status;
}

int usage()
{
    std::fputs("usage: velmor-defaults export <domain> -\n"
               "       velmor-defaults import <domain> <file>\n"
               "<domain> is the absolute path of the domain's file without \".plist\".\n",
               stderr);
    return kUsage;
}

void sleepSeconds(int seconds)
{
    timespec remaining{seconds, 0};
    while (nanosleep(&remaining, &remaining) != 0) {
    }
}

// Hangs with a child of its own, so that whoever gives up on this run must end both.
void hang(int seconds, const QString& record)
{
    const pid_t child = fork();
    if (child == 0) {
        sleepSeconds(seconds);
        _exit(0);
    }
    QFile file(record);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(QByteArray::number(getpid()) + '\n' + QByteArray::number(child) + '\n');
    file.close();
    sleepSeconds(seconds);
    if (child > 0)
        waitpid(child, nullptr, 0);
}

bool writeOut(const QByteArray& bytes)
{
    return std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) ==
               static_cast<size_t>(bytes.size()) &&
           std::fflush(stdout) == 0;
}

int exportDomain(const QString& file, const Fault& fault)
{
    if (fault.corruptOutput)
        return writeOut(kCorruptOutput) ? 0 : kFailure;
    PropertyList domain = PropertyList::dictionary();
    if (QFileInfo::exists(file))
        domain = PropertyList::decode(RegularFile::read(file, PropertyList::maximumBytes));
    return writeOut(domain.toXml()) ? 0 : fail(QStringLiteral("Could not write the output."));
}

int importDomain(const QString& file, const QString& source, const Fault& fault)
{
    QByteArray bytes;
    if (source == QLatin1String("-")) {
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly))
            return fail(QStringLiteral("Could not read “%1”: %2").arg(source, input.errorString()));
        // One byte more than a property list may have tells a larger one from one at the limit.
        bytes = input.read(PropertyList::maximumBytes + 1);
    } else {
        bytes = RegularFile::read(source, PropertyList::maximumBytes);
    }
    const PropertyList domain = PropertyList::decode(bytes);
    if (!domain.root().isDictionary())
        return fail(QStringLiteral("“%1” is not a dictionary property list.").arg(source));
    if (fault.ignore)
        return 0;
    const bool isNew = !QFileInfo::exists(file);
    if (isNew && !QDir().mkpath(QFileInfo(file).absolutePath()))
        return fail(QStringLiteral("Could not create the folder of “%1”.").arg(file));
    // The domain file stays binary, as the system keeps it; an existing file keeps its mode.
    QSaveFile output(file);
    if (!output.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Could not write “%1”: %2").arg(file, output.errorString()));
    output.write(domain.toBinary());
    if (isNew)
        output.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!output.commit())
        return fail(QStringLiteral("Could not write “%1”: %2").arg(file, output.errorString()));
    return 0;
}

int run(const QString& command, const QString& domain, const QString& argument)
{
    const qsizetype marker = domain.indexOf(kHomeMarker);
    const std::optional<QString> home = marker > 0 ? std::optional(domain.left(marker)) : std::nullopt;
    const QString file = domain + QStringLiteral(".plist");

    Fault fault;
    if (home) {
        const DefaultsFaults faults(*home);
        try {
            fault = faults.begin(command);
            if (fault.hangSeconds > 0)
                hang(fault.hangSeconds, faults.hangRecordPath());
            const bool protectedDomain = kProtectedDomains.contains(domain.mid(marker));
            if (protectedDomain && !faults.fullDiskAccess())
                fault.denyAccess = true;
        } catch (const SystemError& error) {
            return fail(error.description(), kBadKnobs);
        }
    }
    if (fault.denyAccess)
        return fail(QStringLiteral("Could not access domain %1 (Operation not permitted).").arg(domain));
    if (fault.exitStatus)
        return *fault.exitStatus;
    try {
        return command == QLatin1String("export") ? exportDomain(file, fault)
                                                  : importDomain(file, argument, fault);
    } catch (const Error& error) {
        return fail(error.description());
    }
}

// One line per write, appended, so lines of runs one after another never mix.
void appendLog(const QString& path, const QByteArray& line)
{
    if (path.isEmpty() || !QDir(QFileInfo(path).absolutePath()).exists())
        return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4)
        return usage();
    const QString command = QString::fromLocal8Bit(argv[1]);
    const QString domain = QString::fromLocal8Bit(argv[2]);
    const QString argument = QString::fromLocal8Bit(argv[3]);
    const bool knownCommand = (command == QLatin1String("export") && argument == QLatin1String("-")) ||
                              (command == QLatin1String("import") && !argument.isEmpty());
    if (!knownCommand || !QDir::isAbsolutePath(domain) || domain.endsWith(QLatin1Char('/')))
        return usage();
    // The simulated Mac shows every run; a run killed on the way leaves its start alone.
    const qsizetype marker = domain.indexOf(kHomeMarker);
    const QString log =
        marker > 0 ? simulated_mac::simulated_home::defaultsLogPath(domain.left(marker)) : QString();
    QElapsedTimer elapsed;
    elapsed.start();
    appendLog(log, simulated_mac::DefaultsRunLog::startLine(getpid(), command, domain));
    const int status = run(command, domain, argument);
    appendLog(log, simulated_mac::DefaultsRunLog::endLine(getpid(), status,
                                                     static_cast<double>(elapsed.nsecsElapsed()) / 1e9));
    return status;
}
