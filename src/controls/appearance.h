#pragma once

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class QQuickWindow;

namespace velmor {

// The light or dark appearance of a window, reaching every item in it as `Appearance.dark`. The
// window sets it once (`Appearance.dark: dark` on its root); an item reads its window's, and
// follows it when the appearance changes or the item moves to another window. An item outside any
// window reads light.
class Appearance final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Appearance is an attached property: Appearance.dark")
    QML_ATTACHED(velmor::Appearance)
    Q_PROPERTY(bool dark READ dark WRITE setDark NOTIFY darkChanged)

public:
    explicit Appearance(QObject* attachee);

    static Appearance* qmlAttachedProperties(QObject* object);
    // The appearance of `window` (creates its attached object when it has none yet).
    static Appearance* of(QQuickWindow* window);

    bool dark() const;
    // Meaningful on a window; an item's own setting is ignored in favour of its window's.
    void setDark(bool dark);

Q_SIGNALS:
    void darkChanged();

private:
    void follow(QQuickWindow* window);

    QPointer<Appearance> m_window;
    QMetaObject::Connection m_windowConnection;
    bool m_isWindow = false;
    bool m_dark = false;
};

} // namespace velmor
