#pragma once

#include <QByteArray>
#include <QHash>
#include <QMetaEnum>

namespace velmor {

// A list model's roles are an enum registered with Q_ENUM whose enumerators end in "Role" and
// count on from Qt::UserRole + 1 without a gap. The views read each role by its enumerator's name
// without "Role" and with a lowercase first letter: TitleRole is "title", ItemIDRole "itemID".
// An enum that breaks this is a programming error: it stops the program the first time its names
// are asked for, so a view can never read a role under a name nobody meant.
QHash<int, QByteArray> listRoleNames(const QMetaEnum& roles);

template <typename Role> QHash<int, QByteArray> listRoleNames()
{
    return listRoleNames(QMetaEnum::fromType<Role>());
}

} // namespace velmor
