#include "tray_visibility/defaults_tool_runner.h"

#include "foundation/private_files.h"
#include "foundation/system_error.h"
#include "foundation/uuid_text.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <unistd.h>

#include <csignal>

namespace velmor {
namespace {

const QString kOutputFileName = QStringLiteral("output");
const QString kExport = QStringLiteral("export");
const QString kImport = QStringLiteral("import");
const QString kStandardOutputArgument = QStringLiteral("-");

// A private folder that exists exactly as long as this object.
class PrivateTemporaryFolder final {
public:
    PrivateTemporaryFolder(const QString& parent, const QString& prefix)
        : m_path(QDir(parent).filePath(prefix + uuid_text::canonical(uuid_text::random())))
    {
        // No intermediate folders: the temporary folder itself must already be there.
        if (!QDir().mkdir(m_path, private_files::ownerOnlyDirectory))
            throw SystemError(SystemError::Kind::File,
                              QStringLiteral("Could not create the folder “%1”.").arg(m_path));
    }
    ~PrivateTemporaryFolder()
    {
        // The files handed out are removed by name, which costs far less than a recursive walk;
        // the walk is only the fallback for anything else that ended up inside.
        for (const QString& file : m_files)
            QFile::remove(file);
        if (!QDir().rmdir(m_path))
            QDir(m_path).removeRecursively();
    }
    PrivateTemporaryFolder(const PrivateTemporaryFolder&) = delete;
    PrivateTemporaryFolder& operator=(const PrivateTemporaryFolder&) = delete;

    QString filePath(const QString& name)
    {
        m_files.append(m_path + QLatin1Char('/') + name);
        return m_files.last();
    }

private:
    QString m_path;
    QStringList m_files;
};

} // namespace

std::optional<QByteArray> DefaultsToolRunner::run(const QStringList& arguments) const
{
    PrivateTemporaryFolder folder(m_configuration.temporaryDirectory, m_configuration.runPrefix);
    const QString outputPath = folder.filePath(kOutputFileName);
    {
        QFile output(outputPath);
        if (!output.open(QIODevice::WriteOnly | QIODevice::NewOnly, private_files::ownerReadWrite))
            throw SystemError(
                SystemError::Kind::File,
                QStringLiteral("Could not create “%1”: %2").arg(outputPath, output.errorString()));
    }

    QProcess process;
    process.setProgram(m_configuration.toolPath);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(outputPath);
    process.setStandardErrorFile(QProcess::nullDevice());
    // Its own process group, so that a time-out can kill whatever the tool started as well.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start();
    if (!process.waitForStarted(-1)) {
        throw SystemError(
            SystemError::Kind::Process,
            QStringLiteral("Could not run “%1”: %2").arg(m_configuration.toolPath, process.errorString()));
    }
    if (!process.waitForFinished(static_cast<int>(kDeadline.count()))) {
        if (const qint64 group = process.processId(); group > 0)
            ::kill(-static_cast<pid_t>(group), SIGKILL);
        process.waitForFinished(-1);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    QFile output(outputPath);
    if (!output.open(QIODevice::ReadOnly))
        throw SystemError(SystemError::Kind::File,
                          QStringLiteral("Could not read “%1”: %2").arg(outputPath, output.errorString()));
    return output.readAll();
}

std::optional<QByteArray> DefaultsToolRunner::exportDomain(const QString& domain) const
{
    return run({kExport, domain, kStandardOutputArgument});
}

bool DefaultsToolRunner::importDomain(const QString& domain, const QByteArray& document) const
{
    PrivateTemporaryFolder folder(m_configuration.temporaryDirectory, m_configuration.importPrefix);
    const QString path = folder.filePath(m_configuration.importFileName);
    // A new file in a folder of its own that only the tool reads, and only after it is closed:
    // nothing to gain from the atomic replace and its flush to disk.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, private_files::ownerReadWrite) ||
        file.write(document) != document.size() || !file.flush())
        throw SystemError(SystemError::Kind::File,
                          QStringLiteral("Could not write “%1”: %2").arg(path, file.errorString()));
    file.close();
    return run({kImport, domain, path}).has_value();
}

} // namespace velmor
