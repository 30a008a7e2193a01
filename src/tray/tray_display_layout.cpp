#include "tray/tray_display_layout.h"

#include "foundation/uuid_text.h"

#include <QStringList>

#include <algorithm>

namespace velmor {
namespace {

constexpr const char* displaysMember = "displays";
constexpr const char* idMember = "id";
constexpr const char* nameMember = "name";
constexpr const char* builtInMember = "builtIn";
constexpr const char* appGroupsMember = "appGroups";
constexpr const char* namedGroupsMember = "namedGroups";
constexpr const char* openGroupsMember = "openGroups";
constexpr const char* belowBarMember = "belowBar";

const Json* member(const Json& object, const char* name)
{
    const auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

} // namespace

Json TrayDisplayLayout::encode() const
{
    Json displays = Json::array();
    for (const platform::DisplayIdentity& display : setup.displays())
        displays.push_back(Json{{idMember, json::toStd(display.id)},
                                {nameMember, json::toStd(display.name)},
                                {builtInMember, display.builtIn}});
    // Sorted, so the same layout is always written the same way.
    QStringList open;
    for (const QUuid& id : openGroups)
        open.append(uuid_text::canonical(id));
    std::sort(open.begin(), open.end());
    Json openArray = Json::array();
    for (const QString& id : std::as_const(open))
        openArray.push_back(json::toStd(id));
    return Json{{displaysMember, displays},
                {appGroupsMember, tray_section_map::encode(appGroups)},
                {namedGroupsMember, grouping.encode()},
                {openGroupsMember, openArray},
                {belowBarMember, json::toStd(TrayBelowBarPreference::rawValue(belowBar))}};
}

std::optional<TrayDisplayLayout> TrayDisplayLayout::tryDecode(const Json& value)
{
    if (!value.is_object())
        return std::nullopt;
    const Json* displays = member(value, displaysMember);
    const Json* sections = member(value, appGroupsMember);
    const Json* named = member(value, namedGroupsMember);
    const Json* open = member(value, openGroupsMember);
    const Json* belowBar = member(value, belowBarMember);
    if (!displays || !displays->is_array() || displays->empty() || !sections || !named || !open ||
        !open->is_array() || !belowBar)
        return std::nullopt;

    QList<platform::DisplayIdentity> identities;
    for (const Json& display : *displays) {
        if (!display.is_object())
            return std::nullopt;
        const Json* id = member(display, idMember);
        const Json* name = member(display, nameMember);
        const Json* builtIn = member(display, builtInMember);
        if (!id || !id->is_string() || !name || !name->is_string() || !builtIn || !builtIn->is_boolean())
            return std::nullopt;
        identities.append({json::toQString(id->get<std::string>()), json::toQString(name->get<std::string>()),
                           builtIn->get<bool>()});
    }

    TrayDisplayLayout layout;
    layout.setup = TrayDisplaySetup(identities);
    const auto appGroups = tray_section_map::tryDecode(*sections);
    auto grouping = TrayAppGrouping::tryDecode(*named);
    const auto mode = json::string(*belowBar);
    const auto belowBarMode = mode ? TrayBelowBarPreference::fromRawValue(*mode) : std::nullopt;
    if (!appGroups || !grouping || !belowBarMode)
        return std::nullopt;
    grouping->normalize();
    layout.appGroups = *appGroups;
    layout.grouping = *grouping;
    layout.belowBar = *belowBarMode;
    for (const Json& id : *open) {
        const auto text = json::string(id);
        const auto uuid = text ? uuid_text::parse(*text) : std::nullopt;
        if (!uuid)
            return std::nullopt;
        layout.openGroups.insert(*uuid);
    }
    return layout;
}

} // namespace velmor
