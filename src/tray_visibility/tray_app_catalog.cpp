#include "tray_visibility/tray_app_catalog.h"

#include "foundation/text.h"
#include "tray_visibility/apple_bundle_id.h"

#include <QStringList>

#include <algorithm>

namespace velmor {
namespace {

constexpr const char* namesMember = "names";

} // namespace

QList<TrayAppCatalog::Entry> TrayAppCatalog::refresh(const QHash<QString, QString>& runningNames,
                                                     const QHash<QString, QString>& actionableNames,
                                                     const QSet<QString>& nativeBundleIDs,
                                                     const QSet<QString>& assignedBundleIDs,
                                                     const QString& ownBundleID)
{
    QSet<QString> candidates = nativeBundleIDs;
    candidates.unite(assignedBundleIDs);
    for (auto it = actionableNames.cbegin(); it != actionableNames.cend(); ++it)
        candidates.insert(it.key());
    for (auto it = m_names.cbegin(); it != m_names.cend(); ++it)
        candidates.insert(it.key());

    // Sorting the identifiers first makes the stable name sort independent of hash order.
    QStringList identifiers(candidates.cbegin(), candidates.cend());
    std::sort(identifiers.begin(), identifiers.end());

    QList<Entry> entries;
    for (const QString& bundleID : identifiers) {
        if (bundleID.isEmpty() || isAppleBundleID(bundleID) || bundleID == ownBundleID)
            continue;
        QString name = bundleID;
        if (const auto actionable = actionableNames.constFind(bundleID); actionable != actionableNames.cend())
            name = *actionable;
        else if (const auto running = runningNames.constFind(bundleID); running != runningNames.cend())
            name = *running;
        else if (const auto stored = m_names.constFind(bundleID); stored != m_names.cend())
            name = *stored;
        m_names.insert(bundleID, name);

        Availability availability = Availability::notRunning;
        if (actionableNames.contains(bundleID))
            availability = Availability::actionable;
        else if (runningNames.contains(bundleID))
            availability =
                nativeBundleIDs.contains(bundleID) ? Availability::nativeMenu : Availability::unavailable;
        entries.append(Entry{bundleID, name, availability});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return text::localizedStandardCompare(a.name, b.name) < 0;
    });
    return entries;
}

Json TrayAppCatalog::toJson() const
{
    QStringList keys = m_names.keys();
    std::sort(keys.begin(), keys.end());
    Json names = Json::object();
    for (const QString& key : keys)
        names[json::toStd(key)] = json::toStd(m_names.value(key));
    return Json{{namesMember, names}};
}

std::optional<TrayAppCatalog> TrayAppCatalog::fromJson(const Json& json)
{
    if (!json.is_object() || !json.contains(namesMember) || !json.at(namesMember).is_object())
        return std::nullopt;
    TrayAppCatalog catalog;
    for (const auto& [key, value] : json.at(namesMember).items()) {
        if (!value.is_string())
            return std::nullopt;
        catalog.m_names.insert(json::toQString(key), json::toQString(value.get<std::string>()));
    }
    return catalog;
}

} // namespace velmor
