#include "tray/tray_shortcuts.h"

#include "platform/user_defaults.h"

#include <QPointer>
#include <QSet>
#include <QVariantMap>

namespace velmor {
namespace {

using platform::KeyCombination;

// What macOS does with these whatever app is in front, or what every app's menus use them for.
const QSet<KeyCombination>& reservedCombinations()
{
    static const QSet<KeyCombination> reserved = [] {
        QSet<KeyCombination> result;
        for (const char* written :
             {"⌘Space", "⌃Space", "⌃⌘Space", "⌥⌘Space", "⌘⇥",  "⇧⌘⇥", "⌘`",   "⌘Q",  "⌘W",  "⌘H",
              "⌥⌘H",    "⌘M",     "⌘,",      "⌥⌘⎋",     "⌃⌘Q", "⇧⌘Q", "⌥⇧⌘Q", "⇧⌘3", "⇧⌘4", "⇧⌘5",
              "⌃⇧⌘3",   "⌃⇧⌘4",   "⌃⌘F",     "⌥⌘D",     "⌃↑",  "⌃↓",  "⌃←",   "⌃→"})
            result.insert(*KeyCombination::parse(QString::fromUtf8(written)));
        return result;
    }();
    return reserved;
}

} // namespace

TrayShortcuts::TrayShortcuts(platform::UserDefaults& defaults, platform::GlobalShortcuts* system,
                             QObject* parent)
    : QObject(parent), m_defaults(defaults), m_system(system)
{}

TrayShortcuts::~TrayShortcuts()
{
    stop();
}

QString TrayShortcuts::title(Command command)
{
    switch (command) {
    case Command::ToggleSection:
        return text(toggleSectionTitle);
    case Command::RevealAll:
        return text(revealAllTitle);
    case Command::Search:
        return text(searchTitle);
    case Command::Organizer:
        return text(organizerTitle);
    }
    return {};
}

QString TrayShortcuts::name(Command command)
{
    switch (command) {
    case Command::ToggleSection:
        return QStringLiteral("toggleSection");
    case Command::RevealAll:
        return QStringLiteral("revealAll");
    case Command::Search:
        return QStringLiteral("search");
    case Command::Organizer:
        return QStringLiteral("organizer");
    }
    return {};
}

bool TrayShortcuts::isReserved(const KeyCombination& combination)
{
    return reservedCombinations().contains(combination);
}

std::optional<KeyCombination> TrayShortcuts::shortcut(Command command) const
{
    const auto found = m_shortcuts.constFind(command);
    if (found == m_shortcuts.cend())
        return std::nullopt;
    return *found;
}

void TrayShortcuts::start()
{
    if (m_started)
        return;
    m_started = true;
    load();
    for (const Command command : commands) {
        const auto combination = shortcut(command);
        if (!combination)
            continue;
        // Kept all the same: the other app may let go of it, and the person sees why it is idle.
        if (const auto refused = registerShortcut(command, *combination))
            m_messages.insert(command, *refused);
    }
    Q_EMIT changed();
}

void TrayShortcuts::stop()
{
    for (const Command command : commands)
        unregister(command);
}

void TrayShortcuts::load()
{
    const QVariant stored = m_defaults.value(text(key));
    if (!stored.isValid())
        return;
    if (stored.typeId() != QMetaType::QVariantMap) {
        m_storedProblem = text(unreadableText);
        return;
    }
    const QVariantMap entries = stored.toMap();
    for (const Command command : commands) {
        const QVariant entry = entries.value(name(command));
        if (!entry.isValid())
            continue;
        const auto combination =
            entry.typeId() == QMetaType::QString ? KeyCombination::parse(entry.toString()) : std::nullopt;
        // What the recorder would refuse is no better than what cannot be read.
        if (!combination || refusal(command, *combination)) {
            m_storedProblem = text(unreadableText);
            continue;
        }
        m_shortcuts.insert(command, *combination);
    }
}

void TrayShortcuts::save()
{
    QVariantMap entries;
    for (auto it = m_shortcuts.cbegin(); it != m_shortcuts.cend(); ++it)
        entries.insert(name(it.key()), it.value().text());
    if (entries.isEmpty())
        m_defaults.remove(text(key));
    else
        m_defaults.setValue(text(key), entries);
}

std::optional<QString> TrayShortcuts::refusal(Command command, const KeyCombination& combination) const
{
    if (!KeyCombination::isUsableKey(combination.key))
        return text(unavailableFormat).arg(combination.text());
    if (!combination.hasShortcutModifier())
        return text(needsModifierText);
    if (isReserved(combination))
        return text(reservedFormat).arg(combination.text());
    for (auto it = m_shortcuts.cbegin(); it != m_shortcuts.cend(); ++it) {
        if (it.key() != command && it.value() == combination)
            return text(inUseFormat).arg(combination.text(), title(it.key()));
    }
    return std::nullopt;
}

std::optional<QString> TrayShortcuts::record(Command command, const KeyCombination& combination)
{
    m_storedProblem.clear();
    if (auto refused = refusal(command, combination)) {
        Q_EMIT changed();
        return refused;
    }
    if (shortcut(command) == combination && m_registrations.contains(command)) {
        Q_EMIT changed();
        return std::nullopt;
    }
    // The old registration goes first; when the system refuses the new one, the old one comes back.
    const std::optional<KeyCombination> previous = shortcut(command);
    const bool previousActive = m_registrations.contains(command);
    unregister(command);
    if (auto refused = registerShortcut(command, combination)) {
        if (previous && previousActive)
            registerShortcut(command, *previous);
        Q_EMIT changed();
        return refused;
    }
    m_messages.remove(command);
    m_shortcuts.insert(command, combination);
    save();
    Q_EMIT changed();
    return std::nullopt;
}

void TrayShortcuts::clear(Command command)
{
    m_storedProblem.clear();
    unregister(command);
    m_shortcuts.remove(command);
    m_messages.remove(command);
    save();
    Q_EMIT changed();
}

std::optional<QString> TrayShortcuts::registerShortcut(Command command, const KeyCombination& combination)
{
    if (!m_system)
        return std::nullopt;
    QPointer<TrayShortcuts> self(this);
    const platform::GlobalShortcuts::Registration registration = m_system->add(combination, [self, command] {
        if (self)
            self->run(command);
    });
    switch (registration.outcome) {
    case platform::GlobalShortcuts::Outcome::Registered:
        m_registrations.insert(command, registration.id);
        return std::nullopt;
    case platform::GlobalShortcuts::Outcome::Taken:
        return text(takenFormat).arg(combination.text());
    case platform::GlobalShortcuts::Outcome::Unavailable:
        return text(unavailableFormat).arg(combination.text());
    }
    return text(unavailableFormat).arg(combination.text());
}

void TrayShortcuts::unregister(Command command)
{
    const auto found = m_registrations.constFind(command);
    if (found == m_registrations.cend())
        return;
    if (m_system)
        m_system->remove(*found);
    m_registrations.erase(found);
}

void TrayShortcuts::run(Command command)
{
    const auto perform = [](const std::function<void()>& action) {
        if (action)
            action();
    };
    switch (command) {
    case Command::ToggleSection:
        perform(m_actions.toggleSection);
        return;
    case Command::RevealAll:
        perform(m_actions.revealAll);
        return;
    case Command::Search:
        perform(m_actions.search);
        return;
    case Command::Organizer:
        perform(m_actions.organizer);
        return;
    }
}

} // namespace velmor
