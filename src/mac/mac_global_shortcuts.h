#pragma once

#include "platform/global_shortcuts.h"

#include <map>

// Carbon's opaque handles, as HIToolbox declares them; the header stays free of Carbon itself.
struct OpaqueEventHandlerRef;
struct OpaqueEventHotKeyRef;

namespace velmor::platform::mac {

// Global shortcuts as Carbon hot keys (RegisterEventHotKey): the window server hands the app a
// registered combination whichever app is in front and sees no other key, so no permission is
// needed. Registrations are exclusive, so another app that asked for the same combination
// exclusively, or this app itself, shows up as Taken; so does a combination macOS uses for one of
// its own keyboard shortcuts (System Settings › Keyboard › Keyboard Shortcuts), which would never
// reach the app. A shared registration of another app cannot be seen: both apps get the key.
// Main thread only; handlers run on the main thread as the hot key event is dispatched.
class MacGlobalShortcuts final : public GlobalShortcuts {
public:
    MacGlobalShortcuts() = default;
    ~MacGlobalShortcuts() override;
    MacGlobalShortcuts(const MacGlobalShortcuts&) = delete;
    MacGlobalShortcuts& operator=(const MacGlobalShortcuts&) = delete;

    Registration add(const KeyCombination& combination, std::function<void()> pressed) override;
    void remove(RegistrationId registration) override;
    KeyCombination::QtModifierNames qtModifierNames() const override;

    // From the application event target's handler: a registered combination was pressed.
    bool hotKeyPressed(quint32 hotKeyId);

private:
    struct Entry {
        OpaqueEventHotKeyRef* hotKey = nullptr;
        std::function<void()> pressed;
    };

    bool installHandler();

    OpaqueEventHandlerRef* m_handler = nullptr;
    // The hot key's id in its event is the registration id: ids start at 1 and never repeat.
    std::map<RegistrationId, Entry> m_registrations;
    RegistrationId m_next = 1;
};

} // namespace velmor::platform::mac
