#include "tray/tray_organizer_drop.h"

#include "tray/tray_bundle_rules.h"

namespace velmor {

QString TrayOrganizerDrop::payload(const QString& bundleID)
{
    return QString::fromLatin1(payloadPrefix) + bundleID;
}

std::optional<QString> TrayOrganizerDrop::bundleID(const QString& payload, const QSet<QString>& known)
{
    const QString prefix = QString::fromLatin1(payloadPrefix);
    if (!payload.startsWith(prefix) || payload.toUtf8().size() > maximumPayloadBytes)
        return std::nullopt;
    const QString bundle = payload.mid(prefix.size());
    if (bundle.isEmpty() || isAppleBundleID(bundle) || !known.contains(bundle))
        return std::nullopt;
    return bundle;
}

} // namespace velmor
