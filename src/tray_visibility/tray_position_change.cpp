#include "tray_visibility/tray_position_change.h"

#include "foundation/system_error.h"

namespace velmor {
namespace {

const char* const kKey = "key";
const char* const kOriginal = "original";
const char* const kApplied = "applied";
const char* const kPendingApplied = "pendingApplied";

[[noreturn]] void invalid(const char* member)
{
    throw SystemError(
        SystemError::Kind::Parse,
        QStringLiteral("The position recovery record has no valid “%1”.").arg(QLatin1String(member)));
}

double number(const Json& json, const char* member)
{
    if (!json.contains(member) || !json.at(member).is_number())
        invalid(member);
    return json.at(member).get<double>();
}

} // namespace

Json TrayPositionChange::toJson() const
{
    Json json = Json::object();
    json[kKey] = json::toStd(key);
    json[kOriginal] = original;
    json[kApplied] = applied;
    if (pendingApplied)
        json[kPendingApplied] = *pendingApplied;
    return json;
}

TrayPositionChange TrayPositionChange::fromJson(const Json& json)
{
    if (!json.is_object())
        invalid(kKey);
    const auto key = json.contains(kKey) ? json::string(json.at(kKey)) : std::nullopt;
    if (!key)
        invalid(kKey);
    TrayPositionChange change{*key, number(json, kOriginal), number(json, kApplied), std::nullopt};
    if (json.contains(kPendingApplied) && !json.at(kPendingApplied).is_null())
        change.pendingApplied = number(json, kPendingApplied);
    return change;
}

} // namespace velmor
