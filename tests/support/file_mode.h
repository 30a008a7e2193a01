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

} // namespace velmor::test
