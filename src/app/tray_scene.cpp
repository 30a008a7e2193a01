#include "app/tray_scene.h"

#include "app/qml_modules.h"
#include "platform/application_shell.h"
#include "platform/services.h"
#include "platform/system_appearance.h"
#include "platform/workspace.h"
#include "settings_window/tray_settings_presenter.h"
#include "suite_ui/views/app_icon_provider.h"
#include "tray/tray_app.h"

#include <QGuiApplication>
#include <QLocale>
#include <QQmlComponent>
#include <QQuickWindow>

namespace velmor {

TrayScene::TrayScene(TrayApp& app, const platform::Services& services)
    : m_app(app), m_services(services), m_presenter(std::make_unique<TraySettingsPresenter>(app, services))
{
    prepareEngine(m_engine);
    const QString locale = QString::fromLatin1(TrayApp::locale);
    m_engine.setUiLanguage(locale);
    QLocale::setDefault(QLocale(locale));
    if (services.workspace)
        m_engine.addImageProvider(QString::fromLatin1(AppIconProvider::providerId),
                                  new AppIconProvider(*services.workspace));
    connect(&app, &TrayApp::appearanceChanged, this, &TrayScene::applyAppearance);
    if (services.appearance)
        m_appearanceObserver = services.appearance->observe([this](bool) { applyAppearance(); });
    if (services.applicationShell)
        services.applicationShell->setMainMenu(app.mainMenu());
}

TrayScene::~TrayScene()
{
    if (m_services.appearance)
        m_services.appearance->removeObserver(m_appearanceObserver);
    delete m_window;
}

bool TrayScene::dark() const
{
    return m_app.prefersDark(m_services.appearance && m_services.appearance->isDark());
}

QQuickWindow* TrayScene::createWindow()
{
    QQmlComponent component(&m_engine, QUrl(QString::fromLatin1(settingsWindowSource)));
    // Qt 6.4 crashes when a component that failed to load is asked for an object.
    if (!component.isReady()) {
        for (const QQmlError& error : component.errors())
            m_loadErrors.append(error.toString());
        return nullptr;
    }
    QObject* object = component.createWithInitialProperties(
        {{QStringLiteral("presenter"), QVariant::fromValue(m_presenter.get())},
         {QStringLiteral("dark"), dark()},
         {QStringLiteral("width"), TrayApp::settingsWindowWidth},
         {QStringLiteral("height"), TrayApp::settingsWindowHeight}});
    for (const QQmlError& error : component.errors())
        m_loadErrors.append(error.toString());
    auto* window = qobject_cast<QQuickWindow*>(object);
    if (!window) {
        delete object;
        return nullptr;
    }
    window->setObjectName(QString::fromLatin1(TrayApp::settingsWindowIdentifier));
    // The content appears each time the window comes on screen.
    connect(window, &QWindow::visibleChanged, this, [this](bool visible) {
        if (visible)
            m_app.settingsWindowAppeared();
    });
    if (m_windowCreated)
        m_windowCreated(*window);
    return window;
}

void TrayScene::showSettingsWindow()
{
    if (!m_window)
        m_window = createWindow();
    if (!m_window)
        return;
    if (m_window->windowState() & Qt::WindowMinimized)
        m_window->showNormal();
    else
        m_window->show();
    // Offscreen (screenshots, tests) there is no stacking to change.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        m_window->raise();
    m_window->requestActivate();
}

void TrayScene::closeSettingsWindow()
{
    if (m_window)
        m_window->close();
}

void TrayScene::applyAppearance()
{
    if (m_window)
        m_window->setProperty("dark", dark());
}

} // namespace velmor
