#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace velmor {

// A menu command of the update controller as an application menu shows it: a title without key
// equivalent, an action aimed at the controller, and a hidden state that a command may follow.
// Whether it is enabled is the controller's validation (AppUpdates::validateMenuItem).
class UpdateMenuItem final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(bool hidden READ isHidden NOTIFY hiddenChanged)

public:
    enum class Action { CheckForUpdates, ShowPreferences, ResolvePendingWork };

    UpdateMenuItem(Action action, QString title, std::function<void()> perform, QObject* parent = nullptr);

    Action action() const { return m_action; }
    QString title() const { return m_title; }
    // Menu commands of the update controller never have one.
    QString keyEquivalent() const { return {}; }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden);
    // What choosing the item does; nothing once its target is gone.
    Q_INVOKABLE void trigger();

Q_SIGNALS:
    void hiddenChanged();

private:
    Action m_action;
    QString m_title;
    std::function<void()> m_perform;
    bool m_hidden = false;
};

} // namespace velmor
