#include "settings_window/tray_card_accessible.h"

#include "settings_window/tray_card_item.h"

#include <QQuickWindow>

namespace velmor {

TrayCardAccessible::TrayCardAccessible(TrayCardItem* card) : QAccessibleObject(card) {}

TrayCardItem* TrayCardAccessible::card() const
{
    return static_cast<TrayCardItem*>(object());
}

QWindow* TrayCardAccessible::window() const
{
    return card() ? card()->window() : nullptr;
}

QAccessibleInterface* TrayCardAccessible::parent() const
{
    const TrayCardItem* item = card();
    if (!item)
        return nullptr;
    QQuickWindow* window = item->window();
    const QQuickItem* content = window ? window->contentItem() : nullptr;
    // Qt Quick answers only for items that take part in accessibility: the first such ancestor
    // is the parent, and the window once the content item is reached.
    for (QQuickItem* ancestor = item->parentItem(); ancestor; ancestor = ancestor->parentItem()) {
        if (ancestor == content || !ancestor->parentItem())
            return window ? QAccessible::queryAccessibleInterface(window) : nullptr;
        if (QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(ancestor))
            return accessible;
    }
    return window ? QAccessible::queryAccessibleInterface(window) : nullptr;
}

// What the card draws inside (icon, name, status) is read through its label: no children.
QAccessibleInterface* TrayCardAccessible::child(int) const
{
    return nullptr;
}

int TrayCardAccessible::childCount() const
{
    return 0;
}

int TrayCardAccessible::indexOfChild(const QAccessibleInterface*) const
{
    return -1;
}

QAccessibleInterface* TrayCardAccessible::childAt(int, int) const
{
    return nullptr;
}

QString TrayCardAccessible::text(QAccessible::Text type) const
{
    const TrayCardItem* item = card();
    if (!item)
        return {};
    switch (type) {
    case QAccessible::Name:
        return item->accessibleName();
    case QAccessible::Description:
    case QAccessible::Help:
        return item->accessibleHint();
    default:
        return {};
    }
}

QAccessible::Role TrayCardAccessible::role() const
{
    return QAccessible::ListItem;
}

QAccessible::State TrayCardAccessible::state() const
{
    QAccessible::State state;
    const TrayCardItem* item = card();
    if (!item || !item->isVisible()) {
        state.invisible = true;
        return state;
    }
    state.focusable = item->activeFocusOnTab();
    state.focused = item->hasActiveFocus();
    state.disabled = !item->isEnabled();
    return state;
}

QRect TrayCardAccessible::rect() const
{
    const TrayCardItem* item = card();
    if (!item || !item->window())
        return {};
    const QRectF scene = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    const QPoint origin = item->window()->mapToGlobal(scene.topLeft().toPoint());
    return QRect(origin, scene.size().toSize());
}

void* TrayCardAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return QAccessibleObject::interface_cast(type);
}

QStringList TrayCardAccessible::actionNames() const
{
    return card() ? card()->availableActions() : QStringList();
}

void TrayCardAccessible::doAction(const QString& actionName)
{
    if (TrayCardItem* item = card())
        item->perform(actionName);
}

QStringList TrayCardAccessible::keyBindingsForAction(const QString&) const
{
    return {};
}

} // namespace velmor
