#include "simulated_mac/views/side_panel_presenter.h"

#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/views/simulated_icon_provider.h"

#include <QHash>

#include <cmath>
#include <utility>

namespace velmor::simulated_mac {

QVariant SidePanelAppRow::data(Role role) const
{
    switch (role) {
    case OwnerRole:
        return key;
    case NameRole:
        return name;
    case RunningRole:
        return running;
    case ActionTitleRole:
        return actionTitle;
    case IconSourceRole:
        return iconSource;
    }
    return {};
}

QVariant DefaultsRunRow::data(Role role) const
{
    switch (role) {
    case CommandRole:
        return command;
    case DomainRole:
        return domain;
    case StatusRole:
        return status;
    case FailedRole:
        return failed;
    case DurationRole:
        return duration;
    }
    return {};
}

SidePanelPresenter::SidePanelPresenter(SimulatedDesktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop), m_apps(this), m_runs(this)
{
    refresh();
}

void SidePanelPresenter::setOwnApp(OwnApp ownApp)
{
    m_ownApp = std::move(ownApp);
    refresh();
}

void SidePanelPresenter::refresh()
{
    const bool dark = m_desktop.appearance().isDark();
    if (std::exchange(m_dark, dark) != dark)
        Q_EMIT darkChanged();

    QList<SidePanelAppRow> apps;
    const auto add = [&apps](const QString& owner, const QString& name, bool running) {
        apps.append({.key = owner,
                     .name = name,
                     .running = running,
                     .actionTitle = QString::fromUtf8(running ? quitTitle : launchTitle),
                     .iconSource = SimulatedIconProvider::source(owner)});
    };
    for (const SimulatedApplication& application : m_desktop.workspace().applications()) {
        if (application.system)
            continue;
        if (application.own) {
            if (m_ownApp.running)
                add(application.owner(), application.config.name, m_ownApp.running());
            continue;
        }
        add(application.owner(), application.config.name, application.running);
    }
    m_apps.setRows(apps);

    m_desktop.defaultsLog().refresh();
    const QList<DefaultsRunLog::Run>& runs = m_desktop.defaultsLog().runs();
    // The log numbers no runs: a run is known by its process and, as process identifiers come
    // back, by how many runs of that process came before it.
    QHash<qint64, int> earlier;
    QStringList keys;
    keys.reserve(runs.size());
    for (const DefaultsRunLog::Run& run : runs)
        keys.append(QStringLiteral("%1.%2").arg(run.pid).arg(earlier[run.pid]++));
    QList<DefaultsRunRow> rows;
    rows.reserve(runs.size());
    for (qsizetype i = runs.size() - 1; i >= 0; --i) {
        const DefaultsRunLog::Run& run = runs[i];
        QString status;
        if (run.exitStatus)
            status = QStringLiteral("exit %1").arg(*run.exitStatus);
        else
            status = QString::fromUtf8(run.ended ? killedText : runningText);
        const QString duration = run.durationSeconds
                                     ? QStringLiteral("%1 ms").arg(std::lround(*run.durationSeconds * 1000))
                                     : QString();
        rows.append({.key = keys[i],
                     .command = run.command,
                     .domain = run.domain,
                     .status = status,
                     .failed = run.ended && run.exitStatus != 0,
                     .duration = duration});
    }
    m_runs.setRows(rows);
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

} // namespace velmor::simulated_mac
