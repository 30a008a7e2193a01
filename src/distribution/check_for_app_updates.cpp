#include "distribution/check_for_app_updates.h"

#include "distribution/app_updates.h"

#include <QVariantMap>

namespace velmor {

CheckForAppUpdates::CheckForAppUpdates(AppUpdates& updates, QObject* parent)
    : QObject(parent), m_updates(&updates)
{
    connect(&updates, &AppUpdates::stateChanged, this, &CheckForAppUpdates::changed);
}

bool CheckForAppUpdates::checkEnabled() const
{
    return m_updates && m_updates->available() && m_updates->canCheck();
}

bool CheckForAppUpdates::closeSessionsShown() const
{
    return m_updates && m_updates->canCloseSessionsForUpdate();
}

bool CheckForAppUpdates::pendingWorkShown() const
{
    return m_updates && m_updates->pendingWorkActionTitle().has_value();
}

QString CheckForAppUpdates::pendingWorkTitle() const
{
    return m_updates ? m_updates->pendingWorkActionTitle().value_or(QString()) : QString();
}

QVariantList CheckForAppUpdates::commands() const
{
    const auto entry = [](const QString& title, bool enabled, Command command) {
        return QVariantMap{{QStringLiteral("title"), title},
                           {QStringLiteral("enabled"), enabled},
                           {QStringLiteral("command"), QVariant::fromValue(command)}};
    };
    QVariantList result{
        entry(QString::fromUtf8(AppUpdates::checkTitle), checkEnabled(), Command::Check),
        entry(QString::fromUtf8(AppUpdates::preferencesTitle), true, Command::Settings),
    };
    if (closeSessionsShown())
        result.append(entry(QString::fromUtf8(AppUpdates::closeSessionsTitle), true, Command::CloseSessions));
    if (pendingWorkShown())
        result.append(entry(pendingWorkTitle(), true, Command::PendingWork));
    return result;
}

void CheckForAppUpdates::trigger(Command command)
{
    if (!m_updates)
        return;
    switch (command) {
    case Command::Check:
        if (checkEnabled())
            m_updates->check();
        return;
    case Command::Settings:
        m_updates->showPreferences();
        return;
    case Command::CloseSessions:
        if (closeSessionsShown())
            m_updates->closeSessionsAndInstallUpdate();
        return;
    case Command::PendingWork:
        if (pendingWorkShown())
            m_updates->resolvePendingWork();
        return;
    }
}

} // namespace velmor
