#include "settings_window/tray_card_item.h"

#include "settings_window/tray_card_accessible.h"

#include <QAccessible>

namespace velmor {
namespace {

QAccessibleInterface* cardAccessibleFactory(const QString& className, QObject* object)
{
    // Asked once per class of the object's hierarchy: answer for the card's own class only.
    if (className != QLatin1String(TrayCardItem::staticMetaObject.className()))
        return nullptr;
    auto* card = qobject_cast<TrayCardItem*>(object);
    return card ? new TrayCardAccessible(card) : nullptr;
}

} // namespace

TrayCardItem::TrayCardItem(QQuickItem* parent) : QQuickItem(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(&cardAccessibleFactory);
        return true;
    }();
    static_cast<void>(installed);
}

void TrayCardItem::setAccessibleName(const QString& name)
{
    if (m_accessibleName == name)
        return;
    m_accessibleName = name;
    Q_EMIT accessibleChanged();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void TrayCardItem::setAccessibleHint(const QString& hint)
{
    if (m_accessibleHint == hint)
        return;
    m_accessibleHint = hint;
    Q_EMIT accessibleChanged();
}

void TrayCardItem::setMoveActions(const QVariantList& actions)
{
    if (m_moveActions == actions)
        return;
    m_moveActions = actions;
    Q_EMIT accessibleChanged();
}

QStringList TrayCardItem::availableActions() const
{
    QStringList titles;
    for (const QVariant& action : m_moveActions) {
        const QVariantMap move = action.toMap();
        if (move.value(QStringLiteral("enabled")).toBool())
            titles.append(move.value(QStringLiteral("title")).toString());
    }
    return titles;
}

bool TrayCardItem::perform(const QString& title)
{
    for (const QVariant& action : m_moveActions) {
        const QVariantMap move = action.toMap();
        if (move.value(QStringLiteral("title")).toString() != title)
            continue;
        if (!move.value(QStringLiteral("enabled")).toBool())
            return false;
        Q_EMIT moveRequested(move.value(QStringLiteral("destination")).toString());
        return true;
    }
    return false;
}

} // namespace velmor
