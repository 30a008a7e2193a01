#pragma once

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCoreApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSet>
#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <vector>

namespace velmor::test {

// What a screen reader does to a control: its "Press" action through Qt's accessibility interface.
// False when the control offers no such action.
inline bool pressAccessibly(QQuickItem* item)
{
    QAccessibleInterface* accessible = item ? QAccessible::queryAccessibleInterface(item) : nullptr;
    QAccessibleActionInterface* actions = accessible ? accessible->actionInterface() : nullptr;
    if (!actions || !actions->actionNames().contains(QAccessibleActionInterface::pressAction()))
        return false;
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    return true;
}

// The controls a person can press in the window right now: every visible, enabled button, switch,
// checkbox and menu entry, by object name (an unnamed one as "?" and its class).
inline QSet<QString> pressableControls(QQuickWindow* window)
{
    QSet<QString> names;
    if (!window)
        return names;
    QQuickItem* root = window->contentItem();
    while (root->parentItem())
        root = root->parentItem();
    QList<QQuickItem*> pending{root};
    while (!pending.isEmpty()) {
        QQuickItem* item = pending.takeFirst();
        if (!item->isVisible())
            continue;
        if (item->inherits("QQuickAbstractButton") && item->isEnabled())
            names.insert(item->objectName().isEmpty()
                             ? QStringLiteral("?") + QString::fromLatin1(item->metaObject()->className())
                             : item->objectName());
        pending.append(item->childItems());
    }
    return names;
}

// One row of a press table: the control, an effect only its press can cause (checked once the
// events the press posted are handled; it may let time pass itself), what puts the window back
// for the next row, and what `before` the press notes to measure the effect against.
struct PressCase {
    QString control;
    std::function<bool()> happened;
    std::function<void()> undo = {};
    std::function<void()> before = {};
};

// Presses each control of the table through assistive technology, in order, and checks its effect.
// `find` looks the control up when its turn comes; `handled` lets the app act on a press or an undo.
inline void pressEach(const std::vector<PressCase>& table,
                      const std::function<QQuickItem*(const QString&)>& find,
                      const std::function<void()>& handled)
{
    for (const PressCase& row : table) {
        QQuickItem* control = find(row.control);
        ASSERT_NE(control, nullptr) << row.control.toStdString();
        ASSERT_TRUE(control->isVisible() && control->isEnabled()) << row.control.toStdString();
        if (row.before)
            row.before();
        EXPECT_TRUE(pressAccessibly(control)) << row.control.toStdString() << " offers no press action";
        handled();
        EXPECT_TRUE(row.happened()) << "pressing " << row.control.toStdString() << " did nothing";
        if (row.undo) {
            row.undo();
            handled();
        }
    }
}

// Every control the window offers is in one of the tables (so a new button cannot go untested).
inline void expectCovered(QQuickWindow* window, std::initializer_list<std::vector<PressCase>> tables)
{
    QSet<QString> listed;
    for (const std::vector<PressCase>& table : tables) {
        for (const PressCase& row : table)
            listed.insert(row.control);
    }
    for (const QString& control : pressableControls(window))
        EXPECT_TRUE(listed.contains(control)) << control.toStdString() << " is not pressed by the test";
}

} // namespace velmor::test
