#include "simulated_mac/views/side_panel_presenter.h"

#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/views/simulated_icon_provider.h"

#include <cmath>

namespace velmor::platform {

SidePanelPresenter::SidePanelPresenter(SimulatedDesktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop)
{
    refresh();
}

void SidePanelPresenter::setOwnApp(OwnApp ownApp)
{
    m_ownApp = std::move(ownApp);
    refresh();
}

bool SidePanelPresenter::dark() const
{
    return m_desktop.appearance().isDark();
}

void SidePanelPresenter::refresh()
{
    m_apps.clear();
    const auto add = [this](const QString& owner, const QString& name, bool running, bool own) {
        m_apps.append(QVariantMap{
            {QStringLiteral("owner"), owner},
            {QStringLiteral("name"), name},
            {QStringLiteral("running"), running},
            {QStringLiteral("actionTitle"), QString::fromUtf8(running ? quitTitle : launchTitle)},
            {QStringLiteral("iconSource"), SimulatedIconProvider::source(owner)},
            {QStringLiteral("own"), own},
        });
    };
    for (const SimulatedApplication& application : m_desktop.workspace().applications()) {
        if (application.system)
            continue;
        if (application.own) {
            if (m_ownApp.running)
                add(application.owner(), application.config.name, m_ownApp.running(), true);
            continue;
        }
        add(application.owner(), application.config.name, application.running, false);
    }

    m_desktop.defaultsLog().refresh();
    m_runs.clear();
    const QList<DefaultsRunLog::Run>& runs = m_desktop.defaultsLog().runs();
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        QString status;
        if (it->exitStatus)
            status = QStringLiteral("exit %1").arg(*it->exitStatus);
        else
            status = QString::fromUtf8(it->ended ? killedText : runningText);
        const QString duration = it->durationSeconds
                                     ? QStringLiteral("%1 ms").arg(std::lround(*it->durationSeconds * 1000))
                                     : QString();
        m_runs.append(QVariantMap{{QStringLiteral("command"), it->command},
                                  {QStringLiteral("domain"), it->domain},
                                  {QStringLiteral("status"), status},
                                  {QStringLiteral("failed"), it->ended && it->exitStatus != 0},
                                  {QStringLiteral("duration"), duration}});
    }
    Q_EMIT changed();
}

bool SidePanelPresenter::toggleRunning(const QString& owner)
{
    SimulatedApplication* application = m_desktop.workspace().find(owner);
    if (!application || application->system)
        return false;
    if (application->own) {
        const bool running = m_ownApp.running && m_ownApp.running();
        const auto& action = running ? m_ownApp.quit : m_ownApp.launch;
        if (!action)
            return false;
        action();
        refresh();
        return true;
    }
    return application->running ? m_desktop.quit(owner) : m_desktop.launch(owner);
}

void SidePanelPresenter::setDark(bool dark)
{
    m_desktop.appearance().setDark(dark);
}

} // namespace velmor::platform
