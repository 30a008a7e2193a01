#include "app/simulated_mac_renderer.h"

#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtGlobal>

namespace velmor {

void chooseSimulatedMacRenderer()
{
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace velmor
