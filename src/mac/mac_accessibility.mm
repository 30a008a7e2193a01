#include "mac/mac_accessibility.h"

#include "mac/mac_accessibility_element.h"
#include "mac/portable/accessibility_arguments.h"

#import <Foundation/Foundation.h>

#include <algorithm>
#include <climits>

namespace velmor::platform::mac {
namespace {

static_assert(AccessibilityArguments::pointValueType == int(kAXValueTypeCGPoint));
static_assert(AccessibilityArguments::sizeValueType == int(kAXValueTypeCGSize));

// A value the interface does not model (a range, a rectangle, a date …) is there but empty.
AccessibilityValue convert(CFTypeRef value)
{
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID())
        return QString::fromCFString(static_cast<CFStringRef>(value));
    if (type == CFBooleanGetTypeID())
        return bool(CFBooleanGetValue(static_cast<CFBooleanRef>(value)));
    if (type == CFNumberGetTypeID()) {
        double number = 0;
        CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberDoubleType, &number);
        return number;
    }
    if (type == AXUIElementGetTypeID())
        return MacAccessibilityElement::retain(static_cast<AXUIElementRef>(value));
    if (type == AXValueGetTypeID()) {
        const auto axValue = static_cast<AXValueRef>(value);
        switch (AXValueGetType(axValue)) {
        case kAXValueTypeCGPoint: {
            CGPoint point;
            if (AXValueGetValue(axValue, kAXValueTypeCGPoint, &point))
                return QPointF(point.x, point.y);
            break;
        }
        case kAXValueTypeCGSize: {
            CGSize size;
            if (AXValueGetValue(axValue, kAXValueTypeCGSize, &size))
                return QSizeF(size.width, size.height);
            break;
        }
        default:
            break;
        }
    }
    return std::monostate();
}

// A name for one call: the string object lives until the end of the full expression.
class CFText final {
public:
    explicit CFText(const QString& text) : m_text(text.toNSString()) {}
    operator CFStringRef() const { return (__bridge CFStringRef)m_text; }

private:
    NSString* m_text;
};

void menuNotification(AXObserverRef observer, AXUIElementRef, CFStringRef notification, void* refcon)
{
    static_cast<MacAccessibility*>(refcon)->menuNotified(observer, notification);
}

} // namespace

MacAccessibility::~MacAccessibility()
{
    for (const auto& [key, observer] : m_menuObservers)
        stop(observer, false);
}

bool MacAccessibility::isProcessTrusted() const
{
    @autoreleasepool {
        // Asking must not prompt: the permission guide asks the user when the user wants it.
        NSDictionary* options = @{(__bridge id)kAXTrustedCheckOptionPrompt : @NO};
        return AXIsProcessTrustedWithOptions((__bridge CFDictionaryRef)options);
    }
}

bool MacAccessibility::requestTrust()
{
    @autoreleasepool {
        // The system shows its prompt on its own, after this returns.
        NSDictionary* options = @{(__bridge id)kAXTrustedCheckOptionPrompt : @YES};
        return AXIsProcessTrustedWithOptions((__bridge CFDictionaryRef)options);
    }
}

AccessibilityElement MacAccessibility::applicationElement(qint32 processIdentifier)
{
    return MacAccessibilityElement::adopt(AXUIElementCreateApplication(processIdentifier));
}

AccessibilityElement MacAccessibility::systemWideElement()
{
    return MacAccessibilityElement::adopt(AXUIElementCreateSystemWide());
}

std::optional<AccessibilityValue> MacAccessibility::attribute(const AccessibilityElement& element,
                                                              const QString& name)
{
    const AXUIElementRef target = MacAccessibilityElement::element(element);
    if (target == nullptr)
        return std::nullopt;
    @autoreleasepool {
        CFTypeRef value = nullptr;
        if (AXUIElementCopyAttributeValue(target, CFText(name), &value) != kAXErrorSuccess ||
            value == nullptr)
            return std::nullopt;
        AccessibilityValue converted = convert(value);
        CFRelease(value);
        return converted;
    }
}

std::optional<int> MacAccessibility::attributeValueCount(const AccessibilityElement& element,
                                                         const QString& name)
{
    const AXUIElementRef target = MacAccessibilityElement::element(element);
    if (target == nullptr)
        return std::nullopt;
    @autoreleasepool {
        CFIndex count = 0;
        if (AXUIElementGetAttributeValueCount(target, CFText(name), &count) != kAXErrorSuccess || count < 0)
            return std::nullopt;
        return count > INT_MAX ? INT_MAX : int(count);
    }
}

std::optional<std::vector<AccessibilityValue>>
MacAccessibility::attributeValues(const AccessibilityElement& element, const QString& name, int index,
                                  int maximum)
{
    const AXUIElementRef target = MacAccessibilityElement::element(element);
    const auto range = AccessibilityArguments::valueRange(index, maximum);
    if (target == nullptr || !range)
        return std::nullopt;
    @autoreleasepool {
        CFArrayRef values = nullptr;
        if (AXUIElementCopyAttributeValues(target, CFText(name), range->location, range->length, &values) !=
                kAXErrorSuccess ||
            values == nullptr)
            return std::nullopt;
        std::vector<AccessibilityValue> converted;
        const CFIndex count = CFArrayGetCount(values);
        converted.reserve(std::size_t(count));
        for (CFIndex i = 0; i < count; ++i)
            converted.push_back(convert(CFArrayGetValueAtIndex(values, i)));
        CFRelease(values);
        return converted;
    }
}

std::optional<QStringList> MacAccessibility::actionNames(const AccessibilityElement& element)
{
    const AXUIElementRef target = MacAccessibilityElement::element(element);
    if (target == nullptr)
        return std::nullopt;
    CFArrayRef names = nullptr;
    if (AXUIElementCopyActionNames(target, &names) != kAXErrorSuccess || names == nullptr)
        return std::nullopt;
    QStringList converted;
    const CFIndex count = CFArrayGetCount(names);
    for (CFIndex i = 0; i < count; ++i) {
        const auto name = CFArrayGetValueAtIndex(names, i);
        if (CFGetTypeID(name) == CFStringGetTypeID())
            converted.append(QString::fromCFString(static_cast<CFStringRef>(name)));
    }
    CFRelease(names);
    return converted;
}

bool MacAccessibility::performAction(const AccessibilityElement& element, const QString& action)
{
    const AXUIElementRef target = MacAccessibilityElement::element(element);
    if (target == nullptr)
        return false;
    @autoreleasepool {
        return AXUIElementPerformAction(target, CFText(action)) == kAXErrorSuccess;
    }
}

void MacAccessibility::setMessagingTimeout(const AccessibilityElement& element, double seconds)
{
    const AXUIElementRef target = MacAccessibilityElement::element(element);
    const auto timeout = AccessibilityArguments::messagingTimeout(seconds);
    if (target == nullptr || !timeout)
        return;
    AXUIElementSetMessagingTimeout(target, *timeout);
}

std::optional<AccessibilityElement>
MacAccessibility::elementAtPosition(const AccessibilityElement& systemWide, QPointF point)
{
    const AXUIElementRef target = MacAccessibilityElement::element(systemWide);
    const auto position = AccessibilityArguments::hitTestPoint(point);
    if (target == nullptr || !position)
        return std::nullopt;
    AXUIElementRef hit = nullptr;
    if (AXUIElementCopyElementAtPosition(target, float(position->x()), float(position->y()), &hit) !=
            kAXErrorSuccess ||
        hit == nullptr)
        return std::nullopt;
    return MacAccessibilityElement::adopt(hit);
}

std::optional<qint32> MacAccessibility::processIdentifier(const AccessibilityElement& element)
{
    const AXUIElementRef target = MacAccessibilityElement::element(element);
    if (target == nullptr)
        return std::nullopt;
    pid_t pid = 0;
    if (AXUIElementGetPid(target, &pid) != kAXErrorSuccess)
        return std::nullopt;
    return qint32(pid);
}

Accessibility::MenuObserverId MacAccessibility::observeMenus(qint32 processIdentifier, MenuHandler handler)
{
    if (processIdentifier <= 0)
        return 0;
    AXObserverRef observer = nullptr;
    if (AXObserverCreate(pid_t(processIdentifier), &menuNotification, &observer) != kAXErrorSuccess ||
        observer == nullptr)
        return 0;
    // The application element hears the notifications of all its menus. Without trust, or once
    // the process is gone, registering fails.
    AXUIElementRef application = AXUIElementCreateApplication(pid_t(processIdentifier));
    if (application != nullptr)
        AXUIElementSetMessagingTimeout(application, menuObserverTimeoutSeconds);
    const bool opened =
        application != nullptr &&
        AXObserverAddNotification(observer, application, kAXMenuOpenedNotification, this) == kAXErrorSuccess;
    // Both or neither: a menu heard opening and never closing would hold the revealed items.
    const bool closed = opened && AXObserverAddNotification(observer, application, kAXMenuClosedNotification,
                                                            this) == kAXErrorSuccess;
    if (!closed) {
        if (opened)
            AXObserverRemoveNotification(observer, application, kAXMenuOpenedNotification);
        if (application != nullptr)
            CFRelease(application);
        CFRelease(observer);
        return 0;
    }
    // Common modes: the notifications also arrive while one of this app's own menus is tracked.
    CFRunLoopAddSource(CFRunLoopGetMain(), AXObserverGetRunLoopSource(observer), kCFRunLoopCommonModes);
    const MenuObserverId key = m_nextMenuObserver++;
    m_menuObservers.emplace(key, MenuObserver{observer, application, std::move(handler)});
    return key;
}

void MacAccessibility::removeMenuObserver(MenuObserverId observer)
{
    const auto found = m_menuObservers.find(observer);
    if (found == m_menuObservers.end())
        return;
    const MenuObserver removed = found->second;
    m_menuObservers.erase(found);
    stop(removed, true);
}

void MacAccessibility::menuNotified(AXObserverRef observer, CFStringRef notification)
{
    // An observer removed since is no longer in the list, and its notifications go nowhere.
    const auto found =
        std::find_if(m_menuObservers.cbegin(), m_menuObservers.cend(),
                     [observer](const auto& entry) { return entry.second.observer == observer; });
    if (found == m_menuObservers.cend() || notification == nullptr)
        return;
    const bool open = CFEqual(notification, kAXMenuOpenedNotification);
    if (!open && !CFEqual(notification, kAXMenuClosedNotification))
        return;
    // The handler may remove this very observer.
    const MenuHandler handler = found->second.handler;
    if (handler)
        handler(open);
}

void MacAccessibility::stop(const MenuObserver& menu, bool releaseLater)
{
    AXObserverRemoveNotification(menu.observer, menu.application, kAXMenuOpenedNotification);
    AXObserverRemoveNotification(menu.observer, menu.application, kAXMenuClosedNotification);
    CFRunLoopRemoveSource(CFRunLoopGetMain(), AXObserverGetRunLoopSource(menu.observer),
                          kCFRunLoopCommonModes);
    CFRelease(menu.application);
    AXObserverRef observer = menu.observer;
    if (!releaseLater) {
        CFRelease(observer);
        return;
    }
    // Removing may happen inside the observer's own callback; it is released once that returned.
    dispatch_async(dispatch_get_main_queue(), ^{
      CFRelease(observer);
    });
}

} // namespace velmor::platform::mac
