#pragma once

#include <QString>

namespace velmor::tray_recovery_paths {

// Where the app keeps its recovery journals when their owner is given no other file.
QString visibilityJournal(const QString& homeDirectory);
QString positionJournal(const QString& homeDirectory);

} // namespace velmor::tray_recovery_paths
