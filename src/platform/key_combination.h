#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <Qt>

#include <optional>

namespace velmor::platform {

// A key pressed with modifier keys, as a global shortcut names it. It is written the Mac's way —
// the modifiers in the order ⌃ ⌥ ⇧ ⌘, then the key ("⌃⌥⌘H", "⌘Space", "⌥⇧F5") — and that text is
// also how it is stored and how scripts name it. The key is a Qt::Key from the set a shortcut may
// use: letters, digits, the US keyboard's punctuation, F1–F20, Space, Return, Tab, Escape, the two
// deletes, the arrows, Home, End, Page Up and Page Down.
struct KeyCombination {
    enum Modifier : quint8 {
        Control = 1,
        Option = 2,
        Shift = 4,
        Command = 8,
    };

    // How a window system's key events name the Mac's modifier keys: on a Mac Qt reports ⌘ as
    // its Control modifier and ⌃ as its Meta modifier; on a PC keyboard (the simulated Mac) Control
    // is ⌃, Alt is ⌥ and the Super ("Windows") key, Qt's Meta, is ⌘, as the Mac itself maps a PC
    // keyboard.
    enum class QtModifierNames { Mac, PcKeyboard };

    int key = 0;
    quint8 modifiers = 0;

    QString text() const;
    bool has(Modifier modifier) const { return (modifiers & modifier) != 0; }
    // Shift alone does not make a key a shortcut: it only types another character.
    bool hasShortcutModifier() const { return (modifiers & (Control | Option | Command)) != 0; }

    // The text form back; absent for anything else (an unknown key, a repeated modifier, text
    // after the key, nothing at all). Letters may be lower case.
    static std::optional<KeyCombination> parse(QStringView text);
    // What a key press in a window names. Absent while only modifiers are down and for keys a
    // shortcut cannot use. With Shift held, a US keyboard's shifted symbol is read as its key
    // ("!" as 1), so the combination names the key the person pressed.
    static std::optional<KeyCombination> fromKeyEvent(int qtKey, Qt::KeyboardModifiers modifiers,
                                                      QtModifierNames names);
    // How the key alone is written ("H", "F5", "Space", "↩"); empty for a key a shortcut cannot use.
    static QString keyText(int qtKey);
    static bool isUsableKey(int qtKey) { return !keyText(qtKey).isEmpty(); }

    friend bool operator==(const KeyCombination&, const KeyCombination&) = default;
};

inline size_t qHash(const KeyCombination& combination, size_t seed = 0)
{
    return qHashMulti(seed, combination.key, combination.modifiers);
}

} // namespace velmor::platform
