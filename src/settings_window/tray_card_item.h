#pragma once

#include <QQuickItem>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace velmor {

// An app card as assistive technology meets it: one element with the app's label, a hint, and
// the card's "Move to …" entries as its named actions, so a screen reader moves an app without
// dragging. The card's QML draws everything else.
// Not final: QML makes its own element type from it.
class TrayCardItem : public QQuickItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString accessibleName READ accessibleName WRITE setAccessibleName NOTIFY accessibleChanged)
    Q_PROPERTY(QString accessibleHint READ accessibleHint WRITE setAccessibleHint NOTIFY accessibleChanged)
    // {title, destination, enabled}
    Q_PROPERTY(QVariantList moveActions READ moveActions WRITE setMoveActions NOTIFY accessibleChanged)

public:
    explicit TrayCardItem(QQuickItem* parent = nullptr);

    QString accessibleName() const { return m_accessibleName; }
    void setAccessibleName(const QString& name);
    QString accessibleHint() const { return m_accessibleHint; }
    void setAccessibleHint(const QString& hint);
    QVariantList moveActions() const { return m_moveActions; }
    void setMoveActions(const QVariantList& actions);

    // The titles of the moves that can be made now: a disabled move is not offered.
    QStringList availableActions() const;
    // Asks for the move with that title; false when it is not available.
    bool perform(const QString& title);

Q_SIGNALS:
    void accessibleChanged();
    void moveRequested(const QString& destination);

private:
    QString m_accessibleName;
    QString m_accessibleHint;
    QVariantList m_moveActions;
};

} // namespace velmor
