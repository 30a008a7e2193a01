#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace velmor {

// The one way the app reads a file it did not just write itself: a scenario or script named on the
// command line, the system's preference domains, its own preferences, its journals. Whoever can
// write to those places can put anything there, so a file is opened without waiting (opening a
// FIFO for reading would wait for a writer forever), must be a regular file as the opened
// descriptor says (a check of the path could be raced, and a device such as /dev/zero never ends),
// and is read only up to the limit its reader states. Every refusal throws SystemError (File) with
// a sentence naming the file.
class RegularFile final {
public:
    static constexpr auto notRegularReason = "it is not a regular file";
    static constexpr auto tooLargeReason = "it is larger than %1 bytes";

    // The whole file.
    static QByteArray read(const QString& path, qint64 maximumBytes);
    // What lies from `offset` on, at most `maximumBytes` of it (a file that only grows, read in
    // steps); `size` receives the file's size when the file was opened.
    static QByteArray readFrom(const QString& path, qint64 offset, qint64 maximumBytes, qint64* size);
    // Opens `file` for reading on a descriptor that passed the checks; `file` closes it.
    static void open(QFile& file, const QString& path);
};

} // namespace velmor
