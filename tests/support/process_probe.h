#pragma once

#include <QFile>
#include <QString>

namespace velmor::test {

// Whether a process still runs: absent and zombie processes (dead, waiting for their parent or
// for init to reap them) both count as gone.
inline bool processIsAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype end = text.lastIndexOf(')');
    return end >= 0 && end + 2 < text.size() && text.at(end + 2) != 'Z' && text.at(end + 2) != 'X';
}

} // namespace velmor::test
