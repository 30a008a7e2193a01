#include "platform/key_combination.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <utility>

namespace velmor::platform {
namespace {

// The modifiers in the order the Mac writes them.
constexpr std::array<std::pair<KeyCombination::Modifier, char16_t>, 4> modifierSymbols{{
    {KeyCombination::Control, u'⌃'},
    {KeyCombination::Option, u'⌥'},
    {KeyCombination::Shift, u'⇧'},
    {KeyCombination::Command, u'⌘'},
}};

// Keys written by a name or a symbol of their own; letters, digits, punctuation and function keys
// are written as they are labelled.
const QHash<int, QString>& namedKeys()
{
    static const QHash<int, QString> names{
        {Qt::Key_Space, QStringLiteral("Space")}, {Qt::Key_Return, QStringLiteral("↩")},
        {Qt::Key_Tab, QStringLiteral("⇥")},       {Qt::Key_Escape, QStringLiteral("⎋")},
        {Qt::Key_Backspace, QStringLiteral("⌫")}, {Qt::Key_Delete, QStringLiteral("⌦")},
        {Qt::Key_Left, QStringLiteral("←")},      {Qt::Key_Right, QStringLiteral("→")},
        {Qt::Key_Up, QStringLiteral("↑")},        {Qt::Key_Down, QStringLiteral("↓")},
        {Qt::Key_Home, QStringLiteral("↖")},      {Qt::Key_End, QStringLiteral("↘")},
        {Qt::Key_PageUp, QStringLiteral("⇞")},    {Qt::Key_PageDown, QStringLiteral("⇟")},
    };
    return names;
}

// The US keyboard's punctuation keys, by the character each types without Shift.
constexpr std::array<int, 11> punctuationKeys{
    Qt::Key_Minus,     Qt::Key_Equal,     Qt::Key_BracketLeft, Qt::Key_BracketRight,
    Qt::Key_Backslash, Qt::Key_Semicolon, Qt::Key_Apostrophe,  Qt::Key_Comma,
    Qt::Key_Period,    Qt::Key_Slash,     Qt::Key_QuoteLeft,
};

// What a window system reports for a key pressed with Shift on a US keyboard, and the key itself.
const QHash<int, int>& shiftedKeys()
{
    static const QHash<int, int> keys{
        {Qt::Key_Exclam, Qt::Key_1},
        {Qt::Key_At, Qt::Key_2},
        {Qt::Key_NumberSign, Qt::Key_3},
        {Qt::Key_Dollar, Qt::Key_4},
        {Qt::Key_Percent, Qt::Key_5},
        {Qt::Key_AsciiCircum, Qt::Key_6},
        {Qt::Key_Ampersand, Qt::Key_7},
        {Qt::Key_Asterisk, Qt::Key_8},
        {Qt::Key_ParenLeft, Qt::Key_9},
        {Qt::Key_ParenRight, Qt::Key_0},
        {Qt::Key_Underscore, Qt::Key_Minus},
        {Qt::Key_Plus, Qt::Key_Equal},
        {Qt::Key_BraceLeft, Qt::Key_BracketLeft},
        {Qt::Key_BraceRight, Qt::Key_BracketRight},
        {Qt::Key_Bar, Qt::Key_Backslash},
        {Qt::Key_Colon, Qt::Key_Semicolon},
        {Qt::Key_QuoteDbl, Qt::Key_Apostrophe},
        {Qt::Key_Less, Qt::Key_Comma},
        {Qt::Key_Greater, Qt::Key_Period},
        {Qt::Key_Question, Qt::Key_Slash},
        {Qt::Key_AsciiTilde, Qt::Key_QuoteLeft},
        // Shift with Tab arrives as its own key on some systems.
        {Qt::Key_Backtab, Qt::Key_Tab},
    };
    return keys;
}

constexpr int functionKeyCount = 20;

} // namespace

QString KeyCombination::keyText(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return QString(QChar(qtKey));
    for (const int punctuation : punctuationKeys) {
        if (qtKey == punctuation)
            return QString(QChar(qtKey));
    }
    if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + functionKeyCount)
        return QStringLiteral("F%1").arg(qtKey - Qt::Key_F1 + 1);
    return namedKeys().value(qtKey);
}

QString KeyCombination::text() const
{
    const QString name = keyText(key);
    if (name.isEmpty())
        return {};
    QString result;
    for (const auto& [modifier, symbol] : modifierSymbols) {
        if (has(modifier))
            result.append(QChar(symbol));
    }
    return result + name;
}

std::optional<KeyCombination> KeyCombination::parse(QStringView text)
{
    KeyCombination combination;
    qsizetype at = 0;
    for (; at < text.size(); ++at) {
        const auto symbol = std::find_if(modifierSymbols.cbegin(), modifierSymbols.cend(),
                                         [&](const auto& entry) { return text[at] == QChar(entry.second); });
        if (symbol == modifierSymbols.cend())
            break;
        if (combination.has(symbol->first))
            return std::nullopt;
        combination.modifiers |= symbol->first;
    }
    const QStringView name = text.mid(at);
    if (name.size() == 1 && name[0].isLetter() && name[0].toLatin1() != 0) {
        const int key = name[0].toUpper().unicode();
        if (key >= Qt::Key_A && key <= Qt::Key_Z) {
            combination.key = key;
            return combination;
        }
    }
    if (name.size() == 1 && isUsableKey(name[0].unicode()) && name[0].unicode() < 0x80) {
        combination.key = name[0].unicode();
        return combination;
    }
    if (name.size() >= 2 && name[0] == u'F') {
        bool ok = false;
        const int number = name.mid(1).toInt(&ok);
        if (ok && number >= 1 && number <= functionKeyCount && name.mid(1) == QString::number(number)) {
            combination.key = Qt::Key_F1 + number - 1;
            return combination;
        }
    }
    for (auto it = namedKeys().cbegin(); it != namedKeys().cend(); ++it) {
        if (name == it.value()) {
            combination.key = it.key();
            return combination;
        }
    }
    return std::nullopt;
}

std::optional<KeyCombination> KeyCombination::fromKeyEvent(int qtKey, Qt::KeyboardModifiers modifiers,
                                                           QtModifierNames names)
{
    KeyCombination combination;
    const bool mac = names == QtModifierNames::Mac;
    if (modifiers & Qt::ControlModifier)
        combination.modifiers |= mac ? Command : Control;
    if (modifiers & Qt::MetaModifier)
        combination.modifiers |= mac ? Control : Command;
    if (modifiers & Qt::AltModifier)
        combination.modifiers |= Option;
    if (modifiers & Qt::ShiftModifier)
        combination.modifiers |= Shift;
    int key = qtKey == Qt::Key_Enter ? int(Qt::Key_Return) : qtKey;
    if (const auto shifted = shiftedKeys().constFind(key); shifted != shiftedKeys().cend()) {
        key = *shifted;
        combination.modifiers |= Shift;
    }
    if (!isUsableKey(key))
        return std::nullopt;
    combination.key = key;
    return combination;
}

} // namespace velmor::platform
