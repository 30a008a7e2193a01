#include "platform/key_combination.h"

#include <QSet>

#include <gtest/gtest.h>

#include <utility>

using namespace velmor::platform;

namespace {

using Names = KeyCombination::QtModifierNames;

KeyCombination combination(int key, quint8 modifiers)
{
    return KeyCombination{key, modifiers};
}

} // namespace

// The Mac's way of writing a shortcut is also how it is stored and scripted: written, read back,
// the same combination, modifiers always in the Mac's order.
TEST(KeyCombinationTest, IsWrittenTheMacWayAndReadBack)
{
    const struct {
        KeyCombination combination;
        const char* text;
    } cases[] = {
        {combination(Qt::Key_H, KeyCombination::Control | KeyCombination::Option | KeyCombination::Command),
         "⌃⌥⌘H"},
        {combination(Qt::Key_Space, KeyCombination::Command), "⌘Space"},
        {combination(Qt::Key_F5, KeyCombination::Option | KeyCombination::Shift), "⌥⇧F5"},
        {combination(Qt::Key_F20, KeyCombination::Control), "⌃F20"},
        {combination(Qt::Key_1, KeyCombination::Shift | KeyCombination::Command), "⇧⌘1"},
        {combination(Qt::Key_Comma, KeyCombination::Command), "⌘,"},
        {combination(Qt::Key_Return, KeyCombination::Option), "⌥↩"},
        {combination(Qt::Key_Left, KeyCombination::Control), "⌃←"},
        {combination(Qt::Key_Backspace, KeyCombination::Command), "⌘⌫"},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(entry.combination.text(), QString::fromUtf8(entry.text));
        EXPECT_EQ(KeyCombination::parse(QString::fromUtf8(entry.text)), entry.combination) << entry.text;
    }
    // Any order of modifiers and a lower-case letter are understood; the text comes out the Mac's way.
    EXPECT_EQ(KeyCombination::parse(QString::fromUtf8("⌘⌃h"))->text(), QString::fromUtf8("⌃⌘H"));
}

TEST(KeyCombinationTest, AnythingElseDoesNotRead)
{
    for (const char* text : {"", "⌘", "⌘⌘H", "⌃⌥⌘HH", "⌘F0", "⌘F21", "⌘F05", "⌘Ä", "⌘ H", "H⌘", "⌘space",
                             "⌘é", "⌘\xF0\x9F\x98\x80", "⌘<b>H</b>"})
        EXPECT_FALSE(KeyCombination::parse(QString::fromUtf8(text))) << text;
}

// Key presses as a window system reports them. On a Mac Qt calls ⌘ its Control modifier and ⌃ its
// Meta modifier; on a PC keyboard Control is ⌃ and the Super key (Qt's Meta) is ⌘. Shift with a
// digit or a symbol arrives as the shifted character, which names the key pressed.
TEST(KeyCombinationTest, KeyPressesNameTheKeysThePersonPressed)
{
    const auto pc = [](int key, Qt::KeyboardModifiers modifiers) {
        return KeyCombination::fromKeyEvent(key, modifiers, Names::PcKeyboard);
    };
    const auto mac = [](int key, Qt::KeyboardModifiers modifiers) {
        return KeyCombination::fromKeyEvent(key, modifiers, Names::Mac);
    };
    const Qt::KeyboardModifiers all = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    EXPECT_EQ(pc(Qt::Key_H, all)->text(), QString::fromUtf8("⌃⌥⌘H"));
    EXPECT_EQ(pc(Qt::Key_H, Qt::MetaModifier)->text(), QString::fromUtf8("⌘H"));
    EXPECT_EQ(mac(Qt::Key_H, Qt::ControlModifier)->text(), QString::fromUtf8("⌘H"));
    EXPECT_EQ(mac(Qt::Key_H, Qt::MetaModifier)->text(), QString::fromUtf8("⌃H"));
    EXPECT_EQ(pc(Qt::Key_Exclam, Qt::ShiftModifier | Qt::MetaModifier)->text(), QString::fromUtf8("⇧⌘1"));
    EXPECT_EQ(pc(Qt::Key_Question, Qt::MetaModifier)->text(), QString::fromUtf8("⇧⌘/"));
    EXPECT_EQ(pc(Qt::Key_Backtab, Qt::ShiftModifier | Qt::AltModifier)->text(), QString::fromUtf8("⌥⇧⇥"));
    EXPECT_EQ(pc(Qt::Key_Enter, Qt::ControlModifier)->text(), QString::fromUtf8("⌃↩"));
    // Keypad keys count as the keys they type.
    EXPECT_EQ(pc(Qt::Key_5, Qt::ControlModifier | Qt::KeypadModifier)->text(), QString::fromUtf8("⌃5"));
    // Modifiers alone, and keys no shortcut can use.
    for (const int key : {int(Qt::Key_Control), int(Qt::Key_Meta), int(Qt::Key_Shift), int(Qt::Key_Alt),
                          int(Qt::Key_CapsLock), int(Qt::Key_Adiaeresis), int(Qt::Key_VolumeUp), 0})
        EXPECT_FALSE(pc(key, Qt::ControlModifier)) << key;
}
