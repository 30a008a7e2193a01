#include "settings_window/tray_settings_presenter.h"

#include "platform/accessibility.h"
#include "platform/global_shortcuts.h"
#include "platform/host.h"
#include "platform/services.h"
#include "settings_window/tray_help.h"
#include "tray/tray_app.h"
#include "tray/tray_delegate.h"
#include "tray/tray_model.h"

namespace velmor {
namespace {

QString symbol(const char* value)
{
    return QString::fromUtf8(value);
}

} // namespace

TraySettingsPresenter::TraySettingsPresenter(TrayApp& app, const platform::Services& services,
                                             QObject* parent)
    : QObject(parent), m_services(services), m_model(&app.model()),
      m_accessGuide(services.workspace, services.host ? services.host->mainBundle().url() : QString(),
                    {[this] {
                         // The system's prompt first: it puts the app in the list the pane shows.
                         if (m_services.accessibility)
                             m_services.accessibility->requestTrust();
                         if (m_model)
                             m_model->openPrivacySettings();
                     },
                     [this] {
                         if (m_model)
                             m_model->refresh();
                     }},
                    this),
      m_belowBar(app.model(), *services.userDefaults, this),
      m_reveal(app.shortcuts(), app.delegate().revealPreferences(),
               services.globalShortcuts ? services.globalShortcuts->qtModifierNames()
                                        : platform::KeyCombination::QtModifierNames::PcKeyboard,
               this),
      m_layout(app.model(), app.delegate(), this), m_status(app.model(), services, this),
      m_notices(app.model(), this), m_areas(app.model(), this),
      m_groups(app.model(), m_areas.organizerAreas(), this), m_preferences(app, services, m_layout, this)
{
    // One model operation publishes several properties in a row: the window follows once, after
    // the last of them.
    const auto follow = [this] {
        if (m_followPending)
            return;
        m_followPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_followPending = false;
                this->follow();
            },
            Qt::QueuedConnection);
    };
    for (auto signal :
         {&TrayModel::itemsChanged, &TrayModel::nativeExpandedChanged, &TrayModel::nativeConfiguredChanged,
          &TrayModel::nativeWarningChanged, &TrayModel::nativeGroupsChanged, &TrayModel::nativePerAppChanged,
          &TrayModel::nativeBusyChanged, &TrayModel::appGroupsChanged, &TrayModel::groupedAppsChanged,
          &TrayModel::namedGroupingChanged, &TrayModel::expandedNamedGroupsChanged,
          &TrayModel::permissionChanged, &TrayModel::messageChanged, &TrayModel::outOfSightChanged})
        connect(m_model, signal, this, follow);
    m_accessGuide.setRequiresFullDiskAccess(m_areas.perApp());
}

QString TraySettingsPresenter::title() const
{
    return QString::fromUtf8(TrayApp::settingsWindowTitle);
}

QVariant TraySettingsPresenter::symbols()
{
    return QVariantMap{{QStringLiteral("help"), symbol(helpSymbol)},
                       {QStringLiteral("permissions"), symbol(permissionsSymbol)},
                       {QStringLiteral("setup"), symbol(setupSymbol)},
                       {QStringLiteral("order"), symbol(orderSymbol)},
                       {QStringLiteral("warning"), symbol(warningSymbol)},
                       {QStringLiteral("appsInfo"), symbol(appsInfoSymbol)},
                       {QStringLiteral("refresh"), symbol(refreshSymbol)},
                       {QStringLiteral("addGroup"), symbol(addGroupSymbol)},
                       {QStringLiteral("createFirstGroup"), symbol(createFirstGroupSymbol)},
                       {QStringLiteral("emptyArea"), symbol(emptyAreaSymbol)},
                       {QStringLiteral("options"), symbol(optionsSymbol)},
                       {QStringLiteral("missingIcon"), symbol(missingIconSymbol)},
                       {QStringLiteral("footer"), symbol(footerSymbol)},
                       {QStringLiteral("disclosure"), symbol(disclosureSymbol)}};
}

void TraySettingsPresenter::setHelpTopic(const QString& topic)
{
    const QString shown = trayHelpFromRawValue(topic) ? topic : QString();
    if (m_helpTopic == shown)
        return;
    m_helpTopic = shown;
    Q_EMIT helpChanged();
}

QString TraySettingsPresenter::helpTitle() const
{
    const auto topic = trayHelpFromRawValue(m_helpTopic);
    return topic ? velmor::helpTitle(*topic) : QString();
}

QString TraySettingsPresenter::helpText() const
{
    const auto topic = trayHelpFromRawValue(m_helpTopic);
    return topic ? velmor::helpText(*topic) : QString();
}

void TraySettingsPresenter::follow()
{
    // The areas first: the groups block counts the group areas.
    m_areas.update();
    m_accessGuide.setRequiresFullDiskAccess(m_areas.perApp());
    m_status.update();
    m_notices.update();
    m_groups.update();
    m_preferences.update();
}

void TraySettingsPresenter::openAccessGuide()
{
    m_accessGuide.setOpen(true);
}

void TraySettingsPresenter::windowAppeared()
{
    m_preferences.setShown(false);
    setHelpTopic({});
    m_areas.clearDropTarget();
    m_groups.editor()->cancel();
    m_accessGuide.dismiss();
    m_reveal.windowAppeared();
    m_preferences.refreshLaunchAtLogin();
}

} // namespace velmor
