#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

namespace velmor {

// A list for the windows whose rows are known by a key (a bundle identifier, a destination, an
// entry's number). The owner hands it the whole list each time something changes; it tells the
// views only what differs from the rows it holds — rows removed, inserted or moved by key, and
// the roles that changed on a kept row — so a view rebuilds the delegates of what changed and
// nothing else, and never sees a reset.
class KeyedListModel final : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    struct Row {
        QString key;
        // One value per role, in the order the roles were given.
        QVariantList values;
    };

    // The roles' names as the views read them; the first is Qt::UserRole + 1.
    explicit KeyedListModel(QList<QByteArray> roles, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return static_cast<int>(m_rows.size()); }
    const QList<Row>& rows() const { return m_rows; }
    // The value of a row's role by the role's name; invalid when either is unknown.
    QVariant value(int row, const QByteArray& role) const;
    int indexOf(const QString& key) const;

    // Makes the rows these, in this order. A key given twice keeps only its first row.
    void setRows(QList<Row> rows);

Q_SIGNALS:
    void countChanged();

private:
    QList<QByteArray> m_roles;
    QList<Row> m_rows;
};

} // namespace velmor
