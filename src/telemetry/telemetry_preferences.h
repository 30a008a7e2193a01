#pragma once

#include <optional>

namespace velmor::platform {
class UserDefaults;
}

namespace velmor {

// The user's two consent choices. Both are on until the user turns them off; a stored value that
// is not a Boolean is taken as off, so a damaged record never shares more than was chosen.
struct TelemetryPreferences {
    static constexpr auto usageKey = "velmor.usageConsent.v1";
    static constexpr auto cityKey = "velmor.cityConsent.v1";

    bool usage = true;
    bool city = true;

    TelemetryPreferences() = default;
    TelemetryPreferences(std::optional<bool> usageChoice, std::optional<bool> cityChoice)
        : usage(usageChoice.value_or(true)), city(cityChoice.value_or(true))
    {}

    static TelemetryPreferences load(const platform::UserDefaults& defaults);

    // The city travels only with usage statistics.
    bool effectiveCity() const { return usage && city; }

    friend bool operator==(const TelemetryPreferences&, const TelemetryPreferences&) = default;
};

} // namespace velmor
