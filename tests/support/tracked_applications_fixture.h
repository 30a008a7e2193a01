#pragma once

#include "foundation/property_list.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace velmor::test {

inline PropertyList bundleLocation(const QString& bundleID)
{
    PropertyList inner = PropertyList::dictionary();
    inner.root().setEntry(QStringLiteral("_0"), PropertyList::string(bundleID));
    PropertyList location = PropertyList::dictionary();
    location.root().setEntry(QStringLiteral("bundle"), inner);
    return location;
}

inline PropertyList adhocLocation(const QString& relative, bool withBase = false)
{
    PropertyList binary = PropertyList::dictionary();
    binary.root().setEntry(QStringLiteral("relative"), PropertyList::string(relative));
    if (withBase)
        binary.root().setEntry(QStringLiteral("base"), PropertyList::string(QStringLiteral("file:///")));
    PropertyList inner = PropertyList::dictionary();
    inner.root().setEntry(QStringLiteral("_0"), binary);
    PropertyList location = PropertyList::dictionary();
    location.root().setEntry(QStringLiteral("adhocBinary"), inner);
    return location;
}

// A tracked-applications list built row by row, in the shape the control center stores.
class TrackedList final {
public:
    struct Row {
        PropertyList key;
        bool allowed = true;
        std::optional<PropertyList> location;
        QList<PropertyList> menuItems;
    };

    TrackedList& add(Row row)
    {
        PropertyList value = PropertyList::dictionary();
        value.root().setBool(QStringLiteral("isAllowed"), row.allowed);
        if (row.location)
            value.root().setEntry(QStringLiteral("location"), *row.location);
        if (!row.menuItems.isEmpty()) {
            PropertyList items = PropertyList::array();
            for (const PropertyList& item : row.menuItems)
                items.root().append(item);
            value.root().setEntry(QStringLiteral("menuItemLocations"), items);
        }
        // Entries the app does not interpret, which must survive every edit.
        value.root().setEntry(QStringLiteral("lastSeen"), PropertyList::integer(-5));
        m_rows.root().append(row.key);
        m_rows.root().append(value);
        return *this;
    }
    TrackedList& addBundle(const QString& bundleID, bool allowed = true)
    {
        return add({bundleLocation(bundleID), allowed, std::nullopt, {}});
    }

    PropertyList document() const { return m_rows; }
    QByteArray toBinary() const { return m_rows.toBinary(); }

private:
    PropertyList m_rows = PropertyList::array();
};

// "isAllowed" of the first row whose key names `bundleID`; absent when there is none.
inline std::optional<bool> allowedOf(const QByteArray& list, const QString& bundleID)
{
    const PropertyList document = PropertyList::decode(list);
    const PlistNode root = document.root();
    for (int i = 0; i + 1 < root.count(); i += 2) {
        const auto bundle = root.at(i).value(QStringLiteral("bundle")).value(QStringLiteral("_0")).toString();
        if (bundle == bundleID)
            return root.at(i + 1).value(QStringLiteral("isAllowed")).toBool();
    }
    return std::nullopt;
}

} // namespace velmor::test
