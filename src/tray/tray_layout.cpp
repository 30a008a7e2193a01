#include "tray/tray_layout.h"

#include "tray/tray_decode_error.h"
#include "tray/tray_decoding.h"

#include <QSet>

#include <vector>

namespace velmor {

namespace {

constexpr char kLayoutGroupsKey[] = "groups";

} // namespace

void TrayLayout::reconcile(const QStringList& available)
{
    QSet<QString> known;
    for (const auto& [section, ids] : groups) {
        for (const QString& id : ids)
            known.insert(id);
    }
    for (const QString& id : available) {
        if (known.contains(id))
            continue;
        known.insert(id);
        groups[TraySection::alwaysVisible].append(id);
    }

    qsizetype excess = known.size() - maximumStoredIds;
    if (excess <= 0)
        return;
    const QSet<QString> present(available.cbegin(), available.cend());
    // New ids are appended, so within a section the earlier ids are the older ones.
    for (TraySection section : kAllTraySections) {
        const auto found = groups.find(section);
        if (found == groups.end())
            continue;
        QStringList kept;
        for (const QString& id : std::as_const(found->second)) {
            if (excess > 0 && !present.contains(id)) {
                --excess;
                continue;
            }
            kept.append(id);
        }
        found->second = std::move(kept);
    }
}

TrayLayout TrayLayout::fromGroups(const Groups& groups)
{
    TrayLayout layout;
    layout.groups = normalized(groups);
    return layout;
}

TrayLayout::Groups TrayLayout::normalized(const Groups& input)
{
    Groups result;
    QSet<QString> seen;
    for (TraySection section : kAllTraySections) {
        QStringList kept;
        const auto found = input.find(section);
        if (found != input.end()) {
            for (const QString& id : found->second) {
                if (seen.contains(id))
                    continue;
                seen.insert(id);
                kept.append(id);
            }
        }
        result.emplace(section, std::move(kept));
    }
    return result;
}

Json TrayLayout::encode() const
{
    Json sections = Json::object();
    for (TraySection section : kAllTraySections) {
        Json ids = Json::array();
        const auto found = groups.find(section);
        if (found != groups.end()) {
            for (const QString& id : found->second)
                ids.push_back(json::toStd(id));
        }
        sections[json::toStd(rawValue(section))] = std::move(ids);
    }
    Json result = Json::object();
    result[kLayoutGroupsKey] = std::move(sections);
    return result;
}

TrayLayout TrayLayout::decode(const Json& value)
{
    using namespace tray_decoding;
    const QString groupsPath = QString::fromLatin1(kLayoutGroupsKey);
    const Json& stored = requireObject(requireMember(requireObject(value, {}), kLayoutGroupsKey, {}), groupsPath);

    // Every value must be a list of ids before any key is read as a section.
    std::vector<std::pair<QString, QStringList>> lists;
    for (const auto& [key, ids] : stored.items()) {
        const QString name = json::toQString(key);
        lists.emplace_back(name, requireStringArray(ids, childPath(groupsPath, name)));
    }
    Groups decoded;
    for (auto& [name, ids] : lists) {
        const std::optional<TraySection> section = traySectionFromRawValue(name);
        if (!section)
            throw TrayDecodeError::unknownSection(groupsPath, name);
        decoded[*section] = std::move(ids);
    }
    TrayLayout layout;
    layout.groups = normalized(decoded);
    return layout;
}

std::optional<TrayLayout> TrayLayout::tryDecode(const Json& value)
{
    return tray_decoding::optionally([&] { return decode(value); });
}

} // namespace velmor
