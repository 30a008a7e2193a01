#pragma once

#include <QString>

// Where the simulated Mac keeps its files inside the simulated home folder. The world and the
// `defaults` stand-in both work on these paths.
namespace velmor::simulated_mac::simulated_home {

inline const QString controlCenterDomain = QStringLiteral("group.com.apple.controlcenter");
inline const QString menuBarDomain = QStringLiteral("com.apple.MenuBar");
inline const QString trackedApplicationsKey = QStringLiteral("trackedApplications");
inline const QString preferredPositionsKey = QStringLiteral("TrailingItemPreferredPositions");
inline const QString fullDiskAccessKey = QStringLiteral("fullDiskAccess");

// The control center's domain file (holds "trackedApplications").
inline QString controlCenterDomainPath(const QString& home)
{
    return home + QStringLiteral("/Library/Group Containers/group.com.apple.controlcenter/Library/"
                                 "Preferences/group.com.apple.controlcenter.plist");
}

// The menu bar's domain file (holds "TrailingItemPreferredPositions").
inline QString menuBarDomainPath(const QString& home)
{
    return home +
           QStringLiteral(
               "/Library/Group Containers/com.apple.MenuBar/Library/Preferences/com.apple.MenuBar.plist");
}

// The simulator's own switches, read by the `defaults` stand-in.
inline QString simulatorFolder(const QString& home)
{
    return home + QStringLiteral("/.velmor-simulator");
}

// The system's temporary folder of a run whose host names none.
inline QString temporaryFolder(const QString& home)
{
    return simulatorFolder(home) + QStringLiteral("/tmp");
}

// {"fullDiskAccess": true|false}; absent counts as granted.
inline QString systemSwitchesPath(const QString& home)
{
    return simulatorFolder(home) + QStringLiteral("/system.json");
}

// The `defaults` stand-in's fault knobs (format in docs/defaults-standin.md).
inline QString defaultsFaultsPath(const QString& home)
{
    return simulatorFolder(home) + QStringLiteral("/defaults-faults.json");
}

// How many times the stand-in has run, per command.
inline QString defaultsRunsPath(const QString& home)
{
    return simulatorFolder(home) + QStringLiteral("/defaults-runs.json");
}

// The stand-in's record of its runs, for the simulated Mac's log (format in DefaultsRunLog).
inline QString defaultsLogPath(const QString& home)
{
    return simulatorFolder(home) + QStringLiteral("/defaults-log.jsonl");
}

// Process identifiers of the helpers a hanging stand-in started, so tests can reap them.
inline QString defaultsHangRecordPath(const QString& home)
{
    return simulatorFolder(home) + QStringLiteral("/defaults-hang.pids");
}

// The app's own user defaults domain.
inline QString userDefaultsPath(const QString& home, const QString& bundleIdentifier)
{
    return home + QStringLiteral("/Library/Preferences/") + bundleIdentifier + QStringLiteral(".plist");
}

} // namespace velmor::simulated_mac::simulated_home
