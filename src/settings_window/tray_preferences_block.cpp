#include "settings_window/tray_preferences_block.h"

#include "platform/host.h"
#include "platform/login_items.h"
#include "platform/services.h"
#include "settings_window/tray_layout_settings.h"
#include "suite_ui/launch_at_login_controller.h"
#include "suite_ui/launch_at_login_settings.h"
#include "tray/tray_app.h"
#include "tray/tray_delegate.h"
#include "tray/tray_model.h"

namespace velmor {

TrayPreferencesBlock::TrayPreferencesBlock(TrayApp& app, const platform::Services& services,
                                           const TrayLayoutSettings& layout, QObject* parent)
    : QObject(parent), m_app(app), m_services(services), m_layout(layout), m_model(&app.model())
{
    // The note speaks of the start switch.
    connect(&app.delegate().arrangementPreferences(), &TrayArrangementPreferences::changed, this,
            &TrayPreferencesBlock::launchAtLoginChanged);
    connect(&app, &TrayApp::appearanceChanged, this, &TrayPreferencesBlock::appearanceChanged);
    if (services.host)
        m_launchAtLoginUnavailable = LaunchAtLoginController::unavailableReasonFor(
            services.host->mainBundle(), LaunchAtLoginController::Locations::of(*services.host));
    m_launchAtLogin = loginItemRegistered();
    m_perApp = perApp();
    // Update Settings and System Settings change the same login item.
    if (services.loginItems)
        m_loginItemsObserver = services.loginItems->observe([this] { refreshLaunchAtLogin(); });
}

TrayPreferencesBlock::~TrayPreferencesBlock()
{
    if (m_services.loginItems)
        m_services.loginItems->removeObserver(m_loginItemsObserver);
}

void TrayPreferencesBlock::setShown(bool shown)
{
    if (m_shown == shown)
        return;
    m_shown = shown;
    Q_EMIT shownChanged();
}

bool TrayPreferencesBlock::perApp() const
{
    return m_model && m_model->nativePerApp();
}

QString TrayPreferencesBlock::launchAtLoginNote() const
{
    if (m_launchAtLoginUnavailable)
        return *m_launchAtLoginUnavailable;
    if (m_services.loginItems &&
        m_services.loginItems->status() == platform::LoginItemStatus::RequiresApproval)
        return QString::fromUtf8(LaunchAtLoginSettings::approvalText);
    if (m_launchAtLogin && perApp() && !m_layout.applyAtStart())
        return QString::fromUtf8(startShowsEveryIconText);
    return {};
}

QString TrayPreferencesBlock::appearance() const
{
    return m_app.appearance();
}

void TrayPreferencesBlock::setAppearance(const QString& appearance)
{
    m_app.setAppearance(appearance);
}

bool TrayPreferencesBlock::loginItemRegistered() const
{
    if (!m_services.loginItems)
        return false;
    const platform::LoginItemStatus status = m_services.loginItems->status();
    return status == platform::LoginItemStatus::Enabled ||
           status == platform::LoginItemStatus::RequiresApproval;
}

void TrayPreferencesBlock::refreshLaunchAtLogin()
{
    // The note may change with the status even when the switch does not.
    m_launchAtLogin = loginItemRegistered();
    Q_EMIT launchAtLoginChanged();
}

void TrayPreferencesBlock::update()
{
    if (const bool now = perApp(); now != m_perApp) {
        m_perApp = now;
        Q_EMIT launchAtLoginChanged();
    }
}

void TrayPreferencesBlock::setLaunchAtLogin(bool on)
{
    if (m_launchAtLoginUnavailable)
        return;
    platform::LoginItems* loginItems = m_services.loginItems;
    if (!loginItems) {
        reportLaunchAtLoginFailure();
        return;
    }
    if (m_launchAtLogin != on) {
        m_launchAtLogin = on;
        Q_EMIT launchAtLoginChanged();
    }
    if (on) {
        if (loginItems->registerMainApp())
            reportLaunchAtLoginFailure();
        return;
    }
    std::weak_ptr<char> alive = m_alive;
    loginItems->unregisterMainApp([this, alive](std::optional<QString> error) {
        if (!alive.expired() && error)
            reportLaunchAtLoginFailure();
    });
}

void TrayPreferencesBlock::reportLaunchAtLoginFailure()
{
    if (m_model)
        m_model->setMessage(QString::fromUtf8(launchAtLoginFailure));
    refreshLaunchAtLogin();
}

} // namespace velmor
