#pragma once

#include "platform/key_combination.h"
#include "settings_window/tray_shortcut_recorder.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <memory>
#include <vector>

namespace velmor {

class TrayRevealPreferences;
class TrayShortcuts;

// The organizer's preferences about revealing: a keyboard shortcut per command, how soon revealed
// icons hide again, and revealing by resting the pointer on, or clicking, empty menu bar space.
class TrayRevealSettings final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The organizer makes one")
    Q_PROPERTY(QString shortcutsTitle READ shortcutsTitle CONSTANT)
    Q_PROPERTY(QVariantList recorders READ recorders CONSTANT)
    Q_PROPERTY(QString storedProblem READ storedProblem NOTIFY changed)
    Q_PROPERTY(QString rehideTitle READ rehideTitle CONSTANT)
    Q_PROPERTY(QStringList rehideTitles READ rehideTitles CONSTANT)
    Q_PROPERTY(int rehideIndex READ rehideIndex WRITE setRehideIndex NOTIFY changed)
    Q_PROPERTY(QString rehideNote READ rehideNote CONSTANT)
    Q_PROPERTY(QString hoverTitle READ hoverTitle CONSTANT)
    Q_PROPERTY(bool revealOnHover READ revealOnHover WRITE setRevealOnHover NOTIFY changed)
    Q_PROPERTY(QString clickTitle READ clickTitle CONSTANT)
    Q_PROPERTY(bool revealOnClick READ revealOnClick WRITE setRevealOnClick NOTIFY changed)

public:
    static constexpr const char* shortcutsText = "Keyboard shortcuts";
    static constexpr const char* rehideText = "Hide revealed icons again";
    static constexpr const char* offText = "Off";
    static constexpr const char* secondsFormat = "%1 s";
    static constexpr const char* minuteText = "1 min";
    static constexpr const char* rehideNoteText =
        "Also when you switch apps. Never while the pointer is on them or one of their menus is open. "
        "Reveal all stays until you hide it.";
    static constexpr const char* hoverText = "Reveal when the pointer rests on empty menu bar space";
    static constexpr const char* clickText = "Reveal with a click on empty menu bar space";

    TrayRevealSettings(TrayShortcuts& shortcuts, TrayRevealPreferences& preferences,
                       platform::KeyCombination::QtModifierNames names, QObject* parent = nullptr);
    ~TrayRevealSettings() override;

    QString shortcutsTitle() const { return QString::fromUtf8(shortcutsText); }
    QVariantList recorders() const;
    TrayShortcutRecorder* recorder(TrayShortcuts::Command command) const;
    QString storedProblem() const;
    QString rehideTitle() const { return QString::fromUtf8(rehideText); }
    // Off, 5 s, 10 s, 30 s, 1 min: the delays offered, in order.
    QStringList rehideTitles() const;
    int rehideIndex() const;
    void setRehideIndex(int index);
    QString rehideNote() const { return QString::fromUtf8(rehideNoteText); }
    QString hoverTitle() const { return QString::fromUtf8(hoverText); }
    bool revealOnHover() const;
    void setRevealOnHover(bool on);
    QString clickTitle() const { return QString::fromUtf8(clickText); }
    bool revealOnClick() const;
    void setRevealOnClick(bool on);

    // The window came on screen again: no recorder records.
    void windowAppeared();

Q_SIGNALS:
    void changed();

private:
    void recordingStarted(TrayShortcuts::Command command);

    QPointer<TrayShortcuts> m_shortcuts;
    QPointer<TrayRevealPreferences> m_preferences;
    std::vector<std::unique_ptr<TrayShortcutRecorder>> m_recorders;
};

} // namespace velmor
