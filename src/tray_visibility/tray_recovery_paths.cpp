#include "tray_visibility/tray_recovery_paths.h"

#include <QDir>

namespace velmor::tray_recovery_paths {
namespace {

const QString kFolder = QStringLiteral("Library/Application Support/Velmor Tray");
const QString kVisibilityFileName = QStringLiteral("visibility-recovery.json");
const QString kPositionFileName = QStringLiteral("position-recovery.json");

QString inFolder(const QString& homeDirectory, const QString& fileName)
{
    return QDir(homeDirectory).filePath(kFolder + QLatin1Char('/') + fileName);
}

} // namespace

QString visibilityJournal(const QString& homeDirectory)
{
    return inFolder(homeDirectory, kVisibilityFileName);
}

QString positionJournal(const QString& homeDirectory)
{
    return inFolder(homeDirectory, kPositionFileName);
}

} // namespace velmor::tray_recovery_paths
