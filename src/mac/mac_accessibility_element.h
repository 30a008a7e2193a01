#pragma once

#include "platform/accessibility_element.h"

#include <ApplicationServices/ApplicationServices.h>

namespace velmor::platform::mac {

// A retained AXUIElementRef behind an AccessibilityElement; equality and hashing are the system's.
class MacAccessibilityElement final : public AccessibilityElement::Reference {
public:
    // Takes over a reference the caller owns (from a Create or Copy call); null gives a null handle.
    static AccessibilityElement adopt(AXUIElementRef element);
    // Retains a reference the caller does not own (from inside a container it is releasing).
    static AccessibilityElement retain(AXUIElementRef element);
    // The element behind a handle; null for a null handle or one from another backend.
    static AXUIElementRef element(const AccessibilityElement& handle);

    explicit MacAccessibilityElement(AXUIElementRef owned) : m_element(owned) {}
    ~MacAccessibilityElement() override;
    MacAccessibilityElement(const MacAccessibilityElement&) = delete;
    MacAccessibilityElement& operator=(const MacAccessibilityElement&) = delete;

    bool equals(const Reference& other) const override;
    std::size_t hash() const override;

private:
    AXUIElementRef m_element;
};

} // namespace velmor::platform::mac
