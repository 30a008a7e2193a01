#include "app/simulated_mac_view.h"

#include "app/qml_modules.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/views/simulated_icon_provider.h"
#include "simulated_mac/views/simulated_mac_presenter.h"

#include <QQmlComponent>
#include <QQuickWindow>

namespace velmor {

SimulatedMacView::SimulatedMacView(simulated_mac::SimulatedDesktop& desktop, const QString& scenarioName)
    : m_presenter(std::make_unique<simulated_mac::SimulatedMacPresenter>(desktop, scenarioName))
{
    prepareEngine(m_engine);
    m_engine.addImageProvider(QString::fromLatin1(simulated_mac::SimulatedIconProvider::providerId),
                              new simulated_mac::SimulatedIconProvider(desktop.workspace()));
}

SimulatedMacView::~SimulatedMacView()
{
    delete m_strip;
    delete m_window;
}

QQuickWindow* SimulatedMacView::create(const char* source)
{
    QQmlComponent component(&m_engine, QUrl(QString::fromLatin1(source)));
    // Qt 6.4 crashes when a component that failed to load is asked for an object.
    if (!component.isReady()) {
        for (const QQmlError& error : component.errors())
            m_loadErrors.append(error.toString());
        return nullptr;
    }
    QObject* object = component.createWithInitialProperties(
        {{QStringLiteral("mac"), QVariant::fromValue(m_presenter.get())}});
    for (const QQmlError& error : component.errors())
        m_loadErrors.append(error.toString());
    auto* window = qobject_cast<QQuickWindow*>(object);
    if (!window)
        delete object;
    return window;
}

QQuickWindow* SimulatedMacView::window()
{
    if (!m_window)
        m_window = create(windowSource);
    return m_window;
}

QQuickWindow* SimulatedMacView::menuBarStrip()
{
    if (!m_strip)
        m_strip = create(stripSource);
    return m_strip;
}

} // namespace velmor
