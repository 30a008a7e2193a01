#include "mac/mac_global_shortcuts.h"

#include "mac/portable/mac_conventions.h"

#include <Carbon/Carbon.h>
#import <Foundation/Foundation.h>
#include <QCoreApplication>

#include <iterator>
#include <optional>

namespace velmor::platform::mac {

static_assert(MacConventions::carbonCommandKey == quint32(cmdKey));
static_assert(MacConventions::carbonShiftKey == quint32(shiftKey));
static_assert(MacConventions::carbonOptionKey == quint32(optionKey));
static_assert(MacConventions::carbonControlKey == quint32(controlKey));

namespace {

// The four characters that mark this app's hot keys in their events ("VMtr").
constexpr OSType hotKeySignature =
    (OSType('V') << 24) | (OSType('M') << 16) | (OSType('t') << 8) | OSType('r');

constexpr UInt32 shortcutModifierMask = MacConventions::carbonCommandKey | MacConventions::carbonShiftKey |
                                        MacConventions::carbonOptionKey | MacConventions::carbonControlKey;

// The main block of the keyboard ends with the grave accent key (kVK_ANSI_Grave); beyond it come
// keys that type nothing and the keypad, whose digits must not stand in for the digit row.
constexpr UInt16 lastMainBlockKeyCode = 0x32;

// What the key types without modifiers on this layout; 0 when it types nothing or more than one
// UTF-16 unit (a dead key types nothing here: it is asked not to wait for the next key).
char16_t typedByKey(const UCKeyboardLayout* layout, UInt16 keyCode)
{
    UInt32 deadKeyState = 0;
    UniChar characters[4] = {};
    UniCharCount length = 0;
    const OSStatus status = UCKeyTranslate(layout, keyCode, kUCKeyActionDisplay, 0, LMGetKbdType(),
                                           OptionBits(1) << kUCKeyTranslateNoDeadKeysBit, &deadKeyState,
                                           std::size(characters), &length, characters);
    return status == noErr && length == 1 ? char16_t(characters[0]) : char16_t(0);
}

// The virtual key code of the key that types the combination's key. Letters, digits and
// punctuation move with the layout (⌘Z is another key on a German keyboard), so the key is looked
// up in the current ASCII-capable layout, the one that types Latin letters also while an input
// method for another script is selected; a layout without such a key on its main block (digits on
// Shift) gets the US keyboard's key. The other keys have the same code on every layout.
std::optional<UInt16> hotKeyCode(int qtKey)
{
    const auto ansi = MacConventions::ansiKeyCode(qtKey);
    if (!ansi || qtKey <= 0x20 || qtKey >= 0x7f)
        return ansi ? std::optional<UInt16>(UInt16(*ansi)) : std::nullopt;
    // Qt names letters by their capitals; the layout types them in lower case without Shift.
    const auto wanted = char16_t(qtKey >= 'A' && qtKey <= 'Z' ? qtKey - 'A' + 'a' : qtKey);
    TISInputSourceRef source = TISCopyCurrentASCIICapableKeyboardLayoutInputSource();
    if (source == nullptr)
        return UInt16(*ansi);
    std::optional<UInt16> found;
    // Owned by the input source, which is kept until the layout has been read.
    const auto data =
        static_cast<CFDataRef>(TISGetInputSourceProperty(source, kTISPropertyUnicodeKeyLayoutData));
    if (data != nullptr) {
        const auto* layout = reinterpret_cast<const UCKeyboardLayout*>(CFDataGetBytePtr(data));
        if (typedByKey(layout, UInt16(*ansi)) == wanted)
            found = UInt16(*ansi);
        for (UInt16 code = 0; !found && code <= lastMainBlockKeyCode; ++code) {
            if (typedByKey(layout, code) == wanted)
                found = code;
        }
    }
    CFRelease(source);
    return found ? found : std::optional<UInt16>(UInt16(*ansi));
}

// Whether one of macOS's own keyboard shortcuts that is switched on uses the combination: such a
// hot key registers, yet the system takes the key first.
bool usedBySystem(UInt16 keyCode, UInt32 modifiers)
{
    CFArrayRef copied = nullptr;
    if (CopySymbolicHotKeys(&copied) != noErr || copied == nullptr)
        return false;
    @autoreleasepool {
        NSArray* hotKeys = CFBridgingRelease(copied);
        if (![hotKeys isKindOfClass:[NSArray class]])
            return false;
        for (NSDictionary* hotKey in hotKeys) {
            if (![hotKey isKindOfClass:[NSDictionary class]])
                continue;
            NSNumber* enabled = hotKey[(__bridge NSString*)kHISymbolicHotKeyEnabled];
            NSNumber* code = hotKey[(__bridge NSString*)kHISymbolicHotKeyCode];
            NSNumber* flags = hotKey[(__bridge NSString*)kHISymbolicHotKeyModifiers];
            if (![enabled isKindOfClass:[NSNumber class]] || ![code isKindOfClass:[NSNumber class]] ||
                ![flags isKindOfClass:[NSNumber class]] || !enabled.boolValue)
                continue;
            // The system lists some shortcuts with flags a hot key does not have (the function
            // key's on the arrows): only the four modifiers count.
            if (code.longLongValue == keyCode &&
                (UInt32(flags.unsignedIntValue) & shortcutModifierMask) == modifiers)
                return true;
        }
    }
    return false;
}

OSStatus hotKeyEvent(EventHandlerCallRef, EventRef event, void* userData)
{
    EventHotKeyID identifier{};
    if (GetEventParameter(event, kEventParamDirectObject, typeEventHotKeyID, nullptr, sizeof(identifier),
                          nullptr, &identifier) != noErr ||
        identifier.signature != hotKeySignature)
        return eventNotHandledErr;
    return static_cast<MacGlobalShortcuts*>(userData)->hotKeyPressed(identifier.id)
               ? OSStatus(noErr)
               : OSStatus(eventNotHandledErr);
}

} // namespace

MacGlobalShortcuts::~MacGlobalShortcuts()
{
    for (const auto& [key, entry] : m_registrations)
        UnregisterEventHotKey(entry.hotKey);
    m_registrations.clear();
    if (m_handler != nullptr)
        RemoveEventHandler(m_handler);
}

bool MacGlobalShortcuts::installHandler()
{
    if (m_handler != nullptr)
        return true;
    EventTypeSpec pressedKind;
    pressedKind.eventClass = kEventClassKeyboard;
    pressedKind.eventKind = kEventHotKeyPressed;
    EventHandlerRef handler = nullptr;
    if (InstallEventHandler(GetApplicationEventTarget(), &hotKeyEvent, 1, &pressedKind, this, &handler) !=
            noErr ||
        handler == nullptr)
        return false;
    m_handler = handler;
    return true;
}

GlobalShortcuts::Registration MacGlobalShortcuts::add(const KeyCombination& combination,
                                                      std::function<void()> pressed)
{
    const auto keyCode =
        KeyCombination::isUsableKey(combination.key) ? hotKeyCode(combination.key) : std::nullopt;
    if (!keyCode || !installHandler())
        return {Outcome::Unavailable, 0};
    const UInt32 modifiers = MacConventions::carbonModifiers(combination);
    if (usedBySystem(*keyCode, modifiers))
        return {Outcome::Taken, 0};
    const RegistrationId key = m_next++;
    EventHotKeyID identifier;
    identifier.signature = hotKeySignature;
    identifier.id = UInt32(key);
    EventHotKeyRef hotKey = nullptr;
    // Exclusive: an app that asked for the combination exclusively before answers "exists", and
    // one that asks later is refused instead of sharing the key with this app.
    const OSStatus status = RegisterEventHotKey(*keyCode, modifiers, identifier, GetApplicationEventTarget(),
                                                OptionBits(kEventHotKeyExclusive), &hotKey);
    if (status == eventHotKeyExistsErr)
        return {Outcome::Taken, 0};
    if (status != noErr || hotKey == nullptr)
        return {Outcome::Unavailable, 0};
    m_registrations.emplace(key, Entry{hotKey, std::move(pressed)});
    return {Outcome::Registered, key};
}

void MacGlobalShortcuts::remove(RegistrationId registration)
{
    const auto found = m_registrations.find(registration);
    if (found == m_registrations.end())
        return;
    UnregisterEventHotKey(found->second.hotKey);
    m_registrations.erase(found);
}

KeyCombination::QtModifierNames MacGlobalShortcuts::qtModifierNames() const
{
    // Qt reports ⌘ as its Control modifier and ⌃ as Meta, unless the app asked it not to swap them.
    return QCoreApplication::testAttribute(Qt::AA_MacDontSwapCtrlAndMeta)
               ? KeyCombination::QtModifierNames::PcKeyboard
               : KeyCombination::QtModifierNames::Mac;
}

bool MacGlobalShortcuts::hotKeyPressed(quint32 hotKeyId)
{
    const auto found = m_registrations.find(RegistrationId(hotKeyId));
    if (found == m_registrations.end())
        return false;
    // The handler may remove its own registration.
    const std::function<void()> pressed = found->second.pressed;
    if (pressed)
        pressed();
    return true;
}

} // namespace velmor::platform::mac
