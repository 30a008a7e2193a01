#include "telemetry/telemetry_preferences.h"

#include "platform/user_defaults.h"

namespace velmor {
namespace {

std::optional<bool> storedChoice(const platform::UserDefaults& defaults, const char* key)
{
    const QVariant value = defaults.value(QString::fromLatin1(key));
    if (!value.isValid())
        return std::nullopt;
    return value.typeId() == QMetaType::Bool && value.toBool();
}

} // namespace

TelemetryPreferences TelemetryPreferences::load(const platform::UserDefaults& defaults)
{
    return TelemetryPreferences(storedChoice(defaults, usageKey), storedChoice(defaults, cityKey));
}

} // namespace velmor
