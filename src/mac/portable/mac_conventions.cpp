#include "mac/portable/mac_conventions.h"

#include <QHash>

namespace velmor::platform::mac {

MouseEventType MacConventions::mouseEventType(quint64 eventType)
{
    switch (eventType) {
    case leftMouseDownType:
        return MouseEventType::LeftMouseDown;
    case leftMouseUpType:
        return MouseEventType::LeftMouseUp;
    case rightMouseDownType:
        return MouseEventType::RightMouseDown;
    case rightMouseUpType:
        return MouseEventType::RightMouseUp;
    case leftMouseDraggedType:
        return MouseEventType::LeftMouseDragged;
    case mouseMovedType:
        return MouseEventType::MouseMoved;
    default:
        return MouseEventType::Other;
    }
}

quint64 MacConventions::actionMask(ButtonTrigger trigger)
{
    switch (trigger) {
    case ButtonTrigger::LeftMouseUp:
        return maskOf(leftMouseUpType);
    case ButtonTrigger::RightMouseUp:
        return maskOf(rightMouseUpType);
    case ButtonTrigger::LeftAndRightMouseUp:
        return maskOf(leftMouseUpType) | maskOf(rightMouseUpType);
    }
    return maskOf(leftMouseUpType);
}

long MacConventions::imagePosition(ImagePosition position)
{
    switch (position) {
    case ImagePosition::NoImage:
        return noImagePosition;
    case ImagePosition::ImageOnly:
        return imageOnlyPosition;
    case ImagePosition::ImageLeft:
        return imageLeftPosition;
    case ImagePosition::ImageRight:
        return imageRightPosition;
    }
    return noImagePosition;
}

std::optional<MouseEvent> MacConventions::monitoredEvent(quint64 eventMask, quint64 eventType,
                                                         quint64 modifierFlags, QPointF location)
{
    const MouseEventType type = mouseEventType(eventType);
    if (type == MouseEventType::Other || (eventMask & maskOf(eventType)) == 0)
        return std::nullopt;
    return MouseEvent{type, (modifierFlags & commandModifierFlag) != 0, location};
}

long MacConventions::activationPolicyValue(ActivationPolicy policy)
{
    switch (policy) {
    case ActivationPolicy::Regular:
        return regularPolicy;
    case ActivationPolicy::Accessory:
        return accessoryPolicy;
    case ActivationPolicy::Prohibited:
        return prohibitedPolicy;
    }
    return regularPolicy;
}

ActivationPolicy MacConventions::activationPolicy(long value)
{
    switch (value) {
    case accessoryPolicy:
        return ActivationPolicy::Accessory;
    case prohibitedPolicy:
        return ActivationPolicy::Prohibited;
    default:
        return ActivationPolicy::Regular;
    }
}

LoginItemStatus MacConventions::loginItemStatus(long value)
{
    switch (value) {
    case notRegisteredStatus:
        return LoginItemStatus::NotRegistered;
    case enabledStatus:
        return LoginItemStatus::Enabled;
    case requiresApprovalStatus:
        return LoginItemStatus::RequiresApproval;
    default:
        return LoginItemStatus::NotFound;
    }
}

QString MacConventions::directoryPath(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace velmor::platform::mac

namespace velmor::platform::mac {

std::optional<quint32> MacConventions::ansiKeyCode(int qtKey)
{
    static const QHash<int, quint32> codes{
        {Qt::Key_A, 0x00},        {Qt::Key_S, 0x01},         {Qt::Key_D, 0x02},
        {Qt::Key_F, 0x03},        {Qt::Key_H, 0x04},         {Qt::Key_G, 0x05},
        {Qt::Key_Z, 0x06},        {Qt::Key_X, 0x07},         {Qt::Key_C, 0x08},
        {Qt::Key_V, 0x09},        {Qt::Key_B, 0x0B},         {Qt::Key_Q, 0x0C},
        {Qt::Key_W, 0x0D},        {Qt::Key_E, 0x0E},         {Qt::Key_R, 0x0F},
        {Qt::Key_Y, 0x10},        {Qt::Key_T, 0x11},         {Qt::Key_1, 0x12},
        {Qt::Key_2, 0x13},        {Qt::Key_3, 0x14},         {Qt::Key_4, 0x15},
        {Qt::Key_6, 0x16},        {Qt::Key_5, 0x17},         {Qt::Key_Equal, 0x18},
        {Qt::Key_9, 0x19},        {Qt::Key_7, 0x1A},         {Qt::Key_Minus, 0x1B},
        {Qt::Key_8, 0x1C},        {Qt::Key_0, 0x1D},         {Qt::Key_BracketRight, 0x1E},
        {Qt::Key_O, 0x1F},        {Qt::Key_U, 0x20},         {Qt::Key_BracketLeft, 0x21},
        {Qt::Key_I, 0x22},        {Qt::Key_P, 0x23},         {Qt::Key_Return, 0x24},
        {Qt::Key_L, 0x25},        {Qt::Key_J, 0x26},         {Qt::Key_Apostrophe, 0x27},
        {Qt::Key_K, 0x28},        {Qt::Key_Semicolon, 0x29}, {Qt::Key_Backslash, 0x2A},
        {Qt::Key_Comma, 0x2B},    {Qt::Key_Slash, 0x2C},     {Qt::Key_N, 0x2D},
        {Qt::Key_M, 0x2E},        {Qt::Key_Period, 0x2F},    {Qt::Key_Tab, 0x30},
        {Qt::Key_Space, 0x31},    {Qt::Key_QuoteLeft, 0x32}, {Qt::Key_Backspace, 0x33},
        {Qt::Key_Escape, 0x35},   {Qt::Key_F17, 0x40},       {Qt::Key_F18, 0x4F},
        {Qt::Key_F19, 0x50},      {Qt::Key_F20, 0x5A},       {Qt::Key_F5, 0x60},
        {Qt::Key_F6, 0x61},       {Qt::Key_F7, 0x62},        {Qt::Key_F3, 0x63},
        {Qt::Key_F8, 0x64},       {Qt::Key_F9, 0x65},        {Qt::Key_F11, 0x67},
        {Qt::Key_F13, 0x69},      {Qt::Key_F16, 0x6A},       {Qt::Key_F14, 0x6B},
        {Qt::Key_F10, 0x6D},      {Qt::Key_F12, 0x6F},       {Qt::Key_F15, 0x71},
        {Qt::Key_Home, 0x73},     {Qt::Key_PageUp, 0x74},    {Qt::Key_Delete, 0x75},
        {Qt::Key_F4, 0x76},       {Qt::Key_End, 0x77},       {Qt::Key_F2, 0x78},
        {Qt::Key_PageDown, 0x79}, {Qt::Key_F1, 0x7A},        {Qt::Key_Left, 0x7B},
        {Qt::Key_Right, 0x7C},    {Qt::Key_Down, 0x7D},      {Qt::Key_Up, 0x7E},
    };
    const auto found = codes.constFind(qtKey);
    if (found == codes.cend())
        return std::nullopt;
    return *found;
}

quint32 MacConventions::carbonModifiers(const KeyCombination& combination)
{
    quint32 flags = 0;
    if (combination.has(KeyCombination::Command))
        flags |= carbonCommandKey;
    if (combination.has(KeyCombination::Shift))
        flags |= carbonShiftKey;
    if (combination.has(KeyCombination::Option))
        flags |= carbonOptionKey;
    if (combination.has(KeyCombination::Control))
        flags |= carbonControlKey;
    return flags;
}

} // namespace velmor::platform::mac
