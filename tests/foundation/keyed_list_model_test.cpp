#include "foundation/keyed_list_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace velmor;

// Three roles, so a change to one of them can be told from a change to the row.
struct KeyedTestRow {
    Q_GADGET

public:
    enum Role : int { ValueRole = Qt::UserRole + 1, ItemIDRole, IsNewRole };
    Q_ENUM(Role)

    QString key;
    QString value;
    QString itemID;
    bool isNew = false;

    QVariant data(Role role) const
    {
        switch (role) {
        case ValueRole:
            return value;
        case ItemIDRole:
            return itemID;
        case IsNewRole:
            return isNew;
        }
        return {};
    }
};

namespace {

QList<KeyedTestRow> rows(const QString& spec)
{
    // "a1 b2": key a with value 1, key b with value 2.
    QList<KeyedTestRow> result;
    for (const QString& word : spec.split(u' ', Qt::SkipEmptyParts))
        result.append({word.left(1), word.mid(1), QStringLiteral("id"), false});
    return result;
}

QString shown(const KeyedListModelOf<KeyedTestRow>& model)
{
    QStringList words;
    for (int i = 0; i < model.rowCount(); ++i)
        words.append(model.keys()[i] + model.value(i, KeyedTestRow::ValueRole).toString());
    return words.join(u' ');
}

} // namespace

// Whatever the change, the model ends as asked, tells views by rows (Qt's own model checker
// follows every signal), and names exactly the rows and roles that differ.
TEST(KeyedListModel, ReachesAnyListByRowsAndNamesOnlyWhatChanged)
{
    struct Case {
        const char* before;
        const char* after;
        int removed;
        int inserted;
        int moved;
        int changed;
    };
    const Case cases[] = {
        {"", "a1 b1 c1", 0, 1, 0, 0},
        {"a1 b1 c1", "a1 c1", 1, 0, 0, 0},
        {"a1 b1 c1", "c1 a1 b1", 0, 0, 1, 0},
        {"a1 b1 c1", "a1 b2 c1", 0, 0, 0, 1},
        {"a1 b1 c1 d1", "d1 c1 b1 a1", 0, 0, 3, 0},
        {"a1 b1", "c1 b2 x1", 1, 2, 0, 1},
        {"b1", "a1 c1 b1 d1 e1", 0, 2, 0, 0},
        {"a1 b1 c1", "", 1, 0, 0, 0},
        {"a1 a2 b1", "b1 a2", 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " -> " + c.after);
        KeyedListModelOf<KeyedTestRow> model;
        model.setRows(rows(QString::fromLatin1(c.before)));
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        model.setRows(rows(QString::fromLatin1(c.after)));

        const QStringList wanted = QString::fromLatin1(c.after).split(u' ', Qt::SkipEmptyParts);
        QStringList unique;
        for (const QString& word : wanted) {
            if (std::none_of(unique.begin(), unique.end(),
                             [&](const QString& kept) { return kept[0] == word[0]; }))
                unique.append(word);
        }
        EXPECT_EQ(shown(model), unique.join(u' '));
        EXPECT_EQ(reset.count(), 0);
        EXPECT_EQ(removed.count(), c.removed);
        EXPECT_EQ(inserted.count(), c.inserted);
        EXPECT_EQ(moved.count(), c.moved);
        EXPECT_EQ(changed.count(), c.changed);
        for (const QList<QVariant>& signal : changed)
            EXPECT_EQ(signal.at(2).value<QList<int>>(), QList<int>{KeyedTestRow::ValueRole});
    }
}

// The views read a role by its enumerator's name, and each member's value under its own role
// whether read as a list's row or as one row's map; any other row or role reads as nothing.
TEST(KeyedListModel, NamesRolesAfterTheEnumAndGivesEachMemberToItsRole)
{
    KeyedListModelOf<KeyedTestRow> model;
    EXPECT_EQ(model.roleNames(), (QHash<int, QByteArray>{{KeyedTestRow::ValueRole, "value"},
                                                         {KeyedTestRow::ItemIDRole, "itemID"},
                                                         {KeyedTestRow::IsNewRole, "isNew"}}));
    const KeyedTestRow row{QStringLiteral("k"), QStringLiteral("v"), QStringLiteral("i"), true};
    model.setRows({row});
    const QModelIndex first = model.index(0);
    EXPECT_EQ(model.data(first, KeyedTestRow::ValueRole), QVariant(QStringLiteral("v")));
    EXPECT_EQ(model.data(first, KeyedTestRow::ItemIDRole), QVariant(QStringLiteral("i")));
    EXPECT_EQ(model.data(first, KeyedTestRow::IsNewRole), QVariant(true));
    EXPECT_EQ(KeyedListModelOf<KeyedTestRow>::namedValues(row),
              (QVariantMap{{QStringLiteral("value"), QStringLiteral("v")},
                           {QStringLiteral("itemID"), QStringLiteral("i")},
                           {QStringLiteral("isNew"), true}}));

    EXPECT_FALSE(model.data(first, KeyedTestRow::IsNewRole + 1).isValid());
    EXPECT_FALSE(model.data(first, Qt::DisplayRole).isValid());
    EXPECT_FALSE(model.value(1, KeyedTestRow::ValueRole).isValid());
    EXPECT_FALSE(model.value(-1, KeyedTestRow::ValueRole).isValid());
}

#include "keyed_list_model_test.moc"
