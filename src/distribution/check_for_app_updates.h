#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>

namespace velmor {

class AppUpdates;

// The update commands of the application menu, placed right after the "About" group: checking,
// the settings, and while an update is held back the host's overrides. It keeps no state of its
// own; `changed` follows every published value of the controller.
class CheckForAppUpdates final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariantList commands READ commands NOTIFY changed)
    Q_PROPERTY(bool checkEnabled READ checkEnabled NOTIFY changed)
    Q_PROPERTY(bool closeSessionsShown READ closeSessionsShown NOTIFY changed)
    Q_PROPERTY(bool pendingWorkShown READ pendingWorkShown NOTIFY changed)
    Q_PROPERTY(QString pendingWorkTitle READ pendingWorkTitle NOTIFY changed)

public:
    // What each command does; the `command` member of an entry of `commands`.
    enum class Command { Check, Settings, CloseSessions, PendingWork };
    Q_ENUM(Command)

    explicit CheckForAppUpdates(AppUpdates& updates, QObject* parent = nullptr);

    // The commands shown now, in menu order: maps with "title", "enabled" and "command".
    QVariantList commands() const;
    bool checkEnabled() const;
    bool closeSessionsShown() const;
    bool pendingWorkShown() const;
    // Empty unless `pendingWorkShown`.
    QString pendingWorkTitle() const;

    // Performs the command when it is shown and enabled.
    Q_INVOKABLE void trigger(velmor::CheckForAppUpdates::Command command);

Q_SIGNALS:
    void changed();

private:
    QPointer<AppUpdates> m_updates;
};

} // namespace velmor
