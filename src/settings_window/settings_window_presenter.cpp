#include "settings_window/settings_window_presenter.h"

#include "foundation/uuid_text.h"
#include "suite_ui/views/app_icon_provider.h"
#include "tray/tray_app.h"
#include "tray/tray_model.h"
#include "tray/tray_section.h"

namespace velmor {
namespace {

struct SectionTitle {
    TraySection section;
    const char* title;
};

constexpr SectionTitle sectionTitles[] = {
    {TraySection::alwaysVisible, "Always visible"},
    {TraySection::expandable, "Expandable menu"},
    {TraySection::alwaysHidden, "Always hidden"},
    {TraySection::trayBelow, "Below the tray"},
};

} // namespace

SettingsWindowPresenter::SettingsWindowPresenter(TrayModel* model, QObject* parent)
    : QObject(parent), m_model(model)
{
    if (!model)
        return;
    for (auto signal :
         {&TrayModel::itemsChanged, &TrayModel::nativeExpandedChanged, &TrayModel::nativeManagingChanged,
          &TrayModel::nativeConfiguredChanged, &TrayModel::nativeWarningChanged,
          &TrayModel::nativePerAppChanged, &TrayModel::nativeBusyChanged, &TrayModel::appGroupsChanged,
          &TrayModel::groupedAppsChanged, &TrayModel::namedGroupingChanged,
          &TrayModel::expandedNamedGroupsChanged, &TrayModel::permissionChanged})
        connect(model, signal, this, &SettingsWindowPresenter::changed);
}

QString SettingsWindowPresenter::title() const
{
    return QString::fromUtf8(TrayApp::settingsWindowTitle);
}

QString SettingsWindowPresenter::modeText() const
{
    return QString::fromUtf8(m_model && m_model->nativePerApp() ? perAppModeText : markerModeText);
}

bool SettingsWindowPresenter::permission() const
{
    return m_model && m_model->permission();
}

QString SettingsWindowPresenter::permissionText() const
{
    return QString::fromUtf8(permission() ? permissionGranted : permissionMissing);
}

QString SettingsWindowPresenter::stateText() const
{
    if (!m_model)
        return {};
    QStringList parts{QString::fromUtf8(m_model->nativeConfigured() ? configuredText : unconfiguredText),
                      QString::fromUtf8(m_model->nativeExpanded() ? expandedText : collapsedText)};
    if (m_model->nativeBusy())
        parts.append(QString::fromUtf8(busyText));
    if (m_model->nativeManaging())
        parts.append(QString::fromUtf8(managingText));
    return parts.join(QStringLiteral(", "));
}

QString SettingsWindowPresenter::warning() const
{
    return m_model ? m_model->nativeWarningText() : QString();
}

QString SettingsWindowPresenter::itemsText() const
{
    return QString::fromUtf8(itemsFormat).arg(m_model ? m_model->items().size() : 0);
}

QString SettingsWindowPresenter::placeTitle(const TrayModel& model, const QString& destination)
{
    const QString groupPrefix = QString::fromUtf8(TrayModel::groupDestinationPrefix);
    if (destination.startsWith(groupPrefix)) {
        for (const TrayNamedGroup& group : model.namedGrouping().groups) {
            if (groupPrefix + uuid_text::canonical(group.id) == destination)
                return group.name;
        }
    }
    const auto section = traySectionFromRawValue(destination);
    for (const SectionTitle& entry : sectionTitles) {
        if (section == entry.section)
            return QString::fromUtf8(entry.title);
    }
    return destination;
}

QVariantList SettingsWindowPresenter::apps() const
{
    QVariantList result;
    if (!m_model)
        return result;
    for (const GroupedApp& app : m_model->groupedApps()) {
        const bool hasIcon = app.icon && !app.icon->isNull();
        result.append(QVariantMap{
            {QStringLiteral("bundleID"), app.id},
            {QStringLiteral("name"), app.appName},
            {QStringLiteral("status"), app.status.value_or(QString())},
            {QStringLiteral("place"), placeTitle(*m_model, m_model->destination(app))},
            {QStringLiteral("iconSource"),
             hasIcon ? QStringLiteral("image://%1/%2")
                           .arg(QString::fromLatin1(AppIconProvider::providerId), app.id)
                     : QString()},
        });
    }
    return result;
}

QVariantList SettingsWindowPresenter::groups() const
{
    QVariantList result;
    if (!m_model)
        return result;
    for (const TrayNamedGroup& group : m_model->namedGrouping().groups) {
        result.append(
            QVariantMap{{QStringLiteral("name"), group.name},
                        {QStringLiteral("symbol"), group.symbol},
                        {QStringLiteral("shown"), m_model->expandedNamedGroups().contains(group.id)}});
    }
    return result;
}

} // namespace velmor
