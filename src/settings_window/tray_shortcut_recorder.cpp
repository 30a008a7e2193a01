#include "settings_window/tray_shortcut_recorder.h"

namespace velmor {

TrayShortcutRecorder::TrayShortcutRecorder(TrayShortcuts& shortcuts, TrayShortcuts::Command command,
                                           platform::KeyCombination::QtModifierNames names,
                                           std::function<void()> started, QObject* parent)
    : QObject(parent), m_shortcuts(&shortcuts), m_command(command), m_names(names),
      m_started(std::move(started))
{
    connect(&shortcuts, &TrayShortcuts::changed, this, &TrayShortcutRecorder::changed);
}

QString TrayShortcutRecorder::shortcutText() const
{
    const auto combination = m_shortcuts ? m_shortcuts->shortcut(m_command) : std::nullopt;
    return combination ? combination->text() : QString();
}

bool TrayShortcutRecorder::hasShortcut() const
{
    return !shortcutText().isEmpty();
}

QString TrayShortcutRecorder::buttonText() const
{
    if (m_recording)
        return QString::fromUtf8(recordingText);
    return hasShortcut() ? shortcutText() : QString::fromUtf8(recordText);
}

QString TrayShortcutRecorder::accessibleName() const
{
    return QString::fromUtf8(accessibleFormat)
        .arg(title(), hasShortcut() ? shortcutText() : QString::fromUtf8(noShortcutText));
}

QString TrayShortcutRecorder::message() const
{
    if (m_recording)
        return m_refusal.isEmpty() ? QString::fromUtf8(recordingHint) : m_refusal;
    return m_shortcuts ? m_shortcuts->message(m_command) : QString();
}

QString TrayShortcutRecorder::clearName() const
{
    return QString::fromUtf8(clearFormat).arg(title());
}

void TrayShortcutRecorder::press()
{
    if (m_recording) {
        cancel();
        return;
    }
    if (m_started)
        m_started();
    m_recording = true;
    m_refusal.clear();
    Q_EMIT changed();
}

void TrayShortcutRecorder::cancel()
{
    if (!m_recording)
        return;
    m_recording = false;
    m_refusal.clear();
    Q_EMIT changed();
}

void TrayShortcutRecorder::clear()
{
    m_recording = false;
    m_refusal.clear();
    if (m_shortcuts)
        m_shortcuts->clear(m_command);
    Q_EMIT changed();
}

bool TrayShortcutRecorder::keyPressed(int key, int modifiers)
{
    if (!m_recording || !m_shortcuts)
        return false;
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
        // Still on the way to the key.
        return true;
    default:
        break;
    }
    const auto pressed = Qt::KeyboardModifiers::fromInt(modifiers);
    const bool plain =
        (pressed & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) ==
        Qt::NoModifier;
    if (plain && key == Qt::Key_Escape) {
        cancel();
        return true;
    }
    if (plain && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
        clear();
        return true;
    }
    const auto combination = platform::KeyCombination::fromKeyEvent(key, pressed, m_names);
    if (!combination) {
        m_refusal = QString::fromUtf8(unusableKeyText);
        Q_EMIT changed();
        return true;
    }
    const auto refused = m_shortcuts->record(m_command, *combination);
    m_refusal = refused.value_or(QString());
    m_recording = refused.has_value();
    Q_EMIT changed();
    return true;
}

} // namespace velmor
