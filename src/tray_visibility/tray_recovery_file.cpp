#include "tray_visibility/tray_recovery_file.h"

#include "foundation/private_files.h"
#include "foundation/system_error.h"

#include <QFile>
#include <QFileInfo>

namespace velmor {

bool TrayRecoveryFile::exists() const
{
    return QFileInfo::exists(m_path);
}

std::optional<Json> TrayRecoveryFile::load() const
{
    if (!exists())
        return std::nullopt;
    return json::parse(private_files::read(m_path));
}

void TrayRecoveryFile::save(const Json& entries) const
{
    if (entries.is_array() && entries.empty()) {
        QFile file(m_path);
        if (file.exists() && !file.remove())
            throw SystemError(SystemError::Kind::File,
                              QStringLiteral("Could not delete “%1”: %2").arg(m_path, file.errorString()));
        return;
    }
    private_files::ensureDirectory(QFileInfo(m_path).absolutePath());
    private_files::writeAtomically(m_path, json::serialize(entries));
}

} // namespace velmor
