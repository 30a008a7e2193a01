#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleObject>
#include <QPointer>

namespace velmor {

class TrayCardItem;

// The accessible side of an app card: a list item named after the app, with the card's hint and
// its available moves as actions. It sits in Qt Quick's accessible tree under the nearest
// accessible ancestor (the card's area), as Qt's own items do.
class TrayCardAccessible final : public QAccessibleObject, public QAccessibleActionInterface {
public:
    explicit TrayCardAccessible(TrayCardItem* card);

    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text type) const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QRect rect() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;
    QString localizedActionName(const QString& actionName) const override { return actionName; }
    QString localizedActionDescription(const QString& actionName) const override { return actionName; }

private:
    TrayCardItem* card() const;
};

} // namespace velmor
