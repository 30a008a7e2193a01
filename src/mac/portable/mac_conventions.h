#pragma once

#include "platform/application_shell.h"
#include "platform/key_combination.h"
#include "platform/login_items.h"
#include "platform/mouse_events.h"
#include "platform/status_bar.h"

#include <QPointF>
#include <QString>

#include <optional>

namespace velmor::platform::mac {

// The raw values of the Mac's enumerations that the Mac backend passes through, and every choice
// made on them, kept here so that they are tested on every platform. The Mac backend checks each
// constant against its SDK at compile time.
class MacConventions final {
public:
    // NSEventType.
    static constexpr quint64 leftMouseDownType = 1;
    static constexpr quint64 leftMouseUpType = 2;
    static constexpr quint64 rightMouseDownType = 3;
    static constexpr quint64 rightMouseUpType = 4;
    static constexpr quint64 leftMouseDraggedType = 6;
    static constexpr quint64 mouseMovedType = 5;
    // NSEventMask: one bit per event type.
    static constexpr quint64 maskOf(quint64 eventType)
    {
        return eventType < 64 ? quint64(1) << eventType : 0;
    }
    // NSEventModifierFlagCommand.
    static constexpr quint64 commandModifierFlag = quint64(1) << 20;

    // The Carbon hot keys' modifier flags (cmdKey, shiftKey, optionKey, controlKey).
    static constexpr quint32 carbonCommandKey = 0x0100;
    static constexpr quint32 carbonShiftKey = 0x0200;
    static constexpr quint32 carbonOptionKey = 0x0800;
    static constexpr quint32 carbonControlKey = 0x1000;

    // NSCellImagePosition.
    static constexpr long noImagePosition = 0;
    static constexpr long imageOnlyPosition = 1;
    static constexpr long imageLeftPosition = 2;
    static constexpr long imageRightPosition = 3;

    // NSApplicationActivationPolicy.
    static constexpr long regularPolicy = 0;
    static constexpr long accessoryPolicy = 1;
    static constexpr long prohibitedPolicy = 2;

    // SMAppServiceStatus.
    static constexpr long notRegisteredStatus = 0;
    static constexpr long enabledStatus = 1;
    static constexpr long requiresApprovalStatus = 2;
    static constexpr long notFoundStatus = 3;

    static MouseEventType mouseEventType(quint64 eventType);
    // The mask a status button sends its action on.
    static quint64 actionMask(ButtonTrigger trigger);
    static long imagePosition(ImagePosition position);

    // What a mouse monitor hands its handler: only events of the types in `eventMask` that the
    // interface knows, with the Command flag read from the modifier flags. Global monitors see
    // events in other apps, so a mask is no promise of what arrives.
    static std::optional<MouseEvent> monitoredEvent(quint64 eventMask, quint64 eventType,
                                                    quint64 modifierFlags, QPointF location);

    static long activationPolicyValue(ActivationPolicy policy);
    // An unknown value counts as regular, the policy that never hides the app from the user.
    static ActivationPolicy activationPolicy(long value);

    // A status the interface does not know counts as not found: the service cannot tell.
    static LoginItemStatus loginItemStatus(long value);

    // The virtual key code (kVK_…) of a key on the US (ANSI) keyboard; absent for a key a
    // shortcut cannot use. Another layout types other characters on some of these keys: the Mac
    // backend asks the current layout first and falls back to this.
    static std::optional<quint32> ansiKeyCode(int qtKey);
    static quint32 carbonModifiers(const KeyCombination& combination);

    // A folder path as the interface hands it out: without trailing slashes (the root stays "/").
    static QString directoryPath(QString path);
};

} // namespace velmor::platform::mac
