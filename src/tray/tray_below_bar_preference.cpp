#include "tray/tray_below_bar_preference.h"

#include "platform/user_defaults.h"

namespace velmor {

TrayBelowBarPreference::Mode TrayBelowBarPreference::load(const platform::UserDefaults& defaults)
{
    const auto stored = defaults.stringValue(QString::fromLatin1(key));
    return stored ? fromRawValue(*stored).value_or(Mode::Automatic) : Mode::Automatic;
}

void TrayBelowBarPreference::save(platform::UserDefaults& defaults, Mode mode)
{
    defaults.setValue(QString::fromLatin1(key), rawValue(mode));
}

std::optional<TrayBelowBarPreference::Mode> TrayBelowBarPreference::fromRawValue(const QString& value)
{
    for (const Mode mode : {Mode::Automatic, Mode::Always, Mode::Never}) {
        if (value == rawValue(mode))
            return mode;
    }
    return std::nullopt;
}

QString TrayBelowBarPreference::rawValue(Mode mode)
{
    switch (mode) {
    case Mode::Automatic:
        return QString::fromLatin1(automaticValue);
    case Mode::Always:
        return QString::fromLatin1(alwaysValue);
    case Mode::Never:
        return QString::fromLatin1(neverValue);
    }
    return QString::fromLatin1(automaticValue);
}

} // namespace velmor
