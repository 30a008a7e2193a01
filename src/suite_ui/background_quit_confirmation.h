#pragma once

#include <QObject>
#include <QString>

namespace velmor::platform {
class ApplicationShell;
}

namespace velmor {

class DockPresence;

// The alert that offers to close the app's windows and let it run on in the background instead
// of quitting. The alert window binds to it; the choice is made here.
class BackgroundQuitConfirmation final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString messageText READ messageText CONSTANT)
    Q_PROPERTY(QString informativeText READ informativeText CONSTANT)
    Q_PROPERTY(QString keepRunningTitle READ keepRunningTitle CONSTANT)
    Q_PROPERTY(QString quitTitle READ quitTitle CONSTANT)
    Q_PROPERTY(QString cancelTitle READ cancelTitle CONSTANT)
    Q_PROPERTY(bool quitEnabled READ quitEnabled CONSTANT)
    Q_PROPERTY(bool open READ isOpen NOTIFY openChanged)

public:
    // The buttons, in the alert's order; the first is the default button.
    enum class Choice { KeepRunning, Quit, Cancel };
    Q_ENUM(Choice)

    static constexpr auto messageFormat = "Keep %1 running?";
    static constexpr auto informativeSentence =
        "Keep running in background closes the window. The menu bar icon and enabled shortcuts stay "
        "available.";
    static constexpr auto busySentence =
        " Your current task will continue. Finish or cancel it before quitting the app.";
    static constexpr auto keepRunningButton = "Keep running in background";
    static constexpr auto quitButton = "Quit app";
    static constexpr auto cancelButton = "Cancel";

    // `busy`: the app is in the middle of a task, so quitting is not offered. `dock` is the
    // Dock-presence manager told about the choice to run in the background (may be null).
    BackgroundQuitConfirmation(const QString& appName, bool busy, platform::ApplicationShell& shell,
                               DockPresence* dock, QObject* parent = nullptr);

    QString messageText() const { return m_message; }
    QString informativeText() const;
    QString keepRunningTitle() const { return QString::fromUtf8(keepRunningButton); }
    QString quitTitle() const { return QString::fromUtf8(quitButton); }
    QString cancelTitle() const { return QString::fromUtf8(cancelButton); }
    bool quitEnabled() const { return !m_busy; }
    bool isOpen() const { return m_open; }

    // Brings the app forward and opens the alert.
    Q_INVOKABLE void request();
    // A button of the open alert; a disabled button does nothing and leaves the alert open.
    Q_INVOKABLE void choose(velmor::BackgroundQuitConfirmation::Choice choice);
    // A key pressed while the alert has the keyboard: Return and Enter press the default button,
    // Escape presses "Cancel". Returns whether the key was taken.
    Q_INVOKABLE bool keyPressed(int key);

Q_SIGNALS:
    void openChanged();
    void finished(velmor::BackgroundQuitConfirmation::Choice choice);

private:
    void close(Choice choice);

    QString m_message;
    bool m_busy;
    platform::ApplicationShell& m_shell;
    DockPresence* m_dock;
    bool m_open = false;
};

} // namespace velmor
