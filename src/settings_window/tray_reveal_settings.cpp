#include "settings_window/tray_reveal_settings.h"

#include "tray/tray_reveal_preferences.h"
#include "tray/tray_shortcuts.h"

#include <algorithm>

namespace velmor {

TrayRevealSettings::TrayRevealSettings(TrayShortcuts& shortcuts, TrayRevealPreferences& preferences,
                                       platform::KeyCombination::QtModifierNames names, QObject* parent)
    : QObject(parent), m_shortcuts(&shortcuts), m_preferences(&preferences)
{
    for (const TrayShortcuts::Command command : TrayShortcuts::commands)
        m_recorders.push_back(std::make_unique<TrayShortcutRecorder>(
            shortcuts, command, names, [this, command] { recordingStarted(command); }));
    connect(&shortcuts, &TrayShortcuts::changed, this, &TrayRevealSettings::changed);
    connect(&preferences, &TrayRevealPreferences::changed, this, &TrayRevealSettings::changed);
}

TrayRevealSettings::~TrayRevealSettings() = default;

QVariantList TrayRevealSettings::recorders() const
{
    QVariantList result;
    for (const auto& recorder : m_recorders)
        result.append(QVariant::fromValue(recorder.get()));
    return result;
}

TrayShortcutRecorder* TrayRevealSettings::recorder(TrayShortcuts::Command command) const
{
    for (const auto& recorder : m_recorders) {
        if (recorder->command() == command)
            return recorder.get();
    }
    return nullptr;
}

void TrayRevealSettings::recordingStarted(TrayShortcuts::Command command)
{
    for (const auto& recorder : m_recorders) {
        if (recorder->command() != command)
            recorder->cancel();
    }
}

void TrayRevealSettings::windowAppeared()
{
    for (const auto& recorder : m_recorders)
        recorder->cancel();
}

QString TrayRevealSettings::storedProblem() const
{
    return m_shortcuts ? m_shortcuts->storedProblem() : QString();
}

QStringList TrayRevealSettings::rehideTitles() const
{
    QStringList titles;
    for (const int seconds : TrayRevealPreferences::rehideDelays) {
        if (seconds == 0)
            titles.append(QString::fromUtf8(offText));
        else if (seconds == 60)
            titles.append(QString::fromUtf8(minuteText));
        else
            titles.append(QString::fromUtf8(secondsFormat).arg(seconds));
    }
    return titles;
}

int TrayRevealSettings::rehideIndex() const
{
    const auto& delays = TrayRevealPreferences::rehideDelays;
    const int delay =
        m_preferences ? m_preferences->rehideDelay() : TrayRevealPreferences::defaultRehideDelay;
    return int(std::find(delays.cbegin(), delays.cend(), delay) - delays.cbegin());
}

void TrayRevealSettings::setRehideIndex(int index)
{
    const auto& delays = TrayRevealPreferences::rehideDelays;
    if (m_preferences && index >= 0 && index < int(delays.size()))
        m_preferences->setRehideDelay(delays[std::size_t(index)]);
}

bool TrayRevealSettings::revealOnHover() const
{
    return m_preferences && m_preferences->revealOnHover();
}

void TrayRevealSettings::setRevealOnHover(bool on)
{
    if (m_preferences)
        m_preferences->setRevealOnHover(on);
}

bool TrayRevealSettings::revealOnClick() const
{
    return m_preferences && m_preferences->revealOnClick();
}

void TrayRevealSettings::setRevealOnClick(bool on)
{
    if (m_preferences)
        m_preferences->setRevealOnClick(on);
}

} // namespace velmor
