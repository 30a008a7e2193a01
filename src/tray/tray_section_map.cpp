#include "tray/tray_section_map.h"

#include "tray/tray_decoding.h"

namespace velmor::tray_section_map {

Json encode(const TraySectionMap& map)
{
    Json result = Json::object();
    for (auto entry = map.cbegin(); entry != map.cend(); ++entry)
        result[json::toStd(entry.key())] = toJson(entry.value());
    return result;
}

TraySectionMap decode(const Json& value)
{
    const Json& object = tray_decoding::requireObject(value, {});
    TraySectionMap result;
    for (const auto& [key, stored] : object.items()) {
        const QString name = json::toQString(key);
        result.insert(name, traySectionFromJson(stored, name));
    }
    return result;
}

std::optional<TraySectionMap> tryDecode(const Json& value)
{
    return tray_decoding::optionally([&] { return decode(value); });
}

} // namespace velmor::tray_section_map
