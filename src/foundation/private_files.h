#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace velmor::private_files {

inline constexpr QFileDevice::Permissions ownerReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
inline constexpr QFileDevice::Permissions ownerOnlyDirectory =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// Creates the folder and any missing parents; the folder itself gets mode 0700 whatever existed.
// Throws SystemError (File).
void ensureDirectory(const QString& path);

// Writes the file atomically with `permissions` (set before the rename, so the file never exists
// with a wider mode; an overwrite would otherwise keep the old mode). Throws SystemError (File).
void writeAtomically(const QString& path, const QByteArray& bytes,
                     QFileDevice::Permissions permissions = ownerReadWrite);

} // namespace velmor::private_files
