#include "tray_visibility/tray_recovery_file.h"

#include "foundation/private_files.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velmor {

bool TrayRecoveryFile::exists() const
{
    return QFileInfo::exists(m_path);
}

std::optional<Json> TrayRecoveryFile::load() const
{
    if (!exists())
        return std::nullopt;
    return json::parse(RegularFile::read(m_path, maximumBytes));
}

void TrayRecoveryFile::save(const Json& entries) const
{
    if (entries.is_array() && entries.empty()) {
        QFile file(m_path);
        if (file.exists() && !file.remove())
            throw SystemError(SystemError::Kind::File,
                              QStringLiteral("Could not delete “%1”: %2").arg(m_path, file.errorString()));
        return;
    }
    // Replaced in one step, as the system's own atomic writes do, without waiting for the disk:
    // the journal is there for a crash of the app, after which the system still has every write.
    const QByteArray bytes = json::serialize(entries);
    QTemporaryFile file(m_path + QStringLiteral(".XXXXXX"));
    // The folder is made once; only a folder that went away since is made again.
    if (!m_folderReady || !file.open()) {
        private_files::ensureDirectory(QFileInfo(m_path).absolutePath());
        m_folderReady = true;
    }
    if (!(file.isOpen() || file.open()) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.setPermissions(private_files::ownerReadWrite))
        throw SystemError(SystemError::Kind::File,
                          QStringLiteral("Could not write “%1”: %2").arg(m_path, file.errorString()));
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(m_path).constData()) !=
        0)
        throw SystemError(SystemError::Kind::File,
                          QStringLiteral("Could not write “%1”: %2")
                              .arg(m_path, QString::fromLocal8Bit(std::strerror(errno))));
    file.setAutoRemove(false);
}

} // namespace velmor
