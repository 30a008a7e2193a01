#pragma once

#include <QString>

#include <optional>

namespace velmor {
namespace platform {
class UserDefaults;
}

// When the bar below the menu bar opens with a reveal: automatically when revealed icons land out
// of sight, with every reveal, or never (the reveal happens in the menu bar alone, as it always
// did). Stored in the app's user defaults as its raw value.
class TrayBelowBarPreference final {
public:
    enum class Mode { Automatic, Always, Never };

    static constexpr const char* key = "tray.belowBar.v1";
    static constexpr const char* automaticValue = "automatic";
    static constexpr const char* alwaysValue = "always";
    static constexpr const char* neverValue = "never";

    // Automatic when nothing is stored, or what is stored is not one of the raw values.
    static Mode load(const platform::UserDefaults& defaults);
    static void save(platform::UserDefaults& defaults, Mode mode);
    static std::optional<Mode> fromRawValue(const QString& value);
    static QString rawValue(Mode mode);

    TrayBelowBarPreference() = delete;
};

} // namespace velmor
