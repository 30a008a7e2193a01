#include "tray/tray_app_grouping.h"

#include "foundation/uuid_text.h"
#include "tray/tray_bundle_rules.h"
#include "tray/tray_decoding.h"

namespace velmor {

namespace {

constexpr char kGroupingGroupsKey[] = "groups";
constexpr char kMembershipsKey[] = "memberships";

} // namespace

void TrayAppGrouping::normalize()
{
    QSet<QUuid> kept;
    QList<TrayNamedGroup> unique;
    for (TrayNamedGroup group : std::as_const(groups)) {
        if (kept.contains(group.id))
            continue;
        kept.insert(group.id);
        group.normalize();
        unique.append(std::move(group));
    }
    groups = std::move(unique);

    memberships.removeIf([&](const QMap<QString, QUuid>::iterator& entry) {
        return !kept.contains(entry.value()) || entry.key().isEmpty() ||
               tray_bundle_rules::isAppleBundleID(entry.key());
    });
}

QStringList TrayAppGrouping::remove(const QUuid& groupID)
{
    groups.removeIf([&](const TrayNamedGroup& group) { return group.id == groupID; });
    QStringList members;
    for (auto entry = memberships.begin(); entry != memberships.end();) {
        if (entry.value() != groupID) {
            ++entry;
            continue;
        }
        members.append(entry.key());
        entry = memberships.erase(entry);
    }
    return members;
}

QSet<QString> TrayAppGrouping::hiddenBundles(const TraySectionMap& sections, bool extrasExpanded,
                                             const QSet<QUuid>& expandedGroups) const
{
    QSet<QUuid> existing;
    for (const TrayNamedGroup& group : groups)
        existing.insert(group.id);

    QSet<QString> hidden;
    for (auto entry = sections.cbegin(); entry != sections.cend(); ++entry) {
        if (memberships.contains(entry.key()))
            continue;
        const bool hides = entry.value() == TraySection::alwaysHidden ||
                           (entry.value() == TraySection::expandable && !extrasExpanded);
        if (hides)
            hidden.insert(entry.key());
    }
    for (auto entry = memberships.cbegin(); entry != memberships.cend(); ++entry) {
        if (existing.contains(entry.value()) && !expandedGroups.contains(entry.value()))
            hidden.insert(entry.key());
    }
    hidden.removeIf([](const QString& bundleID) { return tray_bundle_rules::isAppleBundleID(bundleID); });
    return hidden;
}

Json TrayAppGrouping::encode() const
{
    Json list = Json::array();
    for (const TrayNamedGroup& group : groups)
        list.push_back(group.encode());
    Json members = Json::object();
    for (auto entry = memberships.cbegin(); entry != memberships.cend(); ++entry)
        members[json::toStd(entry.key())] = json::toStd(uuid_text::canonical(entry.value()));

    Json result = Json::object();
    result[kGroupingGroupsKey] = std::move(list);
    result[kMembershipsKey] = std::move(members);
    return result;
}

TrayAppGrouping TrayAppGrouping::decode(const Json& value)
{
    using namespace tray_decoding;
    const Json& object = requireObject(value, {});
    const QString groupsPath = QString::fromLatin1(kGroupingGroupsKey);
    const QString membershipsPath = QString::fromLatin1(kMembershipsKey);

    const Json& list = requireArray(requireMember(object, kGroupingGroupsKey, {}), groupsPath);
    const Json& members = requireObject(requireMember(object, kMembershipsKey, {}), membershipsPath);

    TrayAppGrouping grouping;
    for (std::size_t i = 0; i < list.size(); ++i)
        grouping.groups.append(TrayNamedGroup::decode(list[i], childPath(groupsPath, QString::number(i))));
    for (const auto& [key, id] : members.items()) {
        const QString bundleID = json::toQString(key);
        grouping.memberships.insert(bundleID, requireUuid(id, childPath(membershipsPath, bundleID)));
    }
    return grouping;
}

std::optional<TrayAppGrouping> TrayAppGrouping::tryDecode(const Json& value)
{
    return tray_decoding::optionally([&] { return decode(value); });
}

} // namespace velmor
