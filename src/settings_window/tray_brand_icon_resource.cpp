#include "settings_window/tray_brand_icon_resource.h"

#include <QDir>
#include <QImageReader>

namespace velmor {

QUrl TrayBrandIconResource::imageUrl(const QString& bundleUrl)
{
    const QUrl url(bundleUrl);
    const QString bundle = url.isLocalFile() ? url.toLocalFile() : bundleUrl;
    if (bundle.isEmpty())
        return {};
    const QString path =
        QDir(bundle).filePath(QStringLiteral("%1/%2.%3")
                                  .arg(QString::fromLatin1(resourcesFolder),
                                       QString::fromLatin1(resourceName), QString::fromLatin1(resourceType)));
    // Read it once here: a file that exists but does not decode falls back as a missing one does.
    QImageReader reader(path);
    if (reader.read().isNull())
        return {};
    return QUrl::fromLocalFile(path);
}

} // namespace velmor
