#include "foundation/keyed_list_model.h"

#include <QSet>

namespace velmor {

KeyedListModel::KeyedListModel(const QMetaEnum& roles, QObject* parent)
    : QAbstractListModel(parent), m_roleNames(listRoleNames(roles))
{}

int KeyedListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant KeyedListModel::data(const QModelIndex& index, int role) const
{
    return index.isValid() ? valueAt(index.row(), role) : QVariant();
}

QHash<int, QByteArray> KeyedListModel::roleNames() const
{
    return m_roleNames;
}

QVariant KeyedListModel::valueAt(int row, int role) const
{
    // The roles count on from Qt::UserRole + 1 (listRoleNames makes sure): a role's value is
    // stored at its place in the enum.
    const int column = role - (Qt::UserRole + 1);
    if (row < 0 || row >= count() || column < 0 || column >= m_roleNames.size())
        return {};
    return m_rows[row].values.value(column);
}

QStringList KeyedListModel::keys() const
{
    QStringList result;
    result.reserve(m_rows.size());
    for (const StoredRow& row : m_rows)
        result.append(row.key);
    return result;
}

int KeyedListModel::indexOf(const QString& key) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_rows[i].key == key)
            return i;
    }
    return -1;
}

void KeyedListModel::replaceRows(QList<StoredRow> rows)
{
    QSet<QString> wanted;
    QList<StoredRow> unique;
    unique.reserve(rows.size());
    for (StoredRow& row : rows) {
        if (!wanted.contains(row.key)) {
            wanted.insert(row.key);
            unique.append(std::move(row));
        }
    }
    const int countBefore = count();

    // Rows whose key is gone leave first, the last first so earlier indexes stay valid.
    for (int i = count() - 1; i >= 0; --i) {
        if (wanted.contains(m_rows[i].key))
            continue;
        int first = i;
        while (first > 0 && !wanted.contains(m_rows[first - 1].key))
            --first;
        beginRemoveRows(QModelIndex(), first, i);
        m_rows.remove(first, i - first + 1);
        endRemoveRows();
        i = first;
    }

    QSet<QString> held;
    for (const StoredRow& row : m_rows)
        held.insert(row.key);
    // Then row by row: kept where it is, moved up from further down, or inserted (new rows that
    // follow each other in one go, so a view fills a whole list in one step).
    for (int i = 0; i < unique.size(); ++i) {
        StoredRow& next = unique[i];
        if (!held.contains(next.key)) {
            int last = i;
            while (last + 1 < unique.size() && !held.contains(unique[last + 1].key))
                ++last;
            beginInsertRows(QModelIndex(), i, last);
            for (int j = i; j <= last; ++j)
                m_rows.insert(j, std::move(unique[j]));
            endInsertRows();
            i = last;
            continue;
        }
        if (m_rows[i].key != next.key) {
            int from = -1;
            for (int j = i + 1; j < count(); ++j) {
                if (m_rows[j].key == next.key) {
                    from = j;
                    break;
                }
            }
            beginMoveRows(QModelIndex(), from, from, QModelIndex(), i);
            m_rows.move(from, i);
            endMoveRows();
        }
        QList<int> changed;
        for (int column = 0; column < m_roleNames.size(); ++column) {
            if (m_rows[i].values.value(column) != next.values.value(column))
                changed.append(Qt::UserRole + 1 + column);
        }
        if (!changed.isEmpty()) {
            m_rows[i].values = std::move(next.values);
            const QModelIndex at = index(i);
            Q_EMIT dataChanged(at, at, changed);
        }
    }
    if (count() != countBefore)
        Q_EMIT countChanged();
}

} // namespace velmor
