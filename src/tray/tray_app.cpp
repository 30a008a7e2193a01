#include "tray/tray_app.h"

#include "distribution/app_updates.h"
#include "platform/application_shell.h"
#include "platform/services.h"
#include "platform/user_defaults.h"
#include "suite_ui/dock_presence.h"
#include "suite_ui/velmor_signals.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_delegate.h"
#include "tray/tray_model.h"
#include "tray/tray_shortcuts.h"

#include <QPointer>

namespace velmor {
namespace {

QString storedAppearance(const platform::Services& services)
{
    const QString fallback = QString::fromLatin1(TrayApp::defaultAppearance);
    if (!services.userDefaults)
        return fallback;
    // Any value that is not a string counts as missing.
    const auto value = services.userDefaults->stringValue(QString::fromLatin1(TrayApp::appearanceKey));
    return value.value_or(fallback);
}

} // namespace

TrayApp::TrayApp(const platform::Services& services, std::function<void()> showSettingsWindow,
                 QObject* parent)
    : QObject(parent), m_services(services), m_showSettingsWindow(std::move(showSettingsWindow)),
      m_appearance(storedAppearance(services)), m_model(std::make_unique<TrayModel>(services)),
      m_updates(std::make_unique<AppUpdates>(services)), m_delegate(std::make_unique<TrayDelegate>(services)),
      m_shortcuts(std::make_unique<TrayShortcuts>(*services.userDefaults, services.globalShortcuts))
{
    // Each action looks up what it drives when the key is pressed: the controller comes later.
    QPointer<TrayApp> self(this);
    TrayShortcuts::Actions actions;
    actions.toggleSection = [self] {
        if (self && self->m_delegate->controller())
            self->m_delegate->controller()->toggle();
    };
    actions.revealAll = [self] {
        if (self && self->m_delegate->controller())
            self->m_delegate->controller()->revealAll(std::nullopt);
    };
    actions.search = [self] {
        if (self)
            self->openSearch();
    };
    actions.organizer = [self] {
        if (self)
            self->openSettings();
    };
    m_shortcuts->setActions(std::move(actions));
}

TrayApp::~TrayApp()
{
    // The controller's closures hold the model weakly; take the delegate (and its controller)
    // down first all the same.
    m_shortcuts.reset();
    m_delegate.reset();
    m_updates.reset();
    m_model.reset();
}

void TrayApp::setSuite(Suite suite)
{
    m_suite = std::move(suite);
}

void TrayApp::didFinishLaunching()
{
    m_delegate->applicationDidFinishLaunching();
    m_shortcuts->start();
}

void TrayApp::settingsWindowAppeared()
{
    if (VelmorSignals* hub = VelmorSignals::shared())
        hub->start();
    // The menu bar organizer never holds an update back.
    m_updates->start([] { return false; });
    QPointer<TrayApp> self(this);
    std::function<void()> openSearch;
    if (m_showSearchWindow) {
        openSearch = [self] {
            if (self)
                self->openSearch();
        };
    }
    m_delegate->configure(
        m_model.get(),
        [self] {
            if (self)
                self->openSettings();
        },
        std::move(openSearch));
}

void TrayApp::openSettings()
{
    // The window comes up with a Dock icon and in front.
    if (DockPresence* dock = DockPresence::shared())
        dock->prepareToShow();
    if (m_showSettingsWindow)
        m_showSettingsWindow();
    if (m_services.applicationShell)
        m_services.applicationShell->activate(true);
}

void TrayApp::openSearch()
{
    if (!m_showSearchWindow)
        return;
    m_showSearchWindow();
    // The search takes the keyboard, in front of the app the person works in.
    if (m_services.applicationShell)
        m_services.applicationShell->activate(true);
}

void TrayApp::willTerminate()
{
    m_shortcuts->stop();
    m_delegate->applicationWillTerminate();
    if (VelmorSignals* hub = VelmorSignals::shared())
        hub->finish();
}

void TrayApp::setAppearance(const QString& appearance)
{
    if (m_services.userDefaults)
        m_services.userDefaults->setValue(QString::fromLatin1(appearanceKey), appearance);
    if (m_appearance == appearance)
        return;
    m_appearance = appearance;
    Q_EMIT appearanceChanged();
}

bool TrayApp::prefersDark(bool systemIsDark) const
{
    const auto scheme = colorScheme();
    return scheme ? *scheme == AppTheme::ColorScheme::dark : systemIsDark;
}

platform::MainMenu TrayApp::mainMenu() const
{
    const auto commands = [](const std::function<platform::Menu()>& group) {
        return group ? group() : platform::Menu{};
    };
    return {
        platform::MenuBarMenu{QString::fromLatin1(applicationMenuTitle), commands(m_suite.updateCommands)},
        platform::MenuBarMenu{QString::fromLatin1(helpMenuTitle), commands(m_suite.feedbackCommands)}};
}

} // namespace velmor
