#include "simulated_mac/views/dock_presenter.h"

#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/views/simulated_icon_provider.h"

namespace velmor::simulated_mac {

DockPresenter::DockPresenter(SimulatedDesktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop), m_apps({"owner", "name", "iconSource", "frontmost"}, this),
      m_minimized({"windowId", "title"}, this)
{
    refresh();
}

void DockPresenter::refresh()
{
    QList<KeyedListModel::Row> apps;
    const auto add = [&apps](const QString& owner, const QString& name, bool frontmost) {
        apps.append({owner, {owner, name, SimulatedIconProvider::source(owner), frontmost}});
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
    m_apps.setRows(std::move(apps));

    QList<KeyedListModel::Row> minimized;
    for (const platform::WindowInfo& window : m_desktop.applicationShell().windows()) {
        if (window.miniaturized)
            minimized.append({QString::number(window.id), {window.id, window.title}});
    }
    m_minimized.setRows(std::move(minimized));
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
