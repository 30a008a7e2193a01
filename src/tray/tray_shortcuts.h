#pragma once

#include "platform/global_shortcuts.h"
#include "platform/key_combination.h"

#include <QMap>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace velmor {
namespace platform {
class UserDefaults;
}

// The app's global keyboard shortcuts: one per command, none by default. It keeps the person's
// choices in the user defaults, registers them with the system, and runs a command when its
// shortcut is pressed in any app. A combination is refused, with a sentence saying why, when it
// has no modifier but Shift, when another command has it, when macOS keeps it for itself, or when
// the system will not register it. A stored value it cannot read is ignored and reported once.
// Main thread only.
class TrayShortcuts final : public QObject {
    Q_OBJECT

public:
    enum class Command { ToggleSection, RevealAll, Search, Organizer };
    static constexpr std::array<Command, 4> commands{Command::ToggleSection, Command::RevealAll,
                                                     Command::Search, Command::Organizer};

    // A dictionary of command names to combinations in their text form ("⌃⌥⌘H").
    static constexpr const char* key = "tray.shortcuts.v1";

    // The commands as the recorder names them.
    static constexpr const char* toggleSectionTitle = "Show or hide the expandable menu";
    static constexpr const char* revealAllTitle = "Reveal all";
    static constexpr const char* searchTitle = "Search the menu bar";
    static constexpr const char* organizerTitle = "Open Velmor Tray";

    // Why a combination is refused.
    static constexpr const char* needsModifierText =
        "A shortcut needs ⌘, ⌥ or ⌃. Press it again with one of them.";
    static constexpr const char* inUseFormat = "%1 is already the shortcut for “%2”.";
    static constexpr const char* reservedFormat = "%1 belongs to macOS. Choose another shortcut.";
    static constexpr const char* takenFormat =
        "%1 is used by another app or by macOS. Choose another shortcut.";
    static constexpr const char* unavailableFormat = "%1 cannot be a shortcut on this Mac.";
    static constexpr const char* unreadableText = "A saved shortcut could not be read and was ignored.";

    // The commands' actions; an absent one does nothing.
    struct Actions {
        std::function<void()> toggleSection;
        std::function<void()> revealAll;
        std::function<void()> search;
        std::function<void()> organizer;
    };

    // Without `system` the shortcuts are kept but never registered.
    TrayShortcuts(platform::UserDefaults& defaults, platform::GlobalShortcuts* system,
                  QObject* parent = nullptr);
    ~TrayShortcuts() override;

    void setActions(Actions actions) { m_actions = std::move(actions); }
    // Reads the stored shortcuts and registers them; later calls do nothing.
    void start();
    // Gives every registration back (the app terminates).
    void stop();

    static QString title(Command command);
    static QString name(Command command);
    // The combinations macOS keeps for itself (Spotlight, the app switcher, Quit, screenshots …).
    static bool isReserved(const platform::KeyCombination& combination);

    std::optional<platform::KeyCombination> shortcut(Command command) const;
    // Why the system does not take the command's shortcut; empty when all is well.
    QString message(Command command) const { return m_messages.value(command); }
    // That a stored shortcut could not be read; empty once the person recorded or cleared one.
    QString storedProblem() const { return m_storedProblem; }

    // Why the combination cannot be the command's shortcut, by the app's own rules; absent when it
    // can.
    std::optional<QString> refusal(Command command, const platform::KeyCombination& combination) const;
    // The person recorded a combination: stored and registered, or refused, the previous shortcut
    // kept. Absent when it was taken, else the sentence why not.
    std::optional<QString> record(Command command, const platform::KeyCombination& combination);
    void clear(Command command);

Q_SIGNALS:
    void changed();

private:
    // The constants above as text.
    static QString text(const char* literal) { return QString::fromUtf8(literal); }
    void load();
    void save();
    // Registers the shortcut; absent when the system took it, else why it did not.
    std::optional<QString> registerShortcut(Command command, const platform::KeyCombination& combination);
    void unregister(Command command);
    void run(Command command);

    platform::UserDefaults& m_defaults;
    platform::GlobalShortcuts* m_system;
    Actions m_actions;
    QMap<Command, platform::KeyCombination> m_shortcuts;
    QMap<Command, platform::GlobalShortcuts::RegistrationId> m_registrations;
    QMap<Command, QString> m_messages;
    QString m_storedProblem;
    bool m_started = false;
};

} // namespace velmor
