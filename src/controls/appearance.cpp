#include "controls/appearance.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqml.h>

namespace velmor {

Appearance::Appearance(QObject* attachee) : QObject(attachee)
{
    if (qobject_cast<QQuickWindow*>(attachee)) {
        m_isWindow = true;
        return;
    }
    // A popup or another non-visual object belongs to the window of the item (or the window) it
    // is declared in.
    for (QObject* each = attachee; each; each = each->parent()) {
        if (auto* item = qobject_cast<QQuickItem*>(each)) {
            connect(item, &QQuickItem::windowChanged, this, &Appearance::follow);
            follow(item->window());
            return;
        }
        if (auto* window = qobject_cast<QQuickWindow*>(each)) {
            follow(window);
            return;
        }
    }
}

Appearance* Appearance::qmlAttachedProperties(QObject* object)
{
    return new Appearance(object);
}

Appearance* Appearance::of(QQuickWindow* window)
{
    return qobject_cast<Appearance*>(qmlAttachedPropertiesObject<Appearance>(window, true));
}

bool Appearance::dark() const
{
    if (m_isWindow)
        return m_dark;
    return m_window && m_window->dark();
}

void Appearance::setDark(bool dark)
{
    if (!m_isWindow || m_dark == dark)
        return;
    m_dark = dark;
    Q_EMIT darkChanged();
}

void Appearance::follow(QQuickWindow* window)
{
    const bool before = dark();
    disconnect(m_windowConnection);
    m_window = window ? of(window) : nullptr;
    if (m_window)
        m_windowConnection = connect(m_window, &Appearance::darkChanged, this, &Appearance::darkChanged);
    if (dark() != before)
        Q_EMIT darkChanged();
}

} // namespace velmor
