#include "simulated_mac/views/simulated_icon_provider.h"

#include "simulated_mac/simulated_workspace.h"

#include <QUrl>

namespace velmor::simulated_mac {
namespace {

constexpr int fallbackSize = 32;

} // namespace

SimulatedIconProvider::SimulatedIconProvider(SimulatedWorkspace& workspace)
    : QQuickImageProvider(QQuickImageProvider::Image), m_workspace(workspace)
{}

QString SimulatedIconProvider::source(const QString& owner)
{
    return QStringLiteral("image://%1/%2")
        .arg(QString::fromLatin1(providerId), QString::fromUtf8(QUrl::toPercentEncoding(owner)));
}

QImage SimulatedIconProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    const QSize wanted = requestedSize.isValid() ? requestedSize : QSize(fallbackSize, fallbackSize);
    const SimulatedApplication* application = m_workspace.find(QUrl::fromPercentEncoding(id.toUtf8()));
    QImage image = application && !application->icon.isNull()
                       ? application->icon.scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                       : QImage();
    if (image.isNull()) {
        image = QImage(wanted, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
    }
    if (size)
        *size = image.size();
    return image;
}

} // namespace velmor::simulated_mac
