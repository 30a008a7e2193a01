#include "tray/tray_item.h"

namespace velmor {

QString TrayItem::bundleID() const
{
    return bundleIDOf(id).value_or(id);
}

std::optional<QString> TrayItem::bundleIDOf(QStringView itemID)
{
    const qsizetype separator = itemID.indexOf(kIDSeparator);
    if (separator < 0)
        return std::nullopt;
    return itemID.left(separator).toString();
}

} // namespace velmor
