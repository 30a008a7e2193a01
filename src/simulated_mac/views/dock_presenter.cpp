#include "simulated_mac/views/dock_presenter.h"

#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/views/simulated_icon_provider.h"

namespace velmor::platform {

DockPresenter::DockPresenter(SimulatedDesktop& desktop, QObject* parent) : QObject(parent), m_desktop(desktop)
{
    refresh();
}

void DockPresenter::refresh()
{
    m_apps.clear();
    const auto add = [this](const QString& owner, const QString& name, bool own, bool frontmost) {
        m_apps.append(QVariantMap{{QStringLiteral("owner"), owner},
                                  {QStringLiteral("name"), name},
                                  {QStringLiteral("iconSource"), SimulatedIconProvider::source(owner)},
                                  {QStringLiteral("own"), own},
                                  {QStringLiteral("frontmost"), frontmost}});
    };
    const qint32 frontmost = m_desktop.frontmostPid();
    for (const SimulatedApplication& application : m_desktop.workspace().applications()) {
        if (!application.running)
            continue;
        const bool finder = application.owner() == QLatin1String("com.apple.finder");
        if (application.system && !finder)
            continue;
        // An accessory app lives in the menu bar only.
        if (application.own && m_desktop.applicationShell().activationPolicy() != ActivationPolicy::Regular)
            continue;
        add(application.owner(), application.config.name, application.own, application.pid == frontmost);
    }
    if (m_desktop.openSettingsPane())
        add(QString::fromLatin1(systemSettingsName), QString::fromLatin1(systemSettingsName), false, false);

    m_minimized.clear();
    for (const WindowInfo& window : m_desktop.applicationShell().windows()) {
        if (window.miniaturized)
            m_minimized.append(
                QVariantMap{{QStringLiteral("id"), window.id}, {QStringLiteral("title"), window.title}});
    }
    Q_EMIT changed();
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

} // namespace velmor::platform
