#pragma once

#include <QFile>
#include <QString>
#include <sys/stat.h>

namespace velmor::test {

// The POSIX permission bits of a file or folder; -1 when it does not exist.
inline int fileMode(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

// The file's inode: a file replaced by an atomic write has a new one. 0 when it does not exist.
inline quint64 fileInode(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? quint64(status.st_ino) : 0;
}

} // namespace velmor::test
