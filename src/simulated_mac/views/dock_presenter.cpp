#include "simulated_mac/views/dock_presenter.h"

#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/views/simulated_icon_provider.h"

namespace velmor::simulated_mac {

QVariant DockAppRow::data(Role role) const
{
    switch (role) {
    case OwnerRole:
        return key;
    case NameRole:
        return name;
    case IconSourceRole:
        return iconSource;
    case FrontmostRole:
        return frontmost;
    }
    return {};
}

QVariant MinimizedWindowRow::data(Role role) const
{
    switch (role) {
    case WindowIdRole:
        return windowId;
    case TitleRole:
        return title;
    }
    return {};
}

DockPresenter::DockPresenter(SimulatedDesktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop), m_apps(this), m_minimized(this)
{
    refresh();
}

void DockPresenter::refresh()
{
    QList<DockAppRow> apps;
    const auto add = [&apps](const QString& owner, const QString& name, bool frontmost) {
        apps.append({.key = owner,
                     .name = name,
                     .iconSource = SimulatedIconProvider::source(owner),
                     .frontmost = frontmost});
    };
    const qint32 frontmost = m_desktop.frontmostPid();
    for (const SimulatedApplication& application : m_desktop.workspace().applications()) {
        if (!application.running)
            continue;
        const bool finder = application.owner() == QLatin1String("com.apple.finder");
        if (application.system && !finder)
            continue;
        // An accessory app lives in the menu bar only.
        if (application.own && m_desktop.applicationShell().activationPolicy() != platform::ActivationPolicy::Regular)
            continue;
        add(application.owner(), application.config.name, application.pid == frontmost);
    }
    if (m_desktop.openSettingsPane())
        add(QString::fromLatin1(systemSettingsName), QString::fromLatin1(systemSettingsName), false);
    m_apps.setRows(apps);

    QList<MinimizedWindowRow> minimized;
    for (const platform::WindowInfo& window : m_desktop.applicationShell().windows()) {
        if (window.miniaturized)
            minimized.append(
                {.key = QString::number(window.id), .windowId = window.id, .title = window.title});
    }
    m_minimized.setRows(minimized);
}

bool DockPresenter::activate(const QString& owner)
{
    if (owner == QLatin1String(systemSettingsName))
        return true;
    return m_desktop.activate(owner);
}

void DockPresenter::restore(qulonglong windowId)
{
    m_desktop.applicationShell().deminiaturize(windowId);
}

} // namespace velmor::simulated_mac
