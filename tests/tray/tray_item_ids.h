#pragma once

#include "tray/tray_item.h"

#include <QList>
#include <QStringList>

// The items' ids, in order.
inline QStringList trayItemIDs(const QList<velmor::TrayItem>& items)
{
    QStringList result;
    for (const velmor::TrayItem& item : items)
        result.append(item.id);
    return result;
}
