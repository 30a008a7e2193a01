#pragma once

#include "foundation/json.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace velmor {

// Every non-Apple app the tray has had to show, with the name it last had, so that an app the user
// grouped last week is still listed while it is not running. Names are only ever added.
class TrayAppCatalog final {
public:
    enum class Availability { actionable, nativeMenu, unavailable, notRunning };

    struct Entry {
        QString bundleID;
        QString name;
        Availability availability = Availability::notRunning;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    TrayAppCatalog() = default;

    // Learns the names and returns the entries in display order (localized standard order by
    // name, stable).
    QList<Entry> refresh(const QHash<QString, QString>& runningNames,
                         const QHash<QString, QString>& actionableNames, const QSet<QString>& nativeBundleIDs,
                         const QSet<QString>& assignedBundleIDs, const QString& ownBundleID);

    const QHash<QString, QString>& names() const { return m_names; }

    // {"names": {bundle identifier: name}}; the member is required when decoding.
    Json toJson() const;
    static std::optional<TrayAppCatalog> fromJson(const Json& json);

    friend bool operator==(const TrayAppCatalog&, const TrayAppCatalog&) = default;

private:
    QHash<QString, QString> m_names;
};

} // namespace velmor
