#include "tray_visibility/defaults_tool_runner.h"

#include "foundation/property_list.h"
#include "foundation/system_error.h"
#include "foundation/uuid_text.h"
#include "tray_visibility/tool_process.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velmor {
namespace {

const QString kExport = QStringLiteral("export");
const QString kImport = QStringLiteral("import");
const QString kStandardOutputArgument = QStringLiteral("-");

// Plain system calls: a run is a few of them, and the app waits for every one.
[[noreturn]] void fileError(const char* action, const QString& path)
{
    throw SystemError(SystemError::Kind::File,
                      QStringLiteral("Could not %1 “%2”: %3")
                          .arg(QLatin1String(action), path, QString::fromLocal8Bit(std::strerror(errno))));
}

class OpenFile final {
public:
    // A new file only the owner may read and write.
    explicit OpenFile(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600))
    {
        if (m_fd < 0)
            fileError("create", path);
    }
    ~OpenFile() { ::close(m_fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int descriptor() const { return m_fd; }

    void write(const QByteArray& bytes, const QString& path) const
    {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t written = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                fileError("write", path);
            done += written;
        }
    }

private:
    int m_fd;
};

// A private folder that exists exactly as long as this object.
class PrivateTemporaryFolder final {
public:
    PrivateTemporaryFolder(const QString& parent, const QString& prefix)
        : m_path(QDir(parent).filePath(prefix + uuid_text::canonical(uuid_text::random())))
    {
        // No intermediate folders: the temporary folder itself must already be there.
        if (::mkdir(QFile::encodeName(m_path).constData(), 0700) != 0)
            throw SystemError(SystemError::Kind::File,
                              QStringLiteral("Could not create the folder “%1”.").arg(m_path));
    }
    ~PrivateTemporaryFolder()
    {
        // The files handed out are removed by name, which costs far less than a recursive walk;
        // the walk is only the fallback for anything else that ended up inside.
        for (const QString& file : m_files)
            ::unlink(QFile::encodeName(file).constData());
        if (::rmdir(QFile::encodeName(m_path).constData()) != 0)
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
    ToolProcess::Result result =
        ToolProcess::run(m_configuration.toolPath, arguments, kDeadline, PropertyList::maximumBytes);
    if (result.outcome != ToolProcess::Outcome::succeeded)
        return std::nullopt;
    return std::move(result.output);
}

std::optional<QByteArray> DefaultsToolRunner::exportDomain(const QString& domain) const
{
    return run({kExport, domain, kStandardOutputArgument});
}

bool DefaultsToolRunner::importDomain(const QString& domain, const QByteArray& document) const
{
    PrivateTemporaryFolder folder(m_configuration.temporaryDirectory, m_configuration.importPrefix);
    const QString path = folder.filePath(m_configuration.importFileName);
    // A new file in a folder of its own that only the tool reads, and only after it is written:
    // nothing to gain from an atomic replace and its flush to disk.
    OpenFile(path).write(document, path);
    return run({kImport, domain, path}).has_value();
}

} // namespace velmor
