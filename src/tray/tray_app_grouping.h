#pragma once

#include "foundation/json.h"
#include "tray/tray_named_group.h"
#include "tray/tray_section_map.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <QUuid>

#include <optional>

namespace velmor {

// The user's named groups and which app belongs to which. An app with a membership is governed
// by its group, not by its section.
struct TrayAppGrouping {
    // In creation order: the order of the group buttons and of the organizer's group areas.
    QList<TrayNamedGroup> groups;
    // Bundle identifier → group id; an app belongs to at most one group.
    QMap<QString, QUuid> memberships;

    // Drops repeated groups (the first keeps its place), repairs names and symbols, and drops
    // memberships of Apple apps, of empty identifiers and of groups that do not exist.
    void normalize();

    // Removes the group and its memberships; returns the former members, in no promised order.
    QStringList remove(const QUuid& groupID);

    // The apps to hide while the chevron tray is open or not and the given groups are open.
    // Apple apps are never hidden.
    QSet<QString> hiddenBundles(const TraySectionMap& sections, bool extrasExpanded,
                                const QSet<QUuid>& expandedGroups) const;

    // {"groups":[...],"memberships":{"<bundle>":"<UUID>",...}}, memberships sorted by bundle.
    Json encode() const;
    // Throws TrayDecodeError; both members are required. Does not normalise: the caller does.
    static TrayAppGrouping decode(const Json& value);
    static std::optional<TrayAppGrouping> tryDecode(const Json& value);

    friend bool operator==(const TrayAppGrouping&, const TrayAppGrouping&) = default;
};

} // namespace velmor
