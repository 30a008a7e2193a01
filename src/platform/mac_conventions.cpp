#include "platform/mac_conventions.h"

namespace velmor::platform {

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

} // namespace velmor::platform
