#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace velmor {

class AppUpdates;

// A row an app can place in its own window while an update is held back: a symbol, the
// controller's status text, and a button that lets the user end the wait. Empty otherwise.
class PendingUpdateNotice : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool shown READ shown NOTIFY changed)
    Q_PROPERTY(QString symbolName READ symbolName CONSTANT)
    Q_PROPERTY(QString message READ message NOTIFY changed)
    Q_PROPERTY(QString buttonTitle READ buttonTitle NOTIFY changed)

public:
    static constexpr auto symbol = "arrow.down.circle";
    // Points between the row's parts and around it.
    static constexpr int spacing = 12;
    static constexpr int padding = 12;

    ~PendingUpdateNotice() override = default;

    virtual bool shown() const = 0;
    QString symbolName() const { return QString::fromUtf8(symbol); }
    // Empty while not shown.
    QString message() const;
    // Empty while not shown.
    virtual QString buttonTitle() const = 0;
    // What the button does; nothing while the row is not shown.
    Q_INVOKABLE virtual void activate() = 0;

Q_SIGNALS:
    void changed();

protected:
    PendingUpdateNotice(AppUpdates& updates, QObject* parent);

    AppUpdates* updates() const { return m_updates; }

private:
    QPointer<AppUpdates> m_updates;
};

} // namespace velmor
