#include "controls/appearance.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqml.h>

namespace velmor {
namespace {

// One for the process: an item outside any window, or a window whose suite set no palette.
AppearancePalette* neutralPalette()
{
    static AppearancePalette neutral;
    return &neutral;
}

} // namespace

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
    Q_EMIT colorsChanged();
}

AppearancePalette* Appearance::palette() const
{
    if (!m_isWindow)
        return m_window ? m_window->palette() : neutralPalette();
    return m_palette ? m_palette.data() : neutralPalette();
}

void Appearance::setPalette(AppearancePalette* palette)
{
    if (!m_isWindow || m_palette == palette)
        return;
    m_palette = palette;
    Q_EMIT colorsChanged();
}

QColor Appearance::color(AppearancePalette::Role role) const
{
    const AppearancePalette::Colors colors = palette()->colors(role);
    return dark() ? colors.dark : colors.light;
}

void Appearance::follow(QQuickWindow* window)
{
    const bool before = dark();
    const AppearancePalette* paletteBefore = palette();
    disconnect(m_darkConnection);
    disconnect(m_colorsConnection);
    m_window = window ? of(window) : nullptr;
    if (m_window) {
        m_darkConnection = connect(m_window, &Appearance::darkChanged, this, &Appearance::darkChanged);
        m_colorsConnection = connect(m_window, &Appearance::colorsChanged, this, &Appearance::colorsChanged);
    }
    if (dark() != before)
        Q_EMIT darkChanged();
    if (dark() != before || palette() != paletteBefore)
        Q_EMIT colorsChanged();
}

} // namespace velmor
