#pragma once

#include "foundation/json.h"
#include "tray/tray_section.h"

#include <QMap>
#include <QString>

#include <optional>

namespace velmor {

// A section per key: bundle identifiers in the per-app map, item ids in the per-item map. A key
// without an entry counts as kDefaultTraySection. Sorted, so stored records come out the same
// every time.
using TraySectionMap = QMap<QString, TraySection>;

namespace tray_section_map {

// {"<key>":"<section raw value>",...}, members sorted by key.
Json encode(const TraySectionMap& map);
// Throws TrayDecodeError; one value that is not a raw value fails the whole map.
TraySectionMap decode(const Json& value);
std::optional<TraySectionMap> tryDecode(const Json& value);

} // namespace tray_section_map
} // namespace velmor
