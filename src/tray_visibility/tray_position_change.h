#pragma once

#include "foundation/json.h"

#include <QString>

#include <optional>

namespace velmor {

// One menu bar position the app rewrote; also the entry of the position recovery journal.
struct TrayPositionChange {
    QString key;
    // The position before the app's first change of this key.
    double original = 0;
    // The position the app wrote (or found already in place).
    double applied = 0;
    // A position about to be written: between the two journal saves of an arrange.
    std::optional<double> pendingApplied;

    friend bool operator==(const TrayPositionChange&, const TrayPositionChange&) = default;

    Json toJson() const;
    // Throws SystemError (Parse) when a member is missing or has another type.
    static TrayPositionChange fromJson(const Json& json);
};

} // namespace velmor
