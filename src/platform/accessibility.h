#pragma once

#include "platform/accessibility_element.h"

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace velmor::platform {

// One attribute value as the Accessibility interface hands it out. Points and sizes are in
// Accessibility coordinates (origin top left of the primary screen).
using AccessibilityValue =
    std::variant<std::monostate, QString, double, bool, QPointF, QSizeF, AccessibilityElement>;

// The Accessibility interface of the system: reading other processes' UI elements. Every call is
// a message to another process; any failure (error code, no value, time-out) yields absent.
class Accessibility {
public:
    using MenuObserverId = quint64;
    using MenuHandler = std::function<void(bool open)>;

    virtual ~Accessibility() = default;

    virtual bool isProcessTrusted() const = 0;
    // Asks the user for trust with the system's own prompt when the process is not trusted yet;
    // the prompt also puts the app in System Settings' Accessibility list, so the user finds it
    // there. Answers whether the process is trusted now (the user answers later).
    virtual bool requestTrust() = 0;

    virtual AccessibilityElement applicationElement(qint32 processIdentifier) = 0;
    virtual AccessibilityElement systemWideElement() = 0;

    virtual std::optional<AccessibilityValue> attribute(const AccessibilityElement& element,
                                                        const QString& name) = 0;
    // Number of values of an array attribute ("AXChildren").
    virtual std::optional<int> attributeValueCount(const AccessibilityElement& element,
                                                   const QString& name) = 0;
    // Up to `maximum` values of an array attribute starting at `index`.
    virtual std::optional<std::vector<AccessibilityValue>>
    attributeValues(const AccessibilityElement& element, const QString& name, int index, int maximum) = 0;
    virtual std::optional<QStringList> actionNames(const AccessibilityElement& element) = 0;
    virtual bool performAction(const AccessibilityElement& element, const QString& action) = 0;

    // How long a message to this element may block before it fails.
    virtual void setMessagingTimeout(const AccessibilityElement& element, double seconds) = 0;
    // The element under a point (Accessibility coordinates), asked of the system-wide element.
    virtual std::optional<AccessibilityElement> elementAtPosition(const AccessibilityElement& systemWide,
                                                                  QPointF point) = 0;
    virtual std::optional<qint32> processIdentifier(const AccessibilityElement& element) = 0;
    // Tells, on the main thread, when a menu of this process opens (true) or closes (false): one
    // of its menu bar items' menus, say. 0 when the process cannot be observed.
    virtual MenuObserverId observeMenus(qint32 processIdentifier, MenuHandler handler) = 0;
    virtual void removeMenuObserver(MenuObserverId observer) = 0;
};

} // namespace velmor::platform
