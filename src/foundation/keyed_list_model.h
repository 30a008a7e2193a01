#pragma once

#include "foundation/list_roles.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMetaEnum>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <utility>

namespace velmor {

// A list for the windows whose rows are known by a key (a bundle identifier, a destination, an
// entry's number). The owner hands it the whole list each time something changes; it tells the
// views only what differs from the rows it holds — rows removed, inserted or moved by key, and
// the roles that changed on a kept row — so a view rebuilds the delegates of what changed and
// nothing else, and never sees a reset.
//
// This is what the views and the presenters' properties see; the rows come through
// KeyedListModelOf, so no one outside hands it values by their place.
class KeyedListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return static_cast<int>(m_rows.size()); }
    // The rows' keys, in the rows' order.
    QStringList keys() const;
    int indexOf(const QString& key) const;

Q_SIGNALS:
    void countChanged();

protected:
    // The roles as their Q_ENUM, named as listRoleNames names them.
    KeyedListModel(const QMetaEnum& roles, QObject* parent);

    struct StoredRow {
        QString key;
        // One value per role, in the enum's order.
        QVariantList values;
    };

    // Makes the rows these, in this order. A key given twice keeps only its first row.
    void replaceRows(QList<StoredRow> rows);
    // Invalid when the row or the role is unknown.
    QVariant valueAt(int row, int role) const;

private:
    QHash<int, QByteArray> m_roleNames;
    QList<StoredRow> m_rows;
};

// The list of one row type: a Q_GADGET struct holding its roles as `enum Role : int` with
// Q_ENUM, a `QString key` (the row's identity from one update to the next), named members for
// the values, and `QVariant data(Role) const` as a switch over every role without a default. A
// value so reaches only the role its member is named for, and a role left without one is a
// compiler warning rather than a blank in a window.
template <typename Row> class KeyedListModelOf final : public KeyedListModel {
public:
    using Role = typename Row::Role;

    explicit KeyedListModelOf(QObject* parent = nullptr) : KeyedListModel(QMetaEnum::fromType<Role>(), parent)
    {}

    void setRows(const QList<Row>& rows)
    {
        QList<StoredRow> stored;
        stored.reserve(rows.size());
        for (const Row& row : rows)
            stored.append({row.key, valuesOf(row)});
        replaceRows(std::move(stored));
    }

    QVariant value(int row, Role role) const { return valueAt(row, role); }

    // A row's values under the names the views read, for a view that draws a row outside a list.
    static QVariantMap namedValues(const Row& row)
    {
        const QHash<int, QByteArray> names = listRoleNames(QMetaEnum::fromType<Role>());
        QVariantMap values;
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            values.insert(QString::fromLatin1(it.value()), row.data(static_cast<Role>(it.key())));
        return values;
    }

private:
    static QVariantList valuesOf(const Row& row)
    {
        const QMetaEnum roles = QMetaEnum::fromType<Role>();
        QVariantList values;
        values.reserve(roles.keyCount());
        for (int i = 0; i < roles.keyCount(); ++i)
            values.append(row.data(static_cast<Role>(roles.value(i))));
        return values;
    }
};

} // namespace velmor
