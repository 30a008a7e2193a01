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

    // Ids of extras that are gone are kept only while the layout holds no more ids than this. A
    // scan finds at most 96 extras, so the arrangement of a full bar fits more than twice over,
    // with room for apps that are not running; an extra whose id changes with its title (a clock,
    // a meter) can no longer make the record, which is written after every refresh, grow forever.
    static constexpr qsizetype maximumStoredIds = 256;

    // Appends ids never seen before to the end of alwaysVisible, in the given order. Ids of
    // extras that have gone away stay where the user put them until the layout holds more than
    // maximumStoredIds; then the oldest of them make room, those alwaysVisible only received by
    // default before any the user placed elsewhere. Available ids always stay, in the user's order.
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
