#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>

namespace velmor {

// One run of a command-line tool: started without a copy of this process, in a process group of
// its own, with standard input from the null device, standard output read into memory and
// standard error read and dropped. Its output never touches the disk, and the end of both streams
// tells the wait that the tool is gone, so waiting costs no polling; at the deadline the whole
// group is killed, as it is when the output grows past the given limit.
class ToolProcess final {
public:
    enum class Outcome { succeeded, failed, timedOut };

    struct Result {
        Outcome outcome = Outcome::failed;
        QByteArray output;
    };

    // Throws SystemError (Process) when the tool cannot be started.
    static Result run(const QString& program, const QStringList& arguments,
                      std::chrono::milliseconds deadline, qsizetype outputLimit);

    ToolProcess() = delete;
};

} // namespace velmor
