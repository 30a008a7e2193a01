#include "foundation/private_files.h"

#include "foundation/system_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace velmor::private_files {
namespace {

SystemError fileError(const QString& action, const QString& path, const QString& reason)
{
    return SystemError(SystemError::Kind::File,
                       QStringLiteral("Could not %1 “%2”: %3").arg(action, path, reason));
}

} // namespace

void ensureDirectory(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        QDir parent = info.absoluteDir();
        if (!parent.exists() && !QDir().mkpath(parent.absolutePath()))
            throw fileError(QStringLiteral("create the folder"), parent.absolutePath(),
                            QStringLiteral("mkpath failed"));
        // mkdir with explicit permissions: mkpath would leave the folder at 0755.
        if (!parent.mkdir(info.fileName(), ownerOnlyDirectory) && !QFileInfo(path).isDir())
            throw fileError(QStringLiteral("create the folder"), path, QStringLiteral("mkdir failed"));
    } else if (!info.isDir()) {
        throw fileError(QStringLiteral("create the folder"), path,
                        QStringLiteral("a file of that name exists"));
    }
    if (!QFile::setPermissions(path, ownerOnlyDirectory))
        throw fileError(QStringLiteral("protect the folder"), path, QStringLiteral("chmod failed"));
}

void writeAtomically(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw fileError(QStringLiteral("write"), path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw fileError(QStringLiteral("write"), path, reason);
    }
    if (!file.setPermissions(permissions)) {
        file.cancelWriting();
        throw fileError(QStringLiteral("protect"), path, QStringLiteral("chmod failed"));
    }
    if (!file.commit())
        throw fileError(QStringLiteral("write"), path, file.errorString());
}

} // namespace velmor::private_files
