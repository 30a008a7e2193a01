#include "app/support_footer_slot.h"

#include "suite_ui/support_settings_footer.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

namespace velmor {
namespace {

QQuickItem* findSlot(QQuickItem* item)
{
    if (!item)
        return nullptr;
    if (item->objectName() == QLatin1String(SupportFooterSlot::slotName))
        return item;
    for (QQuickItem* child : item->childItems()) {
        if (QQuickItem* found = findSlot(child))
            return found;
    }
    return nullptr;
}

} // namespace

QQuickItem* SupportFooterSlot::fill(QQuickWindow& window, QQmlEngine& engine,
                                    SupportSettingsFooter& presenter, QStringList& errors)
{
    QQuickItem* slot = findSlot(window.contentItem());
    if (!slot)
        return nullptr;
    QQmlComponent component(&engine, QUrl(QString::fromLatin1(footerSource)));
    if (!component.isReady()) {
        for (const QQmlError& error : component.errors())
            errors.append(error.toString());
        return nullptr;
    }
    QObject* object = component.createWithInitialProperties(
        {{QStringLiteral("presenter"), QVariant::fromValue(&presenter)}});
    auto* footer = qobject_cast<QQuickItem*>(object);
    if (!footer) {
        delete object;
        return nullptr;
    }
    footer->setParent(slot);
    footer->setParentItem(slot);
    footer->setWidth(slot->width());
    slot->setImplicitHeight(footer->implicitHeight());
    QObject::connect(slot, &QQuickItem::widthChanged, footer,
                     [slot, footer] { footer->setWidth(slot->width()); });
    QObject::connect(footer, &QQuickItem::implicitHeightChanged, slot,
                     [slot, footer] { slot->setImplicitHeight(footer->implicitHeight()); });
    return footer;
}

} // namespace velmor
