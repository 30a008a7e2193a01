#include "app/tray_scene.h"

#include "app/after_next_frame.h"
#include "app/qml_modules.h"
#include "app/support_footer_slot.h"
#include "distribution/app_distribution_settings.h"
#include "distribution/app_updates.h"
#include "platform/application_shell.h"
#include "platform/host.h"
#include "platform/services.h"
#include "platform/system_appearance.h"
#include "platform/workspace.h"
#include "settings_window/tray_preferences_block.h"
#include "settings_window/tray_search_presenter.h"
#include "settings_window/tray_settings_presenter.h"
#include "suite_ui/beta_support_view.h"
#include "suite_ui/launch_at_login_settings.h"
#include "suite_ui/support_settings_footer.h"
#include "suite_ui/support_window.h"
#include "suite_ui/velmor_signals.h"
#include "suite_ui/views/app_icon_provider.h"
#include "tray/tray_app.h"

#include <QGuiApplication>
#include <QLocale>
#include <QQmlComponent>
#include <QQuickWindow>
#include <QScreen>

#include <memory>

namespace velmor {
namespace {

// A window the engine asked for, shown by the scene that made it. The engine owns these for as
// long as it lives; the scene's windows go first, so they only point at them.
class QuickSupportWindow final : public SupportWindow {
public:
    explicit QuickSupportWindow(QQuickWindow* window) : m_window(window) {}

    void orderFrontAsKey() override
    {
        if (m_window)
            TrayScene::bringForward(*m_window);
    }

private:
    QPointer<QQuickWindow> m_window;
};

class QuickUpdateSettingsWindow final : public AppUpdates::SettingsWindow {
public:
    explicit QuickUpdateSettingsWindow(QQuickWindow* window) : m_window(window) {}

    void makeKeyAndOrderFront() override
    {
        if (m_window)
            TrayScene::bringForward(*m_window);
    }

private:
    QPointer<QQuickWindow> m_window;
};

} // namespace

TrayScene::TrayScene(TrayApp& app, const platform::Services& services)
    : m_app(app), m_services(services), m_presenter(std::make_unique<TraySettingsPresenter>(app, services)),
      m_search(std::make_unique<TraySearchPresenter>(app))
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

    VelmorSignals* hub = VelmorSignals::shared();
    if (hub && services.applicationShell && services.screens) {
        hub->installSupportWindows(
            *services.applicationShell, *services.screens,
            [this](const SupportWindow::Request& request) -> std::unique_ptr<SupportWindow> {
                QQuickWindow* window =
                    createFeedbackWindow(request.title, request.contentSize, request.appName);
                if (!window)
                    return nullptr;
                return std::make_unique<QuickSupportWindow>(window);
            });
    }
    app.updates().setSettingsWindowFactory(
        [this](AppUpdates&) -> std::unique_ptr<AppUpdates::SettingsWindow> {
            QQuickWindow* window = createUpdateSettingsWindow();
            if (!window)
                return nullptr;
            return std::make_unique<QuickUpdateSettingsWindow>(window);
        });

    app.setShowSearchWindow([this] { showSearchWindow(); });

    // The update commands come and go with the controller's state.
    connect(&app.updates(), &AppUpdates::stateChanged, this, &TrayScene::refreshMenu);
    if (hub)
        connect(hub, &VelmorSignals::supportWindowsInstalled, this, &TrayScene::refreshMenu);
    refreshMenu();
}

TrayScene::~TrayScene()
{
    if (m_services.appearance)
        m_services.appearance->removeObserver(m_appearanceObserver);
    // Nothing asks this scene for a window once it is gone.
    disconnect(&m_app.updates(), nullptr, this, nullptr);
    m_app.updates().setSettingsWindowFactory({});
    m_app.setShowSearchWindow({});
    if (VelmorSignals* hub = VelmorSignals::shared()) {
        disconnect(hub, nullptr, this, nullptr);
        if (m_services.applicationShell && m_services.screens)
            hub->installSupportWindows(*m_services.applicationShell, *m_services.screens, {});
    }
    // The windows go before the presenters they show.
    delete m_window;
    delete m_feedbackWindow;
    delete m_updatesWindow;
    delete m_searchWindow;
}

bool TrayScene::dark() const
{
    return m_app.prefersDark(m_services.appearance && m_services.appearance->isDark());
}

void TrayScene::refreshMenu()
{
    if (m_services.applicationShell)
        m_services.applicationShell->setMainMenu(m_app.mainMenu());
}

QQuickWindow* TrayScene::createWindow(const char* source, QVariantMap properties, const QString& kind)
{
    QQmlComponent component(&m_engine, QUrl(QString::fromLatin1(source)));
    // Qt 6.4 crashes when a component that failed to load is asked for an object.
    if (!component.isReady()) {
        for (const QQmlError& error : component.errors())
            m_loadErrors.append(error.toString());
        return nullptr;
    }
    properties.insert(QStringLiteral("dark"), dark());
    QObject* object = component.createWithInitialProperties(properties);
    for (const QQmlError& error : component.errors())
        m_loadErrors.append(error.toString());
    auto* window = qobject_cast<QQuickWindow*>(object);
    if (!window) {
        delete object;
        return nullptr;
    }
    if (m_windowCreated)
        m_windowCreated(*window, kind);
    return window;
}

QQuickWindow* TrayScene::createSettingsWindow()
{
    QQuickWindow* window =
        createWindow(settingsWindowSource,
                     {{QStringLiteral("presenter"), QVariant::fromValue(m_presenter.get())},
                      {QStringLiteral("width"), TrayApp::settingsWindowWidth},
                      {QStringLiteral("height"), TrayApp::settingsWindowHeight}},
                     QString::fromLatin1(settingsWindowKind));
    if (!window)
        return nullptr;
    window->setObjectName(QString::fromLatin1(TrayApp::settingsWindowIdentifier));
    // A dropped card is on screen before the model's move (and its system edit) holds the thread.
    TrayAreasBlock* areas = m_presenter->areas();
    areas->setAfterFrame([window = QPointer<QQuickWindow>(window), areas](std::function<void()> task) {
        afterNextFrame(window, areas, std::move(task));
    });
    if (m_services.host && m_services.workspace) {
        m_settingsFooter = std::make_unique<SupportSettingsFooter>(
            VelmorSignals::shared(), m_services.host->mainBundle(), *m_services.workspace);
        // The footer's slot is among the preferences, which the window builds the first time they
        // are shown. Which handler of that signal runs first is not ours to rely on: asking the
        // window to build what is wanted is harmless when it has already.
        const auto placeFooter = [this, window = QPointer<QQuickWindow>(window),
                                  placed = std::make_shared<bool>(false)] {
            if (!window || *placed || !m_presenter->preferences()->shown())
                return;
            *placed = true;
            QMetaObject::invokeMethod(window, "buildWanted");
            SupportFooterSlot::fill(*window, m_engine, *m_settingsFooter, m_loadErrors);
        };
        placeFooter();
        connect(m_presenter->preferences(), &TrayPreferencesBlock::shownChanged, window, placeFooter);
    }
    // The content appears each time the window comes on screen, as if built anew.
    connect(window, &QWindow::visibleChanged, this, [this](bool visible) {
        if (!visible)
            return;
        m_presenter->windowAppeared();
        m_app.settingsWindowAppeared();
    });
    return window;
}

QQuickWindow* TrayScene::createFeedbackWindow(const QString& title, QSizeF size, const QString& appName)
{
    VelmorSignals* hub = VelmorSignals::shared();
    if (!hub || m_feedbackWindow)
        return m_feedbackWindow;
    m_feedback = std::make_unique<BetaSupportView>(*hub, appName, m_clipboard);
    const QSize points = size.toSize();
    m_feedbackWindow = createWindow(feedbackWindowSource,
                                    {{QStringLiteral("presenter"), QVariant::fromValue(m_feedback.get())},
                                     {QStringLiteral("title"), title},
                                     {QStringLiteral("width"), points.width()},
                                     {QStringLiteral("height"), points.height()}},
                                    QString::fromLatin1(feedbackWindowKind));
    if (m_feedbackWindow)
        fixSize(*m_feedbackWindow);
    return m_feedbackWindow;
}

QQuickWindow* TrayScene::createUpdateSettingsWindow()
{
    if (m_updatesWindow)
        return m_updatesWindow;
    using Style = AppUpdates::SettingsWindowStyle;
    m_updateSettings = std::make_unique<AppDistributionSettings>(m_app.updates());
    if (m_services.loginItems && m_services.host && m_services.scheduler) {
        m_startup =
            std::make_unique<LaunchAtLoginSettings>(*m_services.loginItems, m_services.host->mainBundle(),
                                                    LaunchAtLoginController::Locations::of(*m_services.host),
                                                    *m_services.scheduler, m_updateSettings->startupDetail());
        m_updateSettings->setStartupSection(m_startup.get());
    }
    if (m_services.host && m_services.workspace) {
        m_footer = std::make_unique<SupportSettingsFooter>(
            VelmorSignals::shared(), m_services.host->mainBundle(), *m_services.workspace);
        m_updateSettings->setFooter(m_footer.get());
    }
    m_updatesWindow =
        createWindow(updateSettingsWindowSource,
                     {{QStringLiteral("presenter"), QVariant::fromValue(m_updateSettings.get())},
                      {QStringLiteral("title"), QString::fromUtf8(Style::title)},
                      {QStringLiteral("width"), Style::width},
                      {QStringLiteral("height"), Style::height}},
                     QString::fromUtf8(Style::kind));
    if (m_updatesWindow)
        fixSize(*m_updatesWindow);
    if (m_updatesWindow && Style::centred) {
        if (const QScreen* screen = m_updatesWindow->screen())
            m_updatesWindow->setPosition(screen->availableGeometry().center() -
                                         QPoint(Style::width / 2, Style::height / 2));
    }
    return m_updatesWindow;
}

QQuickWindow* TrayScene::createSearchWindow()
{
    QQuickWindow* window = createWindow(searchWindowSource,
                                        {{QStringLiteral("presenter"), QVariant::fromValue(m_search.get())},
                                         {QStringLiteral("width"), searchWindowWidth},
                                         {QStringLiteral("height"), searchWindowHeight}},
                                        QString::fromLatin1(searchWindowKind));
    if (!window)
        return nullptr;
    fixSize(*window);
    // In the upper middle of the screen, where the person looks for it.
    if (const QScreen* screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        window->setPosition(area.center().x() - searchWindowWidth / 2, area.top() + area.height() / 5);
    }
    return window;
}

void TrayScene::showSearchWindow()
{
    if (!m_searchWindow)
        m_searchWindow = createSearchWindow();
    if (!m_searchWindow)
        return;
    m_search->reset();
    bringForward(*m_searchWindow);
}

void TrayScene::bringForward(QQuickWindow& window)
{
    if (window.windowState() & Qt::WindowMinimized)
        window.showNormal();
    else
        window.show();
    // Offscreen (screenshots, tests) there is no stacking to change.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        window.raise();
    window.requestActivate();
}

void TrayScene::fixSize(QQuickWindow& window)
{
    window.setFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    window.setMinimumSize(window.size());
    window.setMaximumSize(window.size());
}

void TrayScene::showSettingsWindow()
{
    if (!m_window)
        m_window = createSettingsWindow();
    if (m_window)
        bringForward(*m_window);
}

void TrayScene::closeSettingsWindow()
{
    if (m_window)
        m_window->close();
}

void TrayScene::applyAppearance()
{
    for (QQuickWindow* window :
         {m_window.data(), m_feedbackWindow.data(), m_updatesWindow.data(), m_searchWindow.data()}) {
        if (window)
            window->setProperty("dark", dark());
    }
}

} // namespace velmor
