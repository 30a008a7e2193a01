#include "settings_window/tray_settings_presenter.h"

#include "foundation/uuid_text.h"
#include "platform/accessibility.h"
#include "platform/application_shell.h"
#include "platform/global_shortcuts.h"
#include "platform/host.h"
#include "platform/login_items.h"
#include "platform/services.h"
#include "settings_window/tray_brand_icon_resource.h"
#include "settings_window/tray_help.h"
#include "suite_ui/launch_at_login_controller.h"
#include "suite_ui/launch_at_login_settings.h"
#include "suite_ui/views/app_icon_provider.h"
#include "tray/tray_app.h"
#include "tray/tray_delegate.h"
#include "tray/tray_model.h"
#include "tray/tray_organizer_drop.h"
#include "tray/tray_section.h"

#include <QSet>

namespace velmor {
namespace {

QString text(const char* value)
{
    return QString::fromUtf8(value);
}

} // namespace

TraySettingsPresenter::TraySettingsPresenter(TrayApp& app, const platform::Services& services,
                                             QObject* parent)
    : QObject(parent), m_app(app), m_services(services), m_model(&app.model()),
      m_brandIconSource(services.host ? TrayBrandIconResource::imageUrl(services.host->mainBundle().url())
                                      : QUrl()),
      m_groupEditor(
          [this](const std::optional<QUuid>& id, const QString& name, const QString& symbol) {
              if (m_model)
                  m_model->saveNamedGroup(id, name, symbol);
          },
          this),
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
      m_layout(app.model(), app.delegate(), this)
{
    // Launch at login's note speaks of the start switch.
    connect(&app.delegate().arrangementPreferences(), &TrayArrangementPreferences::changed, this,
            &TraySettingsPresenter::launchAtLoginChanged);
    if (services.host)
        m_launchAtLoginUnavailable = LaunchAtLoginController::unavailableReasonFor(
            services.host->mainBundle(), LaunchAtLoginController::Locations::of(*services.host));
    m_launchAtLogin = loginItemRegistered();
    // Update Settings and System Settings change the same login item.
    if (services.loginItems)
        m_loginItemsObserver = services.loginItems->observe([this] { refreshLaunchAtLogin(); });
    TrayModel* model = m_model.data();
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
        connect(model, signal, this, follow);
    connect(&app, &TrayApp::appearanceChanged, this, &TraySettingsPresenter::appearanceChanged);
    m_accessGuide.setRequiresFullDiskAccess(perApp());
    m_areas.update(m_model, busy());
    m_published = current();
}

TraySettingsPresenter::~TraySettingsPresenter()
{
    if (m_services.loginItems)
        m_services.loginItems->removeObserver(m_loginItemsObserver);
}

QString TraySettingsPresenter::title() const
{
    return text(TrayApp::settingsWindowTitle);
}

QString TraySettingsPresenter::helpLabel() const
{
    return velmor::helpTitle(TrayHelp::grouping);
}

QVariant TraySettingsPresenter::symbols()
{
    return QVariantMap{{QStringLiteral("help"), text(helpSymbol)},
                       {QStringLiteral("permissions"), text(permissionsSymbol)},
                       {QStringLiteral("setup"), text(setupSymbol)},
                       {QStringLiteral("order"), text(orderSymbol)},
                       {QStringLiteral("warning"), text(warningSymbol)},
                       {QStringLiteral("appsInfo"), text(appsInfoSymbol)},
                       {QStringLiteral("refresh"), text(refreshSymbol)},
                       {QStringLiteral("addGroup"), text(addGroupSymbol)},
                       {QStringLiteral("createFirstGroup"), text(createFirstGroupSymbol)},
                       {QStringLiteral("emptyArea"), text(emptyAreaSymbol)},
                       {QStringLiteral("options"), text(optionsSymbol)},
                       {QStringLiteral("missingIcon"), text(missingIconSymbol)},
                       {QStringLiteral("footer"), text(footerSymbol)},
                       {QStringLiteral("disclosure"), text(disclosureSymbol)}};
}

bool TraySettingsPresenter::showsSetupCard() const
{
    return m_model && !m_model->permission();
}

bool TraySettingsPresenter::groupingActive() const
{
    return m_model && m_model->nativeConfigured();
}

QString TraySettingsPresenter::statusText() const
{
    if (busy())
        return text(applyingStatus);
    return text(groupingActive() ? activeStatus : inactiveStatus);
}

bool TraySettingsPresenter::orderEnabled() const
{
    return m_model && m_model->permission() && !busy();
}

QString TraySettingsPresenter::primaryTitle() const
{
    if (!groupingActive())
        return text(applyText);
    return text(m_model->nativeExpanded() ? collapseExtrasText : expandExtrasText);
}

bool TraySettingsPresenter::primaryEnabled() const
{
    return orderEnabled();
}

QString TraySettingsPresenter::warningText() const
{
    if (!m_model || !m_model->nativeWarning())
        return {};
    const QString& warning = *m_model->nativeWarning();
    if (warning.startsWith(text(reviewWarningPrefix)))
        return {};
    return warning;
}

bool TraySettingsPresenter::showsAccessSetup() const
{
    return !warningText().isEmpty() && perApp();
}

QString TraySettingsPresenter::message() const
{
    return m_model ? m_model->messageText() : QString();
}

QString TraySettingsPresenter::appsHint() const
{
    return text(perApp() ? perAppHint : markerHint);
}

bool TraySettingsPresenter::perApp() const
{
    return m_model && m_model->nativePerApp();
}

bool TraySettingsPresenter::busy() const
{
    return m_model && m_model->nativeBusy();
}

void TraySettingsPresenter::setShowPreferences(bool shown)
{
    if (m_showPreferences == shown)
        return;
    m_showPreferences = shown;
    Q_EMIT showPreferencesChanged();
}

QString TraySettingsPresenter::appearance() const
{
    return m_app.appearance();
}

void TraySettingsPresenter::setAppearance(const QString& appearance)
{
    m_app.setAppearance(appearance);
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

// Following the model.

TraySettingsPresenter::Published TraySettingsPresenter::current() const
{
    Published state;
    state.showsSetupCard = showsSetupCard();
    state.groupingActive = groupingActive();
    state.statusText = statusText();
    state.orderEnabled = orderEnabled();
    state.primaryTitle = primaryTitle();
    state.busy = busy();
    state.warningText = warningText();
    state.message = message();
    state.perApp = perApp();
    state.hasGroups = m_areas.groups()->count() > 0;
    return state;
}

void TraySettingsPresenter::follow()
{
    m_accessGuide.setRequiresFullDiskAccess(perApp());
    m_areas.update(m_model, busy());
    const Published before = m_published;
    m_published = current();
    if (before.showsSetupCard != m_published.showsSetupCard)
        Q_EMIT permissionChanged();
    if (!before.sameController(m_published))
        Q_EMIT controllerChanged();
    if (before.warningText != m_published.warningText || before.perApp != m_published.perApp)
        Q_EMIT warningChanged();
    if (before.message != m_published.message)
        Q_EMIT messageChanged();
    if (before.perApp != m_published.perApp)
        Q_EMIT modeChanged();
    if (before.hasGroups != m_published.hasGroups)
        Q_EMIT hasGroupsChanged();
}

const GroupedApp* TraySettingsPresenter::app(const QString& bundleID) const
{
    if (!m_model)
        return nullptr;
    for (const GroupedApp& row : m_model->groupedApps()) {
        if (row.id == bundleID)
            return &row;
    }
    return nullptr;
}

// Actions.

void TraySettingsPresenter::refresh()
{
    if (m_model)
        m_model->refresh();
}

namespace {

void call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

} // namespace

void TraySettingsPresenter::organizeAutomatically()
{
    if (m_model && orderEnabled())
        call(m_model->hooks().organizeAutomatically);
}

void TraySettingsPresenter::restorePreviousOrder()
{
    if (m_model && orderEnabled())
        call(m_model->hooks().restorePreviousOrder);
}

void TraySettingsPresenter::revealAll()
{
    if (m_model && revealEnabled())
        call(m_model->hooks().revealNative);
}

void TraySettingsPresenter::primaryAction()
{
    if (!m_model || !primaryEnabled())
        return;
    call(m_model->nativeConfigured() ? m_model->hooks().toggleNative : m_model->hooks().arrangeNative);
}

void TraySettingsPresenter::openAccessGuide()
{
    m_accessGuide.setOpen(true);
}

void TraySettingsPresenter::openNewGroup()
{
    m_groupEditor.openNew();
}

void TraySettingsPresenter::editGroup(const QString& groupID)
{
    const auto id = uuid_text::parse(groupID);
    if (!m_model || !id)
        return;
    for (const TrayNamedGroup& group : m_model->namedGrouping().groups) {
        if (group.id == *id) {
            m_groupEditor.openExisting(group.id, group.name, group.symbol);
            return;
        }
    }
}

void TraySettingsPresenter::toggleGroup(const QString& groupID)
{
    const auto id = uuid_text::parse(groupID);
    // The entry exists only while grouping is configured.
    if (!m_model || !id || !m_model->nativeConfigured() || !m_model->hooks().toggleNamedGroup)
        return;
    m_model->hooks().toggleNamedGroup(*id);
}

void TraySettingsPresenter::deleteGroup(const QString& groupID)
{
    if (const auto id = uuid_text::parse(groupID); m_model && id)
        m_model->deleteNamedGroup(*id);
}

void TraySettingsPresenter::move(const QString& bundleID, const QString& destination)
{
    const GroupedApp* row = app(bundleID);
    if (!row || busy() || m_model->destination(*row) == destination)
        return;
    // The model rebuilds its rows as it changes: hand it a copy.
    const GroupedApp copy = *row;
    m_model->setDestination(copy, destination);
}

void TraySettingsPresenter::dragEntered(const QString& destination)
{
    setDropTarget(destination);
}

void TraySettingsPresenter::dragExited(const QString& destination)
{
    if (m_dropTarget == destination)
        setDropTarget({});
}

void TraySettingsPresenter::setDropTarget(const QString& destination)
{
    if (m_dropTarget == destination)
        return;
    m_dropTarget = destination;
    Q_EMIT dropTargetChanged();
}

QStringList TraySettingsPresenter::droppedStrings(const QList<QUrl>& urls, bool hasText, const QString& text)
{
    QStringList strings;
    for (const QUrl& url : urls)
        strings.append(url.toString());
    if (strings.isEmpty() && hasText)
        strings.append(text);
    return strings;
}

bool TraySettingsPresenter::drop(const QString& destination, const QList<QUrl>& urls, bool hasText,
                                 const QString& text)
{
    setDropTarget({});
    const QStringList strings = droppedStrings(urls, hasText, text);
    if (!m_model || busy() || strings.size() != 1)
        return false;
    QSet<QString> known;
    for (const GroupedApp& row : m_model->groupedApps())
        known.insert(row.id);
    const auto bundleID = TrayOrganizerDrop::bundleID(strings.front(), known);
    if (!bundleID)
        return false;
    move(*bundleID, destination);
    return true;
}

QString TraySettingsPresenter::launchAtLoginNote() const
{
    if (m_launchAtLoginUnavailable)
        return *m_launchAtLoginUnavailable;
    if (m_services.loginItems &&
        m_services.loginItems->status() == platform::LoginItemStatus::RequiresApproval)
        return text(LaunchAtLoginSettings::approvalText);
    if (m_launchAtLogin && perApp() && !m_layout.applyAtStart())
        return text(startShowsEveryIconText);
    return {};
}

bool TraySettingsPresenter::loginItemRegistered() const
{
    if (!m_services.loginItems)
        return false;
    const platform::LoginItemStatus status = m_services.loginItems->status();
    return status == platform::LoginItemStatus::Enabled ||
           status == platform::LoginItemStatus::RequiresApproval;
}

void TraySettingsPresenter::refreshLaunchAtLogin()
{
    // The note may change with the status even when the switch does not.
    m_launchAtLogin = loginItemRegistered();
    Q_EMIT launchAtLoginChanged();
}

void TraySettingsPresenter::windowAppeared()
{
    setShowPreferences(false);
    setHelpTopic({});
    setDropTarget({});
    m_groupEditor.cancel();
    m_accessGuide.dismiss();
    m_reveal.windowAppeared();
    refreshLaunchAtLogin();
}

void TraySettingsPresenter::setLaunchAtLogin(bool on)
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

void TraySettingsPresenter::reportLaunchAtLoginFailure()
{
    if (m_model)
        m_model->setMessage(text(launchAtLoginFailure));
    refreshLaunchAtLogin();
}

void TraySettingsPresenter::quit()
{
    if (m_services.applicationShell)
        m_services.applicationShell->terminate();
}

} // namespace velmor
