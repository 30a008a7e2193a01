#include "tray/tray_arrangement_preferences.h"

#include "platform/user_defaults.h"

namespace velmor {

TrayArrangementPreferences::TrayArrangementPreferences(platform::UserDefaults& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults)
{}

bool TrayArrangementPreferences::applyAtStart(const platform::UserDefaults& defaults)
{
    return defaults.boolValue(QString::fromLatin1(applyAtStartKey)).value_or(false);
}

bool TrayArrangementPreferences::applyAtStart() const
{
    return applyAtStart(m_defaults);
}

void TrayArrangementPreferences::setApplyAtStart(bool on)
{
    if (on == applyAtStart())
        return;
    m_defaults.setValue(QString::fromLatin1(applyAtStartKey), on);
    Q_EMIT changed();
}

bool TrayArrangementPreferences::offeredForNewApps(TraySection section)
{
    return section != TraySection::trayBelow;
}

TraySection TrayArrangementPreferences::newApps(const platform::UserDefaults& defaults)
{
    const auto stored = defaults.stringValue(QString::fromLatin1(newAppsKey));
    const auto section = stored ? traySectionFromRawValue(*stored) : std::nullopt;
    return section && offeredForNewApps(*section) ? *section : kDefaultTraySection;
}

TraySection TrayArrangementPreferences::newApps() const
{
    return newApps(m_defaults);
}

void TrayArrangementPreferences::setNewApps(TraySection section)
{
    if (!offeredForNewApps(section) || section == newApps())
        return;
    m_defaults.setValue(QString::fromLatin1(newAppsKey), rawValue(section));
    Q_EMIT changed();
}

} // namespace velmor
