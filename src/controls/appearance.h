#pragma once

#include "controls/appearance_palette.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class QQuickWindow;

namespace velmor {

// The light or dark appearance of a window and the colours it draws with, reaching every item in
// it as `Appearance.dark` and `Appearance.text`, `Appearance.accent`, … The window sets them once
// on its root (`Appearance.dark: dark`, `Appearance.palette: SuitePalette`); an item reads its
// window's, and follows it when the appearance changes or the item moves to another window. An
// item outside any window reads light, in the neutral palette.
class Appearance final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Appearance is an attached property: Appearance.dark, Appearance.text, …")
    QML_ATTACHED(velmor::Appearance)
    Q_PROPERTY(bool dark READ dark WRITE setDark NOTIFY darkChanged)
    Q_PROPERTY(velmor::AppearancePalette* palette READ palette WRITE setPalette NOTIFY colorsChanged)
    Q_PROPERTY(QColor accent READ accent NOTIFY colorsChanged)
    Q_PROPERTY(QColor controlAccent READ controlAccent NOTIFY colorsChanged)
    Q_PROPERTY(QColor warning READ warning NOTIFY colorsChanged)
    Q_PROPERTY(QColor canvas READ canvas NOTIFY colorsChanged)
    Q_PROPERTY(QColor text READ text NOTIFY colorsChanged)
    Q_PROPERTY(QColor secondaryText READ secondaryText NOTIFY colorsChanged)
    Q_PROPERTY(QColor separator READ separator NOTIFY colorsChanged)
    Q_PROPERTY(QColor controlBackground READ controlBackground NOTIFY colorsChanged)
    Q_PROPERTY(QColor success READ success NOTIFY colorsChanged)
    Q_PROPERTY(QColor critical READ critical NOTIFY colorsChanged)
    Q_PROPERTY(QColor dimming READ dimming NOTIFY colorsChanged)

public:
    explicit Appearance(QObject* attachee);

    static Appearance* qmlAttachedProperties(QObject* object);
    // The appearance of `window` (creates its attached object when it has none yet).
    static Appearance* of(QQuickWindow* window);

    bool dark() const;
    // Meaningful on a window; an item's own setting is ignored in favour of its window's.
    void setDark(bool dark);
    // The window's palette (the neutral one when it set none).
    AppearancePalette* palette() const;
    // Meaningful on a window, as `dark` is.
    void setPalette(AppearancePalette* palette);

    QColor color(AppearancePalette::Role role) const;
    QColor accent() const { return color(AppearancePalette::Role::accent); }
    QColor controlAccent() const { return color(AppearancePalette::Role::controlAccent); }
    QColor warning() const { return color(AppearancePalette::Role::warning); }
    QColor canvas() const { return color(AppearancePalette::Role::canvas); }
    QColor text() const { return color(AppearancePalette::Role::text); }
    QColor secondaryText() const { return color(AppearancePalette::Role::secondaryText); }
    QColor separator() const { return color(AppearancePalette::Role::separator); }
    QColor controlBackground() const { return color(AppearancePalette::Role::controlBackground); }
    QColor success() const { return color(AppearancePalette::Role::success); }
    QColor critical() const { return color(AppearancePalette::Role::critical); }
    QColor dimming() const { return color(AppearancePalette::Role::dimming); }

Q_SIGNALS:
    void darkChanged();
    // The appearance or the palette changed: every colour may read differently.
    void colorsChanged();

private:
    void follow(QQuickWindow* window);

    QPointer<Appearance> m_window;
    QMetaObject::Connection m_darkConnection;
    QMetaObject::Connection m_colorsConnection;
    QPointer<AppearancePalette> m_palette;
    bool m_isWindow = false;
    bool m_dark = false;
};

} // namespace velmor
