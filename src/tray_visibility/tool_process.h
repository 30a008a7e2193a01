#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

namespace velmor {

// One run of a command-line tool: started without a copy of this process, in a process group of
// its own, with standard input from the null device, standard output into the given descriptor and
// standard error read and dropped. The end of that error stream tells the wait that the tool is
// gone, so waiting costs no polling; at the deadline the whole group is killed.
class ToolProcess final {
public:
    enum class Outcome { succeeded, failed, timedOut };

    // Throws SystemError (Process) when the tool cannot be started.
    static Outcome run(const QString& program, const QStringList& arguments, int output,
                       std::chrono::milliseconds deadline);

    ToolProcess() = delete;
};

} // namespace velmor
