#include "suite_ui/views/app_icon_provider.h"

#include "platform/workspace.h"

namespace velmor {
namespace {

constexpr int fallbackSize = 32;

} // namespace

AppIconProvider::AppIconProvider(const platform::Workspace& workspace)
    : QQuickImageProvider(QQuickImageProvider::Image), m_workspace(workspace)
{}

QImage AppIconProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    const QSize wanted = requestedSize.isValid() ? requestedSize : QSize(fallbackSize, fallbackSize);
    QImage image;
    for (const platform::RunningApplication& application : m_workspace.runningApplications()) {
        if (application.bundleIdentifier == id && application.icon && !application.icon->isNull()) {
            image = application.icon->scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            break;
        }
    }
    if (image.isNull()) {
        image = QImage(wanted, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
    }
    if (size)
        *size = image.size();
    return image;
}

} // namespace velmor
