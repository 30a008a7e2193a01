#include "suite_ui/launch_at_login_settings.h"

namespace velmor {

LaunchAtLoginSettings::LaunchAtLoginSettings(platform::LoginItems& loginItems,
                                             const platform::MainBundle& bundle,
                                             const LaunchAtLoginController::Locations& locations,
                                             platform::Scheduler& scheduler, const QString& detail,
                                             QObject* parent)
    : QObject(parent), m_controller(loginItems, bundle, locations, scheduler), m_detail(detail)
{
    connect(&m_controller, &LaunchAtLoginController::statusChanged, this, &LaunchAtLoginSettings::changed);
    connect(&m_controller, &LaunchAtLoginController::updatingChanged, this, &LaunchAtLoginSettings::changed);
    connect(&m_controller, &LaunchAtLoginController::errorMessageChanged, this,
            &LaunchAtLoginSettings::changed);
}

bool LaunchAtLoginSettings::toggleEnabled() const
{
    return !m_controller.unavailableReason() && !m_controller.isUpdating();
}

QString LaunchAtLoginSettings::explanation() const
{
    if (const auto& reason = m_controller.unavailableReason())
        return *reason;
    if (m_controller.requiresApproval())
        return QString::fromUtf8(approvalText);
    return m_detail;
}

bool LaunchAtLoginSettings::showsApprovalButton() const
{
    return !m_controller.unavailableReason() && m_controller.requiresApproval();
}

void LaunchAtLoginSettings::setSceneActive(bool active)
{
    if (active == m_sceneActive)
        return;
    m_sceneActive = active;
    Q_EMIT sceneActiveChanged();
    if (active)
        m_controller.refreshStatus();
}

void LaunchAtLoginSettings::toggle(bool on)
{
    m_controller.setEnabled(on);
    // A refused toggle changes no state; the switch, already flipped by the click, reads it again.
    Q_EMIT changed();
}

void LaunchAtLoginSettings::openLoginItemsSettings()
{
    m_controller.openSystemSettings();
}

} // namespace velmor
