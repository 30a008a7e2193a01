#include "tray/tray_reveal_preferences.h"

#include "platform/user_defaults.h"

#include <algorithm>

namespace velmor {
TrayRevealPreferences::TrayRevealPreferences(platform::UserDefaults& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults)
{}

int TrayRevealPreferences::rehideDelay() const
{
    const QVariant stored = m_defaults.value(key(rehideDelayKey));
    if (stored.typeId() != QMetaType::LongLong && stored.typeId() != QMetaType::Int)
        return defaultRehideDelay;
    const qlonglong seconds = stored.toLongLong();
    const bool offered =
        std::find(rehideDelays.cbegin(), rehideDelays.cend(), seconds) != rehideDelays.cend();
    return offered ? int(seconds) : defaultRehideDelay;
}

void TrayRevealPreferences::setRehideDelay(int seconds)
{
    if (std::find(rehideDelays.cbegin(), rehideDelays.cend(), seconds) == rehideDelays.cend() ||
        seconds == rehideDelay())
        return;
    m_defaults.setValue(key(rehideDelayKey), qlonglong(seconds));
    Q_EMIT changed();
}

bool TrayRevealPreferences::revealOnHover() const
{
    return m_defaults.boolValue(key(revealOnHoverKey)).value_or(false);
}

void TrayRevealPreferences::setRevealOnHover(bool on)
{
    if (on == revealOnHover())
        return;
    m_defaults.setValue(key(revealOnHoverKey), on);
    Q_EMIT changed();
}

bool TrayRevealPreferences::revealOnClick() const
{
    return m_defaults.boolValue(key(revealOnClickKey)).value_or(false);
}

void TrayRevealPreferences::setRevealOnClick(bool on)
{
    if (on == revealOnClick())
        return;
    m_defaults.setValue(key(revealOnClickKey), on);
    Q_EMIT changed();
}

} // namespace velmor
