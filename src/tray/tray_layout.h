#pragma once

#include "foundation/json.h"
#include "tray/tray_section.h"

#include <QStringList>

#include <map>
#include <optional>

namespace velmor {

// The user's arrangement of discovered extras: each section's item ids in the user's order.
struct TrayLayout {
    using Groups = std::map<TraySection, QStringList>;

    // Once normalised: an entry for every section, and each id in at most one place.
    Groups groups;

    // A layout holding `groups` after normalisation.
    static TrayLayout fromGroups(const Groups& groups);

    // Appends ids never seen before to the end of alwaysVisible, in the given order. Ids of
    // extras that have gone away stay where the user put them.
    void reconcile(const QStringList& available);

    // {"groups":{<every section's raw value, in section order>:[ids...]}}
    Json encode() const;
    // Throws TrayDecodeError; the result is normalised, so missing sections and repeated ids
    // load cleanly.
    static TrayLayout decode(const Json& value);
    // Absent when the record is unreadable.
    static std::optional<TrayLayout> tryDecode(const Json& value);

    friend bool operator==(const TrayLayout&, const TrayLayout&) = default;

private:
    // Every section present; an id stored twice survives only at its first place in section order.
    static Groups normalized(const Groups& groups);
};

} // namespace velmor
