// The tray's stored records as the user defaults hold them (JSON data): layout, named groups,
// section maps and the app catalog. A record that decodes is stored again in a form that decodes
// to the same value.

#include "foundation/json.h"
#include "fuzz_target.h"
#include "tray/tray_app_grouping.h"
#include "tray/tray_decode_error.h"
#include "tray/tray_layout.h"
#include "tray/tray_model.h"
#include "tray/tray_named_group.h"
#include "tray/tray_section_map.h"
#include "tray_visibility/tray_app_catalog.h"

#include <cstdlib>

using namespace velmor;

VELMOR_FUZZ_HARNESS(tray_records)
{
    if (size == 0)
        return 0;
    const std::optional<Json> value =
        json::tryParse(QByteArray(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1)));
    if (!value)
        return 0;
    switch (data[0] % 5) {
    case 0:
        if (const auto layout = TrayLayout::tryDecode(*value)) {
            if (TrayLayout::tryDecode(layout->encode()) != layout)
                std::abort();
        }
        break;
    case 1:
        if (auto grouping = TrayAppGrouping::tryDecode(*value)) {
            grouping->normalize();
            const auto again = TrayAppGrouping::tryDecode(grouping->encode());
            if (!again)
                std::abort();
            TrayAppGrouping normalized = *again;
            normalized.normalize();
            if (normalized != *grouping)
                std::abort(); // normalising twice changes nothing
        }
        break;
    case 2:
        if (const auto map = tray_section_map::tryDecode(*value)) {
            if (tray_section_map::tryDecode(tray_section_map::encode(*map)) != map)
                std::abort();
            (void)TrayModel::migrateAppGroups(*map, QStringLiteral("local.velmor.tray"));
        }
        break;
    case 3: {
        std::optional<TrayNamedGroup> group;
        try {
            group = TrayNamedGroup::decode(*value);
        } catch (const TrayDecodeError&) {
        }
        if (!group)
            break;
        group->normalize();
        try {
            (void)TrayNamedGroup::decode(group->encode());
        } catch (const TrayDecodeError&) {
            std::abort(); // a normalised group is always readable
        }
        break;
    }
    case 4:
        if (const auto catalog = TrayAppCatalog::fromJson(*value)) {
            if (TrayAppCatalog::fromJson(catalog->toJson()) != catalog)
                std::abort();
        }
        break;
    }
    return 0;
}
