#include "foundation/list_roles.h"

#include <QtGlobal>

namespace velmor {

QHash<int, QByteArray> listRoleNames(const QMetaEnum& roles)
{
    static constexpr QByteArrayView suffix = "Role";
    QHash<int, QByteArray> names;
    for (int i = 0; i < roles.keyCount(); ++i) {
        const QByteArray key = roles.key(i);
        if (roles.value(i) != Qt::UserRole + 1 + i || !key.endsWith(suffix) || key.size() == suffix.size())
            qFatal("%s::%s: list roles are named ...Role and count on from Qt::UserRole + 1", roles.scope(),
                   key.constData());
        const QByteArray name = key.first(key.size() - suffix.size());
        names.insert(roles.value(i), name.first(1).toLower() + name.mid(1));
    }
    return names;
}

} // namespace velmor
