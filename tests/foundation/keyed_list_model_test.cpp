#include "foundation/keyed_list_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace velmor;

namespace {

QList<KeyedListModel::Row> rows(const QString& spec)
{
    // "a1 b2": key a with value 1, key b with value 2.
    QList<KeyedListModel::Row> result;
    for (const QString& word : spec.split(u' ', Qt::SkipEmptyParts))
        result.append({word.left(1), {word.mid(1)}});
    return result;
}

QString shown(const KeyedListModel& model)
{
    QStringList words;
    for (int i = 0; i < model.rowCount(); ++i)
        words.append(model.rows()[i].key + model.value(i, "value").toString());
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
        KeyedListModel model({"value"});
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
            EXPECT_EQ(signal.at(2).value<QList<int>>(), QList<int>{Qt::UserRole + 1});
    }
}
