#pragma once

#include "platform/key_combination.h"
#include "tray/tray_shortcuts.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <functional>

namespace velmor {

// One row of the shortcuts: the command, its shortcut written the Mac way, and the recorder a
// person presses to record a new one. While it records, the next key press with modifiers becomes
// the shortcut (or is refused, with the sentence why); Escape cancels and Delete clears.
class TrayShortcutRecorder final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The organizer makes one per command")
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString shortcutText READ shortcutText NOTIFY changed)
    Q_PROPERTY(QString buttonText READ buttonText NOTIFY changed)
    Q_PROPERTY(QString accessibleName READ accessibleName NOTIFY changed)
    Q_PROPERTY(bool recording READ recording NOTIFY changed)
    Q_PROPERTY(bool hasShortcut READ hasShortcut NOTIFY changed)
    Q_PROPERTY(QString message READ message NOTIFY changed)
    Q_PROPERTY(bool messageIsHint READ messageIsHint NOTIFY changed)
    Q_PROPERTY(QString clearName READ clearName CONSTANT)

public:
    static constexpr const char* recordText = "Record shortcut";
    static constexpr const char* recordingText = "Type shortcut…";
    static constexpr const char* recordingHint = "Press the keys. Escape cancels, Delete clears.";
    static constexpr const char* accessibleFormat = "Shortcut for %1: %2";
    static constexpr const char* noShortcutText = "none";
    static constexpr const char* clearFormat = "Clear the shortcut for %1";
    static constexpr const char* unusableKeyText = "That key cannot be part of a shortcut.";

    // `started` tells the section that this recorder began recording, so that no other one does.
    TrayShortcutRecorder(TrayShortcuts& shortcuts, TrayShortcuts::Command command,
                         platform::KeyCombination::QtModifierNames names, std::function<void()> started,
                         QObject* parent = nullptr);

    QString name() const { return TrayShortcuts::name(m_command); }
    QString title() const { return TrayShortcuts::title(m_command); }
    QString shortcutText() const;
    QString buttonText() const;
    QString accessibleName() const;
    bool recording() const { return m_recording; }
    bool hasShortcut() const;
    // While recording, the hint, unless a key was refused; otherwise the shortcut's own problem.
    QString message() const;
    // The message only says how recording works; anything else is a refusal or a problem.
    bool messageIsHint() const { return m_recording && m_refusal.isEmpty(); }
    QString clearName() const;
    TrayShortcuts::Command command() const { return m_command; }

    // A press of the recorder: recording starts (and a second press cancels it).
    Q_INVOKABLE void press();
    Q_INVOKABLE void cancel();
    Q_INVOKABLE void clear();
    // A key press reaches the recorder; true when it took it (always, while recording).
    Q_INVOKABLE bool keyPressed(int key, int modifiers);

Q_SIGNALS:
    void changed();

private:
    QPointer<TrayShortcuts> m_shortcuts;
    TrayShortcuts::Command m_command;
    platform::KeyCombination::QtModifierNames m_names;
    std::function<void()> m_started;
    bool m_recording = false;
    // Why the key pressed while recording was not taken.
    QString m_refusal;
};

} // namespace velmor
