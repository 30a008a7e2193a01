#include "distribution/app_distribution_settings.h"

#include "distribution/app_updates.h"

namespace velmor {

AppDistributionSettings::AppDistributionSettings(AppUpdates& updates, QObject* parent)
    : QObject(parent), m_updates(&updates)
{
    connect(&updates, &AppUpdates::stateChanged, this, &AppDistributionSettings::changed);
}

void AppDistributionSettings::setStartupSection(QObject* section)
{
    if (m_startupSection == section)
        return;
    m_startupSection = section;
    Q_EMIT sectionsChanged();
}

void AppDistributionSettings::setFooter(QObject* footer)
{
    if (m_footer == footer)
        return;
    m_footer = footer;
    Q_EMIT sectionsChanged();
}

bool AppDistributionSettings::automaticChecks() const
{
    return m_updates && m_updates->automaticChecks();
}

bool AppDistributionSettings::automaticChecksEnabled() const
{
    return m_updates && m_updates->available();
}

bool AppDistributionSettings::automaticDownloads() const
{
    return m_updates && m_updates->automaticDownloads();
}

bool AppDistributionSettings::automaticDownloadsEnabled() const
{
    return automaticChecksEnabled() && automaticChecks();
}

QString AppDistributionSettings::checkTitle() const
{
    return QString::fromUtf8(AppUpdates::checkTitle);
}

bool AppDistributionSettings::checkEnabled() const
{
    return m_updates && m_updates->available() && m_updates->canCheck();
}

QString AppDistributionSettings::message() const
{
    return m_updates ? m_updates->message() : QString();
}

QString AppDistributionSettings::closeSessionsTitle() const
{
    return QString::fromUtf8(AppUpdates::closeSessionsTitle);
}

bool AppDistributionSettings::closeSessionsShown() const
{
    return m_updates && m_updates->canCloseSessionsForUpdate();
}

QString AppDistributionSettings::pendingWorkTitle() const
{
    return m_updates ? m_updates->pendingWorkActionTitle().value_or(QString()) : QString();
}

bool AppDistributionSettings::pendingWorkShown() const
{
    return m_updates && m_updates->pendingWorkActionTitle().has_value();
}

void AppDistributionSettings::setAutomaticChecks(bool checks)
{
    if (automaticChecksEnabled())
        m_updates->setAutomaticChecks(checks);
}

void AppDistributionSettings::setAutomaticDownloads(bool downloads)
{
    if (automaticDownloadsEnabled())
        m_updates->setAutomaticDownloads(downloads);
}

void AppDistributionSettings::check()
{
    if (checkEnabled())
        m_updates->check();
}

void AppDistributionSettings::closeSessionsAndUpdate()
{
    if (closeSessionsShown())
        m_updates->closeSessionsAndInstallUpdate();
}

void AppDistributionSettings::resolvePendingWork()
{
    if (pendingWorkShown())
        m_updates->resolvePendingWork();
}

} // namespace velmor
