// The menu bar's exported domain: read its positions, plan an arrangement over them and patch it.
// A patch never adds a key and reads back exactly as planned.

#include "foundation/property_list.h"
#include "foundation/system_error.h"
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "tray_visibility/mac_tray_position_store.h"
#include "tray_visibility/tray_position_error.h"
#include "tray_visibility/tray_position_preferences.h"

#include <cstdlib>

using namespace velmor;

VELMOR_FUZZ_HARNESS(menu_bar_positions)
{
    fuzz::FuzzInput input(data, size);
    TrayPositionPreferences::Request request;
    request.onlyMisplaced = input.flag();
    request.requireAll = input.flag();
    request.chevronKey = input.text();
    request.hiddenBundleIDs = {QStringLiteral("com.example.hidden"), input.text()};
    request.visibleBundleIDs = {QStringLiteral("com.example.shown")};
    request.controlKeys = {input.text()};
    const TrayPositionPreferences::Aliases aliases{
        {QStringLiteral("com.example.hidden"),
         {QStringLiteral("com.example.hidden"), QStringLiteral("Hidden")}},
        {QStringLiteral("com.example.shown"),
         {QStringLiteral("com.example.shown"), QStringLiteral("Hidden")}},
        {QStringLiteral("com.apple.controlcenter"), {QStringLiteral("com.apple.controlcenter")}}};
    try {
        const PropertyList domain = PropertyList::decode(input.rest());
        const TrayPositionStore::Positions current = MacTrayPositionStore::positionsOf(domain);
        const TrayPositionPlan plan = TrayPositionPreferences::plan(current, request, aliases);
        TrayPositionStore::Positions changes;
        for (const TrayPositionChange& change : plan.changes)
            changes.insert(change.key, change.applied);
        const TrayPositionStore::Positions observed =
            MacTrayPositionStore::positionsOf(PropertyList::decode(MacTrayPositionStore::patchedDomain(
                domain, changes, TrayPositionStore::Keys::existingOnly)));
        if (observed.size() != current.size())
            std::abort(); // a patch never adds or drops a key
        for (auto it = current.cbegin(); it != current.cend(); ++it) {
            const double expected = changes.value(it.key(), it.value());
            if (!observed.contains(it.key()) || observed.value(it.key()) != expected)
                std::abort();
        }
    } catch (const TrayPositionError&) {
    } catch (const SystemError&) {
    }
    return 0;
}
