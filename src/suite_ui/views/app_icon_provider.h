#pragma once

#include <QQuickImageProvider>

namespace velmor {
namespace platform {
class Workspace;
}

// "image://appicon/<bundle identifier>": a running app's icon from the workspace. An app that is
// not running gives a transparent image; views show the "app.dashed" symbol for it instead.
class AppIconProvider final : public QQuickImageProvider {
public:
    static constexpr const char* providerId = "appicon";

    explicit AppIconProvider(const platform::Workspace& workspace);

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

private:
    const platform::Workspace& m_workspace;
};

} // namespace velmor
