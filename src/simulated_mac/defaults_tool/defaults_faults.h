#pragma once

#include <QString>

#include <optional>

namespace velmor::defaults_tool {

// What a test asked this run of the tool to do wrong, read from
// "<home>/.velmor-simulator/defaults-faults.json" (format in docs/defaults-standin.md).
struct Fault {
    int hangSeconds = 0;
    std::optional<int> exitStatus;
    bool denyAccess = false;
    bool corruptOutput = false; // export
    bool ignore = false;        // import
};

// The simulated desktop's state as this tool sees it: the run counters, the fault knobs and the
// Full Disk Access switch, all under the simulated home's ".velmor-simulator" folder.
class DefaultsFaults final {
public:
    explicit DefaultsFaults(QString home) : m_home(std::move(home)) {}

    // Counts this run of `command` and returns the fault that applies to it. Throws
    // SystemError (Parse) when the knob file exists but is not valid.
    Fault begin(const QString& command) const;

    // Whether the simulated desktop grants Full Disk Access (absent file or member: granted).
    // Throws SystemError (Parse) when the file exists but is not valid.
    bool fullDiskAccess() const;

    // Where a hanging run records its own pid and its child's, one a line.
    QString hangRecordPath() const;

private:
    QString m_home;
};

} // namespace velmor::defaults_tool
