#include "simulated_mac/file_user_defaults.h"

#include "foundation/private_files.h"
#include "foundation/property_list_variant.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace velmor::simulated_mac {

FileUserDefaults::FileUserDefaults(QString path) : m_path(std::move(path))
{
    if (!QFileInfo::exists(m_path))
        return;
    try {
        PropertyList stored = PropertyList::decode(RegularFile::read(m_path, PropertyList::maximumBytes));
        if (stored.root().isDictionary())
            m_document = std::move(stored);
        else
            m_unreadableOnDisk = true;
    } catch (const SystemError&) {
        m_unreadableOnDisk = true;
    }
}

QVariant FileUserDefaults::value(const QString& key) const
{
    return plist_variant::toVariant(m_document.root().value(key));
}

void FileUserDefaults::setValue(const QString& key, const QVariant& value)
{
    const auto converted = plist_variant::fromVariant(value);
    if (!converted)
        return;
    m_document.root().setEntry(key, *converted);
    save();
}

void FileUserDefaults::remove(const QString& key)
{
    if (!m_document.root().contains(key))
        return;
    m_document.root().remove(key);
    save();
}

void FileUserDefaults::save()
{
    try {
        if (m_unreadableOnDisk) {
            const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
            QString aside = m_path + QStringLiteral(".unreadable-") + stamp;
            for (int n = 1; QFileInfo::exists(aside); ++n)
                aside = m_path + QStringLiteral(".unreadable-%1-%2").arg(stamp).arg(n);
            if (!QFile::rename(m_path, aside))
                return; // Keep the user's file rather than overwrite what could not be moved.
            m_movedAside = aside;
            m_unreadableOnDisk = false;
        }
        if (!m_directoryReady) {
            private_files::ensureDirectory(QFileInfo(m_path).absolutePath());
            m_directoryReady = true;
        }
        private_files::writeAtomically(m_path, m_document.toBinary());
    } catch (const SystemError&) {
        // Defaults writes are best effort, as on the Mac: the value stays in memory for this run.
    }
}

} // namespace velmor::simulated_mac
